#include "canvas/CanvasView.h"
#include "canvas/BandFrameTracker.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/GuidesOverlay.h"
#include "canvas/ScrollAwareRuler.h"
#include "canvas/ScrollOffsetTracker.h"
#include "canvas/ZoomBar.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

#include "ModelBuilders.h"

#include <QGraphicsRectItem>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct CanvasFixture : ::testing::Test {
    CanvasFixture()
    {
        canvas.resize(900, 700);
        canvas.setStore(&store);
        canvas.show();
        detail = BandTarget::detailBand(store.document().detailBands[0].id);
    }

    ReportElement addRectangle(double x, double y)
    {
        ReportElement e = testsupport::element(ElementKind::Rectangle{});
        e.x = x;
        e.y = y;
        store.addElement(e, detail);
        return e;
    }

    DocumentStore store;
    CanvasView canvas;
    BandTarget detail = BandTarget::standard(BandType::detail);
};

} // namespace

TEST_F(CanvasFixture, StoreChangesUpdateItemsInPlace)
{
    const ReportElement e = addRectangle(10, 5);
    BandItem *band = canvas.scene()->bandItem(detail);
    ASSERT_NE(band, nullptr);
    ElementView *item = band->elementItems().value(e.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->pos(), QPointF(10, 5));

    store.updateElement(e.id, [](ReportElement &el) { el.x = 40; });
    EXPECT_EQ(canvas.scene()->bandItem(detail), band);
    EXPECT_EQ(band->elementItems().value(e.id), item);
    EXPECT_EQ(item->pos(), QPointF(40, 5));

    store.setSelectedElementIDs({e.id});
    EXPECT_TRUE(item->isShownSelected());

    store.setHeight(0, detail);
    EXPECT_EQ(band->bodyHeight(), 4);
    store.undo();
    store.undo();
    EXPECT_EQ(band->elementItems().value(e.id), item);
    EXPECT_EQ(item->pos(), QPointF(10, 5));

    store.deleteSelectedElement();
    EXPECT_TRUE(band->elementItems().isEmpty());

    store.setBandPresent(BandType::title, false);
    EXPECT_EQ(canvas.scene()->bandItem(BandTarget::standard(BandType::title)), nullptr);
    EXPECT_EQ(canvas.scene()->bandItem(detail), band);
}

// A band a file leaves without a height (as many real reports leave their empty summary and
// background) is empty in print: the canvas shows the thin strip of an empty band, not a band of
// the height a new one gets.
TEST_F(CanvasFixture, AnEmptyBandOfAFileIsTheThinStripOfAnEmptyBand)
{
    store.applyParsedSource(JrxmlCodec::parse(
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" name=\"r\">"
        "<detail><band height=\"30\"/></detail><summary><band splitType=\"Stretch\"/></summary>"
        "</jasperReport>"));
    const BandTarget summary = BandTarget::standard(BandType::summary);
    BandItem *band = canvas.scene()->bandItem(summary);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(store.document().band(BandType::summary)->height, 0);
    EXPECT_EQ(band->bodyHeight(), canvas::minimumBodyHeight);
}

// A detail or a group footer the file leaves out prints nothing: the canvas shows the strip of an
// empty band, named as absent, until something is put into it; a save without edits leaves it
// out of the file.
TEST_F(CanvasFixture, ASectionTheFileLeavesOutIsAnAbsentStrip)
{
    store.applyParsedSource(JrxmlCodec::parse(
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" name=\"r\">"
        "<group name=\"G\"><groupExpression><![CDATA[1]]></groupExpression><groupHeader>"
        "<band height=\"30\"/></groupHeader></group><summary><band height=\"30\"/></summary>"
        "</jasperReport>"));
    const ReportDocument &document = store.document();
    const BandTarget detailBand = BandTarget::detailBand(document.detailBands[0].id);
    const BandTarget footer = BandTarget::groupFooter(document.groups[0].id);
    for (const BandTarget &target : {detailBand, footer}) {
        BandItem *band = canvas.scene()->bandItem(target);
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(store.height(target), 0);
        EXPECT_EQ(band->bodyHeight(), canvas::minimumBodyHeight);
        EXPECT_TRUE(band->label().endsWith(u" (absent)")) << band->label().toStdString();
    }
    const QString saved = QString::fromUtf8(JrxmlCodec::serialize(store.document()));
    EXPECT_FALSE(saved.contains(u"<detail")) << saved.toStdString();
    EXPECT_FALSE(saved.contains(u"<groupFooter")) << saved.toStdString();

    // An element put into the detail gives it a height and makes it a band of the report.
    detail = detailBand;
    addRectangle(0, 0);
    EXPECT_GT(store.height(detailBand), 0);
    EXPECT_EQ(canvas.scene()->bandItem(detailBand)->label(), u"Detail");
    EXPECT_TRUE(QString::fromUtf8(JrxmlCodec::serialize(store.document())).contains(u"<detail>"));
}

