#include "setup/PageSetupEdits.h"
#include "EngineJudge.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "edits/LengthLimits.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A store holding a fresh report of the given size, clean and without history.
struct Fixture {
    explicit Fixture(double width = 595, double height = 842)
    {
        store.newDocument(width, height);
        *count = 0;
    }
    void change(const std::function<void(ReportDocument &)> &edit)
    {
        ReportDocument document = store.document();
        edit(document);
        store.setDocument(document);
    }
    const ReportDocument &document() const { return store.document(); }
    // How often the report was published since the fixture was made.
    int published() const { return *count; }

    DocumentStore store;
    std::shared_ptr<int> count = std::make_shared<int>(0);
    QMetaObject::Connection counter =
        QObject::connect(&store, &DocumentStore::documentChanged, [c = count] { ++*c; });
};

// Every page setup write marks the report changed and is an undo step of its own: the report
// has taken `steps` of them.
void expectWrittenAsSteps(DocumentStore &store, qsizetype steps)
{
    EXPECT_TRUE(store.isDirty());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_TRUE(store.redoStack().isEmpty());
}

} // namespace

TEST(PageSetupEdits, LandscapeOnANewReportTurnsThePageAndRefitsTheColumn)
{
    Fixture f;
    PageSetupEdits::setOrientation(f.store, false);
    EXPECT_EQ(f.document().pageWidth, 842);
    EXPECT_EQ(f.document().pageHeight, 595);
    EXPECT_EQ(f.document().columnWidth, 782) << "842 − 30 − 30";
    EXPECT_EQ(f.document().leftMargin, 30) << "the margins are not rotated";
    EXPECT_EQ(f.document().topMargin, 20);
    EXPECT_EQ(f.published(), 1);
    expectWrittenAsSteps(f.store, 1);

    // Landscape again swaps nothing; Portrait turns it back.
    PageSetupEdits::setOrientation(f.store, false);
    EXPECT_EQ(f.document().pageWidth, 842);
    PageSetupEdits::setOrientation(f.store, true);
    EXPECT_EQ(f.document().pageWidth, 595);
    EXPECT_EQ(f.document().pageHeight, 842);
    EXPECT_EQ(f.document().columnWidth, 535);
    EXPECT_EQ(f.store.undoStack().size(), 2) << "landscape again changed nothing";
    f.store.undo();
    EXPECT_EQ(f.document().pageWidth, 842);
}

TEST(PageSetupEdits, AnOrientationAlreadySetOrASquarePageStillRefitsAndMarksChanged)
{
    for (const auto &[width, height, portrait] :
         {std::tuple{595.0, 842.0, true}, std::tuple{500.0, 500.0, true},
          std::tuple{500.0, 500.0, false}, std::tuple{842.0, 595.0, false}}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << " portrait " << portrait);
        Fixture f(width, height);
        f.change([](ReportDocument &d) { d.columnWidth = 100; });
        PageSetupEdits::setOrientation(f.store, portrait);
        EXPECT_EQ(f.document().pageWidth, width);
        EXPECT_EQ(f.document().pageHeight, height);
        EXPECT_EQ(f.document().columnWidth, width - 60);
        expectWrittenAsSteps(f.store, 1);
    }
}

