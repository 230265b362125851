// An element's background as the engine prints it, and the fill the user chooses written with
// the mode that prints it.

#include "model/ElementFill.h"
#include "model/JrxmlCodec.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

ReportDocument read(const QByteArray &styles, const QByteArray &elements)
{
    return JrxmlCodec::parse(
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" name=\"r\">" +
        styles + "<title><band height=\"100\">" + elements + "</band></title></jasperReport>");
}

QByteArray place(const QByteArray &attrs)
{
    return "<reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"" + attrs + "/>";
}

} // namespace

TEST(ElementFill, TheBackgroundPrintsOnlyInTheOpaqueMode)
{
    const ReportDocument d =
        read("<style name=\"Filled\" mode=\"Opaque\"/><style name=\"Child\" style=\"Filled\"/>"
             "<style name=\"Shaded\" backcolor=\"#EEEEEE\"/>",
             "<staticText>" + place(" backcolor=\"#FF0000\"") + "<text>a</text></staticText>" +
                 "<rectangle>" + place(" backcolor=\"#00FF00\"") + "</rectangle>" + "<rectangle>" +
                 place(" mode=\"Transparent\" backcolor=\"#00FF00\"") + "</rectangle>" + "<frame>" +
                 place(" mode=\"Opaque\"") + "</frame>" + "<staticText>" +
                 place(" style=\"Child\" backcolor=\"#0000FF\"") + "<text>a</text></staticText>" +
                 "<textField>" + place(" style=\"Shaded\"") +
                 "<textFieldExpression>1</textFieldExpression></textField>" + "<ellipse>" +
                 place({}) + "</ellipse>");
    const ElementList &e = d.bands[1].elements;
    ASSERT_EQ(e.size(), 7);
    const auto fill = [&](int i) { return ElementFill::printedFill(e[i], d.styles); };
    EXPECT_EQ(fill(0), std::nullopt) << "a text without a mode is transparent";
    EXPECT_EQ(fill(1), ElementColor{u"#00FF00"_s}) << "a rectangle is opaque";
    EXPECT_EQ(fill(2), std::nullopt);
    EXPECT_EQ(fill(3), ElementColor{u"#FFFFFF"_s}) << "opaque without a colour prints white";
    EXPECT_EQ(fill(4), ElementColor{u"#0000FF"_s}) << "the mode of the style's parent";
    EXPECT_EQ(fill(5), std::nullopt) << "a style's colour without a mode prints nothing";
    EXPECT_EQ(fill(6), ElementColor{u"#FFFFFF"_s});
}

TEST(ElementFill, AChosenFillPrintsAndAClearedOneDoesNot)
{
    ReportDocument d =
        read({}, "<staticText>" + place(" mode=\"Transparent\" backcolor=\"#FF0000\"") +
                     "<text>a</text></staticText><frame>" +
                     place(" backcolor=\"#0000FF\" mode=\"Opaque\"") + "</frame><textField>" +
                     place(" backcolor=\"#FF0000\"") +
                     "<textFieldExpression>1</textFieldExpression></textField>");
    ElementList &e = d.bands[1].elements;
    ElementFill::setFill(e[0], ElementColor{u"#FFFF00"_s});
    ElementFill::setFill(e[1], std::nullopt);
    // The file's own colour chosen again: it printed nothing before, and prints now.
    EXPECT_FALSE(ElementFill::isOpaque(e[2], d.styles));
    ElementFill::setFill(e[2], ElementColor{u"#FF0000"_s});
    EXPECT_TRUE(ElementFill::isOpaque(e[0], d.styles));
    EXPECT_FALSE(ElementFill::isOpaque(e[1], d.styles));
    EXPECT_TRUE(ElementFill::isOpaque(e[2], d.styles));

    const QByteArray out = JrxmlCodec::serialize(d);
    EXPECT_EQ(out.count("mode=\"Opaque\""), 2) << out.toStdString();
    EXPECT_EQ(out.count("mode=\"Transparent\""), 1);
    EXPECT_FALSE(out.contains("#0000FF"));
    const ReportDocument back = JrxmlCodec::parse(out);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ElementFill::printedFill(back.bands[1].elements[i], back.styles),
                  ElementFill::printedFill(e[i], d.styles))
            << i;
    }
}
