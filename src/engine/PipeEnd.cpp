#include "PipeEnd.h"

#include <cerrno>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr qsizetype readChunk = 64 * 1024;

[[noreturn]] void throwErrno(const char *what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

PipeEnd::~PipeEnd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

PipeEnd::Status PipeEnd::waitFor(short events, Deadline deadline, int wakeFd) const
{
    using namespace std::chrono;
    for (;;) {
        const auto left = ceil<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0)
            return Status::timedOut;
        pollfd entries[2] = {{fd_, events, 0}, {wakeFd, POLLIN, 0}};
        const int ready = ::poll(entries, wakeFd >= 0 ? 2 : 1,
                                 int(std::min<milliseconds::rep>(left.count(), 60000)));
        if (ready > 0 && entries[1].revents != 0)
            return Status::woken;
        if (ready > 0)
            return Status::done;
        if (ready < 0 && errno != EINTR)
            throwErrno("poll");
    }
}

PipeEnd::Status PipeEnd::writeAll(QByteArrayView data, Deadline deadline, int wakeFd)
{
    while (!data.isEmpty()) {
        const ssize_t written = ::write(fd_, data.data(), size_t(data.size()));
        if (written >= 0) {
            data = data.sliced(written);
            continue;
        }
        if (errno == EPIPE)
            return Status::closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            throwErrno("write");
        if (const Status waited = waitFor(POLLOUT, deadline, wakeFd); waited != Status::done)
            return waited;
    }
    return Status::done;
}

PipeEnd::Status PipeEnd::readAvailable(QByteArray &into, Deadline deadline, int wakeFd)
{
    if (const Status waited = waitFor(POLLIN, deadline, wakeFd); waited != Status::done)
        return waited;
    return readOnce(into);
}

PipeEnd::Status PipeEnd::waitReadable(Deadline deadline) const
{
    return waitFor(POLLIN, deadline, -1);
}

PipeEnd::Status PipeEnd::readWaiting(QByteArray &into)
{
    pollfd entry{fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        throwErrno("poll");
    return ready == 0 ? Status::done : readOnce(into);
}

PipeEnd::Status PipeEnd::readOnce(QByteArray &into)
{
    const qsizetype before = into.size();
    into.resize(before + readChunk);
    ssize_t got;
    do {
        got = ::read(fd_, into.data() + before, size_t(readChunk));
    } while (got < 0 && errno == EINTR);
    const int error = errno;
    into.resize(before + std::max<ssize_t>(got, 0));
    if (got < 0)
        throw std::system_error(error, std::generic_category(), "read");
    return got == 0 ? Status::closed : Status::done;
}
