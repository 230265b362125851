#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"

// Where many elements stand, found in one walk over the report, and edits of elements at places
// already known: an operation on a selection of thousands costs a walk, not a search for each.

QList<DocumentStore::HeldElement> DocumentStore::heldInOrder(const QSet<QUuid> &ids) const
{
    QList<HeldElement> held;
    if (ids.isEmpty())
        return held;
    QSet<QUuid> pending = ids;
    const std::function<void(const ElementList &, const ReportElement *)> walk =
        [&](const ElementList &list, const ReportElement *container) {
            for (const ReportElement &element : list) {
                if (pending.remove(element.id))
                    held.append({&element, std::nullopt, container});
                if (pending.isEmpty())
                    return;
                if (const ElementList *children = element.kind.children())
                    walk(*children, &element);
            }
        };
    visitElementLists(document_, [&](const BandTarget &target, const ElementList &list) {
        const qsizetype before = held.size();
        walk(list, nullptr);
        for (qsizetype i = before; i < held.size(); ++i) {
            held[i].holder = target;
            if (!held[i].container)
                held[i].band = target;
        }
        return pending.isEmpty();
    });
    return held;
}

QList<std::pair<BandTarget, QList<qsizetype>>>
DocumentStore::topLevelPlaces(const QSet<QUuid> &ids) const
{
    QList<std::pair<BandTarget, QList<qsizetype>>> places;
    if (ids.isEmpty())
        return places;
    QSet<QUuid> pending = ids;
    visitElementLists(document_, [&](const BandTarget &target, const ElementList &list) {
        QList<qsizetype> indexes;
        for (qsizetype i = 0; i < list.size() && !pending.isEmpty(); ++i) {
            if (pending.remove(list.at(i).id))
                indexes.append(i);
        }
        if (!indexes.isEmpty())
            places.append({target, indexes});
        return pending.isEmpty();
    });
    return places;
}

QHash<QUuid, BandTarget> DocumentStore::homeBandTargets(const QSet<QUuid> &ids) const
{
    QHash<QUuid, BandTarget> homes;
    for (const auto &[target, indexes] : topLevelPlaces(ids)) {
        const ElementList &list = *elementList(document_, target);
        for (const qsizetype i : indexes)
            homes.insert(list.at(i).id, target);
    }
    return homes;
}

std::optional<ReportElement> DocumentStore::updated(const ReportElement &element,
                                                    const ElementMutation &mutation,
                                                    const TableCellRooms::Styles &styles,
                                                    const ReportElement *container)
{
    ReportElement changed = element;
    mutation(changed);
    // A container keeps what it holds, and an element in one stays within its room.
    ContainerRoom::holdContents(changed, element);
    if (const std::optional<ContainerRoom::Room> room =
            container ? ContainerRoom::of(*container) : std::nullopt)
        ContainerRoom::fitInto(changed, *room, &element, styles);
    else
        ContainerRoom::fitContents(changed, styles);
    if (changed == element)
        return std::nullopt;
    return changed;
}

bool DocumentStore::updateTopLevelAt(const BandTarget &target, qsizetype index,
                                     const ElementMutation &mutation)
{
    const ElementList *held = elementList(std::as_const(document_), target);
    if (!held || index < 0 || index >= held->size())
        return false;
    const ReportElement before = held->at(index);
    std::optional<ReportElement> changed = updated(before, mutation, cellStyles(), nullptr);
    if (!changed)
        return false;
    batchDocumentChanges([&] {
        changeDocument([&](ReportDocument &document) {
            elementList(document, target)->replace(index, std::move(*changed));
        });
        growBandHoldingAt(target, index, before);
    });
    return true;
}

void DocumentStore::growBandHoldingAt(const BandTarget &home, qsizetype index,
                                      const std::optional<ReportElement> &before)
{
    const ElementList *held = elementList(std::as_const(document_), home);
    if (!held || index < 0 || index >= held->size())
        return;
    ReportElement kept = held->at(index);
    if (keepWithinPage(kept, home, before ? &*before : nullptr)) {
        changeDocument(
            [&](ReportDocument &document) { elementList(document, home)->replace(index, kept); });
    }
    const double bottom = bottomAsWritten(kept);
    if (bottom > height(home))
        changeDocument([&](ReportDocument &document) { growBandToHold(document, home, bottom); });
}

void DocumentStore::performUpdateElements(const QSet<QUuid> &ids, const ElementMutation &mutation)
{
    QSet<QUuid> pending = ids;
    QList<BandTarget> targets;
    visitElementLists(document_, [&](const BandTarget &target, const ElementList &) {
        targets.append(target);
        return false;
    });
    for (const BandTarget &target : std::as_const(targets)) {
        const ElementList before = *elementList(std::as_const(document_), target);
        bool changed = false;
        const auto size = [&] { return elementList(std::as_const(document_), target)->size(); };
        for (qsizetype i = 0; !pending.isEmpty() && i < size(); ++i) {
            // An element of the band's own list keeps within what the page holds the band at
            // before what it holds is updated within its room.
            if (pending.remove(elementList(std::as_const(document_), target)->at(i).id))
                changed = updateTopLevelAt(target, i, mutation) || changed;
            ElementList &list = *elementList(document_, target);
            const Found found = editChildren(list, i, [&](ElementList &children) {
                return updateListed(children, pending, mutation, cellStyles(), &list.at(i));
            });
            changed = found == Found::changed || changed;
        }
        // Whatever the edit placed in a container stays within the container's room.
        if (changed) {
            fitListContents(*elementList(document_, target), before);
            announceDocumentChange();
        }
    }
}

DocumentStore::Found DocumentStore::updateListed(ElementList &list, QSet<QUuid> &pending,
                                                 const ElementMutation &mutation,
                                                 const TableCellRooms::Styles &styles,
                                                 const ReportElement *container)
{
    Found result = Found::no;
    const auto note = [&result](Found found) {
        if (found == Found::changed || (found == Found::unchanged && result == Found::no))
            result = found;
    };
    for (qsizetype i = 0; i < list.size() && !pending.isEmpty(); ++i) {
        if (pending.remove(list.at(i).id)) {
            std::optional<ReportElement> changed = updated(list.at(i), mutation, styles, container);
            if (changed)
                list.replace(i, std::move(*changed));
            note(changed ? Found::changed : Found::unchanged);
        }
        // Its children stand in its room as the update left it.
        note(editChildren(list, i, [&](ElementList &children) {
            return updateListed(children, pending, mutation, styles, &list.at(i));
        }));
    }
    return result;
}
