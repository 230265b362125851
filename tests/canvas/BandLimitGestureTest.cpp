#include "CanvasPointer.h"
#include "EngineJudge.h"
#include "TestSupport.h"
#include "canvas/ElementView.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"

#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Elements of real reports moved and resized by the pointer on the canvas: a band grows only as
// far as the page holds it, the pointer past that says why, an element in a low band is pressed
// like any other, and the engine compiles the report saved after the gestures.

namespace {

const BandTarget summary = BandTarget::standard(BandType::summary);
const BandTarget background = BandTarget::standard(BandType::background);

QRectF rectOf(const ReportElement &e)
{
    return QRectF(e.x, e.y, e.width, e.height);
}

struct BandLimitFixture : ::testing::Test, CanvasPointer {
    // Shows the corpus report at the zoom.
    void open(const QString &path, double zoom)
    {
        store.setDocument(
            JrxmlCodec::parse(testsupport::readFile(testsupport::corpusDir() + path)));
        store.setZoomLevel(zoom);
        showCanvas(&store, {1100, 950});
    }
    // Scrolls the band's body into the middle of the view.
    void showBand(const BandTarget &target)
    {
        const BandItem *b = band(target);
        canvas.graphicsView()->centerOn(b->mapToScene(b->bodyRect().center()));
    }
    // The first top-level element of the band that `take` accepts.
    ReportElement elementIn(
        const BandTarget &target, const std::function<bool(const ReportElement &)> &take =
                                      [](const ReportElement &) { return true; }) const
    {
        for (const ReportElement &e : store.elements(target)) {
            if (take(e))
                return e;
        }
        ADD_FAILURE() << "no such element";
        return {};
    }
    QRectF frameOf(const QUuid &id) const { return rectOf(store.element(id).value()); }
    // A point of the viewport far below the band, past what the page holds it.
    QPoint farBelow(QPoint from) const { return {from.x(), viewport()->height() - 4}; }

    // The words the pointer shows past the limit of a band the page holds at most `largest`
    // points high (the test's preferences measure in pixels, that is points).
    static QString limitWords(double largest)
    {
        return u"The page holds this band at most "_s + QString::number(largest) +
               u" px high, with its margins and the bands printed with it."_s;
    }
    static bool showing(const QString &words)
    {
        return QToolTip::isVisible() && QToolTip::text() == words;
    }

    // The engine's complaint about the report as saved now, or no value.
    std::optional<QString> compiled() { return judge.compileError(store.document()); }
    bool fitsThePage() const
    {
        return PageLayout::neededPageHeight(store.document()) <= store.document().pageHeight;
    }

    DocumentStore store;
    testsupport::JudgeWhereAtHand judge;
};

} // namespace

// TextReport at 50 %: its Summary text field dragged below the page, then pulled down by its
// bottom handle. The page holds the Summary 860 points high (1,000 less its margins of 70).
TEST_F(BandLimitFixture, ASummaryFieldDraggedOrResizedPastThePageStopsWhereTheBandMayGrowNoFurther)
{
    QUILLMARK_REQUIRE_CORPUS();
    open(u"/jrxml-samples/text/TextReport.jrxml"_s, 0.5);
    const ReportElement field = elementIn(summary);
    const double largest = PageLayout::largestBandHeight(store.document(), summary);
    ASSERT_EQ(largest, 860);
    const double height = store.height(summary);

    const QPoint grab = at(summary, {field.x + 20, field.y + 7});
    ASSERT_GT(farBelow(grab).y() - grab.y(), (largest - field.y) * 0.5) << "the view is too low";
    carry(grab, farBelow(grab));
    EXPECT_TRUE(showing(limitWords(largest))) << QToolTip::text().toStdString();
    release(farBelow(grab));
    EXPECT_TRUE(testsupport::waitFor([] { return !QToolTip::isVisible(); }))
        << "the words go with the drag";
    // Stopped where the band may grow no further; straight down, it keeps its place across,
    // off the column's grid as it is.
    ASSERT_NE(bandSettings.snapped(field.x, store.width(summary)), field.x);
    EXPECT_EQ(frameOf(field.id),
              QRectF(field.x, largest - field.height, field.width, field.height));
    EXPECT_EQ(store.height(summary), largest);
    EXPECT_TRUE(fitsThePage());
    EXPECT_EQ(compiled(), std::nullopt);
    store.undo();
    EXPECT_EQ(frameOf(field.id), rectOf(field));
    EXPECT_EQ(store.height(summary), height);

    // Pulled down by its bottom-right handle: the bottom stops at the band's limit, the top
    // stays.
    store.setSelectedElementIDs({field.id});
    const QPoint corner = at(summary, rectOf(field).bottomRight());
    carry(corner, farBelow(corner));
    EXPECT_TRUE(showing(limitWords(largest))) << QToolTip::text().toStdString();
    release(farBelow(corner));
    EXPECT_EQ(frameOf(field.id), QRectF(field.x, field.y, field.width, largest - field.y));
    EXPECT_EQ(store.height(summary), largest);
    EXPECT_TRUE(fitsThePage());
    EXPECT_EQ(compiled(), std::nullopt);

    // Within the limit nothing stops and nothing is said.
    store.undo();
    store.setSelectedElementIDs({field.id});
    carry(corner, corner + QPoint(0, 20));
    EXPECT_FALSE(QToolTip::isVisible());
    release(corner + QPoint(0, 20));
    EXPECT_EQ(frameOf(field.id).height(), bandSettings.snapped(field.height + 40));
}

