#include "PrivateWorkFolder.h"

#include "ChildProcesses.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
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

const QString sessionPrefix = QStringLiteral("session-");

// Opens a folder for locking; -1 when it cannot be opened (or is a link).
int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The folders of this process, each held locked by an open descriptor while the process runs and
// removed when it ends. A lock taken with flock() goes with the process, however it ends, so a
// folder whose lock can be taken belongs to a process that is gone.
class SessionFolders {
public:
    ~SessionFolders()
    {
        for (auto it = held_.cbegin(); it != held_.cend(); ++it) {
            QDir(it.key()).removeRecursively();
            ::close(it.value());
        }
    }

    // Makes `path` (a folder in `shared`) this process's own unless it already is, removing
    // on the way the folders in `shared` of processes that are gone.
    void claim(const QString &shared, const QString &path)
    {
        std::lock_guard lock(mutex_);
        if (const auto it = held_.constFind(path); it != held_.cend()) {
            struct stat held = {};
            struct stat now = {};
            if (::fstat(it.value(), &held) == 0 &&
                ::lstat(QFile::encodeName(path).constData(), &now) == 0 &&
                held.st_ino == now.st_ino && held.st_dev == now.st_dev)
                return;
            ::close(it.value()); // removed by someone else: made again below
            held_.erase(it);
        }
        // Making and locking a folder, and removing those of the dead, take turns under a lock
        // on the shared folder, so a folder is never taken for dead before its lock is held.
        const int sharedFd = openFolder(shared);
        if (sharedFd < 0)
            fail(shared, systemReason(errno));
        ::flock(sharedFd, LOCK_EX);
        removeFoldersOfTheGone(shared, path);
        int fd = -1;
        try {
            ensurePrivateDirectory(path);
            fd = openFolder(path);
            if (fd < 0)
                fail(path, systemReason(errno));
            // Where the file system has no locks, nobody can take the folder for dead either.
            (void)::flock(fd, LOCK_EX | LOCK_NB);
        } catch (const PrivateWorkFolder::Error &) {
            if (fd >= 0)
                ::close(fd);
            ::close(sharedFd); // lets go of the lock
            throw;
        }
        ::close(sharedFd);
        held_.insert(path, fd);
    }

private:
    static void removeFoldersOfTheGone(const QString &shared, const QString &ours)
    {
        const QFileInfoList entries =
            QDir(shared).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QFileInfo &entry : entries) {
            if (!entry.fileName().startsWith(sessionPrefix) || entry.isSymLink() ||
                entry.absoluteFilePath() == ours)
                continue;
            const int fd = openFolder(entry.absoluteFilePath());
            if (fd < 0)
                continue;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                // What its process started and left running goes first (a zip writing here).
                ChildProcesses::endNoted(entry.absoluteFilePath());
                QDir(entry.absoluteFilePath()).removeRecursively();
            }
            ::close(fd);
        }
    }

    std::mutex mutex_;
    QHash<QString, int> held_;
};

SessionFolders &sessionFolders()
{
    static SessionFolders folders;
    return folders;
}

} // namespace

QString PrivateWorkFolder::sessionName()
{
    static const QString name = sessionPrefix + QString::number(::getpid()) + QLatin1Char('-') +
                                QString::number(QRandomGenerator::system()->generate(), 36);
    return name;
}

PrivateWorkFolder::PrivateWorkFolder(const QString &parentDir)
    : parentDir_(parentDir.isEmpty() ? QDir::tempPath() : parentDir),
      privateDir_(QDir(parentDir_).filePath(QStringLiteral("quillmark-%1").arg(::geteuid())))
{
}

QString PrivateWorkFolder::ensure()
{
    try {
        ensurePrivateDirectory(privateDir_);
        ensurePrivateDirectory(sharedDir());
        sessionFolders().claim(sharedDir(), path());
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
    ensurePrivateDirectory(sharedDir());
    sessionFolders().claim(sharedDir(), path());
    return path();
}
