#include "canvas/OverlayGeometry.h"
#include "canvas/BandFrameTracker.h"
#include "canvas/CrossBandDragState.h"
#include "document/DocumentStore.h"

#include "ModelBuilders.h"

#include <gtest/gtest.h>

using namespace overlay;

TEST(BandFrameTracker, TargetAtPointOwnsTopAndLeftEdgesOnly)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    const BandTarget header = BandTarget::standard(BandType::pageHeader);
    BandFrameTracker tracker;
    EXPECT_EQ(tracker.target({10, 10}), std::nullopt);
    // Two stacked bodies with a 14-point header strip between them.
    tracker.setFrames({{title, QRectF(24, 38, 555, 50)}, {header, QRectF(24, 102, 555, 20)}});

    struct Case {
        QPointF point;
        std::optional<BandTarget> expected;
    };
    const Case cases[] = {
        {{24, 38}, title},          {{578.9, 87.9}, title},    {{579, 50}, std::nullopt},
        {{100, 88}, std::nullopt},  {{100, 95}, std::nullopt}, {{100, 102}, header},
        {{100, 122}, std::nullopt}, {{0, 0}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tracker.target(c.point), c.expected) << c.point.x() << "," << c.point.y();

    // Stacked without a gap, the shared edge belongs to the lower band.
    tracker.setFrames({{title, QRectF(0, 0, 100, 50)}, {header, QRectF(0, 50, 100, 20)}});
    EXPECT_EQ(tracker.target({10, 50}), header);
}

TEST(OverlayGeometry, GhostSizeAndLabel)
{
    EXPECT_EQ(ghostSize(10, 5, 1), QSizeF(24, 16));
    EXPECT_EQ(ghostSize(100, 50, 2), QSizeF(200, 100));
    EXPECT_EQ(ghostSize(24, 16, 1), QSizeF(24, 16));
    EXPECT_EQ(ghostSize(30, 10, 1), QSizeF(30, 16));

    using namespace testsupport;
    struct Case {
        ElementKind kind;
        QString label;
    };
    const Case cases[] = {
        {ElementKind::StaticText{QStringLiteral("Total")}, QStringLiteral("Total")},
        {ElementKind::StaticText{}, QStringLiteral("Static Text")},
        {ElementKind::TextField{QStringLiteral("$F{name}")}, QStringLiteral("$F{name}")},
        {ElementKind::Image{}, QStringLiteral("Image")},
        {ElementKind::Subreport{}, QStringLiteral("Subreport")},
        {ElementKind::Frame{}, QStringLiteral("Frame")},
        {ElementKind::Rectangle{}, QStringLiteral("Rectangle")},
        {ElementKind::Ellipse{}, QStringLiteral("Ellipse")},
        {ElementKind::Line{}, QStringLiteral("Line")},
        {ElementKind::List{}, QStringLiteral("Element")},
        {ElementKind::Chart{}, QStringLiteral("Element")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ghostLabel(element(c.kind)), c.label);
}

TEST(OverlayGeometry, GuideLinePositionsIncludeBothEnds)
{
    // A guide at 0 with margin 30 at zoom 2 and no scrolling: 60 + the 24 padding.
    EXPECT_EQ(guideLinePositions({0}, 30, 2, 24, 800), QList<double>{84});
    EXPECT_EQ(guideLinePositions({0, 10}, 30, 2, -60, 800), (QList<double>{0, 20}));
    EXPECT_EQ(guideLinePositions({0}, 30, 2, -61, 800), QList<double>{});
    EXPECT_EQ(guideLinePositions({0}, 30, 2, 716, 776), QList<double>{776});
    EXPECT_EQ(guideLinePositions({0}, 30, 2, 717, 776), QList<double>{});
}

TEST(OverlayGeometry, HomeScreenOriginNeedsElementBandAndFrame)
{
    DocumentStore store;
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
    ReportElement e = testsupport::element(ElementKind::Rectangle{});
    e.x = 10;
    e.y = 5;
    store.addElement(e, detail);
    store.setZoomLevel(2);

    BandFrameTracker::Frames frames;
    EXPECT_EQ(homeScreenOrigin(store, frames, e.id), std::nullopt);
    frames.insert(detail, QRectF(100, 200, 1110, 80));
    EXPECT_EQ(homeScreenOrigin(store, frames, e.id), QPointF(120, 210));
    EXPECT_EQ(homeScreenOrigin(store, frames, newId()), std::nullopt);

    CrossBandDragState drag;
    drag.set({e.id, QPointF(1, 2), {}, false});
    EXPECT_TRUE(drag.isShowingGhost());
    EXPECT_TRUE(drag.isHidden(e.id));
    drag.reset();
    EXPECT_FALSE(drag.isShowingGhost());
    EXPECT_EQ(drag.value(), CrossBandDragState::Value{});
}
