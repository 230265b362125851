// Report elements keep what the model does not hold and inherit what they inherited.

#include "CodecTestSupport.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

const QByteArray defaultStyle =
    "<style name=\"Base\" isDefault=\"true\" fontName=\"DejaVu Sans\" fontSize=\"12\"/>";

QByteArray titleElement(const QByteArray &jrxml)
{
    return roundTrip(reportWithTitle(jrxml, defaultStyle));
}

// The report read from the text, which the reader keeps whole (it gives no warning).
ReportDocument readWhole(const QByteArray &jrxml)
{
    QStringList warnings;
    ReportDocument d = JrxmlCodec::parse(jrxml, &warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    return d;
}

// Each text found in `out` after the one before.
void expectInOrder(const QByteArray &out, const QList<QByteArray> &texts)
{
    qsizetype at = 0;
    for (const QByteArray &text : texts) {
        const qsizetype found = out.indexOf(text, at);
        EXPECT_GE(found, 0) << text.toStdString() << "\n" << out.toStdString();
        at = std::max(at, found);
    }
}

} // namespace

// Values the model reads but cannot represent, and content it does not hold, come back as they
// were.
TEST(JrxmlKeptElements, ElementsComeBackAsTheyWere)
{
    const struct {
        QByteArray element;
        QList<QByteArray> expected;
    } cases[] = {
        {"<staticText><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\" "
         "backcolor=\"#FF0000\" "
         "mode=\"Transparent\"/><text>a</text></staticText>",
         {"backcolor=\"#FF0000\" mode=\"Transparent\"/>"}},
        {"<textField textAdjust=\"StretchHeight\" isStretchWithOverflow=\"true\"><reportElement "
         "x=\"0\" y=\"0\" width=\"9\" height=\"9\"/><textFieldExpression>1</textFieldExpression>"
         "</textField>",
         {"<textField textAdjust=\"StretchHeight\" isStretchWithOverflow=\"true\">"}},
        {"<pieChart><chart><reportElement key=\"k\" x=\"0\" y=\"0\" width=\"9\" height=\"9\" "
         "forecolor=\"#00FF00\"><property name=\"p\" value=\"v\"/><printWhenExpression>"
         "<![CDATA[$V{PAGE_NUMBER} > 1]]></printWhenExpression></reportElement></chart>"
         "<pieDataset/></pieChart>",
         {"<reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\" forecolor=\"#00FF00\" "
          "key=\"k\">",
          "<property name=\"p\" value=\"v\"/>",
          "<printWhenExpression><![CDATA[$V{PAGE_NUMBER} > 1]]></printWhenExpression>"}},
        {"<textField><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/><box padding=\"3\">"
         "<pen lineWidth=\"2\"/><topPen lineStyle=\"Dotted\"/></box><textElement><paragraph "
         "lineSpacing=\"Double\"/></textElement><textFieldExpression>1</textFieldExpression>"
         "<anchorNameExpression>\"a\"</anchorNameExpression></textField>",
         {"<box padding=\"3\">", "<pen lineWidth=\"2\"/>", "<topPen lineStyle=\"Dotted\"/>",
          "<paragraph lineSpacing=\"Double\"/>", "<textFieldExpression>",
          "<anchorNameExpression>\"a\"</anchorNameExpression>"}},
        // Defaults the file spelled out, and the value class of an expression, stay.
        {"<textField isBlankWhenNull=\"false\" evaluationTime=\"Now\"><reportElement x=\"0\" "
         "y=\"0\" width=\"9\" height=\"9\" positionType=\"FixRelativeToTop\" "
         "stretchType=\"NoStretch\"/><box leftPadding=\"0\"><topPen lineWidth=\"1\" "
         "lineStyle=\"Solid\"/></box><textElement/><textFieldExpression class=\"java.lang."
         "Integer\">1</textFieldExpression></textField>",
         {"<textField evaluationTime=\"Now\" isBlankWhenNull=\"false\">",
          "height=\"9\" positionType=\"FixRelativeToTop\" stretchType=\"NoStretch\"/>",
          "<box leftPadding=\"0\">", "<topPen lineWidth=\"1.0\" lineStyle=\"Solid\"/>",
          "<textElement/>", "<textFieldExpression class=\"java.lang.Integer\"><![CDATA[1]]>"}},
        // The format gives a subreport no box; a frame without pens gains none.
        {"<subreport><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/>"
         "<subreportExpression>\"s\"</subreportExpression></subreport><frame><reportElement "
         "x=\"0\" y=\"0\" width=\"9\" height=\"9\"/></frame>",
         {"<subreport>\n                <reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/>\n"
          "                <subreportExpression>",
          "<frame>\n                <reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/>\n"
          "            </frame>"}},
    };
    for (const auto &c : cases) {
        const QByteArray out = titleElement(c.element);
        expectInOrder(out, c.expected);
        EXPECT_EQ(roundTrip(out), out) << "not a fixed point";
    }
}

