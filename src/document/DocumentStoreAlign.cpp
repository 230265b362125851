#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"

#include <algorithm>

namespace {

// The common bounding box of elements, in their stored coordinates, each as large as the engine
// lays it out (a line of no height takes one point).
struct Bounds {
    double left;
    double top;
    double right;
    double bottom;
};

Bounds boundsOf(const QList<ReportElement> &elements)
{
    const ReportElement &first = elements.first();
    Bounds b{first.x, first.y, first.x + first.printedWidth(), first.y + first.printedHeight()};
    for (const ReportElement &e : elements) {
        b.left = std::min(b.left, e.x);
        b.top = std::min(b.top, e.y);
        b.right = std::max(b.right, e.x + e.printedWidth());
        b.bottom = std::max(b.bottom, e.y + e.printedHeight());
    }
    return b;
}

// Moves an element so that the given edge or centre lies at `target`: horizontal edges through
// x, vertical ones through y. Sizes stay; a line of no height or width takes one point.
void placeEdge(ReportElement &e, DocumentStore::AlignEdge edge, double target)
{
    using Edge = DocumentStore::AlignEdge;
    switch (edge) {
    case Edge::left:
        e.x = target;
        break;
    case Edge::right:
        e.x = target - e.printedWidth();
        break;
    case Edge::top:
        e.y = target;
        break;
    case Edge::bottom:
        e.y = target - e.printedHeight();
        break;
    case Edge::horizontalCenter:
        e.x = target - e.printedWidth() * 0.5;
        break;
    case Edge::verticalCenter:
        e.y = target - e.printedHeight() * 0.5;
        break;
    }
}

} // namespace

QList<ReportElement> DocumentStore::selectedElementsFound() const
{
    const QHash<QUuid, ReportElement> byID = findElements(selectedElementIDs_);
    QList<ReportElement> found;
    for (const QUuid &id : selectedElementIDs_) {
        const auto it = byID.constFind(id);
        if (it != byID.cend())
            found.append(*it);
    }
    return found;
}

void DocumentStore::alignSelected(AlignEdge edge)
{
    const QList<ReportElement> found = selectedElementsFound();
    if (found.size() < 2 || refusesHiddenSelection())
        return;
    const Bounds b = boundsOf(found);
    double target = 0;
    switch (edge) {
    case AlignEdge::left:
        target = b.left;
        break;
    case AlignEdge::right:
        target = b.right;
        break;
    case AlignEdge::top:
        target = b.top;
        break;
    case AlignEdge::bottom:
        target = b.bottom;
        break;
    case AlignEdge::horizontalCenter:
        target = (b.left + b.right) * 0.5;
        break;
    case AlignEdge::verticalCenter:
        target = (b.top + b.bottom) * 0.5;
        break;
    }
    const QSet<QUuid> ids = selectedElementIDs_;
    applyEditIfChanged([&] {
        for (const QUuid &id : ids)
            performUpdateElement(id, [&](ReportElement &e) { placeEdge(e, edge, target); });
    });
}

void DocumentStore::alignSelectedToContainer(AlignEdge edge)
{
    if (selectedElementIDs_.isEmpty() || refusesHiddenSelection())
        return;
    // A top-level element is placed in the active band's area; one inside a frame or list in
    // its container's room, relative to that container.
    const QSizeF bandArea(this->width(activeBandTarget_), this->height(activeBandTarget_));
    const QSet<QUuid> ids = selectedElementIDs_;
    applyEditIfChanged([&] {
        for (const QUuid &id : ids) {
            const std::optional<ReportElement> container = containerOf(id);
            const QSizeF area = container ? ContainerRoom::innerSize(*container) : bandArea;
            performUpdateElement(id, [&](ReportElement &e) {
                switch (edge) {
                case AlignEdge::left:
                case AlignEdge::top:
                    placeEdge(e, edge, 0);
                    break;
                case AlignEdge::right:
                    placeEdge(e, edge, area.width());
                    break;
                case AlignEdge::bottom:
                    placeEdge(e, edge, area.height());
                    break;
                case AlignEdge::horizontalCenter:
                    e.x = (area.width() - e.printedWidth()) * 0.5;
                    break;
                case AlignEdge::verticalCenter:
                    e.y = (area.height() - e.printedHeight()) * 0.5;
                    break;
                }
            });
        }
    });
}

void DocumentStore::distributeSelected(DistributeAxis axis)
{
    QList<ReportElement> found = selectedElementsFound();
    if (found.size() < 3 || refusesHiddenSelection())
        return;
    const bool horizontal = axis == DistributeAxis::horizontal;
    const auto start = [horizontal](const ReportElement &e) { return horizontal ? e.x : e.y; };
    const auto extent = [horizontal](const ReportElement &e) {
        return horizontal ? e.printedWidth() : e.printedHeight();
    };
    std::stable_sort(
        found.begin(), found.end(),
        [&](const ReportElement &a, const ReportElement &b) { return start(a) < start(b); });
    double total = 0;
    for (const ReportElement &e : std::as_const(found))
        total += extent(e);
    const ReportElement &first = found.first();
    const ReportElement &last = found.last();
    const double span = start(last) + extent(last) - start(first);
    // Negative when the elements are wider than the span: they then overlap evenly.
    const double gap = (span - total) / double(found.size() - 1);
    applyEditIfChanged([&] {
        double cursor = start(first) + extent(first) + gap;
        for (qsizetype i = 1; i + 1 < found.size(); ++i) {
            performUpdateElement(found.at(i).id,
                                 [&](ReportElement &e) { (horizontal ? e.x : e.y) = cursor; });
            cursor += extent(found.at(i)) + gap;
        }
    });
}

void DocumentStore::encloseSelectedInFrame()
{
    // The frame goes to the active band: without one the enclosed elements would be lost.
    const BandTarget destination = insertionTarget(activeBandTarget_);
    if (!takesElements(destination))
        return;
    // Only top-level elements are enclosed. A nested one would stay in its container and also
    // turn up in the frame, so that its id would stand twice in the document.
    QList<ReportElement> enclosed = selectedElementsFound();
    enclosed.removeIf([this](const ReportElement &e) { return !isTopLevelElement(e.id); });
    if (enclosed.isEmpty() || refusesHiddenSelection())
        return;

    const Bounds b = boundsOf(enclosed);
    for (ReportElement &child : enclosed) {
        child.x -= b.left;
        child.y -= b.top;
        child.elementGroups.clear();
    }
    const ReportElement frame =
        newElement(ElementKind::Frame{enclosed}, b.left, b.top, b.right - b.left, b.bottom - b.top);

    applyDiscreteEdit([&] {
        batchDocumentChanges([&] {
            for (const ReportElement &child : std::as_const(enclosed))
                performRemoveTopLevel(child.id);
            performAddElement(frame, destination);
        });
        setSelectedElementIDs({frame.id});
    });
}
