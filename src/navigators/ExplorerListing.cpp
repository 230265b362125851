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

QList<Entry> children(const QUrl &folder)
{
    const QDir dir(ExplorerFileActions::standardizedPath(folder));
    const QFileInfoList infos =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Unsorted);
    // Each name's collation key is made once; comparing two keys is then cheap, which matters
    // for a folder of thousands of files.
    struct Listed {
        QFileInfo info;
        bool isDirectory;
        QCollatorSortKey key;
    };
    std::vector<Listed> listed;
    listed.reserve(std::size_t(infos.size()));
    for (const QFileInfo &info : infos)
        listed.push_back({info, info.isDir(), nameCollator().sortKey(info.fileName())});
    std::stable_sort(listed.begin(), listed.end(), [](const Listed &a, const Listed &b) {
        if (a.isDirectory != b.isDirectory)
            return a.isDirectory;
        return a.key.compare(b.key) < 0;
    });
    QList<Entry> entries;
    entries.reserve(infos.size());
    for (const Listed &item : listed) {
        const QString path = item.info.absoluteFilePath();
        entries.append({QUrl::fromLocalFile(path), item.isDirectory, path});
    }
    return entries;
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
