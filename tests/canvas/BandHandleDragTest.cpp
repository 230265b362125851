#include "CanvasPointer.h"
#include "TestSupport.h"
#include "model/PageLayout.h"

#include <QToolTip>

#include <QScrollBar>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// The height handle dragged by the pointer on the canvas's view, over a report whose drag grows
// the page past the view, so that the new page size moves the view's scroll bars mid-drag.
struct HandleDragFixture : ::testing::Test, CanvasPointer {
    HandleDragFixture()
    {
        // A landscape A4 report: nine sections 20 points high and a detail band of 40, all shown.
        store.newDocument(842, 595);
        ReportDocument shown = store.document();
        for (ReportBand &band : shown.bands)
            band.isPresent = true;
        store.setDocument(shown);
        showCanvas(&store, {900, 700});
    }

    // The band's bottom edge on the view, with the band's drawn height.
    int edgeOnView(const BandTarget &target) const
    {
        return at(target, {200, band(target)->bodyHeight()}).y();
    }

    // Presses on the band's handle 6 points above its bottom edge (clear of the band below at
    // any zoom: the view hits items with a one-pixel square) and moves the pointer in small steps,
    // as a hand does, down to the bottom of the view. The band's edge follows the pointer until
    // the band is as high as the page holds it, and stays there; the drag is then let go.
    void dragEdgeToBottomOfView(const BandTarget &target)
    {
        const double zoom = store.zoomLevel();
        largest = PageLayout::largestBandHeight(store.document(), target);
        const QPoint from = at(target, {200, store.height(target) - grip});
        // Where the pointer stands when the band is as high as the page holds it.
        const double limit = from.y() + (largest - store.height(target)) * zoom;
        const int bottom = viewport()->height() - 1;
        ASSERT_LT(from.y(), bottom);
        press(from);
        for (int y = from.y() + 4; y < bottom; y += 4) {
            move({from.x(), y});
            ASSERT_NEAR(edgeOnView(target) - grip * zoom, std::min(double(y), limit), 1)
                << "at " << y;
        }
        move({from.x(), bottom});
        release({from.x(), bottom});
        releasedAt = std::min(double(bottom), limit);
    }

    // The committed height puts the band's edge where the pointer let go, to the nearest line
    // of the 10-point grid, or at the highest the page holds the band.
    void expectEdgeWhereLetGo(const BandTarget &target)
    {
        const double zoom = store.zoomLevel();
        if (store.height(target) != largest) {
            EXPECT_EQ(std::fmod(store.height(target), 10), 0) << store.height(target);
        }
        EXPECT_LE(store.height(target), largest);
        EXPECT_NEAR(edgeOnView(target) - grip * zoom, releasedAt, 5 * zoom + 1)
            << "height " << store.height(target);
    }

    static constexpr double grip = 6;
    DocumentStore store;
    double releasedAt = 0;
    double largest = 0;
};

TEST_F(HandleDragFixture, TheBackgroundHandleDraggedToTheBottomOfTheViewAtHalfSize)
{
    // A page that fits the view at half size but holds a band that grows past it.
    ReportDocument tall = store.document();
    tall.pageHeight = 1150;
    store.setDocument(tall);
    store.zoomOut();
    store.zoomOut();
    ASSERT_EQ(store.zoomLevel(), 0.5);
    const BandTarget background = BandTarget::standard(BandType::background);
    const QScrollBar *vertical = canvas.graphicsView()->verticalScrollBar();
    ASSERT_EQ(vertical->maximum(), vertical->minimum()) << "the page fits the view at first";

    dragEdgeToBottomOfView(background);
    expectEdgeWhereLetGo(background);
    EXPECT_GT(vertical->maximum(), vertical->minimum()) << "the page grew past the view";
    EXPECT_EQ(band(background)->bodyHeight(), store.height(background));
    store.undo();
    EXPECT_EQ(store.height(background), 20);
}

// Dragged past what the page holds, the band stops at the height the Band Height field stops
// at, the pointer is told why, and the engine compiles the report saved after it.
TEST_F(HandleDragFixture, TheHandleStopsWhereThePageEndsAndSaysWhy)
{
    store.setZoomLevel(0.25);
    const BandTarget background = BandTarget::standard(BandType::background);
    dragEdgeToBottomOfView(background);
    EXPECT_EQ(store.height(background), largest);
    EXPECT_LT(largest, 595) << "the landscape page's height less its margins and other bands";
    EXPECT_TRUE(testsupport::waitFor([] { return !QToolTip::isVisible(); }))
        << "the message goes with the drag";
    // Past the limit the message shows while the pointer stays there.
    const QPoint from = at(background, {200, store.height(background) - grip});
    press(from);
    move({from.x(), from.y() + 40});
    move({from.x(), from.y() + 80});
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("The page holds this band at most")))
        << QToolTip::text().toStdString();
    release({from.x(), from.y() + 80});
    EXPECT_EQ(store.height(background), largest);
    EXPECT_LE(PageLayout::neededPageHeight(store.document()), store.document().pageHeight);
}

TEST_F(HandleDragFixture, EveryBandAtQuarterHalfAndFullSize)
{
    const ReportDocument before = store.document();
    // A copy: the scene renews its list on every change.
    const QList<BandTarget> targets = canvas.scene()->targets();
    ASSERT_EQ(targets.size(), 10);
    for (const double zoom : {0.25, 0.5, 1.0}) {
        store.setZoomLevel(zoom);
        for (const BandTarget &target : targets) {
            SCOPED_TRACE(QString(target.id() + QStringLiteral(" at ") + QString::number(zoom))
                             .toStdString());
            const double height = store.height(target);
            dragEdgeToBottomOfView(target);
            expectEdgeWhereLetGo(target);
            store.undo();
            EXPECT_EQ(store.height(target), height);
        }
    }
    EXPECT_EQ(store.document(), before);
}

} // namespace
