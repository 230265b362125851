#include "inspector/BoxSides.h"

#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const BoxSidePen newPen{1.0, std::nullopt, PenLineStyle::solid};

ReportElement boxed()
{
    ReportElement e;
    e.paddingTop = 1;
    e.paddingLeft = 2;
    e.paddingBottom = 3;
    e.paddingRight = 4;
    e.topPen = BoxSidePen{2.5, ElementColor{u"#FF0000"_s}, PenLineStyle::dashed};
    e.rightPen = BoxSidePen{0.5, std::nullopt, PenLineStyle::dotted};
    return e;
}

TEST(BoxSides, SidesAreListedInBoxOrderWhateverTheOrderTheyWereChosenIn)
{
    EXPECT_EQ(BoxSides::all(),
              (QList<BoxSide>{BoxSide::top, BoxSide::left, BoxSide::bottom, BoxSide::right}));
    BoxSideSet chosen;
    chosen.insert(BoxSide::right);
    chosen.insert(BoxSide::top);
    chosen.insert(BoxSide::bottom);
    EXPECT_EQ(BoxSides::listed(chosen),
              (QList<BoxSide>{BoxSide::top, BoxSide::bottom, BoxSide::right}));
    EXPECT_EQ(BoxSides::editingCaption(chosen), u"Editing: Top, Bottom, Right"_s);
    EXPECT_EQ(BoxSides::editingCaption({BoxSide::left}), u"Editing: Left"_s);
}

TEST(BoxSides, PaddingIsSetOnEverySelectedSideAndNoOther)
{
    ReportElement e = boxed();
    BoxSides::setPadding(e, {BoxSide::top, BoxSide::right}, 8);
    EXPECT_EQ(e.paddingTop, 8);
    EXPECT_EQ(e.paddingRight, 8);
    EXPECT_EQ(e.paddingLeft, 2);
    EXPECT_EQ(e.paddingBottom, 3);
    for (BoxSide side : BoxSides::all())
        EXPECT_EQ(BoxSides::padding(e, side), side == BoxSide::top || side == BoxSide::right
                                                  ? 8
                                                  : (side == BoxSide::left ? 2 : 3));

    const ReportElement before = e;
    BoxSides::setPadding(e, {}, 50);
    EXPECT_EQ(e, before) << "no side chosen changes nothing";
    EXPECT_EQ(e.topPen, before.topPen) << "padding leaves the pens alone";
}

TEST(BoxSides, ToggleAddsADefaultPenKeepsAnExistingOneAndRemovesOnDeselect)
{
    ReportElement e = boxed();
    BoxSides::toggleBorder(e, BoxSide::left, true);
    EXPECT_EQ(e.leftPen, newPen) << "width 1, no colour, solid";

    BoxSides::toggleBorder(e, BoxSide::top, true);
    EXPECT_EQ(e.topPen, (BoxSidePen{2.5, ElementColor{u"#FF0000"_s}, PenLineStyle::dashed}))
        << "a side that has a pen keeps it as it is";

    BoxSides::toggleBorder(e, BoxSide::top, false);
    EXPECT_EQ(e.topPen, std::nullopt);
    BoxSides::toggleBorder(e, BoxSide::top, true);
    EXPECT_EQ(e.topPen, newPen) << "selected again, the side gets a new default pen";

    BoxSides::toggleBorder(e, BoxSide::bottom, false);
    EXPECT_EQ(e.bottomPen, std::nullopt) << "removing a pen that is not there is harmless";
    EXPECT_EQ(e.rightPen, boxed().rightPen) << "only the clicked side changes";
    EXPECT_EQ(e.paddingLeft, 2) << "borders leave the paddings alone";
}

TEST(BoxSides, WidthStyleAndColourSkipSidesWithoutAPen)
{
    const BoxSideSet allSides{BoxSide::top, BoxSide::left, BoxSide::bottom, BoxSide::right};
    ReportElement e = boxed();
    BoxSides::setPenWidth(e, allSides, 3);
    BoxSides::setPenStyle(e, allSides, PenLineStyle::double_);
    BoxSides::setPenColor(e, allSides, ElementColor{u"#00FF00"_s});
    const BoxSidePen changed{3, ElementColor{u"#00FF00"_s}, PenLineStyle::double_};
    EXPECT_EQ(e.topPen, changed);
    EXPECT_EQ(e.rightPen, changed);
    EXPECT_EQ(e.leftPen, std::nullopt) << "no pen is made by the width, style or colour";
    EXPECT_EQ(e.bottomPen, std::nullopt);

    ReportElement only = boxed();
    BoxSides::setPenWidth(only, {BoxSide::right, BoxSide::left}, 4);
    EXPECT_EQ(only.rightPen->width, 4);
    EXPECT_EQ(only.topPen->width, 2.5) << "a bordered side that is not chosen keeps its width";
    EXPECT_EQ(only.leftPen, std::nullopt);
}

