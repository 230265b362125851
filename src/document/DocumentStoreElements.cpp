#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"
#include "model/ReportParts.h"

#include <algorithm>
#include <utility>

// --- Walks over the element tree -----------------------------------------------------------

bool DocumentStore::visitElementLists(
    const ReportDocument &document,
    const std::function<bool(const BandTarget &, const ElementList &)> &visit)
{
    for (const ReportBand &band : document.bands) {
        if (visit(BandTarget::standard(band.type), band.elements))
            return true;
    }
    for (const ReportBand &band : document.detailBands) {
        if (visit(BandTarget::detailBand(band.id), band.elements))
            return true;
    }
    for (const ReportGroup &group : document.groups) {
        if (visit(BandTarget::groupHeader(group.id), group.headerElements) ||
            visit(BandTarget::groupFooter(group.id), group.footerElements))
            return true;
    }
    return false;
}

DocumentStore::Found
DocumentStore::editElementLists(ReportDocument &document,
                                const std::function<Found(ElementList &)> &visit, bool untilFound)
{
    // Each list is visited as a shared copy and written back only when it changed, so lists
    // that a snapshot shares stay shared.
    Found result = Found::no;
    auto walk = [&](auto &owners, auto... members) {
        for (qsizetype i = 0; i < owners.size(); ++i) {
            for (auto member : {members...}) {
                ElementList list = owners.at(i).*member;
                const Found found = visit(list);
                if (found == Found::changed)
                    owners[i].*member = std::move(list);
                if (found != Found::no && (untilFound || found == Found::changed))
                    result = found;
                if (found != Found::no && untilFound)
                    return true;
            }
        }
        return false;
    };
    walk(document.bands, &ReportBand::elements) ||
        walk(document.detailBands, &ReportBand::elements) ||
        walk(document.groups, &ReportGroup::headerElements, &ReportGroup::footerElements);
    return result;
}

const ReportElement *DocumentStore::findElementRecursive(const QUuid &id, const ElementList &list)
{
    for (const ReportElement &element : list) {
        if (element.id == id)
            return &element;
        if (const ElementList *children = element.kind.children()) {
            if (const ReportElement *found = findElementRecursive(id, *children))
                return found;
        }
    }
    return nullptr;
}

DocumentStore::Found DocumentStore::editChildren(ElementList &list, qsizetype index,
                                                 const std::function<Found(ElementList &)> &walk)
{
    const ElementList *children = list.at(index).kind.children();
    if (!children)
        return Found::no;
    ElementList copy = *children;
    const Found found = walk(copy);
    if (found == Found::changed)
        *list[index].kind.children() = std::move(copy);
    return found;
}

DocumentStore::Found DocumentStore::updateElementRecursive(const QUuid &id, ElementList &list,
                                                           const ElementMutation &mutation,
                                                           const TableCellRooms::Styles &styles,
                                                           const ReportElement *container)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        const ReportElement &element = list.at(i);
        if (element.id == id) {
            std::optional<ReportElement> changed = updated(element, mutation, styles, container);
            if (!changed)
                return Found::unchanged;
            list.replace(i, std::move(*changed));
            return Found::changed;
        }
        const Found found = editChildren(list, i, [&](ElementList &children) {
            return updateElementRecursive(id, children, mutation, styles, &element);
        });
        if (found != Found::no)
            return found;
    }
    return Found::no;
}

DocumentStore::Found DocumentStore::editListHolding(const QUuid &id, ElementList &list,
                                                    const ListAction &action)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).id == id) {
            const Found found = action(list, i);
            if (found != Found::no)
                return found;
        }
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        const Found found = editChildren(
            list, i, [&](ElementList &children) { return editListHolding(id, children, action); });
        if (found != Found::no)
            return found;
    }
    return Found::no;
}

DocumentStore::Found DocumentStore::removeListed(const QSet<QUuid> &ids, ElementList &list)
{
    Found found = list.removeIf([&ids](const ReportElement &e) { return ids.contains(e.id); }) > 0
                      ? Found::changed
                      : Found::no;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (editChildren(list, i, [&ids](ElementList &children) {
                return removeListed(ids, children);
            }) == Found::changed)
            found = Found::changed;
    }
    return found;
}

