#include "AppTestSupport.h"
#include "CanonicalDiff.h"
#include "EngineJudge.h"
#include "model/JrxmlCodec.h"

using namespace Qt::StringLiterals;

// A line the file gives no height or width prints one point high or wide. The designer keeps
// the file's 0 until the user changes that length, and measures, places and checks the line as
// the engine does: the reports it saves compile.

namespace {

// A title band 100 high holding a line 200 wide without height at 10, 50, a rectangle from 0, 0
// to 100, 40, and a frame 300 wide at 0, 60 holding an upright line without width at 250, 0.
const QByteArray report = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Lines"
              pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
              topMargin="20" bottomMargin="20">
    <title>
        <band height="100">
            <line>
                <reportElement x="10" y="50" width="200" height="0"/>
            </line>
            <rectangle>
                <reportElement x="0" y="0" width="100" height="40"/>
            </rectangle>
            <frame>
                <reportElement x="0" y="60" width="300" height="30"/>
                <line>
                    <reportElement x="250" y="0" width="0" height="20"/>
                </line>
            </frame>
        </band>
    </title>
</jasperReport>
)";

class ZeroSizeLineTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        store.setDocument(JrxmlCodec::parse(report));
        const ElementList &title = store.document().bands[1].elements;
        lineID = title.at(0).id;
        rectangleID = title.at(1).id;
        frameID = title.at(2).id;
        uprightID = title.at(2).kind.children()->at(0).id;
    }

    ReportElement at(const QUuid &id) const { return *store.element(id); }
    double titleHeight() const { return store.height(BandTarget::standard(BandType::title)); }
    QByteArray saved() const { return JrxmlCodec::serialize(store.document()); }

    // What a save now changes against the file, each as "path@attribute (before -> after)".
    QStringList changes() const
    {
        QStringList out;
        for (const canonicaldiff::Difference &d : canonicaldiff::compare(report, saved()))
            out.append(canonicaldiff::describe(d));
        return out;
    }

    // The engine's complaint about the report as saved now, or no value.
    std::optional<QString> compiled() { return judge.compileError(store.document()); }

    DocumentStore store;
    QUuid lineID;
    QUuid rectangleID;
    QUuid frameID;
    QUuid uprightID;
    testsupport::JudgeWhereAtHand judge;
};

const QString lineGeometry = u"/jasperReport/title/band/line/reportElement@"_s;

} // namespace

TEST_F(ZeroSizeLineTest, TheFilesZeroStaysUntilTheUserChangesThatLength)
{
    EXPECT_EQ(changes(), QStringList()) << saved().toStdString();
    EXPECT_EQ(compiled(), std::nullopt);

    // Moved, the line keeps its 0.
    store.updateElement(lineID, [](ReportElement &e) { e.x = 20; });
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(changes(), QStringList{u"changed attribute "_s + lineGeometry + u"x (10 -> 20)"_s});

    // A height the user gives it is written, 1 as well; undo and redo bring back each state.
    store.updateElement(lineID, [](ReportElement &e) { e.height = 5; });
    store.flushPendingUndoSnapshot();
    store.updateElement(lineID, [](ReportElement &e) { e.height = 1; });
    store.flushPendingUndoSnapshot();
    const QString moved = u"changed attribute "_s + lineGeometry + u"x (10 -> 20)"_s;
    EXPECT_EQ(changes(),
              (QStringList{moved, u"changed attribute "_s + lineGeometry + u"height (0 -> 1)"_s}));
    store.undo();
    EXPECT_EQ(changes(),
              (QStringList{moved, u"changed attribute "_s + lineGeometry + u"height (0 -> 5)"_s}));
    store.undo();
    EXPECT_EQ(changes(), QStringList{moved});
    EXPECT_EQ(at(lineID).height, 0);
    store.redo();
    EXPECT_EQ(at(lineID).height, 5);
    store.undo();
    store.undo();
    EXPECT_EQ(changes(), QStringList());
}

// The band grows to hold a line moved to its bottom edge, and aligning places the line's one
// point: the engine refuses a line whose point reaches below its band.
TEST_F(ZeroSizeLineTest, BandGrowthAndAlignCountTheLinesPoint)
{
    store.updateElement(lineID, [](ReportElement &e) { e.y = 100; });
    EXPECT_EQ(titleHeight(), 101);
    EXPECT_EQ(compiled(), std::nullopt);
    store.undo();
    EXPECT_EQ(titleHeight(), 100);

    // Bottom edges with the line at 50: the rectangle ends where the line's point does, at 51.
    store.setSelectedElementIDs({lineID, rectangleID});
    store.alignSelected(DocumentStore::AlignEdge::bottom);
    EXPECT_EQ(at(rectangleID).y, 11);
    EXPECT_EQ(at(lineID).y, 50);
    // Centred between 11 and 51, the point's centre at 31.
    store.alignSelected(DocumentStore::AlignEdge::verticalCenter);
    EXPECT_EQ(at(lineID).y, 30.5);
    // At the band's bottom edge.
    store.setActiveBandTarget(BandTarget::standard(BandType::title));
    store.setSelectedElementIDs({lineID});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::bottom);
    EXPECT_EQ(at(lineID).y, 99);
    EXPECT_EQ(titleHeight(), 100);
    EXPECT_EQ(at(lineID).height, 0) << "aligning changes no length";
    EXPECT_EQ(compiled(), std::nullopt);
}

// In a frame the line's point stays within the frame's width.
TEST_F(ZeroSizeLineTest, AFramesRoomCountsTheLinesPoint)
{
    store.updateElement(uprightID, [](ReportElement &e) { e.x = 300; });
    EXPECT_EQ(at(uprightID).x, 299);
    EXPECT_EQ(at(uprightID).width, 0);
    EXPECT_EQ(compiled(), std::nullopt);

    // The frame made narrower than the line's point grows back to hold it.
    store.updateElement(frameID, [](ReportElement &e) { e.width = 200; });
    EXPECT_EQ(at(frameID).width, 300);
    store.setSelectedElementIDs({uprightID});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::right);
    EXPECT_EQ(at(uprightID).x, 299);
    store.alignSelectedToContainer(DocumentStore::AlignEdge::horizontalCenter);
    EXPECT_EQ(at(uprightID).x, 149.5);
    EXPECT_EQ(compiled(), std::nullopt);
}
