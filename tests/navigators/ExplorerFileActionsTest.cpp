#include "navigators/ExplorerFileActions.h"
#include "AppTestSupport.h"
#include "PrivateTrash.h"
#include "TestSupport.h"
#include "navigators/ExplorerListing.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QDirIterator>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class ExplorerFileActionsTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings.emplace(std::optional<QString>(path(u"documents"_s)));
    }

    QUrl url(const QString &name) const { return QUrl::fromLocalFile(path(name)); }

    void makeFolder(const QString &name) const { ASSERT_TRUE(QDir(dir.path()).mkpath(name)); }

    QString report(const QString &name)
    {
        QDir(dir.path()).mkpath(QFileInfo(path(name)).path());
        return writeReport(name);
    }

    QStringList alertTitles() const
    {
        QStringList titles;
        for (const AlertRequest &alert : dialogs.alerts())
            titles.append(alert.message);
        return titles;
    }

    static QStringList buttonTitles(const AlertRequest &alert)
    {
        QStringList titles;
        for (const AlertRequest::Button &button : alert.buttons)
            titles.append(button.title);
        return titles;
    }

    QStringList listing(const QString &folder) const
    {
        QStringList names;
        for (const ExplorerListing::Entry &entry : ExplorerListing::children(url(folder)))
            names.append(entry.url().fileName());
        return names;
    }

    std::optional<AppSettings> settings;
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
};

TEST_F(ExplorerFileActionsTest, OpenTakesReportsInAnyCaseAndIgnoresOtherFiles)
{
    const QString upper = report(u"UPPER.JRXML"_s);
    const QString text = writeText(u"notes.txt"_s, "hello");

    ExplorerFileActions::open(QUrl::fromLocalFile(text), workspace, *settings, dialogs);
    EXPECT_TRUE(dialogs.alerts().isEmpty());
    EXPECT_FALSE(workspace.activeStore()->fileURL());

    ExplorerFileActions::open(QUrl::fromLocalFile(upper), workspace, *settings, dialogs);
    ASSERT_TRUE(workspace.activeStore()->fileURL());
    EXPECT_EQ(workspace.activeStore()->fileURL()->toLocalFile(), upper);
    EXPECT_EQ(settings->recentFilePaths().first(), upper);

    // Opening it again activates its tab and puts it first among the recent files again.
    const QString other = report(u"other.jrxml"_s);
    ExplorerFileActions::open(QUrl::fromLocalFile(other), workspace, *settings, dialogs);
    EXPECT_EQ(workspace.tabs().size(), 2);
    ExplorerFileActions::open(QUrl::fromLocalFile(upper), workspace, *settings, dialogs);
    EXPECT_EQ(workspace.tabs().size(), 2);
    EXPECT_EQ(workspace.activeTabIndex(), 0);
    EXPECT_EQ(settings->recentFilePaths(), (QStringList{upper, other}));
    EXPECT_TRUE(dialogs.alerts().isEmpty());
}

TEST_F(ExplorerFileActionsTest, OpenOfABrokenReportShowsTheErrorAndLeavesTheRecentFiles)
{
    const QString broken = writeText(u"broken.jrxml"_s, "<jasperReport");
    ExplorerFileActions::open(QUrl::fromLocalFile(broken), workspace, *settings, dialogs);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Quillmark"_s);
    EXPECT_FALSE(dialogs.alerts().first().informativeText.isEmpty());
    EXPECT_TRUE(settings->recentFilePaths().isEmpty());
    EXPECT_EQ(workspace.tabs().size(), 1);
    EXPECT_FALSE(workspace.activeStore()->fileURL());
}

