#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>

// One end of a pipe to a child process, closed when it is destroyed. Every wait ends at a
// deadline, so a peer that stops reading or writing cannot block its caller for longer.
class PipeEnd {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    enum class Status { done, timedOut, closed };

    explicit PipeEnd(int fd) : fd_(fd) {}
    ~PipeEnd();
    PipeEnd(const PipeEnd &) = delete;
    PipeEnd &operator=(const PipeEnd &) = delete;

    int fd() const { return fd_; }

    // Writes every byte (the descriptor must be non-blocking). `closed` when the reading end is
    // gone. Other failures throw std::system_error.
    Status writeAll(QByteArrayView data, Deadline deadline);
    // Appends whatever the pipe holds once at least one byte has arrived. `closed` at end of
    // file. Other failures throw std::system_error.
    Status readAvailable(QByteArray &into, Deadline deadline);

private:
    // True when the descriptor is ready for `events` before the deadline.
    bool waitFor(short events, Deadline deadline) const;

    int fd_;
};