TEST_F(CanvasFixture, PageSheetMarginAndStackOrder)
{
    const ReportDocument &doc = store.document();
    EXPECT_EQ(canvas.scene()->sheet()->rect(), QRectF(0, 0, doc.pageWidth, doc.pageHeight));
    EXPECT_EQ(canvas.scene()->marginRectangle()->rect().adjusted(-0.5, -0.5, 0.5, 0.5),
              QRectF(doc.leftMargin, doc.topMargin, doc.columnWidth,
                     doc.pageHeight - doc.topMargin - doc.bottomMargin));
    double y = doc.topMargin;
    for (const BandTarget &target : canvas.scene()->targets()) {
        const BandItem *band = canvas.scene()->bandItem(target);
        EXPECT_EQ(band->scenePos(), QPointF(doc.leftMargin, y));
        y += 14 + band->bodyHeight();
    }
}

TEST_F(CanvasFixture, ZoomButtonsScrollOffsetAndFrames)
{
    ZoomBar *zoomBar = canvas.zoomBar();
    EXPECT_EQ(canvas.scrollTracker()->offset(), QPointF(24, 24));
    QRectF body = canvas.scene()->bodySceneRect(detail);
    EXPECT_EQ(canvas.frameTracker()->frames().value(detail), body.translated(24, 24));

    store.setZoomLevel(3.0);
    EXPECT_FALSE(zoomBar->zoomInButton()->isEnabled());
    EXPECT_EQ(zoomBar->percentButton()->text(), QStringLiteral("300%"));
    EXPECT_EQ(canvas.scrollTracker()->offset(), QPointF(24, 24));
    EXPECT_EQ(canvas.frameTracker()->frames().value(detail),
              QRectF(body.topLeft() * 3, body.size() * 3).translated(24, 24));

    QScrollBar *bar = canvas.graphicsView()->horizontalScrollBar();
    bar->setValue(bar->minimum() + 100);
    EXPECT_EQ(canvas.scrollTracker()->offset(), QPointF(-76, 24));

    zoomBar->percentButton()->click();
    EXPECT_EQ(store.zoomLevel(), 1.0);
    store.setZoomLevel(0.25);
    EXPECT_FALSE(zoomBar->zoomOutButton()->isEnabled());
    EXPECT_TRUE(zoomBar->zoomInButton()->isEnabled());
    zoomBar->zoomInButton()->click();
    EXPECT_EQ(store.zoomLevel(), 0.5);

    // A pinch ending far out clamps; the label follows it live.
    canvas.graphicsView()->pinchChanged(4.0);
    EXPECT_EQ(zoomBar->percentButton()->text(), QStringLiteral("200%"));
    canvas.graphicsView()->pinchChanged(10.0);
    canvas.graphicsView()->pinchEnded();
    EXPECT_EQ(store.zoomLevel(), 3.0);
}