TEST_F(ExplorerFileActionsTest, OpenOfAMissingFileOffersRemoveFromRecentsOnlyForARecentFile)
{
    const QString gone = report(u"gone.jrxml"_s);
    const QString kept = report(u"kept.jrxml"_s);
    settings->addRecentFile(QUrl::fromLocalFile(kept));
    settings->addRecentFile(QUrl::fromLocalFile(gone));
    ASSERT_TRUE(QFile::remove(gone));

    // "OK" keeps the entry.
    dialogs.answerAlert(0);
    ExplorerFileActions::open(QUrl::fromLocalFile(gone), workspace, *settings, dialogs);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    const AlertRequest &alert = dialogs.alerts().first();
    EXPECT_EQ(alert.style, AlertRequest::Style::warning);
    EXPECT_EQ(alert.message, u"Can't Find \"gone.jrxml\""_s);
    EXPECT_EQ(alert.informativeText,
              u"This file may have been moved, renamed, or deleted since it was last opened."_s);
    EXPECT_EQ(buttonTitles(alert), (QStringList{u"OK"_s, u"Remove from Recents"_s}));
    EXPECT_EQ(settings->recentFilePaths(), (QStringList{gone, kept}));

    dialogs.answerAlert(1);
    ExplorerFileActions::open(QUrl::fromLocalFile(gone), workspace, *settings, dialogs);
    EXPECT_EQ(settings->recentFilePaths(), QStringList{kept});
    EXPECT_EQ(workspace.tabs().size(), 1);

    // Not among the recent files: "OK" alone.
    ExplorerFileActions::open(QUrl::fromLocalFile(gone), workspace, *settings, dialogs);
    ASSERT_EQ(dialogs.alerts().size(), 3);
    EXPECT_EQ(buttonTitles(dialogs.alerts().last()), QStringList{u"OK"_s});
    EXPECT_EQ(settings->recentFilePaths(), QStringList{kept});
}

TEST_F(ExplorerFileActionsTest, RenameTakesTheTrimmedNameAndNeverReplacesAnExistingItem)
{
    const QString a = report(u"a.jrxml"_s);
    const QString b = report(u"b.jrxml"_s);
    const QByteArray aBytes = testsupport::readFile(a);
    QFile bFile(b);
    ASSERT_TRUE(bFile.open(QIODevice::Append));
    bFile.write("<!-- b -->\n");
    bFile.close();
    const QByteArray bBytes = testsupport::readFile(b);

    // Cancel, only spaces, the same name with spaces around it: nothing happens.
    dialogs.answerTextAlert(1, u"c.jrxml"_s);
    dialogs.answerTextAlert(0, u"   "_s);
    dialogs.answerTextAlert(0, u"  a.jrxml  "_s);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(ExplorerFileActions::promptRename(QUrl::fromLocalFile(a), dialogs));
    ASSERT_EQ(dialogs.alerts().size(), 3) << "no failure shown";
    EXPECT_EQ(dialogs.alerts().first().message, u"Rename"_s);
    EXPECT_EQ(dialogs.alerts().first().informativeText, u"Enter a new name for \"a.jrxml\"."_s);
    EXPECT_EQ(buttonTitles(dialogs.alerts().first()), (QStringList{u"Rename"_s, u"Cancel"_s}));
    EXPECT_EQ(dialogs.textAlertTexts().first(), u"a.jrxml"_s);
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(path(u"c.jrxml"_s)));

    // Onto an existing sibling: refused, both files as they were.
    dialogs.answerTextAlert(0, u"b.jrxml"_s);
    EXPECT_FALSE(ExplorerFileActions::promptRename(QUrl::fromLocalFile(a), dialogs));
    ASSERT_EQ(dialogs.alerts().size(), 5);
    EXPECT_EQ(dialogs.alerts().last().message, u"Rename Failed"_s);
    EXPECT_TRUE(dialogs.alerts().last().informativeText.contains(u"already exists"_s));
    EXPECT_EQ(testsupport::readFile(a), aBytes);
    EXPECT_EQ(testsupport::readFile(b), bBytes);

    // A folder onto an empty folder: refused too (the platform's rename would replace it).
    makeFolder(u"full/inner"_s);
    makeFolder(u"empty"_s);
    dialogs.answerTextAlert(0, u"empty"_s);
    EXPECT_FALSE(ExplorerFileActions::promptRename(url(u"full"_s), dialogs));
    EXPECT_EQ(dialogs.alerts().last().message, u"Rename Failed"_s);
    EXPECT_TRUE(QFileInfo::exists(path(u"full/inner"_s)));

    // A real rename, of a file and of a folder.
    dialogs.answerTextAlert(0, u" c.jrxml\n"_s);
    EXPECT_EQ(ExplorerFileActions::promptRename(QUrl::fromLocalFile(a), dialogs),
              url(u"c.jrxml"_s));
    EXPECT_EQ(testsupport::readFile(path(u"c.jrxml"_s)), aBytes);
    dialogs.answerTextAlert(0, u"renamed"_s);
    EXPECT_EQ(ExplorerFileActions::promptRename(url(u"full"_s), dialogs), url(u"renamed"_s));
    EXPECT_TRUE(QFileInfo::exists(path(u"renamed/inner"_s)));

    // A name with a slash would move the item elsewhere: refused.
    dialogs.answerTextAlert(0, u"renamed/x.jrxml"_s);
    EXPECT_FALSE(ExplorerFileActions::promptRename(url(u"b.jrxml"_s), dialogs));
    EXPECT_EQ(dialogs.alerts().last().message, u"Rename Failed"_s);
    EXPECT_TRUE(QFileInfo::exists(b));
}

