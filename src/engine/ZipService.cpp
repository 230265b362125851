#include "ZipService.h"

#include "StrictUtf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

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

} // namespace

namespace ZipService {

ZipError::ZipError(Kind kind, int status, const QString &output)
    : kind_(kind), status_(status), output_(output), utf8_(description().toUtf8())
{
}

QString ZipError::description() const
{
    if (kind_ == Kind::zipToolNotFound)
        return QStringLiteral("The system zip tool (/usr/bin/zip) was not found.");
    QString text = QStringLiteral("zip exited with status ") + QString::number(status_);
    if (!output_.isEmpty())
        text += u": " + output_;
    return text;
}

void zipContents(const QString &directory, const QString &destination, const QString &tool)
{
    if (!QFileInfo::exists(tool))
        throw ZipError::zipToolNotFound();
    RemovedAtEnd work{QDir(QDir::tempPath())
                          .filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + u".zip")};

    QProcess zip;
    zip.setWorkingDirectory(directory);
    zip.setProcessChannelMode(QProcess::MergedChannels);
    zip.start(tool,
              {QStringLiteral("-r"), QStringLiteral("-X"), QStringLiteral("-q"), work.path,
               QStringLiteral("."), QStringLiteral("-x"), QStringLiteral(".*"),
               QStringLiteral("-x"), QStringLiteral("*/.*"), QStringLiteral("-x"),
               QStringLiteral("__MACOSX/*"), QStringLiteral("-x"), QStringLiteral("*/__MACOSX/*")});
    if (!zip.waitForStarted(-1))
        throw std::runtime_error(zip.errorString().toStdString());
    zip.waitForFinished(-1);
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
