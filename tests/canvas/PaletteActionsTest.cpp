#include "canvas/PaletteActions.h"
#include "AppTestSupport.h"
#include "EngineJudge.h"
#include "canvas/FormatToolbarValues.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"
#include "workspace/AppSettings.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using Kind = PaletteActions::Kind;
using K = ElementKind;

namespace {

class PaletteActionsTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        settings->setDefaultFontName(u"Verdana"_s);
        settings->setDefaultFontSize(13);
        settings->setDefaultBlankWhenNull(true);
        store.setActiveBandTarget(BandTarget::standard(BandType::title));
    }
    QList<ReportElement> title() const
    {
        return store.elements(BandTarget::standard(BandType::title));
    }

    std::unique_ptr<AppSettings> settings;
    DocumentStore store;
};

} // namespace

TEST_F(PaletteActionsTest, EveryKindGoesIntoTheActiveBandWithItsGeometryAndDefaults)
{
    struct Case {
        Kind kind;
        double x, width, height;
    };
    const Case cases[] = {
        {Kind::staticText, 10, 150, 20}, {Kind::textField, 10, 150, 20},
        {Kind::rectangle, 10, 150, 20},  {Kind::ellipse, 10, 150, 20},
        {Kind::line, 10, 150, 20},       {Kind::image, 10, 150, 20},
        {Kind::frame, 10, 200, 100},     {Kind::list, 10, 300, 60},
        {Kind::table, 10, 200, 60},      {Kind::reportBreak, 0, 200, 1},
    };
    for (const Case &c : cases) {
        store.setSelectedElementIDs({});
        PaletteActions::insert(c.kind, store, *settings);
        const ReportElement e = title().last();
        SCOPED_TRACE(e.kind.displayName().toStdString());
        EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{e.id});
        EXPECT_EQ(QRectF(e.x, e.y, e.width, e.height), QRectF(c.x, 10, c.width, c.height));
        const bool text = e.kind.isTextKind();
        EXPECT_EQ(e.fontName, text ? u"Verdana"_s : u"SansSerif"_s);
        EXPECT_EQ(e.fontSize, text ? 13 : 10);
        EXPECT_EQ(e.isBlankWhenNull, c.kind == Kind::textField);
        EXPECT_EQ(e.evaluationTime, u"Now"_s);
        EXPECT_EQ(e.penWidth, 1);
    }
    const QList<ReportElement> inserted = title();
    ASSERT_EQ(inserted.size(), 10);
    EXPECT_EQ(inserted[0].kind, K(K::StaticText{u"Label"_s}));
    EXPECT_EQ(inserted[1].kind, K(K::TextField{u"$F{fieldName}"_s}));
    EXPECT_EQ(inserted[5].kind, K(K::Image{u"\"path/to/image.png\""_s}));
    const auto *list = inserted[7].kind.as<K::List>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->datasetName, u"Dataset1"_s) << "the sub-dataset added with it";
    EXPECT_EQ(list->connectionExpression, u"$P{REPORT_CONNECTION}"_s);
    const auto *table = inserted[8].kind.as<K::Table>();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->datasetName, u"Dataset1"_s) << "the list's, not a second one";
    EXPECT_EQ(store.document().subDatasets.size(), 1);
    ASSERT_EQ(table->columns.size(), 2);
    EXPECT_NE(table->columns[0].id, table->columns[1].id);
    EXPECT_EQ(table->columns[1].width, 100);
    EXPECT_EQ(table->columns[1].detailCellHeight, 20);
    EXPECT_EQ(inserted[9].kind, K(K::ReportBreak{BreakType::page}));
    EXPECT_EQ(store.undoStack().size(), 10) << "one undo step per insert";

    // Written to JRXML and read back, the band holds the same kinds at the same places.
    const ReportDocument read = JrxmlCodec::parse(JrxmlCodec::serialize(store.document()));
    const QList<ReportElement> back = read.band(BandType::title)->elements;
    ASSERT_EQ(back.size(), inserted.size());
    for (qsizetype i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].kind.displayName(), inserted[i].kind.displayName());
        EXPECT_EQ(QRectF(back[i].x, back[i].y, back[i].width, back[i].height),
                  QRectF(inserted[i].x, inserted[i].y, inserted[i].width, inserted[i].height));
    }
}

