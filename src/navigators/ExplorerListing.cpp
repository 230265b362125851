#include "navigators/ExplorerListing.h"

#include "navigators/ExplorerFileActions.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace ExplorerListing {

namespace {

const QCollator &nameCollator()
{
    static const QCollator collator = [] {
        QCollator made{QLocale(QLocale::English, QLocale::UnitedStates)};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setNumericMode(true);
        made.setIgnorePunctuation(false);
        return made;
    }();
    return collator;
}

} // namespace

int compareNames(const QString &a, const QString &b)
{
    return nameCollator().compare(a, b);
}

QList<Listed> read(const QString &folderPath)
{
    const QFileInfoList infos =
        QDir(folderPath)
            .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Unsorted);
    QList<Listed> listed;
    listed.reserve(infos.size());
    for (const QFileInfo &info : infos)
        listed.append({info.fileName(), info.isDir()});
    return listed;
}

QList<Entry> sorted(const QString &folderPath, const QList<Listed> &listed)
{
    // Each name's collation key is made once; comparing two keys is then cheap, which matters
    // for a folder of thousands of files.
    struct Keyed {
        const Listed *item;
        QCollatorSortKey key;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(std::size_t(listed.size()));
    for (const Listed &item : listed)
        keyed.push_back({&item, nameCollator().sortKey(item.name)});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.item->isDirectory != b.item->isDirectory)
            return a.item->isDirectory;
        return a.key.compare(b.key) < 0;
    });
    const QString prefix = folderPath.endsWith(u'/') ? folderPath : folderPath + u'/';
    QList<Entry> entries;
    entries.reserve(listed.size());
    for (const Keyed &item : keyed) {
        entries.append({prefix + item.item->name, item.item->isDirectory});
    }
    return entries;
}

QList<Entry> children(const QUrl &folder)
{
    const QString path = ExplorerFileActions::standardizedPath(folder);
    return sorted(path, read(path));
}

std::optional<QStringList> foldersToReveal(const QString &rootPath, const QUrl &file)
{
    const QString root = ExplorerFileActions::standardizedPath(QUrl::fromLocalFile(rootPath));
    QString current = QFileInfo(ExplorerFileActions::standardizedPath(file)).path();
    if (!ExplorerFileActions::isSameOrBelow(current, root))
        return std::nullopt;
    QStringList folders;
    while (true) {
        folders.append(current);
        if (current == root)
            break;
        const QString parent = QFileInfo(current).path();
        if (parent == current || !ExplorerFileActions::isSameOrBelow(parent, root))
            break;
        current = parent;
    }
    return folders;
}

std::optional<QString> droppedPath(const QMimeData &data)
{
    if (data.hasUrls()) {
        for (const QUrl &url : data.urls()) {
            if (url.isLocalFile())
                return url.toLocalFile();
        }
        return std::nullopt;
    }
    if (data.hasText() && !data.text().isEmpty())
        return data.text();
    return std::nullopt;
}

} // namespace ExplorerListing
