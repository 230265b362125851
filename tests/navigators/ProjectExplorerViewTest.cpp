#include "navigators/ProjectExplorerView.h"
#include "AppTestSupport.h"
#include "PrivateTrash.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "navigators/ExplorerFileActions.h"
#include "navigators/FileRevealer.h"
#include "navigators/ProjectExplorerState.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

class ProjectExplorerViewTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings.emplace(std::optional<QString>(path(u"documents"_s)));
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"root"_s));
        root = path(u"root"_s);
        settings->setProjectRootPath(root);
        view.emplace(workspace, *settings, dialogs);
        view->setRevealer(&revealer);
        view->resize(260, 400);
        view->show();
        view->refreshNow();
    }

    void TearDown() override { view.reset(); }

    QString file(const QString &name, const QByteArray &bytes = "x")
    {
        QDir(dir.path()).mkpath(QFileInfo(path(name)).path());
        return writeText(name, bytes);
    }

    QString report(const QString &name)
    {
        QDir(dir.path()).mkpath(QFileInfo(path(name)).path());
        return writeReport(name);
    }

    QStringList rowNames() const
    {
        QStringList names;
        for (const ExplorerItem &row : view->rows())
            names.append(QString(row.depth, u' ') + row.url().fileName());
        return names;
    }

    std::optional<ExplorerItem> row(const QString &name) const
    {
        std::optional<ExplorerItem> found = view->row(QDir::cleanPath(path(name)));
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }

    QWidget *treeViewport() const { return view->tree()->viewport(); }

    // Where the pointer goes for a row: on its name, scrolled into view.
    QPoint pointOf(const QString &name) const
    {
        const auto *model = static_cast<const ExplorerModel *>(view->tree()->model());
        const QModelIndex index = model->indexOf(QDir::cleanPath(path(name)));
        view->tree()->scrollTo(index);
        const QRect rect = view->tree()->visualRect(index);
        EXPECT_FALSE(rect.isEmpty()) << name.toStdString();
        return {rect.left() + 40, rect.center().y()};
    }

    // Clicks a row with the mouse and lets the handling and the new listing run.
    void click(const QString &name)
    {
        ASSERT_TRUE(row(name));
        QTest::mouseClick(treeViewport(), Qt::LeftButton, {}, pointOf(name));
        settle();
    }

    void settle()
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }

    QToolButton *button(const char *name) const
    {
        return view->findChild<QToolButton *>(QString::fromLatin1(name));
    }

    // Sends a drag over a row and drops it there; true when the row took it. As a real drag
    // does, it drops only where the last move was accepted.
    bool drop(const QString &name, QMimeData &data)
    {
        if (!row(name))
            return false;
        const QPoint at = pointOf(name);
        const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(treeViewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(treeViewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(at), actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(treeViewport(), &dropEvent);
        settle();
        return dropEvent.isAccepted();
    }

    std::optional<AppSettings> settings;
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    RecordingFileRevealer revealer;
    std::optional<ProjectExplorerView> view;
    QString root;
};

TEST_F(ProjectExplorerViewTest, WithoutARootTheTreeSaysSoAndTheRevealButtonsAreOff)
{
    settings->setProjectRootPath(std::nullopt);
    settle();
    EXPECT_EQ(view->findChild<QLabel *>(u"explorer.title"_s)->text(), u"Project"_s);
    auto *empty = view->findChild<QLabel *>(u"explorer.empty"_s);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->text(), u"No folder chosen."_s);
    EXPECT_TRUE(view->rows().isEmpty());
    EXPECT_FALSE(button("explorer.revealActive")->isEnabled());
    EXPECT_FALSE(button("explorer.revealRoot")->isEnabled());
    EXPECT_TRUE(button("explorer.chooseRoot")->isEnabled());
    EXPECT_EQ(button("explorer.chooseRoot")->property(SymbolIcons::symbolProperty),
              u"folder.badge.plus"_s);

    // Choosing a folder sets the root and starts collapsed.
    view->explorerState().expand(path(u"root/a"_s));
    dialogs.answerOpenPanel({QUrl::fromLocalFile(root)});
    button("explorer.chooseRoot")->click();
    settle();
    ASSERT_EQ(dialogs.openPanels().size(), 1);
    EXPECT_TRUE(dialogs.openPanels().first().choosesDirectories);
    EXPECT_EQ(settings->projectRootPath(), root);
    EXPECT_TRUE(view->explorerState().expandedFolders().isEmpty());
    EXPECT_EQ(view->findChild<QLabel *>(u"explorer.title"_s)->text(), u"root"_s);
    EXPECT_EQ(rowNames(), QStringList{u"root"_s});
    EXPECT_FALSE(button("explorer.revealActive")->isEnabled()) << "the untitled tab has no file";
    button("explorer.revealRoot")->click();
    EXPECT_EQ(revealer.revealed, QList<QUrl>{QUrl::fromLocalFile(root)});

    // A cancelled panel changes nothing.
    view->explorerState().expand(path(u"root/a"_s));
    button("explorer.chooseRoot")->click();
    EXPECT_FALSE(view->explorerState().expandedFolders().isEmpty());
}

