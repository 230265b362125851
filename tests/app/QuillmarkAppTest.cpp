#include "app/QuillmarkApp.h"
#include "AppInstanceTest.h"
#include "ModelBuilders.h"
#include "app/AppMenus.h"
#include "app/ContentView.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "app/PreviewRun.h"
#include "app/RefusalBar.h"
#include "app/SettingsView.h"
#include "app/SettingsWindow.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/PaletteView.h"
#include "datapanel/DataPanelSheet.h"
#include "editors/CodeTextView.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/InMemoryKeychain.h"
#include "engine/KeychainWait.h"
#include "engine/SidecarModel.h"
#include "inspector/InspectorTexts.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class QuillmarkAppTest : public apptest::AppInstanceTest {
protected:
    // Shows the window with untitled tabs before A, which is active; the first is dirty or not.
    void startWithTabs(bool dirty)
    {
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
        WorkspaceModel &workspace = app->workspace();
        workspace.activeStore()->setIsDirty(dirty);
        workspace.newTab(595, 842);
        workspace.openTab(QUrl::fromLocalFile(writeReport(u"A.jrxml"_s)));
        ASSERT_EQ(workspace.tabs().size(), 3);
        ASSERT_EQ(workspace.activeTabIndex(), 2);
    }

    static QVariant stored(const QString &key)
    {
        QSettings settings;
        settings.sync();
        return settings.value(key);
    }
};

// The texts that send the user to a command name it where this window has it: a button of the
// toolbar or over the canvas, never a menu path the menu bar lacks.
TEST_F(QuillmarkAppTest, HintsNameTheButtonsWhereTheirCommandsAre)
{
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    const auto shownButton = [&](const QString &name) {
        for (const QToolButton *button : app->mainWindow()->findChildren<QToolButton *>())
            if (button->isVisible() &&
                (button->toolTip() == name || button->toolTip().startsWith(name + u" ("_s)))
                return true;
        return false;
    };
    QStringList menuItems;
    for (const QMenu *menu : app->mainWindow()->menuBar()->findChildren<QMenu *>())
        for (const QAction *item : menu->actions())
            menuItems.append(item->text());

    const QList<std::pair<QString, QStringList>> hints{
        {InspectorTexts::reportHint(), {u"Page Setup"_s, u"Data"_s}},
        {FriendlyErrorTranslator::translate(u"java.lang.NoClassDefFoundError: x"_s)
             .value_or(QString()),
         {u"Report a Bug"_s}},
        {PreviewRun::connectionLabel(nullptr, app->connectionStore()), {u"Data"_s}},
        {FriendlyErrorTranslator::translate(
             u"Field \"f\" of dataset \"Rows\" is declared with the class x.Y, which the engine "
             u"cannot load."_s)
             .value_or(QString()),
         {u"Data"_s}},
        {FriendlyErrorTranslator::translate(u"Duplicate declaration of report style: Title."_s)
             .value_or(QString()),
         {u"Data"_s}},
        {FriendlyErrorTranslator::translate(u"No answer from db:5432. The attempt failed."_s)
             .value_or(QString()),
         {u"Data"_s}}};
    for (const auto &[hint, buttons] : hints) {
        EXPECT_FALSE(hint.contains(u" > "_s)) << "a menu path: " << hint.toStdString();
        for (const QString &name : buttons) {
            EXPECT_TRUE(hint.contains(u"the "_s + name + u" button"_s)) << hint.toStdString();
            EXPECT_TRUE(shownButton(name)) << name.toStdString();
            EXPECT_FALSE(menuItems.contains(name)) << name.toStdString();
        }
    }
}

