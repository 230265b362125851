#include "AppTestSupport.h"
#include "EngineJudge.h"
#include "canvas/PaletteActions.h"
#include "canvas/SnippetLibrary.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"
#include "workspace/AppSettings.h"

using namespace Qt::StringLiterals;
using Kind = PaletteActions::Kind;

// Every edit that places or sizes an element inside a frame, a list or a table cell keeps it
// within the room the engine measures there, and the engine compiles the report saved after it.

namespace {

ReportElement made(ElementKind kind, double x, double y, double width, double height)
{
    ReportElement e;
    e.id = newId();
    e.kind = std::move(kind);
    e.x = x;
    e.y = y;
    e.width = width;
    e.height = height;
    return e;
}

ReportElement rectangle(double x, double y, double width, double height)
{
    return made(ElementKind::Rectangle{}, x, y, width, height);
}

// The first element anywhere in the list (children included) that the predicate takes.
const ReportElement *find(const ElementList &list,
                          const std::function<bool(const ReportElement &)> &take)
{
    for (const ReportElement &e : list) {
        if (take(e))
            return &e;
        if (const ElementList *children = e.kind.children()) {
            if (const ReportElement *found = find(*children, take))
                return found;
        }
    }
    return nullptr;
}

class ContainerRoomTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        store.newDocument(595, 842);
        // A frame 120 wide with 10 of padding either side (100 of room) holding one child, and
        // a list 150 by 40, both in the detail band.
        ReportElement frame = made(ElementKind::Frame{{rectangle(0, 0, 60, 20)}}, 10, 0, 120, 40);
        frame.paddingLeft = 10;
        frame.paddingRight = 10;
        frameID = frame.id;
        ReportDocument document = store.document();
        document.subDatasets.append(ReportSubDataset{.id = newId(), .name = u"Items"_s});
        ReportElement list =
            made(ElementKind::List{.datasetName = u"Items"_s, .children = {}}, 200, 0, 150, 40);
        listID = list.id;
        ReportElement loose = rectangle(300, 50, 200, 30);
        looseID = loose.id;
        document.detailBands[0].height = 100;
        document.detailBands[0].elements = {frame, list, loose};
        store.setDocument(document);
        store.setActiveBandTarget(BandTarget::detailBand(document.detailBands[0].id));
    }

    ReportElement at(const QUuid &id) const { return *store.element(id); }
    QUuid childOfFrame() const { return at(frameID).kind.children()->first().id; }

    // The engine's complaint about the report as saved now, or no value.
    std::optional<QString> compiled() { return judge.compileError(store.document()); }

    std::unique_ptr<AppSettings> settings;
    DocumentStore store;
    QUuid frameID;
    QUuid listID;
    QUuid looseID;
    testsupport::JudgeWhereAtHand judge;
};

} // namespace

TEST_F(ContainerRoomTest, PasteAndDuplicateKeepTheCopyInsideItsFrameOrList)
{
    // Pasted into the frame (100 of room) at 315, 65, the 200-wide rectangle shrinks to the room.
    store.setSelectedElementIDs({looseID});
    store.copySelectedElements();
    store.setSelectedElementIDs({frameID});
    store.pasteClipboard();
    const ReportElement pasted = at(*store.selectedElementID());
    EXPECT_EQ(QRectF(pasted.x, pasted.y, pasted.width, pasted.height), QRectF(0, 65, 100, 30));
    EXPECT_EQ(compiled(), std::nullopt);
    // Into the list (150 by 40): it moves up to fit the contents' height too.
    store.setSelectedElementIDs({listID});
    store.pasteClipboard();
    const ReportElement inList = at(*store.selectedElementID());
    EXPECT_EQ(QRectF(inList.x, inList.y, inList.width, inList.height), QRectF(0, 10, 150, 30));
    EXPECT_EQ(compiled(), std::nullopt);
    // A child 60 wide at 40 of the frame's 100: its duplicate at 50 moves back in to 40.
    store.updateElement(childOfFrame(), [](ReportElement &e) { e.x = 40; });
    store.setSelectedElementIDs({childOfFrame()});
    store.duplicateSelectedElement();
    const ReportElement copy = at(*store.selectedElementID());
    EXPECT_EQ(copy.x, 40);
    EXPECT_EQ(copy.y, 10);
    EXPECT_EQ(compiled(), std::nullopt);
    // Copied out of the frame and pasted into the list, the frame takes the list's room.
    store.setSelectedElementIDs({frameID});
    store.copySelectedElements();
    store.setSelectedElementIDs({listID});
    store.pasteClipboard();
    const ReportElement frameInList = at(*store.selectedElementID());
    EXPECT_LE(frameInList.x + frameInList.width, 150);
    EXPECT_LE(frameInList.y + frameInList.height, 40);
    EXPECT_EQ(compiled(), std::nullopt);
}

