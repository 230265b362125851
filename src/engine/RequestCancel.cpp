#include "RequestCancel.h"

#include <fcntl.h>
#include <unistd.h>

RequestCancel::RequestCancel()
{
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0)
        fds_[0] = fds_[1] = -1;
}

RequestCancel::~RequestCancel()
{
    for (const int fd : fds_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void RequestCancel::cancel()
{
    if (cancelled_.exchange(true) || fds_[1] < 0)
        return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(fds_[1], &byte, 1);
}
