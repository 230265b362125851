#include "canvas/ElementMove.h"

#include "canvas/BandContext.h"
#include "canvas/BandFrameTracker.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementGesture.h"
#include "canvas/ElementView.h"
#include "canvas/MultiDragState.h"
#include "workspace/BandSettings.h"

#include <QLineF>
#include <utility>

ElementMove::ElementMove(ElementView &view, QPointF startLocation)
    : view_(view), start_(startLocation)
{
}

void ElementMove::moved(QPointF location)
{
    if (!isDragging_ && QLineF(start_, location).length() < gesture::dragThreshold)
        return;
    isDragging_ = true;
    changed(location);
}

bool ElementMove::released(QPointF location)
{
    if (!isDragging_)
        return false;
    ended(location);
    return true;
}

void ElementMove::cancel()
{
    if (!std::exchange(isDragging_, false))
        return;
    view_.setDragTranslation(QSizeF(0, 0));
    const BandContext &context = *view_.context();
    if (context.multiDrag)
        context.multiDrag->reset();
    if (context.crossBand)
        context.crossBand->reset();
}

QPointF ElementMove::positionOver(QPointF location, QPointF origin, QPointF home, double zoom) const
{
    const ReportElement &e = view_.element();
    const QPointF grab = gesture::grabOffset(start_, home, zoom, QPointF(e.x, e.y));
    return gesture::bandPosition(location, origin, zoom, grab);
}

void ElementMove::changed(QPointF location)
{
    const BandContext &context = *view_.context();
    DocumentStore &store = *context.store;
    const double zoom = store.zoomLevel();
    const QSizeF translation = gesture::toPoints(location - start_, zoom);
    view_.setDragTranslation(translation);

    const QUuid id = view_.id();
    const QSet<QUuid> &selected = store.selectedElementIDs();
    if (selected.size() > 1 && selected.contains(id))
        context.multiDrag->set(translation, id);

    gesture::DragStep step{id,
                           location,
                           context.frameTracker->target(location),
                           view_.target(),
                           QList<QUuid>(selected.cbegin(), selected.cend()),
                           std::nullopt};
    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    const auto home = frames.constFind(view_.target());
    if (home != frames.cend()) {
        const ReportElement &e = view_.element();
        const QPointF p = positionOver(location, home->topLeft(), home->topLeft(), zoom);
        step.fitsOwnBand =
            gesture::fitsInBand(QRectF(p, QSizeF(e.printedWidth(), e.printedHeight())),
                                store.width(view_.target()), store.height(view_.target()));
    }
    context.crossBand->set(gesture::dragChange(context.crossBand->value(), step));
}

void ElementMove::ended(QPointF location)
{
    const BandContext &context = *view_.context();
    DocumentStore &store = *context.store;
    const BandSettings &settings = *context.settings;
    const double zoom = store.zoomLevel();
    const QSizeF delta = gesture::toPoints(location - start_, zoom);
    const QUuid id = view_.id();
    const BandTarget own = view_.target();
    const ReportElement element = view_.element();
    isDragging_ = false;
    view_.setDragTranslation(QSizeF(0, 0));

    const QSet<QUuid> &selected = store.selectedElementIDs();
    const bool isMulti = selected.size() > 1 && selected.contains(id);
    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    const std::optional<BandTarget> over = context.frameTracker->target(location);
    const bool overOther =
        over && !(*over == own) && frames.contains(own) && frames.contains(*over);
    // Where the element lands over the other band, snapped along that band.
    const auto landing = [&] {
        const QPointF p =
            positionOver(location, frames[*over].topLeft(), frames[own].topLeft(), zoom);
        return gesture::snappedOrigin(p, settings, store.width(*over), store.height(*over));
    };
    // An element moved by the pointer's travel within the own band.
    const double width = store.width(own);
    const double height = store.height(own);
    const auto moveInBand = [&](ReportElement &e) {
        const QPointF o = gesture::movedOrigin(QPointF(e.x, e.y), delta, settings, width, height);
        e.x = o.x();
        e.y = o.y();
    };

    switch (gesture::dropDecision(isMulti, overOther, store.isTopLevelElement(id))) {
    case gesture::Drop::selectionToBand: {
        const QPointF s = landing();
        store.moveSelectedElementsToNewBand(*over, s.x() - element.x, s.y() - element.y);
        break;
    }
    case gesture::Drop::selectionInBand:
        store.updateSelectedElements(moveInBand);
        break;
    case gesture::Drop::elementToBand: {
        const QPointF s = landing();
        store.flushPendingUndoSnapshot();
        store.pushUndo(store.document());
        if (std::optional<ReportElement> removed = store.performRemoveTopLevel(id)) {
            removed->x = std::max(s.x(), 0.0);
            removed->y = std::max(s.y(), 0.0);
            store.performAddElement(*removed, *over);
            store.setSelectedElementIDs({id});
            store.setActiveBandTarget(*over);
            store.setIsDirty(true);
        }
        break;
    }
    case gesture::Drop::childStays:
        break;
    case gesture::Drop::elementInBand:
        store.updateElement(id, moveInBand);
        break;
    }
    context.multiDrag->reset();
    context.crossBand->reset();
}
