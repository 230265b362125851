#include "canvas/ElementMove.h"

#include "canvas/BandContext.h"
#include "canvas/BandFrameTracker.h"
#include "canvas/BandLimitTip.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementGesture.h"
#include "canvas/ElementView.h"
#include "canvas/MultiDragState.h"
#include "workspace/BandSettings.h"

#include <QLineF>
#include <cmath>
#include <limits>
#include <utility>

ElementMove::ElementMove(ElementView &view, QPointF startLocation)
    : view_(view), start_(startLocation)
{
}

void ElementMove::moved(QPointF location)
{
    if (!isDragging_ && QLineF(start_, location).length() < gesture::dragThreshold)
        return;
    if (!std::exchange(isDragging_, true))
        begin();
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
    tip_.tell({});
    if (!std::exchange(isDragging_, false))
        return;
    view_.setDragTranslation(QSizeF(0, 0));
    const BandContext &context = *view_.context();
    if (context.multiDrag)
        context.multiDrag->reset();
    if (context.crossBand)
        context.crossBand->reset();
}

void ElementMove::begin()
{
    const BandContext &context = *view_.context();
    const DocumentStore &store = *context.store;
    const QUuid id = view_.id();
    const QSet<QUuid> &selected = store.selectedElementIDs();
    const bool carriesSelection = selected.size() > 1 && selected.contains(id);
    // Where each carried element stands, found in one walk; the bands they stand in are then
    // read once each.
    const QHash<QUuid, BandTarget> homes =
        store.homeBandTargets(carriesSelection ? selected : QSet<QUuid>{id});
    ownRoom_ = std::numeric_limits<double>::infinity();
    std::optional<BandTarget> tightest;
    double tightestHeight = 0;
    for (const BandTarget &band : QSet<BandTarget>(homes.cbegin(), homes.cend())) {
        const double tallest = store.tallestHeight(band);
        for (const ReportElement &e : store.elements(band)) {
            const auto home = homes.constFind(e.id);
            if (home == homes.cend() || !(*home == band))
                continue;
            inBands_.append(e);
            tallest_.insert(e.id, tallest);
            const double room = gesture::roomBelow(gesture::frameOf(e), tallest);
            if (room < ownRoom_) {
                ownRoom_ = room;
                tightest = band;
                tightestHeight = tallest;
            }
        }
    }
    if (tightest)
        ownWords_ = bandlimit::words(context, *tightest, std::floor(tightestHeight) + 1);
    // An element already lower than its band may grow (a file's) stays where it is.
    ownRoom_ = std::max(ownRoom_, 0.0);
}

double ElementMove::roomInto(const BandTarget &target) const
{
    const double tallest = view_.context()->store->tallestHeight(target);
    double room = std::numeric_limits<double>::infinity();
    for (const ReportElement &e : inBands_)
        room = std::min(room, gesture::roomBelow(gesture::frameOf(e), tallest));
    return room;
}

QPointF ElementMove::positionOver(QPointF location, QPointF origin, QPointF home, double zoom) const
{
    const ReportElement &e = view_.element();
    const QPointF grab = gesture::grabOffset(start_, home, zoom, QPointF(e.x, e.y));
    return gesture::bandPosition(location, origin, zoom, grab);
}

ElementMove::Carry ElementMove::carry(QPointF location) const
{
    const BandContext &context = *view_.context();
    const DocumentStore &store = *context.store;
    const double zoom = store.zoomLevel();
    const BandTarget own = view_.target();
    const std::optional<BandTarget> over = context.frameTracker->target(location);
    const auto raised = [&](double points) { return location - QPointF(0, points * zoom); };
    if (!over || *over == own) {
        const double dy = (location.y() - start_.y()) / zoom;
        return dy > ownRoom_ ? Carry{raised(dy - ownRoom_), ownWords_} : Carry{location, {}};
    }
    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    if (inBands_.isEmpty() || !frames.contains(own) || !frames.contains(*over))
        return {location, {}};
    // Into another band: one element taller than it may grow keeps them all where they are.
    if (const std::optional<double> tall = store.tallerThanBand(inBands_, *over))
        return {location, bandlimit::words(context, *over, *tall)};
    const double dy =
        positionOver(location, frames[*over].topLeft(), frames[own].topLeft(), zoom).y() -
        view_.element().y;
    const double room = roomInto(*over);
    if (dy <= room)
        return {location, {}};
    return {raised(dy - room),
            bandlimit::words(context, *over, std::floor(store.tallestHeight(*over)) + 1)};
}