TEST_F(ProjectExplorerViewTest, ListsFoldersFirstInNaturalOrderDimsOtherFilesAndOpensReportsOnClick)
{
    QDir(root).mkpath(u"Z"_s);
    QDir(root).mkpath(u"a"_s);
    for (const QString &name : {u"b.jrxml"_s, u"a10.jrxml"_s, u".hidden"_s, u"x.txt"_s})
        file(u"root/"_s + name);
    const QString a9 = report(u"root/a9.jrxml"_s);
    const QString b = report(u"root/b.jrxml"_s);
    settings->setExplorerRefreshTick(settings->explorerRefreshTick() + 1);
    settle();
    EXPECT_EQ(rowNames(), (QStringList{u"root"_s, u" a"_s, u" Z"_s, u" a9.jrxml"_s, u" a10.jrxml"_s,
                                       u" b.jrxml"_s, u" x.txt"_s}));
    EXPECT_TRUE(row(u"root/x.txt"_s)->isDimmed());
    EXPECT_EQ(row(u"root/x.txt"_s)->symbol(), u"doc"_s);
    EXPECT_FALSE(row(u"root/b.jrxml"_s)->isDimmed());
    EXPECT_EQ(row(u"root/b.jrxml"_s)->symbol(), u"doc.text"_s);

    click(u"root/x.txt"_s);
    EXPECT_FALSE(workspace.activeStore()->fileURL());
    EXPECT_TRUE(dialogs.alerts().isEmpty());

    click(u"root/a9.jrxml"_s);
    ASSERT_TRUE(workspace.activeStore()->fileURL());
    EXPECT_EQ(workspace.activeStore()->fileURL()->toLocalFile(), a9);
    EXPECT_EQ(settings->recentFilePaths(), QStringList{a9});
    EXPECT_TRUE(row(u"root/a9.jrxml"_s)->isOpen);
    EXPECT_TRUE(button("explorer.revealActive")->isEnabled());

    // Only the active tab's file is marked; switching tabs moves the mark.
    click(u"root/b.jrxml"_s);
    EXPECT_EQ(workspace.activeStore()->fileURL()->toLocalFile(), b);
    EXPECT_FALSE(row(u"root/a9.jrxml"_s)->isOpen);
    EXPECT_TRUE(row(u"root/b.jrxml"_s)->isOpen);
    workspace.setActiveTabIndex(0);
    settle();
    EXPECT_TRUE(row(u"root/a9.jrxml"_s)->isOpen);
    EXPECT_FALSE(row(u"root/b.jrxml"_s)->isOpen);
}

TEST_F(ProjectExplorerViewTest, AClickTogglesAFolderButTheRootStaysOpen)
{
    file(u"root/a/inner/deep.txt"_s);
    settings->setExplorerRefreshTick(1);
    settle();
    click(u"root/a"_s);
    EXPECT_EQ(rowNames(), (QStringList{u"root"_s, u" a"_s, u"  inner"_s}));
    EXPECT_TRUE(row(u"root/a"_s)->isExpanded);
    click(u"root/a"_s);
    EXPECT_EQ(rowNames(), (QStringList{u"root"_s, u" a"_s}));

    view->explorerState().expand(QDir::cleanPath(root));
    click(u"root"_s);
    EXPECT_FALSE(view->explorerState().isExpanded(QDir::cleanPath(root)));
    click(u"root"_s);
    EXPECT_EQ(rowNames(), (QStringList{u"root"_s, u" a"_s})) << "the root never collapses";

    // A root that names a file is a single file row.
    settings->setProjectRootPath(path(u"root/a/inner/deep.txt"_s));
    settle();
    EXPECT_EQ(rowNames(), QStringList{u"deep.txt"_s});
    EXPECT_FALSE(view->rows().first().isDirectory);
}