TEST(PageSetupEdits, FittingDividesTheRoomBetweenTheColumnsRoundedDown)
{
    Fixture f;
    f.change([](ReportDocument &d) {
        d.leftMargin = d.rightMargin = 20;
        d.columnCount = 3;
        d.columnSpacing = 10;
    });
    PageSetupEdits::fitColumnWidthToMargins(f.store);
    EXPECT_EQ(f.document().columnWidth, 178) << "(595 − 20 − 20 − 2 × 10) ÷ 3, rounded down";
    expectWrittenAsSteps(f.store, 1);

    // Landscape on 595 × 842 with margins of 20 and one column.
    Fixture one;
    one.change([](ReportDocument &d) { d.leftMargin = d.rightMargin = 20; });
    PageSetupEdits::setOrientation(one.store, false);
    EXPECT_EQ(one.document().columnWidth, 802);

    // Margins wider than the page leave no room: a width of 0, never a negative one.
    Fixture tight;
    tight.change([](ReportDocument &d) { d.leftMargin = d.rightMargin = 400; });
    PageSetupEdits::fitColumnWidthToMargins(tight.store);
    EXPECT_EQ(tight.document().columnWidth, 0);

    // A margin as far left as a file carries leaves room wider than a file carries: the column
    // is as wide as a file carries, and the report saved with it reads back the same.
    Fixture far;
    far.change([](ReportDocument &d) { d.leftMargin = -2147483647; });
    PageSetupEdits::fitColumnWidthToMargins(far.store);
    EXPECT_EQ(far.document().columnWidth, PageLayout::largestLength);
    EXPECT_EQ(JrxmlCodec::parse(JrxmlCodec::serialize(far.document())).columnWidth,
              PageLayout::largestLength);

    // Fitting the width it already has still marks the report changed.
    Fixture same;
    PageSetupEdits::fitColumnWidthToMargins(same.store);
    EXPECT_EQ(same.document().columnWidth, 535);
    EXPECT_TRUE(same.store.isDirty());
}

TEST(PageSetupEdits, AColumnCountBelowOneFromAFileFitsAsOneColumn)
{
    for (const char *count : {"0", "-3"}) {
        SCOPED_TRACE(count);
        const QByteArray jrxml =
            R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Cols" columnCount=")" +
            QByteArray(count) +
            R"(" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20" columnSpacing="10">
  <detail><band height="20"/></detail>
</jasperReport>
)";
        DocumentStore store;
        store.setDocument(JrxmlCodec::parse(jrxml));
        EXPECT_EQ(store.document().columnCount, QByteArray(count).toInt());
        PageSetupEdits::fitColumnWidthToMargins(store);
        EXPECT_EQ(store.document().columnWidth, 555) << "no infinity or NaN reaches the file";
        const ReportDocument reread = JrxmlCodec::parse(JrxmlCodec::serialize(store.document()));
        EXPECT_EQ(reread.columnWidth, 555);
        EXPECT_EQ(reread.columnCount, QByteArray(count).toInt()) << "the count itself is kept";

        // The stepper's first step up from there stores 1: not "from exactly 1", so the print
        // order stays.
        PageSetupEdits::setColumnCount(store, 1);
        EXPECT_EQ(store.document().columnCount, 1);
        EXPECT_EQ(store.document().printOrder, PrintOrder::vertical);
    }
}

TEST(PageSetupEdits, GoingFromOneToSeveralColumnsSelectsHorizontalOnly)
{
    Fixture f;
    PageSetupEdits::setColumnCount(f.store, 1);
    EXPECT_FALSE(f.store.isDirty()) << "the count it already has changes nothing";

    PageSetupEdits::setColumnCount(f.store, 2);
    EXPECT_EQ(f.document().columnCount, 2);
    EXPECT_EQ(f.document().printOrder, PrintOrder::horizontal);
    EXPECT_EQ(f.document().columnWidth, 535) << "the column width is not refitted";
    expectWrittenAsSteps(f.store, 1);

    PageSetupEdits::setGuarded(f.store, &ReportDocument::printOrder, PrintOrder::vertical);
    PageSetupEdits::setColumnCount(f.store, 3);
    EXPECT_EQ(f.document().printOrder, PrintOrder::vertical) << "2 → 3 keeps the order";
    PageSetupEdits::setColumnCount(f.store, 1);
    EXPECT_EQ(f.document().columnCount, 1);
    EXPECT_EQ(f.document().printOrder, PrintOrder::vertical) << "back to 1 keeps it too";

    Fixture jump;
    PageSetupEdits::setColumnCount(jump.store, 5);
    EXPECT_EQ(jump.document().printOrder, PrintOrder::horizontal);
}

