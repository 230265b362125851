#include "app/QuillmarkApp.h"

#include "app/ActionsRow.h"
#include "app/AppMenus.h"
#include "app/ContentView.h"
#include "app/CrashDetection.h"
#include "app/FileCommands.h"
#include "app/KeyMonitor.h"
#include "app/KeychainWaitDialog.h"
#include "app/MainWindow.h"
#include "app/SettingsWindow.h"
#include "app/TerminationSignal.h"
#include "app/UpdateChecker.h"
#include "canvas/SnippetLibrary.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/KeychainWait.h"
#include "engine/QtKeychainHelper.h"
#include "engine/SidecarModel.h"
#include "setup/PicturePool.h"
#include "setup/ReportBookChapters.h"
#include "widgets/AppPalettes.h"
#include "widgets/WidgetDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScreen>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Reading the system's fonts is a good part of a start; it runs on another thread while the
// window is built, which waits for it only where it first measures text. The application font
// is settled first, so that both threads find the platform's font database made.
void readFontsAhead()
{
    QGuiApplication::font();
    QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
}

} // namespace

QuillmarkApp::QuillmarkApp(std::unique_ptr<Dialogs> dialogs,
                           std::unique_ptr<KeychainHelper> keychain, QObject *parent)
    : QObject(parent), termination_(new TerminationSignal([this] { quitAtSessionEnd(); }, this)),
      // Then: a crash while anything below runs, the session's restore included, must
      // find the markers armed, or it goes unnoticed and the same files reopen at every launch.
      previousSessionEndedUncleanly_(CrashDetection::checkPreviousSessionAndArmForThisOne()),
      dialogs_(std::move(dialogs)), keychain_(std::move(keychain)),
      settings_(new AppSettings(this)), workspace_(new WorkspaceModel(this))
{
    if (previousSessionEndedUncleanly_) {
        std::printf("%s\n", qPrintable(CrashDetection::uncleanEndNotice));
        std::fflush(stdout);
    }
    readFontsAhead();
    // The last session's reports are read on other threads while the window is built.
    workspace_->readLastSessionAhead(*settings_);
    // Palette and icon theme first: the window's views take their icons as they are built.
    applyAppearance();
    connect(settings_, &AppSettings::appearanceChanged, this, &QuillmarkApp::applyAppearance);
    if (!keychain_)
        keychain_ = std::make_unique<QtKeychainHelper>();
    keychainWaitDialog_ = std::make_unique<KeychainWaitDialog>([this] { quit(); });
    KeychainWait::setView(keychainWaitDialog_.get());
    connectionStore_ = new ConnectionPresetStore(rawSettings_, *keychain_, this);
    engine_ = new SidecarModel(this);
    snippetLibrary_ = new SnippetLibrary(rawSettings_, this);
    auto *widgetDialogs = dialogs_ ? nullptr : new WidgetDialogs;
    if (widgetDialogs)
        dialogs_.reset(widgetDialogs);
    updateChecker_ = new UpdateChecker(clock_, *dialogs_, urlOpener_, version_, this);
    crashPrompt_ = [this] {
        CrashDetection::promptIfNeeded(previousSessionEndedUncleanly_, *dialogs_, urlOpener_,
                                       version_, mainWindow_);
    };
    updateCheck_ = [this] { updateChecker_->checkIfNeeded(); };
    settingsWindow_ = new SettingsWindow(*settings_, *updateChecker_, version_, this);

    reportBooks_ = std::make_unique<ReportBookChapters>();
    auto *content = new ContentView(*workspace_, *settings_, *dialogs_, *snippetLibrary_, *engine_);
    content->setEngine(engine_, *connectionStore_, reportBooks_.get());
    content->setBugReporting(urlOpener_, version_);
    mainWindow_ = new MainWindow(content);
    mainWindow_->setAttribute(Qt::WA_DeleteOnClose);
    if (widgetDialogs)
        widgetDialogs->setParent(mainWindow_);
    mainWindow_->setShouldClose([this] { return quitting_ || shouldTerminate(); });
    connect(mainWindow_, &MainWindow::firstShown, this, &QuillmarkApp::onFirstShown);
    connect(mainWindow_, &QObject::destroyed, settingsWindow_, &SettingsWindow::close);
    settingsAction_ = new QAction(u"Settings…"_s, mainWindow_);
    settingsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    mainWindow_->addAction(settingsAction_);
    connect(settingsAction_, &QAction::triggered, this, &QuillmarkApp::showSettings);
    buildCommands();
}

QuillmarkApp::~QuillmarkApp()
{
    KeychainWait::setView(nullptr);
    delete mainWindow_;
    // Before the application goes: a picture still decoding may draw text with its fonts.
    PicturePool::stop();
    if (!quitGoesAhead_)
        return; // not a quit: the next launch offers to report it
    // The session has ended cleanly only once everything it started has: the engine is ended
    // now (the model would end it later, after this record).
    engine_->sidecar().shutdown();
    CrashDetection::markCleanShutdown();
}

void QuillmarkApp::buildCommands()
{
    fileCommands_ =
        new FileCommands(*workspace_, *settings_, *dialogs_, engine_, connectionStore_, this);
    fileCommands_->setReportBooks(reportBooks_.get());
    fileCommands_->setWindow(mainWindow_);
    auto *actions = new ActionsRow(*fileCommands_, *workspace_, *settings_);
    actions->setReportBug([this] { contentView()->reportBug(); });
    contentView()->setActionsRow(actions);
    connect(fileCommands_, &FileCommands::isZippingChanged, contentView(),
            [this] { contentView()->setZipping(fileCommands_->isZipping()); });
    contentView()->setCancelCompileAll([this] { fileCommands_->cancelCompileAll(); });
    menus_ = new AppMenus(mainWindow_->menuBar(), *fileCommands_, *workspace_, *settings_, this);
    menus_->setSettingsAction(settingsAction_);
    menus_->setQuit([this] { quit(); });
}