TEST_F(ProjectExplorerViewTest, RevealExpandsTheFoldersAboveTheActiveFileAndCentresItsRow)
{
    for (int i = 0; i < 20; ++i) {
        file(u"root/x/y/a%1.txt"_s.arg(i));
        file(u"root/x/y/z%1.txt"_s.arg(i));
    }
    const QString r = report(u"root/x/y/r.jrxml"_s);
    workspace.openTab(QUrl::fromLocalFile(r));
    settle();
    ASSERT_TRUE(button("explorer.revealActive")->isEnabled());
    QTest::mouseClick(button("explorer.revealActive"), Qt::LeftButton);
    settle();
    settle();
    EXPECT_EQ(view->explorerState().expandedFolders(),
              (QSet<QString>{QDir::cleanPath(root), path(u"root/x"_s), path(u"root/x/y"_s)}));
    const std::optional<ExplorerItem> target = row(u"root/x/y/r.jrxml"_s);
    ASSERT_TRUE(target);
    EXPECT_TRUE(target->isOpen);
    auto *tree = view->findChild<QTreeView *>(u"explorer.tree"_s);
    ASSERT_TRUE(tree);
    const QRect shown = view->rowRect(r);
    EXPECT_GT(tree->verticalScrollBar()->value(), 0);
    EXPECT_NEAR(shown.center().y(), tree->viewport()->height() / 2, shown.height());

    // A file outside the root changes nothing (a folder whose name only begins like the root's).
    view->explorerState().collapseAll();
    const QString outside = report(u"root2/o.jrxml"_s);
    workspace.openTab(QUrl::fromLocalFile(outside));
    settle();
    view->revealActiveFileInTree();
    settle();
    EXPECT_TRUE(view->explorerState().expandedFolders().isEmpty());
}

TEST_F(ProjectExplorerViewTest, DropsOnFoldersMoveAndExpandAndRefuseWhatCannotMove)
{
    file(u"root/a/b/inner.txt"_s);
    const QString moved = report(u"root/r.jrxml"_s);
    file(u"root/dest/r.jrxml"_s, "taken");
    QDir(root).mkpath(u"c"_s);
    settings->setExplorerRefreshTick(1);
    view->explorerState().expand(path(u"root/a"_s));
    settle();

    // A folder into its own subfolder: refused without a word.
    QMimeData intoItself;
    intoItself.setText(path(u"root/a"_s));
    EXPECT_FALSE(drop(u"root/a/b"_s, intoItself));
    EXPECT_TRUE(dialogs.alerts().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(path(u"root/a/b/inner.txt"_s)));

    // The name is taken there: explained, nothing moved.
    QMimeData taken;
    taken.setText(moved);
    EXPECT_FALSE(drop(u"root/dest"_s, taken));
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Can't Move \"r.jrxml\""_s);
    EXPECT_EQ(testsupport::readFile(path(u"root/dest/r.jrxml"_s)), "taken");

    // A file browser's URI list moves like a path, and the folder opens.
    QMimeData uris;
    uris.setUrls({QUrl::fromLocalFile(moved)});
    EXPECT_TRUE(drop(u"root/c"_s, uris));
    EXPECT_TRUE(QFileInfo::exists(path(u"root/c/r.jrxml"_s)));
    EXPECT_TRUE(view->explorerState().isExpanded(path(u"root/c"_s)));
    EXPECT_TRUE(row(u"root/c/r.jrxml"_s));

    // Remote URLs and other payloads are refused before anything is asked.
    QMimeData remote;
    remote.setUrls({QUrl(u"https://example.com/r.jrxml"_s)});
    EXPECT_FALSE(drop(u"root/c"_s, remote));
    EXPECT_EQ(dialogs.alerts().size(), 1);

    // File rows take no drops.
    QMimeData onFile;
    onFile.setText(path(u"root/a"_s));
    EXPECT_FALSE(drop(u"root/c/r.jrxml"_s, onFile));

    // An open report asks first; cancelling leaves it.
    workspace.openTab(QUrl::fromLocalFile(path(u"root/c/r.jrxml"_s)));
    settle();
    dialogs.answerAlert(1);
    QMimeData open;
    open.setText(path(u"root/c"_s));
    EXPECT_FALSE(drop(u"root/a"_s, open));
    EXPECT_EQ(dialogs.alerts().last().message, u"\"c\" Holds an Open Report"_s);
    EXPECT_TRUE(QFileInfo::exists(path(u"root/c/r.jrxml"_s)));
}

