// A no-edit save gives a file back as it was spelled: what it left out stays out, what it spelled
// out stays spelled out, values the model has no case for come back as written, until the user
// changes the value; then the value is written as the writer writes it.

#include "CanonicalDiff.h"
#include "CodecTestSupport.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

QByteArray withTitle(const QByteArray &elements)
{
    return reportWithHeader("<title><band height=\"50\">" + elements + "</band></title>");
}

} // namespace

TEST(JrxmlFileSpelling, TextsTheModelHasNoCaseForComeBackAsWritten)
{
    const QByteArray element = "<reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"";
    const QByteArray inputs[] = {
        // Every value the engine takes, also those the model has no case for.
        reportWithHeader("<group name=\"g\" footerPosition=\"CollateAtBottom\"><groupExpression>"
                         "<![CDATA[1]]></groupExpression></group>"),
        reportWithHeader("<sortField name=\"a\" order=\"descending\" type=\"variable\"/>"),
        reportWithHeader({},
                         " whenNoDataType=\"Blank\" printOrder=\"vertical\" columnCount=\" 01\""),
        reportWithHeader("<style name=\"s\" hAlign=\"Justified\"/>"),
        withTitle("<staticText>" + element +
                  " positionType=\"Floating\" stretchType=\"Grow\"/><textElement "
                  "textAlignment=\"Justified\" verticalAlignment=\"Justified\"/>"
                  "<text><![CDATA[t]]></text></staticText>"),
        withTitle("<textField textAdjust=\"Shrink\" evaluationTime=\"Auto\">" + element +
                  "/><textFieldExpression><![CDATA[1]]></textFieldExpression></textField>"),
        withTitle("<break type=\"column\">" + element + "/></break>"),
        withTitle("<image>" + element +
                  "/><box><topPen lineStyle=\"dashed\"/></box>"
                  "<imageExpression><![CDATA[\"a.png\"]]></imageExpression></image>"),
    };
    for (const QByteArray &in : inputs)
        expectUnchanged(in);

    // Set by the user, the value replaces what the file had, once.
    ReportDocument d = JrxmlCodec::parse(inputs[0]);
    EXPECT_EQ(d.groups[0].footerPosition, GroupFooterPosition::normal);
    d.groups[0].footerPosition = GroupFooterPosition::stackAtBottom;
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_TRUE(edited.contains(" footerPosition=\"StackAtBottom\">")) << edited.toStdString();
    EXPECT_EQ(edited.count("footerPosition"), 1);
    d = JrxmlCodec::parse(inputs[1]);
    d.sortFields[0].order = SortFieldOrder::descending;
    EXPECT_TRUE(JrxmlCodec::serialize(d).contains(
        "<sortField name=\"a\" order=\"Descending\" type=\"variable\"/>"));
}

// A back colour without a mode leaves the fill to the parent style, for styles, conditional
// styles and elements alike, until the user changes the colour.
TEST(JrxmlFileSpelling, AFillWithoutAModeKeepsNoneUntilItChanges)
{
    const QByteArray in = reportWithHeader(
        "<style name=\"Parent\" mode=\"Transparent\"/><style name=\"Row\" style=\"Parent\" "
        "backcolor=\"#EEEEEE\"><conditionalStyle><conditionExpression><![CDATA[true]]>"
        "</conditionExpression><style backcolor=\"#FC110D\"/></conditionalStyle></style>"
        "<title><band height=\"20\"><staticText><reportElement x=\"0\" y=\"0\" "
        "width=\"10\" height=\"10\" style=\"Parent\" backcolor=\"#00FF00\"/><text>"
        "<![CDATA[t]]></text></staticText></band></title>");
    const QByteArray out = expectUnchanged(in);
    EXPECT_FALSE(out.contains("Opaque")) << out.toStdString();

    ReportDocument d = JrxmlCodec::parse(in);
    d.styles[1].backColor = ElementColor{QStringLiteral("#DDDDDD")};
    d.styles[1].conditionalStyles[0].backColor = ElementColor{QStringLiteral("#0000FF")};
    d.bands[1].elements[0].backColor = ElementColor{QStringLiteral("#111111")};
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_TRUE(edited.contains("backcolor=\"#DDDDDD\" mode=\"Opaque\""));
    EXPECT_TRUE(edited.contains("<style backcolor=\"#0000FF\" mode=\"Opaque\"/>"));
    EXPECT_TRUE(edited.contains("backcolor=\"#111111\" mode=\"Opaque\""));
}