TEST_F(CanvasFixture, RulerClickTogglesGuide)
{
    store.setZoomLevel(2.0);
    RulerView *ruler = canvas.horizontalRuler();
    const double left = store.document().leftMargin;
    // 10 points into the band area at zoom 2, with the page origin at 24.
    const QPoint at(int(24 + 2 * (left + 10)), 10);
    QTest::mouseClick(ruler, Qt::LeftButton, {}, at);
    ASSERT_EQ(store.verticalGuides(), QList<double>{10});
    // A drag does nothing; a click 6 screen points off (3 points) removes the guide.
    QTest::mousePress(ruler, Qt::LeftButton, {}, at + QPoint(40, 0));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, at + QPoint(45, 0));
    EXPECT_EQ(store.verticalGuides(), QList<double>{10});
    QTest::mouseClick(ruler, Qt::LeftButton, {}, at + QPoint(6, 0));
    EXPECT_TRUE(store.verticalGuides().isEmpty());

    QTest::mouseClick(canvas.verticalRuler(), Qt::LeftButton, {}, QPoint(10, 200));
    EXPECT_EQ(store.horizontalGuides().size(), 1);

    // Only the primary button places or removes guides: a right or middle click, or a left
    // release after a right press, does nothing.
    QTest::mouseClick(ruler, Qt::RightButton, {}, at);
    QTest::mouseClick(ruler, Qt::MiddleButton, {}, at);
    EXPECT_TRUE(store.verticalGuides().isEmpty());
    QTest::mouseClick(canvas.verticalRuler(), Qt::RightButton, {}, QPoint(10, 200));
    EXPECT_EQ(store.horizontalGuides().size(), 1);
    QTest::mousePress(ruler, Qt::RightButton, {}, at);
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, at);
    QTest::mouseRelease(ruler, Qt::RightButton, {}, at);
    EXPECT_TRUE(store.verticalGuides().isEmpty());
}

TEST_F(CanvasFixture, TheRulerShowsTheGuidesOfTheReportShown)
{
    // The pixels of guide markers on the horizontal ruler.
    const auto markers = [this] {
        RulerView *ruler = canvas.horizontalRuler();
        const QImage image = ruler->grab().toImage();
        const QRgb accent = ruler->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == accent;
        }
        return count;
    };
    store.toggleVerticalGuide(100);
    EXPECT_GT(markers(), 0);
    store.toggleVerticalGuide(100);
    EXPECT_EQ(markers(), 0);
    // The ruler now holds an empty list with storage; a report that never had guides holds one
    // without. Switching between the two must neither leave a marker behind nor lose the other
    // report's guides.
    DocumentStore other;
    canvas.setStore(&other);
    EXPECT_EQ(markers(), 0);
    other.toggleVerticalGuide(50);
    EXPECT_GT(markers(), 0);
    canvas.setStore(&store);
    EXPECT_EQ(markers(), 0);
}

TEST_F(CanvasFixture, PageWideBandsOfATwoColumnReportAreDrawnAndEditedAtTheirWidth)
{
    ReportDocument doc = store.document();
    testsupport::makeTwoColumns(doc);
    ReportElement heading = testsupport::element(ElementKind::StaticText{QStringLiteral("Bar")});
    heading.x = 0;
    heading.width = 555;
    heading.height = 20;
    ReportElement total = testsupport::element(ElementKind::Rectangle{});
    total.x = 400;
    total.width = 100;
    total.height = 20;
    const BandTarget title = BandTarget::standard(BandType::title);
    const BandTarget footer = BandTarget::standard(BandType::pageFooter);
    for (ReportBand &band : doc.bands) {
        if (band.type == BandType::title)
            band.elements = {heading};
        if (band.type == BandType::pageFooter)
            band.elements = {total};
    }
    store.setDocument(doc);
    QCoreApplication::processEvents();

    CanvasScene *scene = canvas.scene();
    for (const BandTarget &target : scene->targets()) {
        const bool columnWide = target.kind() != BandTarget::Case::standard ||
                                target.bandType() == BandType::columnHeader ||
                                target.bandType() == BandType::columnFooter;
        SCOPED_TRACE(store.label(target).toStdString());
        EXPECT_EQ(scene->bandItem(target)->width(), columnWide ? 270 : 555);
        EXPECT_EQ(canvas.frameTracker()->frames().value(target).width(), columnWide ? 270 : 555);
    }
    // The heading is shown whole, and the footer's box far right of the first column is
    // reached by a click.
    EXPECT_EQ(scene->bandItem(title)->elementItems().value(heading.id)->box().width(), 555);
    const BandItem *band = scene->bandItem(footer);
    const QPoint onTotal = canvas.graphicsView()->mapFromScene(
        band->mapToScene(band->bodyRect().topLeft() + QPointF(450, 5)));
    QTest::mouseClick(canvas.graphicsView()->viewport(), Qt::LeftButton, {}, onTotal);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{total.id});
    EXPECT_EQ(store.activeBandTarget(), footer);
}

