#include "widgets/StyleEditorTexts.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList eight{u"Arial"_s,   u"Calibri"_s,     u"Times New Roman"_s, u"Helvetica"_s,
                        u"Verdana"_s, u"DejaVu Sans"_s, u"Courier New"_s,     u"SansSerif"_s};

TEST(StyleEditorTexts, FontOptionsAreTheEightNamesAndAnUnknownCurrentNameLast)
{
    EXPECT_EQ(StyleEditorTexts::fontNames(), eight);
    EXPECT_EQ(StyleEditorTexts::fontOptions(u"Verdana"_s), eight);
    EXPECT_EQ(StyleEditorTexts::fontOptions(u"Georgia"_s), eight + QStringList{u"Georgia"_s});
    // The comparison is exact: another case or an empty name is a ninth option.
    EXPECT_EQ(StyleEditorTexts::fontOptions(u"arial"_s).size(), 9);
    EXPECT_EQ(StyleEditorTexts::fontOptions(QString()), eight + QStringList{QString()});
}

TEST(StyleEditorTexts, SizesAreReadAndShownInTheLocale)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(StyleEditorTexts::parsedSize(u"12"_s, english), 12.0);
    EXPECT_EQ(StyleEditorTexts::parsedSize(u"10.5"_s, english), 10.5);
    EXPECT_EQ(StyleEditorTexts::parsedSize(u"10,5"_s, german), 10.5);
    EXPECT_EQ(StyleEditorTexts::parsedSize(u"0"_s, english), 0.0);
    EXPECT_EQ(StyleEditorTexts::parsedSize(u"-4"_s, english), -4.0);
    EXPECT_EQ(StyleEditorTexts::parsedSize(u" 9 "_s, english), 9.0);
    for (const QString &text : {u""_s, u"abc"_s, u"12pt"_s, u"-"_s, u"inf"_s, u"nan"_s})
        EXPECT_EQ(StyleEditorTexts::parsedSize(text, english), std::nullopt) << text.toStdString();

    EXPECT_EQ(StyleEditorTexts::shownSize(10, english), u"10"_s);
    EXPECT_EQ(StyleEditorTexts::shownSize(10.5, english), u"10.5"_s);
    EXPECT_EQ(StyleEditorTexts::shownSize(10.5, german), u"10,5"_s);
    EXPECT_EQ(StyleEditorTexts::shownSize(0, english), u"0"_s);
    EXPECT_EQ(StyleEditorTexts::shownSize(-2, english), u"-2"_s);
    // Every shown size reads back as itself.
    for (double size : {7.25, 1234567.0, 0.1})
        EXPECT_EQ(StyleEditorTexts::parsedSize(StyleEditorTexts::shownSize(size, german), german),
                  size);
}

TEST(StyleEditorTexts, TogglesCycleUnsetOnOffUnset)
{
    std::optional<bool> state;
    state = StyleEditorTexts::nextToggleState(state);
    EXPECT_EQ(state, true);
    state = StyleEditorTexts::nextToggleState(state);
    EXPECT_EQ(state, false);
    state = StyleEditorTexts::nextToggleState(state);
    EXPECT_EQ(state, std::nullopt);
}

TEST(StyleEditorTexts, UsageLineSaysOneElementOrACount)
{
    EXPECT_EQ(StyleEditorTexts::usageLine(1), u"1 element uses this style"_s);
    EXPECT_EQ(StyleEditorTexts::usageLine(0), u"0 elements use this style"_s);
    EXPECT_EQ(StyleEditorTexts::usageLine(2), u"2 elements use this style"_s);
    EXPECT_EQ(StyleEditorTexts::usageLine(1000), u"1000 elements use this style"_s);
}

} // namespace
