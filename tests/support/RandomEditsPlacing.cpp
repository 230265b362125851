// The edits RandomEdits makes where the designer must place with care: the palette and the
// clipboard into a frame whose padding fills its width and into a band the page holds no higher,
// and drops, duplicates and pastes near a band's right edge. What the saved report cannot show
// (a child 0 wide, a refusal without a word, an element left past the edge) is noted as a lapse.
// And a band shown or hidden before what is put where the active band is, between which the run
// undoes and redoes.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "canvas/BandDrop.h"
#include "canvas/BandDropHandler.h"
#include "canvas/ElementMenuItems.h"
#include "canvas/PaletteActions.h"
#include "canvas/SnippetLibrary.h"
#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"
#include "edits/DataItemEdits.h"
#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "inspector/BoxSides.h"
#include "model/PageLayout.h"
#include "model/RawEnum.h"
#include "setup/PageSetupEdits.h"
#include "workspace/AppSettings.h"

using namespace Qt::StringLiterals;
using namespace randomedits;
using PageLayout::asWritten;

namespace {

QSet<QUuid> idsOf(const ReportDocument &document)
{
    QSet<QUuid> ids;
    for (const Placed &placed : placedElements(document))
        ids.insert(placed.element.id);
    return ids;
}

// The elements of the report now that were not in it before.
QList<Placed> added(const ReportDocument &document, const QSet<QUuid> &before)
{
    QList<Placed> fresh;
    for (const Placed &placed : placedElements(document)) {
        if (!before.contains(placed.element.id))
            fresh.append(placed);
    }
    return fresh;
}

// The lapses of an insert: an element it added that prints nothing, its `side` under a point
// (`named` so), or nothing added and nothing said why.
void noteInsert(QStringList &lapses, const QString &what, const QList<Placed> &fresh,
                const Refusals &refusals, double (ReportElement::*side)() const,
                const QString &named)
{
    for (const Placed &placed : fresh) {
        if (asWritten((placed.element.*side)()) < 1)
            lapses.append(what + u": "_s + placeOf(placed.element) + u" landed "_s +
                          QString::number((placed.element.*side)()) + u' ' + named);
    }
    if (fresh.isEmpty() && !refusals.said())
        lapses.append(what + u": nothing was added, and nothing said why"_s);
}

// A palette kind at random, but the subreport, which writes a file of its own first.
PaletteActions::Kind paletteKind(int index)
{
    QList<PaletteActions::Kind> kinds(std::begin(PaletteActions::allKinds),
                                      std::end(PaletteActions::allKinds));
    kinds.removeAll(PaletteActions::Kind::subreport);
    return kinds.at(index % kinds.size());
}

} // namespace

QString RandomEdits::insertIntoTightRoom()
{
    return chance(0.5) ? insertIntoPaddedFrame() : insertIntoFullBand();
}

QString RandomEdits::insertIntoPaddedFrame()
{
    QList<Placed> frames = placedElements(store_.document());
    frames.removeIf([](const Placed &p) { return !p.element.kind.is<ElementKind::Frame>(); });
    QList<Placed> full = frames;
    full.removeIf([](const Placed &p) { return ContainerRoom::leavesRoom(p.element); });
    // Padding that grows widens a frame that holds something: an empty one is padded.
    QList<Placed> empty = frames;
    empty.removeIf([](const Placed &p) { return !p.element.kind.children()->isEmpty(); });
    if (full.isEmpty() || chance(0.1)) {
        // A step towards one: the palette's frame (200 wide) into a band, a frame's width typed
        // narrower, or its padding stepped to the card's most on both sides, which fills a frame
        // up to twice that wide.
        if (empty.isEmpty() || chance(0.1)) {
            const QList<BandTarget> targets = targetsOf(store_.document());
            if (targets.isEmpty())
                return u"padded frame: no band"_s;
            store_.setActiveBandTarget(targets.at(pick(int(targets.size()))));
            PaletteActions::insert(PaletteActions::Kind::frame, store_, *appSettings_);
            return u"palette frame into "_s + store_.activeBandTarget().id();
        }
        const Placed frame = *clickOn(empty);
        const ElementWriter writer(&store_, frame.element);
        if (chance(0.3)) {
            const double width = 50 + pick(151);
            const LengthVerdict verdict = LengthLimits::elementLength(
                store_, frame.element.id, LengthLimits::ElementLength::width, width,
                MeasurementUnit::pixels);
            if (verdict.points)
                writer.update([&](ReportElement &e) { e.width = *verdict.points; });
            return u"frame card of "_s + whereOf(frame) + u": Width "_s + QString::number(width);
        }
        writer.update([](ReportElement &e) {
            BoxSides::setPadding(e, {BoxSide::left, BoxSide::right}, BoxSides::paddingMaximum);
        });
        return u"padding of "_s + whereOf(frame) + u": left and right to the most"_s;
    }
    // Into a frame that leaves no room: a palette kind, the clipboard, or a duplicate of what
    // it holds.
    const Placed frame = *clickOn(full);
    QString what = u"into "_s + whereOf(frame) + u", its padding "_s +
                   QString::number(frame.element.paddingLeft) + u" and "_s +
                   QString::number(frame.element.paddingRight) + u" of "_s +
                   QString::number(frame.element.width) + u": "_s;
    const QSet<QUuid> before = idsOf(store_.document());
    const Refusals refusals(store_);
    const ElementList *children = frame.element.kind.children();
    const int how = pick(3);
    if (how == 0 && !store_.clipboard()->elements().isEmpty()) {
        store_.pasteClipboard();
        what += u"paste"_s;
    } else if (how == 2 && children && !children->isEmpty()) {
        store_.setSelectedElementIDs({children->at(pick(int(children->size()))).id});
        store_.duplicateSelectedElement();
        what += u"duplicate what it holds"_s;
    } else {
        const PaletteActions::Kind kind = paletteKind(pick(100));
        PaletteActions::insert(kind, store_, *appSettings_);
        what += u"palette insert "_s + QString::number(int(kind));
    }
    noteInsert(lapses_, what, added(store_.document(), before), refusals,
               &ReportElement::printedWidth, u"wide"_s);
    return what;
}