// On a computer where nothing handles mail links or shows folders (as under the offscreen
// platform, which opens nothing), Report a Bug and the explorer's folder button say so and offer
// to copy the address or the path.
TEST_F(QuillmarkAppTest, WithoutAMailProgramOrFileManagerTheCommandsOfferToCopy)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() &&
        bus.interface()->isServiceRegistered(u"org.freedesktop.FileManager1"_s))
        GTEST_SKIP() << "a file manager answers on this session bus";
    ASSERT_TRUE(QDir().mkpath(path(u"Reports"_s)));
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    QToolButton *reportBug = nullptr;
    for (QToolButton *button : app->mainWindow()->findChildren<QToolButton *>())
        if (button->property(SymbolIcons::symbolProperty) == u"ladybug"_s)
            reportBug = button;
    ASSERT_TRUE(reportBug);

    QGuiApplication::clipboard()->setText(u"before"_s);
    dialogs->answerAlert(0);
    reportBug->click();
    ASSERT_EQ(dialogs->alerts().size(), 1);
    const AlertRequest mail = dialogs->alerts().last();
    EXPECT_EQ(mail.message, u"Can't Open a Mail Program"_s);
    EXPECT_EQ(mail.informativeText,
              u"No mail program is set up on this computer to write the report in. Send it to "
              u"support@quillmark.app from the mail you use."_s);
    ASSERT_EQ(mail.buttons.size(), 2);
    EXPECT_EQ(mail.buttons[0].title, u"Copy Address"_s);
    EXPECT_EQ(mail.buttons[1].title, u"OK"_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"support@quillmark.app"_s);

    auto *showRoot = app->mainWindow()->findChild<QToolButton *>(u"explorer.revealRoot"_s);
    ASSERT_TRUE(showRoot && showRoot->isEnabled());
    dialogs->answerAlert(0);
    showRoot->click();
    ASSERT_EQ(dialogs->alerts().size(), 2);
    EXPECT_EQ(dialogs->alerts().last().message, u"Can't Show \"Reports\""_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QDir::toNativeSeparators(path(u"Reports"_s)));
}

// The clean end is recorded once the program has ended (its objects gone, the engine ended), not
// when the quit is decided: a quit that hangs on the way out is not a clean one.
TEST_F(QuillmarkAppTest, QuittingCleanStoresTheSessionAndMarksACleanShutdown)
{
    startWithTabs(false);
    EXPECT_TRUE(app->shouldTerminate());
    EXPECT_TRUE(dialogs->alerts().isEmpty());
    EXPECT_EQ(stored(u"lastOpenTabPaths"_s).toStringList(), QStringList{path(u"A.jrxml"_s)});
    EXPECT_EQ(stored(u"lastActiveTabIndex"_s).toInt(), 0) << "A's place among the saved tabs";
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"false"_s) << "not ended yet";
    app.reset();
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"true"_s);
}

TEST_F(QuillmarkAppTest, QuittingDirtyAsksAndOnlyQuitAnywayEndsTheSession)
{
    startWithTabs(true);
    dialogs->answerAlert(1);
    EXPECT_FALSE(app->shouldTerminate());
    ASSERT_EQ(dialogs->alerts().size(), 1);
    const AlertRequest &alert = dialogs->alerts().first();
    EXPECT_EQ(alert.message, u"Quit with Unsaved Changes?"_s);
    ASSERT_EQ(alert.buttons.size(), 2);
    EXPECT_EQ(alert.buttons.at(0).title, u"Quit Anyway"_s);
    EXPECT_EQ(alert.buttons.at(0).role, AlertRequest::Role::destructive);
    EXPECT_EQ(alert.defaultButton, 1) << "Return cancels";
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"false"_s) << "armed since launch";
    EXPECT_EQ(stored(u"lastOpenTabPaths"_s).toStringList(), QStringList{path(u"A.jrxml"_s)})
        << "the attempt stored the session";

    // Closing the window asks the same question; Cancel keeps it open.
    dialogs->answerAlert(-1);
    EXPECT_FALSE(app->mainWindow()->close());
    EXPECT_TRUE(app->mainWindow()->isVisible());
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"false"_s);

    dialogs->answerAlert(0);
    EXPECT_TRUE(app->shouldTerminate());
    EXPECT_TRUE(app->workspace().hasUnsavedChanges()) << "nothing was saved";
    app.reset();
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"true"_s);
}

