#include "canvas/ElementResize.h"

#include "canvas/BandContext.h"
#include "canvas/BandFrameTracker.h"
#include "canvas/BandLimitTip.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementGesture.h"
#include "canvas/ElementView.h"

#include <QLineF>
#include <cmath>
#include <limits>
#include <utility>

ElementResize::ElementResize(ElementView &view, ResizeHandleKind kind, QPointF startLocation)
    : view_(view), kind_(kind), start_(startLocation)
{
}

void ElementResize::moved(QPointF location)
{
    if (!isResizing_ && QLineF(start_, location).length() < gesture::resizeThreshold)
        return;
    isResizing_ = true;
    changed(location);
}

void ElementResize::released(QPointF location)
{
    if (std::exchange(isResizing_, false))
        ended(location);
}

void ElementResize::cancel()
{
    tip_.tell({});
    if (!std::exchange(isResizing_, false))
        return;
    view_.resizeAnchor().dragEnded();
    view_.setResizeTranslation(QSizeF(0, 0));
    if (CrossBandDragState *ghost = view_.context()->crossBand)
        ghost->set(ghost->value().withoutGhost());
}

double ElementResize::tallest() const
{
    // An element inside a frame or list grows no band.
    const DocumentStore &store = *view_.context()->store;
    const std::optional<BandTarget> home = store.homeBandTarget(view_.id());
    return home ? store.tallestHeight(*home) : std::numeric_limits<double>::infinity();
}

QSizeF ElementResize::stoppedDelta(QPointF location, const QRectF &start)
{
    const double zoom = view_.context()->store->zoomLevel();
    const QSizeF delta = gesture::toPoints(location - start_, zoom);
    const double limit = tallest();
    const QSizeF stopped = gesture::stoppedResizeDelta(kind_, start, delta, limit);
    tip_.tell(stopped == delta
                  ? QString()
                  : bandlimit::words(*view_.context(), view_.target(), std::floor(limit) + 1));
    return stopped;
}

void ElementResize::changed(QPointF location)
{
    const BandContext &context = *view_.context();
    const DocumentStore &store = *context.store;
    const double zoom = store.zoomLevel();
    view_.resizeAnchor().dragChanged(gesture::frameOf(view_.element()), kind_);
    const QRectF start = *view_.resizeAnchor().startFrame();
    const QSizeF delta = stoppedDelta(location, start);
    view_.setResizeTranslation(delta);

    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    const auto home = frames.constFind(view_.target());
    if (home == frames.cend())
        return;
    const QRectF frame = liveResizeFrame(kind_, start, delta);
    const bool fits =
        gesture::fitsInBand(frame, store.width(view_.target()), store.height(view_.target()));
    context.crossBand->set(
        gesture::resizeChange(context.crossBand->value(), view_.id(), fits,
                              gesture::frameCenter(frame, home->topLeft(), zoom)));
}

void ElementResize::ended(QPointF location)
{
    const BandContext &context = *view_.context();
    DocumentStore &store = *context.store;
    const QRectF start =
        view_.resizeAnchor().startFrame().value_or(gesture::frameOf(view_.element()));
    const QSizeF delta = stoppedDelta(location, start);
    tip_.tell({});
    const gesture::BandRoom room{store.width(view_.target()), store.height(view_.target()),
                                 tallest()};
    const BandSettings &settings = *context.settings;
    const ResizeHandleKind kind = kind_;
    store.updateElement(view_.id(), [&](ReportElement &e) {
        const QRectF was = gesture::frameOf(e);
        const QRectF frame = gesture::committedResizeFrame(kind, start, delta, was, settings, room);
        e.x = frame.x();
        e.y = frame.y();
        // A length the resize left as it was keeps what the file says (a line's 0 among them).
        if (frame.width() != was.width())
            e.width = frame.width();
        if (frame.height() != was.height())
            e.height = frame.height();
    });
    view_.resizeAnchor().dragEnded();
    view_.setResizeTranslation(QSizeF(0, 0));
    context.crossBand->set(context.crossBand->value().withoutGhost());
}