TEST(BoxSides, BorderedSidesAreTheSidesWithAPen)
{
    EXPECT_EQ(BoxSides::bordered(ReportElement{}), BoxSideSet{});
    EXPECT_EQ(BoxSides::bordered(boxed()), (BoxSideSet{BoxSide::top, BoxSide::right}));
    ReportElement e = boxed();
    e.bottomPen = BoxSidePen{0, std::nullopt, PenLineStyle::solid};
    EXPECT_TRUE(BoxSides::bordered(e).contains(BoxSide::bottom)) << "a pen of width 0 counts";
}

TEST(BoxSides, AWholeNumberOfPointsIsTruncatedAndStaysDefinedForAnyValue)
{
    constexpr double infinity = std::numeric_limits<double>::infinity();
    constexpr qint64 highest = std::numeric_limits<qint64>::max();
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    const struct {
        double points;
        qint64 whole;
    } cases[] = {
        {0, 0},
        {4, 4},
        {3.99, 3},
        {-3.99, -3},
        {0.5, 0},
        {1e15, 1'000'000'000'000'000},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {infinity, highest},
        {-infinity, lowest},
        {1e300, highest},
        {-1e300, lowest},
        {9223372036854775808.0, highest}, // 2^63, one past the largest
        {-9223372036854775808.0, lowest},
        {9223372036854774784.0, 9223372036854774784}, // the largest double below 2^63
    };
    for (const auto &c : cases)
        EXPECT_EQ(BoxSides::wholePoints(c.points), c.whole) << c.points;
    EXPECT_EQ(BoxSides::paddingLabel(std::numeric_limits<double>::quiet_NaN()), u"0 pt"_s);
    EXPECT_EQ(BoxSides::paddingBarHelp(BoxSide::top, false, infinity),
              u"Select Top padding (currently 9223372036854775807pt)"_s);
}

TEST(BoxSides, StepsStayInTheRangeAndStartFromItWhenTheValueIsNotANumber)
{
    EXPECT_EQ(BoxSides::stepped(4, 1, 1, 0, 100), 5);
    EXPECT_EQ(BoxSides::stepped(0, -1, 1, 0, 100), 0);
    EXPECT_EQ(BoxSides::stepped(100, 1, 1, 0, 100), 100);
    EXPECT_EQ(BoxSides::stepped(250, -1, 1, 0, 100), 100) << "a stored value above the range";
    EXPECT_EQ(BoxSides::stepped(2.5, 1, 1, 0, 100), 3.5) << "a fraction is kept, as stored";
    EXPECT_EQ(BoxSides::stepped(19.75, 1, 0.5, 0, 20), 20);
    EXPECT_EQ(BoxSides::stepped(1, 3, 0.5, 0, 20), 2.5);
    EXPECT_EQ(BoxSides::stepped(std::numeric_limits<double>::quiet_NaN(), 1, 1, 0, 100), 1);
    EXPECT_EQ(BoxSides::stepped(std::numeric_limits<double>::infinity(), -1, 1, 0, 100), 100);
}

TEST(BoxSides, BarHelpAndLabelsReadAsTheUserSeesThem)
{
    EXPECT_EQ(BoxSides::paddingBarHelp(BoxSide::top, false, 0),
              u"Select Top padding (currently 0pt)"_s);
    EXPECT_EQ(BoxSides::paddingBarHelp(BoxSide::left, true, 4.9),
              u"Deselect Left padding (currently 4pt)"_s);
    EXPECT_EQ(BoxSides::borderBarHelp(BoxSide::top, false), u"Add the Top border"_s);
    EXPECT_EQ(BoxSides::borderBarHelp(BoxSide::left, true), u"Remove the Left border"_s);
    EXPECT_EQ(BoxSides::paddingLabel(4), u"4 pt"_s);
    EXPECT_EQ(BoxSides::paddingLabel(2.7), u"2 pt"_s);
    EXPECT_EQ(BoxSides::penWidthLabel(1), u"1.0 pt"_s);
    EXPECT_EQ(BoxSides::paddingHint(),
              u"Click a side to set its padding. Click more than one to edit them together."_s);
    EXPECT_EQ(BoxSides::bordersHint(),
              u"Click a side of the box to add a border there. Click an already-added side again "
              u"to remove it. Click more than one side to edit them together."_s);
}

} // namespace
