#include "ChildProcesses.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <fcntl.h>
#include <future>
#include <mutex>
#include <thread>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace {

// One file per child, named after it.
const QString notePrefix = QStringLiteral("child-");

QString notePath(const QString &folder, pid_t child)
{
    return QDir(folder).filePath(notePrefix + QString::number(child));
}

// One thread for the life of the process that runs what it is given, one thing at a time.
class LauncherThread {
public:
    LauncherThread()
    {
        std::thread([this] { run(); }).detach();
    }

    void perform(const std::function<void()> &work)
    {
        std::packaged_task<void()> task(work);
        std::future<void> done = task.get_future();
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        wake_.notify_one();
        done.get();
    }

private:
    [[noreturn]] void run()
    {
        for (;;) {
            std::packaged_task<void()> task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> tasks_;
};

// The boot this process runs in; empty where the system does not tell.
QByteArray bootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().trimmed();
}

// A noted child: the boot, its process id and its start time.
struct Noted {
    QByteArray boot;
    pid_t pid = 0;
    qulonglong started = 0;
};

QList<Noted> notedIn(const QString &folder)
{
    QList<Noted> children;
    const QStringList names =
        QDir(folder).entryList({notePrefix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
        if (fields.size() != 3)
            continue;
        bool pidOk = false;
        bool startOk = false;
        const Noted child{fields[0], pid_t(fields[1].toInt(&pidOk)),
                          fields[2].toULongLong(&startOk)};
        if (pidOk && startOk && child.pid > 1)
            children.append(child);
    }
    return children;
}

} // namespace

namespace ChildProcesses {

void tieToParent(pid_t parent)
{
#if defined(__linux__)
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // The parent ended before the tie was made: nobody would end this child.
    if (::getppid() != parent)
        ::_exit(127);
}

void runOnLauncherThread(const std::function<void()> &work)
{
    // Never deleted: it must outlive every child it makes.
    static auto *launcher = new LauncherThread;
    launcher->perform(work);
}

std::optional<qulonglong> startTime(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = file.readAll();
    // The name in parentheses may hold blanks; the fields after it are plain. The state is the
    // first of them, the start time the 20th.
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X")
        return std::nullopt; // ended, not yet reaped
    bool ok = false;
    const qulonglong started = fields[19].toULongLong(&ok);
    return ok ? std::optional(started) : std::nullopt;
}

void note(const QString &folder, pid_t child)
{
    const std::optional<qulonglong> started = startTime(child);
    const QByteArray boot = bootId();
    if (!started || boot.isEmpty() || folder.isEmpty())
        return;
    const QByteArray line =
        boot + ' ' + QByteArray::number(child) + ' ' + QByteArray::number(*started) + '\n';
    const int fd = ::open(QFile::encodeName(notePath(folder, child)).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    (void)::write(fd, line.constData(), size_t(line.size()));
    ::close(fd);
}

void forget(const QString &folder, pid_t child)
{
    if (!folder.isEmpty())
        QFile::remove(notePath(folder, child));
}

void endNoted(const QString &folder)
{
    const QByteArray boot = bootId();
    QList<pid_t> killed;
    for (const Noted &child : notedIn(folder)) {
        if (child.boot != boot || startTime(child.pid) != child.started)
            continue;
        if (::kill(child.pid, SIGKILL) == 0)
            killed.append(child.pid);
    }
    // Gone within a moment; a folder it still writes to would not be removed whole.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(2);
    for (const pid_t pid : std::as_const(killed)) {
        while (startTime(pid) && steady_clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(5));
    }
}

} // namespace ChildProcesses