// The menu is out of reach while a sheet covers the window: Ctrl+Q typed in the preview or in
// Report Data quits all the same, asking about the unsaved report first (answered Cancel here).
TEST_F(QuillmarkAppTest, CtrlQInThePreviewOrReportDataQuitsAskingFirst)
{
    startWithTabs(true);
    const auto typeQuitIn = [&](QWidget *sheet) {
        ASSERT_TRUE(sheet);
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
        dialogs->answerAlert(1);
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    };

    app->engine().setPreviewSession(PreviewSession{QUuid::createUuid()});
    typeQuitIn(app->contentView()->findChild<QWidget *>(u"PreviewSheet"_s));
    ASSERT_EQ(dialogs->alerts().size(), 1) << "Ctrl+Q in the preview";
    EXPECT_EQ(dialogs->alerts().last().message, u"Quit with Unsaved Changes?"_s);
    EXPECT_TRUE(app->mainWindow()->isVisible()) << "cancelled";
    app->engine().setPreviewSession(std::nullopt);

    app->workspace().setIsDataPanelVisible(true);
    typeQuitIn(app->contentView()->findChild<DataPanelSheet *>());
    ASSERT_EQ(dialogs->alerts().size(), 2) << "Ctrl+Q in Report Data";
    EXPECT_EQ(dialogs->alerts().last().message, u"Quit with Unsaved Changes?"_s);
    app->workspace().setIsDataPanelVisible(false);
}