void ElementMove::changed(QPointF location)
{
    const BandContext &context = *view_.context();
    DocumentStore &store = *context.store;
    const double zoom = store.zoomLevel();
    const Carry carried = carry(location);
    tip_.tell(carried.words);
    const QPointF at = carried.location;
    const QSizeF translation = gesture::toPoints(at - start_, zoom);
    view_.setDragTranslation(translation);

    const QUuid id = view_.id();
    const QSet<QUuid> &selected = store.selectedElementIDs();
    if (selected.size() > 1 && selected.contains(id))
        context.multiDrag->set(translation, id);

    gesture::DragStep step{id,
                           at,
                           context.frameTracker->target(location),
                           view_.target(),
                           QList<QUuid>(selected.cbegin(), selected.cend()),
                           std::nullopt};
    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    const auto home = frames.constFind(view_.target());
    if (home != frames.cend()) {
        const ReportElement &e = view_.element();
        const QPointF p = positionOver(at, home->topLeft(), home->topLeft(), zoom);
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
    const QPointF at = carry(location).location;
    tip_.tell({});
    const QSizeF delta = gesture::toPoints(at - start_, zoom);
    const QUuid id = view_.id();
    const BandTarget own = view_.target();
    const ReportElement element = view_.element();
    isDragging_ = false;
    view_.setDragTranslation(QSizeF(0, 0));

    const QSet<QUuid> &selected = store.selectedElementIDs();
    const bool isMulti = selected.size() > 1 && selected.contains(id);
    // A selection that holds what a hidden band holds stays where it is, and the bar says why.
    if (isMulti && store.refusesHiddenSelection()) {
        context.multiDrag->reset();
        context.crossBand->reset();
        return;
    }
    const BandFrameTracker::Frames &frames = context.frameTracker->frames();
    const std::optional<BandTarget> over = context.frameTracker->target(location);
    // A band hidden since the canvas last laid it out takes nothing: the element stays in its own.
    const bool overOther = over && !(*over == own) && frames.contains(own) &&
                           frames.contains(*over) && store.takesElements(*over);
    // Where the element lands over the other band, snapped along that band, and stopped where
    // that band may grow no further; along an axis the pointer did not travel, where it was.
    const auto landing = [&] {
        const QPointF p = positionOver(at, frames[*over].topLeft(), frames[own].topLeft(), zoom);
        const QPointF s = gesture::snappedOrigin(
            p, element.height, settings,
            {store.width(*over), store.height(*over), store.tallestHeight(*over)});
        return QPointF(delta.width() == 0 ? element.x : s.x(), s.y());
    };
    // An element moved by the pointer's travel within the own band.
    const double width = store.width(own);
    const double height = store.height(own);
    const auto moveInBand = [&](ReportElement &e) {
        const gesture::BandRoom room{width, height,
                                     tallest_.value(e.id, std::numeric_limits<double>::infinity())};
        const QPointF o = gesture::movedOrigin(gesture::frameOf(e), delta, settings, room);
        e.x = o.x();
        e.y = o.y();
    };

    switch (gesture::dropDecision(isMulti, overOther, store.isTopLevelElement(id))) {
    case gesture::Drop::selectionToBand: {
        const QPointF s = landing();
        // The group keeps its arrangement: it stops as a whole.
        const double dy = std::min(s.y() - element.y, roomInto(*over));
        store.moveSelectedElementsToNewBand(*over, s.x() - element.x, dy);
        break;
    }
    case gesture::Drop::selectionInBand:
        store.updateSelectedElements(moveInBand);
        break;
    case gesture::Drop::elementToBand: {
        if (store.refusesTallerThanBand({element}, *over))
            break;
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
