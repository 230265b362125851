#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>

// One end of a pipe to a child process, closed when it is destroyed. Every wait ends at a
// deadline, so a peer that stops reading or writing cannot block its caller for longer, and ends
// early (`woken`) once the descriptor `wakeFd`, when given, turns readable.
class PipeEnd {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    enum class Status { done, timedOut, closed, woken };

    explicit PipeEnd(int fd) : fd_(fd) {}
    ~PipeEnd();
    PipeEnd(const PipeEnd &) = delete;
    PipeEnd &operator=(const PipeEnd &) = delete;

    int fd() const { return fd_; }

    // Writes every byte (the descriptor must be non-blocking). `closed` when the reading end is
    // gone. Other failures throw std::system_error.
    Status writeAll(QByteArrayView data, Deadline deadline, int wakeFd = -1);
    // Appends whatever the pipe holds once at least one byte has arrived. `closed` at end of
    // file. Other failures throw std::system_error.
    Status readAvailable(QByteArray &into, Deadline deadline, int wakeFd = -1);
    // Waits until there is something to read or the pipe has ended (`done`), without reading.
    Status waitReadable(Deadline deadline) const;
    // Appends what the pipe holds right now, without waiting for more: `done` (maybe with nothing
    // read) or `closed` at end of file. Other failures throw std::system_error.
    Status readWaiting(QByteArray &into);

private:
    // Whether the descriptor is ready for `events` before the deadline and before `wakeFd`
    // turns readable.
    Status waitFor(short events, Deadline deadline, int wakeFd) const;
    // One read of what has arrived (blocking when nothing has).
    Status readOnce(QByteArray &into);

    int fd_;
};
