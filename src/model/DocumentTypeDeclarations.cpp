// The engine's grammar of a report whose root has no namespace: the declarations of its document
// type, net/sf/jasperreports/engine/dtds/jasperreport.dtd of JasperReports 6.21.5 (LGPL), as the
// engine's jar holds it, one element's declarations to a piece. The engine checks such a report
// against the same rules (its XML schema for reports without the namespace, made from this
// document type), with or without a DOCTYPE line.

#include "DocumentTypeGrammar.h"

namespace DocumentTypeGrammar {

// The pieces stand as the document type writes them, tabs and long lines included.
// clang-format off
std::span<const char *const> declarations()
{
    static constexpr const char *pieces[] = {
        R"dtd(<!ELEMENT jasperReport (property*, import*, template*, reportFont*, style*, subDataset*, parameter*, queryString?, field*, sortField*, variable*, filterExpression?, group*, background?, title?, pageHeader?, columnHeader?, detail?, columnFooter?, pageFooter?, lastPageFooter?, summary?, noData?)>
<!ATTLIST jasperReport
	name CDATA #REQUIRED
	language CDATA "java"
	columnCount NMTOKEN "1"
	printOrder (Vertical | Horizontal) "Vertical"
	pageWidth NMTOKEN "595"
	pageHeight NMTOKEN "842"
	orientation (Portrait | Landscape) "Portrait"
	whenNoDataType (NoPages | BlankPage | AllSectionsNoDetail | NoDataSection) "NoPages"
	columnWidth NMTOKEN "555"
	columnSpacing NMTOKEN "0"
	leftMargin NMTOKEN "20"
	rightMargin NMTOKEN "20"
	topMargin NMTOKEN "30"
	bottomMargin NMTOKEN "30"
	isTitleNewPage (true | false) "false"
	isSummaryNewPage (true | false) "false"
	isFloatColumnFooter (true | false) "false"
	scriptletClass CDATA #IMPLIED
	resourceBundle CDATA #IMPLIED
	whenResourceMissingType (Null | Empty | Key | Error) "Null"
	isIgnorePagination (true | false) "false"
	formatFactoryClass CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT property EMPTY>
<!ATTLIST property
	name CDATA #REQUIRED
	value CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT propertyExpression (#PCDATA)>
<!ATTLIST propertyExpression
	name CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT import EMPTY>
<!ATTLIST import
	value CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT template (#PCDATA)>
<!ATTLIST template
	class (java.lang.String | java.io.File | java.net.URL | java.io.InputStream | net.sf.jasperreports.engine.JRTemplate) "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT reportFont EMPTY>
<!ATTLIST reportFont
	name CDATA #REQUIRED
	isDefault (true | false) "false"
	fontName CDATA #IMPLIED
	size NMTOKEN #IMPLIED
	isBold (true | false) #IMPLIED
	isItalic (true | false) #IMPLIED
	isUnderline (true | false) #IMPLIED
	isStrikeThrough (true | false) #IMPLIED
	pdfFontName CDATA #IMPLIED
	pdfEncoding CDATA #IMPLIED
	isPdfEmbedded (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT style (pen?, box?, conditionalStyle*)>
<!ATTLIST style
	name CDATA #IMPLIED
	isDefault (true | false) "false"
	style CDATA #IMPLIED
	mode (Opaque | Transparent) #IMPLIED
	forecolor CDATA #IMPLIED
	backcolor CDATA #IMPLIED
	pen (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	fill (Solid) #IMPLIED
	radius NMTOKEN #IMPLIED
	scaleImage (Clip | FillFrame | RetainShape | RealHeight | RealSize) #IMPLIED
	hAlign (Left | Center | Right | Justified) #IMPLIED
	vAlign (Top | Middle | Bottom) #IMPLIED
	border (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	borderColor CDATA #IMPLIED
	padding NMTOKEN #IMPLIED
	topBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	topBorderColor CDATA #IMPLIED
	topPadding NMTOKEN #IMPLIED
	leftBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	leftBorderColor CDATA #IMPLIED
	leftPadding NMTOKEN #IMPLIED
	bottomBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	bottomBorderColor CDATA #IMPLIED
	bottomPadding NMTOKEN #IMPLIED
	rightBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	rightBorderColor CDATA #IMPLIED
	rightPadding NMTOKEN #IMPLIED
	rotation (None | Left | Right | UpsideDown) #IMPLIED
	lineSpacing (Single | 1_1_2 | Double) #IMPLIED
	isStyledText (true | false) #IMPLIED
	markup CDATA #IMPLIED
	fontName CDATA #IMPLIED
	fontSize NMTOKEN #IMPLIED
	isBold (true | false) #IMPLIED
	isItalic (true | false) #IMPLIED
	isUnderline (true | false) #IMPLIED
	isStrikeThrough (true | false) #IMPLIED
	pdfFontName CDATA #IMPLIED
	pdfEncoding CDATA #IMPLIED
	isPdfEmbedded (true | false) #IMPLIED
	pattern CDATA #IMPLIED
	isBlankWhenNull (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT pen EMPTY>
<!ATTLIST pen
	lineWidth NMTOKEN #IMPLIED
	lineStyle (Solid | Dashed | Dotted | Double) #IMPLIED
	lineColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT conditionalStyle (conditionExpression?, style)>)dtd",
        R"dtd(<!ELEMENT conditionExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT subDataset (property*, parameter*, queryString?, field*, sortField*, variable*, filterExpression?, group*)>
<!ATTLIST subDataset
	name CDATA #REQUIRED
	scriptletClass CDATA #IMPLIED
	resourceBundle CDATA #IMPLIED
	whenResourceMissingType (Null | Empty | Key | Error) "Null"
>)dtd",
        R"dtd(<!ELEMENT parameter (property*, parameterDescription?, defaultValueExpression?)>
<!ATTLIST parameter
	name CDATA #REQUIRED
	class CDATA "java.lang.String"
	isForPrompting (true | false) "true"
>)dtd",
        R"dtd(<!ELEMENT parameterDescription (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT defaultValueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT queryString (#PCDATA)>
<!ATTLIST queryString
	language CDATA "sql"
>)dtd",
        R"dtd(<!ELEMENT field (property*, fieldDescription?)>
<!ATTLIST field
	name CDATA #REQUIRED
	class CDATA "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT fieldDescription (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT sortField EMPTY>
<!ATTLIST sortField
	name CDATA #REQUIRED
	order (Ascending | Descending) "Ascending"
>)dtd",
        R"dtd(<!ELEMENT variable (variableExpression?, initialValueExpression?)>
<!ATTLIST variable
	name CDATA #REQUIRED
	class CDATA "java.lang.String"
	resetType (None | Report | Page | Column | Group) "Report"
	resetGroup CDATA #IMPLIED
	incrementType (None | Report | Page | Column | Group) "None"
	incrementGroup CDATA #IMPLIED
	calculation (Nothing | Count | DistinctCount | Sum | Average | Lowest | Highest | StandardDeviation | Variance | System | First) "Nothing"
	incrementerFactoryClass CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT variableExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT initialValueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT filterExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT group (groupExpression?, groupHeader?, groupFooter?)>
<!ATTLIST group
	name CDATA #REQUIRED
	isStartNewColumn (true | false) "false"
	isStartNewPage (true | false) "false"
	isResetPageNumber (true | false) "false"
	isReprintHeaderOnEachPage (true | false) "false"
	minHeightToStartNewPage NMTOKEN "0"
>)dtd",
        R"dtd(<!ELEMENT groupExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT groupHeader (band?)>)dtd",
        R"dtd(<!ELEMENT groupFooter (band?)>)dtd",
        R"dtd(<!ELEMENT background (band?)>)dtd",
        R"dtd(<!ELEMENT title (band?)>)dtd",
        R"dtd(<!ELEMENT pageHeader (band?)>)dtd",
        R"dtd(<!ELEMENT columnHeader (band?)>)dtd",
        R"dtd(<!ELEMENT detail (band?)>)dtd",
        R"dtd(<!ELEMENT columnFooter (band?)>)dtd",
        R"dtd(<!ELEMENT pageFooter (band?)>)dtd",
        R"dtd(<!ELEMENT lastPageFooter (band?)>)dtd",
        R"dtd(<!ELEMENT summary (band?)>)dtd",
        R"dtd(<!ELEMENT noData (band?)>)dtd",
        R"dtd(<!ELEMENT band (printWhenExpression?, (break | line | rectangle | ellipse | image | staticText | textField | subreport | pieChart | pie3DChart | barChart | bar3DChart | xyBarChart | stackedBarChart | stackedBar3DChart| lineChart | xyLineChart | areaChart | xyAreaChart | scatterChart | bubbleChart | timeSeriesChart | highLowChart | candlestickChart | meterChart | thermometerChart | multiAxisChart | stackedAreaChart | ganttChart | elementGroup | crosstab | frame)*)>
<!ATTLIST band
	height NMTOKEN "0"
	isSplitAllowed (true | false) "true"
>)dtd",
        R"dtd(<!ELEMENT break (reportElement)>
<!ATTLIST break
	type (Page | Column) "Page"
>)dtd",
        R"dtd(<!ELEMENT line (reportElement, graphicElement?)>
<!ATTLIST line
	direction (TopDown | BottomUp) "TopDown"
>)dtd",
        R"dtd(<!ELEMENT reportElement (property*, propertyExpression*, printWhenExpression?)>
