#include "PrivateWorkFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw PrivateWorkFolder::Error(
        QStringLiteral("The work folder %1 cannot be used: %2.").arg(path, reason).toStdString());
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Creates `path` with mode 0700 unless it exists, then makes sure that it is a folder of ours that
// nobody else can enter. Never follows a link.
void ensurePrivateDirectory(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        fail(path, systemReason(errno));
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0)
        fail(path, systemReason(errno));
    if (S_ISLNK(info.st_mode))
        fail(path, QStringLiteral("it is a link"));
    if (!S_ISDIR(info.st_mode))
        fail(path, QStringLiteral("it is not a folder"));
    if (info.st_uid != ::geteuid())
        fail(path, QStringLiteral("it belongs to another user"));
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        fail(path, systemReason(errno));
}

} // namespace

PrivateWorkFolder::PrivateWorkFolder(const QString &parentDir)
    : parentDir_(parentDir.isEmpty() ? QDir::tempPath() : parentDir),
      privateDir_(QDir(parentDir_).filePath(QStringLiteral("quillmark-%1").arg(::geteuid())))
{
}

QString PrivateWorkFolder::ensure()
{
    try {
        ensurePrivateDirectory(privateDir_);
        ensurePrivateDirectory(path());
        return path();
    } catch (const Error &) {
        if (isFallback_)
            throw; // ours, made by mkdtemp: something is badly wrong
    }
    QByteArray pattern =
        QFile::encodeName(QDir(parentDir_).filePath(QStringLiteral("quillmark-XXXXXX")));
    if (!::mkdtemp(pattern.data()))
        fail(QFile::decodeName(pattern), systemReason(errno));
    privateDir_ = QFile::decodeName(pattern);
    isFallback_ = true;
    ensurePrivateDirectory(path());
    return path();
}