// A press on an element of a low band reaches the element at every zoom: BarChartReport's Detail
// is 13 points high, AddressReport's Column Header 14, less than the height handle's reach. The
// band's height is still dragged from just below its edge.
TEST_F(BandLimitFixture, ElementsOfLowBandsArePressedAndDraggedAtEveryZoom)
{
    QUILLMARK_REQUIRE_CORPUS();
    struct Case {
        QString report;
        std::function<BandTarget(const ReportDocument &)> band;
        // The element pressed, by its place in the band's list and, for a frame, its child's.
        qsizetype index;
        std::optional<qsizetype> child;
    };
    const Case cases[] = {
        {u"/jrxml-samples/charts/BarChartReport.jrxml"_s,
         [](const ReportDocument &d) { return BandTarget::detailBand(d.detailBands[0].id); }, 1,
         std::nullopt},
        {u"/jrxml-samples/subreport/AddressReport.jrxml"_s,
         [](const ReportDocument &) { return BandTarget::standard(BandType::columnHeader); }, 0, 1},
    };
    for (const Case &c : cases) {
        open(c.report, 1);
        const BandTarget target = c.band(store.document());
        const double height = store.height(target);
        ASSERT_LE(height, 14);
        const ReportElement outer = store.elements(target).at(c.index);
        ReportElement pressed = outer;
        QPointF offset(0, 0); // of the pressed element within the band
        if (c.child) {
            pressed = outer.kind.children()->at(*c.child);
            offset = QPointF(outer.x, outer.y);
        }
        const ReportDocument before = store.document();
        for (const double zoom : {0.25, 0.5, 1.0, 2.0, 3.0}) {
            SCOPED_TRACE(QString(c.report + u" at "_s + QString::number(zoom)).toStdString());
            store.setZoomLevel(zoom);
            showBand(target);
            const QPoint middle = at(target, offset + rectOf(pressed).center());

            store.setSelectedElementIDs({});
            clock.advanceMs(1000);
            click(middle);
            EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{pressed.id});
            EXPECT_EQ(store.height(target), height);

            // Dragged 20 points right, it moves, snapped, and the band keeps its height.
            const QPoint right = middle + QPoint(int(std::lround(20 * zoom)), 0);
            drag(middle, right);
            EXPECT_GT(store.element(pressed.id)->x, pressed.x + 10);
            EXPECT_EQ(store.element(pressed.id)->y, pressed.y);
            EXPECT_EQ(store.height(target), height);
            store.undo();
            EXPECT_EQ(store.document(), before);

            // Just below the band's edge the handle takes the band's height.
            const QPoint edge = at(target, {offset.x() + pressed.x + 2, height + 1});
            drag(edge, edge + QPoint(0, int(std::lround(40 * zoom))));
            EXPECT_GT(store.height(target), height + 20);
            EXPECT_EQ(frameOf(pressed.id), rectOf(pressed)) << "the element stays";
            store.undo();
            EXPECT_EQ(store.document(), before);
        }
        // A drag that is kept: the engine compiles the report it leaves.
        store.setZoomLevel(0.5);
        showBand(target);
        const QPoint middle = at(target, offset + rectOf(pressed).center());
        drag(middle, middle + QPoint(15, 0));
        EXPECT_NE(store.document(), before);
        EXPECT_EQ(compiled(), std::nullopt);
    }
}

