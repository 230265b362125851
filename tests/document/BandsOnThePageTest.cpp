// Edits that add or show bands, or lay out columns, leave every band within what the page holds
// with its margins and the bands printed with it; the engine compiles what they leave, where it
// is at hand.

#include "EngineJudge.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "canvas/BandDropHandler.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"
#include "workspace/BandSettings.h"

#include <gtest/gtest.h>

using namespace storetest;

namespace {

// A store of a bare report (every band hidden, or shown 0 high, and empty) whose page is `room`
// points higher than its margins: the page holds any band, or bands printed together, that high.
class BandsOnThePage : public StoreTest {
protected:
    void leaveRoom(double room, const std::function<void(ReportDocument &)> &setUp = {})
    {
        editDocument(store, [&](ReportDocument &d) {
            for (ReportBand &band : d.bands) {
                band.isPresent = band.type == BandType::summary;
                band.height = 0;
                band.elements.clear();
            }
            for (ReportBand &band : d.detailBands) {
                band.height = 0;
                band.elements.clear();
            }
            d.groups.clear();
            if (setUp)
                setUp(d);
            d.pageHeight = PageLayout::neededPageHeight(d) + room;
        });
        store.flushPendingUndoSnapshot();
        steps = store.undoStack().size();
        limits.clear();
        QObject::disconnect(connection);
        connection = QObject::connect(&store, &DocumentStore::bandLimitReached,
                                      [this](const BandTarget &target, double largest) {
                                          limits.append({target, largest});
                                      });
    }
    void TearDown() override { QObject::disconnect(connection); }

    // Undo steps recorded since leaveRoom().
    qsizetype stepsTaken()
    {
        store.flushPendingUndoSnapshot();
        return store.undoStack().size() - steps;
    }
    // The bands fit the page, and the engine (where at hand) compiles the report.
    void expectOnThePage()
    {
        EXPECT_LE(PageLayout::neededPageHeight(store.document()), store.document().pageHeight);
        EXPECT_EQ(judge.compileError(store.document()), std::nullopt);
    }
    const ReportBand &band(BandType type) const { return *store.document().findBand(type); }

    qsizetype steps = 0;
    QList<std::pair<BandTarget, double>> limits;
    QMetaObject::Connection connection;
    testsupport::JudgeWhereAtHand judge;
};

ReportBand *findBand(ReportDocument &d, BandType type)
{
    for (ReportBand &b : d.bands) {
        if (b.type == type)
            return &b;
    }
    return nullptr;
}

// Settings off the grid, text in the default font.
class PlainSettings : public BandSettings {
public:
    bool isSnapToGridEnabled() const override { return false; }
    double gridSize() const override { return 10; }
    double snapped(double value) const override { return value; }
    double snapped(double value, double) const override { return value; }
    QString defaultFontName() const override { return u"DejaVu Sans"_s; }
    double defaultFontSize() const override { return 10; }
    bool defaultBlankWhenNull() const override { return false; }
};

} // namespace

TEST_F(BandsOnThePage, AGroupAddedGetsWhatThePageHoldsForItsHeaderAndFooter)
{
    // Each of a group's bands prints on a page of its own with the page's and columns' headers
    // and footers: each gets what the page holds, up to 20.
    for (const double room : {30.0, 12.0}) {
        SCOPED_TRACE(room);
        leaveRoom(room);
        store.addGroup();
        ASSERT_EQ(store.document().groups.size(), 1);
        EXPECT_EQ(store.document().groups.first().headerHeight, std::min(room, 20.0));
        EXPECT_EQ(store.document().groups.first().footerHeight, std::min(room, 20.0));
        EXPECT_TRUE(limits.isEmpty());
        EXPECT_EQ(stepsTaken(), 1);
        expectOnThePage();
        store.undo();
        EXPECT_TRUE(store.document().groups.isEmpty());
    }

    // A page its bands already overflow (a file's) takes no group, and says so.
    leaveRoom(-5);
    const ReportDocument before = store.document();
    store.addGroup();
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(stepsTaken(), 0);
    ASSERT_EQ(limits.size(), 1);
    EXPECT_EQ(limits.first().first.kind(), BandTarget::Case::groupHeader);
    EXPECT_LT(limits.first().second, 0);
}

TEST_F(BandsOnThePage, AGroupOfAReportOfPartsHasNoBand)
{
    const QString corpus = testsupport::corpusDir();
    if (corpus.isEmpty())
        GTEST_SKIP() << "the corpus is not at hand";
    const QString book = corpus + u"/jrxml-samples/book/BookReport.jrxml"_s;
    store.setDocument(JrxmlCodec::parse(testsupport::readFile(book)));
    store.addGroup();
    const QByteArray written = JrxmlCodec::serialize(store.document());
    const qsizetype group = written.indexOf("<group name=\"Group1\"");
    ASSERT_GE(group, 0);
    const QByteArray groupText = written.mid(group, written.indexOf("</group>", group) - group);
    EXPECT_FALSE(groupText.contains("<band")) << groupText.toStdString();
    EXPECT_EQ(judge.compileError(store.document()), std::nullopt);
}

