#include "navigators/ExplorerListing.h"

#include "navigators/ExplorerFileActions.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <algorithm>

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
    QList<Entry> entries;
    entries.reserve(infos.size());
    for (const QFileInfo &info : infos)
        entries.append({QUrl::fromLocalFile(info.absoluteFilePath()), info.isDir()});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.isDirectory != b.isDirectory)
            return a.isDirectory;
        return compareNames(a.url.fileName(), b.url.fileName()) < 0;
    });
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
