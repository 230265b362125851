#pragma once

#include "SidecarError.h"

#include <QJsonObject>
#include <QString>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

class PipeEnd;
class SidecarProcess;

// Owns the engine process and carries out one request at a time over its standard input and
// output, one JSON object per line. Requests from several threads wait their turn; the process is
// started only by `start`, never implicitly.
//
// Everything `start` and `send` throw derives from std::exception, and `what()` is the error's
// text in UTF-8: a SidecarError, the launcher's std::system_error, or the JSON reader's complaint
// about a reply (std::runtime_error).
class SidecarClient {
public:
    struct Location {
        QString javaPath;
        QString jarPath;
        bool operator==(const Location &) const = default;
    };

    // What the lookup of Java and the jar depends on: the two environment overrides (an empty
    // value is still an override), the resources folder and the working directory.
    struct Surroundings {
        std::optional<QString> javaOverride;
        std::optional<QString> jarOverride;
        QString resourcesDir;
        QString workingDir;
    };

    static constexpr std::chrono::seconds requestTimeout{45};
    // How long a process that is asked to end may take before it is killed.
    static constexpr std::chrono::seconds terminationGrace{2};

    SidecarClient();
    ~SidecarClient();
    SidecarClient(const SidecarClient &) = delete;
    SidecarClient &operator=(const SidecarClient &) = delete;

    // Where Java and the jar are, from this process's environment, the resources folder beside
    // the executable and the working directory. Nothing is checked but the bundled files.
    static Location defaultLocation();
    static Location defaultLocation(const Surroundings &surroundings);

    // Launches the engine; throws SidecarError::jarNotFound or the launch failure, and then leaves
    // the client as it was. The request ids carry on from the previous process.
    void start(const Location &location);

    // Sends one request and returns the reply's "result". Blocks while earlier requests finish
    // and then at most `timeout` for this one; a time-out ends the process and forgets it.
    QJsonObject send(const QString &cmd, const QJsonObject &params,
                     std::chrono::milliseconds timeout = requestTimeout);

    bool isRunning() const;

private:
    struct ReadBufferBox;

    // The next line from `from`, or no value when the deadline passes first.
    static std::optional<QByteArray> readLine(PipeEnd &from, ReadBufferBox &buffer,
                                              std::chrono::steady_clock::time_point deadline);
    static QJsonObject interpretReply(const QByteArray &line);
    // Ends `process` and, when it is still the current one, forgets it.
    void resetAfterTimeout(const std::shared_ptr<SidecarProcess> &process);

    // Guards the fields below; held only briefly, never while waiting on the process.
    mutable std::mutex fieldsMutex_;
    std::shared_ptr<SidecarProcess> process_;
    std::shared_ptr<PipeEnd> stdinHandle_;
    std::shared_ptr<PipeEnd> stdoutHandle_;
    std::shared_ptr<ReadBufferBox> readBuffer_;
    qint64 nextId_ = 1;

    // Held for the whole of a request, so requests reach the engine one at a time.
    std::mutex ioMutex_;
};
