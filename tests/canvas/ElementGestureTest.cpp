#include "canvas/ElementGesture.h"

#include "TestBandSettings.h"

#include <gtest/gtest.h>

using gesture::Drop;

namespace {

const QUuid dragged = QUuid::createUuid();
const QUuid other1 = QUuid::createUuid();
const QUuid other2 = QUuid::createUuid();
const BandTarget own = BandTarget::standard(BandType::detail);
const BandTarget title = BandTarget::standard(BandType::title);
const QPointF pointer(120, 80);

CrossBandDragState::Value ghost(std::optional<QUuid> id, std::optional<QPointF> at,
                                QList<QUuid> group, bool outOfBounds)
{
    return {id, at, group, outOfBounds};
}

} // namespace

TEST(ElementGesture, DragStepGhostStateFollowsThePointer)
{
    // A state left over from an earlier step, to see what each rule keeps of it.
    const CrossBandDragState::Value stale = ghost(other2, QPointF(1, 1), {other2}, true);
    struct Case {
        const char *name;
        std::optional<BandTarget> over;
        QList<QUuid> selection;
        std::optional<bool> fits;
        CrossBandDragState::Value expected;
    };
    const Case cases[] = {
        {"alone over another band", title, {dragged}, true, ghost(dragged, pointer, {}, false)},
        {"leader of three over another band",
         title,
         {dragged, other1, other2},
         true,
         ghost(dragged, pointer, {other1, other2}, false)},
        {"unselected while others are selected, over another band",
         title,
         {other1, other2},
         true,
         ghost(dragged, pointer, {}, false)},
        {"several selected over the own band", own, {dragged, other1}, false, {}},
        {"several selected over no band", std::nullopt, {dragged, other1}, false, {}},
        {"alone and inside the own band keeps the group",
         own,
         {dragged},
         true,
         ghost(std::nullopt, std::nullopt, {other2}, false)},
        {"alone and sticking out over no band",
         std::nullopt,
         {},
         false,
         ghost(dragged, pointer, {}, true)},
        {"alone with the own band's frame unknown", own, {dragged}, std::nullopt, {}},
    };
    for (const Case &c : cases) {
        const gesture::DragStep step{dragged, pointer, c.over, own, c.selection, c.fits};
        EXPECT_EQ(gesture::dragChange(stale, step), c.expected) << c.name;
    }
}

TEST(ElementGesture, ResizeGhostNeverTouchesTheGroup)
{
    const CrossBandDragState::Value start = ghost(std::nullopt, std::nullopt, {other1}, false);
    const CrossBandDragState::Value out = gesture::resizeChange(start, dragged, false, pointer);
    EXPECT_EQ(out, ghost(dragged, pointer, {other1}, true));
    EXPECT_EQ(gesture::resizeChange(out, dragged, true, pointer), start);
}

TEST(ElementGesture, DropDecisionInTheOrderOfItsRules)
{
    struct Case {
        bool multi, overOther, topLevel;
        Drop expected;
    };
    const Case cases[] = {
        {true, true, true, Drop::selectionToBand},  {true, true, false, Drop::selectionToBand},
        {true, false, true, Drop::selectionInBand}, {true, false, false, Drop::selectionInBand},
        {false, true, true, Drop::elementToBand},   {false, true, false, Drop::childStays},
        {false, false, true, Drop::elementInBand},  {false, false, false, Drop::elementInBand},
    };
    for (const Case &c : cases)
        EXPECT_EQ(gesture::dropDecision(c.multi, c.overOther, c.topLevel), c.expected)
            << c.multi << c.overOther << c.topLevel;
}

