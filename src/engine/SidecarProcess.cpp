#include "SidecarProcess.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
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

// posix_spawn's attributes and file actions, released on every path.
struct SpawnSetup {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSetup()
    {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;
};

// The C strings of `texts`, followed by a null pointer, as exec takes them.
std::vector<char *> nullTerminated(QList<QByteArray> &texts)
{
    std::vector<char *> pointers;
    for (QByteArray &each : texts)
        pointers.push_back(each.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

SidecarProcess::Launched SidecarProcess::launch(const QString &program,
                                                const QStringList &arguments,
                                                const QList<QByteArray> &environment)
{
    auto [childInput, input] = makePipe();
    auto [output, childOutput] = makePipe();
    auto [errors, childErrors] = makePipe();

    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, childInput->fd(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, childOutput->fd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, childErrors->fd(), STDERR_FILENO);
    // The application ignores SIGPIPE; the child starts with the usual dispositions and mask.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    sigset_t noneBlocked;
    sigemptyset(&noneBlocked);
    posix_spawnattr_setsigmask(&setup.attributes, &noneBlocked);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    const QByteArray path = QFile::encodeName(program);
    QList<QByteArray> encoded{path};
    for (const QString &argument : arguments)
        encoded.append(QFile::encodeName(argument));
    std::vector<char *> argv = nullTerminated(encoded);
    QList<QByteArray> entries = environment;
    std::vector<char *> envp = nullTerminated(entries);

    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, path.constData(), &setup.actions, &setup.attributes,
                                     argv.data(), envp.data());
    if (failed != 0)
        throw std::system_error(failed, std::generic_category(),
                                "Could not launch " + path.toStdString());

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
    {
        std::lock_guard lock(mutex_);
        toldToEnd_ = true;
        if (reapIfEndedLocked())
            return;
        ::kill(pid_, SIGTERM);
    }
    const auto deadline = steady_clock::now() + grace;
    while (steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
        std::lock_guard lock(mutex_);
        if (reapIfEndedLocked())
            return;
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
