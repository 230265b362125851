#include "SessionRecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString recordSuffix = QStringLiteral(".session");

// This process's record: its file, held open and locked while the session runs.
struct OwnRecord {
    std::mutex mutex;
    QString path;
    int fd = -1;

    // Lets go of the record; removes its file too when `remove`. The caller holds `mutex`.
    void release(bool remove)
    {
        if (fd < 0)
            return;
        if (remove)
            ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
        fd = -1;
        path.clear();
    }
};

OwnRecord &ownRecord()
{
    static OwnRecord record;
    return record;
}

int openForLock(const QString &path, int flags)
{
    return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
}

QStringList recordsIn(const QString &folder)
{
    return QDir(folder).entryList({u'*' + recordSuffix}, QDir::Files | QDir::Hidden);
}

} // namespace

SessionRecords::SessionRecords(const QString &folder) : folder_(folder)
{
    if (!QDir().mkpath(folder_))
        return;
    lockFd_ = openForLock(QDir(folder_).filePath(QStringLiteral(".lock")), O_RDWR | O_CREAT);
    if (lockFd_ < 0)
        return;
    while (::flock(lockFd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(lockFd_);
            lockFd_ = -1;
            return;
        }
    }
}

SessionRecords::~SessionRecords()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString SessionRecords::folderBeside(const QString &settingsFile)
{
    const QFileInfo file(settingsFile);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral(".sessions"));
}

SessionRecords::Others SessionRecords::armThisSession()
{
    OwnRecord &own = ownRecord();
    std::lock_guard guard(own.mutex);
    own.release(true);
    Others others;
    if (lockFd_ < 0)
        return others;
    const QDir dir(folder_);
    for (const QString &name : recordsIn(folder_)) {
        const QString path = dir.filePath(name);
        const int fd = openForLock(path, O_RDONLY);
        if (fd < 0)
            continue; // gone meanwhile, or not a file we made
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Nobody holds it: its session ended without clearing it.
            others.ended = true;
            ::unlink(QFile::encodeName(path).constData());
        } else {
            others.running = true; // held, or a file system that cannot tell
        }
        ::close(fd);
    }
    // The name only has to be new; the process id helps whoever looks into the folder.
    const QString path = dir.filePath(
        QStringLiteral("%1-%2").arg(::getpid()).arg(QRandomGenerator::system()->generate(), 0, 36) +
        recordSuffix);
    const int fd = openForLock(path, O_RDWR | O_CREAT | O_EXCL);
    if (fd < 0)
        return others;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A record nobody can hold would read as ended at once: better none.
        ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
        return others;
    }
    own.path = path;
    own.fd = fd;
    return others;
}

bool SessionRecords::clearThisSession()
{
    OwnRecord &own = ownRecord();
    std::lock_guard guard(own.mutex);
    own.release(true);
    return lockFd_ < 0 || recordsIn(folder_).isEmpty();
}