bool DocumentStore::changeEveryElement(ElementList &list,
                                       const std::function<bool(ReportElement &)> &change)
{
    bool any = false;
    for (qsizetype i = 0; i < list.size(); ++i) {
        ReportElement element = list.at(i);
        bool changed = change(element);
        if (ElementList *children = element.kind.children())
            changed = changeEveryElement(*children, change) || changed;
        if (changed) {
            list.replace(i, std::move(element));
            any = true;
        }
    }
    return any;
}

void DocumentStore::forEveryElement(const ElementList &list,
                                    const std::function<void(const ReportElement &)> &visit)
{
    for (const ReportElement &element : list) {
        visit(element);
        if (const ElementList *children = element.kind.children())
            forEveryElement(*children, visit);
    }
}

DocumentStore::Found DocumentStore::editTree(const std::function<Found(ElementList &)> &visit,
                                             bool untilFound)
{
    // Whatever the edit placed in a container stays within the container's room.
    const Found found = editElementLists(
        document_,
        [&](ElementList &list) {
            const ElementList before = list;
            const Found result = visit(list);
            if (result == Found::changed)
                fitListContents(list, before);
            return result;
        },
        untilFound);
    if (found == Found::changed)
        announceDocumentChange();
    return found;
}

void DocumentStore::fitListContents(ElementList &list, const ElementList &before)
{
    const ElementList edited = list;
    if (!ContainerRoom::fitContents(list, cellStyles()))
        return;
    QHash<QUuid, qsizetype> stood;
    for (qsizetype i = 0; i < before.size(); ++i)
        stood.insert(before.at(i).id, i);
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i) == edited.at(i))
            continue;
        const auto was = stood.constFind(edited.at(i).id);
        if (was != stood.cend() && before.at(*was) == edited.at(i))
            ++untouchedFitted_;
    }
}

const TableCellRooms::Styles &DocumentStore::cellStyles() const
{
    if (!cellStyles_.isFor(document_.styles))
        cellStyles_ = TableCellRooms::Styles(document_.styles);
    return cellStyles_;
}

void DocumentStore::forEveryElementInDocument(
    const std::function<void(const ReportElement &)> &visit) const
{
    visitElementLists(document_, [&](const BandTarget &, const ElementList &list) {
        forEveryElement(list, visit);
        return false;
    });
}

// --- Queries --------------------------------------------------------------------------------

std::optional<ReportElement> DocumentStore::element(const QUuid &id) const
{
    const ReportElement *found = nullptr;
    visitElementLists(document_, [&](const BandTarget &, const ElementList &list) {
        found = findElementRecursive(id, list);
        return found != nullptr;
    });
    return found ? std::optional<ReportElement>(*found) : std::nullopt;
}

QHash<QUuid, ReportElement> DocumentStore::findElements(const QSet<QUuid> &ids) const
{
    QHash<QUuid, ReportElement> found;
    if (ids.isEmpty())
        return found;
    visitElementLists(document_, [&](const BandTarget &, const ElementList &list) {
        forEveryElement(list, [&](const ReportElement &e) {
            // The first in the search order, as element(id:) finds it.
            if (ids.contains(e.id) && !found.contains(e.id))
                found.insert(e.id, e);
        });
        return found.size() == ids.size();
    });
    return found;
}

QSet<QUuid> DocumentStore::heldSelection() const
{
    QSet<QUuid> held;
    if (selectedElementIDs_.isEmpty())
        return held;
    visitElementLists(document_, [&](const BandTarget &, const ElementList &list) {
        forEveryElement(list, [&](const ReportElement &e) {
            if (selectedElementIDs_.contains(e.id))
                held.insert(e.id);
        });
        return held.size() == selectedElementIDs_.size();
    });
    return held;
}

std::optional<BandTarget> DocumentStore::homeBandTarget(const QUuid &id) const
{
    std::optional<BandTarget> home;
    visitElementLists(document_, [&](const BandTarget &target, const ElementList &list) {
        for (const ReportElement &element : list) {
            if (element.id == id) {
                home = target;
                return true;
            }
        }
        return false;
    });
    return home;
}

std::optional<BandTarget> DocumentStore::bandHolding(const QUuid &id) const
{
    std::optional<BandTarget> band;
    visitElementLists(document_, [&](const BandTarget &target, const ElementList &list) {
        if (findElementRecursive(id, list) == nullptr)
            return false;
        band = target;
        return true;
    });
    return band;
}

