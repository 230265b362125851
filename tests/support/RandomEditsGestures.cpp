// The drags and resizes RandomEdits makes with the pointer, through the gesture code of the
// canvas: the element views of a page laid out as the canvas lays it out, moved and resized by
// ElementMove and ElementResize from a press to a release, with pointer travel within the band,
// onto other bands, just below the band and past every edge of the page.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "canvas/BandFrameTracker.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasScene.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementMove.h"
#include "canvas/ElementResize.h"
#include "canvas/ElementView.h"
#include "canvas/MultiDragState.h"
#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"
#include "model/PageLayout.h"
#include "workspace/AppSettings.h"

#include <QTransform>

using namespace Qt::StringLiterals;
using namespace randomedits;

namespace {

// The report's page as the canvas shows it: its scene of bands and element views with the
// canvas's shared gesture state, and the band frames in the coordinates of the canvas view
// (zoomed, and offset by the padding around the page), published anew after every layout as the
// view publishes them.
class CanvasPage {
public:
    CanvasPage(DocumentStore &store, const BandSettings &settings)
    {
        const double zoom = store.zoomLevel();
        toView_ = QTransform(zoom, 0, 0, zoom, canvas::scrollPadding, canvas::scrollPadding);
        scene_.setSettings(&settings);
        scene_.setDragStates(&frames_, &multiDrag_, &crossBand_);
        QObject::connect(&scene_, &CanvasScene::layoutChanged, &scene_, [this] { publish(); });
        scene_.setStore(&store);
        publish();
    }

    // The view of an element on the page, at any depth.
    ElementView *view(const Placed &placed) const
    {
        const BandItem *band = scene_.bandItem(placed.band);
        return band ? find(band->elementItems(), placed.element.id) : nullptr;
    }
    // A point of an element view's box, where the pointer is.
    QPointF location(const ElementView &view, QPointF local) const
    {
        return toView_.map(view.mapToScene(local));
    }
    // The frames of the bands in the order of the page, top to bottom.
    QList<std::pair<BandTarget, QRectF>> bands() const
    {
        QList<std::pair<BandTarget, QRectF>> bands;
        for (const BandTarget &target : scene_.targets())
            bands.append({target, frames_.frames().value(target)});
        return bands;
    }
    // The whole sheet where the pointer is.
    QRectF sheet() const
    {
        const canvas::PageGeometry &page = scene_.page();
        return toView_.mapRect(QRectF(0, 0, page.pageWidth, page.pageHeight));
    }

private:
    static ElementView *find(const ElementView::Items &items, const QUuid &id)
    {
        if (ElementView *view = items.value(id))
            return view;
        for (const ElementView *view : items) {
            if (ElementView *child = find(view->children(), id))
                return child;
        }
        return nullptr;
    }
    void publish()
    {
        BandFrameTracker::Frames frames;
        for (const BandTarget &target : scene_.targets())
            frames.insert(target, toView_.mapRect(scene_.bodySceneRect(target)));
        frames_.setFrames(frames);
    }

    QTransform toView_;
    BandFrameTracker frames_;
    MultiDragState multiDrag_;
    CrossBandDragState crossBand_;
    CanvasScene scene_;
};

QString pointText(QPointF point)
{
    return QString::number(point.x()) + u", "_s + QString::number(point.y());
}

} // namespace

std::optional<QPointF> RandomEdits::pointerTravel(const QRectF &ownBand,
                                                  const QList<QRectF> &otherBands,
                                                  const QRectF &sheet, QPointF start,
                                                  QString &where)
{
    const auto within = [&](double from, double to) {
        return from + (to - from) * std::uniform_real_distribution<double>(0, 1)(random_);
    };
    switch (pick(7)) {
    case 0:
        where = u"a little way"_s;
        return start + QPointF(within(-40, 40), within(-30, 30));
    case 1: {
        if (otherBands.isEmpty())
            return std::nullopt;
        const QRectF band = otherBands.at(pick(int(otherBands.size())));
        where = u"onto another band"_s;
        return QPointF(within(band.left(), band.right()), within(band.top(), band.bottom()));
    }
    case 2:
        where = u"just below its band"_s;
        return QPointF(start.x() + within(-20, 20), ownBand.bottom() + within(2, 120));
    case 3:
        where = u"past the bottom of the page"_s;
        return QPointF(within(sheet.left(), sheet.right()), sheet.bottom() + within(10, 600));
    case 4:
        where = u"past the right edge of the page"_s;
        return QPointF(sheet.right() + within(10, 400), start.y() + within(-40, 40));
    case 5:
        where = u"past the top left of the page"_s;
        return QPointF(sheet.left() - within(0, 200), sheet.top() - within(0, 200));
    default:
        where = u"far down its band"_s;
        return QPointF(start.x() + within(-100, 100), start.y() + within(20, 400));
    }
}

