#include "navigators/ExplorerModel.h"

#include "navigators/ExplorerFileActions.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

QString ExplorerItem::symbol() const
{
    if (isDirectory)
        return u"folder"_s;
    return isReport ? u"doc.text"_s : u"doc"_s;
}

namespace {

ExplorerItem makeItem(const QString &path, int depth, bool isDirectory,
                      const QSet<QString> &expandedFolders, const std::optional<QString> &openPath)
{
    ExplorerItem item;
    item.key = path;
    const qsizetype slash = path.lastIndexOf(u'/');
    item.name = path.mid(slash + 1);
    if (item.name.isEmpty())
        item.name = path;
    item.depth = depth;
    item.isDirectory = isDirectory;
    item.isExpanded = isDirectory && expandedFolders.contains(path);
    item.isOpen = !isDirectory && openPath == path;
    item.isReport = !isDirectory && ExplorerFileActions::isReportPath(path);
    return item;
}

} // namespace

void ExplorerModel::refresh(const std::optional<QString> &rootPath,
                            const QSet<QString> &expandedFolders,
                            const std::optional<QString> &openPath)
{
    auto fresh = std::make_unique<Node>();
    std::optional<QString> root;
    if (rootPath) {
        root = ExplorerFileActions::standardizedPath(QUrl::fromLocalFile(*rootPath));
        const bool isDirectory = QFileInfo(*rootPath).isDir();
        ExplorerItem item = makeItem(*root, 0, isDirectory, expandedFolders, openPath);
        item.isRoot = true;
        item.isExpanded = isDirectory;
        Node *top = append(*fresh, std::move(item));
        if (isDirectory)
            addChildren(*top, expandedFolders, openPath);
    }
    const bool anotherRoot = root != shownRoot_;
    shownRoot_ = root;
    // Only the folders listed now are remembered.
    listings_ = std::exchange(listing_, {});
    setTree(std::move(fresh), anotherRoot);
}

QList<ExplorerListing::Entry> ExplorerModel::entriesOf(const QString &folder)
{
    QList<ExplorerListing::Listed> read = ExplorerListing::read(folder);
    const auto last = listings_.constFind(folder);
    if (last != listings_.cend() && last->read == read)
        return listing_.insert(folder, *last)->sorted;
    QList<ExplorerListing::Entry> sorted = ExplorerListing::sorted(folder, read);
    return listing_.insert(folder, {std::move(read), std::move(sorted)})->sorted;
}

void ExplorerModel::addChildren(Node &folder, const QSet<QString> &expandedFolders,
                                const std::optional<QString> &openPath)
{
    const int depth = folder.row.depth + 1;
    const QList<ExplorerListing::Entry> entries = entriesOf(folder.row.key);
    for (const ExplorerListing::Entry &entry : entries) {
        Node *child = append(
            folder, makeItem(entry.path, depth, entry.isDirectory, expandedFolders, openPath));
        if (child->row.isExpanded)
            addChildren(*child, expandedFolders, openPath);
    }
}

QVariant ExplorerModel::data(const QModelIndex &index, int role) const
{
    const ExplorerItem *item = row(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return item->name;
    case Qt::ToolTipRole:
        return item->key;
    default:
        return {};
    }
}