<!ATTLIST reportElement
	key CDATA #IMPLIED
	style CDATA #IMPLIED
	positionType (Float | FixRelativeToTop | FixRelativeToBottom) "FixRelativeToTop"
	stretchType (NoStretch | RelativeToTallestObject | RelativeToBandHeight) "NoStretch"
	isPrintRepeatedValues (true | false) "true"
	mode (Opaque | Transparent) #IMPLIED
	x NMTOKEN #REQUIRED
	y NMTOKEN #REQUIRED
	width NMTOKEN #REQUIRED
	height NMTOKEN #REQUIRED
	isRemoveLineWhenBlank (true | false) "false"
	isPrintInFirstWholeBand (true | false) "false"
	isPrintWhenDetailOverflows (true | false) "false"
	printWhenGroupChanges CDATA #IMPLIED
	forecolor CDATA #IMPLIED
	backcolor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT printWhenExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT graphicElement (pen?)>
<!ATTLIST graphicElement
	stretchType (NoStretch | RelativeToTallestObject | RelativeToBandHeight) #IMPLIED
	pen (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	fill (Solid) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT rectangle (reportElement, graphicElement?)>
<!ATTLIST rectangle
	radius NMTOKEN #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT ellipse (reportElement, graphicElement?)>)dtd",
        R"dtd(<!ELEMENT image (reportElement, box?, graphicElement?, imageExpression?, anchorNameExpression?, hyperlinkReferenceExpression?, hyperlinkAnchorExpression?, hyperlinkPageExpression?, hyperlinkTooltipExpression?, hyperlinkParameter*)>
<!ATTLIST image
	scaleImage (Clip | FillFrame | RetainShape | RealHeight | RealSize) #IMPLIED
	hAlign (Left | Center | Right) #IMPLIED
	vAlign (Top | Middle | Bottom) #IMPLIED
	isUsingCache (true | false) #IMPLIED
	isLazy (true | false) "false"
	onErrorType (Error | Blank | Icon) "Error"
	evaluationTime (Now | Report | Page | Column | Group | Band | Auto) "Now"
	evaluationGroup CDATA #IMPLIED
	hyperlinkType CDATA #IMPLIED
	hyperlinkTarget CDATA #IMPLIED
	bookmarkLevel NMTOKEN "0"
>)dtd",
        R"dtd(<!ELEMENT imageExpression (#PCDATA)>
