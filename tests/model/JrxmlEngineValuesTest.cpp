// The designer reads a file as the engine does: what a file leaves out holds the engine's value
// (its own default, or what the element inherits through its style chain), and a no-edit save
// still leaves it out.

#include "CanonicalDiff.h"
#include "CodecTestSupport.h"

#include <QSizeF>
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

// The engine lays a line of no height (or width) out one point high (or wide): the model keeps
// the file's 0, measures it as that point, and a no-edit save writes the 0 back, in a band, in a
// frame and in a group's header. Other kinds keep their 0 as it is.
TEST(JrxmlEngineValues, ALineOfNoHeightOrWidthIsOnePointAndKeepsItsZero)
{
    const QByteArray in = reportWithHeader(
        "<group name=\"g\"><groupExpression/><groupHeader><band height=\"10\"><line>"
        "<reportElement x=\"0\" y=\"9\" width=\"0\" height=\"0\"/></line></band></groupHeader>"
        "</group><title><band height=\"120\"><line><reportElement x=\"10\" y=\"119\" width=\"100\" "
        "height=\"0\" forecolor=\"#0000FF\"/></line><frame><reportElement x=\"0\" y=\"0\" "
        "width=\"300\" height=\"50\"/><line><reportElement x=\"299\" y=\"10\" width=\"0\" "
        "height=\"20\"/><graphicElement><pen lineWidth=\"2.0\"/></graphicElement></line></frame>"
        "<rectangle><reportElement x=\"0\" y=\"60\" width=\"0\" height=\"0\"/></rectangle>"
        "</band></title>");
    const ReportDocument d = JrxmlCodec::parse(in);
    const ElementList title = d.band(BandType::title)->elements;
    const ReportElement &flat = title.at(0);
    EXPECT_EQ(flat.height, 0);
    EXPECT_EQ(flat.printedHeight(), 1);
    EXPECT_EQ(flat.printedWidth(), 100);
    const ReportElement &upright = title.at(1).kind.children()->at(0);
    EXPECT_EQ(upright.width, 0);
    EXPECT_EQ(upright.printedWidth(), 1);
    EXPECT_EQ(upright.printedHeight(), 20);
    const ReportElement &dot = d.groups.at(0).headerElements.at(0);
    EXPECT_EQ(QSizeF(dot.printedWidth(), dot.printedHeight()), QSizeF(1, 1));
    const ReportElement &shape = title.at(2);
    EXPECT_EQ(QSizeF(shape.printedWidth(), shape.printedHeight()), QSizeF(0, 0));
    const QByteArray out = expectUnchanged(in);
    EXPECT_EQ(out.count("height=\"0\""), 3) << out.toStdString();

    // A length the user gives the line is written as given, 1 included.
    ReportDocument edited = d;
    edited.bands[1].elements[0].height = 1;
    const QByteArray changed = JrxmlCodec::serialize(edited);
    EXPECT_TRUE(changed.contains("width=\"100\" height=\"1\"")) << changed.toStdString();
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
