// How the page is shared out, on the whole numbers the file carries.

#include "model/PageLayout.h"
#include "model/JrxmlCodec.h"
#include "model/MeasurementUnit.h"

#include <gtest/gtest.h>

namespace {

ReportDocument a4(double sideMargins)
{
    ReportDocument d;
    d.pageWidth = 595;
    d.pageHeight = 842;
    d.leftMargin = d.rightMargin = sideMargins;
    return d;
}

double millimetres(double mm)
{
    return mm * measurement::pointsPerUnit(MeasurementUnit::millimeters);
}

} // namespace

TEST(PageLayout, TheFittedWidthFitsThePageAsWritten)
{
    // 15 and 20 mm are 42.52 and 56.69 points, written as 43 and 57.
    for (const auto &[mm, width] : {std::pair{15.0, 509.0}, std::pair{20.0, 481.0}}) {
        ReportDocument d = a4(millimetres(mm));
        d.columnWidth = PageLayout::fittedColumnWidth(d);
        EXPECT_EQ(d.columnWidth, width) << mm;
        EXPECT_TRUE(PageLayout::columnsFit(d));
        EXPECT_EQ(PageLayout::writtenColumnWidth(d), width);
    }
    // Several columns: the room less the spacing, shared and rounded down.
    ReportDocument three = a4(20);
    three.columnCount = 3;
    three.columnSpacing = 10;
    EXPECT_EQ(PageLayout::fittedColumnWidth(three), 178) << "(595 − 40 − 20) ÷ 3 = 178.3";
    three.columnSpacing = 10.4;
    EXPECT_EQ(PageLayout::fittedColumnWidth(three), 178) << "the spacing as written";
    // Margins wider than the page leave no room, and no negative width.
    EXPECT_EQ(PageLayout::fittedColumnWidth(a4(400)), 0);
}

TEST(PageLayout, TheWriterNeverRoundsAFittingLayoutIntoOneThatDoesNot)
{
    ReportDocument d = a4(millimetres(15));
    d.columnWidth = 595 - 2 * millimetres(15); // 509.96: fits, but 510 + 43 + 43 would not
    EXPECT_FALSE(PageLayout::columnsFit(d));
    EXPECT_EQ(PageLayout::writtenColumnWidth(d), 509);
    const QByteArray out = JrxmlCodec::serialize(d);
    EXPECT_TRUE(out.contains("columnWidth=\"509\"")) << out.toStdString();

    // A layout that does not fit unrounded is written as it is; one that fits rounds as usual.
    d.columnWidth = 520;
    EXPECT_EQ(PageLayout::writtenColumnWidth(d), 520);
    d.columnWidth = 300.6;
    EXPECT_EQ(PageLayout::writtenColumnWidth(d), 301);
}

TEST(PageLayout, BandsShareThePageHeightAsTheEngineRules)
{
    ReportDocument d;
    d.pageHeight = 842;
    d.topMargin = d.bottomMargin = 20;
    for (BandType type : {BandType::title, BandType::pageHeader, BandType::columnHeader,
                          BandType::columnFooter, BandType::pageFooter, BandType::summary}) {
        ReportBand band;
        band.type = type;
        band.height = 30;
        d.bands.append(band);
    }
    d.detailBands.first().height = 100;
    const BandTarget detail = BandTarget::detailBand(d.detailBands.first().id);
    // The detail band prints between the page's and the column's headers and footers.
    EXPECT_EQ(PageLayout::largestBandHeight(d, detail), 842 - 40 - 4 * 30);
    // The page header shares its page with the title, the detail band and the other three.
    EXPECT_EQ(PageLayout::largestBandHeight(d, BandTarget::standard(BandType::pageHeader)),
              842 - 40 - 3 * 30 - 100);
    // The summary prints on a page with the margins alone.
    EXPECT_EQ(PageLayout::largestBandHeight(d, BandTarget::standard(BandType::summary)), 802);
    EXPECT_EQ(PageLayout::neededPageHeight(d), 40 + 4 * 30 + 100);

    // A hidden band takes no room.
    d.bands[1].isPresent = false;
    EXPECT_EQ(PageLayout::largestBandHeight(d, detail), 842 - 40 - 3 * 30);
}
