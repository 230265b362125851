#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// The context menus of the project explorer's rows, as lists of entries, and the words for the
// desktop's file manager.
namespace ExplorerMenus {

enum class Action { open, reveal, rename, moveToTrash, newFolder };

struct Entry {
    Action action;
    QString title;
    bool isDestructive = false;
    // A divider is drawn above the entry.
    bool hasDividerAbove = false;

    bool operator==(const Entry &) const = default;
};

// "Show in Folder" on Linux and Windows' wording elsewhere: the entry that shows an item
// selected in the file manager.
QString revealTitle();
// The tooltip of the header button that shows the project folder in the file manager.
QString revealProjectFolderTooltip();

// "Open" (reports only) and a divider, show in the file manager, "Rename...", "Move to Trash".
QList<Entry> fileMenu(const QUrl &file);
// "New Folder", show in the file manager, and except on the root "Rename..." and "Move to Trash"
// after a divider.
QList<Entry> folderMenu(bool isRoot);

} // namespace ExplorerMenus