// Edit > Duplicate of $F{name} in the list of the HTTP data adapter sample: the list's
// contents are 170 wide and the field ends at 169.
TEST_F(ContainerRoomTest, DuplicateInTheListOfACorpusReportCompiles)
{
    QUILLMARK_REQUIRE_CORPUS();
    store.setDocument(JrxmlCodec::parse(testsupport::readFile(
        testsupport::corpusDir() +
        u"/jrxml-samples/httpdataadapter/JsonHttpDataAdapterReport.jrxml"_s)));
    std::optional<QUuid> name;
    store.forEveryElementInDocument([&](const ReportElement &e) {
        const auto *field = e.kind.as<ElementKind::TextField>();
        if (!name && field && field->expression == u"$F{name}"_s)
            name = e.id;
    });
    ASSERT_TRUE(name);
    const std::optional<ReportElement> holder = store.containerOf(*name);
    ASSERT_TRUE(holder && holder->kind.is<ElementKind::List>());
    store.setSelectedElementIDs({*name});
    store.duplicateSelectedElement();
    const ReportElement copy = at(*store.selectedElementID());
    EXPECT_LE(copy.x + copy.width, holder->width);
    EXPECT_EQ(copy.width, at(*name).width) << "it moves in rather than shrinks";
    EXPECT_EQ(compiled(), std::nullopt);
}

TEST_F(ContainerRoomTest, PaletteInsertsIntoASmallContainerFitIt)
{
    for (const QUuid container : {frameID, listID}) {
        for (const Kind kind : {Kind::list, Kind::frame, Kind::table, Kind::rectangle}) {
            SCOPED_TRACE(testing::Message() << int(kind));
            store.setSelectedElementIDs({container});
            PaletteActions::insert(kind, store, *settings);
            const ReportElement inserted = at(*store.selectedElementID());
            EXPECT_EQ(store.containerOf(inserted.id)->id, container);
            EXPECT_LE(inserted.x + inserted.width, container == frameID ? 100 : 150);
            EXPECT_EQ(compiled(), std::nullopt);
            store.undo();
        }
    }
}

TEST_F(ContainerRoomTest, AlignInContainerTakesTheContainersRoom)
{
    // The frame's room is 100 by 40 (no padding above or below); the child is 60 by 20.
    store.setSelectedElementIDs({childOfFrame()});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::horizontalCenter);
    store.alignSelectedToContainer(DocumentStore::AlignEdge::verticalCenter);
    EXPECT_EQ(QPointF(at(childOfFrame()).x, at(childOfFrame()).y), QPointF(20, 10));
    store.alignSelectedToContainer(DocumentStore::AlignEdge::right);
    store.alignSelectedToContainer(DocumentStore::AlignEdge::bottom);
    EXPECT_EQ(QPointF(at(childOfFrame()).x, at(childOfFrame()).y), QPointF(40, 20));
    EXPECT_EQ(compiled(), std::nullopt);
    // A top-level element still takes the active band's area (535 wide, 100 high).
    store.setSelectedElementIDs({looseID});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::right);
    EXPECT_EQ(at(looseID).x, 535 - 200);
}