// Report Data covers the window with a sheet of its own making: the window under it refuses to be
// closed, and says so. A quit that goes ahead closes the sheet first, then the window, and ends
// the event loop without asking the windows again.
TEST_F(QuillmarkAppTest, AQuitFromUnderReportDataClosesTheSheetAndTheWindowAndEndsTheLoop)
{
    startWithTabs(true);
    app->workspace().setIsDataPanelVisible(true);
    QPointer<DataPanelSheet> sheet = app->contentView()->findChild<DataPanelSheet *>();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
    auto *query = sheet->findChild<CodeTextView *>();
    ASSERT_TRUE(query);
    query->setFocus();
    QTest::keyClicks(query, u"select 1"_s);

    QPointer<MainWindow> window = app->mainWindow();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dialogs->alerts().isEmpty()) << "the covered window asks nothing";

    dialogs->answerAlert(0);
    QTimer::singleShot(0, app.get(), [this] { app->quit(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(dialogs->alerts().size(), 1) << "Quit with Unsaved Changes?";
    EXPECT_TRUE(sheet.isNull() || !sheet->isVisible());
    EXPECT_TRUE(window.isNull() || !window->isVisible());
}

// A preview on a connection whose password the keyring holds back (its unlock prompt unanswered,
// maybe behind the window): after a moment the designer shows that it waits for the keyring, and
// only that window takes clicks and keys. The keyring's answer lets the preview go ahead; Cancel
// calls it off; past the deadline the preview goes ahead without the password; a quit (Ctrl+Q,
// or the session's end) calls the wait off and ends the program once the preview has been called
// off.
TEST_F(QuillmarkAppTest, APreviewWaitingForTheKeyringShowsTheWaitWhichEndsByAnswerCancelOrQuit)
{
    startWithTabs(false);
    const DatabaseConnection sales{
        QUuid::createUuid(), u"Sales"_s, DatabaseType::postgres, u"db.local"_s, 5432,
        u"sales"_s,          u"ann"_s};
    app->connectionStore().add(sales, u"secret"_s);
    app->store()->setActiveConnectionID(sales.id);
    KeychainWait::setDeadline(std::chrono::seconds(3));
    const auto shownWait = []() -> QDialog * {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == u"keychainWait"_s && window->isVisible())
                return qobject_cast<QDialog *>(window);
        return nullptr;
    };
    // Acts on the wait's window from the wait's own loop, once it shows.
    const auto onceShown = [&](std::function<void(QDialog *)> act) {
        auto *poll = new QTimer(app.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act, shownWait] {
            if (QDialog *wait = shownWait()) {
                poll->deleteLater();
                poll->stop();
                act(wait);
            }
        });
        poll->start(10);
    };
    const struct {
        const char *name;
        std::function<void(QDialog *)> act; // none: the deadline passes
        bool previewed;
    } rounds[] = {
        {"answered", [&](QDialog *) { keychain->answer(); }, true},
        {"cancelled",
         [](QDialog *wait) {
             QTest::mouseClick(wait->findChild<QPushButton *>(u"keychainWait.cancel"_s),
                               Qt::LeftButton);
         },
         false},
        {"past the deadline", {}, true},
    };
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.name);
        keychain->holdAnswers();
        bool sawWait = false;
        onceShown([&](QDialog *wait) {
            sawWait = true;
            EXPECT_EQ(QApplication::activeModalWidget(), wait) << "nothing else takes input";
            const QLabel *title = wait->findChild<QLabel *>(u"keychainWait.title"_s);
            EXPECT_EQ(title ? title->text() : QString(), u"Waiting for the keyring…"_s);
            if (round.act)
                round.act(wait);
        });
        app->contentView()->startPreviewRun();
        EXPECT_TRUE(sawWait);
        EXPECT_EQ(shownWait(), nullptr);
        EXPECT_EQ(app->engine().previewSession().has_value(), round.previewed);
        app->engine().setPreviewSession(std::nullopt);
        keychain->answer();
    }

    // Ctrl+Q typed in the wait's window, or the session's end (SIGTERM), while it waits: the wait
    // and the preview are called off, then the program ends cleanly.
    const std::function<void(QDialog *)> quits[] = {
        [](QDialog *wait) {
            QTest::keyClick(wait->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        },
        [&](QDialog *) { app->quitAtSessionEnd(); },
    };
    for (const auto &quit : quits) {
        if (!app) {
            launch();
            app->start();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
            app->store()->setActiveConnectionID(sales.id);
        }
        keychain->holdAnswers();
        onceShown(quit);
        app->contentView()->startPreviewRun();
        EXPECT_FALSE(app->engine().previewSession().has_value()) << "called off by the quit";
        QPointer<MainWindow> window = app->mainWindow();
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_TRUE(window.isNull() || !window->isVisible());
        EXPECT_EQ(shownWait(), nullptr);
        app.reset();
        EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"true"_s);
    }
    KeychainWait::setDeadline({});
}

TEST_F(QuillmarkAppTest, AWindowNeverShownQuitsWithoutStoringOrAsking)
{
    app->workspace().activeStore()->setIsDirty(true);
    EXPECT_TRUE(app->shouldTerminate());
    EXPECT_TRUE(dialogs->alerts().isEmpty());
    EXPECT_FALSE(stored(u"lastOpenTabPaths"_s).isValid());
    app.reset();
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toString(), u"true"_s);
}

TEST_F(QuillmarkAppTest, TheWindowRestoresTheLastSessionWhenFirstShown)
{
    const QString a = writeReport(u"A.jrxml"_s);
    const QString b = writeReport(u"B.jrxml"_s);
    app->settings().setLastOpenTabPaths({a, b});
    app->settings().setLastActiveTabIndex(1);
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    EXPECT_EQ(app->mainWindow()->windowTitle(), u"Quillmark"_s);
    EXPECT_GE(app->mainWindow()->width(), 1100);
    EXPECT_GE(app->mainWindow()->height(), 750);
    ASSERT_EQ(app->workspace().tabs().size(), 2);
    EXPECT_EQ(app->store()->fileURL()->toLocalFile(), b);
    EXPECT_TRUE(app->workspace().keyMonitor());
    // The engine starts once the window has been painted.
    for (int i = 0; i < 50 && !app->engine().errorMessage(); ++i)
        QTest::qWait(100);
    ASSERT_TRUE(app->engine().errorMessage()) << "a failed engine start is kept for later";
    EXPECT_FALSE(app->engine().errorMessage()->isEmpty());
}