<!ATTLIST imageExpression
	class (java.lang.String | java.io.File | java.net.URL | java.io.InputStream | java.awt.Image | net.sf.jasperreports.engine.JRRenderable) "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT box (pen?, topPen?, leftPen?, bottomPen?, rightPen?)>
<!ATTLIST box
	border (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	borderColor CDATA #IMPLIED
	padding NMTOKEN #IMPLIED
	topBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	topBorderColor CDATA #IMPLIED
	topPadding NMTOKEN #IMPLIED
	leftBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	leftBorderColor CDATA #IMPLIED
	leftPadding NMTOKEN #IMPLIED
	bottomBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	bottomBorderColor CDATA #IMPLIED
	bottomPadding NMTOKEN #IMPLIED
	rightBorder (None | Thin | 1Point | 2Point | 4Point | Dotted) #IMPLIED
	rightBorderColor CDATA #IMPLIED
	rightPadding NMTOKEN #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT topPen EMPTY>
<!ATTLIST topPen
	lineWidth NMTOKEN #IMPLIED
	lineStyle (Solid | Dashed | Dotted | Double) #IMPLIED
	lineColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT leftPen EMPTY>
<!ATTLIST leftPen
	lineWidth NMTOKEN #IMPLIED
	lineStyle (Solid | Dashed | Dotted | Double) #IMPLIED
	lineColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT bottomPen EMPTY>
<!ATTLIST bottomPen
	lineWidth NMTOKEN #IMPLIED
	lineStyle (Solid | Dashed | Dotted | Double) #IMPLIED
	lineColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT rightPen EMPTY>
<!ATTLIST rightPen
	lineWidth NMTOKEN #IMPLIED
	lineStyle (Solid | Dashed | Dotted | Double) #IMPLIED
	lineColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT anchorNameExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT hyperlinkReferenceExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT hyperlinkAnchorExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT hyperlinkPageExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT hyperlinkTooltipExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT hyperlinkParameter (hyperlinkParameterExpression)>
<!ATTLIST hyperlinkParameter
	name CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT hyperlinkParameterExpression (#PCDATA)>
<!ATTLIST hyperlinkParameterExpression
	class CDATA "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT staticText (reportElement, box?, textElement?, text?)>)dtd",
        R"dtd(<!ELEMENT text (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT textElement (font?)>
<!ATTLIST textElement
	textAlignment (Left | Center | Right | Justified) #IMPLIED
	verticalAlignment (Top | Middle | Bottom) #IMPLIED
	rotation (None | Left | Right | UpsideDown) #IMPLIED
	lineSpacing (Single | 1_1_2 | Double) #IMPLIED
	isStyledText (true | false) #IMPLIED
	markup CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT font EMPTY>
<!ATTLIST font
	reportFont CDATA #IMPLIED
	fontName CDATA #IMPLIED
	size NMTOKEN #IMPLIED
	isBold (true | false) #IMPLIED
	isItalic (true | false) #IMPLIED
	isUnderline (true | false) #IMPLIED
	isStrikeThrough (true | false) #IMPLIED
	pdfFontName CDATA #IMPLIED
	pdfEncoding CDATA #IMPLIED
	isPdfEmbedded (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT textField (reportElement, box?, textElement?, textFieldExpression?, anchorNameExpression?, hyperlinkReferenceExpression?, hyperlinkAnchorExpression?, hyperlinkPageExpression?, hyperlinkTooltipExpression?, hyperlinkParameter*)>
<!ATTLIST textField
	isStretchWithOverflow (true | false) "false"
	evaluationTime (Now | Report | Page | Column | Group | Band | Auto) "Now"
	evaluationGroup CDATA #IMPLIED
	pattern CDATA #IMPLIED
	isBlankWhenNull (true | false) #IMPLIED
	hyperlinkType CDATA #IMPLIED
	hyperlinkTarget CDATA #IMPLIED
	bookmarkLevel NMTOKEN "0"
>)dtd",
        R"dtd(<!ELEMENT textFieldExpression (#PCDATA)>
<!ATTLIST textFieldExpression
	class (java.lang.Boolean | java.lang.Byte | java.util.Date | java.sql.Timestamp | java.sql.Time | java.lang.Double | java.lang.Float | java.lang.Integer | java.lang.Long | java.lang.Short | java.math.BigDecimal | java.lang.Number | java.lang.String) "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT subreport (reportElement, parametersMapExpression?, subreportParameter*, (connectionExpression | dataSourceExpression)?, returnValue*, subreportExpression?)>
<!ATTLIST subreport
	isUsingCache (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT parametersMapExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT subreportParameter (subreportParameterExpression?)>
<!ATTLIST subreportParameter
	name CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT subreportParameterExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT returnValue EMPTY>
<!ATTLIST returnValue
	subreportVariable CDATA #IMPLIED
	toVariable CDATA #IMPLIED
	calculation (Nothing | Count | DistinctCount | Sum | Average | Lowest | Highest | StandardDeviation | Variance | First) "Nothing"
	incrementerFactoryClass CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT connectionExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT dataSourceExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT subreportExpression (#PCDATA)>
<!ATTLIST subreportExpression
	class (java.lang.String | java.io.File | java.net.URL | java.io.InputStream | net.sf.jasperreports.engine.JasperReport | dori.jasper.engine.JasperReport) "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT elementGroup (break | line | rectangle | ellipse | image | staticText | textField | subreport | pieChart | pie3DChart | barChart | bar3DChart | xyBarChart | stackedBarChart | stackedBar3DChart| lineChart | xyLineChart | areaChart | xyAreaChart | scatterChart | bubbleChart | timeSeriesChart | highLowChart | candlestickChart | meterChart | thermometerChart | multiAxisChart | stackedAreaChart | ganttChart | elementGroup | crosstab | frame)*>)dtd",
        R"dtd(<!ELEMENT chart (reportElement, box?, chartTitle?, chartSubtitle?, chartLegend?, anchorNameExpression?, hyperlinkReferenceExpression?, hyperlinkAnchorExpression?, hyperlinkPageExpression?, hyperlinkTooltipExpression?, hyperlinkParameter*)>
<!ATTLIST chart
	isShowLegend (true | false) #IMPLIED
	evaluationTime (Now | Report | Page | Column | Group | Band) "Now"
	evaluationGroup CDATA #IMPLIED
	hyperlinkType CDATA #IMPLIED
	hyperlinkTarget CDATA #IMPLIED
	bookmarkLevel NMTOKEN "0"
	customizerClass CDATA #IMPLIED
	renderType CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT chartTitle (font?, titleExpression?)>
<!ATTLIST chartTitle
	position (Top | Bottom | Left | Right) #IMPLIED
	color CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT titleExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT chartSubtitle (font?, subtitleExpression?)>
<!ATTLIST chartSubtitle
	color CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT subtitleExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT chartLegend (font?)>
<!ATTLIST chartLegend
	textColor CDATA #IMPLIED
	backgroundColor CDATA #IMPLIED
	position (Top | Bottom | Left | Right) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT pieChart (chart, pieDataset, piePlot)>)dtd",
        R"dtd(<!ELEMENT pieDataset (dataset?, keyExpression?, valueExpression?, labelExpression?, sectionHyperlink?)>)dtd",
        R"dtd(<!ELEMENT keyExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT valueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT labelExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT sectionHyperlink (hyperlinkReferenceExpression?, hyperlinkAnchorExpression?, hyperlinkPageExpression?, hyperlinkTooltipExpression?, hyperlinkParameter*)>
<!ATTLIST sectionHyperlink
	hyperlinkType CDATA #IMPLIED
	hyperlinkTarget CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT piePlot (plot)>
<!ATTLIST piePlot
	isCircular (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT dataset (incrementWhenExpression?, datasetRun?)>
<!ATTLIST dataset
	resetType (None | Report | Page | Column | Group) "Report"
	resetGroup CDATA #IMPLIED
	incrementType (None | Report | Page | Column | Group) "None"
	incrementGroup CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT incrementWhenExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT datasetRun (parametersMapExpression?, datasetParameter*, (connectionExpression | dataSourceExpression)?)>
<!ATTLIST datasetRun
	subDataset CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT datasetParameter (datasetParameterExpression?)>
<!ATTLIST datasetParameter
	name CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT datasetParameterExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT plot (seriesColor*) >
<!ATTLIST plot
	backcolor CDATA #IMPLIED
	orientation (Horizontal | Vertical) #IMPLIED
	backgroundAlpha NMTOKEN #IMPLIED
	foregroundAlpha NMTOKEN #IMPLIED
	labelRotation CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT seriesColor EMPTY>
<!ATTLIST seriesColor
	seriesOrder CDATA #REQUIRED
	color CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT pie3DChart (chart, pieDataset, pie3DPlot)>)dtd",
        R"dtd(<!ELEMENT pie3DPlot (plot)>
<!ATTLIST pie3DPlot
	depthFactor CDATA  #IMPLIED
	isCircular (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT barChart (chart, categoryDataset, barPlot)>)dtd",
        R"dtd(<!ELEMENT categoryDataset (dataset?, categorySeries*)>)dtd",
        R"dtd(<!ELEMENT categorySeries (seriesExpression?, categoryExpression?, valueExpression?, labelExpression?, itemHyperlink?)>)dtd",
        R"dtd(<!ELEMENT seriesExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT categoryExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT itemHyperlink (hyperlinkReferenceExpression?, hyperlinkAnchorExpression?, hyperlinkPageExpression?, hyperlinkTooltipExpression?, hyperlinkParameter*)>
<!ATTLIST itemHyperlink
	hyperlinkType CDATA #IMPLIED
	hyperlinkTarget CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT barPlot (plot, categoryAxisLabelExpression?, categoryAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>
<!ATTLIST barPlot
	isShowLabels (true | false ) #IMPLIED
	isShowTickMarks (true | false) #IMPLIED
	isShowTickLabels (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT categoryAxisLabelExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT valueAxisLabelExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT categoryAxisFormat (axisFormat)>)dtd",
        R"dtd(<!ELEMENT valueAxisFormat (axisFormat)>)dtd",
        R"dtd(<!ELEMENT axisFormat (labelFont?, tickLabelFont?)>
<!ATTLIST axisFormat
	labelColor CDATA #IMPLIED
	tickLabelColor CDATA #IMPLIED
	tickLabelMask CDATA #IMPLIED
	axisLineColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT labelFont (font?)>)dtd",
        R"dtd(<!ELEMENT tickLabelFont (font?)>)dtd",
        R"dtd(<!ELEMENT bar3DChart (chart, categoryDataset, bar3DPlot)>)dtd",
        R"dtd(<!ELEMENT bar3DPlot (plot, categoryAxisLabelExpression?, categoryAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>
<!ATTLIST bar3DPlot
	isShowLabels (true | false ) #IMPLIED
	xOffset CDATA #IMPLIED
	yOffset CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT xyBarChart (chart, (timePeriodDataset | timeSeriesDataset | xyDataset ), barPlot)>)dtd",
        R"dtd(<!ELEMENT timePeriodDataset (dataset?, timePeriodSeries*)>)dtd",
        R"dtd(<!ELEMENT timePeriodSeries (seriesExpression?, startDateExpression?, endDateExpression?, valueExpression?, labelExpression?, itemHyperlink?)>)dtd",
        R"dtd(<!ELEMENT startDateExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT endDateExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT stackedBarChart (chart, categoryDataset, barPlot)>)dtd",
        R"dtd(<!ELEMENT stackedAreaChart (chart, categoryDataset, areaPlot)>)dtd",
        R"dtd(<!ELEMENT stackedBar3DChart (chart, categoryDataset, bar3DPlot)>)dtd",
        R"dtd(<!ELEMENT lineChart (chart, categoryDataset, linePlot)>)dtd",
        R"dtd(<!ELEMENT linePlot (plot, categoryAxisLabelExpression?, categoryAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>
<!ATTLIST linePlot
	isShowLines (true | false) #IMPLIED
	isShowShapes (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT xyLineChart (chart, xyDataset, linePlot)>)dtd",
        R"dtd(<!ELEMENT xyDataset (dataset?, xySeries*)>)dtd",
        R"dtd(<!ELEMENT xySeries (seriesExpression?, xValueExpression?, yValueExpression?, labelExpression?, itemHyperlink?)>)dtd",
        R"dtd(<!ELEMENT xValueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT yValueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT areaChart (chart, categoryDataset, areaPlot)>)dtd",
        R"dtd(<!ELEMENT areaPlot (plot, categoryAxisLabelExpression?, categoryAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>)dtd",
        R"dtd(<!ELEMENT xyAreaChart (chart, xyDataset, areaPlot)>)dtd",
        R"dtd(<!ELEMENT scatterChart (chart, xyDataset, scatterPlot)>)dtd",
        R"dtd(<!ELEMENT scatterPlot (plot, xAxisLabelExpression?, xAxisFormat?, yAxisLabelExpression?, yAxisFormat?)>
<!ATTLIST scatterPlot
	isShowLines (true | false) #IMPLIED
	isShowShapes (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT xAxisLabelExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT yAxisLabelExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT xAxisFormat (axisFormat)>)dtd",
        R"dtd(<!ELEMENT yAxisFormat (axisFormat)>)dtd",
        R"dtd(<!ELEMENT bubbleChart (chart, xyzDataset, bubblePlot)>)dtd",
        R"dtd(<!ELEMENT xyzDataset (dataset?, xyzSeries*)>)dtd",
        R"dtd(<!ELEMENT xyzSeries (seriesExpression?, xValueExpression?, yValueExpression?, zValueExpression?, itemHyperlink?)>)dtd",
        R"dtd(<!ELEMENT bubblePlot (plot, xAxisLabelExpression?, xAxisFormat?, yAxisLabelExpression?, yAxisFormat?)>
<!ATTLIST bubblePlot
	scaleType (BothAxes | DomainAxis | RangeAxis) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT zValueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT timeSeriesDataset (dataset?, timeSeries*)>
<!ATTLIST timeSeriesDataset
	timePeriod (Year | Quarter | Month | Week | Day | Hour | Minute | Second | Milisecond ) "Day"
>)dtd",
        R"dtd(<!ELEMENT timeSeries (seriesExpression?, timePeriodExpression?, valueExpression?, labelExpression?, itemHyperlink?)>)dtd",
        R"dtd(<!ELEMENT timePeriodExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT timeSeriesChart (chart, timeSeriesDataset, timeSeriesPlot)>)dtd",
        R"dtd(<!ELEMENT timeSeriesPlot (plot, timeAxisLabelExpression?, timeAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>
<!ATTLIST timeSeriesPlot
	isShowLines (true | false) #IMPLIED
	isShowShapes (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT timeAxisLabelExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT timeAxisFormat (axisFormat)>)dtd",
        R"dtd(<!ELEMENT highLowChart (chart, highLowDataset, highLowPlot)>)dtd",
        R"dtd(<!ELEMENT highLowDataset (dataset?, seriesExpression?, dateExpression?, highExpression?, lowExpression?, openExpression?, closeExpression?, volumeExpression?, itemHyperlink?)>)dtd",
        R"dtd(<!ELEMENT highLowPlot (plot, timeAxisLabelExpression?, timeAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>
<!ATTLIST highLowPlot
	isShowCloseTicks (true | false) #IMPLIED
	isShowOpenTicks (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT dateExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT highExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT lowExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT openExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT closeExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT volumeExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT candlestickChart (chart, highLowDataset, candlestickPlot)>)dtd",
        R"dtd(<!ELEMENT candlestickPlot (plot, timeAxisLabelExpression?, timeAxisFormat?, valueAxisLabelExpression?, valueAxisFormat?)>
<!ATTLIST candlestickPlot
	isShowVolume (true | false) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT meterChart (chart, valueDataset, meterPlot)>)dtd",
        R"dtd(<!ELEMENT valueDataset (dataset?, valueExpression )>)dtd",
        R"dtd(<!ELEMENT meterPlot (plot, valueDisplay?, dataRange, meterInterval*)>
