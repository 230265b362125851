#pragma once

#include <QDateTime>

// The time of day and the double-click interval, as the program's views need them.
class AppClock {
public:
    virtual ~AppClock() = default;
    virtual QDateTime now() const = 0;
    virtual int doubleClickIntervalMs() const = 0;
};

// The system's clock and the platform's double-click interval.
class SystemClock : public AppClock {
public:
    QDateTime now() const override;
    int doubleClickIntervalMs() const override;
};

// For tests: stands still until moved.
class FixedClock : public AppClock {
public:
    explicit FixedClock(const QDateTime &time, int doubleClickMs = 500)
        : time_(time), doubleClickMs_(doubleClickMs)
    {
    }

    QDateTime now() const override { return time_; }
    int doubleClickIntervalMs() const override { return doubleClickMs_; }
    void advanceMs(qint64 ms) { time_ = time_.addMSecs(ms); }

private:
    QDateTime time_;
    int doubleClickMs_;
};
