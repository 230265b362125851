#pragma once

#include "document/DocumentStore.h"
#include "model/LengthVerdict.h"
#include "model/MeasurementUnit.h"

// What the length fields of the panels take: lengths a report can hold and the engine accepts.
// Each check answers the length to store, or refuses it, with the message the field shows; the
// limits in messages are given in the unit the field shows.
namespace LengthLimits {

// Any length: a finite number within what a report file can carry.
LengthVerdict anyLength(double points, MeasurementUnit unit);

// The place and size of an element, as its Frame card edits them.
enum class ElementLength { x, y, width, height };
// Off the page or beyond it is refused, and so is a negative size. An element standing in a band
// grows the band to hold it: its bottom stays within the highest the band can be on the page. An
// element inside a frame or list stays within its room: a length that would reach past it is
// taken as the store keeps it, and the message says why.
LengthVerdict elementLength(const DocumentStore &store, const QUuid &elementID, ElementLength which,
                            double points, MeasurementUnit unit);

// A table column's width, in points as the Columns card takes it: a length a report can hold,
// 0 or more, which the engine reads as a whole number.
LengthVerdict columnWidth(double points);
// The same for the column of a table of the store's report, and no narrower than each of its
// cells that holds elements needs to leave them a point inside its padding
// (TableCellRooms::narrowest): a narrower width is refused with words that name the cell.
LengthVerdict columnWidth(const DocumentStore &store, const ReportTableColumn &column,
                          double points);
// What a cell of a table column is called where words name it ("table footer cell",
// "group header cell of Category").
QString cellName(const TableCellRooms::Cell &cell);

// A band's height: never below the lowest element's bottom (a lower height stops there), never
// above what the page holds with its margins and the bands printed with it (refused). A report
// of parts has no band to give a height (refused).
LengthVerdict bandHeight(const DocumentStore &store, const BandTarget &target, double points,
                         MeasurementUnit unit);

// The Band Height field's words for a band the page holds at most `largest` points high (none,
// below 0), with its margins and the bands printed with it.
QString bandLimitWords(double largest, MeasurementUnit unit);

// Why nothing goes into the frame or list `container`, which leaves no room for an element to
// print in (ContainerRoom::leavesRoom): what its padding or its contents leave, and what gives
// room.
QString noRoomWords(const ReportElement &container, MeasurementUnit unit);

// A page length of the report (its size, margins, column width or spacing): sizes of at least
// 1 point and at most what a PDF page holds (a file's larger page may be lowered), no negative
// margin, width or spacing, a page wider than its side margins and higher than its top and
// bottom ones, columns that fit the page's width and bands its height.
LengthVerdict pageLength(const ReportDocument &document, double ReportDocument::*field,
                         double points, MeasurementUnit unit);

// A page size for a new report, which takes the store's default margins and bands: the size
// with the typed length in its place, and which of the two (pageWidth or pageHeight) was typed.
LengthVerdict newReportPageSize(double width, double height, double ReportDocument::*typed,
                                MeasurementUnit unit);

} // namespace LengthLimits