bool DocumentStore::isTopLevelElement(const QUuid &id) const
{
    return homeBandTarget(id).has_value();
}

std::optional<ReportElement> DocumentStore::containerOf(const QUuid &id) const
{
    // The container whose children hold the element, searched as element(id:) searches.
    const std::function<const ReportElement *(const ElementList &)> holder =
        [&](const ElementList &list) -> const ReportElement * {
        for (const ReportElement &element : list) {
            const ElementList *children = element.kind.children();
            if (!children)
                continue;
            for (const ReportElement &child : *children) {
                if (child.id == id)
                    return &element;
            }
            if (const ReportElement *found = holder(*children))
                return found;
        }
        return nullptr;
    };
    std::optional<ReportElement> found;
    visitElementLists(document_, [&](const BandTarget &, const ElementList &list) {
        if (findElementRecursive(id, list) == nullptr)
            return false;
        if (const ReportElement *container = holder(list))
            found = *container;
        return true;
    });
    return found;
}

// --- Adding and removing ------------------------------------------------------------------

void DocumentStore::performAddElement(const ReportElement &element, const BandTarget &target)
{
    if (!elementList(std::as_const(document_), target) || ReportParts::isPartReport(document_))
        return;
    changeDocument([&](ReportDocument &document) { placeElement(document, element, target); });
}

void DocumentStore::addElement(const ReportElement &element, const BandTarget &target)
{
    // Copies: listeners of the snapshot's signals may change what the arguments refer to.
    const ReportElement added = element;
    const BandTarget destination = insertionTarget(target);
    if (!takesElements(destination) || refusesBandsOfParts(destination) ||
        refusesTallerThanBand({added}, destination))
        return;
    QList<ReportElement> placed{added};
    keepWithinWidth(document_, placed, destination);
    takeSnapshot();
    performAddElement(placed.first(), destination);
    setSelectedElementIDs({added.id});
    setIsDirty(true);
}

bool DocumentStore::performAddChildElement(const ReportElement &element, const QUuid &frameID)
{
    ReportElement placed = element;
    placed.elementGroups.clear();
    const auto addToContainer = [&](ElementList &list, qsizetype index) {
        if (!list.at(index).kind.children())
            return Found::no;
        list[index].kind.children()->append(placed);
        return Found::changed;
    };
    return editTree([&](ElementList &list) {
               return editListHolding(frameID, list, addToContainer);
           }) == Found::changed;
}

void DocumentStore::addChildElement(const ReportElement &element, const QUuid &frameID)
{
    const ReportElement added = element;
    const QUuid containerID = frameID;
    if (refusesNoRoom(containerID))
        return;
    takeSnapshot();
    if (!performAddChildElement(added, containerID))
        return;
    setSelectedElementIDs({added.id});
    setIsDirty(true);
}

void DocumentStore::deleteSelectedElement()
{
    if (selectedElementIDs_.isEmpty())
        return;
    const QSet<QUuid> ids = selectedElementIDs_;
    // A selection left behind by undo names nothing: deleting it is no edit, so it neither
    // records a step (which would drop the redo history) nor marks the report dirty.
    if (heldSelection().isEmpty()) {
        setSelectedElementIDs({});
        return;
    }
    if (refusesHiddenSelection())
        return;
    applyDiscreteEdit([&] {
        // One walk over the lists, whatever the number of elements: each list is copied and
        // checked once.
        batchDocumentChanges(
            [&] { editTree([&](ElementList &list) { return removeListed(ids, list); }, false); });
        setSelectedElementIDs({});
    });
}

std::optional<ReportElement> DocumentStore::performRemoveTopLevel(const QUuid &id)
{
    std::optional<ReportElement> removed;
    editTree([&](ElementList &list) {
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list.at(i).id == id) {
                removed = list.takeAt(i);
                return Found::changed;
            }
        }
        return Found::no;
    });
    return removed;
}

// --- Updating -------------------------------------------------------------------------------

