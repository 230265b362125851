#include "app/FileCommands.h"
#include "AppInstanceTest.h"
#include "app/ActionsRow.h"
#include "app/AppMenus.h"
#include "app/ContentView.h"
#include "app/MainWindow.h"
#include "app/QuillmarkApp.h"
#include "document/ElementClipboard.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "engine/ZipService.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileCommandsTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    }

    FileCommands &commands() const { return app->fileCommands(); }
    WorkspaceModel &workspace() const { return app->workspace(); }
    DocumentStore *store() const { return workspace().activeStore(); }
    QAction *item(QMenu *menu, const QString &title) const
    {
        QAction *found = AppMenus::action(menu, title);
        EXPECT_NE(found, nullptr) << title.toStdString();
        return found;
    }
    QStringList titles(const QMenu *menu) const
    {
        QStringList all;
        for (const QAction *action : menu->actions())
            all.append(action->isSeparator() ? u"-"_s : action->text());
        return all;
    }
};

TEST_F(FileCommandsTest, EnablingFollowsTheStoreTheSelectionAndTheEngine)
{
    QMenu *edit = app->menus().editMenu();
    EXPECT_FALSE(item(edit, u"Undo"_s)->isEnabled());
    store()->addParameter();
    EXPECT_TRUE(item(edit, u"Undo"_s)->isEnabled()) << "without opening the menu";
    EXPECT_FALSE(item(edit, u"Redo"_s)->isEnabled());
    item(edit, u"Undo"_s)->trigger();
    EXPECT_FALSE(item(edit, u"Undo"_s)->isEnabled());
    EXPECT_TRUE(item(edit, u"Redo"_s)->isEnabled());

    workspace().newTab(595, 842);
    EXPECT_FALSE(item(edit, u"Redo"_s)->isEnabled()) << "the new active tab has no history";

    EXPECT_FALSE(item(edit, u"Duplicate"_s)->isEnabled());
    EXPECT_FALSE(item(edit, u"Delete"_s)->isEnabled());
    EXPECT_TRUE(item(edit, u"Copy"_s)->isEnabled());
    store()->setSelectedElementIDs({QUuid::createUuid()});
    EXPECT_TRUE(item(edit, u"Duplicate"_s)->isEnabled());
    EXPECT_TRUE(item(edit, u"Delete"_s)->isEnabled());

    QMenu *exportMenu = app->menus().exportMenu();
    EXPECT_EQ(titles(exportMenu),
              QStringList({u"PDF"_s, u"Rich Text (RTF)"_s, u"Excel (XLSX)"_s, u"HTML"_s, u"CSV"_s,
                           u"XML"_s, u"OpenDocument Text (ODT)"_s}));
    app->engine().setIsCompilingAll(true);
    for (const QAction *format : exportMenu->actions())
        EXPECT_FALSE(format->isEnabled()) << format->text().toStdString();
    app->engine().setIsCompilingAll(false);
    for (const QAction *format : exportMenu->actions())
        EXPECT_TRUE(format->isEnabled()) << format->text().toStdString();
}

TEST_F(FileCommandsTest, TheAppearanceButtonShowsTheSettingAndCyclesIt)
{
    const auto *row = app->mainWindow()->findChild<ActionsRow *>();
    ASSERT_NE(row, nullptr);
    QToolButton *button = row->button(u"moon"_s);
    const auto shown = [button]() -> QString {
        return button->property("symbolName").toString() + u' ' + button->toolTip();
    };
    EXPECT_EQ(shown(), u"circle.lefthalf.filled Appearance: System (click to cycle)"_s);
    button->click();
    EXPECT_EQ(shown(), u"sun.max Appearance: Light (click to cycle)"_s);
    button->click();
    store()->addParameter();
    EXPECT_EQ(shown(), u"moon Appearance: Dark (click to cycle)"_s) << "an edit leaves it alone";
    button->click();
    EXPECT_EQ(app->settings().appearance(), AppAppearance::system);
    EXPECT_EQ(shown(), u"circle.lefthalf.filled Appearance: System (click to cycle)"_s);
}