TEST_F(ProjectExplorerViewTest, ContextMenusListTheirEntriesAndRunThem)
{
    report(u"root/r.jrxml"_s);
    file(u"root/notes.txt"_s);
    QDir(root).mkpath(u"sub"_s);
    settings->setExplorerRefreshTick(1);
    settle();

    // Opens the row's menu with a real context-menu event and picks an entry by its title.
    QStringList titles;
    QString entry;
    view->setMenuRunner([&titles, &entry](QMenu &menu, const QPoint &) -> QAction * {
        QAction *chosen = nullptr;
        for (QAction *action : menu.actions()) {
            titles.append(action->isSeparator() ? u"-"_s : action->text());
            if (action->text() == entry)
                chosen = action;
        }
        return chosen;
    });
    const auto pick = [&](const QString &name, const QString &choice) {
        titles.clear();
        entry = choice;
        const QPoint at = pointOf(name);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, treeViewport()->mapToGlobal(at));
        QApplication::sendEvent(treeViewport(), &event);
        settle();
        return titles;
    };

    EXPECT_EQ(
        pick(u"root/r.jrxml"_s, QString()),
        (QStringList{u"Open"_s, u"-"_s, u"Show in Folder"_s, u"Rename..."_s, u"Move to Trash"_s}));
    EXPECT_EQ(pick(u"root/notes.txt"_s, QString()),
              (QStringList{u"Show in Folder"_s, u"Rename..."_s, u"Move to Trash"_s}));
    EXPECT_EQ(pick(u"root"_s, QString()), (QStringList{u"New Folder"_s, u"Show in Folder"_s}));

    EXPECT_EQ(pick(u"root/sub"_s, u"New Folder"_s),
              (QStringList{u"New Folder"_s, u"Show in Folder"_s, u"-"_s, u"Rename..."_s,
                           u"Move to Trash"_s}));
    pick(u"root/sub"_s, u"New Folder"_s);
    pick(u"root/sub"_s, u"New Folder"_s);
    EXPECT_EQ(rowNames(), (QStringList{u"root"_s, u" sub"_s, u"  New Folder"_s, u"  New Folder 2"_s,
                                       u"  New Folder 3"_s, u" notes.txt"_s, u" r.jrxml"_s}));

    pick(u"root/notes.txt"_s, u"Show in Folder"_s);
    EXPECT_EQ(revealer.revealed, QList<QUrl>{QUrl::fromLocalFile(path(u"root/notes.txt"_s))});

    dialogs.answerTextAlert(0, u"notes.md"_s);
    pick(u"root/notes.txt"_s, u"Rename..."_s);
    EXPECT_TRUE(row(u"root/notes.md"_s));
    EXPECT_EQ(dialogs.alerts().last().message, u"Rename"_s);

    pick(u"root/r.jrxml"_s, u"Open"_s);
    ASSERT_TRUE(workspace.activeStore()->fileURL());
    EXPECT_EQ(workspace.activeStore()->fileURL()->fileName(), u"r.jrxml"_s);
}

