#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreClipboard : public StoreTest {};

// Every identifier an element carries: its own, its children's, its table columns' and their
// cell elements', and those of its parameters.
QSet<QUuid> allIDs(const ReportElement &e)
{
    QSet<QUuid> ids{e.id};
    if (const QList<ReportElement> *children = e.kind.children()) {
        for (const ReportElement &child : *children)
            ids.unite(allIDs(child));
    }
    const auto addParameters = [&](const QList<SubreportParameter> &parameters) {
        for (const SubreportParameter &p : parameters)
            ids.insert(p.id);
    };
    if (const auto *subreport = e.kind.as<ElementKind::Subreport>())
        addParameters(subreport->parameters);
    if (const auto *list = e.kind.as<ElementKind::List>())
        addParameters(list->parameters);
    if (const auto *table = e.kind.as<ElementKind::Table>()) {
        addParameters(table->parameters);
        for (const ReportTableColumn &column : table->columns) {
            ids.insert(column.id);
            for (const auto *cell : {&column.columnHeaderElement, &column.detailCellElement,
                                     &column.columnFooterElement}) {
                if (*cell)
                    ids.unite(allIDs(**cell));
            }
        }
    }
    return ids;
}

SubreportParameter parameter()
{
    return {newId(), QStringLiteral("P"), QStringLiteral("$P{P}")};
}

// A frame holding a subreport, a list with a parameter and a child, and a table with a
// parameter and a column whose cells hold elements.
ReportElement everyKindOfIdentifier()
{
    ElementKind::Subreport subreport;
    subreport.parameters = {parameter()};
    ElementKind::List listKind;
    listKind.parameters = {parameter()};
    listKind.children = {textField()};
    ReportTableColumn column;
    column.id = newId();
    column.columnHeaderElement = textField();
    column.detailCellElement = frame({textField()});
    ElementKind::Table table;
    table.parameters = {parameter()};
    table.columns = {column};
    return frame({element(subreport), element(listKind), element(table)}, 10, 20);
}

} // namespace

TEST_F(DocumentStoreClipboard, PastesIntoAnotherStoreThroughTheSharedClipboard)
{
    ElementClipboard shared;
    DocumentStore other;
    store.setClipboard(&shared);
    other.setClipboard(&shared);

    const ReportElement copied = textField(10, 20);
    place({copied});
    store.setSelectedElementIDs({copied.id});
    store.copySelectedElements();
    EXPECT_TRUE(store.undoStack().isEmpty());
    // A copy that finds nothing keeps what the clipboard held; later edits do not reach it.
    store.setSelectedElementIDs({newId()});
    store.copySelectedElements();
    store.updateElement(copied.id, [](ReportElement &e) { e.width = 1; });

    other.pasteClipboard();
    other.pasteClipboard();
    const QList<ReportElement> pasted = other.elements(other.activeBandTarget());
    ASSERT_EQ(pasted.size(), 2);
    for (const ReportElement &e : pasted) {
        EXPECT_NE(e.id, copied.id);
        EXPECT_EQ(QPointF(e.x, e.y), QPointF(25, 35));
    }
    EXPECT_NE(pasted[0].id, pasted[1].id);
    EXPECT_EQ(other.selectedElementIDs(), QSet<QUuid>{pasted[1].id});
    EXPECT_EQ(shared.elements(), QList<ReportElement>{copied}) << "pasting leaves the clipboard";
    EXPECT_EQ(other.undoStack().size(), 2);
    EXPECT_TRUE(other.isDirty());

    // Without the shared clipboard the store is back on its own, empty one.
    store.setClipboard(nullptr);
    EXPECT_TRUE(store.clipboard()->elements().isEmpty());
}