// Fractional font sizes stay fractional in the model and in the file.
TEST(JrxmlFileSpelling, FractionalFontSizesStay)
{
    const QByteArray in = reportWithHeader(
        "<style name=\"Small\" fontSize=\"8.5\"><conditionalStyle><conditionExpression>"
        "<![CDATA[true]]></conditionExpression><style fontSize=\"12.25\"/>"
        "</conditionalStyle></style><title><band height=\"20\"><staticText>"
        "<reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"/><textElement><font "
        "size=\"11.5\"/></textElement><text><![CDATA[t]]></text></staticText><staticText>"
        "<reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\" style=\"Small\"/><text>"
        "<![CDATA[u]]></text></staticText></band></title>");
    expectUnchanged(in);
    ReportDocument d = JrxmlCodec::parse(in);
    EXPECT_EQ(d.styles[0].fontSize, 8.5);
    EXPECT_EQ(d.styles[0].conditionalStyles[0].fontSize, 12.25);
    EXPECT_EQ(d.bands[1].elements[0].fontSize, 11.5);
    EXPECT_EQ(d.bands[1].elements[1].fontSize, 8.5);

    d.bands[1].elements[1].fontSize = 9.75;
    d.bands[1].elements[0].fontSize = 11;
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_TRUE(edited.contains("<font size=\"9.75\"/>")) << edited.toStdString();
    EXPECT_TRUE(edited.contains("<font size=\"11\"/>")) << edited.toStdString();
}

// A frame's own fore colour is not its pens' colour.
TEST(JrxmlFileSpelling, FrameKeepsItsForeColorBesidePensOfAnother)
{
    const QByteArray in = withTitle(
        "<frame><reportElement x=\"0\" y=\"0\" width=\"100\" height=\"30\" forecolor=\"#66FF66\"/>"
        "<box><topPen lineWidth=\"1.0\" lineColor=\"#E6E6E6\"/><leftPen lineWidth=\"1.0\" "
        "lineColor=\"#E6E6E6\"/></box></frame>");
    expectUnchanged(in);
    const ReportElement frame = JrxmlCodec::parse(in).bands[1].elements[0];
    EXPECT_EQ(frame.foreColor, ElementColor{QStringLiteral("#66FF66")});
    ASSERT_TRUE(frame.topPen.has_value());
    EXPECT_EQ(frame.topPen->color, ElementColor{QStringLiteral("#E6E6E6")});
}

// Page size, margins and column width the root leaves out stay out while the model holds the
// engine's values for them, whatever else changes.
TEST(JrxmlFileSpelling, PageSettingsTheRootLeavesOutStayOutUntilChanged)
{
    const QByteArray in = reportWithHeader({}, " pageWidth=\"842\"");
    const QByteArray out = expectUnchanged(in);
    EXPECT_FALSE(out.contains("columnWidth")) << out.toStdString();
    EXPECT_FALSE(out.contains("Margin")) << out.toStdString();

    const auto edited = [&](const std::function<void(ReportDocument &)> &edit) {
        ReportDocument d = JrxmlCodec::parse(in);
        edit(d);
        return JrxmlCodec::serialize(d);
    };
    EXPECT_FALSE(edited([](ReportDocument &d) { d.pageWidth = 595; }).contains("columnWidth"));
    EXPECT_FALSE(edited([](ReportDocument &d) { d.columnCount = 2; }).contains("columnWidth"));
    const QByteArray column = edited([](ReportDocument &d) { d.columnWidth = 535; });
    EXPECT_TRUE(column.contains(" columnWidth=\"535\"")) << column.toStdString();
    const QByteArray margins = edited([](ReportDocument &d) { d.topMargin = 10; });
    EXPECT_TRUE(margins.contains(" topMargin=\"10\"")) << margins.toStdString();
    EXPECT_FALSE(margins.contains("columnWidth"));
    EXPECT_FALSE(margins.contains("leftMargin"));
}

// The query language chooses how the engine runs the report, also with an empty query.
TEST(JrxmlFileSpelling, EmptyQueryKeepsItsLanguage)
{
    const QByteArray in =
        reportWithHeader("<subDataset name=\"d\"><queryString language=\"json\">"
                         "</queryString></subDataset><queryString language=\"csv\">"
                         "</queryString>");
    const QByteArray out = expectUnchanged(in);
    EXPECT_TRUE(out.contains("    <queryString language=\"csv\"/>\n")) << out.toStdString();
    expectUnchanged(reportWithHeader("<queryString><![CDATA[select 1]]></queryString>"));

    ReportDocument d = JrxmlCodec::parse(in);
    d.queryString = QStringLiteral("a,b");
    d.subDatasets[0].queryLanguage = QStringLiteral("sql");
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_TRUE(edited.contains("<queryString language=\"csv\"><![CDATA[a,b]]></queryString>"));
    EXPECT_TRUE(edited.contains("<queryString language=\"sql\"/>"));
}

