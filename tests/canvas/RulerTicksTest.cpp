#include "canvas/RulerTicks.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

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

// The ticks as counted from the page's edge, one by one, however far the ruler lies from it.
QList<RulerTick> countedTicks(MeasurementUnit unit, double pageLength, double rulerLength,
                              double zoomLevel, double scrollOffset)
{
    QList<RulerTick> ticks;
    const RulerScale scale = rulerScale(unit);
    const double end = std::max(pageLength, (rulerLength - scrollOffset) / zoomLevel) + 100;
    if (end < 0 || zoomLevel <= 0)
        return ticks;
    for (qint64 i = 0;; ++i) {
        const double value = double(i) * scale.tickSpacing;
        const double p = scrollOffset + zoomLevel * value;
        if (value > end || p > rulerLength + 20)
            break;
        if (p < -20)
            continue;
        RulerTick tick{p, i % scale.ticksPerLabel == 0, {}};
        if (tick.isLong && i >= 1)
            tick.label = QString::asprintf("%.0f", value / scale.pointsPerUnit);
        ticks.append(tick);
    }
    return ticks;
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
    // Scrolled far along a page as long as a file gives, the ruler draws the ticks under it
    // alone, numbered from the page's edge, without walking those it has left behind.
    for (const double scrolled : {1e6, 3 * 2147483647.0, 1e13}) {
        SCOPED_TRACE(scrolled);
        const QList<RulerTick> ticks = rulerTicks(MeasurementUnit::pixels, 1e14, 400, 1, -scrolled);
        ASSERT_FALSE(ticks.isEmpty());
        EXPECT_LT(ticks.first().position, -10);
        EXPECT_GT(ticks.last().position, 410);
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            const RulerTick &tick = ticks.at(i);
            EXPECT_GE(tick.position, -20);
            EXPECT_LE(tick.position, 420);
            if (i > 0) {
                EXPECT_NEAR(tick.position - ticks.at(i - 1).position, 10, 0.01);
            }
            if (!tick.label.isEmpty()) {
                EXPECT_EQ(tick.label, QString::number(std::llround(tick.position + scrolled)));
            }
        }
    }
}

// Ticks found from where the ruler lies are those counted from the page's edge: at every unit,
// zoom and scroll, on pages shorter and longer than the ruler.
TEST(RulerTicks, TheFirstTickShownIsFoundAsCountingFindsIt)
{
    std::mt19937 random(20260514);
    std::uniform_real_distribution<double> unit(0, 1);
    const MeasurementUnit units[] = {MeasurementUnit::pixels, MeasurementUnit::inches,
                                     MeasurementUnit::millimeters, MeasurementUnit::centimeters,
                                     MeasurementUnit::meters};
    for (int run = 0; run < 2000; ++run) {
        const MeasurementUnit shown = units[run % 5];
        const double page = unit(random) < 0.1 ? -unit(random) * 100 : unit(random) * 20000;
        const double length = unit(random) * 3000;
        const double zoom = run % 7 == 0 ? 1.0 / 3 : 0.25 + unit(random) * 2.75;
        const double scroll = 100 - unit(random) * (page * zoom + 3000);
        SCOPED_TRACE(testing::Message() << "run " << run << ": page " << page << ", ruler "
                                        << length << ", zoom " << zoom << ", scroll " << scroll);
        EXPECT_EQ(rulerTicks(shown, page, length, zoom, scroll),
                  countedTicks(shown, page, length, zoom, scroll));
    }
}