TEST_F(ExplorerFileActionsTest, NewFolderCountsUpAndFillsAGap)
{
    makeFolder(u"root"_s);
    for (int i = 0; i < 3; ++i)
        ExplorerFileActions::createNewFolder(url(u"root"_s));
    EXPECT_EQ(listing(u"root"_s),
              (QStringList{u"New Folder"_s, u"New Folder 2"_s, u"New Folder 3"_s}));
    ASSERT_TRUE(QDir(path(u"root"_s)).rmdir(u"New Folder 2"_s));
    ExplorerFileActions::createNewFolder(url(u"root"_s));
    EXPECT_EQ(listing(u"root"_s),
              (QStringList{u"New Folder"_s, u"New Folder 2"_s, u"New Folder 3"_s}));
    // A file holding the name counts as taken.
    writeText(u"root/New Folder 4"_s, "x");
    ExplorerFileActions::createNewFolder(url(u"root"_s));
    EXPECT_TRUE(QFileInfo(path(u"root/New Folder 5"_s)).isDir());
    // A folder that does not exist: nothing is made, nothing shown.
    ExplorerFileActions::createNewFolder(url(u"missing/deeper"_s));
    EXPECT_FALSE(QFileInfo::exists(path(u"missing"_s)));
    EXPECT_TRUE(dialogs.alerts().isEmpty());
}

