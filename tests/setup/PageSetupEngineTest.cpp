// The page as the page setup lays it out is a page the engine takes.

#include "EngineJudge.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "edits/LengthLimits.h"
#include "model/JrxmlCodec.h"
#include "model/MeasurementUnit.h"
#include "model/PageLayout.h"
#include "setup/PageSetupEdits.h"

#include <QDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

double millimetres(double mm)
{
    return mm * measurement::pointsPerUnit(MeasurementUnit::millimeters);
}

} // namespace

TEST(PageSetupEngine, FittedColumnsAndTurnedPagesCompile)
{
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    for (const double mm : {15.0, 20.0, 12.7}) {
        SCOPED_TRACE(mm);
        DocumentStore store;
        store.newDocument(595, 842);
        for (double ReportDocument::*margin :
             {&ReportDocument::leftMargin, &ReportDocument::rightMargin})
            PageSetupEdits::setLength(store, margin, millimetres(mm));
        PageSetupEdits::fitColumnWidthToMargins(store);
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
        PageSetupEdits::setOrientation(store, false);
        EXPECT_EQ(store.document().pageWidth, 842);
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
        PageSetupEdits::setOrientation(store, true);
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

        // Three columns with a spacing that is no whole number.
        PageSetupEdits::setColumnCount(store, 3);
        PageSetupEdits::setLength(store, &ReportDocument::columnSpacing, millimetres(4));
        PageSetupEdits::fitColumnWidthToMargins(store);
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

        // A width typed to fill the page exactly fits unrounded; the file still fits.
        PageSetupEdits::setColumnCount(store, 1);
        PageSetupEdits::setLength(store, &ReportDocument::columnWidth, 595 - 2 * millimetres(mm));
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
    }
}

// The highest a band may be, by the rules the designer keeps, is exactly the engine's: at that
// height the report compiles, one point higher it is refused.
TEST(PageSetupEngine, TheLargestBandHeightIsTheEnginesLimit)
{
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    ReportDocument report = DocumentStore::defaultDocument();
    for (ReportBand &band : report.bands)
        band.isPresent = true;
    report.groups = {ReportGroup{
        .name = u"G"_s, .expression = u"\"g\""_s, .headerHeight = 30, .footerHeight = 10}};
    report.detailBands.append(ReportBand::defaultDetailBand());
    // The same report with its title on a page of its own.
    QByteArray titled = JrxmlCodec::serialize(report);
    titled.replace("name=\"report\"", "name=\"report\" isTitleNewPage=\"true\"");
    const ReportDocument titleAlone = JrxmlCodec::parse(titled);
    ASSERT_TRUE(titleAlone.kept.part({}).attribute(u"isTitleNewPage"));

    const auto targetsOf = [](const ReportDocument &d) {
        QList<BandTarget> targets;
        for (const ReportBand &band : d.bands)
            targets.append(BandTarget::standard(band.type));
        for (const ReportBand &band : d.detailBands)
            targets.append(BandTarget::detailBand(band.id));
        targets.append(BandTarget::groupHeader(d.groups[0].id));
        targets.append(BandTarget::groupFooter(d.groups[0].id));
        return targets;
    };
    const auto withHeight = [](ReportDocument d, const BandTarget &target, double height) {
        if (target.kind() == BandTarget::Case::standard) {
            for (ReportBand &band : d.bands) {
                if (band.type == target.bandType())
                    band.height = height;
            }
        } else if (target.kind() == BandTarget::Case::detailBand) {
            for (ReportBand &band : d.detailBands) {
                if (band.id == target.uuid())
                    band.height = height;
            }
        } else if (target.kind() == BandTarget::Case::groupHeader) {
            d.groups[0].headerHeight = height;
        } else {
            d.groups[0].footerHeight = height;
        }
        return d;
    };
    for (const ReportDocument &d : {report, titleAlone}) {
        for (const BandTarget &target : targetsOf(d)) {
            SCOPED_TRACE(target.id().toStdString());
            const double largest = PageLayout::largestBandHeight(d, target);
            EXPECT_EQ(engine.compileError(withHeight(d, target, largest)), std::nullopt);
            EXPECT_TRUE(engine.compileError(withHeight(d, target, largest + 1))
                            .value_or(QString())
                            .contains(u"do not fit the"_s));
        }
    }
}

// Reports whose group header holds several bands, some higher than the first: the smallest page
// height the sheet takes is one the engine takes too, and a point less the sheet refuses.
TEST(PageSetupEngine, TheSmallestPageHeightTakenHoldsEveryBandOfAGroup)
{
    QUILLMARK_REQUIRE_CORPUS();
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    const QDir samples(testsupport::corpusDir() + u"/jrxml-samples"_s);
    for (const QString &path :
         {u"accessible/AccessibleReport.jrxml"_s, u"forms/FormsReport.jrxml"_s,
          u"images/ImagesReport.jrxml"_s, u"pdfa/TaggedPdfA1Report.jrxml"_s}) {
        SCOPED_TRACE(path.toStdString());
        DocumentStore store;
        store.setDocument(JrxmlCodec::parse(testsupport::readFile(samples.filePath(path))));
        ASSERT_EQ(engine.compileError(store.document()), std::nullopt) << "as read";
        const auto taken = [&](double height) {
            return LengthLimits::pageLength(store.document(), &ReportDocument::pageHeight, height,
                                            MeasurementUnit::pixels)
                .points.has_value();
        };
        // The smallest whole height the sheet takes, searched below the report's own.
        const ReportDocument &d = store.document();
        double refused = PageLayout::asWritten(d.topMargin) + PageLayout::asWritten(d.bottomMargin);
        double accepted = d.pageHeight;
        ASSERT_TRUE(taken(accepted));
        while (accepted - refused > 1) {
            const double middle = std::floor((accepted + refused) / 2);
            (taken(middle) ? accepted : refused) = middle;
        }
        PageSetupEdits::setLength(store, &ReportDocument::pageHeight, accepted);
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt) << accepted;
        EXPECT_FALSE(taken(accepted - 1));
    }
}
