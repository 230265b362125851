#include "navigators/ExplorerFileActions.h"

#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "widgets/Dialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ExplorerFileActions {

namespace {

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

QString lastComponent(const QUrl &url)
{
    return QFileInfo(standardizedPath(url)).fileName();
}

// Anything at the path, a dangling link included.
bool somethingExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void showWarning(Dialogs &dialogs, const QString &message, const QString &informativeText)
{
    dialogs.runAlert({AlertRequest::Style::warning, message, informativeText, {}});
}

// The open reports at `url` or below it, as paths relative to it ("" for the item itself).
QStringList openReportsAt(const QUrl &url, const WorkspaceModel &workspace)
{
    const QString target = standardizedPath(url);
    QStringList open;
    for (const DocumentStore *store : workspace.tabs()) {
        if (!store->fileURL())
            continue;
        const QString path = standardizedPath(*store->fileURL());
        if (isSameOrBelow(path, target))
            open.append(path == target ? QString() : QDir(target).relativeFilePath(path));
    }
    return open;
}

// Asks before an item that is open, or a folder that holds open reports, is moved; names the
// open reports a folder holds. `consequence` tells what becomes of their tabs.
bool confirmIfOpen(const QUrl &url, const WorkspaceModel &workspace, Dialogs &dialogs,
                   const QString &consequence, const QString &goOnTitle)
{
    const QStringList open = openReportsAt(url, workspace);
    if (open.isEmpty())
        return true;
    QString message = quoted(lastComponent(url)) + u" is Open"_s;
    QString informativeText = u"This is currently open in a tab. "_s;
    if (!open.contains(QString())) {
        QStringList names;
        for (const QString &name : open)
            names.append(quoted(name));
        const QString listed = names.size() == 1 ? names.front()
                                                 : names.first(names.size() - 1).join(u", "_s) +
                                                       u" and "_s + names.back();
        message = quoted(lastComponent(url)) +
                  (open.size() == 1 ? u" Holds an Open Report"_s : u" Holds Open Reports"_s);
        informativeText =
            u"It holds "_s + listed +
            (open.size() == 1 ? u", which is open in a tab. "_s : u", which are open in tabs. "_s);
    }
    const AlertRequest request{
        AlertRequest::Style::warning,
        message,
        informativeText + consequence,
        {{goOnTitle, AlertRequest::Role::destructive}, {u"Cancel"_s, AlertRequest::Role::cancel}}};
    return dialogs.runAlert(request) == 0;
}

// Renames or moves an item, never replacing what is at the destination (the platform's rename
// would replace a file or an empty folder). The error's description, or none on success.
std::optional<QString> moveItem(const QString &source, const QString &destination)
{
    if (somethingExists(destination))
        return u"An item named %1 already exists in this location."_s.arg(
            quoted(QFileInfo(destination).fileName()));
    if (!somethingExists(source))
        return u"The item %1 could not be found."_s.arg(quoted(QFileInfo(source).fileName()));
    QFile item(source);
    if (item.rename(destination))
        return std::nullopt;
    return item.errorString();
}

} // namespace

bool isReportFile(const QUrl &url)
{
    return isReportPath(url.toLocalFile());
}

bool isReportPath(const QString &path)
{
    return path.endsWith(u".jrxml"_s, Qt::CaseInsensitive);
}

QString standardizedPath(const QUrl &url)
{
    const QString local = url.isLocalFile() ? url.toLocalFile() : url.path();
    return QDir::cleanPath(QFileInfo(local).absoluteFilePath());
}

bool isSameOrBelow(const QString &path, const QString &ancestor)
{
    if (path == ancestor)
        return true;
    const QString prefix = ancestor.endsWith(u'/') ? ancestor : ancestor + u'/';
    return path.startsWith(prefix);
}

void open(const QUrl &url, WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs)
{
    if (!isReportFile(url))
        return;
    if (QFileInfo::exists(url.toLocalFile())) {
        try {
            workspace.openTab(url);
        } catch (const JrxmlCodecError &error) {
            // The reader's text says what is wrong, not with which file.
            dialogs.presentError(u"The report %1 could not be opened: %2"_s.arg(
                QDir::toNativeSeparators(url.toLocalFile()), error.message()));
            return;
        } catch (const std::exception &error) {
            dialogs.presentError(QString::fromUtf8(error.what()));
            return;
        }
        settings.addRecentFile(url);
        return;
    }
    AlertRequest missing{
        AlertRequest::Style::warning,
        u"Can't Find "_s + quoted(QFileInfo(url.toLocalFile()).fileName()),
        u"This file may have been moved, renamed, or deleted since it was last opened."_s,
        {{u"OK"_s}}};
    const bool isRecent = settings.recentFilePaths().contains(url.toLocalFile());
    if (isRecent)
        missing.buttons.append({u"Remove from Recents"_s});
    if (dialogs.runAlert(missing) == 1 && isRecent)
        settings.removeRecentFile(url);
}

