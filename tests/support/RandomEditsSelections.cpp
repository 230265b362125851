// The edits RandomEdits makes on many selected elements at once, as Select All, a rubber band or
// the outline leave them: a duplicate, one move or resize of them all, a move into another band,
// a delete. Each is made once more element by element, in the order the report holds the
// elements, on a store of its own: the one step must leave the report those edits leave. A
// difference is noted as a lapse.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"

using namespace Qt::StringLiterals;
using namespace randomedits;
using PageLayout::asWritten;

namespace {

// The ids of `selected` in the order element(id:) meets them.
QList<QUuid> inReportOrder(const DocumentStore &store, const QSet<QUuid> &selected)
{
    QList<QUuid> order;
    QSet<QUuid> seen;
    store.forEveryElementInDocument([&](const ReportElement &e) {
        if (selected.contains(e.id) && !seen.contains(e.id)) {
            seen.insert(e.id);
            order.append(e.id);
        }
    });
    return order;
}

// Whether a copy of a selected element of a band, 10 points further right, reaches past the
// band's right edge: copies made together then move left together, one by one each alone.
bool copiesReachPastEdge(const QList<Placed> &placed, const QSet<QUuid> &selected,
                         const ReportDocument &document)
{
    for (const Placed &p : placed) {
        if (p.topLevel && selected.contains(p.element.id) &&
            asWritten(p.element.x + 10) + asWritten(p.element.printedWidth()) >
                asWritten(DocumentStore::width(document, p.band)))
            return true;
    }
    return false;
}

} // namespace

QString RandomEdits::editManySelected()
{
    const ReportDocument before = store_.document();
    const QList<Placed> elements = placedElements(before);
    if (elements.size() < 2)
        return u"many selected: fewer than two elements"_s;
    // Of one band, as Select All or a rubber band leave them, or of any band and depth, as the
    // outline does; now a few, now most.
    QList<Placed> pool = elements;
    QString from = u"the report"_s;
    if (chance(0.5)) {
        const BandTarget band = elements.at(pick(int(elements.size()))).band;
        pool.removeIf([&](const Placed &p) { return p.band != band; });
        from = band.id();
    }
    const double share = 0.2 + 0.2 * pick(5);
    QSet<QUuid> selected;
    for (const Placed &p : std::as_const(pool)) {
        if (chance(share))
            selected.insert(p.element.id);
    }
    for (qsizetype i = 0; selected.size() < 2 && i < elements.size(); ++i)
        selected.insert((i < pool.size() ? pool : elements).at(i).element.id);
    store_.setSelectedElementIDs(selected);

    DocumentStore alone;
    alone.setDocument(before);
    const Refusals refusedAlone(alone);
    const QList<QUuid> order = inReportOrder(alone, selected);
    const auto oneByOne = [&](const std::function<void()> &edit) {
        for (const QUuid &id : order) {
            alone.setSelectedElementIDs({id});
            edit();
        }
    };
    QString what = QString::number(selected.size()) + u" selected in "_s + from + u": "_s;
    bool byValue = true;
    switch (pick(4)) {
    case 0: {
        what += u"duplicate"_s;
        byValue = false;
        const bool pastEdge = copiesReachPastEdge(elements, selected, before);
        store_.duplicateSelectedElement();
        oneByOne([&] { alone.duplicateSelectedElement(); });
        // The copies, and only they, are selected: one for each element duplicated (the
        // children of a container's copy are new too, but not selected).
        QSet<QUuid> fresh;
        for (const Placed &p : placedElements(store_.document()))
            fresh.insert(p.element.id);
        for (const Placed &p : elements)
            fresh.remove(p.element.id);
        const QSet<QUuid> &copies = store_.selectedElementIDs();
        if (store_.document() != before &&
            (!fresh.contains(copies) || copies.size() != order.size()))
            lapses_.append(what + u": "_s + QString::number(copies.size()) +
                           u" selected after it, for "_s + QString::number(order.size()) +
                           u" duplicated"_s);
        if (pastEdge)
            return what + u" (near a band's right edge)"_s;
        break;
    }
    case 1: {
        const double dx = pick(61) - 20, dy = pick(41) - 10;
        const double dw = pick(41) - 20, size = 6 + pick(10);
        DocumentStore::ElementMutation mutation;
        switch (pick(3)) {
        case 0:
            what += u"moved by "_s + QString::number(dx) + u", "_s + QString::number(dy);
            mutation = [=](ReportElement &e) {
                e.x = std::max(0.0, e.x + dx);
                e.y = std::max(0.0, e.y + dy);
            };
            break;
        case 1:
            what +=
                u"widened by "_s + QString::number(dw) + u", lowered by "_s + QString::number(dy);
            mutation = [=](ReportElement &e) {
                e.width = std::max(1.0, e.width + dw);
                e.height = std::max(1.0, e.height + dy);
            };
            break;
        default:
            what += u"font size "_s + QString::number(size);
            mutation = [=](ReportElement &e) { e.fontSize = size; };
            break;
        }
        store_.updateSelectedElements(mutation);
        for (const QUuid &id : order)
            alone.performUpdateElement(id, mutation);
        break;
    }
    case 2: {
        const QList<BandTarget> targets = targetsOf(before);
        const BandTarget target = targets.at(pick(int(targets.size())));
        const double dx = pick(41) - 20, dy = pick(41) - 10;
        what += u"moved into "_s + target.id() + u" by "_s + QString::number(dx) + u", "_s +
                QString::number(dy);
        store_.moveSelectedElementsToNewBand(target, dx, dy);
        oneByOne([&] { alone.moveSelectedElementsToNewBand(target, dx, dy); });
        break;
    }
    default:
        what += u"delete"_s;
        store_.deleteSelectedElement();
        oneByOne([&] { alone.deleteSelectedElement(); });
        break;
    }
    if (store_.document() == before) {
        if (alone.document() != before && !refusedAlone.said())
            lapses_.append(what + u": nothing changed, though element by element it did"_s);
        return what;
    }
    // One by one, some went where others were refused; the one step refuses them all.
    if (refusedAlone.said())
        return what + u" (refused element by element)"_s;
    const bool same = byValue ? store_.document() == alone.document()
                              : JrxmlCodec::serialize(store_.document()) ==
                                    JrxmlCodec::serialize(alone.document());
    if (!same)
        lapses_.append(what + u": the report differs from the same edit element by element"_s);
    return what;
}
