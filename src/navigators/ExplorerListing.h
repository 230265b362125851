#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QMimeData;

// What the project explorer reads of the file system when it draws: a folder's sorted listing,
// the folders to expand to show a file, and the path a drop carries. Nothing is cached.
namespace ExplorerListing {

struct Entry {
    // The entry's absolute path, standardised.
    QString path;
    bool isDirectory = false;

    QUrl url() const { return QUrl::fromLocalFile(path); }

    bool operator==(const Entry &) const = default;
};

// The file browser's order of two names: letters without regard to case, runs of digits by
// their value; negative, zero or positive. The collation is fixed, so the order does not depend
// on the locale the program runs in.
int compareNames(const QString &a, const QString &b);

// One name of a folder as the file system lists it.
struct Listed {
    QString name;
    bool isDirectory = false;

    bool operator==(const Listed &) const = default;
};

// The folder's entries without hidden ones: folders first, then by name (compareNames), names
// that compare equal in the order the listing gave. Empty when the folder cannot be listed.
QList<Entry> children(const QUrl &folder);
// The two halves of children(): the names of the folder at a standardised path, without hidden
// ones, in the order the file system gives them; and those names in the order children() gives.
QList<Listed> read(const QString &folderPath);
QList<Entry> sorted(const QString &folderPath, const QList<Listed> &listed);

// The standardised paths of the folders to expand so that the file's row shows: from the file's
// folder up to the root, the root included. None when the file does not lie below the root.
std::optional<QStringList> foldersToReveal(const QString &rootPath, const QUrl &file);

// The path a drop carries: the first item of plain text, or the first local file of a URI list
// (what file browsers drag). None for anything else.
std::optional<QString> droppedPath(const QMimeData &data);

} // namespace ExplorerListing