// A corner handle dragged straight along one axis leaves the edges of the other axis where
// they were, although the column's grid (714 points in steps of 10.06) does not pass them.
TEST_F(BandLimitFixture, AHandleDraggedAlongOneAxisLeavesTheOtherAxisEdgesAlone)
{
    QUILLMARK_REQUIRE_CORPUS();
    open(u"/jrxml-samples/text/TextReport.jrxml"_s, 1);
    const ReportElement field = elementIn(summary); // at x 290, 180 wide, 14 high
    ASSERT_NE(bandSettings.snapped(field.x, store.width(summary)), field.x);
    store.setSelectedElementIDs({field.id});

    // The bottom-left handle straight down: the left edge stays at 290.
    const QPoint bottomLeft = at(summary, rectOf(field).bottomLeft());
    drag(bottomLeft, bottomLeft + QPoint(0, 6));
    EXPECT_EQ(frameOf(field.id), QRectF(field.x, field.y, field.width, 20));
    // The top-left handle straight down: the left edge stays, the top moves down onto the
    // band's grid (28 points in steps of 9.33), the bottom stays.
    const QPoint topLeft = at(summary, frameOf(field.id).topLeft());
    drag(topLeft, topLeft + QPoint(0, 10));
    const double top = bandSettings.snapped(10, store.height(summary));
    ASSERT_NE(top, 10);
    EXPECT_EQ(frameOf(field.id), QRectF(field.x, top, field.width, 20 - top));
    // The top-right handle straight right: the top stays where it is although it lies off the
    // grid, the right edge is snapped.
    const QPoint topRight = at(summary, frameOf(field.id).topRight());
    drag(topRight, topRight + QPoint(30, 0));
    EXPECT_EQ(frameOf(field.id), QRectF(field.x, top, 210, 20 - top));
    EXPECT_EQ(compiled(), std::nullopt);
    const QString saved = QString::fromUtf8(JrxmlCodec::serialize(store.document()));
    EXPECT_TRUE(saved.contains(uR"(x="290" y="9" width="210" height="11")"_s))
        << saved.toStdString();
}

// ShapesReport's pale yellow rectangle, at 0, 250 of a 782-point title whose grid steps 10.03,
// dragged straight right and then straight down: the axis the pointer did not travel keeps its
// value, off the grid as it is, and the engine compiles the report.
TEST_F(BandLimitFixture, AnElementDraggedAlongOneAxisKeepsTheOther)
{
    QUILLMARK_REQUIRE_CORPUS();
    open(u"/jrxml-samples/shapes/ShapesReport.jrxml"_s, 1);
    const ReportElement pale = elementIn(title, [](const ReportElement &e) {
        return e.kind.is<ElementKind::Rectangle>() && e.y == 250;
    });
    ASSERT_NE(bandSettings.snapped(250, store.height(title)), 250);
    showBand(title);
    const QPoint grab = at(title, rectOf(pale).center());
    drag(grab, grab + QPoint(40, 0));
    const double x = bandSettings.snapped(40, store.width(title));
    EXPECT_EQ(frameOf(pale.id), QRectF(x, 250, 200, 40));
    const QPoint held = at(title, frameOf(pale.id).center());
    drag(held, held + QPoint(0, 30));
    EXPECT_EQ(frameOf(pale.id), QRectF(x, bandSettings.snapped(280, store.height(title)), 200, 40));
    EXPECT_EQ(compiled(), std::nullopt);
}

// The hyperlink sample's 742-point background picture carried onto the Page Footer, which the
// page holds far lower: nothing moves and nothing is cut, and the pointer and then the window
// say why.
TEST_F(BandLimitFixture, AnElementCarriedOntoABandTooLowForItMovesNothing)
{
    QUILLMARK_REQUIRE_CORPUS();
    open(u"/jrxml-samples/hyperlink/HyperlinkReport.jrxml"_s, 0.25);
    const BandTarget footer = BandTarget::standard(BandType::pageFooter);
    const ReportElement picture =
        elementIn(background, [](const ReportElement &e) { return e.height >= 700; });
    const double footerLargest = PageLayout::largestBandHeight(store.document(), footer);
    ASSERT_GT(picture.height, footerLargest);
    QList<std::pair<BandTarget, double>> refused;
    QObject::connect(&store, &DocumentStore::insertRefused,
                     [&](const BandTarget &target, double height) {
                         refused.append({target, height});
                     });
    const ReportDocument hyperlink = store.document();
    const qsizetype steps = store.undoStack().size();
    const QPoint onPicture = at(background, {picture.x + 30, picture.y + 30});
    const QPoint onFooter = at(footer, {100, 5});
    carry(onPicture, onFooter);
    EXPECT_EQ(canvas.crossBandDragState()->elementID(), picture.id) << "over the footer";
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().startsWith(u"The page holds this band at most "_s))
        << QToolTip::text().toStdString();
    release(onFooter);
    EXPECT_EQ(store.document(), hyperlink) << "nothing moved, nothing was cut";
    EXPECT_EQ(store.undoStack().size(), steps);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.at(0).first, footer);
    EXPECT_EQ(refused.at(0).second, picture.height);
}