TEST(JrxmlFileSpelling, WhatTheFileLeftOutStaysOut)
{
    const QByteArray in = reportWithHeader(
        "<style name=\"s\"><conditionalStyle/></style><parameter "
        "name=\"p\"/><queryString><![CDATA[select 1]]></queryString>"
        "<field name=\"f\"/><sortField name=\"f\"/><variable name=\"v\"><variableExpression>"
        "<![CDATA[1]]></variableExpression></variable><group name=\"g\"/><title><band "
        "height=\"50\"><image><reportElement x=\"0\" y=\"0\" "
        "width=\"10\" height=\"10\"/></image><rectangle><reportElement x=\"0\" y=\"0\" "
        "width=\"10\" height=\"10\"/></rectangle><line><reportElement x=\"0\" y=\"0\" "
        "width=\"10\" height=\"1\"/></line><subreport><reportElement x=\"0\" y=\"0\" width=\"10\" "
        "height=\"10\"/><subreportParameter name=\"a\"/></subreport><staticText><reportElement "
        "x=\"0\" y=\"0\" width=\"10\" height=\"10\"/></staticText><textField><reportElement "
        "x=\"0\" y=\"0\" width=\"10\" height=\"10\"/></textField></band></title>");
    expectUnchanged(in);

    // Values the user sets are written as the writer writes them.
    ReportDocument d = JrxmlCodec::parse(in);
    d.groups[0].isStartNewPage = true;
    d.groups[0].expression = QStringLiteral("$F{f}");
    d.variables[0].calculation = QStringLiteral("Sum");
    d.fields[0].className = QStringLiteral("java.lang.Integer");
    d.sortFields[0].type = SortFieldType::variable;
    d.queryLanguage = QStringLiteral("SQL");
    d.bands[1].elements[1].penWidth = 2;
    d.bands[1].elements[3].kind.as<ElementKind::Subreport>()->parameters[0].expression =
        QStringLiteral("$P{x}");
    d.bands[1].elements[4].kind.as<ElementKind::StaticText>()->text = QStringLiteral("t");
    d.styles[0].conditionalStyles[0].isBold = true;
    const QByteArray edited = JrxmlCodec::serialize(d);
    for (const char *text :
         {"<group name=\"g\" isStartNewPage=\"true\">",
          "<groupExpression><![CDATA[$F{f}]]></groupExpression>",
          "<variable name=\"v\" calculation=\"Sum\">",
          "<field name=\"f\" class=\"java.lang.Integer\">",
          "<sortField name=\"f\" type=\"Variable\"/>", "<queryString language=\"SQL\">",
          "<graphicElement>\n                    <pen lineWidth=\"2.0\"/>",
          "<subreportParameterExpression><![CDATA[$P{x}]]></subreportParameterExpression>",
          "<text><![CDATA[t]]></text>", "<style isBold=\"true\"/>"})
        EXPECT_TRUE(edited.contains(text)) << text << "\n" << edited.toStdString();
    EXPECT_FALSE(edited.contains("<textFieldExpression>")) << "left as it was";
}

TEST(JrxmlFileSpelling, WhatTheFileSpelledOutStaysSpelledOut)
{
    const QByteArray in = reportWithHeader(
        "<template class=\"java.lang.String\"><![CDATA[\"t.jrtx\"]]></template>"
        "<style name=\"s\" isDefault=\"false\" pdfEncoding=\"\" isPdfEmbedded=\"false\" "
        "hAlign=\"Left\"/><scriptlet name=\"s\" class=\"S\"><scriptletDescription/></scriptlet>"
        "<parameter name=\"p\" class=\"java.lang.String\" isForPrompting=\"true\">"
        "<defaultValueExpression/></parameter><field name=\"f\" class=\"java.lang.String\"/>"
        "<sortField name=\"f\" order=\"Ascending\" type=\"Field\"/><variable name=\"v\" "
        "class=\"java.lang.String\" resetType=\"Report\" incrementType=\"\" "
        "calculation=\"Nothing\"><variableExpression/><initialValueExpression>"
        "</initialValueExpression></variable><group name=\"g\" isStartNewPage=\"false\" "
        "isResetPageNumber=\"false\" isReprintHeaderOnEachPage=\"false\" keepTogether=\"false\" "
        "isStartNewColumn=\"false\" footerPosition=\"Normal\"><groupExpression/></group>"
        "<title><band height=\"20\"><textField><reportElement x=\"0\" y=\"0\" width=\"10\" "
        "height=\"10\"><printWhenExpression/></reportElement><textFieldExpression/>"
        "<hyperlinkReferenceExpression/></textField><subreport><reportElement x=\"0\" y=\"0\" "
        "width=\"10\" height=\"10\"/><connectionExpression/><subreportExpression/></subreport>"
        "</band></title>",
        " pageWidth=\"595\" pageHeight=\"842\" columnWidth=\"555\" leftMargin=\"20\" "
        "rightMargin=\"20\" topMargin=\"20\" bottomMargin=\"20\" whenNoDataType=\"NoPages\" "
        "columnCount=\"1\" printOrder=\"Vertical\" columnSpacing=\"0\" language=\"java\" "
        "isSummaryNewPage=\"false\" isSummaryWithPageHeaderAndFooter=\"false\" "
        "isFloatColumnFooter=\"false\"");
    expectUnchanged(in);

    // Changed and changed back, a value is written as the writer writes it or as spelled.
    ReportDocument d = JrxmlCodec::parse(in);
    d.columnCount = 2;
    d.groups[0].isKeepTogether = true;
    d.parameters[0].defaultValueExpression = QStringLiteral("\"x\"");
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_EQ(edited.count("columnCount=\"2\""), 1) << edited.toStdString();
    EXPECT_FALSE(edited.contains("columnCount=\"1\""));
    EXPECT_EQ(edited.count("keepTogether=\"true\""), 1);
    EXPECT_TRUE(edited.contains("<defaultValueExpression><![CDATA[\"x\"]]>"));
}