TEST_F(PaletteActionsTest, TargetLabelAndContainersFollowTheSelection)
{
    ReportDocument document = store.document();
    document.subDatasets = {ReportSubDataset{newId(), u"Items"_s},
                            ReportSubDataset{newId(), u"B"_s}};
    store.setDocument(document);
    EXPECT_EQ(PaletteActions::addTargetLabel(store), u"Add to Title"_s);

    PaletteActions::insert(Kind::frame, store, *settings);
    const QUuid frame = title().last().id;
    EXPECT_EQ(PaletteActions::addTargetLabel(store), u"Add to Frame"_s);
    PaletteActions::insert(Kind::list, store, *settings);
    const ReportElement list = store.element(store.selectedElementID().value()).value();
    EXPECT_EQ(list.kind.as<K::List>()->datasetName, u"Items"_s);
    EXPECT_EQ(title().size(), 1) << "the list went into the frame";
    EXPECT_EQ(PaletteActions::addTargetLabel(store), u"Add to Title"_s) << "a list is no frame";
    PaletteActions::insert(Kind::ellipse, store, *settings);
    EXPECT_EQ(store.element(list.id)->kind.children()->size(), 1) << "into the selected list";

    store.setSelectedElementIDs({frame, list.id});
    EXPECT_EQ(PaletteActions::addTargetLabel(store), u"Add to Title"_s);
    PaletteActions::insert(Kind::line, store, *settings);
    EXPECT_EQ(title().size(), 2);

    // Composite fields go into the active band even while a frame is selected.
    store.setSelectedElementIDs({frame});
    store.insertComposite(CompositeElement::pageXofY, store.activeBandTarget());
    EXPECT_EQ(title().size(), 4) << "page X of Y is two text fields";
}

TEST_F(PaletteActionsTest, ADeclinedSaveInsertsNothingAndWritesNothing)
{
    int asked = 0;
    store.setSavePanel([&](const SavePanelRequest &) -> std::optional<QUrl> {
        ++asked;
        return std::nullopt;
    });
    const ReportDocument before = store.document();
    SidecarModel sidecar;
    PaletteActions::insertSubreport(store, *settings, sidecar);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(store.document(), before);
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_EQ(settings->explorerRefreshTick(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.jrxml"_s}), QStringList());
}

TEST(FormatToolbarValues, SizeLabelAndStepsStayInRangeForEveryNumber)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        double size;
        const char *label;
        std::optional<double> up, down;
    } cases[] = {
        {10.7, "10.7", 11.7, 9.7},
        {-3.9, "-3.9", 6, 6},
        {96, "96", std::nullopt, 95},
        {11.5, "11.5", 12.5, 10.5},
        {8.125, "8.13", 9.125, 7.125},
        {6, "6", 7, std::nullopt},
        {200, "200", 96, 96},
        {9.2e18, "9200000000000000000", 96, 96},
        {1e19, "–", 96, 96},
        {-1e300, "–", 6, 6},
        {inf, "–", 11, 9},
        {std::nan(""), "–", 11, 9},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(FormatToolbarValues::sizeLabel(c.size), QString::fromUtf8(c.label));
        EXPECT_EQ(FormatToolbarValues::steppedSize(c.size, 1), c.up);
        EXPECT_EQ(FormatToolbarValues::steppedSize(c.size, -1), c.down);
    }
}

// A table or list from the palette compiles and prints as inserted, in a report that has no
// sub-dataset yet as in one that has; the dataset it needs comes in the same undo step.
TEST_F(PaletteActionsTest, AnInsertedTableOrListCompilesAndPrints)
{
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    for (const Kind kind : {Kind::table, Kind::list}) {
        for (const bool hasDataset : {false, true}) {
            SCOPED_TRACE(testing::Message() << int(kind) << " " << hasDataset);
            DocumentStore fresh;
            fresh.newDocument(595, 842);
            if (hasDataset)
                fresh.addSubDataset();
            fresh.flushPendingUndoSnapshot();
            const ReportDocument before = fresh.document();
            const qsizetype steps = fresh.undoStack().size();
            PaletteActions::insert(kind, fresh, *settings);
            EXPECT_EQ(fresh.undoStack().size(), steps + 1);
            EXPECT_EQ(fresh.document().subDatasets.size(), 1) << "one dataset, never a second";
            EXPECT_EQ(engine.printError(fresh.document()), std::nullopt);
            fresh.undo();
            EXPECT_EQ(fresh.document(), before) << "the dataset goes with the table";
        }
    }
}