<!ATTLIST meterPlot
	shape (chord | circle | pie) #IMPLIED
	angle CDATA #IMPLIED
	units CDATA #IMPLIED
	tickInterval CDATA #IMPLIED
	meterColor CDATA #IMPLIED
	needleColor CDATA #IMPLIED
	tickColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT valueDisplay (font?)>
<!ATTLIST valueDisplay
	color CDATA #IMPLIED
	mask CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT dataRange (lowExpression, highExpression)>)dtd",
        R"dtd(<!ELEMENT meterInterval (dataRange)>
<!ATTLIST meterInterval
	label CDATA #IMPLIED
	color CDATA #IMPLIED
	alpha CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT thermometerChart (chart, valueDataset, thermometerPlot)>)dtd",
        R"dtd(<!ELEMENT thermometerPlot (plot, valueDisplay?, dataRange, lowRange?, mediumRange?, highRange?)>
<!ATTLIST thermometerPlot
	valueLocation ( none | left | right | bulb ) "bulb"
	isShowValueLines ( true | false) "false"
	mercuryColor CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT lowRange (dataRange)>)dtd",
        R"dtd(<!ELEMENT mediumRange (dataRange)>)dtd",
        R"dtd(<!ELEMENT highRange (dataRange)>)dtd",
        R"dtd(<!ELEMENT multiAxisChart (chart, multiAxisPlot)>)dtd",
        R"dtd(<!ELEMENT multiAxisPlot (plot, axis+)>)dtd",
        R"dtd(<!ELEMENT axis (barChart | bar3DChart | xyBarChart | stackedBarChart | stackedBar3DChart| lineChart | xyLineChart | areaChart | xyAreaChart | scatterChart | bubbleChart | timeSeriesChart | highLowChart | candlestickChart | stackedAreaChart | ganttChart)>
