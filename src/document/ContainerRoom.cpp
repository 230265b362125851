#include "document/ContainerRoom.h"

#include "model/KeptLayout.h"

#include <algorithm>
#include <cmath>
#include <functional>

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

// A frame's left and right padding leave it a room of no less than nothing: a frame narrowed
// past its padding, or given more padding than its width, takes the padding down with it, each
// side in proportion, in whole points as the file writes them.
bool keepPaddingWithin(ReportElement &frame)
{
    const double width = std::max(written(frame.width), 0.0);
    const double left = std::max(written(frame.paddingLeft), 0.0);
    const double right = std::max(written(frame.paddingRight), 0.0);
    if (left + right <= width)
        return false;
    frame.paddingLeft = std::floor(left * width / (left + right));
    frame.paddingRight = std::min(right, width - frame.paddingLeft);
    return true;
}

// Fits kept report elements into the room; whether any moved.
bool fitBoxes(QList<KeptLayout::Box> &boxes, const Room &room)
{
    bool moved = false;
    for (KeptLayout::Box &box : boxes) {
        ReportElement element = asElement(box);
        if (fitInto(element, room)) {
            takePlaces(box, element);
            moved = true;
        }
    }
    return moved;
}

// Fits the report elements of the cells of kept XML into the room each cell gives them.
bool fitKeptCells(QString &xml, KeptLayout::CellName which,
                  const std::function<Room(const KeptLayout::Cell &)> &roomOf)
{
    // Most kept content holds no such cell: it is not read at all.
    if (!xml.contains(which.within.isEmpty() ? which.name : which.within))
        return false;
    QList<KeptLayout::Cell> cells = KeptLayout::cells(xml, which);
    bool changed = false;
    for (KeptLayout::Cell &cell : cells)
        changed = fitBoxes(cell.elements, roomOf(cell)) || changed;
    if (!changed)
        return false;
    const std::optional<QString> fitted = KeptLayout::withCells(xml, which, cells);
    if (!fitted)
        return false;
    xml = *fitted;
    return true;
}

// A line's side written as 0 takes one point, as the engine lays it out.
double measuredWidth(const ReportElement &element)
{
    const double side = written(element.width);
    return element.kind.is<ElementKind::Line>() && side == 0 ? 1.0 : side;
}

} // namespace

ReportElement asElement(const KeptLayout::Box &box)
{
    ReportElement element;
    element.x = box.x;
    element.y = box.y;
    element.width = box.width;
    element.height = box.height;
    if (box.isLine)
        element.kind = ElementKind::Line{};
    if (box.isFrame) {
        ElementList children;
        for (const KeptLayout::Box &child : box.children)
            children.append(asElement(child));
        element.kind = ElementKind::Frame{children};
        element.paddingLeft = box.paddingLeft;
        element.paddingRight = box.paddingRight;
    }
    return element;
}

void takePlaces(KeptLayout::Box &box, const ReportElement &element)
{
    box.x = element.x;
    box.y = element.y;
    box.width = element.width;
    box.height = element.height;
    const ElementList *children = element.kind.children();
    for (qsizetype i = 0; children && i < box.children.size() && i < children->size(); ++i)
        takePlaces(box.children[i], children->at(i));
}

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

bool leavesRoom(const ReportElement &container)
{
    const std::optional<Room> room = of(container);
    return room && room->width >= 1 && (!room->height || *room->height >= 1);
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

QPointF contentsOrigin(const ReportElement &container)
{
    if (container.kind.is<ElementKind::Frame>())
        return QPointF(written(container.paddingLeft), written(container.paddingTop));
    return {};
}

bool fitInto(ReportElement &element, const Room &room, const ReportElement *before,
             const TableCellRooms::Styles &styles)
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
    return fitContents(element, styles) || placed;
}

bool fitContents(ReportElement &element, const TableCellRooms::Styles &styles)
{
    bool changed = element.kind.is<ElementKind::Frame>() && keepPaddingWithin(element);
    if (ElementList *children = element.kind.children()) {
        const Room room = *of(element);
        for (qsizetype i = 0; i < children->size(); ++i) {
            ReportElement child = children->at(i);
            if (fitInto(child, room, nullptr, styles)) {
                children->replace(i, std::move(child));
                changed = true;
            }
        }
    }
    if (auto *table = element.kind.as<ElementKind::Table>()) {
        for (ReportTableColumn &column : table->columns)
            changed = TableCellRooms::fit(column, styles) || changed;
    }
    // What a crosstab prints when it has no data stands within the crosstab.
    if (auto *crosstab = element.kind.as<ElementKind::Crosstab>()) {
        const Room room{written(element.width), written(element.height)};
        changed = fitKeptCells(crosstab->bodyXML, {u"cellContents", u"whenNoDataCell"},
                               [&](const KeptLayout::Cell &) { return room; }) ||
                  changed;
    }
    return changed;
}

bool fitContents(ElementList &list, const TableCellRooms::Styles &styles)
{
    bool changed = false;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const ElementKind &kind = list.at(i).kind;
        if (!kind.children() && !kind.is<ElementKind::Table>() && !kind.is<ElementKind::Crosstab>())
            continue;
        ReportElement element = list.at(i);
        if (fitContents(element, styles)) {
            list.replace(i, std::move(element));
            changed = true;
        }
    }
    return changed;
}

bool fitSideBySide(QList<ReportElement> &elements, const Room &room,
                   const TableCellRooms::Styles &styles)
{
    const double width = std::max(room.width, 0.0);
    double far = 0;
    for (const ReportElement &element : std::as_const(elements))
        far = std::max(far, std::max(written(element.x), 0.0) + measuredWidth(element));
    bool changed = false;
    if (far > width) {
        // Each edge in proportion, rounded as the file writes it: an edge left of another stays
        // left of it, and the farthest lands on the room's edge.
        const double scale = width / far;
        for (ReportElement &element : elements) {
            const double left = std::max(written(element.x), 0.0);
            const double right = left + measuredWidth(element);
            const double x = std::round(left * scale);
            const double across =
                element.kind.is<ElementKind::Line>() && written(element.width) == 0
                    ? element.width
                    : std::round(right * scale) - x;
            if (x != element.x || across != element.width) {
                element.x = x;
                element.width = across;
                changed = true;
            }
        }
    }
    for (ReportElement &element : elements)
        changed = fitInto(element, room, nullptr, styles) || changed;
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
