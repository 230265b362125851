#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// Where the report elements stand that content kept as the file wrote it holds in its cells (a
// table column's table, group header and footer cells, a crosstab's no-data cell): their places
// and sizes as their reportElement lines write them, so that an edit of what holds a cell can
// keep them within its room. Writing them back changes those attributes and nothing else of the
// text.
namespace KeptLayout {

// One report element of a cell, said to be a line where it is one (the engine lays a line's
// side of 0 out as one point). A frame also has the padding its own box writes (a style's is
// not looked at) and the report elements it holds. Element groups are looked through: their
// elements stand in the cell or frame that holds the group.
struct Box {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool isLine = false;
    bool isFrame = false;
    double paddingLeft = 0;
    double paddingRight = 0;
    QList<Box> children;
    bool operator==(const Box &) const = default;
};

// One cell: its own height, when it writes one, and its report elements. A cell of a table
// column also has the style it names and the paddings its own box gives it, left, right, top and
// bottom (a side's own, else the box's padding; no value where the box gives none), and where it
// stands: the tag of the column's child that holds it ("tableHeader", "groupFooter"…) and, in a
// group's header or footer, the group's name.
struct Cell {
    std::optional<double> height;
    QList<Box> elements;
    std::optional<QString> style;
    std::optional<double> paddings[4];
    QString tag;
    QString group;
    bool operator==(const Cell &) const = default;
};

// Which elements of a fragment are cells: those of the local name `name`, and with `within`
// only those directly inside an element of that local name. Cells inside a cell are not looked
// at.
struct CellName {
    QStringView name;
    QStringView within;
};

// The cells of the fragment (elements one after another), in document order; none when the text
// is not XML.
QList<Cell> cells(const QString &xml, CellName which);

// The fragment with the places and sizes of `changed`, the cells as cells() read them with some
// boxes moved or resized, written back; no value when nothing differs, when the cells do not
// match the fragment's, or when the text is not XML.
std::optional<QString> withCells(const QString &xml, CellName which, const QList<Cell> &changed);

// The cells of one child a table column keeps as the file wrote it: a table header or footer is
// a cell itself, a group header or footer holds one; any other child holds none. Cells of what
// stands inside a cell (a table in it) are not looked at. And the child with the places and sizes
// of `changed` written back, as withCells() writes them.
QList<Cell> columnCells(const QString &child);
std::optional<QString> withColumnCells(const QString &child, const QList<Cell> &changed);

// The report elements that stand in the fragment itself, one after another (as a table cell
// keeps those beside the element the model holds), and the fragment with the places and sizes of
// `changed` written back, as cells() and withCells() read and write those of a cell.
QList<Box> elements(const QString &xml);
std::optional<QString> withElements(const QString &xml, const QList<Box> &changed);

} // namespace KeptLayout