// Where no file manager can show an item, "Show in Folder" and the header's button say so and
// offer to copy the item's path.
TEST_F(ProjectExplorerViewTest, WithoutAFileManagerShowingAnItemOffersToCopyItsPath)
{
    file(u"root/notes.txt"_s);
    settings->setExplorerRefreshTick(1);
    settle();
    view->setMenuRunner([](QMenu &menu, const QPoint &) -> QAction * {
        for (QAction *action : menu.actions())
            if (action->text() == u"Show in Folder"_s)
                return action;
        return nullptr;
    });
    const auto showInFolder = [&](const QString &name) {
        const QPoint at = pointOf(name);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, treeViewport()->mapToGlobal(at));
        QApplication::sendEvent(treeViewport(), &event);
        settle();
    };

    showInFolder(u"root/notes.txt"_s);
    EXPECT_TRUE(dialogs.alerts().isEmpty()) << "shown, nothing to say";

    revealer.shows = false;
    QGuiApplication::clipboard()->setText(u"before"_s);
    dialogs.answerAlert(0);
    showInFolder(u"root/notes.txt"_s);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    const AlertRequest &alert = dialogs.alerts().last();
    EXPECT_EQ(alert.message, u"Can't Show \"notes.txt\""_s);
    const QString notes = QDir::toNativeSeparators(path(u"root/notes.txt"_s));
    EXPECT_EQ(alert.informativeText,
              u"No file manager is set up on this computer to show it in. It is at:\n"_s + notes);
    ASSERT_EQ(alert.buttons.size(), 2);
    EXPECT_EQ(alert.buttons[0].title, u"Copy Path"_s);
    EXPECT_EQ(alert.buttons[1].title, u"OK"_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), notes);

    QGuiApplication::clipboard()->setText(u"before"_s);
    dialogs.answerAlert(1);
    button("explorer.revealRoot")->click();
    ASSERT_EQ(dialogs.alerts().size(), 2);
    EXPECT_EQ(dialogs.alerts().last().message, u"Can't Show \"root\""_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_s) << "OK copies nothing";
    EXPECT_EQ(revealer.revealed.size(), 3);
}

// A report renamed or moved in the explorer takes its open tab with it (and its place among the
// recent files); one moved to the trash leaves its tab without a file, so Save asks where to
// save it rather than bring the file back.
TEST_F(ProjectExplorerViewTest, AnOpenReportsTabFollowsItsRenameMoveAndTrash)
{
    QTemporaryDir dataHome(path(u"xdg-XXXXXX"_s));
    ASSERT_TRUE(dataHome.isValid());
    const testsupport::PrivateTrash trash(dataHome.path());

    const QString original = report(u"root/r.jrxml"_s);
    QDir(root).mkpath(u"sub"_s);
    workspace.openTab(QUrl::fromLocalFile(original));
    settings->addRecentFile(QUrl::fromLocalFile(original));
    DocumentStore *tab = workspace.activeStore();
    settings->setExplorerRefreshTick(1);
    settle();

    QString entry;
    view->setMenuRunner([&entry](QMenu &menu, const QPoint &) -> QAction * {
        for (QAction *action : menu.actions())
            if (action->text() == entry)
                return action;
        return nullptr;
    });
    const auto pick = [&](const QString &name, const QString &choice) {
        entry = choice;
        ASSERT_TRUE(row(name));
        const QPoint at = pointOf(name);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, treeViewport()->mapToGlobal(at));
        QApplication::sendEvent(treeViewport(), &event);
        settle();
    };

    dialogs.answerTextAlert(0, u"renamed.jrxml"_s);
    pick(u"root/r.jrxml"_s, u"Rename..."_s);
    const QString renamed = path(u"root/renamed.jrxml"_s);
    ASSERT_TRUE(tab->fileURL());
    EXPECT_EQ(tab->fileURL()->toLocalFile(), renamed);
    EXPECT_EQ(settings->recentFilePaths(), QStringList{renamed});
    tab->save(*tab->fileURL());
    EXPECT_FALSE(QFileInfo::exists(original)) << "saving writes the new name, not the old one";
    EXPECT_FALSE(tab->hasFileChangedOnDisk());

    // Moved into a folder by a drop: asked first, then the tab follows.
    QMimeData dropped;
    dropped.setText(renamed);
    dialogs.answerAlert(0);
    ASSERT_TRUE(view->dropOnFolder(QUrl::fromLocalFile(path(u"root/sub"_s)), dropped));
    EXPECT_EQ(dialogs.alerts().last().informativeText,
              u"This is currently open in a tab. Moving it won't close the tab: the tab moves "
              u"with it and saves to its new place."_s);
    const QString moved = path(u"root/sub/renamed.jrxml"_s);
    EXPECT_EQ(tab->fileURL()->toLocalFile(), moved);
    EXPECT_EQ(settings->recentFilePaths(), QStringList{moved});

    dialogs.answerAlert(0);
    pick(u"root/sub"_s, u"Move to Trash"_s);
    EXPECT_FALSE(QFileInfo::exists(moved));
    EXPECT_EQ(tab->fileURL(), std::nullopt) << "the tab no longer has a file";
    EXPECT_TRUE(tab->isDirty()) << "its report is kept nowhere but in the tab";
    EXPECT_EQ(workspace.tabs().size(), 1);
}

