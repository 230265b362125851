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
    return u"Use the Page Setup button in the toolbar for margins, columns, and pagination; the "
           u"Data button above the canvas for the query, parameters, and fields."_s;
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
    if (const auto *component = kind.as<ElementKind::ComponentPlaceholder>()) {
        // The engine's barcodes: the Barcode4J ones by their symbology, and Barbecue's.
        static const QStringList barcodes{u"barbecue"_s,
                                          u"Codabar"_s,
                                          u"Code128"_s,
                                          u"EAN128"_s,
                                          u"DataMatrix"_s,
                                          u"RoyalMailCustomer"_s,
                                          u"USPSIntelligentMail"_s,
                                          u"Code39"_s,
                                          u"UPCA"_s,
                                          u"UPCE"_s,
                                          u"EAN13"_s,
                                          u"EAN8"_s,
                                          u"Interleaved2Of5"_s,
                                          u"POSTNET"_s,
                                          u"PDF417"_s,
                                          u"QRCode"_s,
                                          u"Code93"_s,
                                          u"OneCode"_s};
        const bool barcode = barcodes.contains(component->tag, Qt::CaseInsensitive);
        return u"A "_s + component->tag + (barcode ? u" barcode"_s : QString()) +
               u" component - preserved exactly as it was in the file, but not editable here. "
               u"Move/resize on canvas works normally; edit the "_s +
               (barcode ? u"barcode's own type/value/attributes"_s
                        : u"component's own settings"_s) +
               u" in a full-featured JRXML designer if needed."_s;
    }
    if (kind.is<ElementKind::GenericElement>())
        return u"A custom-rendering generic element - preserved exactly as it was in the file, "
               u"but not editable here. Move/resize on canvas works normally; edit its "
               u"parameters in a full-featured JRXML designer if needed."_s;
    return std::nullopt;
}

QString expressionHint()
{
    return u"e.g. $F{fieldName}, $P{paramName}, or a Java expression"_s;
}

QString patternPlaceholder()
{
    return u"e.g. MM/dd/yyyy or #,##0.00"_s;
}

QString hyperlinkPlaceholder()
{
    return u"e.g. \"https://example.com/orders/\" + $F{id}"_s;
}

QStringList evaluationTimes()
{
    return {u"Now"_s, u"Report"_s, u"Page"_s, u"Column"_s, u"Band"_s, u"Group"_s, u"Auto"_s};
}

QStringList offeredEvaluationTimes(const ElementKind &kind, const QString &current)
{
    if (!kind.is<ElementKind::Subreport>())
        return evaluationTimes();
    QStringList times{u"Now"_s};
    if (!current.isEmpty() && current != times.first())
        times.append(current);
    return times;
}

bool isEvaluationTimeOffered(const ElementKind &kind, const QString &time, const QString &current,
                             bool reportHasGroups)
{
    if (time == u"Group"_s && !reportHasGroups)
        return false;
    return offeredEvaluationTimes(kind, current).contains(time);
}

QString subreportEvaluationNote()
{
    return u"The engine fills a subreport where its band prints: it takes no other evaluation "
           u"time for it."_s;
}

QString evaluationTimeHelp()
{
    return u"When the expression is evaluated - \"Report\" is what makes $V{PAGE_NUMBER} resolve "
           u"to the final page count instead of the current page (a \"Total Pages\" field)"_s;
}

QString overflowLabel(TextAdjust adjust)
{
    switch (adjust) {
    case TextAdjust::stretchHeight:
        return u"Stretch Height"_s;
    case TextAdjust::cutText:
        return u"Cut Text"_s;
    case TextAdjust::scaleFont:
        return u"Shrink Font to Fit"_s;
    }
    return {};
}

QString overflowHelp()
{
    return u"\"Shrink Font to Fit\" scales the font size down at print time so the full text fits "
           u"inside this element's fixed size, instead of stretching the element or cutting text "
           u"off"_s;
}

std::optional<TextAdjust> storedOverflow(TextAdjust adjust)
{
    // Stored as chosen: no value is the engine's cutting of the text.
    return adjust;
}

QString markupHelp()
{
    return u"Interpret the text content as inline HTML/RTF/styled markup (e.g. <b>bold</b>, "
           u"<font color=\"#FF0000\">red</font>) instead of plain text"_s;
}

QList<MarkupChoice> markupChoices()
{
    return {{u"None"_s, std::nullopt},
            {u"HTML"_s, u"html"_s},
            {u"RTF"_s, u"rtf"_s},
            {u"Styled Text"_s, u"styled"_s}};
}

int markupIndex(const std::optional<QString> &markup)
{
    if (!markup || *markup == u"none"_s)
        return 0;
    const QList<MarkupChoice> choices = markupChoices();
    for (int i = 1; i < choices.size(); ++i) {
        if (choices.at(i).stored == markup)
            return i;
    }
    return -1;
}

QString imageExpressionPlaceholder()
{
    return u"expression"_s;
}

QString imageBrowseHelp()
{
    return u"Browse for an image file - copies it into the report's own folder"_s;
}

QString breakLabel(BreakType type)
{
    return type == BreakType::column ? u"Column"_s : u"Page"_s;
}

QString breakExplanation(BreakType type)
{
    return u"Forces a "_s + breakLabel(type).toLower() +
           u" break wherever this falls in the flow - real files usually keep it 1pt tall."_s;
}

} // namespace InspectorTexts
