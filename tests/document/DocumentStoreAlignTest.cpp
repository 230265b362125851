#include "StoreTestSupport.h"

using namespace storetest;

namespace {

using Edge = DocumentStore::AlignEdge;
using Axis = DocumentStore::DistributeAxis;

class DocumentStoreAlign : public StoreTest {
protected:
    void placeSelected(const QList<ReportElement> &elements)
    {
        place(elements);
        QSet<QUuid> ids;
        for (const ReportElement &e : elements)
            ids.insert(e.id);
        store.setSelectedElementIDs(ids);
    }

    QPointF at(const ReportElement &e) const
    {
        const std::optional<ReportElement> now = store.element(e.id);
        return now ? QPointF(now->x, now->y) : QPointF(-1, -1);
    }
};

} // namespace

TEST_F(DocumentStoreAlign, AlignsOnTheCommonBoundingBox)
{
    // Elements spanning x 10..60, y 5..25 and x 40..140, y 30..40.
    const ReportElement a = textField(10, 5, 50, 20);
    const ReportElement b = textField(40, 30, 100, 10);
    placeSelected({a, b});
    const struct {
        Edge edge;
        QPointF a;
        QPointF b;
    } cases[] = {
        {Edge::right, {90, 5}, {40, 30}},
        {Edge::left, {10, 5}, {10, 30}},
        {Edge::horizontalCenter, {50, 5}, {25, 30}},
        {Edge::bottom, {10, 20}, {40, 30}},
        {Edge::top, {10, 5}, {40, 5}},
        {Edge::verticalCenter, {10, 12.5}, {40, 17.5}},
    };
    const ReportDocument before = store.document();
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.edge));
        store.alignSelected(c.edge);
        EXPECT_EQ(at(a), c.a);
        EXPECT_EQ(at(b), c.b);
        EXPECT_EQ(store.element(b.id)->width, 100);
        store.undo();
        EXPECT_EQ(store.document(), before) << "one undo step";
    }
}

TEST_F(DocumentStoreAlign, TooSmallSelectionsChangeNothing)
{
    const ReportElement a = textField(10, 10);
    placeSelected({a, textField(40, 40)});
    const ReportDocument before = store.document();

    store.distributeSelected(Axis::vertical);
    store.setSelectedElementIDs({a.id, newId()});
    store.alignSelected(Edge::left);
    store.setSelectedElementIDs({});
    store.alignSelectedToContainer(Edge::right);
    store.setSelectedElementIDs({newId()});
    store.encloseSelectedInFrame();

    EXPECT_EQ(store.document(), before);
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DocumentStoreAlign, AlignsToTheActiveBandArea)
{
    // The default report: column width 535, detail band 40 high. One element is enough.
    const ReportElement e = textField(7, 3, 100, 20);
    placeSelected({e});
    store.alignSelectedToContainer(Edge::right);
    store.alignSelectedToContainer(Edge::bottom);
    EXPECT_EQ(at(e), QPointF(435, 20));
    store.alignSelectedToContainer(Edge::horizontalCenter);
    store.alignSelectedToContainer(Edge::verticalCenter);
    EXPECT_EQ(at(e), QPointF(217.5, 10));
    store.alignSelectedToContainer(Edge::left);
    store.alignSelectedToContainer(Edge::top);
    EXPECT_EQ(at(e), QPointF(0, 0));
}

TEST_F(DocumentStoreAlign, DistributesWithEqualGaps)
{
    const ReportElement left = textField(0, 0, 10, 10);
    const ReportElement right = textField(100, 100, 10, 10);
    const ReportElement middle = textField(30, 30, 20, 20);
    placeSelected({left, right, middle});
    // Sorted 0, 30, 100: total 40, span 110, gap 35.
    store.distributeSelected(Axis::horizontal);
    store.distributeSelected(Axis::vertical);
    EXPECT_EQ(at(left), QPointF(0, 0));
    EXPECT_EQ(at(right), QPointF(100, 100));
    EXPECT_EQ(at(middle), QPointF(45, 45));
    store.undo();
    EXPECT_EQ(at(middle), QPointF(45, 30));

    // Wider than their span: a negative gap (150 over 110 gives -20) overlaps them evenly.
    DocumentStore wide;
    const ReportElement inner = textField(20, 0, 50);
    for (const ReportElement &e : {textField(0, 0, 50), textField(60, 0, 50), inner}) {
        wide.performAddElement(e, wide.activeBandTarget());
        wide.setSelectedElementIDs(wide.selectedElementIDs() + QSet<QUuid>{e.id});
    }
    wide.distributeSelected(Axis::horizontal);
    EXPECT_EQ(wide.element(inner.id)->x, 30);
}

TEST_F(DocumentStoreAlign, EnclosesInAFrameOnTopOfTheActiveBand)
{
    const ReportElement below = textField();
    const ReportElement a = textField(20, 10, 50, 20);
    const ReportElement b = textField(100, 30, 40, 10);
    place({below, a});
    // b comes from another band; the frame lands in the active band all the same.
    store.performAddElement(b, BandTarget::standard(BandType::title));
    store.setSelectedElementIDs({a.id, b.id});
    const ReportDocument before = store.document();

    store.encloseSelectedInFrame();
    const QList<ReportElement> band = store.elements(detail());
    ASSERT_EQ(band.size(), 2);
    const ReportElement frame = band[1];
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{frame.id});
    EXPECT_EQ(QRectF(frame.x, frame.y, frame.width, frame.height), QRectF(20, 10, 120, 30));
    EXPECT_TRUE(store.elements(BandTarget::standard(BandType::title)).isEmpty());
    ASSERT_EQ(frame.kind.children()->size(), 2);
    for (const ReportElement &child : *frame.kind.children())
        EXPECT_EQ(QPointF(child.x, child.y), child.id == a.id ? QPointF(0, 0) : QPointF(80, 20));

    store.undo();
    EXPECT_EQ(store.document(), before);
}

TEST_F(DocumentStoreAlign, EnclosesOnlyTopLevelElementsIntoAnActiveBand)
{
    const ReportElement nested = textField(5, 5);
    const ReportElement container = frame({nested}, 300, 0);
    const ReportElement top = textField(20, 10, 50, 20);
    place({container, top});
    store.setSelectedElementIDs({nested.id, top.id});

    // Without an active band the elements would be lost: nothing happens.
    const BandTarget active = store.activeBandTarget();
    store.setActiveBandTarget(BandTarget::groupHeader(newId()));
    const ReportDocument before = store.document();
    store.encloseSelectedInFrame();
    EXPECT_EQ(store.document(), before);
    EXPECT_TRUE(store.undoStack().isEmpty());

    // The nested element stays in its container and only there, so ids stay unique.
    store.setActiveBandTarget(active);
    store.setSelectedElementIDs({nested.id, top.id});
    store.encloseSelectedInFrame();
    const ReportElement enclosing = store.elements(detail()).last();
    EXPECT_EQ(*enclosing.kind.children(), QList<ReportElement>{store.element(top.id).value()});
    EXPECT_EQ(QRectF(enclosing.x, enclosing.y, enclosing.width, enclosing.height),
              QRectF(20, 10, 50, 20));
    EXPECT_EQ(*store.element(container.id)->kind.children(), QList<ReportElement>{nested});
}