QString RandomEdits::insertIntoFullBand()
{
    const QList<BandTarget> targets = targetsOf(store_.document());
    if (targets.isEmpty())
        return u"full band: no band"_s;
    QList<BandTarget> full = targets;
    full.removeIf([&](const BandTarget &target) {
        return store_.tallestHeight(target) > store_.height(target);
    });
    if (full.isEmpty() || chance(0.2)) {
        // A step towards one: a band's Height field typed 0 (it stops at what the band holds),
        // or Page Setup's height as low as it takes.
        const BandTarget target = targets.at(pick(int(targets.size())));
        if (chance(0.5)) {
            store_.setActiveBandTarget(target);
            const LengthVerdict verdict =
                LengthLimits::bandHeight(store_, target, 0, MeasurementUnit::pixels);
            if (verdict.points)
                InspectorEdits::setBandHeight(store_, target, *verdict.points);
            return u"band height of "_s + target.id() + u" typed 0"_s;
        }
        const double least = PageLayout::neededPageHeight(store_.document());
        const LengthVerdict page = LengthLimits::pageLength(
            store_.document(), &ReportDocument::pageHeight, least, MeasurementUnit::pixels);
        if (!page.points)
            return u"page height "_s + QString::number(least) + u" refused: "_s + page.message;
        PageSetupEdits::setLength(store_, &ReportDocument::pageHeight, *page.points);
        return u"page height "_s + QString::number(*page.points);
    }
    // The palette into a band the page holds no higher: a list more often, the issue's own.
    const BandTarget target = full.at(pick(int(full.size())));
    store_.setActiveBandTarget(target);
    const QSet<QUuid> before = idsOf(store_.document());
    const Refusals refusals(store_);
    const PaletteActions::Kind kind =
        chance(0.4) ? PaletteActions::Kind::list : paletteKind(pick(100));
    PaletteActions::insert(kind, store_, *appSettings_);
    const QString what = u"palette insert "_s + QString::number(int(kind)) + u" into "_s +
                         target.id() + u", "_s + QString::number(store_.height(target)) +
                         u" high, which may grow no further"_s;
    noteInsert(lapses_, what, added(store_.document(), before), refusals,
               &ReportElement::printedHeight, u"high"_s);
    return what;
}

