#pragma once

#include "navigators/ExplorerModel.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class AppSettings;
class Dialogs;
class DocumentStore;
class ExplorerTreeView;
class FileRevealer;
class ProjectExplorerState;
class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QToolButton;
class QTreeView;
class WorkspaceModel;

// The upper pane of the main window's left column: the project folder as a tree that the user
// expands and collapses, opens reports from with one click and manages files in through context
// menus and drags. It keeps no model of the file system and no watcher: it lists the expanded
// folders again whenever the workspace, the settings or its own state announce a change, and
// the tree view shows the rows that changed.
class ProjectExplorerView : public QWidget {
    Q_OBJECT

public:
    ProjectExplorerView(WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs,
                        QWidget *parent = nullptr);
    ~ProjectExplorerView() override;

    // What shows items in the file manager; without one those entries do nothing. When it cannot
    // show one, an alert says so and offers to copy the item's path.
    void setRevealer(FileRevealer *revealer) { revealer_ = revealer; }
    // Shows a row's context menu at a point and answers the chosen entry; the menu's own modal
    // loop unless tests answer.
    using MenuRunner = std::function<QAction *(QMenu &menu, const QPoint &globalPosition)>;
    void setMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }

    ProjectExplorerState &explorerState() const { return *state_; }

    // The rows, top to bottom; the row of an item by its standardised path.
    QList<ExplorerItem> rows() const;
    std::optional<ExplorerItem> row(const QString &path) const;
    // The tree, and where an item's row lies on its viewport (empty when it is not listed).
    QTreeView *tree() const;
    QRect rowRect(const QString &path) const;
    // Lists and draws the tree now rather than on the next turn of the event loop.
    void refreshNow();

    // Expands the folders above the active tab's file and scrolls its row to the middle.
    void revealActiveFileInTree();
    // Asks for a new root folder; a new root starts with every folder collapsed.
    void chooseFolder();
    // Runs what a context-menu entry of the row does (as the menu would).
    void runMenuEntry(const QUrl &url, bool isDirectory, int action);
    // Takes a drop onto a folder: asks about open items, moves, expands the folder.
    bool dropOnFolder(const QUrl &folder, const QMimeData &data);

private slots:
    void scheduleRefresh();

private:
    void rebuild();
    void updateHeader();
    void clickRow(const QUrl &url, bool isDirectory, bool isRoot);
    void showMenu(const QUrl &url, bool isDirectory, bool isRoot, const QPoint &globalPosition);
    void followActiveStore();
    void showInFileManager(const QUrl &url);
    void scrollToPendingRow();
    std::optional<QUrl> activeFile() const;

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    Dialogs &dialogs_;
    FileRevealer *revealer_ = nullptr;
    MenuRunner menuRunner_;
    ProjectExplorerState *state_;
    QLabel *title_ = nullptr;
    QToolButton *revealActive_ = nullptr;
    QToolButton *revealRoot_ = nullptr;
    QToolButton *chooseRoot_ = nullptr;
    ExplorerModel *model_ = nullptr;
    ExplorerTreeView *tree_ = nullptr;
    QLabel *empty_ = nullptr;
    QPointer<DocumentStore> activeStore_;
    QString pendingScrollPath_;
    bool refreshQueued_ = false;
    // While a file action asks the user, the tree stays as it is and is listed again after.
    int actionDepth_ = 0;
};
