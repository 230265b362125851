#include "SidecarClient.h"

#include "ChildProcesses.h"
#include "EngineEnvironment.h"
#include "EngineLaunchAdvice.h"
#include "PipeEnd.h"
#include "RequestCancel.h"
#include "SidecarProcess.h"
#include "StrictUtf8.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <utility>

using namespace Qt::StringLiterals;

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

// How long a request whose engine has ended waits for the last of its standard error and its
// end: on a busy machine the reading thread may wait its turn for a good part of a second.
constexpr std::chrono::milliseconds lastWordsWait{2000};

// How much of an unexpected line a diagnostic or an error shows.
constexpr qsizetype shownBytes = 200;

QString beginningOf(const QByteArray &line)
{
    return QString::fromUtf8(line.left(shownBytes)) +
           (line.size() > shownBytes ? QStringLiteral("…") : QString());
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

SidecarClient::~SidecarClient()
{
    Detached engine;
    {
        std::lock_guard lock(fieldsMutex_);
        released_ = true;
        engine = detachLocked(process_);
    }
    end(std::move(engine));
    // A request still running on another thread has lost its engine and fails at once; it must
    // be gone before the fields it uses are. One that restarted the engine just before we were
    // released leaves that engine behind, to be ended too.
    std::lock_guard turn(ioMutex_);
    end(detach(process_));
}

void SidecarClient::shutdown()
{
    Detached engine;
    {
        std::lock_guard lock(fieldsMutex_);
        released_ = true;
        engine = detachLocked(process_);
        engine.grace = std::min(engine.grace, std::chrono::milliseconds(shutdownGrace));
    }
    end(std::move(engine));
}

void SidecarClient::setWorkFolder(const QString &folder)
{
    std::lock_guard lock(fieldsMutex_);
    workFolder_ = folder;
}

void SidecarClient::setTerminationGrace(std::chrono::milliseconds grace)
{
    std::lock_guard lock(fieldsMutex_);
    grace_ = grace;
}

SidecarClient::Location SidecarClient::defaultLocation()
{
    Surroundings surroundings;
    surroundings.javaOverride = environmentOverride("QUILLMARK_JAVA");
    surroundings.jarOverride = environmentOverride("QUILLMARK_SIDECAR_JAR");
    if (QCoreApplication::instance()) {
        surroundings.executableDir = QCoreApplication::applicationDirPath();
        surroundings.resourcesDir =
            QDir::cleanPath(surroundings.executableDir + QStringLiteral("/../share/quillmark"));
    }
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
                    surroundings.jarOverride.value_or(jar),
                    {},
                    surroundings.javaOverride ? u"QUILLMARK_JAVA"_s : QString(),
                    surroundings.jarOverride ? u"QUILLMARK_SIDECAR_JAR"_s : QString()};
    }
    const QString java = surroundings.javaOverride.value_or(QStringLiteral("/usr/bin/java"));
    const QString javaNamedBy = surroundings.javaOverride ? u"QUILLMARK_JAVA"_s : QString();
    if (surroundings.jarOverride)
        return {java, *surroundings.jarOverride, {}, javaNamedBy, u"QUILLMARK_SIDECAR_JAR"_s};

    QStringList places;
    const auto lookIn = [&](const QString &folder, const QString &jar) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(jar));
        if (!folder.isEmpty() && !places.contains(path))
            places.append(path);
    };
    // An installed program that uses the system's Java.
    lookIn(surroundings.resourcesDir, QStringLiteral("sidecar.jar"));
    // A program built in a checkout's build folder (build/src/quillmark).
    lookIn(surroundings.executableDir, QStringLiteral("../../sidecar/target/sidecar.jar"));
    QString base = surroundings.workingDir.isEmpty() ? u"."_s : surroundings.workingDir;
    if (QFileInfo(base).fileName() == QStringLiteral("app"))
        base = QFileInfo(base).path();
    lookIn(base, QStringLiteral("sidecar/target/sidecar.jar"));
    for (const QString &place : std::as_const(places)) {
        if (QFileInfo::exists(place))
            return {java, place, {}, javaNamedBy};
    }
    return {java, places.value(places.size() - 1), places, javaNamedBy};
}

