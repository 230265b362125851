#pragma once

#include "engine/KeychainHelper.h"
#include "widgets/Dialogs.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppClock.h"
#include "workspace/VersionInfo.h"

#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <functional>
#include <memory>

class AppSettings;
class ConnectionPresetStore;
class AppMenus;
class ContentView;
class FileCommands;
class DocumentStore;
class MainWindow;
class QAction;
class ReportBookChapters;
class SettingsWindow;
class SidecarModel;
class KeychainWaitDialog;
class SnippetLibrary;
class TerminationSignal;
class UpdateChecker;
class WorkspaceModel;

// The application: it owns the long-lived models (workspace, settings, engine, connection presets,
// snippet library), builds the main window and runs launch and quit. Before anything else it
// arms the crash markers for this session; then it has the system's fonts and the last session's
// reports read on other threads while it builds the window. On the window's first showing it
// installs the key monitor and restores the last session; after launching it brings the windows to
// the front and posts the launch checks, the update check once the window has been painted.
// Quitting, by the window's close or by a command, stores the open files and the active tab, asks
// before discarding unsaved changes (a stray Return keeps them), and marks the session as cleanly
// ended only when the program really ends: when the application object goes, after a quit that
// went ahead, once the engine has ended.
class QuillmarkApp : public QObject {
    Q_OBJECT

public:
    // `dialogs` answers every alert and panel; the program's own over the main window when
    // none is given. The keychain keeps connection passwords; the system's when none is given.
    explicit QuillmarkApp(std::unique_ptr<Dialogs> dialogs = {},
                          std::unique_ptr<KeychainHelper> keychain = {}, QObject *parent = nullptr);
    ~QuillmarkApp() override;

    WorkspaceModel &workspace() const { return *workspace_; }
    AppSettings &settings() const { return *settings_; }
    ConnectionPresetStore &connectionStore() const { return *connectionStore_; }
    SidecarModel &engine() const { return *engine_; }
    SnippetLibrary &snippetLibrary() const { return *snippetLibrary_; }
    Dialogs &dialogs() const { return *dialogs_; }
    MainWindow *mainWindow() const { return mainWindow_; }
    ContentView *contentView() const;
    FileCommands &fileCommands() const { return *fileCommands_; }
    AppMenus &menus() const { return *menus_; }
    // The active tab's store.
    DocumentStore *store() const;

    // Reports to open at launch (the program's arguments), after the last session's tabs; a
    // relative path is taken from the working folder. Set before start().
    void setLaunchFiles(QStringList paths) { launchFiles_ = std::move(paths); }
    // Shows the main window and finishes launching.
    void start();
    // Starts and runs the program until it quits; its exit code.
    int run();
    // The one alert for failed commands.
    void presentError(const QString &description);

    // The quit request: true when the program may end (and then the end counts as a clean one).
    // Stores the tabs of the last session first; asks "Quit with Unsaved Changes?" when a tab is
    // dirty.
    bool shouldTerminate();
    // Asks and, when allowed, ends the program (the window and the preferences window close).
    void quit();
    // Ends the program as the system asks when the session ends (SIGTERM): the tabs of the
    // session are stored and the end counts as a clean one, with nothing asked; unsaved changes
    // are lost, as they are with "Quit Anyway".
    void quitAtSessionEnd();

    // Opens the one preferences window, or brings it to the front (Edit ▸ Settings…, Ctrl+,).
    void showSettings();
    // The command that does so, for the menu; the main window carries it.
    QAction *settingsAction() const { return settingsAction_; }
    SettingsWindow &settingsWindow() const { return *settingsWindow_; }
    // Runs on the main queue after launching (the crash prompt, by default the one of
    // CrashDetection); and once the launched window has first been painted (by default the daily
    // update check). Either may be empty: start-up measurements and tests go without them.
    void setLaunchChecks(std::function<void()> crashPrompt, std::function<void()> updateCheck);

signals:
    // The window has been shown and the session restored.
    void sessionRestored();

private:
    void buildCommands();
    void onFirstShown();
    void finishLaunching();
    void applyAppearance();
    // Stores the open report files and the active tab for the next launch.
    void recordSession();
    // Ends a quit that goes ahead: a zip under way stops, the windows close, the loop ends.
    void endQuit();
    // While a caller waits for the keyring, a quit calls the wait off and comes again once the
    // caller has gone on (it then goes no further): true when `again` is thus put off.
    bool putOffWhileKeychainWaits(void (QuillmarkApp::*again)());

    // Installed first of all, before the launch markers are armed: a signal that asks the
    // program to end, however early it comes, ends it as a quit (at the first event loop), never
    // with this session's markers left armed.
    TerminationSignal *termination_;
    // Read, and the launch markers armed, before anything else is built.
    bool previousSessionEndedUncleanly_;
    QStringList launchFiles_;
    QSettings rawSettings_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<KeychainHelper> keychain_;
    // Shows a wait for the keyring's answer.
    std::unique_ptr<KeychainWaitDialog> keychainWaitDialog_;
    // The chapters of the report books made in this session.
    std::unique_ptr<ReportBookChapters> reportBooks_;
    SystemClock clock_;
    DesktopUrlOpener urlOpener_;
    VersionInfo version_ = VersionInfo::current();
    AppSettings *settings_;
    WorkspaceModel *workspace_;
    ConnectionPresetStore *connectionStore_;
    SidecarModel *engine_;
    SnippetLibrary *snippetLibrary_;
    UpdateChecker *updateChecker_;
    FileCommands *fileCommands_ = nullptr;
    AppMenus *menus_ = nullptr;
    QPointer<MainWindow> mainWindow_;
    SettingsWindow *settingsWindow_;
    QAction *settingsAction_;
    // Set when the window is first shown, as the quit request reads them.
    QPointer<WorkspaceModel> workspaceRef_;
    QPointer<AppSettings> settingsRef_;
    std::function<void()> crashPrompt_;
    std::function<void()> updateCheck_;
    bool quitting_ = false;
    // A quit request said yes: the session is marked as cleanly ended when this object goes.
    bool quitGoesAhead_ = false;
};