TEST_F(ContainerRoomTest, ResizesAndMovesStopAtTheContainersEdges)
{
    const QUuid child = childOfFrame();
    // Past the right edge, dragged: moved back in; resized from the right: stops at the edge.
    store.updateElement(child, [](ReportElement &e) {
        e.x = 90;
        e.y = 5;
    });
    EXPECT_EQ(at(child).x, 40);
    store.updateElement(child, [](ReportElement &e) {
        e.x = 10;
        e.width = 60;
    });
    store.updateElement(child, [](ReportElement &e) { e.width = 150; });
    EXPECT_EQ(at(child).x, 10);
    EXPECT_EQ(at(child).width, 90);
    // Resized from the left past the left edge: the right edge stays.
    store.updateElement(child, [](ReportElement &e) {
        e.x = -20;
        e.width = 120;
    });
    EXPECT_EQ(QRectF(at(child).x, 0, at(child).width, 1), QRectF(0, 0, 100, 1));
    EXPECT_EQ(compiled(), std::nullopt);
    // The frame cannot be made narrower than its child and its padding, from either side.
    store.updateElement(child, [](ReportElement &e) { e.width = 60; });
    store.updateElement(frameID, [](ReportElement &e) { e.width = 50; });
    EXPECT_EQ(at(frameID).width, 80);
    EXPECT_EQ(at(frameID).x, 10);
    store.updateElement(frameID, [](ReportElement &e) {
        e.x = 60;
        e.width = 30;
    });
    EXPECT_EQ(at(frameID).x, 10) << "the dragged left edge stops, the right edge stays";
    // More padding widens the frame instead of pushing the child out.
    store.updateElement(frameID, [](ReportElement &e) { e.paddingLeft = 30; });
    EXPECT_EQ(at(frameID).width, 100);
    EXPECT_EQ(compiled(), std::nullopt);
}

TEST_F(ContainerRoomTest, ATableCellsElementFollowsItsColumnsWidth)
{
    store.setSelectedElementIDs({});
    PaletteActions::insert(Kind::table, store, *settings);
    const QUuid table = *store.selectedElementID();
    // A label 80 wide in each detail cell, then the columns' width typed as 30.
    store.updateElement(table, [](ReportElement &e) {
        for (ReportTableColumn &column : e.kind.as<ElementKind::Table>()->columns)
            column.detailCellElement =
                made(ElementKind::StaticText{u"Label"_s}, 0, 0, 80, column.detailCellHeight);
    });
    EXPECT_EQ(compiled(), std::nullopt);
    store.updateElement(table, [](ReportElement &e) {
        for (ReportTableColumn &column : e.kind.as<ElementKind::Table>()->columns)
            column.width = 30;
    });
    const ReportElement narrowed = at(table);
    int cells = 0;
    for (const ReportTableColumn &column : narrowed.kind.as<ElementKind::Table>()->columns) {
        for (const SharedOptional<ReportElement> *cell :
             {&column.columnHeaderElement, &column.detailCellElement,
              &column.columnFooterElement}) {
            if (*cell) {
                ++cells;
                EXPECT_LE((*cell)->x + (*cell)->width, 30);
            }
        }
    }
    EXPECT_GT(cells, 0);
    EXPECT_EQ(compiled(), std::nullopt);
}

// Aligning or distributing what is already in place is no edit: no undo step, and a saved
// report stays saved.
TEST_F(ContainerRoomTest, ArrangingWhatIsInPlaceRecordsNothing)
{
    const QUuid child = childOfFrame();
    store.setSelectedElementIDs({frameID, looseID});
    store.alignSelected(DocumentStore::AlignEdge::left);
    store.setSelectedElementIDs({child});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::left);
    store.setSelectedElementIDs({frameID, looseID, listID});
    store.distributeSelected(DocumentStore::DistributeAxis::vertical);
    store.flushPendingUndoSnapshot();
    store.setIsDirty(false);
    const qsizetype steps = store.undoStack().size();
    store.setSelectedElementIDs({frameID, looseID});
    store.alignSelected(DocumentStore::AlignEdge::left);
    store.setSelectedElementIDs({child});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::left);
    store.alignSelectedToContainer(DocumentStore::AlignEdge::top);
    store.setSelectedElementIDs({frameID, looseID, listID});
    store.distributeSelected(DocumentStore::DistributeAxis::vertical);
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_FALSE(store.isDirty());
    // One that moves something is one step, and undo takes it back.
    store.setSelectedElementIDs({frameID, looseID});
    store.alignSelected(DocumentStore::AlignEdge::right);
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    EXPECT_TRUE(store.isDirty());
}