// Found by fuzzing: a column spacing that is written as 0, and kept content on both sides of a
// scriptlet the writer leaves out. A second save changes nothing.
TEST(JrxmlFileSpelling, WhatTheFirstSaveLeavesOutChangesNoSecondSave)
{
    // 0.4 would be written as 0, which is what no spacing gives: it is left out, while the
    // unknown attribute stays.
    const QByteArray spacing = reportWithHeader({}, " columnSpacing=\"0.4\" isFoo=\"true\"");
    const QByteArray once = roundTrip(spacing);
    EXPECT_EQ(roundTrip(once).toStdString(), once.toStdString());
    EXPECT_FALSE(once.contains("columnSpacing")) << once.toStdString();
    EXPECT_TRUE(once.contains("isFoo=\"true\""));
    EXPECT_TRUE(
        roundTrip(reportWithHeader({}, " columnSpacing=\"0.6\"")).contains("columnSpacing=\"1\""));

    // The content kept after the scriptlet without a class joins the content before it, as
    // the next read finds them with nothing between.
    QStringList warnings;
    const QByteArray first =
        roundTrip("<jasperReport><e/><scriptlet/><r/></jasperReport>", &warnings);
    EXPECT_EQ(roundTrip(first).toStdString(), first.toStdString());
    EXPECT_TRUE(first.contains("\n\n    <e/>\n    <r/>\n\n</jasperReport>")) << first.toStdString();
    EXPECT_FALSE(first.contains("scriptlet"));
    const QStringList leftOut = {
        QStringLiteral("Scriptlets without a class are left out when the report is saved")};
    EXPECT_EQ(warnings, leftOut);

    // Only a class decides, once for any number of scriptlets; kept content after a scriptlet
    // that is written stays apart.
    warnings.clear();
    const QByteArray named =
        roundTrip(reportWithHeader("<e/><scriptlet name=\"a\"/><scriptlet class=\" \"/>"
                                   "<scriptlet class=\"S\"/><r/>"),
                  &warnings);
    EXPECT_EQ(warnings, leftOut);
    EXPECT_TRUE(named.contains("    <e/>\n\n    <scriptlet name=\"\" class=\"S\"/>\n\n    <r/>\n"))
        << named.toStdString();
    EXPECT_EQ(roundTrip(named).toStdString(), named.toStdString());
    warnings.clear();
    roundTrip(reportWithHeader("<scriptlet class=\"S\"/>"), &warnings);
    EXPECT_TRUE(warnings.isEmpty());
}

// Found by fuzzing: a first detail section without a band but with an attribute, and a second
// one. The first is written with its attribute, so a second read and write change nothing.
TEST(JrxmlFileSpelling, SectionsWithoutABandComeBackAsWritten)
{
    const QByteArray twoDetails =
        reportWithHeader("<detail splitType=\"Stretch\"/><detail><band height=\"20\"/></detail>");
    const QByteArray once = expectUnchanged(twoDetails);
    EXPECT_TRUE(once.contains("<detail splitType=\"Stretch\">")) << once.toStdString();
    EXPECT_TRUE(JrxmlCodec::parse(twoDetails).isDetailAbsent);

    expectUnchanged(
        reportWithHeader("<group name=\"g\"><groupExpression><![CDATA[1]]></groupExpression>"
                         "<groupHeader/></group><title/><pageHeader a=\"1\"><part/></pageHeader>"
                         "<detail/>"));
    // A band the user shows gets its band; the section's other content stays.
    ReportDocument d = JrxmlCodec::parse(reportWithHeader("<title a=\"1\"><x/></title>"));
    d.bands[1].isPresent = true;
    EXPECT_TRUE(JrxmlCodec::serialize(d).contains(
        "    <title a=\"1\">\n        <band height=\"20\">\n        </band>\n        <x/>\n"));
}