TEST_F(ExplorerFileActionsTest, OpenItemsAreMatchedByPathNotByPrefix)
{
    const QString open = report(u"proj/sub/r.jrxml"_s);
    report(u"proj2/other.jrxml"_s);
    workspace.openTab(QUrl::fromLocalFile(open));
    workspace.newTab(595, 842); // a tab without a file is skipped

    EXPECT_TRUE(ExplorerFileActions::isOpenOrAncestor(url(u"proj/sub/r.jrxml"_s), workspace));
    EXPECT_TRUE(ExplorerFileActions::isOpenOrAncestor(url(u"proj/sub"_s), workspace));
    EXPECT_TRUE(ExplorerFileActions::isOpenOrAncestor(url(u"proj/./sub/../"_s), workspace));
    EXPECT_FALSE(ExplorerFileActions::isOpenOrAncestor(url(u"proj/su"_s), workspace));
    EXPECT_FALSE(ExplorerFileActions::isOpenOrAncestor(url(u"proj2"_s), workspace));
    EXPECT_FALSE(ExplorerFileActions::isOpenOrAncestor(url(u"proj/sub/r.jrxm"_s), workspace));

    // Nothing open there: no question.
    EXPECT_TRUE(ExplorerFileActions::confirmTrashIfOpen(url(u"proj2"_s), workspace, dialogs));
    EXPECT_TRUE(ExplorerFileActions::confirmMoveIfOpen(url(u"proj2"_s), workspace, dialogs));
    EXPECT_TRUE(dialogs.alerts().isEmpty());

    dialogs.answerAlert(1);
    EXPECT_FALSE(ExplorerFileActions::confirmMoveIfOpen(url(u"proj"_s), workspace, dialogs));
    dialogs.answerAlert(0);
    EXPECT_TRUE(ExplorerFileActions::confirmMoveIfOpen(url(u"proj"_s), workspace, dialogs));
    ASSERT_EQ(dialogs.alerts().size(), 2);
    EXPECT_EQ(dialogs.alerts().first().message, u"\"proj\" Holds an Open Report"_s);
    EXPECT_EQ(dialogs.alerts().first().informativeText,
              u"It holds \"sub/r.jrxml\", which is open in a tab. Moving it won't close the tab: "
              u"the tab moves with it and saves to its new place."_s);
    EXPECT_EQ(buttonTitles(dialogs.alerts().first()), (QStringList{u"Move Anyway"_s, u"Cancel"_s}));
    // Dismissed without a button: no.
    EXPECT_FALSE(ExplorerFileActions::confirmMoveIfOpen(url(u"proj"_s), workspace, dialogs));
}

TEST_F(ExplorerFileActionsTest, TrashingAFolderHoldingAnOpenReportAsksFirstAndLandsInTheTrash)
{
    QTemporaryDir dataHome(path(u"xdg-XXXXXX"_s));
    ASSERT_TRUE(dataHome.isValid());
    const testsupport::PrivateTrash trash(dataHome.path());

    const QString open = report(u"proj/reports/r.jrxml"_s);
    workspace.openTab(QUrl::fromLocalFile(open));
    workspace.newTab(595, 842); // the open report's tab is not the active one

    dialogs.answerAlert(1);
    EXPECT_FALSE(
        ExplorerFileActions::confirmTrashIfOpen(url(u"proj/reports"_s), workspace, dialogs));
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"\"reports\" Holds an Open Report"_s);
    EXPECT_EQ(dialogs.alerts().first().informativeText,
              u"It holds \"r.jrxml\", which is open in a tab. Moving it to the Trash won't close "
              u"the tab: the tab keeps the report, and Save will ask where to save it."_s);
    EXPECT_EQ(buttonTitles(dialogs.alerts().first()),
              (QStringList{u"Move to Trash Anyway"_s, u"Cancel"_s}));
    EXPECT_TRUE(QFileInfo::exists(open));

    dialogs.answerAlert(0);
    ASSERT_TRUE(
        ExplorerFileActions::confirmTrashIfOpen(url(u"proj/reports"_s), workspace, dialogs));
    EXPECT_TRUE(ExplorerFileActions::moveToTrash(url(u"proj/reports"_s), dialogs));
    EXPECT_FALSE(QFileInfo::exists(path(u"proj/reports"_s)));
    // Items on another disk than the home folder go to that disk's own trash.
    if (QStorageInfo(dir.path()) == QStorageInfo(QDir::homePath())) {
        EXPECT_TRUE(QFileInfo::exists(dataHome.path() + u"/Trash/files/reports/r.jrxml"_s));
        EXPECT_TRUE(QFileInfo::exists(dataHome.path() + u"/Trash/info/reports.trashinfo"_s));
    }
    EXPECT_EQ(workspace.tabs().first()->fileURL(), QUrl::fromLocalFile(open))
        << "the tab keeps its file";

    // A missing item: ignored, nothing shown.
    EXPECT_TRUE(ExplorerFileActions::moveToTrash(url(u"proj/missing"_s), dialogs));
    EXPECT_EQ(dialogs.alerts().size(), 2);

    // The report itself open: the question names it as open.
    const QString alone = report(u"proj/alone.jrxml"_s);
    workspace.openTab(QUrl::fromLocalFile(alone));
    dialogs.answerAlert(1);
    EXPECT_FALSE(
        ExplorerFileActions::confirmTrashIfOpen(QUrl::fromLocalFile(alone), workspace, dialogs));
    EXPECT_EQ(dialogs.alerts().last().message, u"\"alone.jrxml\" is Open"_s);
    EXPECT_TRUE(dialogs.alerts().last().informativeText.startsWith(
        u"This is currently open in a tab. Moving it to the Trash"_s));
}

