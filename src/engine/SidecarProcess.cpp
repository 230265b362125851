#include "SidecarProcess.h"

#include "ChildProcesses.h"

#include <QFile>
#include <QScopeGuard>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The pair of ends of one new pipe, neither inherited by children unless handed over.
std::pair<std::shared_ptr<PipeEnd>, std::shared_ptr<PipeEnd>> makePipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    return {std::make_shared<PipeEnd>(fds[0]), std::make_shared<PipeEnd>(fds[1])};
}

// The C strings of `texts`, followed by a null pointer, as exec takes them.
std::vector<char *> nullTerminated(QList<QByteArray> &texts)
{
    std::vector<char *> pointers;
    for (QByteArray &each : texts)
        pointers.push_back(each.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A descriptor that becomes readable once the process `pid` (a child not yet reaped) has ended;
// -1 where the system offers none.
int endedHandle(pid_t pid)
{
#if defined(__linux__) && defined(SYS_pidfd_open)
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// Waits until the process behind `ended` (from endedHandle) has ended or `deadline` has come;
// without a handle, a short while.
void waitUntilEnded(int ended, std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    const auto left = std::max(deadline - steady_clock::now(), steady_clock::duration::zero());
    if (ended < 0) {
        std::this_thread::sleep_for(std::min<steady_clock::duration>(left, 10ms));
        return;
    }
    pollfd handle{ended, POLLIN, 0};
    (void)::poll(&handle, 1, int(ceil<milliseconds>(left).count()));
}

} // namespace

SidecarProcess::Launched SidecarProcess::launch(const QString &program,
                                                const QStringList &arguments,
                                                const QList<QByteArray> &environment)
{
    auto [childInput, input] = makePipe();
    auto [output, childOutput] = makePipe();
    auto [errors, childErrors] = makePipe();
    // The child reports here why it could not run the program; closed by a successful exec.
    auto [execFailure, childExecFailure] = makePipe();

    const QByteArray path = QFile::encodeName(program);
    QList<QByteArray> encoded{path};
    for (const QString &argument : arguments)
        encoded.append(QFile::encodeName(argument));
    std::vector<char *> argv = nullTerminated(encoded);
    QList<QByteArray> entries = environment;
    std::vector<char *> envp = nullTerminated(entries);
    const int inFd = childInput->fd();
    const int outFd = childOutput->fd();
    const int errFd = childErrors->fd();
    const int failFd = childExecFailure->fd();
    const pid_t parent = ::getpid();

    pid_t pid = -1;
    int forkError = 0;
    // Made by the thread that lasts as long as we do: the child is tied to it (ChildProcesses).
    ChildProcesses::runOnLauncherThread([&] {
        // The child borrows our memory until it runs the program: a copy of the designer would
        // cost a copy of its page tables, and a fault at the next write of each of its pages.
        // No handler of ours may run in the child meanwhile: signals wait until it has reset
        // them.
        sigset_t all;
        sigset_t previous;
        sigfillset(&all);
        ::pthread_sigmask(SIG_SETMASK, &all, &previous);
        pid = ::vfork();
        if (pid < 0)
            forkError = errno;
        if (pid != 0) {
            ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
            return;
        }
        // The child: only async-signal-safe calls from here to exec, and nothing returns.
        ChildProcesses::tieToParent(parent);
        // Above the standard descriptors first, so that no dup2 below overwrites another's end.
        const int in = ::fcntl(inFd, F_DUPFD_CLOEXEC, 3);
        const int out = ::fcntl(outFd, F_DUPFD_CLOEXEC, 3);
        const int err = ::fcntl(errFd, F_DUPFD_CLOEXEC, 3);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, STDIN_FILENO) < 0 ||
            ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0) {
            const int error = errno;
            (void)::write(failFd, &error, sizeof error);
            ::_exit(127);
        }
        // The child starts with the usual dispositions (the application ignores SIGPIPE and
        // handles others) and no signal blocked.
        struct sigaction defaultAction = {};
        defaultAction.sa_handler = SIG_DFL;
        sigemptyset(&defaultAction.sa_mask);
        for (int signal = 1; signal < NSIG; ++signal) {
            struct sigaction current = {};
            if (::sigaction(signal, nullptr, &current) == 0 &&
                (signal == SIGPIPE ||
                 (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN)))
                ::sigaction(signal, &defaultAction, nullptr);
        }
        sigset_t noneBlocked;
        sigemptyset(&noneBlocked);
        ::sigprocmask(SIG_SETMASK, &noneBlocked, nullptr);
        ::execve(path.constData(), argv.data(), envp.data());
        const int error = errno;
        (void)::write(failFd, &error, sizeof error);
        ::_exit(127);
    });
    if (pid < 0)
        throw std::system_error(forkError, std::generic_category(),
                                "Could not launch " + path.toStdString());
    childExecFailure.reset();
    int failure = 0;
    ssize_t got;
    do {
        got = ::read(execFailure->fd(), &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    if (got == ssize_t(sizeof failure)) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        throw std::system_error(failure, std::generic_category(),
                                "Could not launch " + path.toStdString());
    }

    const int flags = ::fcntl(input->fd(), F_GETFL);
    ::fcntl(input->fd(), F_SETFL, flags | O_NONBLOCK);
    childErrors.reset(); // so that the pipe ends with the child
    return {std::shared_ptr<SidecarProcess>(
                new SidecarProcess(pid, ErrorOutputTail::follow(std::move(errors)))),
            input, output};
}

SidecarProcess::~SidecarProcess()
{
    std::lock_guard lock(mutex_);
    if (reapIfEndedLocked())
        return;
    const pid_t pid = pid_;
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

bool SidecarProcess::reapIfEndedLocked() const
{
    if (reaped_)
        return true;
    pid_t result;
    do {
        result = ::waitpid(pid_, nullptr, WNOHANG);
    } while (result < 0 && errno == EINTR);
    // An error means there is nothing left to wait for.
    reaped_ = result != 0;
    return reaped_;
}

bool SidecarProcess::isRunning() const
{
    std::lock_guard lock(mutex_);
    return !reapIfEndedLocked();
}

void SidecarProcess::terminate(std::chrono::milliseconds grace) const
{
    using namespace std::chrono;
    int ended = -1;
    {
        std::lock_guard lock(mutex_);
        toldToEnd_ = true;
        if (reapIfEndedLocked())
            return;
        // Opened while the process is still ours to reap, so that it is this one.
        ended = endedHandle(pid_);
        ::kill(pid_, SIGTERM);
    }
    const auto closeHandle = qScopeGuard([ended] {
        if (ended >= 0)
            ::close(ended);
    });
    // Reaped as soon as it has ended, which it usually does at once.
    const auto deadline = steady_clock::now() + grace;
    for (;;) {
        waitUntilEnded(ended, deadline);
        std::lock_guard lock(mutex_);
        if (reapIfEndedLocked())
            return;
        if (steady_clock::now() >= deadline)
            break;
    }
    std::lock_guard lock(mutex_);
    if (reapIfEndedLocked())
        return;
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
}

QString SidecarProcess::lastWords(std::chrono::milliseconds wait) const
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + wait;
    const QString said = errors_->lastLines(wait);
    // Its output closes as it exits; being reapable follows a moment later. Waiting for that even
    // when it said nothing means the next request finds it ended, not still "running".
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (toldToEnd_)
                return {};
            if (reapIfEndedLocked())
                return said;
        }
        if (steady_clock::now() >= deadline)
            return {};
        std::this_thread::sleep_for(5ms);
    }
}
