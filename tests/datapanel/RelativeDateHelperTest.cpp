#include "datapanel/RelativeDateHelper.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString builder = u"new net.sf.jasperreports.types.date.DateRangeBuilder(\""_s;
const QString closing = u"\").toDateRange()"_s;

} // namespace

TEST(RelativeDateHelper, EveryKeywordIsWrittenAsTheWholeBuilderCallAndReadBack)
{
    const QStringList expected = {u"TODAY"_s,    u"YESTERDAY"_s, u"TOMORROW"_s, u"WEEK"_s,
                                  u"MONTH"_s,    u"YEAR"_s,      u"TODAY-7d"_s, u"TODAY-30d"_s,
                                  u"TODAY+7d"_s, u"MONTH-1"_s};
    EXPECT_EQ(RelativeDateHelper::keywords(), expected);
    for (const QString &keyword : expected) {
        const QString written = RelativeDateHelper::expression(keyword);
        EXPECT_EQ(written, builder + keyword + closing);
        EXPECT_EQ(RelativeDateHelper::keyword(written), keyword);
    }
    EXPECT_EQ(RelativeDateHelper::expression(u"WEEK"_s),
              u"new net.sf.jasperreports.types.date.DateRangeBuilder(\"WEEK\").toDateRange()"_s);
}

TEST(RelativeDateHelper, ReadsBetweenTheFirstOpeningAndTheFirstClosingMarker)
{
    using RelativeDateHelper::keyword;
    // Without the package in front, and with text around the call.
    EXPECT_EQ(keyword(u"DateRangeBuilder(\"MONTH-1\").toDateRange()"_s), u"MONTH-1"_s);
    EXPECT_EQ(keyword(u"(x ? DateRangeBuilder(\"YEAR\").toDateRange() : null)"_s), u"YEAR"_s);
    // A keyword outside the list and an empty one are read as they stand.
    EXPECT_EQ(keyword(builder + u"TODAY-2d"_s + closing), u"TODAY-2d"_s);
    EXPECT_EQ(keyword(builder + closing), QString());
    // Two calls: the first opening and the first closing marker.
    EXPECT_EQ(keyword(builder + u"WEEK"_s + closing + u" + "_s + builder + u"YEAR"_s + closing),
              u"WEEK"_s);
    // The first closing marker stands anywhere, also before the opening one.
    EXPECT_EQ(keyword(closing + u" "_s + builder + u"WEEK"_s + closing), u"TODAY"_s);
}

TEST(RelativeDateHelper, AnythingElseReadsAsToday)
{
    using RelativeDateHelper::keyword;
    EXPECT_EQ(keyword(std::nullopt), u"TODAY"_s);
    EXPECT_EQ(keyword(QString()), u"TODAY"_s);
    EXPECT_EQ(keyword(u"new java.util.Date()"_s), u"TODAY"_s);
    EXPECT_EQ(keyword(builder + u"WEEK"_s), u"TODAY"_s) << "opening marker only";
    EXPECT_EQ(keyword(u"\"WEEK"_s + closing), u"TODAY"_s) << "closing marker only";
    // The closing marker's quote is the opening marker's own: it begins before the opening
    // marker ends.
    EXPECT_EQ(keyword(u"DateRangeBuilder(\").toDateRange()"_s), u"TODAY"_s);
    // Markers are matched exactly, case included.
    EXPECT_EQ(keyword(u"daterangebuilder(\"WEEK\").toDateRange()"_s), u"TODAY"_s);
}

TEST(RelativeDateHelper, OnlyTheDateRangeClassExactlyShowsTheHelper)
{
    EXPECT_TRUE(RelativeDateHelper::appliesTo(u"net.sf.jasperreports.types.date.DateRange"_s));
    EXPECT_FALSE(RelativeDateHelper::appliesTo(u"net.sf.jasperreports.types.date.DateRange "_s));
    EXPECT_FALSE(RelativeDateHelper::appliesTo(u"net.sf.jasperreports.types.date.daterange"_s));
    EXPECT_FALSE(RelativeDateHelper::appliesTo(u"java.util.Date"_s));
}
