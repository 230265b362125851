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
// say what the child said before it ended.
class ErrorOutputTail {
public:
    // How much of the end of the output is kept.
    static constexpr qsizetype kept = 8 * 1024;
    // How many of the last lines `lastLines` gives at most.
    static constexpr qsizetype shownLines = 20;

    // Starts reading `from`, the reading end of the child's standard-error pipe. The thread ends
    // once every writer has closed the pipe; the tail lives as long as it or a holder does.
    static std::shared_ptr<ErrorOutputTail> follow(std::shared_ptr<PipeEnd> from);

    // The last lines written, once every writer has closed the pipe (waiting at most `wait` for
    // that), trimmed, without empty lines and the frames of Java stack traces; empty while the pipe
    // is still open or when nothing was written.
    QString lastLines(std::chrono::milliseconds wait) const;

private:
    void append(const QByteArray &bytes);
    void close();

    mutable std::mutex mutex_;
    mutable std::condition_variable closedChanged_;
    QByteArray tail_;
    bool truncated_ = false;
    bool closed_ = false;
};