TEST(ElementGesture, GrabOffsetKeepsThePointUnderThePointerAcrossBands)
{
    // At zoom 2 the element at (30, 10) is grabbed 5 points right and 4 points below its corner.
    const QPointF home(100, 300);
    const QPointF start = home + QPointF(35, 14) * 2;
    const QPointF grab = gesture::grabOffset(start, home, 2, QPointF(30, 10));
    EXPECT_EQ(grab, QPointF(5, 4));
    EXPECT_EQ(gesture::bandPosition(start, home, 2, grab), QPointF(30, 10));
    // The same point of the element under the pointer over a band 200 view points higher.
    const QPointF otherBand(100, 100);
    EXPECT_EQ(gesture::bandPosition(start + QPointF(20, -180), otherBand, 2, grab),
              QPointF(40, 20));
    EXPECT_EQ(gesture::toPoints(QPointF(20, -8), 2), QSizeF(10, -4));

    EXPECT_TRUE(gesture::fitsInBand(QRectF(0, 0, 555, 40), 555, 40));
    EXPECT_FALSE(gesture::fitsInBand(QRectF(-0.5, 0, 10, 10), 555, 40));
    EXPECT_FALSE(gesture::fitsInBand(QRectF(0, 31, 10, 10), 555, 40));
    EXPECT_FALSE(gesture::fitsInBand(QRectF(546, 0, 10, 10), 555, 40));
}

TEST(ElementGesture, MovesSnapAlongTheColumnAndBandAndClampAtZero)
{
    TestBandSettings grid;
    const double step = 555.0 / 56; // a grid of 10 stretched over a column of 555
    const gesture::BandRoom band{555, 40};
    const QSizeF size(50, 20);
    EXPECT_DOUBLE_EQ(gesture::movedOrigin({{90, 5}, size}, {10, 12}, grid, band).x(), 10 * step);
    EXPECT_EQ(gesture::movedOrigin({{90, 5}, size}, {10, 12}, grid, band).y(), 20);
    EXPECT_EQ(gesture::movedOrigin({{5, 5}, size}, {-30, -30}, grid, band), QPointF(0, 0));
    // Beyond the band's height is kept: only 0 clamps.
    EXPECT_EQ(gesture::movedOrigin({{0, 35}, size}, {0, 28}, grid, band).y(), 60);

    TestBandSettings off;
    off.snapping = false;
    EXPECT_EQ(gesture::movedOrigin({{10, 10}, size}, {3.4, 2.5}, off, band), QPointF(13, 13));
    EXPECT_EQ(gesture::snappedOrigin({-12.6, 3.2}, 20, off, band), QPointF(-13, 3));
}

// A band that may grow to 100 points: an element 20 high stops with its top at 80, also where
// the grid would take it further, and one 13.4 high with its top at 86, its bottom written as 99.
TEST(ElementGesture, MovesStopWhereTheBandMayGrowNoFurther)
{
    TestBandSettings grid;
    const gesture::BandRoom band{555, 40, 100};
    EXPECT_EQ(gesture::movedOrigin({0, 35, 50, 20}, {0, 200}, grid, band).y(), 80);
    EXPECT_EQ(gesture::movedOrigin({0, 35, 50, 20}, {0, 44}, grid, band).y(), 80)
        << "79 snaps to 80 along the band: still within";
    EXPECT_EQ(gesture::movedOrigin({0, 35, 50, 20}, {0, 27}, grid, band).y(), 60);
    EXPECT_EQ(gesture::movedOrigin({0, 0, 50, 13.4}, {0, 200}, grid, band).y(), 86);
    EXPECT_EQ(gesture::snappedOrigin({0, 300}, 20, grid, {555, 40, 99.5}).y(), 79);
    EXPECT_EQ(gesture::roomBelow({0, 35, 50, 20}, 100), 45);

    // A bottom handle stops there; a top handle, or travel that shrinks the frame, is kept.
    using K = ResizeHandleKind;
    const QRectF start(10, 35, 50, 20);
    EXPECT_EQ(gesture::stoppedResizeDelta(K::bottomRight, start, {7, 300}, 100), QSizeF(7, 45));
    EXPECT_EQ(gesture::stoppedResizeDelta(K::bottomLeft, start, {-3, 30}, 100), QSizeF(-3, 30));
    EXPECT_EQ(gesture::stoppedResizeDelta(K::topLeft, start, {0, 300}, 100), QSizeF(0, 300));
    EXPECT_EQ(gesture::stoppedResizeDelta(K::bottomRight, start, {0, -10}, 100), QSizeF(0, -10));
    // A frame that already reaches lower (a file's) may stay where it is.
    EXPECT_EQ(gesture::stoppedResizeDelta(K::bottomRight, {0, 90, 50, 20}, {0, 5}, 100),
              QSizeF(0, 0));
    // Snapped to the grid, the bottom would pass 100: it stops there.
    const QRectF committed =
        gesture::committedResizeFrame(K::bottomRight, {10, 35, 50, 20}, {0, 45}, start, grid, band);
    EXPECT_EQ(committed, QRectF(10, 35, 50, 65));
    EXPECT_EQ(
        gesture::committedResizeFrame(K::bottomRight, {10, 35, 50, 20}, {0, 20}, start, grid, band),
        QRectF(10, 35, 50, 40));
}

