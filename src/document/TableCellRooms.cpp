#include "document/TableCellRooms.h"

#include "document/ContainerRoom.h"
#include "model/JrxmlCodec.h"
#include "model/KeptLayout.h"
#include "model/StyleChain.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace TableCellRooms {

namespace {

using Column = ReportTableColumn;

// The file holds whole points, and the engine reads paddings and lengths so.
double written(double value)
{
    return std::round(value);
}

// A cell's padding on each side, left, right, top and bottom: its own box's, else its style's.
struct Padding {
    double sides[4] = {0, 0, 0, 0};
};

Padding paddingOf(const std::array<std::optional<double>, 4> &own,
                  const std::optional<QString> &style, const Styles &styles)
{
    Padding padding;
    const bool inherits = std::any_of(own.cbegin(), own.cend(),
                                      [](const std::optional<double> &side) { return !side; });
    const std::array<std::optional<double>, 4> given =
        inherits ? styles.paddings(style) : std::array<std::optional<double>, 4>{};
    for (int i = 0; i < 4; ++i)
        padding.sides[i] = std::max(written(own[i] ? *own[i] : given[i].value_or(0)), 0.0);
    return padding;
}

// The paddings the cell's own box gives: a side's own, else the box's padding.
std::array<std::optional<double>, 4> ownPaddings(const TableCellFormatting &formatting)
{
    const KeptXml &box = formatting.kept.part(u"box");
    const auto number = [&](QStringView name) -> std::optional<double> {
        const QString *text = box.attribute(name);
        bool ok = false;
        const double value = text ? text->toDouble(&ok) : 0;
        return ok ? std::optional(value) : std::nullopt;
    };
    const std::optional<double> padding = number(u"padding");
    std::array<std::optional<double>, 4> sides;
    const QStringView names[] = {u"leftPadding", u"rightPadding", u"topPadding", u"bottomPadding"};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> side = number(names[i]);
        sides[i] = side ? side : padding;
    }
    return sides;
}

std::array<std::optional<double>, 4> ownPaddings(const KeptLayout::Cell &cell)
{
    return {cell.paddings[0], cell.paddings[1], cell.paddings[2], cell.paddings[3]};
}

ContainerRoom::Room roomOf(double width, std::optional<double> height, const Padding &padding)
{
    return {written(width) - padding.sides[0] - padding.sides[1],
            height ? std::optional(written(*height) - padding.sides[2] - padding.sides[3])
                   : std::nullopt};
}

const char *const modelTags[] = {"columnHeader", "detailCell", "columnFooter"};
constexpr Column::Cell modelCells[] = {Column::Cell::header, Column::Cell::detail,
                                       Column::Cell::footer};

// The report elements a cell the model holds keeps beside its element, by kept child.
QList<QList<KeptLayout::Box>> keptBeside(const TableCellFormatting &formatting)
{
    QList<QList<KeptLayout::Box>> boxes;
    for (const KeptXml::Child &child : formatting.kept.part({}).children)
        boxes.append(KeptLayout::elements(child.xml));
    return boxes;
}

// Fits the element of a cell the model holds and those it keeps beside it.
bool fitModelCell(Column &column, Column::Cell which, const Styles &styles)
{
    TableCellFormatting &formatting = column.formatting(which);
    SharedOptional<ReportElement> &cell = column.element(which);
    QList<QList<KeptLayout::Box>> kept = keptBeside(formatting);
    QList<ReportElement> elements;
    if (cell)
        elements.append(*cell);
    for (const QList<KeptLayout::Box> &boxes : std::as_const(kept)) {
        for (const KeptLayout::Box &box : boxes)
            elements.append(ContainerRoom::asElement(box));
    }
    if (elements.isEmpty())
        return false;
    const Padding padding = paddingOf(ownPaddings(formatting), formatting.styleName, styles);
    const QList<ReportElement> before = elements;
    if (!ContainerRoom::fitSideBySide(elements, roomOf(column.width, column.height(which), padding),
                                      styles))
        return false;
    qsizetype at = 0;
    if (cell) {
        if (!(elements.at(at) == before.at(at)))
            cell = elements.at(at);
        ++at;
    }
    KeptXml own = formatting.kept.part({});
    bool keptChanged = false;
    for (qsizetype c = 0; c < kept.size(); ++c) {
        QList<KeptLayout::Box> &boxes = kept[c];
        bool moved = false;
        for (KeptLayout::Box &box : boxes) {
            moved = moved || !(elements.at(at) == before.at(at));
            ContainerRoom::takePlaces(box, elements.at(at++));
        }
        if (!moved)
            continue;
        if (const std::optional<QString> fitted =
                KeptLayout::withElements(own.children.at(c).xml, boxes)) {
            own.children[c].xml = *fitted;
            keptChanged = true;
        }
    }
    if (keptChanged)
        formatting.kept.setPart({}, std::move(own));
    return true;
}

