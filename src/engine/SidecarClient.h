#pragma once

#include "SidecarError.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>

class PipeEnd;
class RequestCancel;
class SidecarProcess;

// Owns the engine process and carries out one request at a time over its standard input and
// output, one JSON object per line. Requests from several threads wait their turn; the process is
// started only by `start` (and again after a reply too long to read), never implicitly. Every
// reply carries its request's id; a line on the engine's output that answers no waiting request
// is skipped and reported on standard output.
//
// Everything `start` and `send` throw derives from std::exception, and `what()` is the error's
// text in UTF-8: a SidecarError, the launcher's std::system_error, or the JSON reader's complaint
// about a reply (std::runtime_error).
class SidecarClient {
public:
    struct Location {
        QString javaPath;
        QString jarPath;
        // Every place the jar was looked for, in order, when none of them held it (`jarPath` is
        // then the last); empty when the jar was found or named by the environment.
        QStringList jarPlaces;
        // The environment variable that named each ("QUILLMARK_JAVA", "QUILLMARK_SIDECAR_JAR"),
        // empty where the path was not taken from the environment.
        QString javaNamedBy;
        QString jarNamedBy;
        bool operator==(const Location &) const = default;
    };

    // What the lookup of Java and the jar depends on: the two environment overrides (an empty
    // value is still an override), the resources folder, the working directory and the folder
    // of the running program.
    struct Surroundings {
        std::optional<QString> javaOverride;
        std::optional<QString> jarOverride;
        QString resourcesDir;
        QString workingDir;
        QString executableDir;
    };

    static constexpr std::chrono::seconds requestTimeout{45};
    // How long a process that is asked to end may take before it is killed, unless set.
    static constexpr std::chrono::seconds terminationGrace{2};
    // The same when the client is shut down: the application is waiting to end.
    static constexpr std::chrono::milliseconds shutdownGrace{500};
    // The longest reply line; a longer one fails its request and the engine is started afresh.
    static constexpr qsizetype maxReplyLine = qsizetype(64) << 20;

    SidecarClient();
    // Ends the engine as a replaced one is ended (see `start`), busy or not, and waits for a
    // request still running on another thread to fail.
    ~SidecarClient();
    SidecarClient(const SidecarClient &) = delete;
    SidecarClient &operator=(const SidecarClient &) = delete;

    // The private work folder, where the Java runtime writes its crash log. Until one is set, a
    // private folder of this user below the temporary directory. Taken at the next start.
    void setWorkFolder(const QString &folder);
    // How long an engine that is asked to end may take before it is killed.
    void setTerminationGrace(std::chrono::milliseconds grace);

    // Where Java and the jar are, from this process's environment, the resources folder beside
    // the executable (<executable dir>/../share/quillmark), the checkout the executable was built
    // in and the working directory. Environment overrides are taken as they are; otherwise a
    // bundle with its own Java wins, then the first of these that holds the jar: the resources
    // folder, the checkout's sidecar/target, the working directory's sidecar/target (its parent's
    // when the working directory is called "app"). Java is /usr/bin/java unless bundled.
    static Location defaultLocation();
    static Location defaultLocation(const Surroundings &surroundings);

    // Launches the engine; throws SidecarError::jarNotFound (with every place looked at),
    // SidecarError::javaNotFound or another launch failure, and then leaves the client as it
    // was, except that a request that finds no engine running fails with that error (instead of
    // notRunning) until a start succeeds; throws SidecarError::notRunning once the client has
    // been shut down. The request ids carry on from the previous process. A previous engine is
    // ended: its input is closed, it is asked to end, killed after the grace period and reaped;
    // a request still waiting on it fails.
    void start(const Location &location);

    // Ends the engine for good: its input is closed, it is asked to end, killed after at most
    // `shutdownGrace` and reaped. Every request waiting on it, or waiting its turn, fails at once,
    // and no engine is started again (`start` throws SidecarError::notRunning). For quitting
    // while requests are still on their way.
    void shutdown();

    // Sends one request and returns the reply's "result". Blocks while earlier requests finish
    // and then at most `timeout` for this one; a time-out ends the process and forgets it. When
    // the engine has ended by itself, the error carries the last lines it wrote to standard error.
    // With `cancel`, the request can be called off (see `cancel`).
    QJsonObject send(const QString &cmd, const QJsonObject &params,
                     std::chrono::milliseconds timeout = requestTimeout,
                     const std::shared_ptr<RequestCancel> &cancel = {});

    // Calls off the requests sent with `cancel`, from any thread, without waiting: one that
    // waits its turn is not sent; the engine of one on its way is let go at once, so that the
    // next request starts another (the engine's input is closed, which ends an engine that
    // still reads it, and one that does not answer is killed after the grace period). Either
    // request fails with SidecarError::cancelled.
    void cancel(RequestCancel &cancel);

    bool isRunning() const;

private:
    struct ReadBufferBox;
    enum class LineStatus { line, timedOut, tooLong, closed, cancelled };
    // An engine taken out of the client, to be ended.
    struct Detached {
        std::shared_ptr<SidecarProcess> process;
        std::shared_ptr<PipeEnd> input;
        std::chrono::milliseconds grace{};
    };

    void launch(const Location &location);
    // Reads the next line from `from` into `line`, unless the deadline passes, the line grows
    // beyond `maxReplyLine` or the engine closes its output first.
    static LineStatus readLine(PipeEnd &from, ReadBufferBox &buffer,
                               std::chrono::steady_clock::time_point deadline, int wakeFd,
                               QByteArray &line);
    static bool answers(qint64 id, const QByteArray &line);
    // What an engine that never answered said it was, ending it: a first line that is no reply,
    // or what Java wrote before the engine ended at its first request; no value when there is
    // nothing to tell.
    std::optional<SidecarError> noEngine(const std::shared_ptr<SidecarProcess> &process,
                                         const QByteArray *line);
    static QJsonObject interpretReply(const QByteArray &line);
    // Takes the engine's fields out of the client when `process` is still the current one; the
    // caller of the second holds `fieldsMutex_`.
    Detached detach(const std::shared_ptr<SidecarProcess> &process);
    Detached detachLocked(const std::shared_ptr<SidecarProcess> &process);
    static void end(Detached engine);
    // Ends `process` after a reply too long to read, and starts the last location afresh.
    void restartAfter(const std::shared_ptr<SidecarProcess> &process);

    // Guards the fields below; held only briefly, never while waiting on the process.
    mutable std::mutex fieldsMutex_;
    std::shared_ptr<SidecarProcess> process_;
    std::shared_ptr<PipeEnd> stdinHandle_;
    std::shared_ptr<PipeEnd> stdoutHandle_;
    std::shared_ptr<ReadBufferBox> readBuffer_;
    qint64 nextId_ = 1;
    std::optional<Location> location_; // of the last successful start
    std::exception_ptr startFailure_;  // of the last start, unless it succeeded
    // The command of the request that ran out of time and ended the engine, until a start.
    std::optional<QString> timedOutCmd_;
    // Whether the current engine has answered a request yet.
    bool replied_ = false;
    QString workFolder_;
    std::chrono::milliseconds grace_ = terminationGrace;
    bool released_ = false;
    // What calls off the request on its way, if it can be, and the engine it went to.
    RequestCancel *onItsWay_ = nullptr;
    std::shared_ptr<SidecarProcess> onItsWayEngine_;

    // Held for the whole of a request, so requests reach the engine one at a time.
    std::mutex ioMutex_;
};