bool DocumentStore::performUpdateElement(const QUuid &elementID, const ElementMutation &mutation)
{
    // An id read from the document itself is gone once the element is replaced.
    const QUuid id = elementID;
    bool changed = false;
    // The element before the change: a band grown past what it may hold takes back a move, and
    // stops a resize (keepWithinPage).
    std::optional<ReportElement> before;
    const ElementMutation remembering = [&](ReportElement &element) {
        before = element;
        mutation(element);
    };
    batchDocumentChanges([&] {
        bool isTopLevel = false;
        changed =
            editTree([&](ElementList &list) {
                const Found found = updateElementRecursive(id, list, remembering, cellStyles());
                if (found == Found::changed) {
                    isTopLevel = std::any_of(list.cbegin(), list.cend(),
                                             [&id](const ReportElement &e) { return e.id == id; });
                }
                return found;
            }) == Found::changed;
        if (isTopLevel)
            growBandHolding(id, before);
    });
    return changed;
}

void DocumentStore::updateElement(const QUuid &id, const ElementMutation &mutation)
{
    applyCoalescedEdit(id, [&] { return performUpdateElement(id, mutation); });
}

void DocumentStore::updateSelectedElements(const ElementMutation &mutation)
{
    if (selectedElementIDs_.size() < 2) {
        if (const std::optional<QUuid> id = selectedElementID())
            updateElement(*id, mutation);
        return;
    }
    // One step for all, recorded only when an element changed: writing the values the
    // elements already have is no edit.
    const QSet<QUuid> ids = selectedElementIDs_;
    applyEditIfChanged([&] { performUpdateElements(ids, mutation); });
}

// --- Moving ---------------------------------------------------------------------------------

void DocumentStore::moveSelectedElementsToNewBand(const BandTarget &target, double dx, double dy)
{
    if (refusesHiddenSelection())
        return;
    QSet<QUuid> kept;
    QList<ReportElement> moving;
    for (const HeldElement &held : heldInOrder(selectedElementIDs_)) {
        if (held.band) {
            kept.insert(held.element->id);
            moving.append(*held.element);
        }
    }
    // A target that addresses no band would swallow the elements, and a hidden one would leave
    // them out of the file: leave everything as it is.
    const BandTarget destination = target;
    if (kept.isEmpty() || refusesHiddenBand(destination) || !takesElements(destination))
        return;
    // An element taller than the band may grow would be cut: nothing moves.
    if (refusesTallerThanBand(moving, destination))
        return;
    takeSnapshot();
    const auto offset = [](double value, double by) { return value + by < 0 ? 0.0 : value + by; };
    batchDocumentChanges([&] {
        // One walk takes them all out of their bands; they go into the destination in the order
        // they stood in the report.
        QSet<QUuid> pending = kept;
        editTree(
            [&](ElementList &list) {
                if (pending.isEmpty())
                    return Found::no;
                const qsizetype before = list.size();
                list.removeIf([&](const ReportElement &e) { return pending.remove(e.id); });
                return list.size() == before ? Found::no : Found::changed;
            },
            false);
        for (ReportElement &element : moving) {
            element.x = offset(element.x, dx);
            element.y = offset(element.y, dy);
            performAddElement(element, destination);
        }
    });
    setSelectedElementIDs(kept);
    setActiveBandTarget(destination);
    setIsDirty(true);
}

void DocumentStore::reorderSelected(Reorder how)
{
    if (selectedElementIDs_.isEmpty() || refusesHiddenSelection())
        return;
    const ListAction move = [how](ElementList &list, qsizetype i) {
        const qsizetype last = list.size() - 1;
        switch (how) {
        case Reorder::forward:
            if (i >= last)
                return Found::unchanged;
            list.swapItemsAt(i, i + 1);
            break;
        case Reorder::backward:
            if (i < 1)
                return Found::unchanged;
            list.swapItemsAt(i, i - 1);
            break;
        case Reorder::toFront:
            if (i == last)
                return Found::unchanged;
            list.move(i, last);
            break;
        case Reorder::toBack:
            if (i == 0)
                return Found::unchanged;
            list.move(i, 0);
            break;
        }
        return Found::changed;
    };
    const QSet<QUuid> ids = selectedElementIDs_;
    applyDiscreteEdit([&] {
        batchDocumentChanges([&] {
            for (const QUuid &id : ids) {
                editTree([&](ElementList &list) { return editListHolding(id, list, move); });
            }
        });
    });
}

void DocumentStore::bringForward()
{
    reorderSelected(Reorder::forward);
}

void DocumentStore::sendBackward()
{
    reorderSelected(Reorder::backward);
}

void DocumentStore::bringToFront()
{
    reorderSelected(Reorder::toFront);
}

void DocumentStore::sendToBack()
{
    reorderSelected(Reorder::toBack);
}
