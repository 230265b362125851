#pragma once

#include "ErrorOutputTail.h"
#include "PipeEnd.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <mutex>
#include <sys/types.h>

// A child process whose standard input and output are pipes held by us; what it writes to its
// standard error is passed on to ours, and the last of it kept. Whoever holds the last reference to
// a process that has ended reaps it; one still running when released is reaped in the background
// once it ends.
class SidecarProcess {
public:
    struct Launched;

    // Starts `program` with `arguments` and `environment` ("NAME=value" entries), inheriting
    // the working directory; the child ends with this process (ChildProcesses::tieToParent).
    // Throws std::system_error when it cannot be started.
    static Launched launch(const QString &program, const QStringList &arguments,
                           const QList<QByteArray> &environment);

    ~SidecarProcess();
    SidecarProcess(const SidecarProcess &) = delete;
    SidecarProcess &operator=(const SidecarProcess &) = delete;

    pid_t pid() const { return pid_; }
    // False once it has ended; an ended process is reaped here.
    bool isRunning() const;
    // Asks it to end, kills it when it is still there after `grace`, and reaps it.
    void terminate(std::chrono::milliseconds grace) const;
    // A request is about to be sent: what it wrote before no longer counts as its last words.
    void beginRequest() const { errors_->beginRequest(); }
    // The last lines it wrote to its standard error since the latest request began, when it ended
    // by itself (waiting at most `wait` for it to close that); empty when it was told to end, is
    // still running, or said nothing.
    QString lastWords(std::chrono::milliseconds wait) const;

private:
    SidecarProcess(pid_t pid, std::shared_ptr<ErrorOutputTail> errors)
        : pid_(pid), errors_(std::move(errors))
    {
    }
    // Reaps the process if it has ended; the caller holds `mutex_`.
    bool reapIfEndedLocked() const;

    const pid_t pid_;
    const std::shared_ptr<ErrorOutputTail> errors_;
    mutable std::mutex mutex_;
    mutable bool reaped_ = false;
    mutable bool toldToEnd_ = false;
};

struct SidecarProcess::Launched {
    std::shared_ptr<SidecarProcess> process;
    std::shared_ptr<PipeEnd> input;  // writes to the child's standard input (non-blocking)
    std::shared_ptr<PipeEnd> output; // reads the child's standard output
};
