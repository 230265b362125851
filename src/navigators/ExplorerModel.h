#pragma once

#include "navigators/ExplorerListing.h"
#include "widgets/KeyedTreeModel.h"

#include <QHash>

#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>

// One row of the project explorer: a folder or a file of the project folder.
struct ExplorerItem {
    // The item's standardised path, which is also its identity in the tree.
    QString key;
    // What the row shows: the last path component, or the whole path for a root that has none.
    QString name;
    int depth = 0;
    bool isRoot = false;
    bool isDirectory = false;
    // A folder that shows its children; the root always does.
    bool isExpanded = false;
    // The active tab's file.
    bool isOpen = false;
    bool isReport = false;

    QUrl url() const { return QUrl::fromLocalFile(key); }
    // A file that is not a report is drawn dimmed.
    bool isDimmed() const { return !isDirectory && !isReport; }
    // "folder", "doc.text" for a report, "doc" for any other file.
    QString symbol() const;

    bool operator==(const ExplorerItem &) const = default;
};

// The project folder as a tree for Qt's item views: the root and, below every expanded folder,
// its listing in the file browser's order. Every refresh lists the expanded folders afresh; the
// rows that stayed keep their places and only the rows that changed are told to the view.
class ExplorerModel : public KeyedTreeModel<ExplorerItem> {
    Q_OBJECT

public:
    using KeyedTreeModel::KeyedTreeModel;

    // Lists the tree of `rootPath` (none: an empty tree) with the folders of `expandedFolders`
    // (standardised paths) open, marking the file at `openPath`. Another root starts afresh.
    void refresh(const std::optional<QString> &rootPath, const QSet<QString> &expandedFolders,
                 const std::optional<QString> &openPath);

    QModelIndex indexOf(const QString &path) const { return indexOfKey(path); }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void addChildren(Node &folder, const QSet<QString> &expandedFolders,
                     const std::optional<QString> &openPath);
    // The folder's entries in order, listed now; put in order again only when the listing
    // differs from the last one.
    QList<ExplorerListing::Entry> entriesOf(const QString &folder);

    struct Listing {
        QList<ExplorerListing::Listed> read;
        QList<ExplorerListing::Entry> sorted;
    };
    std::optional<QString> shownRoot_;
    // The listings of the last refresh, and those of the refresh under way, by folder.
    QHash<QString, Listing> listings_;
    QHash<QString, Listing> listing_;
};