TEST_F(FileCommandsTest, AFocusedTextFieldTakesTheTextCommandsAndTheStoreIsUntouched)
{
    auto *field = new QLineEdit(u"hello world"_s, app->mainWindow());
    field->show();
    app->mainWindow()->activateWindow();
    field->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->mainWindow()));
    ASSERT_TRUE(field->hasFocus());
    const QUuid selected = QUuid::createUuid();
    store()->setSelectedElementIDs({selected});
    QSignalSpy clipboardChanges(workspace().clipboard(), &ElementClipboard::elementsChanged);

    item(app->menus().editMenu(), u"Select All"_s)->trigger();
    EXPECT_EQ(field->selectedText(), u"hello world"_s);
    item(app->menus().editMenu(), u"Copy"_s)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"hello world"_s);
    EXPECT_EQ(clipboardChanges.count(), 0);
    EXPECT_EQ(store()->selectedElementIDs(), QSet<QUuid>({selected}));
}

TEST_F(FileCommandsTest, OpenRecentListsTheFilesAndClears)
{
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths.append(writeReport(u"R%1.jrxml"_s.arg(i)));
    app->settings().setRecentFilePaths(paths);
    QMenu *recent = app->menus().openRecentMenu();
    QStringList expected;
    for (int i = 0; i < 10; ++i)
        expected.append(u"R%1.jrxml"_s.arg(i));
    expected << u"-"_s << u"Clear Menu"_s;
    EXPECT_EQ(titles(recent), expected);

    item(recent, u"R3.jrxml"_s)->trigger();
    EXPECT_EQ(store()->fileURL(), QUrl::fromLocalFile(paths[3]));
    EXPECT_EQ(app->settings().recentFilePaths().first(), paths[3]);

    item(recent, u"Clear Menu"_s)->trigger();
    EXPECT_TRUE(app->settings().recentFilePaths().isEmpty());
    ASSERT_EQ(titles(recent), QStringList({u"No Recent Files"_s}));
    EXPECT_FALSE(recent->actions().first()->isEnabled());
}

TEST_F(FileCommandsTest, OpenRecentOfADeletedFileOffersToRemoveIt)
{
    const QString kept = writeReport(u"Kept.jrxml"_s);
    const QString gone = writeReport(u"Gone.jrxml"_s);
    app->settings().setRecentFilePaths({gone, kept});
    ASSERT_TRUE(QFile::remove(gone));
    QMenu *recent = app->menus().openRecentMenu();

    dialogs->answerAlert(0);
    item(recent, u"Gone.jrxml"_s)->trigger();
    ASSERT_EQ(dialogs->alerts().size(), 1);
    EXPECT_EQ(dialogs->alerts().last().message, u"Can't Find \"Gone.jrxml\""_s);
    ASSERT_EQ(dialogs->alerts().last().buttons.size(), 2);
    EXPECT_EQ(dialogs->alerts().last().buttons[1].title, u"Remove from Recents"_s);
    EXPECT_EQ(app->settings().recentFilePaths(), QStringList({gone, kept})) << "OK keeps it";
    EXPECT_FALSE(store()->fileURL().has_value());

    dialogs->answerAlert(1);
    item(recent, u"Gone.jrxml"_s)->trigger();
    EXPECT_EQ(app->settings().recentFilePaths(), QStringList({kept}));
    EXPECT_EQ(titles(recent), QStringList({u"Kept.jrxml"_s, u"-"_s, u"Clear Menu"_s}));
}

TEST_F(FileCommandsTest, ProposedNames)
{
    ReportDocument named;
    named.name = u"Sales"_s;
    EXPECT_EQ(FileCommands::proposedReportFileName(named), u"Sales.jrxml"_s);
    EXPECT_EQ(FileCommands::proposedExportFileName(named, std::nullopt, ExportFormat::xlsx),
              u"Sales.xlsx"_s);
    EXPECT_EQ(
        FileCommands::proposedExportFileName(ReportDocument(), std::nullopt, ExportFormat::csv),
        u"report.csv"_s);
    EXPECT_EQ(FileCommands::proposedExportFileName(
                  named, QUrl::fromLocalFile(u"/reports/Invoice.2024.jrxml"_s), ExportFormat::pdf),
              u"Invoice.2024.pdf"_s)
        << "a saved report's file names the export";
    // A name never leads the panel into another folder.
    ReportDocument slashed;
    slashed.name = u"Sales/Q1"_s;
    EXPECT_EQ(FileCommands::proposedReportFileName(slashed), u"Sales_Q1.jrxml"_s);
    slashed.name = u".."_s;
    EXPECT_EQ(FileCommands::proposedExportFileName(slashed, std::nullopt, ExportFormat::pdf),
              u"report.pdf"_s);

    ReportDocument unnamed = store()->document();
    unnamed.name.clear();
    store()->setDocument(unnamed);
    dialogs->answerSavePanel(std::nullopt);
    item(app->menus().fileMenu(), u"Save"_s)->trigger();
    ASSERT_EQ(dialogs->savePanels().size(), 1) << "an untitled tab asks where to save";
    EXPECT_EQ(dialogs->savePanels()[0].proposedFileName, u"report.jrxml"_s);
    EXPECT_EQ(dialogs->savePanels()[0].fileExtensions, QStringList({u"jrxml"_s}));
    EXPECT_FALSE(store()->fileURL().has_value());
}