TEST_F(QuillmarkAppTest, ReportsNamedAtLaunchOpenAfterTheLastSessionAndAMissingOneIsNamed)
{
    const QString a = writeReport(u"A.jrxml"_s);
    const QString b = writeReport(u"B.jrxml"_s);
    app->settings().setLastOpenTabPaths({a});
    dialogs->answerAlert(0);
    app->setLaunchFiles({b, path(u"missing.jrxml"_s), a});
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    ASSERT_EQ(app->workspace().tabs().size(), 2) << "A, already open, is not opened twice";
    EXPECT_EQ(app->workspace().tabs().at(1)->fileURL()->toLocalFile(), b);
    ASSERT_EQ(dialogs->alerts().size(), 1);
    EXPECT_EQ(dialogs->alerts().front().message, u"Can't Find \"missing.jrxml\""_s);
}

} // namespace

namespace {

TEST_F(QuillmarkAppTest, LaunchPostsTheCrashPromptAndChecksForUpdatesOnceThePaintedWindowShows)
{
    int crashPrompts = 0;
    int updateChecks = 0;
    bool painted = false;
    bool checkedAfterPaint = false;
    QObject::connect(app->mainWindow(), &MainWindow::firstPainted, app.get(),
                     [&] { painted = true; });
    app->setLaunchChecks([&] { ++crashPrompts; },
                         [&] {
                             ++updateChecks;
                             checkedAfterPaint = painted;
                         });
    app->start();
    EXPECT_EQ(crashPrompts, 0) << "the prompt waits for the event queue";
    EXPECT_EQ(updateChecks, 0) << "the check waits for the window's first paint";
    ASSERT_TRUE(QTest::qWaitFor([&] { return updateChecks > 0; }));
    EXPECT_EQ(crashPrompts, 1);
    EXPECT_TRUE(checkedAfterPaint);
    app->mainWindow()->hide();
    app->mainWindow()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    app->mainWindow()->content()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(updateChecks, 1);
}

} // namespace

namespace {

TEST_F(QuillmarkAppTest, CtrlCommaOpensOnePreferencesWindowThatClosesWithTheMainWindow)
{
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    EXPECT_EQ(app->settingsAction()->text(), u"Settings…"_s);
    EXPECT_EQ(app->settingsWindow().view(), nullptr);
    for (int press = 0; press < 2; ++press) {
        app->mainWindow()->activateWindow();
        QTest::keyClick(app->mainWindow(), Qt::Key_Comma, Qt::ControlModifier);
    }
    const QPointer<SettingsView> view = app->settingsWindow().view();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().count(view.data()), 1);

    EXPECT_TRUE(app->mainWindow()->close());
    // The main window goes first, then the preferences window it closed.
    for (int round = 0; round < 2; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());
}

