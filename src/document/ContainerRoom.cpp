#include "document/ContainerRoom.h"

#include <algorithm>
#include <cmath>

namespace ContainerRoom {

namespace {

// The file holds whole points, each value rounded on its own, and the engine checks those.
double written(double value)
{
    return std::round(value);
}

// One axis of an element (its place and size) within `room`. A place and size that the edit
// changed together at the near edge (a resize from the left or top) keep the far edge; a size
// that grew at a kept place (a resize from the right or bottom) stops at the room's edge; any
// other element that reaches past the edge moves in, and shrinks to the room where it is wider.
// A line's side written as 0 (`isLine`) takes one point, as the engine lays it out.
void fitAxis(double &place, double &size, double room, std::optional<double> placeBefore,
             std::optional<double> sizeBefore, bool isLine)
{
    const auto measured = [&] {
        const double side = written(size);
        return isLine && side == 0 ? 1.0 : side;
    };
    room = std::max(room, 0.0);
    const bool moved = placeBefore && place != *placeBefore;
    const bool resized = sizeBefore && size != *sizeBefore;
    if (written(place) < 0) {
        if (moved && resized)
            size = std::max(0.0, size + place);
        place = 0;
    }
    if (written(place) + measured() <= room)
        return;
    if (resized && !moved && written(place) < room)
        size = room - written(place);
    else if (measured() > room) {
        place = 0;
        size = room;
    } else {
        place = room - measured();
    }
}

// The lowest right (or bottom) edge of the elements, as written; 0 for none.
double extent(const ElementList &elements, double ReportElement::*place,
              double (ReportElement::*size)() const)
{
    double far = 0;
    for (const ReportElement &element : elements)
        far = std::max(far, std::max(written(element.*place), 0.0) + written((element.*size)()));
    return far;
}

// A list's contents as the file writes them: as wide and high as the list, but while the list
// keeps the length the file gave it, the file's own length for the contents stays beside it.
double contentsLength(const ReportElement &list, QStringView name, double length)
{
    const KeptXml &contents = list.kind.as<ElementKind::List>()->kept.part(u"listContents");
    if (const QString *own = contents.attribute(name)) {
        for (const KeptXml::AbsentAttribute &absent : contents.absent) {
            bool ok = false;
            const double read = absent.value.toDouble(&ok);
            if (absent.name == name && ok && read == written(length))
                return written(own->toDouble());
        }
    }
    return written(length);
}

bool fitCell(SharedOptional<ReportElement> &cell, double width, double height)
{
    if (!cell)
        return false;
    ReportElement element = *cell;
    if (!fitInto(element, Room{written(width), written(height)}))
        return false;
    cell = std::move(element);
    return true;
}

} // namespace

std::optional<Room> of(const ReportElement &container)
{
    if (container.kind.is<ElementKind::Frame>())
        return Room{written(container.width) - written(container.paddingLeft) -
                        written(container.paddingRight),
                    std::nullopt};
    if (container.kind.is<ElementKind::List>())
        return Room{contentsLength(container, u"width", container.width),
                    contentsLength(container, u"height", container.height)};
    return std::nullopt;
}

QSizeF innerSize(const ReportElement &container)
{
    if (container.kind.is<ElementKind::Frame>())
        return QSizeF(of(container)->width, written(container.height) -
                                                written(container.paddingTop) -
                                                written(container.paddingBottom));
    if (const std::optional<Room> room = of(container))
        return QSizeF(room->width, room->height.value_or(written(container.height)));
    return QSizeF(written(container.width), written(container.height));
}

bool fitInto(ReportElement &element, const Room &room, const ReportElement *before)
{
    const ReportElement start = element;
    const bool isLine = element.kind.is<ElementKind::Line>();
    fitAxis(element.x, element.width, room.width, before ? std::optional(before->x) : std::nullopt,
            before ? std::optional(before->width) : std::nullopt, isLine);
    if (room.height)
        fitAxis(element.y, element.height, *room.height,
                before ? std::optional(before->y) : std::nullopt,
                before ? std::optional(before->height) : std::nullopt, isLine);
    const bool placed = !(element.x == start.x && element.y == start.y &&
                          element.width == start.width && element.height == start.height);
    return fitContents(element) || placed;
}

bool fitContents(ReportElement &element)
{
    bool changed = false;
    if (ElementList *children = element.kind.children()) {
        const Room room = *of(element);
        for (qsizetype i = 0; i < children->size(); ++i) {
            ReportElement child = children->at(i);
            if (fitInto(child, room)) {
                children->replace(i, std::move(child));
                changed = true;
            }
        }
    }
    if (auto *table = element.kind.as<ElementKind::Table>()) {
        for (ReportTableColumn &column : table->columns) {
            changed =
                fitCell(column.columnHeaderElement, column.width, column.columnHeaderHeight) ||
                changed;
            changed =
                fitCell(column.detailCellElement, column.width, column.detailCellHeight) || changed;
            changed =
                fitCell(column.columnFooterElement, column.width, column.columnFooterHeight) ||
                changed;
        }
    }
    return changed;
}

bool fitContents(ElementList &list)
{
    bool changed = false;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const ElementKind &kind = list.at(i).kind;
        if (!kind.children() && !kind.is<ElementKind::Table>())
            continue;
        ReportElement element = list.at(i);
        if (fitContents(element)) {
            list.replace(i, std::move(element));
            changed = true;
        }
    }
    return changed;
}

void holdContents(ReportElement &container, const ReportElement &before)
{
    const ElementList *children = container.kind.children();
    if (!children || children->isEmpty())
        return;
    const auto hold = [](double &place, double &size, double needed, double placeBefore) {
        if (written(size) >= needed)
            return;
        // A drag of the near edge moved the place: that edge stops, the far one stays.
        if (place != placeBefore)
            place = place + size - needed;
        size = needed;
    };
    const bool isFrame = container.kind.is<ElementKind::Frame>();
    const double padding =
        isFrame ? written(container.paddingLeft) + written(container.paddingRight) : 0;
    hold(container.x, container.width,
         extent(*children, &ReportElement::x, &ReportElement::printedWidth) + padding, before.x);
    if (!isFrame)
        hold(container.y, container.height,
             extent(*children, &ReportElement::y, &ReportElement::printedHeight), before.y);
}

} // namespace ContainerRoom
