#pragma once

#include "document/TableCellRooms.h"
#include "model/KeptLayout.h"
#include "model/ReportElement.h"

#include <QPointF>
#include <QSizeF>
#include <optional>

// The room a frame, a list, a table cell or a crosstab's no-data cell gives the elements it
// holds, as the engine measures it on the values the file is written with (whole points), and
// the moves that keep an element within it. The engine refuses a report in which an element
// reaches past the right edge of its frame's room (the frame's width less its left and right
// padding; it does not check the height), past the right or bottom edge of its list's contents
// (the list's own size), past either edge of its table cell (also one kept as the file wrote
// it: a table, group header or footer cell, as wide as its column), or past either edge of the
// crosstab whose no-data cell holds it, and an element of a list at a negative place. A frame's
// padding leaves it no less than no room. A line's side of 0 takes one point there.
namespace ContainerRoom {

struct Room {
    double width = 0;
    // No value where the engine does not bound the height (a frame).
    std::optional<double> height;
};

// The room of a frame or list; no value for every other kind.
std::optional<Room> of(const ReportElement &container);

// Whether an element put into the frame or list could print there: the room is at least a point
// wide, and a point high where the engine bounds the height. A frame whose padding fills its
// width, or a list whose contents are less than a point wide or high, leaves none: what went in
// would be cut to nothing (or, a line, refused by the engine).
bool leavesRoom(const ReportElement &container);

// The width and height inside a frame (less its padding) or a list: where aligning in the
// container places an element.
QSizeF innerSize(const ReportElement &container);

// Where the elements a frame or list holds are measured from, in the container's own points: a
// frame's left and top padding, as the engine prints its children inside it; (0, 0) for a list.
QPointF contentsOrigin(const ReportElement &container);

// Moves the element into the room, and shrinks it where it cannot fit; an element that holds
// others then fits them into its own new room. `before` is the element before the edit that
// placed it, when there was one: a size that grew with the place kept (a resize) stops at the
// edge instead of moving the element. The styles give table cells their padding where their own
// box gives none. Answers whether the element changed.
bool fitInto(ReportElement &element, const Room &room, const ReportElement *before = nullptr,
             const TableCellRooms::Styles &styles = {});

// Fits what the element holds (children of a frame or list at any depth, the elements of a
// table's cells, kept ones too, and of a crosstab's no-data cell) into their rooms; a frame's
// padding first gives up what its width lacks. Answers whether anything changed.
bool fitContents(ReportElement &element, const TableCellRooms::Styles &styles = {});

// The same for every element of a band's list.
bool fitContents(ElementList &list, const TableCellRooms::Styles &styles = {});

// Fits elements that stand side by side in one room (a table cell's) together: where they reach
// past its right edge, their places and widths shrink in proportion, so that they keep their
// order from left to right and what did not overlap does not; then each is fitted into the room
// as fitInto() fits it. Answers whether any changed.
bool fitSideBySide(QList<ReportElement> &elements, const Room &room,
                   const TableCellRooms::Styles &styles = {});

// A report element kept as the file wrote it, as the fit takes it (a frame with its children,
// a line, any other element), and the places and sizes the fit gave it back onto its box.
ReportElement asElement(const KeptLayout::Box &box);
void takePlaces(KeptLayout::Box &box, const ReportElement &element);

// A frame or list that an edit made smaller than what it holds grows back to hold it, as a band
// does; when the edit moved its left or top edge, that edge stops instead. Padding that grew
// widens a frame. `before` is the element before the edit.
void holdContents(ReportElement &container, const ReportElement &before);

} // namespace ContainerRoom