TEST(ElementGesture, CommittedResizeFrameChangesOnlyTheEdgesTheHandleMoves)
{
    TestBandSettings grid;
    TestBandSettings off;
    off.snapping = false;
    TestBandSettings grid3;
    grid3.grid = 3;
    const double step = 555.0 / 56;
    using K = ResizeHandleKind;
    struct Case {
        const char *name;
        K kind;
        QRectF start;
        QSizeF delta;
        const TestBandSettings &settings;
        QRectF expected;
    };
    const Case cases[] = {
        {"top-left past the band's corner stores negative places", K::topLeft,
         QRectF(10, 5, 50, 20), QSizeF(-30, -10), off, QRectF(-20, -5, 80, 30)},
        {"a moved left edge on the stretched column grid, the right edge where it was", K::topLeft,
         QRectF(20, 0, 20, 20), QSizeF(-7, 0), grid, QRectF(step, 0, 40 - step, 20)},
        {"edges the handle does not move keep their places", K::bottomRight, QRectF(13, 7, 20, 20),
         QSizeF(4, 4), grid, QRectF(13, 7, 20, 20)},
        // On a 555-point band a grid of 10 stretches to steps of 9.91: re-snapping the place of
        // an element at 100 would move it to 99.1.
        {"a bottom-right drag straight up leaves x alone", K::bottomRight, QRectF(100, 20, 60, 20),
         QSizeF(0, -10), grid, QRectF(100, 20, 60, 10)},
        // The same for the edges a handle moves: the pointer did not travel along their axis.
        {"a top-left drag straight down leaves the left edge at 100", K::topLeft,
         QRectF(100, 20, 200, 20), QSizeF(0, 5), grid, QRectF(100, 30, 200, 10)},
        {"a bottom-left drag straight down leaves the left edge at 100", K::bottomLeft,
         QRectF(100, 20, 200, 20), QSizeF(0, 12), grid, QRectF(100, 20, 200, 30)},
        {"a top-right drag straight right leaves the top at 13", K::topRight,
         QRectF(100, 13, 200, 27), QSizeF(12, 0), grid, QRectF(100, 13, 210, 27)},
        {"a bottom-right drag straight right leaves a 27-point height", K::bottomRight,
         QRectF(100, 13, 200, 27), QSizeF(12, 0), grid, QRectF(100, 13, 210, 27)},
        {"without snapping the moved edges are rounded", K::topRight, QRectF(10, 5.6, 20.25, 10.4),
         QSizeF(0.25, 0.4), off, QRectF(10, 6, 21, 10)},
        {"a 4-point side on a grid of 10 becomes one step, not 0", K::bottomRight,
         QRectF(0, 0, 30, 30), QSizeF(-100, -100), grid, QRectF(0, 0, 10, 10)},
        {"the same without snapping stays 4", K::bottomRight, QRectF(0, 0, 30, 30),
         QSizeF(-100, -100), off, QRectF(0, 0, 4, 4)},
        {"on a grid of 3 the side becomes two steps, ending at the right edge", K::bottomLeft,
         QRectF(0, 0, 30, 30), QSizeF(100, -100), grid3, QRectF(24, 0, 6, 6)},
    };
    for (const Case &c : cases) {
        const QRectF got =
            gesture::committedResizeFrame(c.kind, c.start, c.delta, c.start, c.settings, {555, 40});
        EXPECT_NEAR(got.x(), c.expected.x(), 1e-9) << c.name;
        EXPECT_NEAR(got.y(), c.expected.y(), 1e-9) << c.name;
        EXPECT_NEAR(got.width(), c.expected.width(), 1e-9) << c.name;
        EXPECT_NEAR(got.height(), c.expected.height(), 1e-9) << c.name;
    }
    // The ghost of a resize sits on the frame's centre, on the canvas.
    EXPECT_EQ(gesture::frameCenter(QRectF(10, 20, 40, 10), QPointF(100, 50), 2), QPointF(160, 100));
}
