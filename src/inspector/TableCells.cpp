#include "inspector/TableCells.h"

#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "model/Identifiers.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace TableCells {

TableCellKind kindOf(const SharedOptional<ReportElement> &cell)
{
    if (!cell)
        return TableCellKind::none;
    if (cell->kind.is<ElementKind::StaticText>())
        return TableCellKind::staticText;
    if (cell->kind.is<ElementKind::TextField>())
        return TableCellKind::textField;
    return TableCellKind::none;
}

ReportField placeholderField()
{
    ReportField field;
    field.name = u"field"_s;
    field.className = u"java.lang.String"_s;
    return field;
}

QString cellField(const ReportDocument &document, const QString &dataset, bool *declare)
{
    if (declare)
        *declare = false;
    for (const ReportSubDataset &subDataset : document.subDatasets) {
        if (subDataset.name != dataset)
            continue;
        if (!subDataset.fields.isEmpty())
            return subDataset.fields.first().name;
        if (declare)
            *declare = true;
        break;
    }
    return placeholderField().name;
}

std::optional<ReportElement> newElement(TableCellKind kind, bool blankWhenNull,
                                        const QString &field)
{
    if (kind == TableCellKind::none)
        return std::nullopt;
    ReportElement element;
    element.id = newId();
    element.width = 80;
    element.height = 20;
    element.fontName = u"SansSerif"_s;
    element.fontSize = 10;
    element.penWidth = 1.0;
    element.evaluationTime = u"Now"_s;
    element.stretchType = StretchType::noStretch;
    element.positionType = PositionType::fixRelativeToTop;
    element.isUsingCache = true;
    element.runToBottom = true;
    if (kind == TableCellKind::staticText) {
        element.kind = ElementKind::StaticText{u"Label"_s};
        element.isBlankWhenNull = false;
    } else {
        element.kind = ElementKind::TextField{u"$F{"_s + field + u'}'};
        element.isBlankWhenNull = blankWhenNull;
    }
    return element;
}

QString content(const ReportElement &element)
{
    if (const auto *text = element.kind.as<ElementKind::StaticText>())
        return text->text;
    if (const auto *field = element.kind.as<ElementKind::TextField>())
        return field->expression;
    return {};
}

void setContent(ReportElement &element, const QString &text)
{
    if (auto *staticText = element.kind.as<ElementKind::StaticText>())
        staticText->text = text;
    else if (auto *field = element.kind.as<ElementKind::TextField>())
        field->expression = text;
}

QString widthText(double width, const QLocale &locale)
{
    // Decimal style: grouped, at most three fraction digits, no trailing zeros.
    const double rounded = std::abs(width) < 1e12 ? std::round(width * 1000) / 1000 : width;
    return locale.toString(rounded, 'f', QLocale::FloatingPointShortest);
}

std::optional<double> parseWidth(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double width = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(width))
        return std::nullopt;
    return width;
}

LengthVerdict commitWidth(const ElementWriter &writer, const QUuid &column, const QString &text,
                          const QLocale &locale)
{
    const std::optional<double> width = parseWidth(text, locale);
    const std::optional<ReportElement> table = writer.current();
    const auto *payload = table ? table->kind.as<ElementKind::Table>() : nullptr;
    if (!width || !payload)
        return LengthVerdict::refuse({});
    const auto found =
        std::find_if(payload->columns.cbegin(), payload->columns.cend(),
                     [&](const ReportTableColumn &candidate) { return candidate.id == column; });
    if (found == payload->columns.cend())
        return LengthVerdict::refuse({});
    const LengthVerdict verdict = LengthLimits::columnWidth(*writer.store(), *found, *width);
    if (verdict.points) {
        writer.updatePayload<ElementKind::Table>([&](ElementKind::Table &written) {
            for (ReportTableColumn &c : written.columns) {
                if (c.id == column)
                    c.width = *verdict.points;
            }
        });
    }
    return verdict;
}

SharedOptional<ReportElement> &element(ReportTableColumn &column, Cell cell)
{
    return column.element(cell);
}

const SharedOptional<ReportElement> &element(const ReportTableColumn &column, Cell cell)
{
    return column.element(cell);
}

void pick(QList<ReportTableColumn> &columns, const QUuid &id, Cell cell, TableCellKind kind,
          bool blankWhenNull, const QString &field)
{
    for (ReportTableColumn &column : columns) {
        if (column.id != id || kindOf(column.element(cell)) == kind)
            continue;
        const bool held = column.holds(cell);
        column.element(cell) = newElement(kind, blankWhenNull, field);
        if (!held)
            column.joinRow(columns, cell);
    }
}

bool removeColumn(QList<ReportTableColumn> &columns, const QUuid &id)
{
    if (columns.size() < 2)
        return false;
    return columns.removeIf([&](const ReportTableColumn &column) { return column.id == id; }) > 0;
}

void pick(const ElementWriter &writer, const QUuid &id, Cell cell, TableCellKind kind,
          bool blankWhenNull)
{
    const std::optional<ReportElement> element = writer.current();
    const auto *table = element ? element->kind.as<ElementKind::Table>() : nullptr;
    if (!table)
        return;
    // A text field names a field of the table's dataset; one without fields gets the placeholder
    // declared in the same step (both edits of the table's one run).
    bool declare = false;
    const QString field = cellField(writer.store()->document(), table->datasetName, &declare);
    const auto shown = std::find_if(table->columns.cbegin(), table->columns.cend(),
                                    [&](const ReportTableColumn &c) { return c.id == id; });
    if (kind == TableCellKind::textField && declare && shown != table->columns.cend() &&
        kindOf(shown->element(cell)) != kind) {
        const QString dataset = table->datasetName;
        writer.store()->editDocument(writer.elementID(), [&](ReportDocument &d) {
            for (ReportSubDataset &subDataset : d.subDatasets) {
                if (subDataset.name == dataset) {
                    subDataset.fields.append(placeholderField());
                    return;
                }
            }
        });
    }
    writer.updatePayload<ElementKind::Table>([&](ElementKind::Table &written) {
        pick(written.columns, id, cell, kind, blankWhenNull, field);
    });
}

} // namespace TableCells