TEST(PageSetupEdits, GuardedWritesOfTheValueAlreadySetLeaveTheReportClean)
{
    Fixture f;
    PageSetupEdits::setGuarded(f.store, &ReportDocument::printOrder, PrintOrder::vertical);
    PageSetupEdits::setGuarded(f.store, &ReportDocument::whenNoDataType, WhenNoDataType::noPages);
    PageSetupEdits::setGuarded(f.store, &ReportDocument::language, u"java"_s);
    PageSetupEdits::setGuarded(f.store, &ReportDocument::isSummaryNewPage, false);
    PageSetupEdits::setGuarded(f.store, &ReportDocument::pdfTagLanguage, u"en-US"_s);
    EXPECT_FALSE(f.store.isDirty());
    EXPECT_EQ(f.published(), 0);

    PageSetupEdits::setGuarded(f.store, &ReportDocument::whenNoDataType,
                               WhenNoDataType::noDataSection);
    EXPECT_EQ(f.document().whenNoDataType, WhenNoDataType::noDataSection);
    expectWrittenAsSteps(f.store, 1);

    Fixture text;
    PageSetupEdits::setGuarded(text.store, &ReportDocument::pdfTagLanguage, QString());
    EXPECT_EQ(text.document().pdfTagLanguage, QString()) << "an emptied field stores empty text";
    EXPECT_TRUE(text.store.isDirty());
}

TEST(PageSetupEdits, LengthsAreStoredAsGivenEachFieldAStepOfItsOwn)
{
    Fixture f;
    PageSetupEdits::setLength(f.store, &ReportDocument::topMargin, 20);
    EXPECT_TRUE(f.store.isDirty()) << "a commit is stored without comparing";
    PageSetupEdits::setLength(f.store, &ReportDocument::pageHeight, 0);
    PageSetupEdits::setLength(f.store, &ReportDocument::leftMargin, -12.5);
    EXPECT_EQ(f.document().pageHeight, 0);
    EXPECT_EQ(f.document().leftMargin, -12.5);
    expectWrittenAsSteps(f.store, 2);
    f.store.undo();
    EXPECT_EQ(f.document().leftMargin, 30) << "the last field alone goes back";
    EXPECT_EQ(f.document().pageHeight, 0);
}

TEST(PageSetupEdits, CaptionsFollowTheColumnCount)
{
    EXPECT_EQ(PageSetupEdits::contentCaption(1),
              u"Usually pageWidth − leftMargin − rightMargin."_s);
    EXPECT_EQ(PageSetupEdits::contentCaption(0), PageSetupEdits::contentCaption(1));
    EXPECT_EQ(PageSetupEdits::contentCaption(2),
              u"The width of ONE column - see Columns below. Usually (pageWidth − margins − "
              u"total spacing) ÷ column count."_s);
    EXPECT_EQ(PageSetupEdits::columnsCaption(3),
              u"Real multi-column reports overwhelmingly use Horizontal - the design canvas here "
              u"always shows just one column; the engine replicates it into 3 columns at "
              u"Compile & Preview time."_s);
}

// A page whose bands need more height than its width gives is not turned: nothing changes,
// and the answer is the Height field's words. The page as it stays compiles.
TEST(PageSetupEdits, LandscapeThePageCannotHoldIsRefusedWithTheHeightFieldsWords)
{
    Fixture f;
    f.change([](ReportDocument &d) {
        for (ReportBand &band : d.bands) {
            if (band.type == BandType::pageHeader)
                band.height = 500;
        }
    });
    ASSERT_LE(PageLayout::neededPageHeight(f.document()), 842);
    ASSERT_GT(PageLayout::neededPageHeight(f.document()), 595);
    const ReportDocument before = f.document();
    *f.count = 0;
    const QString words = PageSetupEdits::setOrientation(f.store, false, MeasurementUnit::pixels);
    ReportDocument wider = before;
    wider.pageWidth = 842;
    EXPECT_EQ(words, LengthLimits::pageLength(wider, &ReportDocument::pageHeight, 595,
                                              MeasurementUnit::pixels)
                         .message);
    EXPECT_FALSE(words.isEmpty());
    EXPECT_EQ(f.document(), before);
    EXPECT_EQ(f.published(), 0);
    EXPECT_TRUE(f.store.undoStack().isEmpty());
    EXPECT_FALSE(f.store.isDirty());
    testsupport::JudgeWhereAtHand judge;
    EXPECT_EQ(judge.compileError(f.document()), std::nullopt);

    // Portrait, the way it stands, answers nothing.
    EXPECT_TRUE(PageSetupEdits::setOrientation(f.store, true).isEmpty());
}
