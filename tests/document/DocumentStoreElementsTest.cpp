#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreElements : public StoreTest {};

QList<QUuid> ids(const QList<ReportElement> &elements)
{
    QList<QUuid> out;
    for (const ReportElement &e : elements)
        out.append(e.id);
    return out;
}

} // namespace

TEST_F(DocumentStoreElements, LooksUpAtAnyDepthButNotInTableCells)
{
    const ReportElement deepest = textField();
    const ReportElement inner = frame({deepest});
    const ReportElement middle = list({inner});
    const ReportElement outer = frame({middle});
    const ReportElement inCell = textField();
    ReportTableColumn column;
    column.detailCellElement = inCell;
    ElementKind::Table table;
    table.columns = {column};
    place({outer, element(table)});

    ASSERT_TRUE(store.element(deepest.id));
    EXPECT_EQ(*store.element(deepest.id), deepest);
    EXPECT_EQ(store.homeBandTarget(deepest.id), std::nullopt);
    EXPECT_FALSE(store.isTopLevelElement(deepest.id));
    EXPECT_EQ(store.homeBandTarget(outer.id), detail());
    EXPECT_TRUE(store.isTopLevelElement(outer.id));
    EXPECT_EQ(store.element(inCell.id), std::nullopt);

    // Changing the deepest element reaches it in place and reports the change once.
    EXPECT_TRUE(store.performUpdateElement(deepest.id, [](ReportElement &e) { e.width = 7; }));
    EXPECT_FALSE(store.performUpdateElement(deepest.id, [](ReportElement &e) { e.width = 7; }));
    EXPECT_EQ(store.element(deepest.id)->width, 7);
    EXPECT_FALSE(store.performUpdateElement(newId(), [](ReportElement &e) { e.width = 1; }));
}

TEST_F(DocumentStoreElements, DeletesSelectedElementsWithTheirChildren)
{
    const ReportElement child = textField();
    const ReportElement container = frame({child});
    const ReportElement other = textField();
    place({container, other});

    store.deleteSelectedElement();
    EXPECT_TRUE(store.undoStack().isEmpty()) << "nothing selected, nothing recorded";

    store.setSelectedElementIDs({container.id, child.id});
    store.deleteSelectedElement();
    EXPECT_EQ(ids(store.elements(detail())), QList<QUuid>{other.id});
    EXPECT_EQ(store.element(child.id), std::nullopt);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_TRUE(store.isDirty());
}

TEST_F(DocumentStoreElements, AddsToBandsAndContainers)
{
    const ReportElement container = frame({});
    const ReportElement field = textField();
    store.addElement(container, BandTarget::standard(BandType::title));
    store.addElement(field, BandTarget::standard(BandType::title));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{field.id});

    // A text field holds no children: one undo step, nothing else.
    const ReportDocument before = store.document();
    store.setIsDirty(false);
    store.addChildElement(textField(), field.id);
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(store.undoStack().size(), 3);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{field.id});
    EXPECT_FALSE(store.isDirty());

    const ReportElement child = textField();
    store.addChildElement(child, container.id);
    EXPECT_EQ(ids(*store.element(container.id)->kind.children()), QList<QUuid>{child.id});
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{child.id});
}

TEST_F(DocumentStoreElements, MovesTopLevelElementsToAnotherBand)
{
    const ReportElement nested = textField(5, 5);
    const ReportElement moved = frame({nested}, 20, 5);
    const ReportElement resident = textField();
    const BandTarget title = BandTarget::standard(BandType::title);
    place({moved});
    store.performAddElement(resident, title);
    store.setSelectedElementIDs({moved.id, nested.id});

    // A band that does not exist takes nothing: the elements stay where they are.
    store.moveSelectedElementsToNewBand(BandTarget::groupHeader(newId()), 0, 0);
    EXPECT_EQ(ids(store.elements(detail())), QList<QUuid>{moved.id});
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_EQ(store.activeBandTarget(), detail());

    store.moveSelectedElementsToNewBand(title, -50, 10);
    EXPECT_TRUE(store.elements(detail()).isEmpty());
    EXPECT_EQ(ids(store.elements(title)), (QList<QUuid>{resident.id, moved.id}));
    EXPECT_EQ(store.element(moved.id)->x, 0);
    EXPECT_EQ(store.element(moved.id)->y, 15);
    EXPECT_EQ(store.element(nested.id)->x, 5) << "children keep their container coordinates";
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{moved.id});
    EXPECT_EQ(store.activeBandTarget(), title);
    EXPECT_EQ(store.undoStack().size(), 1);
}

TEST_F(DocumentStoreElements, UpdatingSeveralElementsIsOneStep)
{
    const QList<ReportElement> three{textField(), textField(), textField()};
    place(three);
    store.setSelectedElementIDs({three[0].id, three[1].id, three[2].id});
    store.updateSelectedElements([](ReportElement &) {});
    EXPECT_EQ(store.undoStack().size(), 1) << "one step even when nothing changed";
    EXPECT_TRUE(store.isDirty());
    store.updateSelectedElements([](ReportElement &e) { e.isBold = true; });
    for (const ReportElement &e : three)
        EXPECT_TRUE(store.element(e.id)->isBold);
}

TEST_F(DocumentStoreElements, ChangesTheDrawingOrderWithinEachList)
{
    const QList<ReportElement> kids{textField(), textField(), textField()};
    const ReportElement container = frame(kids);
    const ReportElement last = textField();
    place({container, last});
    auto children = [&] { return ids(*store.element(container.id)->kind.children()); };

    store.setSelectedElementID(kids[0].id);
    store.bringToFront();
    EXPECT_EQ(children(), (QList<QUuid>{kids[1].id, kids[2].id, kids[0].id}));
    EXPECT_EQ(ids(store.elements(detail())), (QList<QUuid>{container.id, last.id}));
    store.sendBackward();
    EXPECT_EQ(children(), (QList<QUuid>{kids[1].id, kids[0].id, kids[2].id}));
    store.sendToBack();
    EXPECT_EQ(children(), (QList<QUuid>{kids[0].id, kids[1].id, kids[2].id}));
    store.bringForward();
    EXPECT_EQ(children(), (QList<QUuid>{kids[1].id, kids[0].id, kids[2].id}));

    // At the end of its list nothing moves, but the step is still recorded.
    store.setSelectedElementID(last.id);
    const ReportDocument before = store.document();
    const qsizetype steps = store.undoStack().size();
    store.bringForward();
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(store.undoStack().size(), steps + 1);
}