// Fits the elements of the cells the column keeps as the file wrote them.
bool fitKeptCells(Column &column, const Styles &styles)
{
    KeptXml own = column.kept.part({});
    bool changed = false;
    for (KeptXml::Child &child : own.children) {
        // Most kept children are no cell: they are not read at all.
        if (!child.xml.contains(u"Header"_s) && !child.xml.contains(u"Footer"_s))
            continue;
        QList<KeptLayout::Cell> cells = KeptLayout::columnCells(child.xml);
        bool moved = false;
        for (KeptLayout::Cell &cell : cells) {
            QList<ReportElement> elements;
            for (const KeptLayout::Box &box : std::as_const(cell.elements))
                elements.append(ContainerRoom::asElement(box));
            const Padding padding = paddingOf(ownPaddings(cell), cell.style, styles);
            if (!ContainerRoom::fitSideBySide(elements, roomOf(column.width, cell.height, padding),
                                              styles))
                continue;
            for (qsizetype i = 0; i < elements.size(); ++i)
                ContainerRoom::takePlaces(cell.elements[i], elements.at(i));
            moved = true;
        }
        if (!moved)
            continue;
        if (const std::optional<QString> fitted = KeptLayout::withColumnCells(child.xml, cells)) {
            child.xml = *fitted;
            changed = true;
        }
    }
    if (changed)
        column.kept.setPart({}, std::move(own));
    return changed;
}

} // namespace

Styles::Styles(const QList<ReportStyle> &styles) : styles_(styles) {}

std::array<std::optional<double>, 4> Styles::paddings(const std::optional<QString> &name) const
{
    const ReportStyle *style =
        name ? StyleChain::named(styles_, *name) : StyleChain::defaultStyle(styles_);
    if (!style)
        return {};
    if (!resolved_)
        resolved_ = JrxmlCodec::inheritedStyles(styles_);
    const qsizetype index = style - styles_.constData();
    if (index < 0 || index >= resolved_->size())
        return {};
    const InheritedStyle &given = resolved_->at(index);
    return {given.paddings[0], given.paddings[1], given.paddings[2], given.paddings[3]};
}

QList<Cell> cellsOf(const ReportTableColumn &column, const Styles &styles)
{
    QList<Cell> cells;
    for (int i = 0; i < 3; ++i) {
        const Column::Cell which = modelCells[i];
        if (!column.holds(which))
            continue;
        const TableCellFormatting &formatting = column.formatting(which);
        const Padding padding = paddingOf(ownPaddings(formatting), formatting.styleName, styles);
        bool holds = column.element(which).has_value();
        for (const QList<KeptLayout::Box> &boxes : keptBeside(formatting))
            holds = holds || !boxes.isEmpty();
        cells.append(
            {QString::fromLatin1(modelTags[i]), {}, padding.sides[0], padding.sides[1], holds});
    }
    for (const KeptXml::Child &child : column.kept.part({}).children) {
        for (const KeptLayout::Cell &cell : KeptLayout::columnCells(child.xml)) {
            const Padding padding = paddingOf(ownPaddings(cell), cell.style, styles);
            cells.append({cell.tag, cell.group, padding.sides[0], padding.sides[1],
                          !cell.elements.isEmpty()});
        }
    }
    return cells;
}

std::optional<std::pair<double, Cell>> narrowest(const ReportTableColumn &column,
                                                 const Styles &styles)
{
    std::optional<std::pair<double, Cell>> found;
    for (const Cell &cell : cellsOf(column, styles)) {
        const double padding = cell.paddingLeft + cell.paddingRight;
        if (cell.holdsElements && padding > 0 && (!found || padding + 1 > found->first))
            found = std::pair(padding + 1, cell);
    }
    return found;
}

bool fit(ReportTableColumn &column, const Styles &styles)
{
    bool changed = false;
    for (const Column::Cell which : modelCells)
        changed = fitModelCell(column, which, styles) || changed;
    return fitKeptCells(column, styles) || changed;
}

} // namespace TableCellRooms
