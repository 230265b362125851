#include "ErrorOutputTail.h"

#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// Passes `bytes` on to our standard error; a standard error that is gone or full loses them.
void passOn(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(STDERR_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

} // namespace

std::shared_ptr<ErrorOutputTail> ErrorOutputTail::follow(std::shared_ptr<PipeEnd> from)
{
    auto tail = std::make_shared<ErrorOutputTail>(std::move(from));
    std::thread([tail] {
        for (;;) {
            PipeEnd::Status status = PipeEnd::Status::closed;
            try {
                status = tail->from_->waitReadable(std::chrono::steady_clock::now() +
                                                   std::chrono::hours(1));
            } catch (const std::system_error &) {
                // An unreadable pipe ends the following like its end would.
            }
            if (status == PipeEnd::Status::timedOut)
                continue;
            std::lock_guard lock(tail->mutex_);
            if (status == PipeEnd::Status::closed || !tail->takeWaitingLocked())
                break;
        }
        tail->close();
    }).detach();
    return tail;
}

bool ErrorOutputTail::takeWaitingLocked()
{
    for (;;) {
        QByteArray chunk;
        PipeEnd::Status status = PipeEnd::Status::closed;
        try {
            status = from_->readWaiting(chunk);
        } catch (const std::system_error &) {
        }
        if (chunk.isEmpty())
            return status != PipeEnd::Status::closed;
        passOn(chunk);
        written_ += chunk.size();
        tail_.append(chunk);
        if (tail_.size() > kept)
            tail_.remove(0, tail_.size() - kept);
    }
}

void ErrorOutputTail::beginRequest()
{
    std::lock_guard lock(mutex_);
    if (!closed_)
        takeWaitingLocked();
    if (std::exchange(requested_, true))
        requestBegan_ = written_;
}

void ErrorOutputTail::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        from_.reset();
    }
    closedChanged_.notify_all();
}

QString ErrorOutputTail::lastLines(std::chrono::milliseconds wait) const
{
    std::unique_lock lock(mutex_);
    if (!closedChanged_.wait_for(lock, wait, [this] { return closed_; }))
        return {};
    const qint64 tailBegins = written_ - tail_.size();
    QStringList lines =
        QString::fromUtf8(tail_.sliced(std::max(requestBegan_, tailBegins) - tailBegins))
            .split(u'\n');
    if (requestBegan_ < tailBegins)
        lines.removeFirst(); // the rest of a line whose beginning was let go
    // The frames of a Java stack trace say little to a user; its exception and cause lines stay.
    static const QRegularExpression frame(QStringLiteral("^(at \\S|\\.\\.\\. \\d+ more$)"));
    QStringList shown;
    for (auto line = lines.crbegin(); line != lines.crend() && shown.size() < shownLines; ++line) {
        const QString trimmed = line->trimmed();
        if (!trimmed.isEmpty() && !frame.match(trimmed).hasMatch())
            shown.prepend(trimmed);
    }
    return shown.join(u'\n');
}