QString RandomEdits::placeNearRightEdge()
{
    const QList<BandTarget> targets = targetsOf(store_.document());
    if (targets.isEmpty())
        return u"near the right edge: no band"_s;
    BandTarget target = targets.at(pick(int(targets.size())));
    double width = store_.width(target);
    const QSet<QUuid> before = idsOf(store_.document());
    QString what;
    switch (pick(3)) {
    case 0: {
        // A field or parameter dragged from the outline onto the band's right part.
        const ReportDocument &d = store_.document();
        const bool field = !d.fields.isEmpty() && (d.parameters.isEmpty() || chance(0.5));
        if (!field && d.parameters.isEmpty())
            return u"drop near the right edge: no field or parameter"_s;
        const QString text =
            field ? u"field:"_s + d.fields.at(pick(int(d.fields.size()))).name
                  : u"param:"_s + d.parameters.at(pick(int(d.parameters.size()))).name;
        const QPointF point(std::max(0.0, width - pick(120)),
                            pickWithin(std::max(store_.height(target), 1.0)));
        applyBandDrop(store_, *appSettings_, target, BandDrop::parse(text), point);
        what = u"drop "_s + text + u" on "_s + target.id() + u" at "_s + QString::number(point.x());
        break;
    }
    case 1: {
        // An element at its band's right edge duplicated; where there is none, one moved there
        // by the Frame card's X.
        QList<BandTarget> holding = targets;
        holding.removeIf([&](const BandTarget &t) { return store_.elements(t).isEmpty(); });
        if (holding.isEmpty())
            return u"duplicate near the right edge: no element in a band"_s;
        target = holding.at(pick(int(holding.size())));
        width = store_.width(target);
        QList<ReportElement> elements(store_.elements(target));
        QList<ReportElement> atEdge = elements;
        atEdge.removeIf([&](const ReportElement &e) { return e.x + e.width < width - 12; });
        if (atEdge.isEmpty() || chance(0.2)) {
            const ReportElement picked = elements.at(pick(int(elements.size())));
            store_.setActiveBandTarget(target);
            store_.setSelectedElementIDs({picked.id});
            const double x = std::max(0.0, width - picked.width - pick(12));
            const LengthVerdict verdict = LengthLimits::elementLength(
                store_, picked.id, LengthLimits::ElementLength::x, x, MeasurementUnit::pixels);
            if (verdict.points)
                ElementWriter(&store_, picked).update([&](ReportElement &e) {
                    e.x = *verdict.points;
                });
            return u"frame card of "_s + placeOf(picked) + u" in "_s + target.id() + u": X "_s +
                   QString::number(x);
        }
        const ReportElement picked = atEdge.at(pick(int(atEdge.size())));
        store_.setActiveBandTarget(target);
        ElementMenuItem item;
        item.action = ElementMenuItem::Action::duplicate;
        ElementMenuItems::perform(store_, item, {picked.id});
        what = u"duplicate "_s + placeOf(picked) + u", "_s + QString::number(picked.width) +
               u" wide, in "_s + target.id();
        break;
    }
    default: {
        // Whatever the clipboard holds, or an element copied from anywhere, into the band.
        const QList<Placed> elements = placedElements(store_.document());
        if (!elements.isEmpty() && (store_.clipboard()->elements().isEmpty() || chance(0.5))) {
            const Placed &copied = elements.at(pick(int(elements.size())));
            ElementMenuItem item;
            item.action = ElementMenuItem::Action::copy;
            ElementMenuItems::perform(store_, item, {copied.element.id});
            what = u"copy "_s + whereOf(copied) + u", "_s;
        }
        store_.setActiveBandTarget(target);
        store_.setSelectedElementIDs({});
        store_.pasteClipboard();
        what += u"paste into "_s + target.id();
        break;
    }
    }
    QSet<QUuid> fresh;
    for (const Placed &placed : added(store_.document(), before))
        fresh.insert(placed.element.id);
    expectWithinBands(fresh, what);
    return what;
}

void RandomEdits::expectWithinBands(const QSet<QUuid> &ids, const QString &what)
{
    for (const Placed &placed : placedElements(store_.document())) {
        if (!placed.topLevel || !ids.contains(placed.element.id))
            continue;
        const ReportElement &e = placed.element;
        const double band = asWritten(store_.width(placed.band));
        if (asWritten(e.x) > 0 && asWritten(e.x) + asWritten(e.printedWidth()) > band)
            lapses_.append(what + u": "_s + whereOf(placed) + u", "_s + QString::number(e.width) +
                           u" wide, ends past the band's "_s + QString::number(band));
    }
}

QString RandomEdits::showOrHideBand()
{
    startGesture();
    static const BandType types[] = {
        BandType::background,     BandType::title,        BandType::pageHeader,
        BandType::columnHeader,   BandType::columnFooter, BandType::pageFooter,
        BandType::lastPageFooter, BandType::summary,      BandType::noData};
    const BandType type = types[pick(9)];
    toggledBand_ = BandTarget::standard(type);
    if (isWritten(store_.document(), toggledBand_)) {
        // A click into the band on the canvas, then its Hide Band.
        store_.setActiveBandTarget(toggledBand_);
        store_.setBandPresent(type, false);
        return u"click into "_s + toggledBand_.id() + u", hide it"_s;
    }
    // The outline's Show Band, then a click into the band on the canvas, which shows it now.
    store_.setBandPresent(type, true);
    if (!isWritten(store_.document(), toggledBand_))
        return u"show "_s + toggledBand_.id() + u": still hidden"_s;
    store_.setActiveBandTarget(toggledBand_);
    return u"show "_s + toggledBand_.id() + u", click into it"_s;
}

