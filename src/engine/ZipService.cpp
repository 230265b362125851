#include "ZipService.h"

#include "ChildProcesses.h"
#include "PrivateWorkFolder.h"
#include "StrictUtf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace {

// How long a cancelled tool has to end before it is killed.
constexpr int toolEndGraceMs = 1000;

[[noreturn]] void throwFileError(const QString &what, const QString &path, int error)
{
    throw std::runtime_error(
        QString(what + u" \"" + path + u"\": " + QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

// Removes the file at `path` when it is let go, unless it has been moved away meanwhile.
struct RemovedAtEnd {
    QString path;
    ~RemovedAtEnd()
    {
        if (!path.isEmpty())
            QFile::remove(path);
    }
};

// Renames `from` to `to`, replacing `to`. Both must be in one file system.
bool renameOver(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Puts the finished archive at `destination`. Where the temporary directory is on another file
// system, the archive is first copied beside the destination under a short hidden name, and
// that copy is renamed, so the old file is replaced only by a complete new one.
void moveIntoPlace(RemovedAtEnd &work, const QString &destination)
{
    if (renameOver(work.path, destination)) {
        work.path.clear();
        return;
    }
    if (errno != EXDEV)
        throwFileError(QStringLiteral("Could not move the archive to"), destination, errno);
    RemovedAtEnd sibling;
    const QString folder = QFileInfo(destination).absolutePath();
    for (int attempt = 0; attempt < 100 && sibling.path.isEmpty(); ++attempt) {
        const QString candidate =
            folder + u"/.qmzip-" + QString::number(QRandomGenerator::global()->generate(), 36);
        if (QFile::copy(work.path, candidate)) // fails when the name is taken
            sibling.path = candidate;
        else if (!QFileInfo::exists(candidate))
            throwFileError(QStringLiteral("Could not write the archive into"), folder, errno);
    }
    if (sibling.path.isEmpty())
        throwFileError(QStringLiteral("Could not write the archive into"), folder, EEXIST);
    if (!renameOver(sibling.path, destination))
        throwFileError(QStringLiteral("Could not move the archive to"), destination, errno);
    sibling.path.clear();
}

// Whether the tool leaves the entry out: every name that begins with a dot, and __MACOSX
// folders, at any level. The tool does not look into a folder it leaves out.
bool leftOut(const QString &name)
{
    return name.startsWith(QLatin1Char('.')) || name == QLatin1String("__MACOSX");
}

bool isInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// Walks the folder as the tool will, following links, and throws at the first link that leads
// out of `root` or back into a folder on the way to it. `chain` holds the real paths of the
// folders from the root down to `folder`.
void checkLinks(const QString &folder, const QString &relative, const QString &root,
                QStringList &chain)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (leftOut(entry.fileName()))
            continue;
        const QString path =
            relative.isEmpty() ? entry.fileName() : relative + QLatin1Char('/') + entry.fileName();
        const QString real = entry.canonicalFilePath();
        if (real.isEmpty())
            continue; // a dangling link: the tool skips it
        if (entry.isSymLink() && !isInside(real, root))
            throw ZipService::ZipError::linkLeavesFolder(path, real);
        if (!QFileInfo(real).isDir())
            continue;
        if (chain.contains(real))
            throw ZipService::ZipError::linkLoops(path, real);
        chain.append(real);
        checkLinks(entry.filePath(), path, root, chain);
        chain.removeLast();
    }
}

} // namespace

namespace ZipService {

ZipError::ZipError(Kind kind, int status, const QString &output, const QString &target)
    : kind_(kind), status_(status), output_(output), target_(target), utf8_(description().toUtf8())
{
}

QString ZipError::description() const
{
    switch (kind_) {
    case Kind::zipToolNotFound:
        return QStringLiteral("The system zip tool (/usr/bin/zip) was not found.");
    case Kind::linkLeavesFolder:
        return QStringLiteral("The folder was not zipped: the link \"%1\" leads out of it, to "
                              "\"%2\". Put a copy of what it leads to in the folder instead "
                              "of the link, or remove the link.")
            .arg(output_, target_);
    case Kind::linkLoops:
        return QStringLiteral("The folder was not zipped: the link \"%1\" leads back to \"%2\", "
                              "a folder that contains it, so the archive would never end. Remove "
                              "the link.")
            .arg(output_, target_);
    case Kind::cancelled:
        return QStringLiteral("The zip was cancelled.");
    case Kind::processFailed:
        break;
    }
    QString text = QStringLiteral("zip exited with status ") + QString::number(status_);
    if (!output_.isEmpty())
        text += u": " + output_;
    return text;
}

void zipContents(const QString &directory, const QString &destination, const QString &tool,
                 const std::atomic<bool> *cancelled)
{
    if (!QFileInfo::exists(tool))
        throw ZipError::zipToolNotFound();
    const QString root = QFileInfo(directory).canonicalFilePath();
    QStringList chain{root};
    if (!root.isEmpty())
        checkLinks(root, {}, root, chain);
    // Others cannot read the archive while it is made, nor put anything in its place. The tool
    // writes its own temporary file beside the archive, so the archive is made in a folder of its
    // own, which goes with everything in it when the zip ends, however it ends.
    PrivateWorkFolder workFolder;
    QTemporaryDir zipFolder(workFolder.ensure() + u"/zip-XXXXXX");
    if (!zipFolder.isValid())
        throw std::runtime_error(zipFolder.errorString().toStdString());
    RemovedAtEnd work{
        zipFolder.filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + u".zip")};

    QProcess zip;
    zip.setWorkingDirectory(directory);
    zip.setProcessChannelMode(QProcess::MergedChannels);
    // The tool ends with us; this thread waits for it below, so it lives as long as the tool.
    zip.setChildProcessModifier([parent = ::getpid()] { ChildProcesses::tieToParent(parent); });
    zip.start(tool,
              {QStringLiteral("-r"), QStringLiteral("-X"), QStringLiteral("-q"), work.path,
               QStringLiteral("."), QStringLiteral("-x"), QStringLiteral(".*"),
               QStringLiteral("-x"), QStringLiteral("*/.*"), QStringLiteral("-x"),
               QStringLiteral("__MACOSX/*"), QStringLiteral("-x"), QStringLiteral("*/__MACOSX/*")});
    if (!zip.waitForStarted(-1))
        throw std::runtime_error(zip.errorString().toStdString());
    // The tool has ended whenever this returns: waited for below, or killed with `zip`.
    const pid_t toolPid = pid_t(zip.processId());
    ChildProcesses::note(workFolder.path(), toolPid);
    const auto forgetTool =
        qScopeGuard([&] { ChildProcesses::forget(workFolder.path(), toolPid); });
    while (!zip.waitForFinished(100)) {
        if (zip.state() == QProcess::NotRunning)
            break;
        if (cancelled && *cancelled) {
            // Asked to end, the tool removes its temporary file itself.
            zip.terminate();
            if (!zip.waitForFinished(toolEndGraceMs)) {
                zip.kill();
                zip.waitForFinished(-1);
            }
            throw ZipError::cancelled(); // the partial archive goes with the work folder
        }
    }
    if (cancelled && *cancelled)
        throw ZipError::cancelled();
    const QByteArray output = zip.readAll();
    // A tool that crashed has no exit status worth the name, but it failed all the same.
    int status = zip.exitCode();
    if (zip.exitStatus() == QProcess::CrashExit && status == 0)
        status = -1;
    if (status != 0)
        throw ZipError::processFailed(status, strictUtf8(output).value_or(QString()).trimmed());
    moveIntoPlace(work, destination);
}

} // namespace ZipService
