#include "canvas/BandFrameTracker.h"

void BandFrameTracker::setFrames(const Frames &frames)
{
    if (frames_ == frames)
        return;
    frames_ = frames;
    emit framesChanged();
}

std::optional<BandTarget> BandFrameTracker::target(QPointF point) const
{
    for (auto it = frames_.cbegin(); it != frames_.cend(); ++it) {
        const QRectF &r = it.value();
        if (r.left() <= point.x() && point.x() < r.right() && r.top() <= point.y() &&
            point.y() < r.bottom())
            return it.key();
    }
    return std::nullopt;
}