// A subreport writes a connection or a data source, never both: beside a connection no data
// source comes back, however many the file had, so that the first save is a fixed point. Without
// a connection a second data source stays as the file had it.
TEST(JrxmlKeptElements, ADataSourceBesideAConnectionStaysOut)
{
    const QByteArray position = "<reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/>";
    const QByteArray out = titleElement(
        "<subreport>" + position +
        "<connectionExpression>$P{c}</connectionExpression><dataSourceExpression>$P{a}"
        "</dataSourceExpression><extra/><dataSourceExpression>$P{b}</dataSourceExpression>"
        "<subreportExpression>\"s\"</subreportExpression></subreport>");
    expectInOrder(out, {"<connectionExpression><![CDATA[$P{c}]]></connectionExpression>",
                        "<extra/>", "<subreportExpression>"});
    EXPECT_FALSE(out.contains("dataSourceExpression")) << out.toStdString();
    EXPECT_EQ(roundTrip(out), out) << "not a fixed point";

    const QByteArray twoSources = titleElement(
        "<subreport>" + position +
        "<dataSourceExpression>$P{a}</dataSourceExpression><extra/><dataSourceExpression>$P{b}"
        "</dataSourceExpression><subreportExpression>\"s\"</subreportExpression></subreport>");
    expectInOrder(twoSources, {"<dataSourceExpression><![CDATA[$P{a}]]>", "<extra/>",
                               "<dataSourceExpression>$P{b}</dataSourceExpression>"});
    EXPECT_EQ(roundTrip(twoSources), twoSources) << "not a fixed point";
}

