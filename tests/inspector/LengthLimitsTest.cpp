// The length fields take what a report can hold and the engine accepts: every length they take
// gives a report the engine compiles, and the first one past their limit would not.

#include "edits/LengthLimits.h"
#include "EngineJudge.h"
#include "StoreTestSupport.h"
#include "model/PageLayout.h"

using namespace storetest;
using LengthLimits::ElementLength;

namespace {

constexpr MeasurementUnit points = MeasurementUnit::pixels;

class LengthLimitsTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store.setDocument(DocumentStore::defaultDocument());
    }

    // The element placed in the detail band, as the store places it.
    ReportElement placed(double y, double height)
    {
        ReportElement e = element(ElementKind::Rectangle{}, 10, y, 100, height);
        store.addElement(e, detail());
        return e;
    }

    // Commits the length as the Frame card does: checked, then written through the store.
    LengthVerdict commit(const QUuid &id, ElementLength which, double value)
    {
        const LengthVerdict verdict = LengthLimits::elementLength(store, id, which, value, points);
        if (verdict.points) {
            store.updateElement(id, [&](ReportElement &e) {
                (which == ElementLength::y ? e.y : e.height) = *verdict.points;
            });
        }
        return verdict;
    }
};

} // namespace

TEST_F(LengthLimitsTest, LengthsBeyondTheFileOrThePageAreRefusedWithAMessage)
{
    const ReportElement e = placed(0, 20);
    for (const double huge : {1e8, 1e9, 3000000015.0, -1e9}) {
        for (const ElementLength which :
             {ElementLength::x, ElementLength::y, ElementLength::width, ElementLength::height}) {
            const LengthVerdict verdict =
                LengthLimits::elementLength(store, e.id, which, huge, points);
            EXPECT_FALSE(verdict.points) << huge;
            EXPECT_FALSE(verdict.message.isEmpty());
        }
    }
    EXPECT_FALSE(LengthLimits::elementLength(store, e.id, ElementLength::width, -1, points).points);
    EXPECT_FALSE(LengthLimits::anyLength(3e9, points).points);
    EXPECT_TRUE(LengthLimits::anyLength(-3e8, points).points);
    EXPECT_EQ(LengthLimits::elementLength(store, e.id, ElementLength::x, 300, points),
              LengthVerdict::accept(300));

    // A band's height: the lowest element's bottom stops it; beyond the page is refused.
    const LengthVerdict low = LengthLimits::bandHeight(store, detail(), -5, points);
    EXPECT_EQ(low.points, 20);
    EXPECT_TRUE(low.message.contains(u"20"_s)) << low.message.toStdString();
    EXPECT_FALSE(LengthLimits::bandHeight(store, detail(), 1e8, points).points);
    const double largest = PageLayout::largestBandHeight(store.document(), detail());
    EXPECT_EQ(LengthLimits::bandHeight(store, detail(), largest, points),
              LengthVerdict::accept(largest));
    EXPECT_FALSE(LengthLimits::bandHeight(store, detail(), largest + 1, points).points);

    // The page: at least 1 point, wider and higher than its margins, holding its bands.
    const ReportDocument &d = store.document();
    for (double ReportDocument::*size : {&ReportDocument::pageWidth, &ReportDocument::pageHeight}) {
        for (const double refused : {0.0, -142.0, 0.4})
            EXPECT_FALSE(LengthLimits::pageLength(d, size, refused, points).points) << refused;
    }
    EXPECT_FALSE(LengthLimits::pageLength(d, &ReportDocument::pageWidth, 60, points).points);
    EXPECT_FALSE(LengthLimits::pageLength(d, &ReportDocument::leftMargin, 565, points).points);
    EXPECT_FALSE(LengthLimits::pageLength(d, &ReportDocument::topMargin, -1, points).points);
    EXPECT_FALSE(LengthLimits::pageLength(d, &ReportDocument::columnWidth, 536, points).points);
    EXPECT_TRUE(LengthLimits::pageLength(d, &ReportDocument::columnWidth, 535, points).points);
    const double needed = PageLayout::neededPageHeight(d);
    EXPECT_TRUE(LengthLimits::pageLength(d, &ReportDocument::pageHeight, needed, points).points);
    EXPECT_FALSE(
        LengthLimits::pageLength(d, &ReportDocument::pageHeight, needed - 1, points).points);
    // A new page width or margin is taken though the columns no longer fit: the sheet says so.
    EXPECT_TRUE(LengthLimits::pageLength(d, &ReportDocument::leftMargin, 72, points).points);
    // No larger than a PDF page, also for a new report; a file's larger page may be lowered.
    for (double ReportDocument::*size : {&ReportDocument::pageWidth, &ReportDocument::pageHeight}) {
        EXPECT_TRUE(LengthLimits::pageLength(d, size, 14400, points).points);
        EXPECT_FALSE(LengthLimits::pageLength(d, size, 14401, points).points);
        EXPECT_FALSE(LengthLimits::newReportPageSize(14401, 14401, size, points).points);
        ReportDocument wide = d;
        wide.*size = 2147483647;
        EXPECT_TRUE(LengthLimits::pageLength(wide, size, 20000, points).points);
        EXPECT_FALSE(LengthLimits::pageLength(wide, size, 2147483647.0 + 1, points).points);
    }
}

// What the fields take, the engine compiles: elements as low as the band may grow, the band at
// its largest, the smallest page a new report may have.
TEST_F(LengthLimitsTest, WhatTheFieldsTakeTheEngineCompiles)
{
    const ReportElement e = placed(0, 20);
    const double largest = PageLayout::largestBandHeight(store.document(), detail());
    EXPECT_FALSE(commit(e.id, ElementLength::height, largest + 1).points);
    EXPECT_FALSE(commit(e.id, ElementLength::y, largest).points);
    EXPECT_TRUE(commit(e.id, ElementLength::y, largest - 20).points);
    EXPECT_EQ(store.height(detail()), largest) << "the band grew to hold the element";

    ReportDocument smallest = DocumentStore::defaultDocument(595, 842);
    double width = 1;
    while (!LengthLimits::newReportPageSize(width, 842, &ReportDocument::pageWidth, points).points)
        ++width;
    double height = 1;
    while (
        !LengthLimits::newReportPageSize(width, height, &ReportDocument::pageHeight, points).points)
        ++height;
    EXPECT_EQ(width, 61) << "just wider than the new report's side margins";
    EXPECT_EQ(height, 160) << "the margins and the bands printed with the detail band";
    smallest = DocumentStore::defaultDocument(width, height);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
    EXPECT_EQ(engine.compileError(smallest), std::nullopt);
    ReportDocument lower = smallest;
    lower.pageHeight = height - 1;
    EXPECT_TRUE(engine.compileError(lower).has_value());
}