<!ATTLIST axis
	position (leftOrTop | rightOrBottom) #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT ganttChart (chart, ganttDataset, barPlot)>)dtd",
        R"dtd(<!ELEMENT ganttDataset (dataset?, ganttSeries*)>)dtd",
        R"dtd(<!ELEMENT ganttSeries (seriesExpression?, taskExpression, subtaskExpression, startDateExpression?, endDateExpression?, percentExpression?)>)dtd",
        R"dtd(<!ELEMENT taskExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT subtaskExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT percentExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT crosstab (reportElement, crosstabParameter*, parametersMapExpression?, crosstabDataset?, crosstabHeaderCell?, rowGroup*, columnGroup*, measure*, crosstabCell*, whenNoDataCell?)>
<!ATTLIST crosstab
	isRepeatColumnHeaders (true | false) "true"
	isRepeatRowHeaders (true | false) "true"
	columnBreakOffset NMTOKEN "10"
	runDirection (LTR | RTL) "LTR"
>)dtd",
        R"dtd(<!ELEMENT crosstabParameter (parameterValueExpression?)>
<!ATTLIST crosstabParameter
	name CDATA #REQUIRED
	class CDATA "java.lang.String"
>)dtd",
        R"dtd(<!ELEMENT parameterValueExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT crosstabDataset (dataset?)>
