// The facts of the engine's grammar for reports without the namespace: the elements of the report
// document type of JasperReports 6.21 (which the engine's jar holds as
// net/sf/jasperreports/engine/dtds/jasperreport.dtd and checks such a report against), what each
// holds and which attributes it takes. A test reads the engine's document type and compares it
// with these facts.

#include "DocumentTypeFacts.h"

#include <string_view>
#include <unordered_map>

namespace DocumentTypeGrammar {

namespace {

// --- how the facts are written ---

Step once(const char *name)
{
    return {{name}, Times::once};
}
Step maybe(const char *name)
{
    return {{name}, Times::maybe};
}
Step many(const char *name)
{
    return {{name}, Times::many};
}
Step some(const char *name)
{
    return {{name}, Times::some};
}
// One of several elements.
Step once(const Names &names)
{
    return {names, Times::once};
}
Step maybe(const Names &names)
{
    return {names, Times::maybe};
}
Step many(const Names &names)
{
    return {names, Times::many};
}

Content nothing()
{
    return {Holds::nothing, {}};
}
Content text()
{
    return {Holds::text, {}};
}
Content elements(std::vector<Step> steps)
{
    return {Holds::elements, std::move(steps)};
}

// An attribute that holds one name token (a number, a word).
struct Token {};
constexpr Token token;

AttributeFact required(const char *name)
{
    return {name, Use::required, nullptr, false, {}};
}
AttributeFact required(const char *name, Token)
{
    return {name, Use::required, nullptr, true, {}};
}
AttributeFact implied(const char *name)
{
    return {name, Use::implied, nullptr, false, {}};
}
AttributeFact implied(const char *name, Token)
{
    return {name, Use::implied, nullptr, true, {}};
}
AttributeFact implied(const char *name, const Names &values)
{
    return {name, Use::implied, nullptr, false, values};
}
AttributeFact given(const char *name, const char *value)
{
    return {name, Use::given, value, false, {}};
}
AttributeFact given(const char *name, const char *value, Token)
{
    return {name, Use::given, value, true, {}};
}
AttributeFact given(const char *name, const char *value, const Names &values)
{
    return {name, Use::given, value, false, values};
}
// A flag: true or false, with the value the engine takes without it, or none.
AttributeFact flag(const char *name, const char *value)
{
    return given(name, value, {"true", "false"});
}
AttributeFact flag(const char *name)
{
    return implied(name, {"true", "false"});
}

// --- values and elements that many declarations share ---

const Names borderWidths = {"None", "Thin", "1Point", "2Point", "4Point", "Dotted"};
const Names lineStyles = {"Solid", "Dashed", "Dotted", "Double"};
const Names resetTypes = {"None", "Report", "Page", "Column", "Group"};
const Names modes = {"Opaque", "Transparent"};
const Names verticalAlignments = {"Top", "Middle", "Bottom"};
// What a band, a frame and an element group hold.
const Names bandElements = {"break",
                            "line",
                            "rectangle",
                            "ellipse",
                            "image",
                            "staticText",
                            "textField",
                            "subreport",
                            "pieChart",
                            "pie3DChart",
                            "barChart",
                            "bar3DChart",
                            "xyBarChart",
                            "stackedBarChart",
                            "stackedBar3DChart",
                            "lineChart",
                            "xyLineChart",
                            "areaChart",
                            "xyAreaChart",
                            "scatterChart",
                            "bubbleChart",
                            "timeSeriesChart",
                            "highLowChart",
                            "candlestickChart",
                            "meterChart",
                            "thermometerChart",
                            "multiAxisChart",
                            "stackedAreaChart",
                            "ganttChart",
                            "elementGroup",
                            "crosstab",
                            "frame"};
// Where a subreport or a dataset run takes its records from.
const Names dataSources = {"connectionExpression", "dataSourceExpression"};
// The datasets of a time period, time series or XY chart.
const Names seriesDatasets = {"timePeriodDataset", "timeSeriesDataset", "xyDataset"};
// The charts a multi-axis chart takes as its axes.
const Names axisCharts = {
    "barChart",          "bar3DChart",       "xyBarChart",       "stackedBarChart",
    "stackedBar3DChart", "lineChart",        "xyLineChart",      "areaChart",
    "xyAreaChart",       "scatterChart",     "bubbleChart",      "timeSeriesChart",
    "highLowChart",      "candlestickChart", "stackedAreaChart", "ganttChart"};
// What a crosstab cell holds.
const Names cellElements = {"line",       "rectangle", "ellipse",      "image",
                            "staticText", "textField", "elementGroup", "frame"};

std::vector<ElementFact> facts()
{
    return {
        {"jasperReport",
         elements({many("property"),      many("import"),        many("template"),
                   many("reportFont"),    many("style"),         many("subDataset"),
                   many("parameter"),     maybe("queryString"),  many("field"),
                   many("sortField"),     many("variable"),      maybe("filterExpression"),
                   many("group"),         maybe("background"),   maybe("title"),
                   maybe("pageHeader"),   maybe("columnHeader"), maybe("detail"),
                   maybe("columnFooter"), maybe("pageFooter"),   maybe("lastPageFooter"),
                   maybe("summary"),      maybe("noData")}),
         {required("name"),
          given("language", "java"),
          given("columnCount", "1", token),
          given("printOrder", "Vertical", Names{"Vertical", "Horizontal"}),
          given("pageWidth", "595", token),
          given("pageHeight", "842", token),
          given("orientation", "Portrait", Names{"Portrait", "Landscape"}),
          given("whenNoDataType", "NoPages",
                Names{"NoPages", "BlankPage", "AllSectionsNoDetail", "NoDataSection"}),
          given("columnWidth", "555", token),
          given("columnSpacing", "0", token),
          given("leftMargin", "20", token),
          given("rightMargin", "20", token),
          given("topMargin", "30", token),
          given("bottomMargin", "30", token),
          flag("isTitleNewPage", "false"),
          flag("isSummaryNewPage", "false"),
          flag("isFloatColumnFooter", "false"),
          implied("scriptletClass"),
          implied("resourceBundle"),
          given("whenResourceMissingType", "Null", Names{"Null", "Empty", "Key", "Error"}),
          flag("isIgnorePagination", "false"),
          implied("formatFactoryClass")}},
        {"property", nothing(), {required("name"), implied("value")}},
        {"propertyExpression", text(), {required("name")}},
        {"import", nothing(), {required("value")}},
        {"template",
         text(),
         {given("class", "java.lang.String",
                Names{"java.lang.String", "java.io.File", "java.net.URL", "java.io.InputStream",
                      "net.sf.jasperreports.engine.JRTemplate"})}},
        {"reportFont",
         nothing(),
         {required("name"), flag("isDefault", "false"), implied("fontName"), implied("size", token),
          flag("isBold"), flag("isItalic"), flag("isUnderline"), flag("isStrikeThrough"),
          implied("pdfFontName"), implied("pdfEncoding"), flag("isPdfEmbedded")}},
        {"style",
         elements({maybe("pen"), maybe("box"), many("conditionalStyle")}),
         {implied("name"),
          flag("isDefault", "false"),
          implied("style"),
          implied("mode", modes),
          implied("forecolor"),
          implied("backcolor"),
          implied("pen", borderWidths),
          implied("fill", Names{"Solid"}),
          implied("radius", token),
          implied("scaleImage",
                  Names{"Clip", "FillFrame", "RetainShape", "RealHeight", "RealSize"}),
          implied("hAlign", Names{"Left", "Center", "Right", "Justified"}),
          implied("vAlign", verticalAlignments),
          implied("border", borderWidths),
          implied("borderColor"),
          implied("padding", token),
          implied("topBorder", borderWidths),
          implied("topBorderColor"),
          implied("topPadding", token),
          implied("leftBorder", borderWidths),
          implied("leftBorderColor"),
          implied("leftPadding", token),
          implied("bottomBorder", borderWidths),
          implied("bottomBorderColor"),
          implied("bottomPadding", token),
          implied("rightBorder", borderWidths),
          implied("rightBorderColor"),
          implied("rightPadding", token),
          implied("rotation", Names{"None", "Left", "Right", "UpsideDown"}),
          implied("lineSpacing", Names{"Single", "1_1_2", "Double"}),
          flag("isStyledText"),
          implied("markup"),
          implied("fontName"),
          implied("fontSize", token),
          flag("isBold"),
          flag("isItalic"),
          flag("isUnderline"),
          flag("isStrikeThrough"),
          implied("pdfFontName"),
          implied("pdfEncoding"),
          flag("isPdfEmbedded"),
          implied("pattern"),
          flag("isBlankWhenNull")}},
        {"pen",
         nothing(),
         {implied("lineWidth", token), implied("lineStyle", lineStyles), implied("lineColor")}},
        {"conditionalStyle", elements({maybe("conditionExpression"), once("style")}), {}},
        {"conditionExpression", text(), {}},
        {"subDataset",
         elements({many("property"), many("parameter"), maybe("queryString"), many("field"),
                   many("sortField"), many("variable"), maybe("filterExpression"), many("group")}),
         {required("name"), implied("scriptletClass"), implied("resourceBundle"),
          given("whenResourceMissingType", "Null", Names{"Null", "Empty", "Key", "Error"})}},
        {"parameter",
         elements(
             {many("property"), maybe("parameterDescription"), maybe("defaultValueExpression")}),
         {required("name"), given("class", "java.lang.String"), flag("isForPrompting", "true")}},
        {"parameterDescription", text(), {}},
        {"defaultValueExpression", text(), {}},
        {"queryString", text(), {given("language", "sql")}},
        {"field",
         elements({many("property"), maybe("fieldDescription")}),
         {required("name"), given("class", "java.lang.String")}},
        {"fieldDescription", text(), {}},
        {"sortField",
         nothing(),
         {required("name"), given("order", "Ascending", Names{"Ascending", "Descending"})}},
        {"variable",
         elements({maybe("variableExpression"), maybe("initialValueExpression")}),
         {required("name"), given("class", "java.lang.String"),
          given("resetType", "Report", resetTypes), implied("resetGroup"),
          given("incrementType", "None", resetTypes), implied("incrementGroup"),
          given("calculation", "Nothing",
                Names{"Nothing", "Count", "DistinctCount", "Sum", "Average", "Lowest", "Highest",
                      "StandardDeviation", "Variance", "System", "First"}),
          implied("incrementerFactoryClass")}},
        {"variableExpression", text(), {}},
        {"initialValueExpression", text(), {}},
        {"filterExpression", text(), {}},
        {"group",
         elements({maybe("groupExpression"), maybe("groupHeader"), maybe("groupFooter")}),
         {required("name"), flag("isStartNewColumn", "false"), flag("isStartNewPage", "false"),
          flag("isResetPageNumber", "false"), flag("isReprintHeaderOnEachPage", "false"),
          given("minHeightToStartNewPage", "0", token)}},
        {"groupExpression", text(), {}},
        {"groupHeader", elements({maybe("band")}), {}},
        {"groupFooter", elements({maybe("band")}), {}},
        {"background", elements({maybe("band")}), {}},
        {"title", elements({maybe("band")}), {}},
        {"pageHeader", elements({maybe("band")}), {}},
        {"columnHeader", elements({maybe("band")}), {}},
        {"detail", elements({maybe("band")}), {}},
        {"columnFooter", elements({maybe("band")}), {}},
        {"pageFooter", elements({maybe("band")}), {}},
        {"lastPageFooter", elements({maybe("band")}), {}},
        {"summary", elements({maybe("band")}), {}},
        {"noData", elements({maybe("band")}), {}},
        {"band",
         elements({maybe("printWhenExpression"), many(bandElements)}),
         {given("height", "0", token), flag("isSplitAllowed", "true")}},
        {"break",
         elements({once("reportElement")}),
         {given("type", "Page", Names{"Page", "Column"})}},
        {"line",
         elements({once("reportElement"), maybe("graphicElement")}),
         {given("direction", "TopDown", Names{"TopDown", "BottomUp"})}},
        {"reportElement",
         elements({many("property"), many("propertyExpression"), maybe("printWhenExpression")}),
         {implied("key"), implied("style"),
          given("positionType", "FixRelativeToTop",
                Names{"Float", "FixRelativeToTop", "FixRelativeToBottom"}),
          given("stretchType", "NoStretch",
                Names{"NoStretch", "RelativeToTallestObject", "RelativeToBandHeight"}),
          flag("isPrintRepeatedValues", "true"), implied("mode", modes), required("x", token),
          required("y", token), required("width", token), required("height", token),
          flag("isRemoveLineWhenBlank", "false"), flag("isPrintInFirstWholeBand", "false"),
          flag("isPrintWhenDetailOverflows", "false"), implied("printWhenGroupChanges"),
          implied("forecolor"), implied("backcolor")}},
        {"printWhenExpression", text(), {}},
        {"graphicElement",
         elements({maybe("pen")}),
         {implied("stretchType",
                  Names{"NoStretch", "RelativeToTallestObject", "RelativeToBandHeight"}),
          implied("pen", borderWidths), implied("fill", Names{"Solid"})}},
        {"rectangle",
         elements({once("reportElement"), maybe("graphicElement")}),
         {implied("radius", token)}},
        {"ellipse", elements({once("reportElement"), maybe("graphicElement")}), {}},
        {"image",
         elements({once("reportElement"), maybe("box"), maybe("graphicElement"),
                   maybe("imageExpression"), maybe("anchorNameExpression"),
                   maybe("hyperlinkReferenceExpression"), maybe("hyperlinkAnchorExpression"),
                   maybe("hyperlinkPageExpression"), maybe("hyperlinkTooltipExpression"),
                   many("hyperlinkParameter")}),
         {implied("scaleImage",
                  Names{"Clip", "FillFrame", "RetainShape", "RealHeight", "RealSize"}),
          implied("hAlign", Names{"Left", "Center", "Right"}),
          implied("vAlign", verticalAlignments), flag("isUsingCache"), flag("isLazy", "false"),
          given("onErrorType", "Error", Names{"Error", "Blank", "Icon"}),
          given("evaluationTime", "Now",
                Names{"Now", "Report", "Page", "Column", "Group", "Band", "Auto"}),
          implied("evaluationGroup"), implied("hyperlinkType"), implied("hyperlinkTarget"),
          given("bookmarkLevel", "0", token)}},
        {"imageExpression",
         text(),
         {given("class", "java.lang.String",
                Names{"java.lang.String", "java.io.File", "java.net.URL", "java.io.InputStream",
                      "java.awt.Image", "net.sf.jasperreports.engine.JRRenderable"})}},
        {"box",
         elements({maybe("pen"), maybe("topPen"), maybe("leftPen"), maybe("bottomPen"),
                   maybe("rightPen")}),
         {implied("border", borderWidths), implied("borderColor"), implied("padding", token),
          implied("topBorder", borderWidths), implied("topBorderColor"),
          implied("topPadding", token), implied("leftBorder", borderWidths),
          implied("leftBorderColor"), implied("leftPadding", token),
          implied("bottomBorder", borderWidths), implied("bottomBorderColor"),
          implied("bottomPadding", token), implied("rightBorder", borderWidths),
          implied("rightBorderColor"), implied("rightPadding", token)}},
        {"topPen",
         nothing(),
         {implied("lineWidth", token), implied("lineStyle", lineStyles), implied("lineColor")}},
        {"leftPen",
         nothing(),
         {implied("lineWidth", token), implied("lineStyle", lineStyles), implied("lineColor")}},
        {"bottomPen",
         nothing(),
         {implied("lineWidth", token), implied("lineStyle", lineStyles), implied("lineColor")}},
        {"rightPen",
         nothing(),
         {implied("lineWidth", token), implied("lineStyle", lineStyles), implied("lineColor")}},
        {"anchorNameExpression", text(), {}},
        {"hyperlinkReferenceExpression", text(), {}},
        {"hyperlinkAnchorExpression", text(), {}},
        {"hyperlinkPageExpression", text(), {}},
        {"hyperlinkTooltipExpression", text(), {}},
        {"hyperlinkParameter",
         elements({once("hyperlinkParameterExpression")}),
         {required("name")}},
        {"hyperlinkParameterExpression", text(), {given("class", "java.lang.String")}},
        {"staticText",
         elements({once("reportElement"), maybe("box"), maybe("textElement"), maybe("text")}),
         {}},
        {"text", text(), {}},
        {"textElement",
         elements({maybe("font")}),
         {implied("textAlignment", Names{"Left", "Center", "Right", "Justified"}),
          implied("verticalAlignment", verticalAlignments),
          implied("rotation", Names{"None", "Left", "Right", "UpsideDown"}),
          implied("lineSpacing", Names{"Single", "1_1_2", "Double"}), flag("isStyledText"),
          implied("markup")}},
        {"font",
         nothing(),
         {implied("reportFont"), implied("fontName"), implied("size", token), flag("isBold"),
          flag("isItalic"), flag("isUnderline"), flag("isStrikeThrough"), implied("pdfFontName"),
          implied("pdfEncoding"), flag("isPdfEmbedded")}},
        {"textField",
         elements({once("reportElement"), maybe("box"), maybe("textElement"),
                   maybe("textFieldExpression"), maybe("anchorNameExpression"),
                   maybe("hyperlinkReferenceExpression"), maybe("hyperlinkAnchorExpression"),
                   maybe("hyperlinkPageExpression"), maybe("hyperlinkTooltipExpression"),
                   many("hyperlinkParameter")}),
         {flag("isStretchWithOverflow", "false"),
          given("evaluationTime", "Now",
                Names{"Now", "Report", "Page", "Column", "Group", "Band", "Auto"}),
          implied("evaluationGroup"), implied("pattern"), flag("isBlankWhenNull"),
          implied("hyperlinkType"), implied("hyperlinkTarget"),
          given("bookmarkLevel", "0", token)}},
        {"textFieldExpression",
         text(),
         {given("class", "java.lang.String",
                Names{"java.lang.Boolean", "java.lang.Byte", "java.util.Date", "java.sql.Timestamp",
                      "java.sql.Time", "java.lang.Double", "java.lang.Float", "java.lang.Integer",
                      "java.lang.Long", "java.lang.Short", "java.math.BigDecimal",
                      "java.lang.Number", "java.lang.String"})}},
        {"subreport",
         elements({once("reportElement"), maybe("parametersMapExpression"),
                   many("subreportParameter"), maybe(dataSources), many("returnValue"),
                   maybe("subreportExpression")}),
         {flag("isUsingCache")}},
        {"parametersMapExpression", text(), {}},
        {"subreportParameter",
         elements({maybe("subreportParameterExpression")}),
         {required("name")}},
        {"subreportParameterExpression", text(), {}},
        {"returnValue",
         nothing(),
         {implied("subreportVariable"), implied("toVariable"),
          given("calculation", "Nothing",
                Names{"Nothing", "Count", "DistinctCount", "Sum", "Average", "Lowest", "Highest",
                      "StandardDeviation", "Variance", "First"}),
          implied("incrementerFactoryClass")}},
        {"connectionExpression", text(), {}},
        {"dataSourceExpression", text(), {}},
        {"subreportExpression",
         text(),
         {given("class", "java.lang.String",
                Names{"java.lang.String", "java.io.File", "java.net.URL", "java.io.InputStream",
                      "net.sf.jasperreports.engine.JasperReport",
                      "dori.jasper.engine.JasperReport"})}},
        {"elementGroup", elements({many(bandElements)}), {}},
        {"chart",
         elements({once("reportElement"), maybe("box"), maybe("chartTitle"), maybe("chartSubtitle"),
                   maybe("chartLegend"), maybe("anchorNameExpression"),
                   maybe("hyperlinkReferenceExpression"), maybe("hyperlinkAnchorExpression"),
                   maybe("hyperlinkPageExpression"), maybe("hyperlinkTooltipExpression"),
                   many("hyperlinkParameter")}),
         {flag("isShowLegend"),
          given("evaluationTime", "Now", Names{"Now", "Report", "Page", "Column", "Group", "Band"}),
          implied("evaluationGroup"), implied("hyperlinkType"), implied("hyperlinkTarget"),
          given("bookmarkLevel", "0", token), implied("customizerClass"), implied("renderType")}},
        {"chartTitle",
         elements({maybe("font"), maybe("titleExpression")}),
         {implied("position", Names{"Top", "Bottom", "Left", "Right"}), implied("color")}},
        {"titleExpression", text(), {}},
        {"chartSubtitle",
         elements({maybe("font"), maybe("subtitleExpression")}),
         {implied("color")}},
        {"subtitleExpression", text(), {}},
        {"chartLegend",
         elements({maybe("font")}),
         {implied("textColor"), implied("backgroundColor"),
          implied("position", Names{"Top", "Bottom", "Left", "Right"})}},
        {"pieChart", elements({once("chart"), once("pieDataset"), once("piePlot")}), {}},
        {"pieDataset",
         elements({maybe("dataset"), maybe("keyExpression"), maybe("valueExpression"),
                   maybe("labelExpression"), maybe("sectionHyperlink")}),
         {}},
        {"keyExpression", text(), {}},
        {"valueExpression", text(), {}},
        {"labelExpression", text(), {}},
        {"sectionHyperlink",
         elements({maybe("hyperlinkReferenceExpression"), maybe("hyperlinkAnchorExpression"),
                   maybe("hyperlinkPageExpression"), maybe("hyperlinkTooltipExpression"),
                   many("hyperlinkParameter")}),
         {implied("hyperlinkType"), implied("hyperlinkTarget")}},
        {"piePlot", elements({once("plot")}), {flag("isCircular")}},
        {"dataset",
         elements({maybe("incrementWhenExpression"), maybe("datasetRun")}),
         {given("resetType", "Report", resetTypes), implied("resetGroup"),
          given("incrementType", "None", resetTypes), implied("incrementGroup")}},
        {"incrementWhenExpression", text(), {}},
        {"datasetRun",
         elements({maybe("parametersMapExpression"), many("datasetParameter"), maybe(dataSources)}),
         {required("subDataset")}},
        {"datasetParameter", elements({maybe("datasetParameterExpression")}), {required("name")}},
        {"datasetParameterExpression", text(), {}},
        {"plot",
         elements({many("seriesColor")}),
         {implied("backcolor"), implied("orientation", Names{"Horizontal", "Vertical"}),
          implied("backgroundAlpha", token), implied("foregroundAlpha", token),
          implied("labelRotation")}},
        {"seriesColor", nothing(), {required("seriesOrder"), required("color")}},
        {"pie3DChart", elements({once("chart"), once("pieDataset"), once("pie3DPlot")}), {}},
        {"pie3DPlot", elements({once("plot")}), {implied("depthFactor"), flag("isCircular")}},
        {"barChart", elements({once("chart"), once("categoryDataset"), once("barPlot")}), {}},
        {"categoryDataset", elements({maybe("dataset"), many("categorySeries")}), {}},
        {"categorySeries",
         elements({maybe("seriesExpression"), maybe("categoryExpression"), maybe("valueExpression"),
                   maybe("labelExpression"), maybe("itemHyperlink")}),
         {}},
        {"seriesExpression", text(), {}},
        {"categoryExpression", text(), {}},
        {"itemHyperlink",
         elements({maybe("hyperlinkReferenceExpression"), maybe("hyperlinkAnchorExpression"),
                   maybe("hyperlinkPageExpression"), maybe("hyperlinkTooltipExpression"),
                   many("hyperlinkParameter")}),
         {implied("hyperlinkType"), implied("hyperlinkTarget")}},
        {"barPlot",
         elements({once("plot"), maybe("categoryAxisLabelExpression"), maybe("categoryAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {flag("isShowLabels"), flag("isShowTickMarks"), flag("isShowTickLabels")}},
        {"categoryAxisLabelExpression", text(), {}},
        {"valueAxisLabelExpression", text(), {}},
        {"categoryAxisFormat", elements({once("axisFormat")}), {}},
        {"valueAxisFormat", elements({once("axisFormat")}), {}},
        {"axisFormat",
         elements({maybe("labelFont"), maybe("tickLabelFont")}),
         {implied("labelColor"), implied("tickLabelColor"), implied("tickLabelMask"),
          implied("axisLineColor")}},
        {"labelFont", elements({maybe("font")}), {}},
        {"tickLabelFont", elements({maybe("font")}), {}},
        {"bar3DChart", elements({once("chart"), once("categoryDataset"), once("bar3DPlot")}), {}},
        {"bar3DPlot",
         elements({once("plot"), maybe("categoryAxisLabelExpression"), maybe("categoryAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {flag("isShowLabels"), implied("xOffset"), implied("yOffset")}},
        {"xyBarChart", elements({once("chart"), once(seriesDatasets), once("barPlot")}), {}},
        {"timePeriodDataset", elements({maybe("dataset"), many("timePeriodSeries")}), {}},
        {"timePeriodSeries",
         elements({maybe("seriesExpression"), maybe("startDateExpression"),
                   maybe("endDateExpression"), maybe("valueExpression"), maybe("labelExpression"),
                   maybe("itemHyperlink")}),
         {}},
        {"startDateExpression", text(), {}},
        {"endDateExpression", text(), {}},
        {"stackedBarChart",
         elements({once("chart"), once("categoryDataset"), once("barPlot")}),
         {}},
        {"stackedAreaChart",
         elements({once("chart"), once("categoryDataset"), once("areaPlot")}),
         {}},
        {"stackedBar3DChart",
         elements({once("chart"), once("categoryDataset"), once("bar3DPlot")}),
         {}},
        {"lineChart", elements({once("chart"), once("categoryDataset"), once("linePlot")}), {}},
        {"linePlot",
         elements({once("plot"), maybe("categoryAxisLabelExpression"), maybe("categoryAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {flag("isShowLines"), flag("isShowShapes")}},
        {"xyLineChart", elements({once("chart"), once("xyDataset"), once("linePlot")}), {}},
        {"xyDataset", elements({maybe("dataset"), many("xySeries")}), {}},
        {"xySeries",
         elements({maybe("seriesExpression"), maybe("xValueExpression"), maybe("yValueExpression"),
                   maybe("labelExpression"), maybe("itemHyperlink")}),
         {}},
        {"xValueExpression", text(), {}},
        {"yValueExpression", text(), {}},
        {"areaChart", elements({once("chart"), once("categoryDataset"), once("areaPlot")}), {}},
        {"areaPlot",
         elements({once("plot"), maybe("categoryAxisLabelExpression"), maybe("categoryAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {}},
        {"xyAreaChart", elements({once("chart"), once("xyDataset"), once("areaPlot")}), {}},
        {"scatterChart", elements({once("chart"), once("xyDataset"), once("scatterPlot")}), {}},
        {"scatterPlot",
         elements({once("plot"), maybe("xAxisLabelExpression"), maybe("xAxisFormat"),
                   maybe("yAxisLabelExpression"), maybe("yAxisFormat")}),
         {flag("isShowLines"), flag("isShowShapes")}},
        {"xAxisLabelExpression", text(), {}},
        {"yAxisLabelExpression", text(), {}},
        {"xAxisFormat", elements({once("axisFormat")}), {}},
        {"yAxisFormat", elements({once("axisFormat")}), {}},
        {"bubbleChart", elements({once("chart"), once("xyzDataset"), once("bubblePlot")}), {}},
        {"xyzDataset", elements({maybe("dataset"), many("xyzSeries")}), {}},
        {"xyzSeries",
         elements({maybe("seriesExpression"), maybe("xValueExpression"), maybe("yValueExpression"),
                   maybe("zValueExpression"), maybe("itemHyperlink")}),
         {}},
        {"bubblePlot",
         elements({once("plot"), maybe("xAxisLabelExpression"), maybe("xAxisFormat"),
                   maybe("yAxisLabelExpression"), maybe("yAxisFormat")}),
         {implied("scaleType", Names{"BothAxes", "DomainAxis", "RangeAxis"})}},
        {"zValueExpression", text(), {}},
        {"timeSeriesDataset",
         elements({maybe("dataset"), many("timeSeries")}),
         {given("timePeriod", "Day",
                Names{"Year", "Quarter", "Month", "Week", "Day", "Hour", "Minute", "Second",
                      "Milisecond"})}},
        {"timeSeries",
         elements({maybe("seriesExpression"), maybe("timePeriodExpression"),
                   maybe("valueExpression"), maybe("labelExpression"), maybe("itemHyperlink")}),
         {}},
        {"timePeriodExpression", text(), {}},
        {"timeSeriesChart",
         elements({once("chart"), once("timeSeriesDataset"), once("timeSeriesPlot")}),
         {}},
        {"timeSeriesPlot",
         elements({once("plot"), maybe("timeAxisLabelExpression"), maybe("timeAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {flag("isShowLines"), flag("isShowShapes")}},
        {"timeAxisLabelExpression", text(), {}},
        {"timeAxisFormat", elements({once("axisFormat")}), {}},
        {"highLowChart",
         elements({once("chart"), once("highLowDataset"), once("highLowPlot")}),
         {}},
        {"highLowDataset",
         elements({maybe("dataset"), maybe("seriesExpression"), maybe("dateExpression"),
                   maybe("highExpression"), maybe("lowExpression"), maybe("openExpression"),
                   maybe("closeExpression"), maybe("volumeExpression"), maybe("itemHyperlink")}),
         {}},
        {"highLowPlot",
         elements({once("plot"), maybe("timeAxisLabelExpression"), maybe("timeAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {flag("isShowCloseTicks"), flag("isShowOpenTicks")}},
        {"dateExpression", text(), {}},
        {"highExpression", text(), {}},
        {"lowExpression", text(), {}},
        {"openExpression", text(), {}},
        {"closeExpression", text(), {}},
        {"volumeExpression", text(), {}},
        {"candlestickChart",
         elements({once("chart"), once("highLowDataset"), once("candlestickPlot")}),
         {}},
        {"candlestickPlot",
         elements({once("plot"), maybe("timeAxisLabelExpression"), maybe("timeAxisFormat"),
                   maybe("valueAxisLabelExpression"), maybe("valueAxisFormat")}),
         {flag("isShowVolume")}},
        {"meterChart", elements({once("chart"), once("valueDataset"), once("meterPlot")}), {}},
        {"valueDataset", elements({maybe("dataset"), once("valueExpression")}), {}},
        {"meterPlot",
         elements({once("plot"), maybe("valueDisplay"), once("dataRange"), many("meterInterval")}),
         {implied("shape", Names{"chord", "circle", "pie"}), implied("angle"), implied("units"),
          implied("tickInterval"), implied("meterColor"), implied("needleColor"),
          implied("tickColor")}},
        {"valueDisplay", elements({maybe("font")}), {implied("color"), implied("mask")}},
        {"dataRange", elements({once("lowExpression"), once("highExpression")}), {}},
        {"meterInterval",
         elements({once("dataRange")}),
         {implied("label"), implied("color"), implied("alpha")}},
        {"thermometerChart",
         elements({once("chart"), once("valueDataset"), once("thermometerPlot")}),
         {}},
        {"thermometerPlot",
         elements({once("plot"), maybe("valueDisplay"), once("dataRange"), maybe("lowRange"),
                   maybe("mediumRange"), maybe("highRange")}),
         {given("valueLocation", "bulb", Names{"none", "left", "right", "bulb"}),
          flag("isShowValueLines", "false"), implied("mercuryColor")}},
        {"lowRange", elements({once("dataRange")}), {}},
        {"mediumRange", elements({once("dataRange")}), {}},
        {"highRange", elements({once("dataRange")}), {}},
        {"multiAxisChart", elements({once("chart"), once("multiAxisPlot")}), {}},
        {"multiAxisPlot", elements({once("plot"), some("axis")}), {}},
        {"axis",
         elements({once(axisCharts)}),
         {implied("position", Names{"leftOrTop", "rightOrBottom"})}},
        {"ganttChart", elements({once("chart"), once("ganttDataset"), once("barPlot")}), {}},
        {"ganttDataset", elements({maybe("dataset"), many("ganttSeries")}), {}},
        {"ganttSeries",
         elements({maybe("seriesExpression"), once("taskExpression"), once("subtaskExpression"),
                   maybe("startDateExpression"), maybe("endDateExpression"),
                   maybe("percentExpression")}),
         {}},
        {"taskExpression", text(), {}},
        {"subtaskExpression", text(), {}},
        {"percentExpression", text(), {}},
        {"crosstab",
         elements({once("reportElement"), many("crosstabParameter"),
                   maybe("parametersMapExpression"), maybe("crosstabDataset"),
                   maybe("crosstabHeaderCell"), many("rowGroup"), many("columnGroup"),
                   many("measure"), many("crosstabCell"), maybe("whenNoDataCell")}),
         {flag("isRepeatColumnHeaders", "true"), flag("isRepeatRowHeaders", "true"),
          given("columnBreakOffset", "10", token),
          given("runDirection", "LTR", Names{"LTR", "RTL"})}},
        {"crosstabParameter",
         elements({maybe("parameterValueExpression")}),
         {required("name"), given("class", "java.lang.String")}},
        {"parameterValueExpression", text(), {}},
        {"crosstabDataset", elements({maybe("dataset")}), {flag("isDataPreSorted", "false")}},
        {"crosstabHeaderCell", elements({once("cellContents")}), {}},
        {"rowGroup",
         elements({once("bucket"), maybe("crosstabRowHeader"), maybe("crosstabTotalRowHeader")}),
         {required("name"), required("width", token),
          given("totalPosition", "None", Names{"Start", "End", "None"}),
          given("headerPosition", "Top", Names{"Top", "Middle", "Bottom", "Stretch"})}},
        {"crosstabRowHeader", elements({maybe("cellContents")}), {}},
        {"crosstabTotalRowHeader", elements({maybe("cellContents")}), {}},
        {"columnGroup",
         elements(
             {once("bucket"), maybe("crosstabColumnHeader"), maybe("crosstabTotalColumnHeader")}),
         {required("name"), required("height", token),
          given("totalPosition", "None", Names{"Start", "End", "None"}),
          given("headerPosition", "Left", Names{"Left", "Center", "Right", "Stretch"})}},
        {"crosstabColumnHeader", elements({maybe("cellContents")}), {}},
        {"crosstabTotalColumnHeader", elements({maybe("cellContents")}), {}},
        {"bucket",
         elements({maybe("bucketExpression"), maybe("comparatorExpression")}),
         {given("order", "Ascending", Names{"Ascending", "Descending"})}},
        {"bucketExpression", text(), {required("class")}},
        {"comparatorExpression", text(), {}},
        {"measure",
         elements({maybe("measureExpression")}),
         {required("name"), implied("class"),
          given("calculation", "Nothing",
                Names{"Nothing", "Count", "DistinctCount", "Sum", "Average", "Lowest", "Highest",
                      "StandardDeviation", "Variance", "First"}),
          implied("incrementerFactoryClass"),
          given("percentageOf", "None", Names{"None", "GrandTotal"}),
          implied("percentageCalculatorClass")}},
        {"measureExpression", text(), {}},
        {"crosstabCell",
         elements({maybe("cellContents")}),
         {implied("width", token), implied("height", token), implied("rowTotalGroup"),
          implied("columnTotalGroup")}},
        {"cellContents",
         elements({maybe("box"), many(cellElements)}),
         {implied("backcolor"), implied("mode", modes), implied("style")}},
        {"whenNoDataCell", elements({once("cellContents")}), {}},
        {"frame", elements({once("reportElement"), maybe("box"), many(bandElements)}), {}},
    };
}

} // namespace

const std::vector<ElementFact> &elementFacts()
{
    static const std::vector<ElementFact> all = facts();
    return all;
}

const ElementFact *elementFact(const char *name)
{
    static const std::unordered_map<std::string_view, const ElementFact *> byName = [] {
        std::unordered_map<std::string_view, const ElementFact *> map;
        for (const ElementFact &fact : elementFacts())
            map.emplace(fact.name, &fact);
        return map;
    }();
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : found->second;
}

} // namespace DocumentTypeGrammar
