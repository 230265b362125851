#include "canvas/ScrollAwareRuler.h"

#include "canvas/ScrollOffsetTracker.h"

ScrollAwareRuler::ScrollAwareRuler(Qt::Orientation orientation, ScrollOffsetTracker *scrollTracker,
                                   std::function<void(double)> onToggleGuide, QWidget *parent)
    : RulerView(orientation, std::move(onToggleGuide), parent), scrollTracker_(scrollTracker)
{
    connect(scrollTracker, &ScrollOffsetTracker::offsetChanged, this,
            &ScrollAwareRuler::followOffset);
    followOffset();
}

void ScrollAwareRuler::followOffset()
{
    const QPointF offset = scrollTracker_->offset();
    setScrollOffset(orientation() == Qt::Horizontal ? offset.x() : offset.y());
}