TEST_F(DocumentStoreClipboard, PastesIntoTheOneSelectedContainerOrElseTheActiveBand)
{
    const ReportElement inFrame = textField();
    const ReportElement container = frame({inFrame});
    const ReportElement field = textField();
    place({container, field});
    store.clipboard()->setElements({textField(1, 2)});

    store.setSelectedElementIDs({container.id});
    store.pasteClipboard();
    const QList<ReportElement> children = *store.element(container.id)->kind.children();
    ASSERT_EQ(children.size(), 2);
    EXPECT_EQ(children[0].id, inFrame.id);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{children[1].id});

    for (const QSet<QUuid> &selection :
         {QSet<QUuid>{field.id}, QSet<QUuid>{container.id, field.id}}) {
        store.setSelectedElementIDs(selection);
        const qsizetype before = store.elements(detail()).size();
        store.pasteClipboard();
        EXPECT_EQ(store.elements(detail()).size(), before + 1);
        EXPECT_EQ(store.element(container.id)->kind.children()->size(), 2);
    }
}

TEST_F(DocumentStoreClipboard, PasteAndDuplicateRenewEveryIdentifier)
{
    const ReportElement original = everyKindOfIdentifier();
    place({original});
    const QSet<QUuid> originalIDs = allIDs(original);
    ASSERT_EQ(originalIDs.size(), 12);

    store.setSelectedElementIDs({original.id});
    store.copySelectedElements();
    store.setSelectedElementIDs({});
    store.pasteClipboard();
    store.setSelectedElementIDs({original.id});
    store.duplicateSelectedElement();

    const QList<ReportElement> band = store.elements(detail());
    ASSERT_EQ(band.size(), 3);
    QSet<QUuid> seen = originalIDs;
    for (const ReportElement &copy : {band[1], band[2]}) {
        const QSet<QUuid> ids = allIDs(copy);
        EXPECT_EQ(ids.size(), originalIDs.size());
        EXPECT_FALSE(ids.intersects(seen));
        seen.unite(ids);
    }
    EXPECT_EQ(QPointF(band[1].x, band[1].y), QPointF(20, 30)) << "the duplicate";
    EXPECT_EQ(QPointF(band[2].x, band[2].y), QPointF(25, 35)) << "the pasted copy";
}

TEST_F(DocumentStoreClipboard, DuplicatesRightAfterTheOriginal)
{
    const ReportElement child = textField(5, 5);
    const ReportElement container = frame({child, textField()});
    const ReportElement first = textField(10, 20);
    place({first, container, textField()});

    store.setSelectedElementIDs({first.id});
    store.duplicateSelectedElement();
    QList<ReportElement> band = store.elements(detail());
    ASSERT_EQ(band.size(), 4);
    EXPECT_EQ(band[0].id, first.id);
    EXPECT_EQ(QPointF(band[1].x, band[1].y), QPointF(20, 30));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{band[1].id});

    store.setSelectedElementIDs({child.id});
    store.duplicateSelectedElement();
    const QList<ReportElement> children = *store.element(container.id)->kind.children();
    ASSERT_EQ(children.size(), 3);
    EXPECT_EQ(children[0].id, child.id);
    EXPECT_EQ(QPointF(children[1].x, children[1].y), QPointF(15, 15));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{children[1].id});
    EXPECT_EQ(store.elements(detail()).size(), 4);

    // One undo removes everything one duplicate or paste added.
    const ReportDocument before = store.document();
    store.setSelectedElementIDs({first.id, container.id});
    store.copySelectedElements();
    store.duplicateSelectedElement();
    store.pasteClipboard();
    EXPECT_EQ(store.elements(detail()).size(), 8);
    store.undo();
    store.undo();
    EXPECT_EQ(store.document(), before);

    // Nothing to duplicate or paste: no undo step.
    const qsizetype steps = store.undoStack().size();
    store.setSelectedElementIDs({});
    store.duplicateSelectedElement();
    store.clipboard()->setElements({});
    store.pasteClipboard();
    EXPECT_EQ(store.undoStack().size(), steps);
}
