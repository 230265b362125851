#include "SidecarClient.h"

#include "PipeEnd.h"
#include "SidecarProcess.h"
#include "StrictUtf8.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <csignal>
#include <stdexcept>

// Bytes read from the engine that do not yet form a whole line. A new box replaces the old one
// whenever a process is started or forgotten, so leftovers never reach another process's reader.
struct SidecarClient::ReadBufferBox {
    QByteArray data;
};

namespace {

std::optional<QString> environmentOverride(const char *name)
{
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qEnvironmentVariable(name);
}

QString unknownError()
{
    return QStringLiteral("Unknown sidecar error");
}

} // namespace

SidecarClient::SidecarClient()
{
    // A write to an engine that has just died fails with EPIPE instead of ending the application.
    static std::once_flag ignoreBrokenPipes;
    std::call_once(ignoreBrokenPipes, [] {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGPIPE, &ignore, nullptr);
    });
}

SidecarClient::~SidecarClient() = default;

SidecarClient::Location SidecarClient::defaultLocation()
{
    Surroundings surroundings;
    surroundings.javaOverride = environmentOverride("QUILLMARK_JAVA");
    surroundings.jarOverride = environmentOverride("QUILLMARK_SIDECAR_JAR");
    if (QCoreApplication::instance())
        surroundings.resourcesDir = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                    QStringLiteral("/../share/quillmark"));
    surroundings.workingDir = QDir::currentPath();
    return defaultLocation(surroundings);
}

SidecarClient::Location SidecarClient::defaultLocation(const Surroundings &surroundings)
{
    if (!surroundings.resourcesDir.isEmpty()) {
        const QDir resources(surroundings.resourcesDir);
        const QString java = resources.filePath(QStringLiteral("jre/bin/java"));
        const QString jar = resources.filePath(QStringLiteral("sidecar.jar"));
        if (QFileInfo::exists(java) && QFileInfo::exists(jar))
            return {surroundings.javaOverride.value_or(java),
                    surroundings.jarOverride.value_or(jar)};
    }
    QString base = surroundings.workingDir;
    if (QFileInfo(base).fileName() == QStringLiteral("app"))
        base = QFileInfo(base).path();
    return {surroundings.javaOverride.value_or(QStringLiteral("/usr/bin/java")),
            surroundings.jarOverride.value_or(
                QDir(base).filePath(QStringLiteral("sidecar/target/sidecar.jar")))};
}

void SidecarClient::start(const Location &location)
{
    if (!QFileInfo::exists(location.jarPath))
        throw SidecarError::jarNotFound(location.jarPath);
    SidecarProcess::Launched launched = SidecarProcess::launch(
        location.javaPath, {QStringLiteral("-Djava.awt.headless=true"), QStringLiteral("-jar"),
                            location.jarPath, QStringLiteral("serve")});
    auto buffer = std::make_shared<ReadBufferBox>();
    // The previous process and pipes are let go after the lock, in `launched` and `buffer`.
    std::lock_guard lock(fieldsMutex_);
    std::swap(process_, launched.process);
    std::swap(stdinHandle_, launched.input);
    std::swap(stdoutHandle_, launched.output);
    std::swap(readBuffer_, buffer);
}

bool SidecarClient::isRunning() const
{
    std::lock_guard lock(fieldsMutex_);
    return process_ && process_->isRunning();
}

QJsonObject SidecarClient::send(const QString &cmd, const QJsonObject &params,
                                std::chrono::milliseconds timeout)
{
    std::lock_guard turn(ioMutex_);
    std::shared_ptr<SidecarProcess> process;
    std::shared_ptr<PipeEnd> input;
    std::shared_ptr<PipeEnd> output;
    std::shared_ptr<ReadBufferBox> buffer;
    qint64 id = 0;
    {
        std::lock_guard lock(fieldsMutex_);
        if (!stdinHandle_ || !stdoutHandle_ || !process_ || !process_->isRunning())
            throw SidecarError::notRunning();
        id = nextId_++;
        process = process_;
        input = stdinHandle_;
        output = stdoutHandle_;
        buffer = readBuffer_;
    }

    const QJsonObject request{{QStringLiteral("id"), id},
                              {QStringLiteral("cmd"), cmd},
                              {QStringLiteral("params"), params}};
    const QByteArray json = QJsonDocument(request).toJson(QJsonDocument::Compact);

    // The deadline covers the writing too: an engine that stops reading cannot hold us forever.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    PipeEnd::Status written = input->writeAll(json, deadline);
    if (written == PipeEnd::Status::done)
        written = input->writeAll("\n", deadline);
    if (written == PipeEnd::Status::closed)
        throw SidecarError::processExitedUnexpectedly();
    std::optional<QByteArray> line;
    if (written == PipeEnd::Status::done)
        line = readLine(*output, *buffer, deadline);
    if (!line) {
        resetAfterTimeout(process);
        throw SidecarError::timedOut();
    }
    return interpretReply(*line);
}

std::optional<QByteArray> SidecarClient::readLine(PipeEnd &from, ReadBufferBox &buffer,
                                                  std::chrono::steady_clock::time_point deadline)
{
    qsizetype scanned = 0;
    for (;;) {
        const qsizetype end = buffer.data.indexOf('\n', scanned);
        if (end >= 0) {
            QByteArray line = buffer.data.left(end);
            buffer.data.remove(0, end + 1); // what follows is the next request's reply
            return line;
        }
        scanned = buffer.data.size();
        switch (from.readAvailable(buffer.data, deadline)) {
        case PipeEnd::Status::timedOut:
            return std::nullopt;
        case PipeEnd::Status::closed:
            throw SidecarError::processExitedUnexpectedly();
        case PipeEnd::Status::done:
            break;
        }
    }
}

QJsonObject SidecarClient::interpretReply(const QByteArray &line)
{
    // A line that is not valid UTF-8 reads as an empty one.
    const QString text = strictUtf8(line).value_or(QString());

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw std::runtime_error(parseError.errorString().toStdString());
    if (!document.isObject())
        throw SidecarError::malformedResponse(text);

    const QJsonObject reply = document.object();
    const QJsonValue ok = reply.value(QStringLiteral("ok"));
    if (ok.isBool() && ok.toBool())
        return reply.value(QStringLiteral("result")).toObject();

    const QJsonValue error = reply.value(QStringLiteral("error"));
    if (!error.isObject())
        throw SidecarError::rpcError(unknownError(), {});
    const QJsonValue message = error[QStringLiteral("message")];
    QStringList causes;
    for (const QJsonValue cause : error[QStringLiteral("causes")].toArray()) {
        if (!cause.isString()) {
            causes.clear();
            break;
        }
        causes.append(cause.toString());
    }
    throw SidecarError::rpcError(message.isString() ? message.toString() : unknownError(), causes);
}

void SidecarClient::resetAfterTimeout(const std::shared_ptr<SidecarProcess> &process)
{
    process->terminate(terminationGrace);
    std::shared_ptr<SidecarProcess> forgotten;
    std::shared_ptr<PipeEnd> forgottenInput;
    std::shared_ptr<PipeEnd> forgottenOutput;
    auto buffer = std::make_shared<ReadBufferBox>();
    std::lock_guard lock(fieldsMutex_);
    if (process_ != process)
        return; // a new process was started meanwhile; it stays
    std::swap(process_, forgotten);
    std::swap(stdinHandle_, forgottenInput);
    std::swap(stdoutHandle_, forgottenOutput);
    std::swap(readBuffer_, buffer);
}