ContentView *QuillmarkApp::contentView() const
{
    return mainWindow_ ? mainWindow_->content() : nullptr;
}

DocumentStore *QuillmarkApp::store() const
{
    return workspace_->activeStore();
}

void QuillmarkApp::setLaunchChecks(std::function<void()> crashPrompt,
                                   std::function<void()> updateCheck)
{
    crashPrompt_ = std::move(crashPrompt);
    updateCheck_ = std::move(updateCheck);
}

void QuillmarkApp::applyAppearance()
{
    AppPalettes::apply(settings_->appearance());
}

void QuillmarkApp::start()
{
    // Most of the screen, and never less than the content's minimum.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        mainWindow_->resize(available.size() * 0.92);
        mainWindow_->move(available.center() - mainWindow_->rect().center());
    }
    mainWindow_->show();
    if (!quitting_)
        finishLaunching();
}

int QuillmarkApp::run()
{
    start();
    // An alert about a report named at launch runs while the window is first shown, before the
    // program's own loop: a quit decided under it (the session ending) ended the loops running
    // then. Entered now, the loop would run on with no window and the quit half done.
    if (quitting_)
        return 0;
    return QApplication::exec();
}

void QuillmarkApp::onFirstShown()
{
    KeyMonitor::install(
        workspace_, mainWindow_, [this] { quit(); },
        [this](bool undo) { undo ? fileCommands_->undo() : fileCommands_->redo(); });
    workspaceRef_ = workspace_;
    settingsRef_ = settings_;
    workspace_->restoreLastSession(*settings_);
    for (const QString &path : std::exchange(launchFiles_, {})) {
        fileCommands_->openRecent(QFileInfo(path).absoluteFilePath());
        // The session ended while an alert about this one was shown: nothing more opens.
        if (quitting_)
            return;
    }
    emit sessionRestored();
}

void QuillmarkApp::finishLaunching()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->isVisible())
            continue;
        window->raise();
        window->activateWindow();
    }
    if (crashPrompt_)
        QTimer::singleShot(0, this, crashPrompt_);
    // Once the window has been painted: the check's first request loads the network stack.
    connect(
        mainWindow_, &MainWindow::firstPainted, this,
        [this] {
            if (updateCheck_)
                updateCheck_();
        },
        Qt::SingleShotConnection);
}

void QuillmarkApp::showSettings()
{
    settingsWindow_->showOrRaise();
}

void QuillmarkApp::presentError(const QString &description)
{
    dialogs_->presentError(description);
}

void QuillmarkApp::recordSession()
{
    if (workspaceRef_ && settingsRef_) {
        settingsRef_->setLastOpenTabPaths(workspaceRef_->openTabPaths());
        settingsRef_->setLastActiveTabIndex(workspaceRef_->activeTabPathIndex());
    }
}

bool QuillmarkApp::shouldTerminate()
{
    // Text typed in the source sheet and not applied yet is asked about before anything else:
    // applied, it becomes one of the changes asked about next.
    if (workspaceRef_ && !workspaceRef_->mayCloseSource())
        return false;
    recordSession();
    if (workspaceRef_ && workspaceRef_->hasUnsavedChanges()) {
        const int answer = dialogs_->runAlert(
            {AlertRequest::Style::warning,
             u"Quit with Unsaved Changes?"_s,
             u"One or more open reports have unsaved changes. Quitting now will discard them."_s,
             {{u"Quit Anyway"_s, AlertRequest::Role::destructive},
              {u"Cancel"_s, AlertRequest::Role::cancel}},
             1});
        if (answer != 0)
            return false;
    }
    quitGoesAhead_ = true;
    return true;
}

bool QuillmarkApp::putOffWhileKeychainWaits(void (QuillmarkApp::*again)())
{
    if (!KeychainWait::isWaiting())
        return false;
    KeychainWait::cancelAll();
    // A timer, not a posted call: the loop that runs the wait handles posted calls before it
    // returns, the caller still waiting under it.
    QTimer::singleShot(std::chrono::milliseconds(20), this, again);
    return true;
}

void QuillmarkApp::quit()
{
    if (quitting_ || putOffWhileKeychainWaits(&QuillmarkApp::quit) || !shouldTerminate())
        return;
    quitting_ = true;
    endQuit();
}

void QuillmarkApp::quitAtSessionEnd()
{
    if (quitting_ || putOffWhileKeychainWaits(&QuillmarkApp::quitAtSessionEnd))
        return;
    quitting_ = true;
    quitGoesAhead_ = true;
    recordSession();
    endQuit();
}

void QuillmarkApp::endQuit()
{
    // A zip under way ends now and leaves no partial archive.
    fileCommands_->cancelZip();
    // The quit is decided: the sheets close without asking again (an ending session asks
    // nothing at all).
    if (workspaceRef_)
        workspaceRef_->setSourceCloseCheck({});
    // The windows over the main window first: a sheet that covers it refuses its closing.
    const QWidgetList windows = QApplication::topLevelWidgets();
    QList<QPointer<QWidget>> others;
    for (QWidget *window : windows) {
        if (window != mainWindow_ && window->isVisible())
            others.append(window);
    }
    for (const QPointer<QWidget> &window : std::as_const(others)) {
        if (window)
            window->close();
    }
    settingsWindow_->close();
    if (mainWindow_)
        mainWindow_->close();
    // Ends every event loop, an alert's or a panel's included, without asking the windows again
    // (quit() would, and a window that refuses would keep the program running).
    QCoreApplication::exit(0);
}
