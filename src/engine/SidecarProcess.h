#pragma once

#include "PipeEnd.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <mutex>
#include <sys/types.h>

// A child process whose standard input and output are pipes held by us; its standard error is
// ours. Whoever holds the last reference to a process that has ended reaps it; one still running
// when released is reaped in the background once it ends.
class SidecarProcess {
public:
    struct Launched;

    // Starts `program` with `arguments` and `environment` ("NAME=value" entries), inheriting
    // the working directory. Throws std::system_error when it cannot be started.
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

private:
    explicit SidecarProcess(pid_t pid) : pid_(pid) {}
    // Reaps the process if it has ended; the caller holds `mutex_`.
    bool reapIfEndedLocked() const;

    const pid_t pid_;
    mutable std::mutex mutex_;
    mutable bool reaped_ = false;
};

struct SidecarProcess::Launched {
    std::shared_ptr<SidecarProcess> process;
    std::shared_ptr<PipeEnd> input;  // writes to the child's standard input (non-blocking)
    std::shared_ptr<PipeEnd> output; // reads the child's standard output
};