// Drags into another band, of several elements and of a frame obey the same limit.
TEST_F(BandLimitFixture, ASelectionOrAFrameStopsWhereItsBandMayGrowNoFurther)
{
    QUILLMARK_REQUIRE_CORPUS();
    // TextReport with two selected rectangles in its background, 830 points apart: the one at
    // the top carried onto the Summary would take the other past the 860 points the page holds
    // the Summary. The two stop together and keep their arrangement.
    open(u"/jrxml-samples/text/TextReport.jrxml"_s, 0.25);
    ReportDocument document = store.document();
    const auto back =
        std::find_if(document.bands.begin(), document.bands.end(),
                     [](const ReportBand &b) { return b.type == BandType::background; });
    ASSERT_NE(back, document.bands.end());
    back->height = 860;
    ReportElement leader = testsupport::element(ElementKind::Rectangle{});
    leader.x = 10;
    leader.y = 0;
    leader.width = 100;
    leader.height = 20;
    ReportElement follower = testsupport::element(ElementKind::Rectangle{});
    follower.x = 10;
    follower.width = 100;
    follower.y = 830;
    follower.height = 30;
    back->elements = {leader, follower};
    store.setDocument(document);
    store.setSelectedElementIDs({leader.id, follower.id});
    showBand(summary);
    const QPoint grab = at(background, {50, 4});
    const QPoint into = at(summary, {50, 16});
    carry(grab, into);
    EXPECT_TRUE(showing(limitWords(860))) << QToolTip::text().toStdString();
    release(into);
    ASSERT_EQ(store.elements(summary).size(), 3);
    const QRectF led = frameOf(leader.id);
    const QRectF followed = frameOf(follower.id);
    EXPECT_EQ(followed.top() - led.top(), 830) << "the arrangement is kept";
    EXPECT_EQ(followed.bottom(), 860);
    EXPECT_EQ(store.height(summary), 860);
    EXPECT_TRUE(fitsThePage());
    EXPECT_EQ(compiled(), std::nullopt);

    // The Summary's field and the top rectangle of the background moved down within their
    // bands at once: they stop together where the background may grow no further.
    store.undo();
    const ReportElement field = elementIn(summary);
    store.setSelectedElementIDs({field.id, leader.id});
    showBand(summary);
    const QPoint onField = at(summary, {field.x + 20, field.y + 7});
    carry(onField, farBelow(onField));
    EXPECT_TRUE(showing(limitWords(860))) << QToolTip::text().toStdString();
    release(farBelow(onField));
    EXPECT_EQ(frameOf(leader.id).bottom(), 860);
    EXPECT_EQ(frameOf(field.id).top(), frameOf(leader.id).top());
    EXPECT_EQ(store.height(summary), frameOf(field.id).bottom());
    EXPECT_TRUE(fitsThePage());
    EXPECT_EQ(compiled(), std::nullopt);

    // A frame in the Summary: what it holds moves within it and grows no band; the frame itself
    // stops where the Summary may grow no further.
    store.undo();
    ReportElement child = testsupport::element(ElementKind::Rectangle{});
    child.x = 0;
    child.y = 0;
    child.width = 40;
    child.height = 10;
    ElementKind::Frame frame;
    frame.children = ElementList{child};
    const QUuid frameID = add(frame, QRectF(0, 0, 200, 20), summary);
    store.setSelectedElementIDs({});
    const QPoint onChild = at(summary, {20, 5});
    drag(onChild, farBelow(onChild));
    EXPECT_EQ(store.height(summary), 28) << "what a frame holds grows no band";
    EXPECT_EQ(compiled(), std::nullopt);
    const QPoint onFrame = at(summary, {150, 10});
    carry(onFrame, farBelow(onFrame));
    EXPECT_TRUE(showing(limitWords(860))) << QToolTip::text().toStdString();
    release(farBelow(onFrame));
    EXPECT_EQ(frameOf(frameID), QRectF(0, 840, 200, 20));
    EXPECT_EQ(store.height(summary), 860);
    EXPECT_EQ(compiled(), std::nullopt);
}
