// The designer reads a file as the engine does: what a file leaves out holds the engine's value
// (its own default, or what the element inherits through its style chain), and a no-edit save
// still leaves it out.

#include "CanonicalDiff.h"
#include "CodecTestSupport.h"

#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

const QByteArray styles =
    "<style name=\"Parent\" fontName=\"DejaVu Serif\" fontSize=\"14\" vTextAlign=\"Middle\" "
    "hTextAlign=\"Right\" mode=\"Opaque\" backcolor=\"#EEEEEE\"><pen lineWidth=\"2\"/>"
    "<box padding=\"3\"><pen lineWidth=\"0.5\" lineColor=\"#808080\"/>"
    "<bottomPen lineStyle=\"Dashed\"/></box></style>"
    "<style name=\"Child\" style=\"Parent\" isBold=\"true\"/>"
    "<style name=\"Base\" isDefault=\"true\" fontName=\"DejaVu Sans Mono\"/>";

} // namespace

// Where the root leaves a length out, and a band its height, the model holds what the engine
// reads: a column 555 wide, margins of 30 at top and bottom, an empty band 0 high. A no-edit save
// leaves them out; a new report is written in full (the designer golden).
TEST(JrxmlEngineValues, LengthsTheFileLeavesOutAreTheEngines)
{
    const QByteArray in = reportWithHeader(
        "<group name=\"g\"><groupExpression/><groupHeader><band/></groupHeader></group>"
        "<detail><band/><band height=\"12\"/></detail><summary><band "
        "splitType=\"Stretch\"/></summary>");
    const ReportDocument d = JrxmlCodec::parse(in);
    EXPECT_EQ(d.columnWidth, 555);
    EXPECT_EQ(d.topMargin, 30);
    EXPECT_EQ(d.bottomMargin, 30);
    EXPECT_EQ(d.leftMargin, 20);
    EXPECT_EQ(d.detailBands.at(0).height, 0);
    EXPECT_EQ(d.detailBands.at(1).height, 12);
    EXPECT_EQ(d.band(BandType::summary)->height, 0);
    EXPECT_TRUE(d.band(BandType::summary)->isPresent);
    EXPECT_EQ(d.groups.at(0).headerHeight, 0);
    const QByteArray out = expectUnchanged(in);
    EXPECT_TRUE(out.contains("<band splitType=\"Stretch\">")) << out.toStdString();
    EXPECT_FALSE(out.contains("Margin")) << out.toStdString();
    EXPECT_FALSE(out.contains("height=\"0\"")) << out.toStdString();
}

// An element takes what it leaves out from its style, the style from its parent style, up the
// chain; an element without a style from the report's default style.
TEST(JrxmlEngineValues, ElementsInheritThroughTheirStyleChain)
{
    const QByteArray in = reportWithHeader(
        styles +
        "<title><band height=\"90\"><staticText><reportElement x=\"0\" y=\"0\" width=\"90\" "
        "height=\"20\" style=\"Child\"/><text/></staticText><rectangle><reportElement x=\"0\" "
        "y=\"30\" width=\"90\" height=\"20\" style=\"Child\"/></rectangle><textField>"
        "<reportElement x=\"0\" y=\"60\" width=\"90\" height=\"20\"/><textFieldExpression/>"
        "</textField></band></title>");
    const ReportDocument d = JrxmlCodec::parse(in);
    const ReportStyle &child = d.styles.at(1);
    EXPECT_EQ(child.fontName, u"DejaVu Serif"_s) << "a style takes what its parent sets";
    EXPECT_EQ(child.fontSize, 14);
    EXPECT_TRUE(child.isBold);
    EXPECT_EQ(child.textAlignment, TextAlignment::right);

    const ElementList elements = d.band(BandType::title)->elements;
    const ReportElement &text = elements.at(0);
    EXPECT_EQ(text.fontName, u"DejaVu Serif"_s);
    EXPECT_TRUE(text.isBold);
    EXPECT_EQ(text.textAlignment, TextAlignment::right);
    EXPECT_EQ(text.verticalAlignment, VerticalTextAlignment::middle);
    EXPECT_EQ(text.backColor, ElementColor{u"#EEEEEE"_s}) << "the parent's opaque fill";
    const BoxSidePen boxPen{0.5, ElementColor{u"#808080"_s}, PenLineStyle::solid};
    EXPECT_EQ(text.topPen, boxPen) << "a side without a pen of its own takes the box's";
    EXPECT_EQ(text.leftPen, boxPen);
    EXPECT_EQ(text.rightPen, boxPen);
    EXPECT_EQ(text.bottomPen, (BoxSidePen{0.5, ElementColor{u"#808080"_s}, PenLineStyle::dashed}));
    EXPECT_EQ(text.paddingLeft, 3);
    EXPECT_EQ(text.paddingBottom, 3);
    EXPECT_EQ(elements.at(1).penWidth, 2) << "a shape's line pen comes from the style's pen";
    EXPECT_EQ(elements.at(2).fontName, u"DejaVu Sans Mono"_s) << "the default style";

    // Nothing inherited is written; a side the user changes is.
    const QByteArray out = expectUnchanged(in);
    EXPECT_EQ(out.count("<box"), 1) << "the style's own box only\n" << out.toStdString();
    EXPECT_FALSE(out.contains("verticalAlignment")) << out.toStdString();
    ReportDocument edited = d;
    edited.bands[1].elements[0].topPen->width = 4;
    edited.bands[1].elements[0].verticalAlignment = VerticalTextAlignment::top;
    const QByteArray changed = JrxmlCodec::serialize(edited);
    EXPECT_TRUE(changed.contains("<topPen lineWidth=\"4.0\"/>")) << changed.toStdString();
    EXPECT_FALSE(changed.contains("<leftPen")) << changed.toStdString();
    EXPECT_TRUE(changed.contains("verticalAlignment=\"Top\"")) << "it overrides the style's";
    const ReportElement reread = JrxmlCodec::parse(changed).bands[1].elements[0];
    EXPECT_EQ(reread.topPen->width, 4);
    EXPECT_EQ(reread.verticalAlignment, VerticalTextAlignment::top);
}