TEST_F(QuillmarkAppTest, CtrlZRightAfterADragOfTheSelectedElementUndoesIt)
{
    app->start();
    QWidget *window = app->mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    DocumentStore *store = app->store();
    const BandTarget detail = BandTarget::detailBand(store->document().detailBands[0].id);
    ReportElement box = testsupport::element(ElementKind::Rectangle{});
    box.x = 10;
    box.y = 5;
    box.width = 50;
    box.height = 20;
    // A report with nothing to undo yet, and the box selected.
    store->performAddElement(box, detail);
    store->setSelectedElementIDs({box.id});
    ASSERT_TRUE(store->undoStack().isEmpty());
    EXPECT_FALSE(AppMenus::action(app->menus().editMenu(), u"Undo"_s)->isEnabled());

    CanvasView *canvas = app->mainWindow()->content()->canvas();
    QWidget *viewport = canvas->graphicsView()->viewport();
    const BandItem *band = canvas->scene()->bandItem(detail);
    const auto at = [&](QPointF body) {
        return canvas->graphicsView()->mapFromScene(
            band->mapToScene(band->bodyRect().topLeft() + body));
    };
    QTest::mousePress(viewport, Qt::LeftButton, {}, at({20, 10}));
    QTest::mouseMove(viewport, at({25, 10}));
    QTest::mouseMove(viewport, at({120, 10}));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at({120, 10}));
    ASSERT_GT(store->element(box.id)->x, 90);
    EXPECT_TRUE(store->undoStack().isEmpty()) << "the drag's step is still pending";

    QAction *undo = AppMenus::action(app->menus().editMenu(), u"Undo"_s);
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());
    const auto *undoButton = window->findChild<QToolButton *>(u"arrow.uturn.backward"_s);
    ASSERT_NE(undoButton, nullptr);
    EXPECT_TRUE(undoButton->isEnabled());

    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(store->element(box.id)->x, 10);
    EXPECT_EQ(store->element(box.id)->y, 5);
    EXPECT_TRUE(store->undoStack().isEmpty());
    EXPECT_TRUE(store->canRedo());
    EXPECT_FALSE(undo->isEnabled());
}

// The palette's Subreport on the first untitled tab asks, through the window's own dialogs, where
// to save the report first: a chosen place saves it and adds the subreport with its file beside
// it; a cancelled panel adds nothing; a place that cannot be written says why in the bar.
TEST_F(QuillmarkAppTest, ThePalettesSubreportOnAnUnsavedReportAsksWhereToSaveItFirst)
{
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    const auto paletteSubreport = [&] {
        return app->mainWindow()->findChild<PaletteView *>()->button(u"doc.on.doc"_s);
    };
    const QString folder = path(u"Reports"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const struct {
        std::optional<QUrl> answer;
        bool added;
        QString bar;
    } cases[] = {
        {std::nullopt, false, QString()},
        {QUrl::fromLocalFile(path(u"missing/folder/Main.jrxml"_s)), false, u"could not be saved"_s},
        {QUrl::fromLocalFile(folder + u"/Main.jrxml"_s), true, QString()},
    };
    qsizetype panels = 0;
    for (const auto &step : cases) {
        SCOPED_TRACE((step.answer ? step.answer->toLocalFile() : u"cancelled"_s).toStdString());
        DocumentStore *store = app->store();
        const ReportDocument before = store->document();
        dialogs->answerSavePanel(step.answer);
        paletteSubreport()->click();
        ASSERT_EQ(dialogs->savePanels().size(), ++panels);
        const FilePanelRequest &asked = dialogs->savePanels().last();
        EXPECT_EQ(asked.message, u"Save this report first - a Subreport needs a real location to "
                                 u"create its file next to."_s);
        EXPECT_EQ(asked.proposedFileName, FileCommands::proposedReportFileName(before));
        EXPECT_EQ(asked.fileExtensions, QStringList{u"jrxml"_s});
        EXPECT_EQ(asked.directory, folder);
        const QString bar = app->contentView()->findChild<RefusalBar *>()->text();
        if (step.bar.isEmpty())
            EXPECT_TRUE(bar.isEmpty()) << bar.toStdString();
        else
            EXPECT_TRUE(bar.contains(step.bar)) << bar.toStdString();
        if (!step.added) {
            EXPECT_EQ(store->document(), before);
            EXPECT_FALSE(store->fileURL());
            continue;
        }
        EXPECT_EQ(store->fileURL(), step.answer);
        const ElementList added = store->elements(store->activeBandTarget());
        ASSERT_EQ(added.size(), 1);
        EXPECT_TRUE(added.at(0).kind.is<ElementKind::Subreport>());
        EXPECT_TRUE(QFileInfo::exists(folder + u"/Main_Subreport1.jrxml"_s));
    }
}

} // namespace
