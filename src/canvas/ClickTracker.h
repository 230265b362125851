#pragma once

#include <QtGlobal>
#include <optional>

// Tells a double click from two single clicks on one element or band: a click pairs with the
// last unpaired one when it comes strictly sooner than the interval after it. The pairing click
// is forgotten, so a third quick click starts a new pair.
class ClickTracker {
public:
    // A click at `nowMs` (any clock that never goes backwards); true when it completes a double
    // click.
    bool registerClick(qint64 nowMs, qint64 intervalMs)
    {
        const bool isDouble = lastClickTime_ && nowMs - *lastClickTime_ < intervalMs;
        lastClickTime_ = isDouble ? std::nullopt : std::optional<qint64>(nowMs);
        return isDouble;
    }
    const std::optional<qint64> &lastClickTime() const { return lastClickTime_; }

private:
    std::optional<qint64> lastClickTime_;
};