// The model's back colour is the fill the engine prints: none for a transparent element (its
// colour kept as written), white for an opaque one that names no colour.
TEST(JrxmlEngineValues, TheFillFollowsTheMode)
{
    const QByteArray in = reportWithHeader(
        "<title><band height=\"90\"><staticText><reportElement x=\"0\" y=\"0\" width=\"90\" "
        "height=\"20\" backcolor=\"#FF0000\"/><text/></staticText><rectangle><reportElement "
        "x=\"0\" y=\"30\" width=\"90\" height=\"20\"/></rectangle><frame><reportElement x=\"0\" "
        "y=\"60\" width=\"90\" height=\"20\" mode=\"Opaque\" backcolor=\"#00FF00\"/></frame>"
        "</band></title>");
    const ReportDocument d = JrxmlCodec::parse(in);
    const ElementList elements = d.band(BandType::title)->elements;
    EXPECT_EQ(elements.at(0).backColor, std::nullopt) << "a text is transparent by default";
    EXPECT_EQ(elements.at(1).backColor, ElementColor{u"#FFFFFF"_s}) << "a shape is opaque";
    EXPECT_EQ(elements.at(2).backColor, ElementColor{u"#00FF00"_s});
    expectUnchanged(in);

    // A fill the user gives the text makes it opaque.
    ReportDocument edited = d;
    edited.bands[1].elements[0].backColor = ElementColor{u"#0000FF"_s};
    const QByteArray out = JrxmlCodec::serialize(edited);
    EXPECT_TRUE(out.contains("backcolor=\"#0000FF\" mode=\"Opaque\"")) << out.toStdString();
    EXPECT_FALSE(out.contains("#FF0000")) << out.toStdString();
}

// A text field that says nothing of its overflow is cut by the engine, which no value stands for;
// the older flag makes it grow, which stays said by the flag alone.
TEST(JrxmlEngineValues, TextOverflowIsTheEngines)
{
    const QByteArray in = reportWithHeader(
        "<title><band height=\"50\"><textField><reportElement x=\"0\" y=\"0\" width=\"90\" "
        "height=\"20\"/><textFieldExpression/></textField><textField "
        "isStretchWithOverflow=\"true\"><reportElement x=\"0\" y=\"20\" width=\"90\" "
        "height=\"20\"/><textFieldExpression/></textField></band></title>");
    const ReportDocument d = JrxmlCodec::parse(in);
    EXPECT_EQ(d.band(BandType::title)->elements.at(0).textAdjust, std::nullopt);
    EXPECT_EQ(d.band(BandType::title)->elements.at(1).textAdjust, TextAdjust::stretchHeight);
    const QByteArray out = expectUnchanged(in);
    EXPECT_FALSE(out.contains("textAdjust")) << out.toStdString();

    ReportDocument edited = d;
    edited.bands[1].elements[1].textAdjust = TextAdjust::cutText;
    const QByteArray cut = JrxmlCodec::serialize(edited);
    EXPECT_TRUE(cut.contains("textAdjust=\"CutText\" isStretchWithOverflow=\"true\""))
        << cut.toStdString();
}

// Of several styles marked default the engine takes the last: the elements that name no style
// and the styles that name no parent inherit from it.
TEST(JrxmlEngineValues, OfTwoDefaultStylesTheLastIsTheDefault)
{
    const QByteArray in = reportWithHeader(
        "<style name=\"First\" isDefault=\"true\" fontSize=\"8\" forecolor=\"#FF0000\"/>"
        "<style name=\"Loose\" isBold=\"true\"/>"
        "<style name=\"Second\" isDefault=\"true\" fontSize=\"14\" hAlign=\"Right\"/>"
        "<title><band height=\"40\"><staticText><reportElement x=\"0\" y=\"0\" width=\"90\" "
        "height=\"20\"/><text/></staticText><staticText><reportElement x=\"0\" y=\"20\" "
        "width=\"90\" height=\"20\" style=\"Loose\"/><text/></staticText></band></title>");
    const ReportDocument d = JrxmlCodec::parse(in);
    const ReportStyle &loose = d.styles.at(1);
    EXPECT_EQ(loose.fontSize, 14);
    EXPECT_EQ(loose.textAlignment, TextAlignment::right);
    EXPECT_EQ(loose.foreColor, std::nullopt);
    const ElementList elements = d.band(BandType::title)->elements;
    for (const ReportElement &e : elements) {
        EXPECT_EQ(e.fontSize, 14);
        EXPECT_EQ(e.textAlignment, TextAlignment::right);
        EXPECT_EQ(e.foreColor, std::nullopt);
    }
    expectUnchanged(in);
}
