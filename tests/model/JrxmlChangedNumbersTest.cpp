// Every number the reader holds otherwise than the file says is named, with what the report now
// holds, and a number the model can hold is written back as the same number.

#include "CodecTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

QString finite(const char *quoted, const char *held)
{
    return QString::fromUtf8(quoted) + u" is not a finite number; the report now holds "_s +
           QString::fromUtf8(held);
}

QString unread(const char *quoted, const char *held)
{
    return QString::fromUtf8(quoted) +
           u" is not a number the engine can read; the report now holds "_s +
           QString::fromUtf8(held);
}

QString whole(const char *quoted, const char *held)
{
    return QString::fromUtf8(quoted) +
           u" is not a whole number the engine can read; the report now holds "_s +
           QString::fromUtf8(held);
}

const ReportElement &first(const ReportDocument &d)
{
    return d.band(BandType::title)->elements.at(0);
}

} // namespace

TEST(JrxmlChangedNumbers, NumbersTheModelCannotHoldAreNamedWithTheValueHeld)
{
    const QByteArray text = "<reportElement x=\"0\" y=\"0\" width=\"90\" height=\"20\"/>";
    const QByteArray styled =
        "<reportElement x=\"0\" y=\"0\" width=\"90\" height=\"20\" style=\"Big\"/>";
    const QByteArray big = "<style name=\"Big\" fontSize=\"14\"><box padding=\"4\"/></style>";
    const struct {
        const char *name;
        QByteArray head;
        QByteArray elements;
        QStringList notes;
        std::function<double(const ReportDocument &)> held;
        double expected;
    } cases[] = {
        {"a style's size that is no number",
         "<style name=\"S\" fontSize=\"NaN\"/>",
         {},
         {finite("fontSize=\"NaN\" on <style>", "10")},
         [](const ReportDocument &d) { return d.styles.at(0).fontSize; },
         10},
        {"a style's infinite size",
         "<style name=\"S\" fontSize=\"Infinity\"/>",
         {},
         {finite("fontSize=\"Infinity\" on <style>", "10")},
         [](const ReportDocument &d) { return d.styles.at(0).fontSize; },
         10},
        {"a conditional style's size",
         "<style name=\"S\"><conditionalStyle><conditionExpression/>"
         "<style fontSize=\"nan\"/></conditionalStyle></style>",
         {},
         {u"fontSize=\"nan\" on <style> is not a number the engine can read; the report leaves it "
          u"out"_s},
         [](const ReportDocument &d) {
             return d.styles.at(0).conditionalStyles.at(0).fontSize.value_or(-1);
         },
         -1},
        {"a style's pen width",
         "<style name=\"S\"><box><pen lineWidth=\"NaN\"/></box></style>",
         {},
         {finite("lineWidth=\"NaN\" on <pen>", "1.0")},
         [](const ReportDocument &d) { return d.styles.at(0).penWidth; },
         1},
        {"a font size",
         {},
         "<staticText>" + text +
             "<textElement><font size=\"NaN\"/>"
             "</textElement><text/></staticText>",
         {finite("size=\"NaN\" on <font>", "10")},
         [](const ReportDocument &d) { return first(d).fontSize; },
         10},
        {"a font size beside a style",
         big,
         "<staticText>" + styled +
             "<textElement><font size=\"-infinity\"/></textElement><text/></staticText>",
         {unread("size=\"-infinity\" on <font>", "14")},
         [](const ReportDocument &d) { return first(d).fontSize; },
         14},
        {"a padding that is no number",
         {},
         "<staticText>" + text + "<box topPadding=\"NaN\"/><text/></staticText>",
         {whole("topPadding=\"NaN\" on <box>", "0")},
         [](const ReportDocument &d) { return first(d).paddingTop; },
         0},
        {"a padding beside the box's",
         {},
         "<textField>" + text +
             "<box padding=\"4\" topPadding=\"NaN\"/><textFieldExpression/></textField>",
         {whole("topPadding=\"NaN\" on <box>", "4")},
         [](const ReportDocument &d) { return first(d).paddingTop; },
         4},
        {"a padding beside the style's",
         big,
         "<staticText>" + styled + "<box leftPadding=\"inf\"/><text/></staticText>",
         {whole("leftPadding=\"inf\" on <box>", "4")},
         [](const ReportDocument &d) { return first(d).paddingLeft; },
         4},
        {"a padding with a fraction",
         {},
         "<image>" + text + "<box bottomPadding=\"2.5\"/><imageExpression/></image>",
         {whole("bottomPadding=\"2.5\" on <box>", "3")},
         [](const ReportDocument &d) { return first(d).paddingBottom; },
         3},
        {"a box side's pen width",
         {},
         "<staticText>" + text + "<box><topPen lineWidth=\"-inf\"/></box><text/></staticText>",
         {unread("lineWidth=\"-inf\" on <topPen>", "0.0")},
         [](const ReportDocument &d) { return first(d).topPen->width; },
         0},
        {"a line's pen width",
         {},
         "<line>" + text + "<graphicElement><pen lineWidth=\"NaN\"/></graphicElement></line>",
         {finite("lineWidth=\"NaN\" on <pen>", "1.0")},
         [](const ReportDocument &d) { return first(d).penWidth; },
         1},
        // Numbers the engine reads otherwise than the C library: as a float, with blanks or a
        // type letter, never with a plus sign or in hexadecimal without an exponent.
        {"a style's size beyond a float",
         "<style name=\"S\" fontSize=\"1e39\"/>",
         {},
         {finite("fontSize=\"1e39\" on <style>", "10")},
         [](const ReportDocument &d) { return d.styles.at(0).fontSize; },
         10},
        {"a style's size with a plus sign",
         "<style name=\"S\" fontSize=\"+12\"/>",
         {},
         {unread("fontSize=\"+12\" on <style>", "12")},
         [](const ReportDocument &d) { return d.styles.at(0).fontSize; },
         12},
        {"a font size with blanks",
         {},
         "<staticText>" + text +
             "<textElement><font size=\" 12 \"/></textElement><text/></staticText>",
         {},
         [](const ReportDocument &d) { return first(d).fontSize; },
         12},
        {"a box side's pen width in hexadecimal",
         {},
         "<staticText>" + text + "<box><rightPen lineWidth=\"0x10\"/></box><text/></staticText>",
         {unread("lineWidth=\"0x10\" on <rightPen>", "16.0")},
         [](const ReportDocument &d) { return first(d).rightPen->width; },
         16},
        {"a line's pen width with a type letter",
         {},
         "<line>" + text + "<graphicElement><pen lineWidth=\"1.5f\"/></graphicElement></line>",
         {},
         [](const ReportDocument &d) { return first(d).penWidth; },
         1.5},
        {"a line's pen width in hexadecimal with an exponent",
         {},
         "<line>" + text + "<graphicElement><pen lineWidth=\"0x1.8p1\"/></graphicElement></line>",
         {},
         [](const ReportDocument &d) { return first(d).penWidth; },
         3},
        {"a box's padding in hexadecimal",
         {},
         "<textField>" + text + "<box padding=\"0x10\"/><textFieldExpression/></textField>",
         {whole("padding=\"0x10\" on <box>", "16")},
         [](const ReportDocument &d) { return first(d).paddingLeft; },
         16},
        // The engine reads lengths as whole numbers in any script's digits, but never with a
        // plus sign.
        {"a position with a plus sign",
         {},
         "<staticText><reportElement x=\"+5\" y=\"0\" width=\"90\" "
         "height=\"20\"/><text/></staticText>",
         {whole("x=\"+5\" on <reportElement>", "5")},
         [](const ReportDocument &d) { return first(d).x; },
         5},
        {"a position in Arabic-Indic digits",
         {},
         "<staticText><reportElement x=\"\u0661\u0662\" y=\"0\" width=\"90\" height=\"20\"/><text/>"
         "</staticText>",
         {},
         [](const ReportDocument &d) { return first(d).x; },
         12},
        // Numbers the model holds as they are, written back as the same number.
        {"a style's huge size",
         "<style name=\"S\" fontSize=\"1e30\"/>",
         {},
         {},
         [](const ReportDocument &d) { return d.styles.at(0).fontSize; },
         1e30},
        {"a huge font size",
         {},
         "<staticText>" + text +
             "<textElement><font size=\"-2e19\"/>"
             "</textElement><text/></staticText>",
         {},
         [](const ReportDocument &d) { return first(d).fontSize; },
         -2e19},
        // A rectangle's box is kept as written, its text with it.
        {"a rectangle's box",
         {},
         "<rectangle>" + text +
             "<box topPadding=\"NaN\"><topPen "
             "lineWidth=\"NaN\"/></box></rectangle>",
         {},
         [](const ReportDocument &d) { return first(d).paddingTop; },
         0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray in = reportWithTitle(c.elements, c.head);
        QStringList notes;
        const ReportDocument d = JrxmlCodec::parse(in, &notes);
        EXPECT_EQ(notes, c.notes);
        EXPECT_EQ(c.held(d), c.expected);
        // What is written is what the report holds: it reads back the same, without a word.
        const QByteArray out = JrxmlCodec::serialize(d);
        EXPECT_FALSE(out.contains("9223372036854775807")) << out.toStdString();
        QStringList again;
        const ReportDocument reread = JrxmlCodec::parse(out, &again);
        EXPECT_TRUE(again.isEmpty()) << again.join(u'\n').toStdString();
        EXPECT_EQ(c.held(reread), c.expected) << out.toStdString();
    }
    const QByteArray kept =
        reportWithTitle("<rectangle>" + text + "<box topPadding=\"NaN\"/></rectangle>");
    EXPECT_TRUE(roundTrip(kept).contains("<box topPadding=\"NaN\"/>")) << roundTrip(kept).data();
}

// An element inside a text or an expression is not kept: the model holds the text alone, which
// the reader says once for each such element.
TEST(JrxmlChangedNumbers, ElementsInsideATextAreNamed)
{
    const QByteArray in = reportWithTitle(
        "<staticText><reportElement x=\"0\" y=\"0\" width=\"90\" height=\"20\"/><text>a<xi:include "
        "xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"t.txt\"/>b</text></staticText>"
        "<textField><reportElement x=\"0\" y=\"20\" width=\"90\" height=\"20\"/>"
        "<textFieldExpression>\"x\" + <b>$F{y}</b></textFieldExpression></textField>");
    QStringList notes;
    const ReportDocument d = JrxmlCodec::parse(in, &notes);
    EXPECT_EQ(notes, (QStringList{u"The <xi:include> element inside <text> was not kept: only the "
                                  u"text stays"_s,
                                  u"The <b> element inside <textFieldExpression> was not kept: "
                                  u"only the text stays"_s}));
    const ElementList elements = d.band(BandType::title)->elements;
    EXPECT_EQ(elements.at(0).kind.as<ElementKind::StaticText>()->text, u"ab"_s);
    EXPECT_EQ(elements.at(1).kind.as<ElementKind::TextField>()->expression, u"\"x\" + $F{y}"_s);

    // A comment inside a text has no place in the text the model holds: the reader says so.
    QStringList comment;
    JrxmlCodec::parse(reportWithTitle("<staticText><reportElement x=\"0\" y=\"0\" width=\"9\" "
                                      "height=\"9\"/><text>a<!-- c --><![CDATA[b]]></text>"
                                      "</staticText>"),
                      &comment);
    EXPECT_EQ(comment, QStringList{u"1 comment inside <text> was not kept"_s});
}