// The 742-point background picture of the hyperlink sample pasted into the Page Footer is
// taller than the page holds the footer: the paste is refused, as the Band Height field refuses
// such a height, and adds nothing. The picture made as high as the footer may grow is pasted
// and duplicated there: the footer grows only as far as the page holds it.
TEST_F(ContainerRoomTest, APasteOrDuplicateGrowsABandOnlyAsFarAsThePageHoldsIt)
{
    QUILLMARK_REQUIRE_CORPUS();
    store.setDocument(JrxmlCodec::parse(testsupport::readFile(
        testsupport::corpusDir() + u"/jrxml-samples/hyperlink/HyperlinkReport.jrxml"_s)));
    const BandTarget background = BandTarget::standard(BandType::background);
    const BandTarget footer = BandTarget::standard(BandType::pageFooter);
    const ReportElement *picture =
        find(store.elements(background), [](const ReportElement &e) { return e.height >= 700; });
    ASSERT_TRUE(picture);
    const ReportElement tall = *picture;
    const double largest = PageLayout::largestBandHeight(store.document(), footer);
    ASSERT_GT(tall.height, largest);
    store.setSelectedElementIDs({tall.id});
    store.copySelectedElements();
    store.setActiveBandTarget(footer);
    QList<std::pair<BandTarget, double>> refused;
    QObject::connect(&store, &DocumentStore::insertRefused,
                     [&](const BandTarget &target, double height) {
                         refused.append({target, height});
                     });
    const ReportDocument before = store.document();
    const qsizetype steps = store.undoStack().size();
    store.pasteClipboard();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.at(0).first, footer);
    EXPECT_EQ(refused.at(0).second, tall.height);
    EXPECT_EQ(store.document(), before) << "nothing added, nothing cut";
    EXPECT_EQ(store.undoStack().size(), steps);

    ReportElement fitting = tall;
    fitting.height = std::floor(largest);
    store.clipboard()->setElements({fitting});
    store.pasteClipboard();
    EXPECT_EQ(refused.size(), 1);
    ASSERT_EQ(store.elements(footer).size(),
              before.band(BandType::pageFooter)->elements.size() + 1);
    EXPECT_LE(store.height(footer), largest);
    EXPECT_EQ(compiled(), std::nullopt);
    store.duplicateSelectedElement();
    EXPECT_EQ(refused.size(), 1);
    EXPECT_LE(store.height(footer), largest);
    EXPECT_EQ(compiled(), std::nullopt);
}

// A file may give a list's contents another height than the list's (14 in a list 20 high): the
// engine measures the contents, so that is the room while the list keeps its height; a list
// resized writes its new height for both.
TEST_F(ContainerRoomTest, AListKeepsWhatItHoldsWithinTheContentsHeightItsFileGave)
{
    store.setDocument(JrxmlCodec::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
  <subDataset name="Lines"/>
  <detail><band height="60">
    <componentElement><reportElement x="0" y="25" width="250" height="20"/>
      <c:list xmlns:c="http://jasperreports.sourceforge.net/jasperreports/components">
        <datasetRun subDataset="Lines"/>
        <c:listContents height="14" width="250"/>
      </c:list>
    </componentElement>
  </band></detail>
</jasperReport>
)"));
    QUuid list;
    store.forEveryElementInDocument([&](const ReportElement &e) { list = e.id; });
    store.setSelectedElementIDs({list});
    PaletteActions::insert(Kind::rectangle, store, *settings);
    const QUuid inserted = *store.selectedElementID();
    EXPECT_LE(at(inserted).y + at(inserted).height, 14);
    EXPECT_EQ(compiled(), std::nullopt);
    store.alignSelectedToContainer(DocumentStore::AlignEdge::bottom);
    EXPECT_EQ(at(inserted).y + at(inserted).height, 14) << "aligned to the contents' bottom";
    EXPECT_EQ(compiled(), std::nullopt);
    // Resized, the list writes its own height for the contents: the room is the list's.
    store.updateElement(list, [](ReportElement &e) { e.height = 30; });
    store.setSelectedElementIDs({inserted});
    store.updateElement(inserted, [](ReportElement &e) { e.height = 30; });
    EXPECT_EQ(at(inserted).y + at(inserted).height, 30);
    EXPECT_EQ(compiled(), std::nullopt);
}
