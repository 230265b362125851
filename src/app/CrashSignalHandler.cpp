#include "CrashSignalHandler.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
constexpr bool sanitized = __has_feature(address_sanitizer);
#else
constexpr bool sanitized = false;
#endif

constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Prepared before any signal: the handler only reads them.
char folderPath[3072];
char versionText[128];
char altStack[64 * 1024];

// Appends `text` to `out` while it fits; returns the new end.
char *append(char *out, const char *end, const char *text)
{
    while (*text && out < end)
        *out++ = *text++;
    return out;
}

char *appendNumber(char *out, const char *end, long long value)
{
    char digits[24];
    int count = 0;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative && out < end)
        *out++ = '-';
    while (count > 0 && out < end)
        *out++ = digits[--count];
    return out;
}

const char *signalName(int signal)
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGILL:
        return "SIGILL";
    case SIGFPE:
        return "SIGFPE";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            return;
        data += written;
        size -= size_t(written);
    }
}

void onFatalSignal(int signal)
{
    const int savedErrno = errno;
    const long long now = static_cast<long long>(::time(nullptr));
    char path[sizeof folderPath + 64];
    const char *pathEnd = path + sizeof path - 1;
    char *p = append(path, pathEnd, folderPath);
    p = append(p, pathEnd, "/Quillmark-");
    p = appendNumber(p, pathEnd, now);
    p = append(p, pathEnd, ".crash");
    *p = '\0';

    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        char text[512];
        const char *textEnd = text + sizeof text;
        char *t = append(text, textEnd, "Quillmark ");
        t = append(t, textEnd, versionText);
        t = append(t, textEnd, " ended on signal ");
        t = appendNumber(t, textEnd, signal);
        t = append(t, textEnd, " (");
        t = append(t, textEnd, signalName(signal));
        t = append(t, textEnd, ")\nProcess: ");
        t = appendNumber(t, textEnd, ::getpid());
        t = append(t, textEnd, "\nTime: ");
        t = appendNumber(t, textEnd, now);
        t = append(t, textEnd, " seconds since 1970\n");
        writeAll(fd, text, size_t(t - text));
        ::close(fd);
    }
    errno = savedErrno;

    // Ends the process the way the signal would have; the handler was reset on entry.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

bool copyInto(char *buffer, size_t size, const QByteArray &text)
{
    if (size_t(text.size()) >= size)
        return false;
    std::memcpy(buffer, text.constData(), size_t(text.size()));
    buffer[text.size()] = '\0';
    return true;
}

} // namespace

namespace CrashSignalHandler {

bool leavesSignalsToSanitizer()
{
    return sanitized;
}

bool install(const QString &folder, const QString &version)
{
    // The sanitizer's own handlers and their signal stack stay in place.
    if (sanitized || !QDir().mkpath(folder))
        return false;
    if (!copyInto(folderPath, sizeof folderPath, QFile::encodeName(QDir(folder).absolutePath())))
        return false;
    copyInto(versionText, sizeof versionText,
             (version.isEmpty() ? QStringLiteral("dev") : version).toUtf8().left(100));

    // A stack overflow leaves no room on the thread's own stack to run the handler.
    stack_t stack = {};
    stack.ss_sp = altStack;
    stack.ss_size = sizeof altStack;
    ::sigaltstack(&stack, nullptr);

    struct sigaction action = {};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : fatalSignals)
        ::sigaction(signal, &action, nullptr);
    return true;
}

} // namespace CrashSignalHandler
