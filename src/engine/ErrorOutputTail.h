#pragma once

#include "PipeEnd.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// What a child process writes to its standard error: passed on to this program's standard error
// as it arrives, by a thread of its own, with the last few kilobytes kept, so that a failure can
// say what the child said before it ended. Only what it wrote since the latest request began is
// quoted: what an earlier request made it say has nothing to do with this failure.
class ErrorOutputTail {
public:
    // How much of the end of the output is kept.
    static constexpr qsizetype kept = 8 * 1024;
    // How many of the last lines `lastLines` gives at most.
    static constexpr qsizetype shownLines = 20;

    // Starts reading `from`, the reading end of the child's standard-error pipe. The thread ends
    // once every writer has closed the pipe; the tail lives as long as it or a holder does.
    static std::shared_ptr<ErrorOutputTail> follow(std::shared_ptr<PipeEnd> from);

    // A request begins: from now on only what is written after this counts. What the child wrote
    // before, even what is still in the pipe, belongs to the earlier requests; before the first,
    // to the start, which the first request keeps (a Java that cannot run the engine says why
    // before it could read any request).
    void beginRequest();

    // The last lines written since the latest request began (or since the start), once every writer
    // has closed the pipe (waiting at most `wait` for that), trimmed, without empty lines and the
    // frames of Java stack traces; empty while the pipe is still open or when nothing was written.
    QString lastLines(std::chrono::milliseconds wait) const;

    explicit ErrorOutputTail(std::shared_ptr<PipeEnd> from) : from_(std::move(from)) {}

private:
    // Passes on and keeps what the pipe holds right now; false once it has ended or cannot be
    // read. The caller holds `mutex_`, so that every byte is taken in the order written.
    bool takeWaitingLocked();
    void close();

    mutable std::mutex mutex_;
    mutable std::condition_variable closedChanged_;
    std::shared_ptr<PipeEnd> from_;
    QByteArray tail_;
    qint64 written_ = 0;      // bytes taken in all; `tail_` holds the last of them
    qint64 requestBegan_ = 0; // bytes taken before the latest request began
    bool closed_ = false;
    bool requested_ = false; // a request began
};
