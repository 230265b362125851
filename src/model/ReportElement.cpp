#include "ReportElement.h"

#include "Identifiers.h"

#include <cmath>

using namespace Qt::StringLiterals;

bool ElementKind::Frame::operator==(const Frame &other) const
{
    return children == other.children;
}

ReportTableColumn ReportTableColumn::blank()
{
    ReportTableColumn column;
    column.id = newId();
    column.width = 100;
    column.columnHeaderHeight = 20;
    column.detailCellHeight = 20;
    column.columnFooterHeight = 20;
    return column;
}

ReportTableColumn ReportTableColumn::blankFor(const QList<ReportTableColumn> &columns)
{
    ReportTableColumn column = blank();
    for (const Cell cell : {Cell::header, Cell::detail, Cell::footer}) {
        if (const ReportTableColumn *row = rowOf(columns, cell))
            column.height(cell) = row->height(cell);
    }
    return column;
}

namespace {

// The member of one of a column's cells, for a column const or not.
template <typename Column, typename Header, typename Detail, typename Footer>
auto &ofCell(Column &column, ReportTableColumn::Cell cell, Header header, Detail detail,
             Footer footer)
{
    switch (cell) {
    case ReportTableColumn::Cell::header:
        return column.*header;
    case ReportTableColumn::Cell::footer:
        return column.*footer;
    case ReportTableColumn::Cell::detail:
        break;
    }
    return column.*detail;
}

template <typename Column> auto &heightOf(Column &column, ReportTableColumn::Cell cell)
{
    return ofCell(column, cell, &ReportTableColumn::columnHeaderHeight,
                  &ReportTableColumn::detailCellHeight, &ReportTableColumn::columnFooterHeight);
}

template <typename Column> auto &elementOf(Column &column, ReportTableColumn::Cell cell)
{
    return ofCell(column, cell, &ReportTableColumn::columnHeaderElement,
                  &ReportTableColumn::detailCellElement, &ReportTableColumn::columnFooterElement);
}

template <typename Column> auto &formattingOf(Column &column, ReportTableColumn::Cell cell)
{
    return ofCell(column, cell, &ReportTableColumn::columnHeaderFormatting,
                  &ReportTableColumn::detailCellFormatting,
                  &ReportTableColumn::columnFooterFormatting);
}

} // namespace

double &ReportTableColumn::height(Cell cell)
{
    return heightOf(*this, cell);
}

double ReportTableColumn::height(Cell cell) const
{
    return heightOf(*this, cell);
}

SharedOptional<ReportElement> &ReportTableColumn::element(Cell cell)
{
    return elementOf(*this, cell);
}

const SharedOptional<ReportElement> &ReportTableColumn::element(Cell cell) const
{
    return elementOf(*this, cell);
}

TableCellFormatting &ReportTableColumn::formatting(Cell cell)
{
    return formattingOf(*this, cell);
}

const TableCellFormatting &ReportTableColumn::formatting(Cell cell) const
{
    return formattingOf(*this, cell);
}

bool ReportTableColumn::holds(Cell cell) const
{
    return cell == Cell::detail || element(cell) || formatting(cell) != TableCellFormatting{};
}

const ReportTableColumn *ReportTableColumn::rowOf(const QList<ReportTableColumn> &columns,
                                                  Cell cell, const QUuid &except)
{
    for (const ReportTableColumn &other : columns) {
        if (other.id != except && other.holds(cell))
            return &other;
    }
    return nullptr;
}

void ReportTableColumn::joinRow(const QList<ReportTableColumn> &columns, Cell cell)
{
    const ReportTableColumn *row = rowOf(columns, cell, id);
    if (!row)
        return;
    height(cell) = row->height(cell);
    // The row span stands among the cell's kept attributes, as the file gave it.
    const QString rowSpan = u"rowSpan"_s;
    const QString *span = row->formatting(cell).kept.part({}).attribute(rowSpan);
    KeptXml own = formatting(cell).kept.part({});
    const QString *ownSpan = own.attribute(rowSpan);
    if ((span ? *span : QString()) == (ownSpan ? *ownSpan : QString()))
        return;
    own.removeAttribute(rowSpan);
    if (span)
        own.attributes.append({rowSpan, *span});
    formatting(cell).kept.setPart({}, std::move(own));
}

void ElementKind::Table::renewIdentifiers()
{
    kept.removeUuids();
    for (KeptColumnGroup &group : keptColumnGroups)
        group.xml = KeptXml::withoutUuids(group.xml);
    for (ReportTableColumn &column : columns) {
        const QUuid renewed = newId();
        for (KeptColumnGroup &group : keptColumnGroups) {
            if (group.beforeColumn == column.id)
                group.beforeColumn = renewed;
        }
        column.id = renewed;
        column.kept.removeUuids();
        for (TableCellFormatting *cell :
             {&column.columnHeaderFormatting, &column.detailCellFormatting,
              &column.columnFooterFormatting})
            cell->kept.removeUuids();
    }
}

bool ElementKind::List::operator==(const List &other) const
{
    return datasetName == other.datasetName && connectionExpression == other.connectionExpression &&
           printOrder == other.printOrder && parameters == other.parameters &&
           children == other.children && prefix == other.prefix && kept == other.kept;
}

const ElementList *ElementKind::children() const
{
    if (const auto *frame = as<Frame>())
        return &frame->children;
    if (const auto *list = as<List>())
        return &list->children;
    return nullptr;
}

ElementList *ElementKind::children()
{
    if (auto *frame = as<Frame>())
        return &frame->children;
    if (auto *list = as<List>())
        return &list->children;
    return nullptr;
}

QString ElementKind::displayName() const
{
    struct Namer {
        QString operator()(const StaticText &) const { return QStringLiteral("Static Text"); }
        QString operator()(const TextField &) const { return QStringLiteral("Text Field"); }
        QString operator()(const Image &) const { return QStringLiteral("Image"); }
        QString operator()(const Subreport &) const { return QStringLiteral("Subreport"); }
        QString operator()(const Frame &) const { return QStringLiteral("Frame"); }
        QString operator()(const List &) const { return QStringLiteral("List"); }
        QString operator()(const Table &) const { return QStringLiteral("Table"); }
        QString operator()(const ReportBreak &b) const
        {
            return (b.type == BreakType::column ? QStringLiteral("Column")
                                                : QStringLiteral("Page")) +
                   QStringLiteral(" Break");
        }
        QString operator()(const Chart &c) const
        {
            return QStringLiteral("Chart (") + c.tag + QLatin1Char(')');
        }
        QString operator()(const Crosstab &) const { return QStringLiteral("Crosstab"); }
        QString operator()(const ComponentPlaceholder &c) const
        {
            return QStringLiteral("Barcode (") + c.tag + QLatin1Char(')');
        }
        QString operator()(const GenericElement &) const
        {
            return QStringLiteral("Generic Element");
        }
        QString operator()(const Rectangle &) const { return QStringLiteral("Rectangle"); }
        QString operator()(const Ellipse &) const { return QStringLiteral("Ellipse"); }
        QString operator()(const Line &) const { return QStringLiteral("Line"); }
    };
    return std::visit(Namer{}, payload);
}

namespace {

double printedSide(const ElementKind &kind, double side)
{
    // A length below one half is written as the whole number 0.
    return kind.is<ElementKind::Line>() && std::abs(side) < 0.5 ? 1.0 : side;
}

} // namespace

double ReportElement::printedWidth() const
{
    return printedSide(kind, width);
}

double ReportElement::printedHeight() const
{
    return printedSide(kind, height);
}
