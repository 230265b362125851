#include "inspector/InspectorTexts.h"

using namespace Qt::StringLiterals;

namespace InspectorTexts {

QString counted(qsizetype count, const QString &noun)
{
    return QString::number(count) + u' ' + noun + (count == 1 ? QString() : u"s"_s);
}

QString multiSelectionTitle(qsizetype count)
{
    return QString::number(count) + u" Elements Selected"_s;
}

QString multiSelectionHint()
{
    return u"Use the Align/Distribute toolbar above the canvas, or Duplicate/Delete from the "
           u"toolbar."_s;
}

QString reportHeader(const QString &reportName)
{
    return u"Report: "_s + (reportName.isEmpty() ? u"Untitled"_s : reportName);
}

QString reportSummary(qsizetype parameters, qsizetype fields, qsizetype groups)
{
    return counted(parameters, u"parameter"_s) + u", "_s + counted(fields, u"field"_s) + u", "_s +
           counted(groups, u"group"_s) + u'.';
}

QString reportHint()
{
    return u"Use File > Page Setup for margins, columns, and pagination; the Data panel for the "
           u"query, parameters, and fields."_s;
}

QString bandHeader(const QString &bandLabel)
{
    return u"Band: "_s + bandLabel;
}

QString bandHint()
{
    return u"Select an element to edit its properties, or use the palette above the canvas to "
           u"add one to this band."_s;
}

QString noStyleEntry()
{
    return u"(None - direct formatting)"_s;
}

QString positionLabel(PositionType type)
{
    switch (type) {
    case PositionType::float_:
        return u"Float"_s;
    case PositionType::fixRelativeToTop:
        return u"Fix Relative To Top"_s;
    case PositionType::fixRelativeToBottom:
        return u"Fix Relative To Bottom"_s;
    }
    return {};
}

QString positionHelp()
{
    return u"How this element behaves when its band/container stretches - \"Float\" moves along "
           u"with the growth of surrounding elements, the Fix options keep a fixed distance from "
           u"the band's top/bottom edge"_s;
}

QString stretchLabel(StretchType type)
{
    switch (type) {
    case StretchType::noStretch:
        return u"No Stretch"_s;
    case StretchType::relativeToBandHeight:
        return u"Relative To Band Height (deprecated)"_s;
    case StretchType::relativeToTallestObject:
        return u"Relative To Tallest Object (deprecated)"_s;
    case StretchType::elementGroupBottom:
        return u"Element Group Bottom"_s;
    case StretchType::elementGroupHeight:
        return u"Element Group Height"_s;
    case StretchType::containerHeight:
        return u"Container Height"_s;
    case StretchType::containerBottom:
        return u"Container Bottom"_s;
    }
    return {};
}

QString printWhenPlaceholder()
{
    return u"e.g. new Boolean($F{amount}.doubleValue() > 0)"_s;
}

QString printWhenHelp()
{
    return u"Print When Expression - a Boolean expression; leave blank to always print this "
           u"element"_s;
}

QString frameNote(qsizetype childCount)
{
    return counted(childCount, u"element"_s) +
           u" inside - add more from the palette while this frame is selected, or drag existing "
           u"elements onto it on the canvas."_s;
}

std::optional<QString> rawKindNotice(const ElementKind &kind)
{
    if (const auto *chart = kind.as<ElementKind::Chart>())
        return u"A <"_s + chart->tag +
               u"> chart - preserved exactly as it was in the file (title/dataset/plot XML "
               u"untouched), but not editable here. Move/resize on canvas works normally; edit "
               u"the chart's own configuration in a full-featured JRXML designer if needed."_s;
    if (kind.is<ElementKind::Crosstab>())
        return u"A crosstab - preserved exactly as it was in the file (row/column groups, "
               u"measures, and cell styling untouched), but not editable here. Move/resize on "
               u"canvas works normally; edit the crosstab's own configuration in a full-featured "
               u"JRXML designer if needed."_s;
    if (const auto *component = kind.as<ElementKind::ComponentPlaceholder>())
        return u"A "_s + component->tag +
               u" barcode component - preserved exactly as it was in the file, but not editable "
               u"here. Move/resize on canvas works normally; edit the barcode's own "
               u"type/value/attributes in a full-featured JRXML designer if needed."_s;
    if (kind.is<ElementKind::GenericElement>())
        return u"A custom-rendering generic element - preserved exactly as it was in the file, "
               u"but not editable here. Move/resize on canvas works normally; edit its "
               u"parameters in a full-featured JRXML designer if needed."_s;
    return std::nullopt;
}

} // namespace InspectorTexts