TEST_F(FileCommandsTest, SaveAllVisitsEveryTabInOrderAndSkipsCancelled)
{
    // Tabs: untitled (cancelled), A with a file and no changes, untitled "B" (saved).
    const QString a = writeReport(u"A.jrxml"_s, u"A"_s);
    store()->setIsDirty(true);
    workspace().openTab(QUrl::fromLocalFile(a));
    workspace().newTab(595, 842);
    ReportDocument b = store()->document();
    b.name = u"B"_s;
    store()->setDocument(b);
    ASSERT_EQ(workspace().tabs().size(), 3);
    QFile::remove(a);
    dialogs->answerSavePanel(std::nullopt);
    dialogs->answerSavePanel(QUrl::fromLocalFile(path(u"B.jrxml"_s)));

    commands().saveAllDocuments();

    ASSERT_EQ(dialogs->savePanels().size(), 2);
    EXPECT_NE(dialogs->savePanels()[0].proposedFileName, u"B.jrxml"_s);
    EXPECT_EQ(dialogs->savePanels()[1].proposedFileName, u"B.jrxml"_s);
    EXPECT_FALSE(workspace().tabs()[0]->fileURL().has_value());
    EXPECT_TRUE(QFile::exists(a)) << "a tab with a file is written even without changes";
    EXPECT_TRUE(QFile::exists(path(u"B.jrxml"_s)));
    EXPECT_FALSE(workspace().tabs()[2]->isDirty());
    EXPECT_TRUE(dialogs->alerts().isEmpty());
}

