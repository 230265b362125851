#include "canvas/RulerTicks.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace ruler;

namespace {

QStringList labels(const QList<RulerTick> &ticks)
{
    QStringList texts;
    for (const RulerTick &t : ticks) {
        if (!t.label.isEmpty())
            texts.append(t.label);
    }
    return texts;
}

} // namespace

TEST(RulerTicks, EveryUnitAtTwoZooms)
{
    struct Case {
        MeasurementUnit unit;
        double zoom;
        double longSpacingOnScreen;
        int ticksPerLabel;
        QStringList firstLabels;
    };
    const double mm = 72 / 25.4;
    const Case cases[] = {
        {MeasurementUnit::pixels, 1, 50, 5, {"50", "100", "150"}},
        {MeasurementUnit::pixels, 2, 100, 5, {"50", "100", "150"}},
        {MeasurementUnit::inches, 1, 72, 4, {"1", "2", "3"}},
        {MeasurementUnit::inches, 2, 144, 4, {"1", "2", "3"}},
        {MeasurementUnit::millimeters, 1, 10 * mm, 10, {"10", "20", "30"}},
        {MeasurementUnit::millimeters, 2, 20 * mm, 10, {"10", "20", "30"}},
        {MeasurementUnit::centimeters, 1, 50 * mm, 5, {"5", "10", "15"}},
        {MeasurementUnit::centimeters, 2, 100 * mm, 5, {"5", "10", "15"}},
        {MeasurementUnit::meters, 1, 1000 * mm, 10, {"1", "2", "3"}},
        {MeasurementUnit::meters, 0.25, 250 * mm, 10, {"1", "2", "3"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(rawValue(c.unit).toStdString() + " at " + std::to_string(c.zoom));
        EXPECT_EQ(rulerScale(c.unit).ticksPerLabel, c.ticksPerLabel);
        // A page long enough for three labels; the ruler shows all of it.
        const double page = 3.2 * c.longSpacingOnScreen / c.zoom;
        const double length = page * c.zoom + 24;
        const QList<RulerTick> ticks = rulerTicks(c.unit, page, length, c.zoom, 24);
        ASSERT_GE(ticks.size(), 2 * c.ticksPerLabel + 1);
        EXPECT_EQ(labels(ticks).mid(0, 3), c.firstLabels);
        // The page's edge: a long tick without a label.
        EXPECT_EQ(ticks[0], (RulerTick{24, true, {}}));
        EXPECT_FALSE(ticks[1].isLong);
        const RulerTick &firstLabelled = ticks[c.ticksPerLabel];
        EXPECT_TRUE(firstLabelled.isLong);
        EXPECT_NEAR(firstLabelled.position, 24 + c.longSpacingOnScreen, 1e-9);
    }
}

TEST(RulerTicks, RangeFollowsPageVisibleEndAndScroll)
{
    // Ticks run to 100 points past the larger of the page's end and the visible end, and are
    // drawn only up to 20 view points beyond the ruler's end.
    QList<RulerTick> ticks = rulerTicks(MeasurementUnit::pixels, 200, 1000, 1, 0);
    EXPECT_EQ(ticks.size(), 103);
    EXPECT_EQ(ticks.last().position, 1020);
    ticks = rulerTicks(MeasurementUnit::pixels, 200, 100, 1, 0);
    EXPECT_EQ(ticks.last().position, 120);

    // Scrolling by 100 moves every tick and label by 100.
    const QList<RulerTick> before = rulerTicks(MeasurementUnit::inches, 600, 2000, 1, 24);
    const QList<RulerTick> after = rulerTicks(MeasurementUnit::inches, 600, 2000, 1, -76);
    EXPECT_GE(after.first().position, -20);
    int matched = 0;
    for (const RulerTick &t : after) {
        if (t.position + 100 > 2020)
            continue;
        const auto same = std::find_if(before.cbegin(), before.cend(), [&](const RulerTick &b) {
            return std::abs(b.position - (t.position + 100)) < 1e-9;
        });
        ASSERT_NE(same, before.cend()) << t.position;
        EXPECT_EQ(same->label, t.label);
        EXPECT_EQ(same->isLong, t.isLong);
        ++matched;
    }
    EXPECT_GT(matched, 100);
}

TEST(RulerTicks, GuideMarkersAndClicks)
{
    // A guide of 0 sits under the margin's end, not at the ruler's zero.
    EXPECT_EQ(guideMarkerPosition(0, 30, 1, 24, 500), 54.0);
    EXPECT_EQ(guideMarkerPosition(10, 30, 2, 24, 500), 104.0);
    EXPECT_EQ(guideMarkerPosition(0, 30, 1, -36, 500), -6.0);
    EXPECT_EQ(guideMarkerPosition(0, 30, 1, -37, 500), std::nullopt);
    EXPECT_EQ(guideMarkerPosition(0, 30, 1, 477, 500), std::nullopt);

    EXPECT_DOUBLE_EQ(guideForClick(104, 30, 2, 24), 10);
    EXPECT_DOUBLE_EQ(guideForClick(54, 30, 1, 24), 0);
    EXPECT_TRUE(isClick({1.9, 0}));
    EXPECT_TRUE(isClick({1.2, 1.2}));
    EXPECT_FALSE(isClick({1.5, 1.5}));
    EXPECT_FALSE(isClick({0, 2}));
}

TEST(RulerTicks, PagesOfZeroNegativeOrHugeLengthGiveTheTicksOfTheRulerOnly)
{
    // A ruler 400 points long at 100 %: ticks up to its end, whatever the page says.
    const QList<RulerTick> normal = rulerTicks(MeasurementUnit::pixels, 595, 400, 1, 0);
    for (const double page : {0.0, -500.0, 1e12}) {
        SCOPED_TRACE(page);
        const QList<RulerTick> ticks = rulerTicks(MeasurementUnit::pixels, page, 400, 1, 0);
        ASSERT_EQ(ticks.size(), normal.size());
        EXPECT_LE(ticks.last().position, 420);
        EXPECT_EQ(labels(ticks), labels(normal));
    }
}