TEST_F(BandsOnThePage, ABandShownIsAsHighAsThePageHoldsIt)
{
    // A hidden title 100 high, where the page holds it 30 high.
    leaveRoom(30, [](ReportDocument &d) {
        ReportBand *title = findBand(d, BandType::title);
        title->isPresent = false;
        title->height = 100;
    });
    store.setBandPresent(BandType::title, true);
    EXPECT_TRUE(band(BandType::title).isPresent);
    EXPECT_EQ(band(BandType::title).height, 30);
    EXPECT_EQ(stepsTaken(), 1);
    ASSERT_EQ(limits.size(), 1) << "told why it stands lower than it was";
    EXPECT_EQ(limits.first(), std::pair(BandTarget::standard(BandType::title), 30.0));
    expectOnThePage();

    // A shown summary 0 high becomes 20 high where the page holds that, else what it holds.
    for (const double room : {50.0, 12.0}) {
        SCOPED_TRACE(room);
        leaveRoom(room, [](ReportDocument &d) {
            ReportBand *summary = findBand(d, BandType::summary);
            summary->isPresent = true;
            summary->height = 0;
            summary->elements.clear();
        });
        store.setBandPresent(BandType::summary, true);
        EXPECT_EQ(band(BandType::summary).height, std::min(room, 20.0));
        EXPECT_EQ(limits.size(), room < 20 ? 1 : 0);
        EXPECT_EQ(stepsTaken(), 1);
        expectOnThePage();
    }

    // Where the page does not hold its elements, the band stays hidden: nothing is recorded.
    leaveRoom(5, [](ReportDocument &d) {
        ReportBand *title = findBand(d, BandType::title);
        title->isPresent = false;
        title->height = 20;
        title->elements = {textField(0, 0, 100, 20)};
    });
    const ReportDocument before = store.document();
    store.setBandPresent(BandType::title, true);
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(stepsTaken(), 0);
    EXPECT_EQ(limits.size(), 1);
}

TEST_F(BandsOnThePage, GeneratedColumnsStayOnThePageOrAddNothing)
{
    const QList<ReportField> fields = {
        ReportField{.name = u"name"_s, .className = u"java.lang.String"_s},
        ReportField{.name = u"city"_s, .className = u"java.lang.String"_s}};
    const auto withFields = [&](double room) {
        leaveRoom(room, [&](ReportDocument &d) {
            d.fields = fields;
            ReportBand *header = findBand(d, BandType::columnHeader);
            header->isPresent = false;
            header->height = 0;
            header->elements.clear();
        });
    };
    // Room for the labels' band and the values' band, 20 high each.
    withFields(40);
    store.generateColumnarLayout(fields, detail(), false, std::nullopt);
    EXPECT_TRUE(band(BandType::columnHeader).isPresent);
    EXPECT_EQ(band(BandType::columnHeader).elements.size(), 2);
    EXPECT_EQ(store.document().detailBands.first().elements.size(), 2);
    EXPECT_EQ(stepsTaken(), 1);
    EXPECT_TRUE(limits.isEmpty());
    expectOnThePage();
    store.undo();
    EXPECT_FALSE(band(BandType::columnHeader).isPresent);

    // No room for the labels, or none for the values below them: nothing is added, and the
    // store says why.
    for (const auto &[room, band, largest] :
         {std::tuple{5.0, BandTarget::standard(BandType::columnHeader), 5.0},
          std::tuple{30.0, detail(), 10.0}}) {
        SCOPED_TRACE(room);
        withFields(room);
        const ReportDocument before = store.document();
        store.generateColumnarLayout(fields, detail(), false, std::nullopt);
        EXPECT_EQ(store.document(), before);
        EXPECT_EQ(stepsTaken(), 0);
        ASSERT_EQ(limits.size(), 1);
        EXPECT_EQ(limits.first(), std::pair(band, largest));
    }

    // Values below what the detail band holds move up where it can grow no further.
    withFields(45);
    editDocument(store, [](ReportDocument &d) {
        d.detailBands.first().height = 20;
        d.detailBands.first().elements = {textField(0, 0, 100, 20)};
    });
    store.generateColumnarLayout(fields, detail(), false, std::nullopt);
    EXPECT_EQ(stepsTaken(), 1);
    EXPECT_EQ(store.document().detailBands.first().height, 25);
    for (const ReportElement &value : store.document().detailBands.first().elements.mid(1))
        EXPECT_EQ(value.y, 5);
    expectOnThePage();
}