// An element that names no style takes the default style's font, as the engine does, and the
// font stays inherited until the user changes it.
TEST(JrxmlKeptElements, InheritedFontStaysInherited)
{
    const QByteArray in = reportWithTitle(
        "<staticText><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/><textElement>"
        "<font isBold=\"true\"/></textElement><text>a</text></staticText>",
        defaultStyle);
    ReportDocument d = JrxmlCodec::parse(in);
    ReportElement &e = d.bands[1].elements[0];
    EXPECT_EQ(e.fontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(e.fontSize, 12);
    const QByteArray untouched = JrxmlCodec::serialize(d);
    EXPECT_TRUE(untouched.contains("<font isBold=\"true\"/>")) << untouched.toStdString();

    e.width = 50;
    EXPECT_TRUE(JrxmlCodec::serialize(d).contains("<font isBold=\"true\"/>"));
    e.fontName = QStringLiteral("Serif");
    e.fontSize = 14;
    EXPECT_TRUE(JrxmlCodec::serialize(d).contains("<font fontName=\"Serif\" size=\"14\" "
                                                  "isBold=\"true\"/>"));
}

TEST(JrxmlKeptElements, CapturedAttributeNamesKeepTheirCharacters)
{
    const QByteArray out = titleElement(
        "<crosstab x:\xC3\xA9t\xC3\xA9=\"1\" xmlns:x=\"urn:x\"><reportElement x=\"0\" y=\"0\" "
        "width=\"9\" height=\"9\"/></crosstab>");
    EXPECT_TRUE(out.contains("x:\xC3\xA9t\xC3\xA9=\"1\"")) << out.toStdString();
    EXPECT_EQ(roundTrip(out), out);
}

// A table cell keeps its box pens of every line style, colour and width, its box's other
// attributes and children, and the cell's own, through a load and save without edits.
TEST(JrxmlKeptElements, TableCellsKeepTheirBoxes)
{
    const QByteArray cell =
        "<jr:detailCell style=\"Cell\" height=\"20\" rowSpan=\"1\">"
        "<property name=\"p\" value=\"v\"/>"
        "<box padding=\"2\"><pen lineWidth=\"0.5\"/>"
        "<topPen lineWidth=\"1.0\" lineStyle=\"Solid\" lineColor=\"#000000\"/>"
        "<leftPen lineWidth=\"2.5\" lineStyle=\"Dashed\" lineColor=\"#FF0000\"/>"
        "<bottomPen lineWidth=\"0.25\" lineStyle=\"Dotted\" lineColor=\"#00ff00\"/>"
        "<rightPen lineWidth=\"3\" lineStyle=\"Double\"/></box>"
        "<staticText><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/><text>a</text>"
        "</staticText></jr:detailCell>";
    const QByteArray in =
        reportWithTitle("<componentElement><reportElement x=\"0\" y=\"0\" width=\"90\" "
                        "height=\"40\"/><jr:table xmlns:jr=\"http://jasperreports.sourceforge.net/"
                        "jasperreports/components\"><jr:column width=\"90\"><jr:columnHeader "
                        "height=\"20\"><box><leftPen lineWidth=\"1.0\"/></box></jr:columnHeader>" +
                            cell + "</jr:column></jr:table></componentElement>",
                        defaultStyle);
    const QByteArray out = roundTrip(in);
    for (const char *text :
         {"<jr:detailCell style=\"Cell\" height=\"20\" rowSpan=\"1\">",
          "<property name=\"p\" value=\"v\"/>", "<box padding=\"2\">", "<pen lineWidth=\"0.5\"/>",
          "<topPen lineWidth=\"1.0\" lineColor=\"#000000\" lineStyle=\"Solid\"/>",
          "<leftPen lineWidth=\"2.5\" lineStyle=\"Dashed\" lineColor=\"#FF0000\"/>",
          "<bottomPen lineWidth=\"0.25\" lineStyle=\"Dotted\" lineColor=\"#00ff00\"/>",
          "<rightPen lineWidth=\"3\" lineStyle=\"Double\"/>",
          // A header without an element stays; its box with only a left pen gains no others.
          "<box>\n                                <leftPen lineWidth=\"1.0\"/>\n"
          "                            </box>"})
        EXPECT_TRUE(out.contains(text)) << text << "\n" << out.toStdString();
    EXPECT_EQ(out.count("<topPen"), 1) << out.toStdString();
    EXPECT_EQ(roundTrip(out), out) << "not a fixed point";

    // A pen width set on the cell reaches every side.
    ReportDocument d = JrxmlCodec::parse(out);
    ReportTableColumn &column =
        d.bands[1].elements[0].kind.as<ElementKind::Table>()->columns[0]; // NOLINT
    column.detailCellFormatting.boxPenWidth = 4;
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_EQ(edited.count("lineWidth=\"4.0\""), 4) << edited.toStdString();
    EXPECT_TRUE(edited.contains("lineStyle=\"Double\"")) << edited.toStdString();
}

// A default the file spelled out gives way to the user's value; it is not written twice.
TEST(JrxmlKeptElements, SpelledDefaultsGiveWayToEdits)
{
    ReportDocument d = JrxmlCodec::parse(reportWithTitle(
        "<textField isBlankWhenNull=\"false\"><reportElement x=\"0\" y=\"0\" width=\"9\" "
        "height=\"9\" positionType=\"FixRelativeToTop\"/><box><topPen lineStyle=\"Solid\"/>"
        "</box><textFieldExpression>1</textFieldExpression></textField>"));
    ReportElement &e = d.bands[1].elements[0];
    e.isBlankWhenNull = true;
    e.positionType = PositionType::float_;
    e.topPen->style = PenLineStyle::dashed;
    const QByteArray out = JrxmlCodec::serialize(d);
    expectInOrder(out, {"<textField isBlankWhenNull=\"true\">", "positionType=\"Float\"/>",
                        "<topPen lineStyle=\"Dashed\"/>"});
    EXPECT_FALSE(out.contains("false") || out.contains("Solid") || out.contains("FixRelative"))
        << out.toStdString();
}

// Element groups, nested or empty, in bands and frames, come back where they stood with what
// they hold besides elements; a group that a change of drawing order splits holds that once.
TEST(JrxmlKeptElements, ElementGroupsComeBack)
{
    const QByteArray in = reportWithTitle(
        "<line/><elementGroup><textField/><elementGroup><line stretchType=\"ElementGroupHeight\"/>"
        "</elementGroup><elementGroup/><x:odd xmlns:x=\"urn:x\"/><elementGroup><ellipse/>"
        "</elementGroup></elementGroup><elementGroup><elementGroup/></elementGroup><frame>"
        "<elementGroup><image/></elementGroup><elementGroup/></frame>");
    ReportDocument d = readWhole(in);
    const QByteArray out = JrxmlCodec::serialize(d);
    // Nesting is not shown by indentation: the elements' own lines stand as everywhere.
    expectInOrder(out.simplified(),
                  {"</line> <elementGroup> <elementGroup/> <x:odd xmlns:x=\"urn:x\"/> <textField>",
                   "</textField> <elementGroup> <line stretchType=\"ElementGroupHeight\">",
                   "</line> </elementGroup> <elementGroup> <ellipse>",
                   "</ellipse> </elementGroup> </elementGroup> "
                   "<elementGroup><elementGroup/></elementGroup> <frame>",
                   "<elementGroup> <image>",
                   "</image> </elementGroup> <elementGroup/> </frame> "
                   "</band>"});
    EXPECT_EQ(roundTrip(out), out) << "not a fixed point";

    // The text field drawn last: its group is written twice, its other content once.
    ElementList &band = d.bands[1].elements;
    band.append(band.takeAt(1));
    const QByteArray reordered = JrxmlCodec::serialize(d);
    EXPECT_EQ(reordered.count("<elementGroup>\n"), 5) << reordered.toStdString();
    EXPECT_EQ(reordered.count("<x:odd"), 1);
    EXPECT_EQ(roundTrip(reordered), reordered);
    EXPECT_EQ(reordered.count("</textField>"), 1);
}

// List contents keep a cell size of their own while the list keeps its size, and what they hold
// besides elements; a list resized by the user writes its new size.
TEST(JrxmlKeptElements, ListContentsKeepTheirSizeAndContent)
{
    const QByteArray in = reportWithTitle(
        "<componentElement><reportElement x=\"0\" y=\"0\" width=\"90\" height=\"60\"/><jr:list "
        "xmlns:jr=\"http://jasperreports.sourceforge.net/jasperreports/components\"><datasetRun/>"
        "<jr:listContents height=\"20.5\"><elementGroup/><line/><odd/></jr:listContents></jr:list>"
        "</componentElement>");
    ReportDocument d = readWhole(in);
    const QByteArray out = JrxmlCodec::serialize(d);
    expectInOrder(out.simplified(), {"<jr:listContents height=\"20.5\"> <elementGroup/> <line>",
                                     "</line> <odd/> </jr:listContents>"});
    EXPECT_EQ(roundTrip(out), out);
    d.bands[1].elements[0].height = 80;
    EXPECT_TRUE(JrxmlCodec::serialize(d).contains("<jr:listContents height=\"80\">"));
}