QString RandomEdits::dragElement()
{
    const QList<Placed> elements = placedElements(store_.document());
    // A click on the element, and now and then shift-clicks on others of its band: the drag
    // carries the whole selection.
    const std::optional<Placed> clicked = clickOn(elements);
    if (!clicked)
        return u"drag: no element"_s;
    const Placed &picked = *clicked;
    QString what = u"drag "_s + whereOf(picked);
    if (chance(0.3)) {
        for (int more = 1 + pick(2); more > 0; --more) {
            const Placed &other = elements.at(pick(int(elements.size())));
            if (!(other.band == picked.band) || other.element.id == picked.element.id)
                continue;
            store_.toggleSelection(other.element.id, other.band);
            what += u" with "_s + placeOf(other.element);
        }
    }
    const CanvasPage page(store_, *appSettings_);
    ElementView *view = page.view(picked);
    if (!view)
        return what + u": not on the page"_s;
    QRectF own;
    QList<QRectF> others;
    for (const auto &[target, frame] : page.bands())
        (target == picked.band ? own : others.emplace_back()) = frame;
    const QRectF box = view->box();
    const QPointF grab(box.width() * (pick(100) / 100.0), box.height() * (pick(100) / 100.0));
    const QPointF start = page.location(*view, grab);
    QString where;
    const std::optional<QPointF> end = pointerTravel(own, others, page.sheet(), start, where);
    if (!end)
        return what + u": nowhere to go"_s;
    ElementMove move(*view, start);
    const int steps = 1 + pick(4);
    for (int step = 1; step <= steps; ++step)
        move.moved(start + (*end - start) * step / steps);
    move.released(*end);
    return what + u" from "_s + pointText(start) + u" to "_s + pointText(*end) + u' ' + where;
}

QString RandomEdits::resizeElement()
{
    // Handles show on the one selected element.
    const std::optional<Placed> clicked = clickOn(placedElements(store_.document()));
    if (!clicked)
        return u"resize: no element"_s;
    const Placed &picked = *clicked;
    const CanvasPage page(store_, *appSettings_);
    ElementView *view = page.view(picked);
    const QString what = u"resize "_s + whereOf(picked);
    if (!view)
        return what + u": not on the page"_s;
    const ResizeHandleKind kind = allResizeHandleKinds().at(pick(4));
    const QRectF box = view->box();
    const QPointF corner(movesLeftEdge(kind) ? box.left() : box.right(),
                         movesTopEdge(kind) ? box.top() : box.bottom());
    const QPointF start = page.location(*view, corner);
    QRectF own;
    QList<QRectF> all;
    for (const auto &[target, frame] : page.bands())
        all.append(target == picked.band ? (own = frame) : frame);
    QString where;
    const std::optional<QPointF> end = pointerTravel(own, all, page.sheet(), start, where);
    if (!end)
        return what + u": nowhere to go"_s;
    ElementResize resize(*view, kind, start);
    const int steps = 1 + pick(3);
    for (int step = 1; step <= steps; ++step)
        resize.moved(start + (*end - start) * step / steps);
    resize.released(*end);
    return what + u" by handle "_s + QString::number(int(kind)) + u" from "_s + pointText(start) +
           u" to "_s + pointText(*end) + u' ' + where;
}

QString RandomEdits::dragStraight()
{
    const std::optional<Placed> clicked = clickOn(placedElements(store_.document()));
    if (!clicked)
        return u"straight drag: no element"_s;
    const Placed &picked = *clicked;
    const CanvasPage page(store_, *appSettings_);
    ElementView *view = page.view(picked);
    const QString what = u"straight drag "_s + whereOf(picked);
    if (!view)
        return what + u": not on the page"_s;
    const std::optional<ReportElement> holder = store_.containerOf(picked.element.id);
    const std::optional<ContainerRoom::Room> room =
        holder ? ContainerRoom::of(*holder) : std::nullopt;
    ReportElement probe = picked.element;
    const bool standsRightly =
        room ? !ContainerRoom::fitInto(probe, *room)
             : !picked.topLevel ||
                   (probe.x >= 0 && probe.y >= 0 &&
                    PageLayout::asWritten(probe.y) + PageLayout::asWritten(probe.printedHeight()) <=
                        store_.tallestHeight(picked.band));
    // Along one axis only, the other left exactly where the press was; now and then far enough
    // to leave the band.
    const bool across = chance(0.5);
    const double travel = (chance(0.5) ? 1 : -1) * (3 + pick(chance(0.2) ? 400 : 60));
    const QPointF start = page.location(*view, view->box().center());
    const QPointF end = start + (across ? QPointF(travel, 0) : QPointF(0, travel));
    ElementMove move(*view, start);
    const int steps = 1 + pick(3);
    for (int step = 1; step <= steps; ++step)
        move.moved(start + (end - start) * step / steps);
    move.released(end);
    const QString described =
        what + (across ? u" across by "_s : u" down by "_s) + QString::number(travel);
    // An element that stood where it may not (past its container's room, above or left of its
    // band, lower than its band may grow) is put where it may by any move: only one that stood
    // rightly keeps it.
    if (!standsRightly)
        return described + u", from where it may not stand"_s;
    const std::optional<ReportElement> after = store_.element(picked.element.id);
    if (after && (across ? after->y != picked.element.y : after->x != picked.element.x))
        lapses_.append(described + u": it now stands at "_s + QString::number(after->x) + u", "_s +
                       QString::number(after->y));
    return described;
}
