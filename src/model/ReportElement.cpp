#include "ReportElement.h"

#include "Identifiers.h"

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
    // A row's height: that of the first column with a cell in the row.
    const auto rowHeight = [&](double ReportTableColumn::*height,
                               SharedOptional<ReportElement> ReportTableColumn::*element,
                               TableCellFormatting ReportTableColumn::*formatting,
                               bool alwaysWritten) {
        for (const ReportTableColumn &other : columns) {
            if (alwaysWritten || other.*element || other.*formatting != TableCellFormatting{}) {
                column.*height = other.*height;
                return;
            }
        }
    };
    rowHeight(&ReportTableColumn::columnHeaderHeight, &ReportTableColumn::columnHeaderElement,
              &ReportTableColumn::columnHeaderFormatting, false);
    rowHeight(&ReportTableColumn::detailCellHeight, &ReportTableColumn::detailCellElement,
              &ReportTableColumn::detailCellFormatting, true);
    rowHeight(&ReportTableColumn::columnFooterHeight, &ReportTableColumn::columnFooterElement,
              &ReportTableColumn::columnFooterFormatting, false);
    return column;
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