// Every way a report without a file of its own is given one can pick a file that exists, also
// the file of another tab: one question names that tab's fate, Cancel writes nothing, and a
// replace leaves that tab's report in the tab, unsaved, never two tabs on one file.
TEST_F(FileCommandsTest, SavingOntoAnotherTabsFileAsksAndLeavesThatTabUnsaved)
{
    struct Case {
        const char *how;
        std::function<void()> save;
    };
    const QList<Case> cases = {
        {"Save As", [this] { commands().saveActiveDocumentAs(); }},
        {"Save All", [this] { commands().saveAllDocuments(); }},
        {"a save asked for by work", [this] { store()->promptSaveIfNeeded(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        workspace().closeTab(0); // one fresh untitled tab
        const QString a = writeReport(u"A.jrxml"_s, u"Alpha"_s);
        const QString plain = writeReport(u"Plain.jrxml"_s, u"Plain"_s);
        workspace().openTab(QUrl::fromLocalFile(a));
        ASSERT_EQ(workspace().tabs().size(), 1);
        workspace().newTab(595, 842);
        ReportDocument beta = store()->document();
        beta.name = u"Beta"_s;
        store()->setDocument(beta);
        DocumentStore *tabA = workspace().tabs()[0];
        DocumentStore *tabB = workspace().tabs()[1];
        const qsizetype alertsBefore = dialogs->alerts().size();
        const qsizetype panelsBefore = dialogs->savePanels().size();

        // A file no tab shows: the question says only that it exists; Cancel writes nothing.
        dialogs->answerSavePanel(QUrl::fromLocalFile(plain));
        dialogs->answerAlert(1);
        c.save();
        ASSERT_EQ(dialogs->alerts().size(), alertsBefore + 1);
        const AlertRequest &plainQuestion = dialogs->alerts().last();
        EXPECT_EQ(plainQuestion.message, u"\u201CPlain.jrxml\u201D already exists. Replace it?"_s);
        EXPECT_FALSE(plainQuestion.informativeText.contains(u"another tab"_s));
        EXPECT_EQ(plainQuestion.defaultButton, 1) << "Return keeps the file";
        EXPECT_FALSE(tabB->fileURL().has_value());
        EXPECT_TRUE(readFile(plain).contains("Plain"));
        ASSERT_GT(dialogs->savePanels().size(), panelsBefore);
        EXPECT_FALSE(dialogs->savePanels().last().confirmsReplace)
            << "the panel does not ask a second, vaguer question";

        // The file of tab A: the question names the other tab; Cancel leaves both as they were.
        dialogs->answerSavePanel(QUrl::fromLocalFile(a));
        dialogs->answerAlert(1);
        c.save();
        ASSERT_EQ(dialogs->alerts().size(), alertsBefore + 2);
        EXPECT_EQ(dialogs->alerts().last().message,
                  u"\u201CA.jrxml\u201D already exists. Replace it?"_s);
        EXPECT_TRUE(
            dialogs->alerts().last().informativeText.contains(u"It is open in another tab."_s));
        EXPECT_TRUE(readFile(a).contains("Alpha"));
        EXPECT_FALSE(readFile(a).contains("Beta"));
        EXPECT_EQ(tabA->fileURL(), QUrl::fromLocalFile(a));

        // Replace: B's report is in the file, A's stays in its tab with no file and unsaved.
        dialogs->answerSavePanel(QUrl::fromLocalFile(a));
        dialogs->answerAlert(0);
        c.save();
        ASSERT_EQ(dialogs->alerts().size(), alertsBefore + 3);
        EXPECT_TRUE(readFile(a).contains("Beta"));
        EXPECT_EQ(tabB->fileURL(), QUrl::fromLocalFile(a));
        EXPECT_FALSE(tabB->isDirty());
        ASSERT_EQ(workspace().tabs().size(), 2);
        EXPECT_EQ(workspace().tabs()[0], tabA);
        EXPECT_FALSE(tabA->fileURL().has_value()) << "two tabs on one file";
        EXPECT_TRUE(tabA->isDirty());
        EXPECT_EQ(tabA->document().name, u"Alpha"_s);
        workspace().requestCloseTab(0);
        EXPECT_EQ(workspace().pendingCloseTabIndex(), 0) << "closing A's report asks";
        workspace().setPendingCloseTabIndex(std::nullopt);
        workspace().closeTab(1);
        workspace().closeTab(0);
        QFile::remove(a);
        QFile::remove(plain);
    }
}

TEST_F(FileCommandsTest, CompileAllGoesOnAfterAFailureAndLowersItsFlag)
{
    for (const QString &name : {u"One"_s, u"Two"_s}) {
        workspace().newTab(595, 842);
        ReportDocument document = store()->document();
        document.name = name;
        store()->setDocument(document);
    }
    QStringList compiled;
    QList<bool> flagDuring;
    commands().setCompileStep([&](const OpenTab &tab, QObject *context, auto done) {
        compiled.append(tab.document.name);
        flagDuring.append(app->engine().isCompilingAll());
        const bool fails = tab.document.name == u"One"_s;
        QTimer::singleShot(0, context, [done, fails] {
            done(fails ? std::optional<QString>(u"boom"_s) : std::nullopt);
        });
    });
    commands().compileAllDocuments();
    EXPECT_TRUE(app->engine().isCompilingAll());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app->engine().isCompilingAll(); }));
    ASSERT_EQ(compiled.size(), 3);
    EXPECT_EQ(compiled.mid(1), QStringList({u"One"_s, u"Two"_s}));
    EXPECT_EQ(flagDuring, QList<bool>({true, true, true}));
    ASSERT_EQ(dialogs->alerts().size(), 1) << "the failure is told, after the last report";
    EXPECT_EQ(dialogs->alerts()[0].informativeText, u"One: boom"_s);
}

