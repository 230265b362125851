#include "canvas/ClickTracker.h"
#include "canvas/ElementDragRules.h"
#include "canvas/ResizeAnchor.h"
#include "canvas/ResizeHandleKind.h"

#include <gtest/gtest.h>

TEST(ElementEditingState, ResizeHandleTable)
{
    using K = ResizeHandleKind;
    const QRectF start(10, 20, 100, 50);
    struct Case {
        K kind;
        QSizeF delta;
        QRectF expected;
    };
    const Case cases[] = {
        {K::topLeft, {10, 5}, {20, 25, 90, 45}},
        {K::topRight, {10, 5}, {10, 25, 110, 45}},
        {K::bottomLeft, {10, 5}, {20, 20, 90, 55}},
        {K::bottomRight, {10, 5}, {10, 20, 110, 55}},
        {K::bottomRight, {-200, -200}, {10, 20, 4, 4}},
        {K::topLeft, {200, 200}, {106, 66, 4, 4}},
        {K::topRight, {-200, 200}, {10, 66, 4, 4}},
        {K::bottomLeft, {200, -200}, {106, 20, 4, 4}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(liveResizeFrame(c.kind, start, c.delta), c.expected) << int(c.kind);

    // A 10 by 10 element dragged 20 right and down by its top-left handle: 4 by 4, its
    // bottom-right corner where it was.
    const QRectF small = liveResizeFrame(K::topLeft, {0, 0, 10, 10}, {20, 20});
    EXPECT_EQ(small, QRectF(6, 6, 4, 4));
    EXPECT_EQ(allResizeHandleKinds(),
              (QList<K>{K::topLeft, K::topRight, K::bottomLeft, K::bottomRight}));

    ResizeAnchor anchor;
    anchor.dragChanged({0, 0, 10, 10}, K::bottomRight);
    anchor.dragChanged({0, 0, 30, 30}, K::topLeft);
    EXPECT_EQ(anchor.startFrame(), QRectF(0, 0, 10, 10));
    EXPECT_EQ(anchor.activeHandle(), K::bottomRight);
    anchor.dragEnded();
    EXPECT_FALSE(anchor.startFrame() || anchor.activeHandle());
}

TEST(ElementEditingState, ClickTrackerPairsStrictlyWithinInterval)
{
    struct Case {
        QList<qint64> clicks;
        QList<bool> doubles;
    };
    const Case cases[] = {
        {{0, 499}, {false, true}},
        {{0, 500}, {false, false}},
        {{0, 100, 200}, {false, true, false}}, // the pairing click is forgotten
        {{0, 100, 200, 300}, {false, true, false, true}},
        {{0, 600, 700}, {false, false, true}},
    };
    for (const Case &c : cases) {
        ClickTracker tracker;
        QList<bool> doubles;
        for (qint64 t : c.clicks)
            doubles.append(tracker.registerClick(t, 500));
        EXPECT_EQ(doubles, c.doubles);
    }
}

TEST(ElementEditingState, FollowerOffsetAndGhostOpacity)
{
    const QUuid dragged = QUuid::createUuid();
    const QUuid other = QUuid::createUuid();
    MultiDragState multi;
    const QSizeF base(5, 6);
    EXPECT_EQ(dragrules::followerOffset(multi, base, true, other), base);
    multi.set({10, 20}, dragged);
    struct Case {
        bool isSelected;
        QUuid id;
        QSizeF expected;
    };
    const Case cases[] = {
        {true, other, {15, 26}},
        {true, dragged, base},
        {false, other, base},
    };
    for (const Case &c : cases)
        EXPECT_EQ(dragrules::followerOffset(multi, base, c.isSelected, c.id), c.expected);

    CrossBandDragState cross;
    const QUuid carried = QUuid::createUuid();
    cross.set({dragged, QPointF(1, 1), {carried}, false});
    EXPECT_EQ(dragrules::ghostOpacity(cross, dragged), 0);
    EXPECT_EQ(dragrules::ghostOpacity(cross, carried), 0);
    EXPECT_EQ(dragrules::ghostOpacity(cross, other), 1);
    cross.reset();
    EXPECT_EQ(dragrules::ghostOpacity(cross, carried), 1);
}