void SidecarClient::start(const Location &location)
{
    try {
        launch(location);
    } catch (...) {
        std::lock_guard lock(fieldsMutex_);
        startFailure_ = std::current_exception();
        throw;
    }
}

void SidecarClient::launch(const Location &location)
{
    if (!QFileInfo::exists(location.jarPath))
        throw location.jarPlaces.isEmpty()
            ? SidecarError::jarNotFound(location.jarPath, location.jarNamedBy)
            : SidecarError::jarNotFound(location.jarPlaces);
    QString folder;
    {
        std::lock_guard lock(fieldsMutex_);
        if (released_)
            throw SidecarError::notRunning();
        folder = workFolder_;
    }
    if (folder.isEmpty())
        folder = EngineEnvironment::privateFolder();
    // The runtime's own messages go to standard error, never between the replies, and its crash
    // log to the private folder rather than the working directory.
    QStringList arguments{QStringLiteral("-Djava.awt.headless=true"),
                          QStringLiteral("-XX:+DisplayVMOutputToStderr")};
    if (!folder.isEmpty()) // the runtime expands %p to its pid and reads %% as one %
        arguments.append(u"-XX:ErrorFile=" + QString(folder).replace(u'%', u"%%"_s) +
                         u"/engine-crash-%p.log");
    arguments.append({QStringLiteral("-jar"), location.jarPath, QStringLiteral("serve")});
    SidecarProcess::Launched launched;
    try {
        launched = SidecarProcess::launch(
            location.javaPath, arguments,
            EngineEnvironment::withUtf8FileNames(EngineEnvironment::current()));
    } catch (const std::system_error &error) {
        if (error.code() == std::errc::no_such_file_or_directory)
            throw SidecarError::javaNotFound(location.javaPath, location.javaNamedBy);
        // A folder, a file that is no program or one we may not run.
        throw SidecarError::engineUnusable(EngineLaunchAdvice::javaCannotRun(
            location, QString::fromLocal8Bit(std::strerror(error.code().value()))));
    }
    // Should it outlive us after all, the next designer to start ends it.
    ChildProcesses::note(folder, launched.process->pid());

    auto buffer = std::make_shared<ReadBufferBox>();
    Detached previous;
    bool refused = false;
    {
        // The previous pipes and buffer are let go after the lock, in `launched` and `buffer`.
        std::lock_guard lock(fieldsMutex_);
        refused = released_;
        if (refused) {
            // Shut down while this one was launching: it never becomes the engine.
            previous = {launched.process, launched.input, std::min(grace_, shutdownGrace)};
            launched.input.reset();
        } else {
            previous = detachLocked(process_);
            std::swap(process_, launched.process);
            std::swap(stdinHandle_, launched.input);
            std::swap(stdoutHandle_, launched.output);
            std::swap(readBuffer_, buffer);
            location_ = location;
            startFailure_ = nullptr;
            timedOutCmd_.reset();
            replied_ = false;
        }
    }
    end(std::move(previous));
    if (refused)
        throw SidecarError::notRunning();
}

bool SidecarClient::isRunning() const
{
    std::lock_guard lock(fieldsMutex_);
    return process_ && process_->isRunning();
}

