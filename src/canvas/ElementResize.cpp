#include "canvas/ElementResize.h"

#include "canvas/BandContext.h"
#include "canvas/BandFrameTracker.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementGesture.h"
#include "canvas/ElementView.h"

#include <QLineF>
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
    if (!std::exchange(isResizing_, false))
        return;
    view_.resizeAnchor().dragEnded();
    view_.setResizeTranslation(QSizeF(0, 0));
    if (CrossBandDragState *ghost = view_.context()->crossBand)
        ghost->set(ghost->value().withoutGhost());
}

namespace {

QRectF frameOf(const ReportElement &e)
{
    return QRectF(e.x, e.y, e.printedWidth(), e.printedHeight());
}

} // namespace

void ElementResize::changed(QPointF location)
{
    const BandContext &context = *view_.context();
    const DocumentStore &store = *context.store;
    const double zoom = store.zoomLevel();
    const QSizeF delta = gesture::toPoints(location - start_, zoom);
    view_.resizeAnchor().dragChanged(frameOf(view_.element()), kind_);
    view_.setResizeTranslation(delta);

    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    const auto home = frames.constFind(view_.target());
    if (home == frames.cend())
        return;
    const QRectF frame = liveResizeFrame(kind_, *view_.resizeAnchor().startFrame(), delta);
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
    const double zoom = store.zoomLevel();
    const QSizeF delta = gesture::toPoints(location - start_, zoom);
    const QRectF start = view_.resizeAnchor().startFrame().value_or(frameOf(view_.element()));
    const double bandWidth = store.width(view_.target());
    const double bandHeight = store.height(view_.target());
    const BandSettings &settings = *context.settings;
    const ResizeHandleKind kind = kind_;
    store.updateElement(view_.id(), [&](ReportElement &e) {
        const QRectF frame = gesture::committedResizeFrame(kind, start, delta, QPointF(e.x, e.y),
                                                           settings, bandWidth, bandHeight);
        e.x = frame.x();
        e.y = frame.y();
        e.width = frame.width();
        e.height = frame.height();
    });
    view_.resizeAnchor().dragEnded();
    view_.setResizeTranslation(QSizeF(0, 0));
    context.crossBand->set(context.crossBand->value().withoutGhost());
}