TEST_F(BandsOnThePage, FieldsDroppedOnABandThePageCannotGrowAddNothing)
{
    const PlainSettings settings;
    const BandDrop drop = BandDrop::parse(u"fields:name,city"_s);
    QList<std::pair<BandTarget, double>> refused;
    QObject::connect(&store, &DocumentStore::insertRefused,
                     [&](const BandTarget &target, double height) {
                         refused.append({target, height});
                     });
    const auto withFields = [&](double room) {
        leaveRoom(room, [](ReportDocument &d) {
            d.fields = {ReportField{.name = u"name"_s, .className = u"java.lang.String"_s},
                        ReportField{.name = u"city"_s, .className = u"java.lang.String"_s}};
            findBand(d, BandType::summary)->height = 0;
        });
    };
    // A text field a drop makes is taller than the page holds the summary: none is added.
    withFields(5);
    const BandTarget summary = BandTarget::standard(BandType::summary);
    const ReportDocument before = store.document();
    ASSERT_TRUE(bandUsesDrop(store, summary, drop));
    applyBandDrop(store, settings, summary, drop, QPointF(0, 0));
    EXPECT_EQ(store.document().band(BandType::summary)->elements.size(), 0);
    EXPECT_EQ(store.document().bands, before.bands);
    EXPECT_EQ(stepsTaken(), 0);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.first().first, summary);

    // On the detail band the drop lays out columns, which the page does not hold either.
    applyBandDrop(store, settings, detail(), drop, QPointF(0, 0));
    EXPECT_EQ(store.document().detailBands.first().elements.size(), 0);
    EXPECT_EQ(stepsTaken(), 0);
    EXPECT_EQ(limits.size(), 1);

    // With room, each field is a text field of its own step, and the band stays on the page.
    // Dropped near the band's right edge, the row of 150-point fields 160 apart moves left to
    // end there.
    withFields(60);
    const double width = store.width(summary);
    applyBandDrop(store, settings, summary, drop, QPointF(width - 15, 30));
    const ElementList dropped = store.document().band(BandType::summary)->elements;
    ASSERT_EQ(dropped.size(), 2);
    EXPECT_EQ(QList<double>({dropped.at(0).x, dropped.at(1).x}),
              QList<double>({width - 310, width - 150}));
    EXPECT_EQ(stepsTaken(), 2);
    expectOnThePage();
}

// What is dropped, duplicated or pasted near a band's right edge moves left to end within the
// band's width where it fits, and is never narrowed: a field dropped on the right of
// FirstJasper's Summary (555 wide), a copy of OrdersReport's crosstab as wide as its Summary, the
// Summary's 555-wide frame pasted into the 552-point column of TabularReport.
TEST_F(BandsOnThePage, WhatIsDroppedDuplicatedOrPastedNearTheRightEdgeStaysWithinTheBand)
{
    QUILLMARK_REQUIRE_CORPUS();
    const PlainSettings settings;
    const auto open = [&](const QString &sample) {
        store.setDocument(JrxmlCodec::parse(
            testsupport::readFile(testsupport::corpusDir() + u"/jrxml-samples/"_s + sample)));
    };
    const auto selected = [&] { return store.element(*store.selectedElementID()).value(); };
    const BandTarget summary = BandTarget::standard(BandType::summary);
    open(u"jasper/FirstJasper.jrxml"_s);
    applyBandDrop(store, settings, summary, BandDrop::parse(u"field:ShipCountry"_s),
                  QPointF(496, 20));
    EXPECT_EQ(selected().x, 405);
    EXPECT_EQ(selected().width, 150);
    expectOnThePage();
    const ReportElement frame = store.elements(summary).first();
    ASSERT_EQ(frame.width, 555);
    store.setSelectedElementIDs({frame.id});
    store.copySelectedElements();

    open(u"tabular/TabularReport.jrxml"_s);
    store.setSelectedElementIDs({});
    store.pasteClipboard();
    EXPECT_EQ(selected().x, 0);
    EXPECT_EQ(selected().width, 555);

    open(u"crosstabs/OrdersReport.jrxml"_s);
    const ReportElement crosstab = store.elements(summary).first();
    ASSERT_TRUE(crosstab.kind.is<ElementKind::Crosstab>());
    ASSERT_EQ(crosstab.x + crosstab.width, store.width(summary));
    store.setSelectedElementIDs({crosstab.id});
    store.duplicateSelectedElement();
    EXPECT_EQ(selected().x, crosstab.x);
    EXPECT_EQ(selected().y, crosstab.y + 10);
    EXPECT_EQ(selected().width, crosstab.width);
    expectOnThePage();
}
