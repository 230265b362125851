#pragma once

#include "model/InheritedStyle.h"
#include "model/ReportDocument.h"

#include <array>
#include <optional>

// The room each cell of a table column gives what it holds, as the engine measures it: the
// column's width and the cell's height, less the cell's padding (its box's own, else that of the
// style it names, else that of the report's default style, up the style's chain), in whole
// points as the file writes them. The cells are the three the model holds (column header,
// detail, column footer) and those the column keeps as the file wrote them (table header and
// footer, group headers and footers).
namespace TableCellRooms {

// The paddings the report's styles give cells that say nothing themselves. The styles are
// resolved once, when a cell first needs them.
class Styles {
public:
    // No styles: only a cell's own box pads it.
    Styles() = default;
    explicit Styles(const QList<ReportStyle> &styles);

    // Whether these are the paddings of exactly these styles.
    bool isFor(const QList<ReportStyle> &styles) const { return styles_ == styles; }
    // Left, right, top and bottom padding of the style of that name, or of the report's default
    // style without one; no value for a side no style of the chain pads.
    std::array<std::optional<double>, 4> paddings(const std::optional<QString> &name) const;

private:
    QList<ReportStyle> styles_;
    mutable std::optional<QList<InheritedStyle>> resolved_;
};

// One cell of a column that the file holds.
struct Cell {
    // The cell's tag: "columnHeader", "detailCell", "columnFooter", "tableHeader",
    // "tableFooter", "groupHeader" or "groupFooter".
    QString tag;
    // The group of a group's header or footer cell.
    QString group;
    // Its padding, left and right, in whole points.
    double paddingLeft = 0;
    double paddingRight = 0;
    // Whether it holds any report element.
    bool holdsElements = false;
};

// The cells of the column the file holds, the model's three first.
QList<Cell> cellsOf(const ReportTableColumn &column, const Styles &styles);

// The narrowest width of the column at which every cell holding elements leaves them a point
// of room inside its padding, with the cell that needs it most; no value when no cell holding
// elements is padded.
std::optional<std::pair<double, Cell>> narrowest(const ReportTableColumn &column,
                                                 const Styles &styles);

// Fits every report element of every cell of the column into its cell's room
// (ContainerRoom::fitSideBySide): those a cell keeps beside the model's element count with it.
// Answers whether anything changed.
bool fit(ReportTableColumn &column, const Styles &styles);

} // namespace TableCellRooms