QJsonObject SidecarClient::send(const QString &cmd, const QJsonObject &params,
                                std::chrono::milliseconds timeout,
                                const std::shared_ptr<RequestCancel> &cancel)
{
    std::unique_lock turn(ioMutex_);
    std::shared_ptr<SidecarProcess> process;
    std::shared_ptr<PipeEnd> input;
    std::shared_ptr<PipeEnd> output;
    std::shared_ptr<ReadBufferBox> buffer;
    qint64 id = 0;
    std::chrono::milliseconds grace{};
    {
        std::lock_guard lock(fieldsMutex_);
        if (cancel && cancel->isCancelled())
            throw SidecarError::cancelled();
        process = process_;
        grace = grace_;
        if (!stdinHandle_ || !stdoutHandle_ || !process_ || !process_->isRunning()) {
            if (startFailure_)
                std::rethrow_exception(startFailure_); // why there is no engine
            if (timedOutCmd_ && !process_)
                throw SidecarError::endedAfterTimeOut(*timedOutCmd_);
        } else {
            id = nextId_++;
            input = stdinHandle_;
            output = stdoutHandle_;
            buffer = readBuffer_;
            onItsWay_ = cancel.get();
            onItsWayEngine_ = process_;
        }
    }
    if (!input) {
        if (std::optional<SidecarError> said = noEngine(process, nullptr))
            throw *said;
        throw SidecarError::notRunning(process ? process->lastWords(lastWordsWait) : QString());
    }
    const auto forgetOnItsWay = [this] {
        std::lock_guard lock(fieldsMutex_);
        onItsWay_ = nullptr;
        onItsWayEngine_.reset();
    };
    auto arrived = qScopeGuard(forgetOnItsWay);
    const int wakeFd = cancel ? cancel->wakeFd() : -1;

    const QJsonObject request{{QStringLiteral("id"), id},
                              {QStringLiteral("cmd"), cmd},
                              {QStringLiteral("params"), params}};
    const QByteArray json = QJsonDocument(request).toJson(QJsonDocument::Compact);

    process->beginRequest();
    // The deadline covers the writing too: an engine that stops reading cannot hold us forever.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    PipeEnd::Status written = input->writeAll(json, deadline, wakeFd);
    if (written == PipeEnd::Status::done)
        written = input->writeAll("\n", deadline, wakeFd);
    input.reset(); // so that ending the engine closes its input even while we wait for it
    if (written == PipeEnd::Status::closed) {
        if (std::optional<SidecarError> said = noEngine(process, nullptr))
            throw *said;
        throw SidecarError::processExitedUnexpectedly(process->lastWords(lastWordsWait));
    }

    QByteArray line;
    LineStatus status = written == PipeEnd::Status::done    ? LineStatus::line
                        : written == PipeEnd::Status::woken ? LineStatus::cancelled
                                                            : LineStatus::timedOut;
    while (status == LineStatus::line) {
        status = readLine(*output, *buffer, deadline, wakeFd, line);
        if (status != LineStatus::line)
            break;
        if (answers(id, line)) {
            std::lock_guard lock(fieldsMutex_);
            if (process_ == process)
                replied_ = true;
            break;
        }
        // A program that is not the engine: its first line answers nothing.
        if (std::optional<SidecarError> said = noEngine(process, &line))
            throw *said;
        // Not our reply: a stray line from the engine or something it runs. Skipping it keeps
        // every later reply on its own request.
        std::fprintf(stdout, "Skipped a line from the engine that answers no request: %s\n",
                     beginningOf(line).toUtf8().constData());
        std::fflush(stdout);
    }
    switch (status) {
    case LineStatus::line:
        return interpretReply(line);
    case LineStatus::timedOut: {
        Detached engine;
        {
            std::lock_guard lock(fieldsMutex_);
            engine = detachLocked(process);
            if (engine.process)
                timedOutCmd_ = cmd;
        }
        end(std::move(engine));
        throw SidecarError::timedOut();
    }
    case LineStatus::closed:
        if (std::optional<SidecarError> said = noEngine(process, nullptr))
            throw *said;
        throw SidecarError::processExitedUnexpectedly(process->lastWords(lastWordsWait));
    case LineStatus::cancelled: {
        // `cancel` has let the engine go: the next request need not wait for it to end.
        Detached engine = detach(process);
        arrived.dismiss();
        forgetOnItsWay();
        turn.unlock();
        engine.input.reset();
        process->terminate(grace);
        throw SidecarError::cancelled();
    }
    case LineStatus::tooLong:
        break;
    }
    restartAfter(process);
    // An answer that long is a result too large to show, not a fault of the engine's.
    throw SidecarError::rpcError(
        QStringLiteral("The result is too large to show: the engine's answer is over %1 MB. "
                       "Narrow the query, or let it return fewer rows or shorter columns.")
            .arg(maxReplyLine >> 20),
        {});
}