QString RandomEdits::insertAfterBandsChanged()
{
    startGesture();
    const ReportDocument &d = store_.document();
    QString what = u"after "_s + toggledBand_.id() + u" was shown or hidden and that undone: "_s;
    if (!isWritten(d, store_.activeBandTarget()))
        lapses_.append(what + u"the active band, "_s + store_.activeBandTarget().id() +
                       u", is one a save leaves out"_s);
    // What the clipboard and the snippets offer, copied or saved from an element at random.
    const QList<Placed> elements = placedElements(d);
    const int how = pick(7);
    if (!elements.isEmpty() && (how == 1 || how == 2)) {
        const Placed &source = elements.at(pick(int(elements.size())));
        store_.setSelectedElementIDs({source.element.id});
        if (how == 1 && (store_.clipboard()->elements().isEmpty() || chance(0.5)))
            store_.copySelectedElements();
        if (how == 2 && (snippets_->snippets().isEmpty() || chance(0.5)))
            PaletteActions::saveSelectionAsSnippet(store_, *snippets_, u"Saved"_s);
        store_.setSelectedElementIDs({});
    }
    // A view that still holds the band names it: the canvas's band menu, an import sheet.
    if (chance(0.3)) {
        store_.setActiveBandTarget(toggledBand_);
        what += u"the band's menu, "_s;
    }
    // An element of a hidden band, a frame or list there more often, selected in the outline.
    QList<Placed> hidden = placedElements(store_.document());
    hidden.removeIf([&](const Placed &p) { return isWritten(store_.document(), p.band); });
    QList<Placed> containers = hidden;
    containers.removeIf([](const Placed &p) { return !p.element.kind.children(); });
    std::optional<QUuid> selected;
    if (!hidden.isEmpty() && chance(0.5)) {
        const Placed &picked = !containers.isEmpty() && chance(0.6)
                                   ? containers.at(pick(int(containers.size())))
                                   : hidden.at(pick(int(hidden.size())));
        selected = picked.element.id;
        store_.setSelectedElementIDs({*selected});
        what += whereOf(picked) + u" selected in the outline, "_s;
    }
    const QSet<QUuid> before = idsOf(store_.document());
    const Refusals refusals(store_);
    bool adds = true;
    switch (how) {
    case 0: {
        const PaletteActions::Kind kind = paletteKind(pick(100));
        PaletteActions::insert(kind, store_, *appSettings_);
        what += u"palette insert "_s + QString::number(int(kind));
        break;
    }
    case 1:
        adds = !store_.clipboard()->elements().isEmpty();
        store_.pasteClipboard();
        what += u"paste"_s;
        break;
    case 2: {
        adds = !snippets_->snippets().isEmpty();
        if (!adds)
            break;
        const Snippet snippet = snippets_->snippets().at(pick(int(snippets_->snippets().size())));
        PaletteActions::insertSnippet(store_, *snippets_, snippet);
        what += u"insert snippet "_s + snippet.xml.left(60);
        break;
    }
    case 3: {
        // Each of one field: Page X of Y's two would be two undo steps.
        static const CompositeElement composites[] = {
            CompositeElement::pageNumber, CompositeElement::totalPages,
            CompositeElement::currentDate, CompositeElement::time};
        const CompositeElement composite = composites[pick(4)];
        store_.insertComposite(composite, store_.activeBandTarget());
        what += u"composite "_s + rawValue(composite);
        break;
    }
    case 4: {
        adds = !d.fields.isEmpty();
        if (!adds)
            break;
        const ReportField field = d.fields.at(pick(int(d.fields.size())));
        if (DataItemEdits::insertTextField(store_, field.id, *appSettings_) &&
            store_.selectedElementID())
            fieldsCardInserts_.insert(*store_.selectedElementID());
        what += describe(u"fields card insert of"_s, field.name);
        break;
    }
    case 5: {
        // A picture dropped on the band before the undo, its import answered after it.
        const QPointF origin(pick(200), pick(20));
        droppedImageCompletion(&store_, toggledBand_, origin)(u"\"logo.png\""_s);
        what += u"picture dropped on "_s + toggledBand_.id() + u" imported"_s;
        break;
    }
    default: {
        const std::optional<QUuid> original =
            selected ? selected
            : elements.isEmpty()
                ? std::nullopt
                : std::optional<QUuid>(elements.at(pick(int(elements.size()))).element.id);
        adds = original.has_value();
        if (!adds)
            break;
        ElementMenuItem item;
        item.action = ElementMenuItem::Action::duplicate;
        ElementMenuItems::perform(store_, item, {*original});
        what += u"duplicate"_s;
        break;
    }
    }
    if (adds && added(store_.document(), before).isEmpty() && !refusals.said())
        lapses_.append(what + u": nothing was added, and nothing said why"_s);
    return what;
}