TEST_F(FileCommandsTest, ZipSavesFirstAndAFailedSaveStopsIt)
{
    QDir(dir.path()).mkpath(u"Reports/Sales"_s);
    const QString report = writeReport(u"Reports/Sales/Sales.jrxml"_s, u"Sales"_s);
    workspace().openTab(QUrl::fromLocalFile(report));
    QStringList zipped;
    commands().setZipStep([&](const QString &folder, const QString &target,
                              const std::atomic<bool> &) { zipped << folder << target; });

    store()->addParameter();
    dialogs->answerSavePanel(QUrl::fromLocalFile(path(u"Sales.zip"_s)));
    commands().zipReportForUpload();
    ASSERT_EQ(dialogs->savePanels().size(), 1);
    EXPECT_EQ(dialogs->savePanels()[0].proposedFileName, u"Sales.zip"_s);
    EXPECT_EQ(dialogs->savePanels()[0].directory, QFileInfo(path(u"Reports"_s)).absoluteFilePath());
    EXPECT_FALSE(store()->isDirty()) << "the edit was saved before zipping";
    EXPECT_TRUE(commands().isZipping());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !commands().isZipping(); }));
    EXPECT_EQ(zipped, QStringList({QFileInfo(report).absolutePath(), path(u"Sales.zip"_s)}));

    // The folder disappears: the save fails, is shown, and nothing is zipped.
    zipped.clear();
    store()->addParameter();
    QDir(path(u"Reports/Sales"_s)).removeRecursively();
    commands().zipReportForUpload();
    ASSERT_EQ(dialogs->alerts().size(), 1);
    EXPECT_EQ(dialogs->alerts()[0].message, u"Quillmark"_s);
    EXPECT_TRUE(dialogs->alerts()[0].informativeText.contains(u"could not be saved"_s));
    EXPECT_EQ(dialogs->savePanels().size(), 1) << "no zip panel after a failed save";
    EXPECT_FALSE(commands().isZipping());
    EXPECT_TRUE(zipped.isEmpty());
    EXPECT_TRUE(store()->isDirty());
}

// Quitting while a folder is zipped ends the zip at once, quietly: no archive, no alert.
TEST_F(FileCommandsTest, CancellingAZipStopsItAtOnceAndSaysNothing)
{
    const QString report = writeReport(u"Sales.jrxml"_s, u"Sales"_s);
    workspace().openTab(QUrl::fromLocalFile(report));
    std::atomic<bool> started = false;
    std::atomic<bool> sawCancel = false;
    commands().setZipStep(
        [&](const QString &, const QString &, const std::atomic<bool> &cancelled) {
            started = true;
            // a zip that would take a minute
            for (int i = 0; i < 600 && !cancelled; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            sawCancel = bool(cancelled);
            throw ZipService::ZipError::cancelled();
        });
    dialogs->answerSavePanel(QUrl::fromLocalFile(path(u"Sales.zip"_s)));
    commands().zipReportForUpload();
    ASSERT_TRUE(commands().isZipping());
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(started); }));
    QElapsedTimer clock;
    clock.start();
    commands().cancelZip();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(sawCancel);
    EXPECT_FALSE(commands().isZipping());
    QTest::qWait(50);
    EXPECT_TRUE(dialogs->alerts().isEmpty()) << "a cancelled zip is no failure to show";
    EXPECT_FALSE(QFileInfo::exists(path(u"Sales.zip"_s)));
}

TEST_F(FileCommandsTest, AnOversizedPdfExportAsksAndCancelHasTheCancelRole)
{
    ReportDocument document = store()->document();
    document.pageHeight = 20000;
    store()->setDocument(document);
    dialogs->answerAlert(1); // "Cancel"
    commands().exportDocument(ExportFormat::pdf);
    ASSERT_EQ(dialogs->alerts().size(), 1);
    const AlertRequest &alert = dialogs->alerts()[0];
    EXPECT_EQ(alert.message, u"Page Size Exceeds PDF Limit"_s);
    ASSERT_EQ(alert.buttons.size(), 2);
    EXPECT_EQ(alert.buttons[0].title, u"Continue Anyway"_s);
    EXPECT_EQ(alert.buttons[0].role, AlertRequest::Role::normal);
    EXPECT_EQ(alert.buttons[1].title, u"Cancel"_s);
    EXPECT_EQ(alert.buttons[1].role, AlertRequest::Role::cancel)
        << "Escape and the close button choose Cancel";
    EXPECT_TRUE(dialogs->savePanels().isEmpty()) << "a cancelled export asks for no file";
    EXPECT_FALSE(app->engine().isExporting());
}

TEST_F(FileCommandsTest, ZoomKeysStepThroughTheLevels)
{
    MainWindow *window = app->mainWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_DOUBLE_EQ(store()->zoomLevel(), 1.0);
    QList<double> levels;
    for (int i = 0; i < 3; ++i) {
        QTest::keySequence(window, QKeySequence(u"Ctrl+="_s));
        levels.append(store()->zoomLevel());
    }
    EXPECT_EQ(levels, QList<double>({1.25, 1.5, 2.0}));
    QTest::keySequence(window, QKeySequence(u"Ctrl+0"_s));
    EXPECT_DOUBLE_EQ(store()->zoomLevel(), 1.0);
}

} // namespace
