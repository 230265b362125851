// A stand-in for the engine process, started the way the engine is:
//
//   fakesidecar [runtime options] -jar <script> serve
//
// The "jar" is a script: one action per line, each carried out for one request line read from
// standard input. Requests beyond the script are echoed. Arguments may hold the escapes \n, \\ and
// \xHH; $ID stands for the request's id and $NEXT for the one after it. An action written
// "once:<action>" is carried out by the first process that reaches it; later processes of the same
// script echo instead.
//
//   echo              reply with the request, its raw line, our arguments, pid, SIGPIPE state
//                     and how many signals we started with blocked
//   send <bytes>      write the bytes as they are, in one write
//   silent            answer nothing
//   exit <bytes>      write the bytes and exit
//   complain <bytes>  write the bytes to standard error and exit with status 1, as a runtime that
//                     cannot run the engine does
//   warn <bytes>      write the bytes to standard error, then reply as echo does
//   close-stdin <b>   close standard input, write the bytes, and stay until our output is closed
//   hang              stop reading, without taking this request; exit once our input is closed
//   hang-stubborn     as hang, but ignore SIGTERM
//   spin              take the request and never answer, ignoring SIGTERM and our input
//   flood             write without ever ending the line
//
// With FAKESIDECAR_REQUEST_LOG set, every request line is appended to that file as it is read.
//
// The fake always ends within two minutes, so a test that goes wrong leaves nothing behind.

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

QByteArray unescape(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out.append(text[i]);
        } else if (text[i + 1] == 'n') {
            out.append('\n');
            ++i;
        } else if (text[i + 1] == 'x' && i + 3 < text.size()) {
            out.append(char(text.mid(i + 2, 2).toInt(nullptr, 16)));
            i += 3;
        } else {
            out.append(text[i + 1]);
            ++i;
        }
    }
    return out;
}

void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            ::_exit(3);
        done += n;
    }
}

// Waits until the other end of `fd` is closed, then exits.
[[noreturn]] void waitForHangUp(int fd)
{
    for (;;) {
        pollfd entry{fd, 0, 0};
        if (::poll(&entry, 1, -1) > 0 && (entry.revents & (POLLHUP | POLLERR)))
            ::_exit(0);
    }
}

// One request line, or exits at the end of input.
QByteArray readRequest()
{
    static QByteArray pending;
    for (;;) {
        const qsizetype end = pending.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            return line;
        }
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0)
            ::_exit(0);
        pending.append(chunk, n);
    }
}

QByteArray echo(const QByteArray &line, int argc, char **argv)
{
    QJsonArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    struct sigaction current = {};
    sigaction(SIGPIPE, nullptr, &current);
    sigset_t blocked;
    sigprocmask(SIG_SETMASK, nullptr, &blocked);
    int blockedCount = 0;
    for (int signal = 1; signal < NSIG; ++signal)
        blockedCount += sigismember(&blocked, signal) == 1;
    const QJsonObject result{{QStringLiteral("request"), QJsonDocument::fromJson(line).object()},
                             {QStringLiteral("line"), QString::fromUtf8(line)},
                             {QStringLiteral("args"), arguments},
                             {QStringLiteral("pid"), qint64(::getpid())},
                             {QStringLiteral("sigpipeDefault"), current.sa_handler == SIG_DFL},
                             {QStringLiteral("signalsBlocked"), blockedCount}};
    const QJsonObject reply{
        {QStringLiteral("id"), result[QStringLiteral("request")][QStringLiteral("id")]},
        {QStringLiteral("ok"), true},
        {QStringLiteral("result"), result}};
    return QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n';
}

void logRequest(const QByteArray &line)
{
    const QByteArray path = qgetenv("FAKESIDECAR_REQUEST_LOG");
    QFile log(QString::fromLocal8Bit(path));
    if (!path.isEmpty() && log.open(QIODevice::Append))
        log.write(line + '\n');
}

// Whether this is the first process of the script to reach `step`; marks it reached.
bool firstToReach(const char *script, qsizetype step)
{
    const QByteArray marker = QByteArray(script) + ".once" + QByteArray::number(step);
    const int fd = ::open(marker.constData(), O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    ::alarm(120);
    int jar = 1;
    while (jar < argc && std::strcmp(argv[jar], "-jar") != 0)
        ++jar;
    if (jar + 2 != argc - 1 || std::strcmp(argv[jar + 2], "serve") != 0) {
        std::fprintf(stderr, "fakesidecar: expected [options] -jar <script> serve\n");
        return 2;
    }
    const char *scriptPath = argv[jar + 1];
    QFile scriptFile(QString::fromLocal8Bit(scriptPath));
    if (!scriptFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "fakesidecar: cannot read the script %s\n", scriptPath);
        return 2;
    }
    QList<QByteArray> script = scriptFile.readAll().split('\n');
    if (!script.isEmpty() && script.last().isEmpty())
        script.removeLast();

    for (qsizetype step = 0;; ++step) {
        QByteArray action = step < script.size() ? script[step] : QByteArrayLiteral("echo");
        if (action.startsWith("once:"))
            action = firstToReach(scriptPath, step) ? action.mid(5) : QByteArrayLiteral("echo");
        const qsizetype space = action.indexOf(' ');
        const QByteArray verb = space < 0 ? action : action.left(space);
        QByteArray bytes = space < 0 ? QByteArray() : unescape(action.mid(space + 1));
        if (verb == "hang" || verb == "hang-stubborn") {
            if (verb == "hang-stubborn")
                std::signal(SIGTERM, SIG_IGN);
            waitForHangUp(STDIN_FILENO);
        }
        const QByteArray line = readRequest();
        logRequest(line);
        const qint64 id = QJsonDocument::fromJson(line)[QStringLiteral("id")].toInteger();
        bytes.replace("$NEXT", QByteArray::number(id + 1)).replace("$ID", QByteArray::number(id));
        if (verb == "echo") {
            writeAll(STDOUT_FILENO, echo(line, argc, argv));
        } else if (verb == "send") {
            writeAll(STDOUT_FILENO, bytes);
        } else if (verb == "exit") {
            writeAll(STDOUT_FILENO, bytes);
            ::_exit(0);
        } else if (verb == "warn") {
            writeAll(STDERR_FILENO, bytes);
            writeAll(STDOUT_FILENO, echo(line, argc, argv));
        } else if (verb == "complain") {
            writeAll(STDERR_FILENO, bytes);
            ::_exit(1);
        } else if (verb == "close-stdin") {
            ::close(STDIN_FILENO);
            writeAll(STDOUT_FILENO, bytes);
            waitForHangUp(STDOUT_FILENO);
        } else if (verb == "spin") {
            std::signal(SIGTERM, SIG_IGN);
            for (;;)
                ::pause();
        } else if (verb == "flood") {
            const QByteArray chunk(1 << 16, 'x');
            for (;;)
                writeAll(STDOUT_FILENO, chunk);
        } else if (verb != "silent") {
            std::fprintf(stderr, "fakesidecar: unknown action %s\n", verb.constData());
            return 2;
        }
    }
}
