#pragma once

#include <atomic>

// Calls off engine requests from another thread (see SidecarClient::cancel): once cancelled it
// stays so, and its descriptor turns readable, which wakes a request waiting on the engine.
class RequestCancel {
public:
    RequestCancel();
    ~RequestCancel();
    RequestCancel(const RequestCancel &) = delete;
    RequestCancel &operator=(const RequestCancel &) = delete;

    bool isCancelled() const { return cancelled_.load(); }
    // Readable once cancelled; -1 when no pipe could be made (then only the flag tells).
    int wakeFd() const { return fds_[0]; }

private:
    friend class SidecarClient;
    // Marks it cancelled and wakes whoever waits on it.
    void cancel();

    int fds_[2] = {-1, -1};
    std::atomic<bool> cancelled_{false};
};