TEST_F(ProjectExplorerViewTest, AClickOpensTheFileUnderThePointerAfterARefresh)
{
    for (const QString &name : {u"b.jrxml"_s, u"d.jrxml"_s, u"f.jrxml"_s})
        report(u"root/"_s + name);
    settings->setExplorerRefreshTick(1);
    settle();
    const QPoint aimed = pointOf(u"root/d.jrxml"_s);

    // Files appear above the one aimed at; the next refresh moves it down.
    for (const QString &name : {u"a1.jrxml"_s, u"a2.jrxml"_s})
        report(u"root/"_s + name);
    settings->setExplorerRefreshTick(2);
    settle();
    const auto *model = static_cast<const ExplorerModel *>(view->tree()->model());
    const ExplorerItem *under = model->row(view->tree()->indexAt(aimed));
    ASSERT_TRUE(under);
    EXPECT_EQ(under->url().fileName(), u"a2.jrxml"_s);
    QTest::mouseClick(treeViewport(), Qt::LeftButton, {}, aimed);
    settle();
    ASSERT_TRUE(workspace.activeStore()->fileURL());
    EXPECT_EQ(workspace.activeStore()->fileURL()->fileName(), u"a2.jrxml"_s);

    // A press whose row moves away before the release opens nothing.
    const QPoint pressed = pointOf(u"root/f.jrxml"_s);
    QTest::mousePress(treeViewport(), Qt::LeftButton, {}, pressed);
    report(u"root/a0.jrxml"_s);
    view->refreshNow();
    QTest::mouseRelease(treeViewport(), Qt::LeftButton, {}, pressed);
    settle();
    EXPECT_EQ(workspace.tabs().size(), 1);
    EXPECT_EQ(workspace.activeStore()->fileURL()->fileName(), u"a2.jrxml"_s);
}

TEST_F(ProjectExplorerViewTest, ARefreshKeepsTheRowsAndTheScrollPosition)
{
    for (int i = 0; i < 200; ++i)
        file(u"root/many/file%1.txt"_s.arg(i));
    view->explorerState().expand(path(u"root/many"_s));
    settle();
    QScrollBar *scroll = view->tree()->verticalScrollBar();
    scroll->setValue(scroll->maximum() / 2);
    const int position = scroll->value();
    ASSERT_GT(position, 0);
    const auto *model = static_cast<const ExplorerModel *>(view->tree()->model());
    const QPersistentModelIndex kept = model->indexOf(path(u"root/many/file150.txt"_s));
    ASSERT_TRUE(kept.isValid());

    file(u"root/many/zz.txt"_s);
    settings->setExplorerRefreshTick(3);
    settle();
    EXPECT_TRUE(kept.isValid());
    EXPECT_EQ(QModelIndex(kept), model->indexOf(path(u"root/many/file150.txt"_s)));
    EXPECT_EQ(scroll->value(), position);
    EXPECT_TRUE(row(u"root/many/zz.txt"_s));
}

TEST_F(ProjectExplorerViewTest, KeysFoldFoldersAndOpenReports)
{
    const QString inner = report(u"root/sub/inner.jrxml"_s);
    settings->setExplorerRefreshTick(1);
    settle();
    click(u"root/sub"_s);
    click(u"root/sub"_s);
    ASSERT_FALSE(view->explorerState().isExpanded(path(u"root/sub"_s)));
    QTreeView *tree = view->tree();
    QTest::keyClick(tree, Qt::Key_Right);
    settle();
    EXPECT_TRUE(view->explorerState().isExpanded(path(u"root/sub"_s)));
    QTest::keyClick(tree, Qt::Key_Right);
    QTest::keyClick(tree, Qt::Key_Return);
    settle();
    ASSERT_TRUE(workspace.activeStore()->fileURL());
    EXPECT_EQ(workspace.activeStore()->fileURL()->toLocalFile(), inner);
    QTest::keyClick(tree, Qt::Key_Left);
    QTest::keyClick(tree, Qt::Key_Left);
    settle();
    EXPECT_FALSE(view->explorerState().isExpanded(path(u"root/sub"_s)));
}

} // namespace