<!ATTLIST crosstabDataset
	isDataPreSorted (true | false) "false"
>)dtd",
        R"dtd(<!ELEMENT crosstabHeaderCell (cellContents)>)dtd",
        R"dtd(<!ELEMENT rowGroup (bucket, crosstabRowHeader?, crosstabTotalRowHeader?)>
<!ATTLIST rowGroup
	name CDATA #REQUIRED
	width NMTOKEN #REQUIRED
	totalPosition (Start | End | None) "None"
	headerPosition (Top | Middle | Bottom | Stretch) "Top"
>)dtd",
        R"dtd(<!ELEMENT crosstabRowHeader (cellContents?)>)dtd",
        R"dtd(<!ELEMENT crosstabTotalRowHeader (cellContents?)>)dtd",
        R"dtd(<!ELEMENT columnGroup (bucket, crosstabColumnHeader?, crosstabTotalColumnHeader?)>
<!ATTLIST columnGroup
	name CDATA #REQUIRED
	height NMTOKEN #REQUIRED
	totalPosition (Start | End | None) "None"
	headerPosition (Left | Center | Right | Stretch) "Left"
>)dtd",
        R"dtd(<!ELEMENT crosstabColumnHeader (cellContents?)>)dtd",
        R"dtd(<!ELEMENT crosstabTotalColumnHeader (cellContents?)>)dtd",
        R"dtd(<!ELEMENT bucket (bucketExpression?, comparatorExpression?)>
