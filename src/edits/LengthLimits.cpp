#include "edits/LengthLimits.h"

#include "document/ContainerRoom.h"
#include "model/PageLayout.h"
#include "model/ReportParts.h"

#include <QHash>
#include <cmath>

using namespace Qt::StringLiterals;
using PageLayout::asWritten;

namespace LengthLimits {

namespace {

// A length as the field shows it, with its unit: "209.90 mm", "595 px".
QString shown(double points, MeasurementUnit unit)
{
    const QString suffix = measurement::suffix(unit);
    return measurement::format(points, unit) + u' ' + (suffix.isEmpty() ? u"px"_s : suffix);
}

QString widthBelowZero()
{
    return u"A width is 0 or more."_s;
}

// The height the page leaves for bands and elements between its top and bottom margins.
double pageBody(const ReportDocument &document)
{
    return asWritten(document.pageHeight) - asWritten(document.topMargin) -
           asWritten(document.bottomMargin);
}

bool isOneOf(double ReportDocument::*field, std::initializer_list<double ReportDocument::*> fields)
{
    for (double ReportDocument::*f : fields) {
        if (f == field)
            return true;
    }
    return false;
}

LengthVerdict horizontal(const ReportDocument &d, double ReportDocument::*field, double points,
                         MeasurementUnit unit)
{
    const double sideMargins = asWritten(d.leftMargin) + asWritten(d.rightMargin);
    if (isOneOf(field, {&ReportDocument::pageWidth, &ReportDocument::leftMargin,
                        &ReportDocument::rightMargin}) &&
        asWritten(d.pageWidth) <= sideMargins)
        return LengthVerdict::refuse(
            field == &ReportDocument::pageWidth
                ? u"The page must be wider than its left and right margins, "_s +
                      shown(sideMargins, unit) + u" together."_s
                : u"The margins must leave room on the page: together they stay below "_s +
                      shown(asWritten(d.pageWidth), unit) + u"."_s);
    // A new page width or margin is taken although the columns may no longer fit: the sheet
    // says so until they are fitted. The columns' own lengths must fit.
    if (PageLayout::columnsFit(d) ||
        !isOneOf(field, {&ReportDocument::columnWidth, &ReportDocument::columnSpacing}))
        return LengthVerdict::accept(points);
    if (field == &ReportDocument::columnWidth)
        return LengthVerdict::refuse(
            u"The columns must fit the page between its margins: a column can be at most "_s +
            shown(PageLayout::fittedColumnWidth(d), unit) + u" wide."_s);
    return LengthVerdict::refuse(u"The columns and their spacing must fit the page between its "
                                 u"margins."_s);
}

LengthVerdict vertical(const ReportDocument &d, double points, MeasurementUnit unit)
{
    const double margins = asWritten(d.topMargin) + asWritten(d.bottomMargin);
    if (asWritten(d.pageHeight) <= margins)
        return LengthVerdict::refuse(
            u"The page must be higher than its top and bottom margins, "_s + shown(margins, unit) +
            u" together."_s);
    const double needed = PageLayout::neededPageHeight(d);
    if (needed > asWritten(d.pageHeight))
        return LengthVerdict::refuse(u"The bands and margins need "_s + shown(needed, unit) +
                                     u" of the page's height."_s);
    return LengthVerdict::accept(points);
}

} // namespace

QString noRoomWords(const ReportElement &container, MeasurementUnit unit)
{
    const ContainerRoom::Room room = ContainerRoom::of(container).value_or(ContainerRoom::Room{});
    const double padding = asWritten(container.paddingLeft) + asWritten(container.paddingRight);
    if (container.kind.is<ElementKind::Frame>() && padding <= 0)
        return u"Nothing can be added to this frame: it is "_s +
               shown(asWritten(container.width), unit) +
               u" wide, so an element in it would print nothing. Widen the frame in the Inspector "
               u"first."_s;
    if (container.kind.is<ElementKind::Frame>())
        return u"Nothing can be added to this frame: its left and right padding, "_s +
               shown(asWritten(container.paddingLeft), unit) + u" and "_s +
               shown(asWritten(container.paddingRight), unit) + u", fill its width of "_s +
               shown(asWritten(container.width), unit) +
               u", so an element in it would print nothing. Lower the padding or widen the frame "
               u"in the Inspector first."_s;
    return u"Nothing can be added to this list: its contents are "_s +
           shown(std::max(room.width, 0.0), unit) + u" wide and "_s +
           shown(std::max(room.height.value_or(0), 0.0), unit) +
           u" high, so an element in it would print nothing. Make the list wider or higher in the "
           u"Inspector first."_s;
}

LengthVerdict anyLength(double points, MeasurementUnit unit)
{
    if (!std::isfinite(points) || std::abs(points) > PageLayout::largestLength)
        return LengthVerdict::refuse(u"No report holds a length this large: at most "_s +
                                     shown(PageLayout::largestLength, unit) + u"."_s);
    return LengthVerdict::accept(points);
}

namespace {

// The length the store keeps of an element inside a frame or list, which keeps it within its
// room (ContainerRoom): the typed one, or the one the room leaves, said with the reason.
LengthVerdict withinContainer(const DocumentStore &store, const ReportElement &element,
                              ElementLength which, double points, MeasurementUnit unit)
{
    const std::optional<ReportElement> holder = store.containerOf(element.id);
    const std::optional<ContainerRoom::Room> room =
        holder ? ContainerRoom::of(*holder) : std::nullopt;
    if (!room)
        return LengthVerdict::accept(points);
    static constexpr double ReportElement::*fields[] = {
        &ReportElement::x, &ReportElement::y, &ReportElement::width, &ReportElement::height};
    static const QString labels[] = {u"X"_s, u"Y"_s, u"the width"_s, u"the height"_s};
    double ReportElement::*field = fields[int(which)];
    // A frame or list keeps holding what it holds (the store grows it back); the room is what
    // cuts the length here.
    ReportElement held = element;
    held.*field = points;
    ContainerRoom::holdContents(held, element);
    ReportElement fitted = held;
    ContainerRoom::fitInto(fitted, *room, &element, store.cellStyles());
    const double kept = fitted.*field;
    if (kept == held.*field)
        return LengthVerdict::accept(points);
    const bool across = which == ElementLength::x || which == ElementLength::width;
    const QString holderName = holder->kind.is<ElementKind::Frame>() ? u"frame"_s : u"list"_s;
    return LengthVerdict::adjust(
        kept, u"The element stays within its "_s + holderName + u", "_s +
                  shown(across ? room->width : room->height.value_or(0), unit) +
                  (across ? u" wide"_s : u" high"_s) + u" inside: "_s + labels[int(which)] +
                  u" stops at "_s + shown(kept, unit) + u"."_s);
}

// The page's and the band's limits of elementLength().
LengthVerdict onThePage(const DocumentStore &store, const ReportElement &found, ElementLength which,
                        double points, MeasurementUnit unit);

} // namespace

LengthVerdict elementLength(const DocumentStore &store, const QUuid &elementID, ElementLength which,
                            double points, MeasurementUnit unit)
{
    if (LengthVerdict any = anyLength(points, unit); !any.points)
        return any;
    const std::optional<ReportElement> found = store.element(elementID);
    if (!found)
        return LengthVerdict::accept(points);
    const LengthVerdict placed = onThePage(store, *found, which, points, unit);
    if (!placed.points)
        return placed;
    return withinContainer(store, *found, which, *placed.points, unit);
}

LengthVerdict columnWidth(double points)
{
    if (LengthVerdict any = anyLength(points, MeasurementUnit::pixels); !any.points)
        return any;
    if (points < 0)
        return LengthVerdict::refuse(widthBelowZero());
    return LengthVerdict::accept(points);
}

LengthVerdict columnWidth(const DocumentStore &store, const ReportTableColumn &column,
                          double points)
{
    const LengthVerdict verdict = columnWidth(points);
    if (!verdict.points)
        return verdict;
    const std::optional<std::pair<double, TableCellRooms::Cell>> narrowest =
        TableCellRooms::narrowest(column, store.cellStyles());
    // Only what the file writes counts: a width rounded up to the narrowest is taken.
    if (!narrowest || asWritten(points) >= narrowest->first)
        return verdict;
    const auto &[least, cell] = *narrowest;
    return LengthVerdict::refuse(
        u"The column is at least "_s + shown(least, MeasurementUnit::pixels) + u" wide: its "_s +
        cellName(cell) + u" keeps "_s +
        shown(cell.paddingLeft + cell.paddingRight, MeasurementUnit::pixels) +
        u" of padding at its sides, and what it holds needs room inside it."_s);
}

QString cellName(const TableCellRooms::Cell &cell)
{
    static const QHash<QString, QString> names = {
        {u"columnHeader"_s, u"column header cell"_s}, {u"detailCell"_s, u"detail cell"_s},
        {u"columnFooter"_s, u"column footer cell"_s}, {u"tableHeader"_s, u"table header cell"_s},
        {u"tableFooter"_s, u"table footer cell"_s},   {u"groupHeader"_s, u"group header cell"_s},
        {u"groupFooter"_s, u"group footer cell"_s}};
    const QString name = names.value(cell.tag, u"cell"_s);
    return cell.group.isEmpty() ? name : name + u" of "_s + cell.group;
}

namespace {

LengthVerdict onThePage(const DocumentStore &store, const ReportElement &found, ElementLength which,
                        double points, MeasurementUnit unit)
{
    const QUuid &elementID = found.id;
    const ReportDocument &d = store.document();
    const double pageWidth = asWritten(d.pageWidth);
    switch (which) {
    case ElementLength::x:
        if (std::abs(points) > pageWidth)
            return LengthVerdict::refuse(u"Off the page: X stays within "_s +
                                         shown(pageWidth, unit) + u" either way."_s);
        return LengthVerdict::accept(points);
    case ElementLength::width:
        if (points < 0)
            return LengthVerdict::refuse(widthBelowZero());
        if (points > pageWidth)
            return LengthVerdict::refuse(u"Wider than the page: the width can be at most "_s +
                                         shown(pageWidth, unit) + u"."_s);
        return LengthVerdict::accept(points);
    case ElementLength::y:
    case ElementLength::height:
        break;
    }
    if (which == ElementLength::height && points < 0)
        return LengthVerdict::refuse(u"A height is 0 or more."_s);
    ReportElement element = found;
    const double bottomBefore = asWritten(element.y) + asWritten(element.printedHeight());
    (which == ElementLength::y ? element.y : element.height) = points;
    const double top = asWritten(element.y);
    const double bottom = top + asWritten(element.printedHeight());
    // A band grows to hold its elements; an element inside a frame or list stays on the page.
    const std::optional<BandTarget> home = store.homeBandTarget(elementID);
    const bool inBand = home && store.isTopLevelElement(elementID);
    const double limit = inBand ? PageLayout::largestBandHeight(d, *home) : pageBody(d);
    if (std::abs(top) > pageBody(d) || (bottom > limit && bottom > bottomBefore))
        return LengthVerdict::refuse(
            inBand ? u"Beyond the page: with its margins and the bands printed with it, the page "
                     u"holds the band at most "_s +
                         shown(limit, unit) + u" high, and the element's bottom stays within it."_s
                   : u"Beyond the page: the element's bottom stays within "_s + shown(limit, unit) +
                         u"."_s);
    return LengthVerdict::accept(points);
}

} // namespace

LengthVerdict bandHeight(const DocumentStore &store, const BandTarget &target, double points,
                         MeasurementUnit unit)
{
    if (LengthVerdict any = anyLength(points, unit); !any.points)
        return any;
    if (ReportParts::isPartReport(store.document()))
        return LengthVerdict::refuse(ReportParts::noBandMessage(store.label(target)));
    const double largest = PageLayout::largestBandHeight(store.document(), target);
    // Lowering a band that the page does not hold (a file's) is always taken.
    if (asWritten(points) > largest && points > store.height(target))
        return LengthVerdict::refuse(bandLimitWords(largest, unit));
    const double lowest = store.heightToHoldElements(target);
    if (points < lowest)
        return LengthVerdict::adjust(lowest, u"The band's elements reach down to "_s +
                                                 shown(lowest, unit) + u": it stops there."_s);
    return LengthVerdict::accept(points);
}

QString bandLimitWords(double largest, MeasurementUnit unit)
{
    return u"The page holds this band at most "_s + shown(std::max(largest, 0.0), unit) +
           u" high, with its margins and the bands printed with it."_s;
}

LengthVerdict pageLength(const ReportDocument &document, double ReportDocument::*field,
                         double points, MeasurementUnit unit)
{
    if (LengthVerdict any = anyLength(points, unit); !any.points)
        return any;
    const bool isSize = isOneOf(field, {&ReportDocument::pageWidth, &ReportDocument::pageHeight});
    if (isSize && asWritten(points) < 1)
        return LengthVerdict::refuse(u"A page is at least "_s + shown(1, unit) +
                                     u" wide and high."_s);
    // Larger pages are cut off in PDF. A file's page may be larger: it is taken lower.
    if (isSize && asWritten(points) > PageLayout::largestPdfPage && points > document.*field)
        return LengthVerdict::refuse(
            (field == &ReportDocument::pageWidth
                 ? u"Wider than a PDF page: the width can be at most "_s
                 : u"Higher than a PDF page: the height can be at most "_s) +
            shown(PageLayout::largestPdfPage, unit) + u"."_s);
    if (!isSize && points < 0)
        return LengthVerdict::refuse(u"This length is 0 or more."_s);
    ReportDocument d = document;
    d.*field = points;
    if (isOneOf(field, {&ReportDocument::pageHeight, &ReportDocument::topMargin,
                        &ReportDocument::bottomMargin}))
        return vertical(d, points, unit);
    return horizontal(d, field, points, unit);
}

LengthVerdict newReportPageSize(double width, double height, double ReportDocument::*typed,
                                MeasurementUnit unit)
{
    ReportDocument document = DocumentStore::defaultDocument(width, height);
    const double points = document.*typed;
    // A new report holds no page of its own yet, which a larger size could be taken lower from.
    document.*typed = 0;
    return pageLength(document, typed, points, unit);
}

} // namespace LengthLimits
