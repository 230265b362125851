#include "app/TerminationSignal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
volatile sig_atomic_t deadlineSet = 0;

// The signals that end the program as a quit, with the handling each had before.
struct Handled {
    int number;
    struct sigaction before;
    bool installed;
};
Handled handled[] = {{SIGTERM, {}, false}, {SIGINT, {}, false}, {SIGHUP, {}, false}};

void onTermination(int)
{
    const int saved = errno;
    const char byte = 1;
    (void)::write(signalPipe[1], &byte, 1);
    // Whatever the main thread is doing, the program ends in time: SIGALRM ends it then, unless
    // the quit has finished first. Such an end leaves the session marked as not cleanly ended.
    if (!deadlineSet) {
        deadlineSet = 1;
        ::alarm(TerminationSignal::endDeadlineSeconds);
    }
    errno = saved;
}

} // namespace

TerminationSignal::TerminationSignal(std::function<void()> onTerminate, QObject *parent)
    : QObject(parent), onTerminate_(std::move(onTerminate))
{
    if (signalPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        if (onTerminate_)
            onTerminate_();
    });
    struct sigaction action = {};
    action.sa_handler = onTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (Handled &signal : handled) {
        signal.installed = false;
        if (::sigaction(signal.number, nullptr, &signal.before) != 0)
            continue;
        // Started to outlive its terminal (nohup), or in the background of a shell that keeps
        // Ctrl+C from it: what the starter chose stands. SIGTERM always ends the program.
        if (signal.number != SIGTERM && signal.before.sa_handler == SIG_IGN)
            continue;
        signal.installed = ::sigaction(signal.number, &action, nullptr) == 0;
    }
}

TerminationSignal::~TerminationSignal()
{
    if (!notifier_)
        return;
    for (Handled &signal : handled) {
        if (signal.installed)
            ::sigaction(signal.number, &signal.before, nullptr);
        signal.installed = false;
    }
    // A deadline set stays: the program is on its way out.
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}