void SidecarClient::cancel(RequestCancel &request)
{
    Detached engine;
    {
        std::lock_guard lock(fieldsMutex_);
        if (onItsWay_ == &request)
            engine = detachLocked(onItsWayEngine_);
        request.cancel();
    }
    // An engine that still reads its input ends by itself once that is closed; the request's own
    // thread kills one that does not, so nobody here waits for it.
    engine.input.reset();
}

SidecarClient::LineStatus SidecarClient::readLine(PipeEnd &from, ReadBufferBox &buffer,
                                                  std::chrono::steady_clock::time_point deadline,
                                                  int wakeFd, QByteArray &line)
{
    qsizetype scanned = 0;
    for (;;) {
        const qsizetype end = buffer.data.indexOf('\n', scanned);
        if (end > maxReplyLine || (end < 0 && buffer.data.size() > maxReplyLine))
            return LineStatus::tooLong;
        if (end >= 0) {
            line = buffer.data.left(end);
            buffer.data.remove(0, end + 1); // what follows is the next request's reply
            return LineStatus::line;
        }
        scanned = buffer.data.size();
        switch (from.readAvailable(buffer.data, deadline, wakeFd)) {
        case PipeEnd::Status::timedOut:
            return LineStatus::timedOut;
        case PipeEnd::Status::woken:
            return LineStatus::cancelled;
        case PipeEnd::Status::closed:
            return LineStatus::closed;
        case PipeEnd::Status::done:
            break;
        }
    }
}

bool SidecarClient::answers(qint64 id, const QByteArray &line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line);
    if (document.isObject()) {
        const QJsonValue replyId = document.object().value(QStringLiteral("id"));
        return replyId.isDouble() && replyId.toInteger(-1) == id;
    }
    // A damaged reply that still begins with our id is ours, and fails as what it is. (The
    // engine writes the id first.)
    const QByteArray prefix = "{\"id\":" + QByteArray::number(id);
    return line.startsWith(prefix) && line.size() > prefix.size() &&
           (line[prefix.size()] == ',' || line[prefix.size()] == '}');
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

std::optional<SidecarError> SidecarClient::noEngine(const std::shared_ptr<SidecarProcess> &process,
                                                    const QByteArray *line)
{
    std::optional<Location> location;
    {
        std::lock_guard lock(fieldsMutex_);
        if (!process || process_ != process || replied_)
            return std::nullopt;
        location = location_;
    }
    if (!location)
        return std::nullopt;
    if (line) {
        if (EngineLaunchAdvice::isReply(*line))
            return std::nullopt;
        end(detach(process));
        return SidecarError::engineUnusable(
            EngineLaunchAdvice::notTheEngine(*location, beginningOf(*line)));
    }
    const std::optional<QString> advice =
        EngineLaunchAdvice::endedAtStart(*location, process->lastWords(lastWordsWait));
    if (!advice)
        return std::nullopt;
    return SidecarError::engineUnusable(*advice);
}

SidecarClient::Detached SidecarClient::detachLocked(const std::shared_ptr<SidecarProcess> &process)
{
    Detached engine;
    engine.grace = grace_;
    if (!process || process_ != process)
        return engine; // a new process was started meanwhile; it stays
    engine.process = std::exchange(process_, nullptr);
    engine.input = std::exchange(stdinHandle_, nullptr);
    stdoutHandle_.reset();
    readBuffer_ = std::make_shared<ReadBufferBox>();
    return engine;
}

SidecarClient::Detached SidecarClient::detach(const std::shared_ptr<SidecarProcess> &process)
{
    std::lock_guard lock(fieldsMutex_);
    return detachLocked(process);
}

void SidecarClient::end(Detached engine)
{
    if (!engine.process)
        return;
    // Closing its input tells a well-behaved engine to finish; the signal and, after the grace
    // period, the kill deal with one that is busy or stuck.
    engine.input.reset();
    engine.process->terminate(engine.grace);
}

void SidecarClient::restartAfter(const std::shared_ptr<SidecarProcess> &process)
{
    end(detach(process));
    std::optional<Location> location;
    {
        std::lock_guard lock(fieldsMutex_);
        if (!released_)
            location = location_;
    }
    if (!location)
        return;
    try {
        start(*location);
    } catch (const std::exception &) {
        // The client is back at not started; the next start-if-needed tries again.
    }
}
