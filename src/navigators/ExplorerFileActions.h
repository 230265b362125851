#pragma once

#include <QString>
#include <QUrl>
#include <optional>

class AppSettings;
class Dialogs;
class WorkspaceModel;

// The file operations of the project explorer: open a report, rename, move to the trash, make a
// folder, move into another folder, and the questions asked before an item an open tab depends
// on is moved. They work on the file system directly, talk to the user through `dialogs` and
// keep no state. None of them changes an open tab's document or the place it saves to: the
// explorer tells the workspace what moved or went to the trash, and the tabs follow. Main
// thread only.
namespace ExplorerFileActions {

// A report file: its extension, in any case, is "jrxml".
bool isReportFile(const QUrl &url);
bool isReportPath(const QString &path);
// The absolute path of a local file URL with ".", ".." and doubled or trailing slashes removed;
// locations are compared by this text.
QString standardizedPath(const QUrl &url);
// True when `path` is `ancestor` itself or lies below it.
bool isSameOrBelow(const QString &path, const QString &ancestor);

// Opens a report in a tab (or activates the tab that shows it) and puts it first among the
// recent files. Anything but a report file is ignored; a missing file gets the "Can't Find"
// alert, which offers "Remove from Recents" when the path is among the recent files.
void open(const QUrl &url, WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs);

// Asks for a new name and renames the item in its folder. The new location, or none when
// nothing was renamed (cancelled, empty or unchanged name, or a failure that was shown).
std::optional<QUrl> promptRename(const QUrl &url, Dialogs &dialogs);

// True when a tab's file is the item or lies below it.
bool isOpenOrAncestor(const QUrl &url, const WorkspaceModel &workspace);
// True when the item may go to the trash: nothing open depends on it, or the user agreed.
bool confirmTrashIfOpen(const QUrl &url, const WorkspaceModel &workspace, Dialogs &dialogs);
// Moves the item to the user's trash. A failure is shown, naming why the item stays; an item
// that is gone already is passed over. True when the item is no longer there.
bool moveToTrash(const QUrl &url, Dialogs &dialogs);
// Makes "New Folder", or "New Folder 2", "New Folder 3" … when the name is taken, in `folder`;
// a failure is ignored.
void createNewFolder(const QUrl &folder);
// True when the item may be moved: nothing open depends on it, or the user agreed.
bool confirmMoveIfOpen(const QUrl &url, const WorkspaceModel &workspace, Dialogs &dialogs);
// Moves the item at `sourcePath` into `destinationFolder`. False, silently, for a move onto
// itself, into its own subtree or into the folder that holds it already; false after an alert
// when the name is taken there or the move fails.
bool move(const QString &sourcePath, const QUrl &destinationFolder, Dialogs &dialogs);

} // namespace ExplorerFileActions
