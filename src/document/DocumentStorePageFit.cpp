#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"
#include "model/PageLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

// How high a band may grow on its page, and elements placed so that their bands stay within it.

double DocumentStore::tallestHeight(const BandTarget &target) const
{
    return tallestHeight(document_, target);
}

double DocumentStore::tallestHeight(const ReportDocument &document, const BandTarget &target)
{
    const double largest = PageLayout::largestBandHeight(document, target);
    // A band that prints higher than the page holds it already (a file's) is not made any
    // higher; a hidden band, or one the report lacks, has no height of its own on the page.
    return prints(document, target) ? std::max(largest, height(document, target)) : largest;
}

bool DocumentStore::prints(const ReportDocument &document, const BandTarget &target)
{
    return target.kind() == BandTarget::Case::standard
               ? document.findBand(target.bandType()) &&
                     document.findBand(target.bandType())->isPresent
               : elementList(document, target) != nullptr;
}

double DocumentStore::heightToHoldElements(const BandTarget &target) const
{
    return heightToHoldElements(document_, target);
}

double DocumentStore::heightToHoldElements(const ReportDocument &document, const BandTarget &target)
{
    double bottom = 0;
    for (const ReportElement &element : elements(document, target))
        bottom = std::max(bottom, bottomAsWritten(element));
    return bottom;
}

bool DocumentStore::keepWithinPage(ReportElement &element, const BandTarget &target,
                                   const ReportElement *before) const
{
    return keepWithinPage(document_, element, target, before);
}

bool DocumentStore::keepWithinPage(const ReportDocument &document, ReportElement &element,
                                   const BandTarget &target, const ReportElement *before)
{
    // Within the height of a band that prints, an element asks nothing of the page: the band
    // may always grow as high as it is (tallestHeight).
    if (bottomAsWritten(element) <= height(document, target) && prints(document, target))
        return false;
    const double largest = tallestHeight(document, target);
    if (bottomAsWritten(element) <= largest)
        return false;
    const bool resized = before && before->y == element.y && element.height > before->height;
    if (!resized)
        element.y = std::max(0.0, PageLayout::wholePointsBelow(largest, element.printedHeight()));
    if (bottomAsWritten(element) > largest)
        element.height = std::max(0.0, PageLayout::wholePointsBelow(largest, element.y));
    return true;
}

std::optional<double> DocumentStore::tallerThanBand(const QList<ReportElement> &elements,
                                                    const BandTarget &target) const
{
    return tallerThanBand(document_, elements, target);
}

std::optional<double> DocumentStore::tallerThanBand(const ReportDocument &document,
                                                    const QList<ReportElement> &elements,
                                                    const BandTarget &target)
{
    const double largest = tallestHeight(document, target);
    for (const ReportElement &element : elements) {
        // As it would be placed: holding its contents, at the top of the band.
        ReportElement placed = element;
        ContainerRoom::fitContents(placed, TableCellRooms::Styles(document.styles));
        placed.y = 0;
        if (bottomAsWritten(placed) > largest)
            return placed.printedHeight();
    }
    return std::nullopt;
}

bool DocumentStore::refusesTallerThanBand(const QList<ReportElement> &elements,
                                          const BandTarget &target)
{
    const std::optional<double> tall = tallerThanBand(elements, target);
    if (tall)
        emit insertRefused(target, *tall);
    return tall.has_value();
}

bool DocumentStore::refusesNoRoom(const QUuid &container)
{
    const std::optional<ReportElement> found = element(container);
    return found && refusesNoRoom(*found);
}

bool DocumentStore::refusesNoRoom(const ReportElement &container)
{
    // An element that holds none (a text field, say) is none of this check's business.
    if (!container.kind.children() || ContainerRoom::leavesRoom(container))
        return false;
    emit containerHasNoRoom(container.id);
    return true;
}

bool DocumentStore::keepWithinWidth(const ReportDocument &document, QList<ReportElement> &elements,
                                    const BandTarget &target)
{
    QList<Extent> extents;
    extents.reserve(elements.size());
    for (const ReportElement &e : std::as_const(elements))
        extents.append({e.x, e.printedWidth()});
    if (!keepWithinWidth(document, extents, target))
        return false;
    for (qsizetype i = 0; i < elements.size(); ++i)
        elements[i].x = extents.at(i).x;
    return true;
}

bool DocumentStore::keepWithinWidth(const ReportDocument &document, QList<Extent> &extents,
                                    const BandTarget &target)
{
    using PageLayout::asWritten;
    // As the file writes them: whole points.
    const double band = asWritten(width(document, target));
    const auto right = [](const Extent &e) { return asWritten(e.x) + asWritten(e.width); };
    double excess = 0;
    double leftmost = std::numeric_limits<double>::infinity();
    for (const Extent &e : std::as_const(extents)) {
        excess = std::max(excess, right(e) - band);
        leftmost = std::min(leftmost, asWritten(e.x));
    }
    if (excess <= 0)
        return false;
    // Together first, so that what was arranged stays so.
    const double shift = std::min(excess, std::max(leftmost, 0.0));
    bool moved = shift > 0;
    for (Extent &e : extents) {
        e.x -= shift;
        const double alone = std::max(0.0, band - asWritten(e.width));
        if (right(e) > band && alone < asWritten(e.x)) {
            e.x = alone;
            moved = true;
        }
    }
    return moved;
}

void DocumentStore::placeElement(ReportDocument &document, const ReportElement &element,
                                 const BandTarget &target)
{
    if (!elementList(std::as_const(document), target))
        return;
    // An element placed anew stands in no element group of the file.
    ReportElement placed = element;
    placed.elementGroups.clear();
    ContainerRoom::fitContents(placed, TableCellRooms::Styles(document.styles));
    keepWithinPage(document, placed, target);
    elementList(document, target)->append(placed);
    growBandToHold(document, target, bottomAsWritten(placed));
}

std::optional<double> DocumentStore::heightOnPage(const ReportDocument &document,
                                                  const BandTarget &target, double wanted)
{
    // The band's own share of the page does not count in what the others leave it.
    const double largest = PageLayout::largestBandHeight(document, target);
    if (PageLayout::asWritten(wanted) <= largest)
        return wanted;
    if (largest < 0 || heightToHoldElements(document, target) > largest)
        return std::nullopt;
    return largest;
}