// A folder the user may not change keeps its items: the failure says that the item stays, and
// why, and the item is still there.
TEST_F(ExplorerFileActionsTest, AnItemThatCannotBeTrashedStaysAndTheUserIsToldWhy)
{
    QTemporaryDir dataHome(path(u"xdg-XXXXXX"_s));
    ASSERT_TRUE(dataHome.isValid());
    const testsupport::PrivateTrash trash(dataHome.path());
    const QString file = report(u"locked/r.jrxml"_s);
    const QString folder = path(u"locked"_s);
    // The folder is made read-only: by its mode, or for root (whom modes do not stop) by the
    // immutable attribute.
    const bool asRoot = ::geteuid() == 0;
    const auto unlock = qScopeGuard([&] {
        if (asRoot)
            QProcess::execute(u"chattr"_s, {u"-i"_s, folder});
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    });
    if (asRoot) {
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, folder}) != 0)
            GTEST_SKIP() << "this file system keeps no immutable attribute";
    } else {
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    EXPECT_FALSE(ExplorerFileActions::moveToTrash(QUrl::fromLocalFile(file), dialogs));
    EXPECT_TRUE(QFileInfo::exists(file));
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"\"r.jrxml\" Wasn't Moved to the Trash"_s);
    EXPECT_EQ(dialogs.alerts().first().informativeText,
              u"It stays where it is. The folder \"locked\" that holds it is read-only."_s);
}

