#include "widgets/ColorHex.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(ColorHex, ReadsSixDigitsWithOrWithoutOneNumberSign)
{
    for (const QString &text : {u"#1A2B3C"_s, u"1a2b3c"_s}) {
        const std::optional<QColor> color = ColorHex::fromHex(text);
        ASSERT_TRUE(color) << text.toStdString();
        EXPECT_FLOAT_EQ(color->redF(), 26 / 255.0f);
        EXPECT_FLOAT_EQ(color->greenF(), 43 / 255.0f);
        EXPECT_FLOAT_EQ(color->blueF(), 60 / 255.0f);
        EXPECT_EQ(color->alphaF(), 1.0f);
    }
    const QString rejected[] = {
        u"#FFF"_s,   u"#1A2B3C4D"_s, u"#"_s,      u""_s,        u"##12345"_s,      u" 1A2B3C"_s,
        u"GGGGGG"_s, u"+12345"_s,    u"0x1234"_s, u"#-12345"_s, u"１２３４５６"_s, u"red"_s};
    for (const QString &text : rejected)
        EXPECT_FALSE(ColorHex::fromHex(text)) << text.toStdString();
}

TEST(ColorHex, WritesUpperCaseDigitsAndRoundsHalvesUp)
{
    struct Case {
        QColor color;
        QString text;
    };
    const Case cases[] = {
        {QColor::fromRgbF(1, 1, 1), u"#FFFFFF"_s},
        {QColor::fromRgbF(0, 0, 0), u"#000000"_s},
        {QColor::fromRgbF(0.5f, 0.5f, 0.5f), u"#808080"_s},
        {QColor(0xab, 0xcd, 0xef, 10), u"#ABCDEF"_s},
        {QColor::fromHsvF(0, 1, 1), u"#FF0000"_s},
        {QColor(), u"#000000"_s},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ColorHex::toHex(c.color), c.text);
    EXPECT_EQ(ColorHex::toHex(*ColorHex::fromHex(u"#0a0B0c"_s)), u"#0A0B0C"_s);
    EXPECT_EQ(ColorHex::elementSelection(), QColor::fromRgbF(0.2f, 0.47f, 0.98f));
}

} // namespace
