#pragma once

#include <QObject>
#include <functional>

class AppSettings;
class DocumentStore;
class FileCommands;
class QAction;
class QMenu;
class QMenuBar;
class WorkspaceModel;

// The File, Edit and View menus of the main window. Items call FileCommands; their enabling
// follows the active store, the workspace and the engine as they change, so the shortcuts are
// right without the menus being opened.
class AppMenus : public QObject {
    Q_OBJECT

public:
    AppMenus(QMenuBar *bar, FileCommands &commands, WorkspaceModel &workspace,
             AppSettings &settings, QObject *parent = nullptr);

    // Settings… at the end of the Edit menu opens the preferences window.
    void setSettingsAction(QAction *settings);
    // Quit takes the application's quit path.
    void setQuit(std::function<void()> quit) { quit_ = std::move(quit); }

    QMenu *fileMenu() const { return file_; }
    QMenu *editMenu() const { return edit_; }
    QMenu *viewMenu() const { return view_; }
    QMenu *openRecentMenu() const { return openRecent_; }
    QMenu *exportMenu() const { return export_; }
    QMenu *appearanceMenu() const { return appearance_; }
    // The item of a menu with this title, or null.
    static QAction *action(const QMenu *menu, const QString &title);

private:
    void buildFile();
    void buildEdit();
    void buildView();
    void rebuildOpenRecent();
    void rebuildAppearance();
    void followActiveStore();
    void refresh();

    FileCommands &commands_;
    WorkspaceModel &workspace_;
    AppSettings &settings_;
    QMenuBar *bar_;
    QMenu *file_ = nullptr;
    QMenu *edit_ = nullptr;
    QMenu *view_ = nullptr;
    QMenu *openRecent_ = nullptr;
    QMenu *export_ = nullptr;
    QMenu *appearance_ = nullptr;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    QAction *duplicate_ = nullptr;
    QAction *delete_ = nullptr;
    DocumentStore *observed_ = nullptr;
    QList<QMetaObject::Connection> storeConnections_;
    std::function<void()> quit_;
};
