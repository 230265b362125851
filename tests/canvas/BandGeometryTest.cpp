#include "canvas/BandGeometry.h"
#include "canvas/BandDrop.h"

#include "ModelBuilders.h"

#include <gtest/gtest.h>

using namespace bandgeometry;

TEST(BandGeometry, GridStretchesToFillEvenly)
{
    EXPECT_EQ(gridLines(10, 30), (QList<double>{0, 10, 20, 30}));
    // 555 / 10 = 55.5 rounds away from zero to 56 steps.
    const QList<double> columns = gridLines(10, 555);
    EXPECT_EQ(columns.size(), 57);
    EXPECT_DOUBLE_EQ(columns[1], 555.0 / 56);
    EXPECT_DOUBLE_EQ(columns.last(), 555);
    EXPECT_EQ(gridLines(10, 3), (QList<double>{0, 3}));
    EXPECT_TRUE(gridLines(1.5, 100).isEmpty());
    EXPECT_TRUE(gridLines(10, 0).isEmpty());
}

// The lines within a stretch are the full grid's lines there, and a band a billion points tall
// gives no more lines in a view than a short one.
TEST(BandGeometry, GridLinesWithinAStretchCostWhatTheStretchHolds)
{
    for (const auto &[grid, length] : {std::pair{10.0, 555.0}, std::pair{7.0, 300.0},
                                       std::pair{10.0, 3.0}, std::pair{25.0, 1000.0}}) {
        const QList<double> all = gridLines(grid, length);
        for (const auto &[from, to] : {std::pair{0.0, length + 0.5}, std::pair{100.0, 200.0},
                                       std::pair{-50.0, 35.5}, std::pair{length, length + 9}}) {
            QList<double> expected;
            for (double at : all) {
                if (at >= from && at <= to)
                    expected.append(at);
            }
            EXPECT_EQ(gridLines(grid, length, from, to), expected)
                << grid << " " << length << " " << from << "-" << to;
        }
    }
    const QList<double> seen = gridLines(5, 1e9, 4e8, 4e8 + 100);
    EXPECT_EQ(seen.size(), 21);
    EXPECT_DOUBLE_EQ(seen.first(), 4e8);
    EXPECT_TRUE(gridLines(5, 1e9, 200, 100).isEmpty());
}

TEST(BandGeometry, RubberBandPressAndHeight)
{
    EXPECT_EQ(rubberBandRect({50, 40}, {10, 60}), QRectF(10, 40, 40, 20));

    ReportElement thin = testsupport::element(ElementKind::Line{});
    thin.x = 100;
    thin.y = 10;
    thin.width = 0;
    thin.height = 30;
    EXPECT_TRUE(pressHitsElement({103, 20}, {thin}));
    EXPECT_FALSE(pressHitsElement({105, 20}, {thin}));
    EXPECT_FALSE(pressHitsElement({50, 20}, {thin}));

    const auto snap = [](double v) { return std::round(v / 10) * 10; };
    EXPECT_EQ(committedHeight(40, 13, snap, 4), 50);
    EXPECT_EQ(committedHeight(40, -100, snap, 4), 4);
    EXPECT_EQ(committedHeight(40, -37, snap, 4), 4);
    // An element reaching 33.5 down: the handle stops there even where the grid rounds lower.
    EXPECT_EQ(committedHeight(40, -100, snap, 33.5), 33.5);
    EXPECT_EQ(committedHeight(40, -4, snap, 33.5), 40);
    // The least a handle commits: 4, or the elements' bottom; where the page holds the band
    // lower than 4, no more than the page holds.
    EXPECT_EQ(handleMinimum(0, 500), 4);
    EXPECT_EQ(handleMinimum(33.5, 500), 33.5);
    EXPECT_EQ(handleMinimum(0, 2), 2);
    EXPECT_EQ(handleMinimum(0, -3), 0);
    EXPECT_EQ(handleMinimum(10, 2), 10) << "never below the elements' bottom";

    const auto snapAlong = [](double v, double) { return std::round(v / 10) * 10; };
    EXPECT_EQ(dropOrigin({100, 50}, 40, 10, snapAlong, 555, 100), QPointF(60, 40));
    EXPECT_EQ(dropOrigin({20, 5}, 40, 10, snapAlong, 555, 100), QPointF(0, 0));
}

TEST(BandGeometry, DropTexts)
{
    using K = BandDrop::Kind;
    struct Case {
        QString text;
        BandDrop expected;
    };
    const Case cases[] = {
        {QStringLiteral("field:Name"), {K::field, {}, QStringLiteral("$F{Name}")}},
        {QStringLiteral("param:P"), {K::parameter, {}, QStringLiteral("$P{P}")}},
        {QStringLiteral("fields:A,,B , C"),
         {K::fields, {QStringLiteral("A"), QStringLiteral("B "), QStringLiteral(" C")}, {}}},
        {QStringLiteral("fields:"), {K::fields, {}, {}}},
        {QStringLiteral("Field:Name"), {}},
        {QStringLiteral("hello"), {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BandDrop::parse(c.text), c.expected) << c.text.toStdString();
}
