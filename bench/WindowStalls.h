#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <time.h>

namespace windowstalls {

// The longest gap, in milliseconds, between the ticks of a timer on the window's event loop
// while `work` runs, until `done` holds and `watchMs` more have passed: the longest time the
// window did not answer the user.
inline double longestStall(const std::function<void()> &work, const std::function<bool()> &done,
                           int watchMs = 0)
{
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        longest = std::max(longest, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    // The work starts from inside the event loop, as a menu command or a click starts it.
    QTimer::singleShot(2, &ticker, work);
    sinceTick.start();
    ticker.start(1);
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
    QElapsedTimer watch;
    watch.start();
    while (watch.elapsed() < watchMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
    // The wait since the last tick counts too: work that blocks ends the loop right after.
    return std::max(longest, double(sinceTick.nsecsElapsed()) / 1e6);
}

// Counts the paints of a widget, so that a benchmark knows the window has drawn it.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The processor time the calling thread (the window's) has used, in milliseconds: what it did
// itself, without the time it waited for other threads or for a busy machine to let it run.
inline double threadCpuMs()
{
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0)
        return 0;
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The median and the longest of figures.
inline double median(QList<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures.isEmpty() ? 0 : figures.at(figures.size() / 2);
}
inline double longest(const QList<double> &figures)
{
    return figures.isEmpty() ? 0 : *std::max_element(figures.cbegin(), figures.cend());
}

} // namespace windowstalls