// A report shown again finds its page as it left it: the same items, its selection, zoom and
// scroll position, with what changed in the report while another was shown taken in place.
TEST_F(CanvasFixture, AReportShownAgainKeepsItsPageAndTakesInWhatChangedMeanwhile)
{
    const ReportElement a = addRectangle(10, 5);
    const ReportElement b = addRectangle(100, 5);
    store.setSelectedElementIDs({a.id});
    store.setZoomLevel(2);
    QCoreApplication::processEvents();
    CanvasGraphicsView *view = canvas.graphicsView();
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum() + 150);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum() + 200);
    ASSERT_EQ(view->scrolled(), QPoint(150, 200));
    CanvasScene *page = canvas.scene();
    BandItem *band = page->bandItem(detail);
    ElementView *shownA = band->elementItems().value(a.id);
    ASSERT_NE(shownA, nullptr);

    DocumentStore other;
    canvas.setStore(&other);
    EXPECT_NE(canvas.scene(), page);
    EXPECT_EQ(view->scrolled(), QPoint(0, 0)) << "another report starts at its top-left corner";
    EXPECT_EQ(view->transform().m11(), 1);
    // While hidden: a moves, an element added is taken back by undo, b is selected.
    store.updateElement(a.id, [](ReportElement &e) { e.x = 40; });
    const ReportElement c = addRectangle(200, 5);
    store.undo();
    store.setSelectedElementIDs({b.id});

    canvas.setStore(&store);
    EXPECT_EQ(canvas.scene(), page);
    EXPECT_EQ(canvas.scene()->bandItem(detail), band);
    EXPECT_EQ(band->elementItems().value(a.id), shownA) << "the page is not built again";
    EXPECT_EQ(shownA->pos(), QPointF(40, 5));
    EXPECT_FALSE(band->elementItems().contains(c.id));
    EXPECT_FALSE(shownA->isShownSelected());
    EXPECT_TRUE(band->elementItems().value(b.id)->isShownSelected());
    EXPECT_EQ(view->transform().m11(), 2);
    EXPECT_EQ(view->scrolled(), QPoint(150, 200));
    EXPECT_EQ(canvas.frameTracker()->frames().value(detail),
              view->viewportTransform().mapRect(page->bodySceneRect(detail)));
}

// The guides lie over the whole page, which is drawn again wherever they are repainted: an edit
// that moves no guide repaints only what it changed; a margin that moves them repaints them.
TEST_F(CanvasFixture, GuidesRepaintOnlyWhenTheyMove)
{
    auto *guides = canvas.graphicsView()->findChild<GuidesOverlay *>();
    ASSERT_NE(guides, nullptr);
    const ReportElement e = addRectangle(10, 5);
    store.toggleVerticalGuide(100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } spy;
    guides->installEventFilter(&spy);

    store.updateElement(e.id, [](ReportElement &moved) { moved.x = 30; });
    QCoreApplication::processEvents();
    EXPECT_FALSE(spy.painted.isEmpty()) << "the element is drawn, and the guides over it";
    EXPECT_NE(spy.painted.boundingRect(), guides->rect());

    spy.painted = {};
    ReportDocument wider = store.document();
    wider.leftMargin += 30;
    store.setDocument(wider);
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.painted.boundingRect(), guides->rect());
}

// Only the pages of the reports shown last are kept; an older report's page is built again.
TEST_F(CanvasFixture, OnlyThePagesOfTheReportsShownLastAreKept)
{
    std::vector<std::unique_ptr<DocumentStore>> others;
    for (int i = 0; i < CanvasView::keptPages; ++i) {
        others.push_back(std::make_unique<DocumentStore>());
        canvas.setStore(others.back().get());
    }
    EXPECT_EQ(canvas.sceneOf(&store), nullptr) << "the report shown longest ago";
    for (const auto &other : others)
        EXPECT_NE(canvas.sceneOf(other.get()), nullptr);

    canvas.setStore(&store);
    ASSERT_NE(canvas.sceneOf(&store), nullptr);
    EXPECT_NE(canvas.scene()->bandItem(detail), nullptr);
    EXPECT_EQ(canvas.sceneOf(others.front().get()), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(canvas.findChildren<CanvasScene *>(Qt::FindDirectChildrenOnly).size(),
              CanvasView::keptPages);
}