TEST_F(ExplorerFileActionsTest, MoveRefusesSilentlyOrExplainsAndMovesOtherwise)
{
    makeFolder(u"root/a/b"_s);
    makeFolder(u"root/dest"_s);
    const QString file = report(u"root/a/r.jrxml"_s);
    const QString taken = report(u"root/dest/r.jrxml"_s);
    const QByteArray takenBytes = testsupport::readFile(taken);

    EXPECT_FALSE(ExplorerFileActions::move(path(u"root/a"_s), url(u"root/a"_s), dialogs));
    EXPECT_FALSE(ExplorerFileActions::move(path(u"root/a"_s), url(u"root/a/b"_s), dialogs));
    EXPECT_FALSE(ExplorerFileActions::move(path(u"root/a"_s), url(u"root"_s), dialogs));
    EXPECT_FALSE(ExplorerFileActions::move(file, url(u"root/a/"_s), dialogs));
    EXPECT_TRUE(dialogs.alerts().isEmpty());
    EXPECT_TRUE(QFileInfo(path(u"root/a/b"_s)).isDir());

    EXPECT_FALSE(ExplorerFileActions::move(file, url(u"root/dest"_s), dialogs));
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Can't Move \"r.jrxml\""_s);
    EXPECT_EQ(dialogs.alerts().first().informativeText,
              u"A file or folder with that name already exists in \"dest\"."_s);
    EXPECT_TRUE(dialogs.alerts().first().buttons.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(testsupport::readFile(taken), takenBytes);

    EXPECT_FALSE(ExplorerFileActions::move(u"not a path"_s, url(u"root/dest"_s), dialogs));
    EXPECT_EQ(dialogs.alerts().last().message, u"Move Failed"_s);
    EXPECT_FALSE(dialogs.alerts().last().informativeText.isEmpty());

    // A folder whose name starts like the destination's is not inside it.
    makeFolder(u"root/a2"_s);
    EXPECT_TRUE(ExplorerFileActions::move(path(u"root/a"_s), url(u"root/a2"_s), dialogs));
    EXPECT_TRUE(QFileInfo::exists(path(u"root/a2/a/r.jrxml"_s)));
    EXPECT_TRUE(ExplorerFileActions::move(path(u"root/a2/a/r.jrxml"_s), url(u"root"_s), dialogs));
    EXPECT_TRUE(QFileInfo::exists(path(u"root/r.jrxml"_s)));
}

TEST_F(ExplorerFileActionsTest, ListingPutsFoldersFirstInNaturalCaseInsensitiveOrder)
{
    makeFolder(u"root/Z"_s);
    makeFolder(u"root/a"_s);
    makeFolder(u"root/.hiddenfolder"_s);
    for (const QString &name :
         {u"b.jrxml"_s, u"a10.jrxml"_s, u"a9.jrxml"_s, u".hidden"_s, u"x.txt"_s, u"B2.jrxml"_s})
        writeText(u"root/"_s + name, "x");
    EXPECT_EQ(listing(u"root"_s), (QStringList{u"a"_s, u"Z"_s, u"a9.jrxml"_s, u"a10.jrxml"_s,
                                               u"b.jrxml"_s, u"B2.jrxml"_s, u"x.txt"_s}));
    const QList<ExplorerListing::Entry> entries = ExplorerListing::children(url(u"root"_s));
    EXPECT_TRUE(entries.at(0).isDirectory);
    EXPECT_FALSE(entries.at(2).isDirectory);
    EXPECT_TRUE(ExplorerListing::children(url(u"missing"_s)).isEmpty());

    EXPECT_LT(ExplorerListing::compareNames(u"a"_s, u"Z"_s), 0);
    EXPECT_LT(ExplorerListing::compareNames(u"file2"_s, u"file10"_s), 0);
    EXPECT_EQ(ExplorerListing::compareNames(u"Same"_s, u"same"_s), 0);
}

TEST_F(ExplorerFileActionsTest, RevealListsTheFoldersUpToTheRootAndOnlyBelowIt)
{
    const QString root = path(u"p/proj"_s);
    const auto folders = ExplorerListing::foldersToReveal(root, url(u"p/proj/x/y/r.jrxml"_s));
    ASSERT_TRUE(folders);
    EXPECT_EQ(*folders, (QStringList{path(u"p/proj/x/y"_s), path(u"p/proj/x"_s), root}));
    EXPECT_EQ(ExplorerListing::foldersToReveal(root + u'/', url(u"p/proj/r.jrxml"_s)),
              QStringList{root});
    EXPECT_FALSE(ExplorerListing::foldersToReveal(root, url(u"p/proj2/r.jrxml"_s)));
    EXPECT_FALSE(ExplorerListing::foldersToReveal(root, url(u"p/r.jrxml"_s)));
}

TEST_F(ExplorerFileActionsTest, DropsCarryAPathAsTextOrALocalFileURL)
{
    QMimeData text;
    text.setText(u"/p/proj/r.jrxml"_s);
    EXPECT_EQ(ExplorerListing::droppedPath(text), u"/p/proj/r.jrxml"_s);

    QMimeData uris;
    uris.setUrls({QUrl(u"https://example.com/x"_s), QUrl::fromLocalFile(u"/p/a b.jrxml"_s)});
    EXPECT_EQ(ExplorerListing::droppedPath(uris), u"/p/a b.jrxml"_s);

    QMimeData remote;
    remote.setUrls({QUrl(u"https://example.com/x"_s)});
    remote.setText(u"/p/proj/r.jrxml"_s);
    EXPECT_FALSE(ExplorerListing::droppedPath(remote)) << "remote URLs are refused";

    QMimeData empty;
    EXPECT_FALSE(ExplorerListing::droppedPath(empty));
    QMimeData image;
    image.setData(u"image/png"_s, "\x89PNG");
    EXPECT_FALSE(ExplorerListing::droppedPath(image));
}

} // namespace
