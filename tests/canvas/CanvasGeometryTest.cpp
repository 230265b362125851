#include "canvas/CanvasGeometry.h"
#include "document/DocumentStore.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace canvas;

namespace {

ReportGroup group(const QString &name)
{
    ReportGroup g;
    g.name = name;
    return g;
}

} // namespace

TEST(CanvasGeometry, OrdersGroupsAroundDetailBandsAndSkipsHiddenBands)
{
    ReportDocument doc = DocumentStore::defaultDocument();
    doc.groups = {group(QStringLiteral("A")), group(QStringLiteral("B"))};
    doc.detailBands.append(ReportBand::defaultDetailBand());
    for (ReportBand &band : doc.bands)
        band.isPresent = band.type != BandType::background;
    // A band type the report does not hold at all is still drawn.
    doc.bands.removeIf([](const ReportBand &b) { return b.type == BandType::noData; });

    const QList<BandTarget> expected = {
        BandTarget::standard(BandType::title),
        BandTarget::standard(BandType::pageHeader),
        BandTarget::standard(BandType::columnHeader),
        BandTarget::groupHeader(doc.groups[0].id),
        BandTarget::groupHeader(doc.groups[1].id),
        BandTarget::detailBand(doc.detailBands[0].id),
        BandTarget::detailBand(doc.detailBands[1].id),
        BandTarget::groupFooter(doc.groups[1].id),
        BandTarget::groupFooter(doc.groups[0].id),
        BandTarget::standard(BandType::columnFooter),
        BandTarget::standard(BandType::pageFooter),
        BandTarget::standard(BandType::lastPageFooter),
        BandTarget::standard(BandType::summary),
        BandTarget::standard(BandType::noData),
    };
    EXPECT_EQ(orderedTargets(doc), expected);
}

TEST(CanvasGeometry, PageGrowsToHoldColumnAndBandStack)
{
    ReportDocument doc;
    doc.pageWidth = 500;
    doc.pageHeight = 300;
    doc.leftMargin = doc.rightMargin = 30;
    doc.columnWidth = 535;
    doc.topMargin = doc.bottomMargin = 20;

    struct Case {
        QList<double> heights;
        double contentHeight;
        double pageHeight;
    };
    // Bands of height 0 or less are drawn, and counted, 4 tall.
    const Case cases[] = {
        {{20, 40}, 20 + 40 + 28, 300},
        {{200, 100}, 328, 368},
        {{0, -5, 10}, 4 + 4 + 10 + 42, 300},
    };
    for (const Case &c : cases) {
        const PageGeometry page = pageGeometry(doc, c.heights);
        EXPECT_EQ(page.contentHeight, c.contentHeight);
        EXPECT_EQ(page.pageWidth, 595);
        EXPECT_EQ(page.pageHeight, c.pageHeight);
        EXPECT_EQ(page.printableHeight, c.pageHeight - 40);
        EXPECT_EQ(page.marginRect, QRectF(30, 20, 535, c.pageHeight - 40));
        EXPECT_GE(page.pageHeight, doc.topMargin + page.contentHeight + doc.bottomMargin);
    }
}

TEST(CanvasGeometry, ZoomLabelAndPinchEnd)
{
    struct Label {
        std::optional<double> start;
        double zoom;
        double pinch;
        QString text;
    };
    const Label labels[] = {
        {{}, 1.0 / 3.0, 1, QStringLiteral("33%")}, {{}, 0.25, 1, QStringLiteral("25%")},
        {{}, 3.0, 1, QStringLiteral("300%")},      {{}, 0.75, 1, QStringLiteral("75%")},
        {{}, 0.57, 1, QStringLiteral("57%")},      {1.0, 2.0, 1.5, QStringLiteral("150%")},
        {1.0, 1.0, 0.1, QStringLiteral("25%")},    {2.0, 2.0, 4, QStringLiteral("300%")},
    };
    for (const Label &l : labels)
        EXPECT_EQ(zoomPercentText(l.start, l.zoom, l.pinch), l.text) << l.zoom << " " << l.pinch;

    EXPECT_EQ(pinchEndZoom(5, 1.0, 1.0), 3.0);
    EXPECT_EQ(pinchEndZoom(0.1, 1.0, 1.0), 0.25);
    EXPECT_DOUBLE_EQ(pinchEndZoom(1.1, 1.0, 2.0), 1.1);
    EXPECT_DOUBLE_EQ(pinchEndZoom(1.1, std::nullopt, 2.0), 2.2);

    DocumentStore store;
    store.setZoomLevel(pinchEndZoom(1.1, 1.0, 1.0));
    store.zoomIn();
    EXPECT_EQ(store.zoomLevel(), 1.25);
    store.setZoomLevel(1.1);
    store.zoomOut();
    EXPECT_EQ(store.zoomLevel(), 1.0);
}

TEST(CanvasGeometry, APageColumnOrMarginsOfZeroOrLessDrawNothingNegative)
{
    struct Case {
        double pageWidth, pageHeight, columnWidth, left, right, top, bottom;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, 0},
        {0, -40, -60, 30, 30, -20, 0},
        {-100, 0, -300, -50, -20, 0, -30},
        {595, 842, 535, -400, -400, -900, -900},
    };
    for (const Case &c : cases) {
        ReportDocument doc;
        doc.pageWidth = c.pageWidth;
        doc.pageHeight = c.pageHeight;
        doc.columnWidth = c.columnWidth;
        doc.leftMargin = c.left;
        doc.rightMargin = c.right;
        doc.topMargin = c.top;
        doc.bottomMargin = c.bottom;
        const PageGeometry page = pageGeometry(doc, {0, 20});
        SCOPED_TRACE(testing::Message() << c.pageWidth << " " << c.columnWidth << " " << c.left);
        EXPECT_GE(page.pageWidth, 0);
        EXPECT_GE(page.pageHeight, 0);
        EXPECT_GE(page.printableHeight, 0);
        EXPECT_GE(page.marginRect.width(), 0);
        EXPECT_GE(page.marginRect.height(), 0);
        EXPECT_TRUE(std::isfinite(page.pageWidth) && std::isfinite(page.pageHeight));
    }
}