std::optional<QUrl> promptRename(const QUrl &url, Dialogs &dialogs)
{
    const QString path = standardizedPath(url);
    const QString current = QFileInfo(path).fileName();
    const AlertRequest request{AlertRequest::Style::informational,
                               u"Rename"_s,
                               u"Enter a new name for "_s + quoted(current) + u'.',
                               {{u"Rename"_s}, {u"Cancel"_s, AlertRequest::Role::cancel}}};
    QString text = current;
    if (dialogs.runTextAlert(request, text) != 0)
        return std::nullopt;
    const QString name = text.trimmed();
    if (name.isEmpty() || name == current)
        return std::nullopt;
    if (name.contains(u'/') || name == u"."_s || name == u".."_s) {
        showWarning(dialogs, u"Rename Failed"_s,
                    u"The name %1 cannot be used for a file or folder."_s.arg(quoted(name)));
        return std::nullopt;
    }
    const QString destination = QFileInfo(path).dir().filePath(name);
    if (const std::optional<QString> error = moveItem(path, destination)) {
        showWarning(dialogs, u"Rename Failed"_s, *error);
        return std::nullopt;
    }
    return QUrl::fromLocalFile(destination);
}

bool isOpenOrAncestor(const QUrl &url, const WorkspaceModel &workspace)
{
    const QString target = standardizedPath(url);
    for (const DocumentStore *store : workspace.tabs()) {
        if (store->fileURL() && isSameOrBelow(standardizedPath(*store->fileURL()), target))
            return true;
    }
    return false;
}

bool confirmTrashIfOpen(const QUrl &url, const WorkspaceModel &workspace, Dialogs &dialogs)
{
    return confirmIfOpen(url, workspace, dialogs,
                         u"Moving it to the Trash won't close the tab: the tab keeps the report, "
                         u"and Save will ask where to save it."_s,
                         u"Move to Trash Anyway"_s);
}

bool moveToTrash(const QUrl &url, Dialogs &dialogs)
{
    const QString path = standardizedPath(url);
    if (!somethingExists(path))
        return true;
    QFile item(path);
    if (item.moveToTrash())
        return true;
    const QFileInfo folder(QFileInfo(path).absolutePath());
    const QString reason = !folder.isWritable()
                               ? QString(u"The folder "_s + quoted(folder.fileName()) +
                                         u" that holds it is read-only."_s)
                               : QString(item.errorString() + u'.');
    showWarning(dialogs, quoted(lastComponent(url)) + u" Wasn't Moved to the Trash"_s,
                u"It stays where it is. "_s + reason);
    return false;
}

void createNewFolder(const QUrl &folder)
{
    const QDir parent(standardizedPath(folder));
    QString name = u"New Folder"_s;
    for (int number = 2; somethingExists(parent.filePath(name)); ++number)
        name = u"New Folder %1"_s.arg(number);
    parent.mkdir(name);
}

bool confirmMoveIfOpen(const QUrl &url, const WorkspaceModel &workspace, Dialogs &dialogs)
{
    return confirmIfOpen(url, workspace, dialogs,
                         u"Moving it won't close the tab: the tab moves with it and saves to its "
                         u"new place."_s,
                         u"Move Anyway"_s);
}

bool move(const QString &sourcePath, const QUrl &destinationFolder, Dialogs &dialogs)
{
    const QString source = standardizedPath(QUrl::fromLocalFile(sourcePath));
    const QString destination = standardizedPath(destinationFolder);
    if (isSameOrBelow(destination, source))
        return false;
    const QString name = QFileInfo(source).fileName();
    const QString target = QDir::cleanPath(destination + u'/' + name);
    if (target == source)
        return false;
    if (somethingExists(target)) {
        showWarning(dialogs, u"Can't Move "_s + quoted(name),
                    u"A file or folder with that name already exists in "_s +
                        quoted(QFileInfo(destination).fileName()) + u'.');
        return false;
    }
    if (const std::optional<QString> error = moveItem(source, target)) {
        showWarning(dialogs, u"Move Failed"_s, *error);
        return false;
    }
    return true;
}

} // namespace ExplorerFileActions