<!ATTLIST bucket
	order (Ascending | Descending) "Ascending"
>)dtd",
        R"dtd(<!ELEMENT bucketExpression (#PCDATA)>
<!ATTLIST bucketExpression
	class CDATA #REQUIRED
>)dtd",
        R"dtd(<!ELEMENT comparatorExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT measure (measureExpression?)>
<!ATTLIST measure
	name CDATA #REQUIRED
	class CDATA #IMPLIED
	calculation (Nothing | Count | DistinctCount | Sum | Average | Lowest | Highest | StandardDeviation | Variance | First) "Nothing"
	incrementerFactoryClass CDATA #IMPLIED
	percentageOf (None | GrandTotal) "None"
	percentageCalculatorClass CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT measureExpression (#PCDATA)>)dtd",
        R"dtd(<!ELEMENT crosstabCell (cellContents?)>
<!ATTLIST crosstabCell
	width NMTOKEN #IMPLIED
	height NMTOKEN #IMPLIED
	rowTotalGroup CDATA #IMPLIED
	columnTotalGroup CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT cellContents (box?, (line | rectangle | ellipse | image | staticText | textField | elementGroup | frame)*)>
<!ATTLIST cellContents
	backcolor CDATA #IMPLIED
	mode (Opaque | Transparent) #IMPLIED
	style CDATA #IMPLIED
>)dtd",
        R"dtd(<!ELEMENT whenNoDataCell (cellContents)>)dtd",
        R"dtd(<!ELEMENT frame (reportElement, box?, (break | line | rectangle | ellipse | image | staticText | textField | subreport | pieChart | pie3DChart | barChart | bar3DChart | xyBarChart | stackedBarChart | stackedBar3DChart| lineChart | xyLineChart | areaChart | xyAreaChart | scatterChart | bubbleChart | timeSeriesChart | highLowChart | candlestickChart | meterChart | thermometerChart | multiAxisChart | stackedAreaChart | ganttChart | elementGroup | crosstab | frame)*)>)dtd",
    };
    return pieces;
}
// clang-format on

} // namespace DocumentTypeGrammar
