#include "StoreTestSupport.h"

using namespace storetest;

using DocumentStoreElements = StoreTest;
using DocumentStoreBands = StoreTest;

TEST_F(DocumentStoreElements, FindsAtAnyDepthAndMovesTopLevelElementsToAnotherBand)
{
    const ReportElement deepest = textField(5, 5);
    const ReportElement outer = frame({list({frame({deepest})})}, 20, 5);
    const ReportElement inCell = textField();
    const ElementKind::Table table{.columns = {{.detailCellElement = inCell}}};
    const ReportElement resident = textField();
    const BandTarget title = BandTarget::standard(BandType::title);
    place({outer, element(table)});
    store.performAddElement(resident, title);

    EXPECT_EQ(store.element(deepest.id), deepest);
    EXPECT_EQ(store.homeBandTarget(deepest.id), std::nullopt);
    EXPECT_EQ(store.homeBandTarget(outer.id), detail());
    EXPECT_EQ(store.element(inCell.id), std::nullopt) << "not in table cells";
    // Changing the deepest element reaches it in place and reports the change once.
    EXPECT_TRUE(store.performUpdateElement(deepest.id, [](ReportElement &e) { e.width = 7; }));
    EXPECT_FALSE(store.performUpdateElement(deepest.id, [](ReportElement &e) { e.width = 7; }));

    // Moving takes top-level elements only, and never into a band that does not exist.
    store.setSelectedElementIDs({outer.id, deepest.id});
    store.moveSelectedElementsToNewBand(BandTarget::groupHeader(newId()), 0, 0);
    EXPECT_EQ(store.homeBandTarget(outer.id), detail());
    EXPECT_TRUE(store.undoStack().isEmpty());
    store.moveSelectedElementsToNewBand(title, -50, 10);
    EXPECT_EQ(ids(store.elements(title)), (QList<QUuid>{resident.id, outer.id}));
    EXPECT_EQ(QPointF(store.element(outer.id)->x, store.element(outer.id)->y), QPointF(0, 15));
    EXPECT_EQ(store.element(deepest.id)->x, 5) << "children keep their container coordinates";
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{outer.id});
    EXPECT_EQ(store.activeBandTarget(), title);
    EXPECT_EQ(store.undoStack().size(), 1);
}

TEST_F(DocumentStoreElements, AddsUpdatesAndDeletes)
{
    const ReportElement container = frame({}), field = textField(), child = textField();
    store.addElement(container, detail());
    store.addElement(field, detail());
    // A text field holds no children: an undo step, nothing else.
    const ReportDocument before = store.document();
    store.addChildElement(textField(), field.id);
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{field.id});
    store.addChildElement(child, container.id);
    EXPECT_EQ(ids(*store.element(container.id)->kind.children()), QList<QUuid>{child.id});
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{child.id});
    EXPECT_EQ(store.undoStack().size(), 4);

    // Several selected elements change in one step, whose snapshot shares the untouched lists.
    store.setSelectedElementIDs({container.id, field.id});
    store.updateSelectedElements([](ReportElement &e) { e.isBold = true; });
    EXPECT_TRUE(store.element(container.id)->isBold && store.element(field.id)->isBold);
    EXPECT_EQ(store.undoStack().size(), 5);
    EXPECT_EQ(store.undoStack().last().bands.constData(), store.document().bands.constData());

    // The drawing order changes within the list, and each change is a step, also one that
    // moves nothing.
    store.setSelectedElementID(field.id);
    const std::pair<void (DocumentStore::*)(), QList<QUuid>> reorders[] = {
        {&DocumentStore::sendToBack, {field.id, container.id}},
        {&DocumentStore::sendBackward, {field.id, container.id}},
        {&DocumentStore::bringForward, {container.id, field.id}},
        {&DocumentStore::sendBackward, {field.id, container.id}},
        {&DocumentStore::bringToFront, {container.id, field.id}},
        {&DocumentStore::bringForward, {container.id, field.id}},
    };
    for (const auto &[reorder, after] : reorders) {
        (store.*reorder)();
        EXPECT_EQ(ids(store.elements(detail())), after);
    }
    EXPECT_EQ(store.undoStack().size(), 11);

    // A frame goes with its children, also when they are selected too.
    store.setSelectedElementIDs({container.id, child.id});
    store.deleteSelectedElement();
    EXPECT_EQ(ids(store.elements(detail())), QList<QUuid>{field.id});
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.undoStack().size(), 12);
    store.deleteSelectedElement();
    EXPECT_EQ(store.undoStack().size(), 12) << "nothing selected, nothing recorded";
}

// Thousands of selected elements, at the top of a band and inside frames, go in one step, and
// the undo brings every one back with its values, in its place in its list.
TEST_F(DocumentStoreElements, DeletesThousandsAtOnceAndUndoRestoresThem)
{
    QList<ReportElement> elements;
    QSet<QUuid> selected;
    for (int i = 0; i < 3000; ++i) {
        ReportElement e =
            i % 100 == 0 ? frame({textField(1, 1), textField(2, 2)}) : textField(i % 500, i % 180);
        e.styleName = u"Style"_s + QString::number(i);
        e.isBold = i % 2 == 0;
        elements.append(e);
        // Every third element, and one child of every tenth frame.
        if (i % 3 == 0)
            selected.insert(e.id);
        if (i % 1000 == 100)
            selected.insert(e.kind.children()->at(1).id);
    }
    place(elements);
    store.performAddElement(textField(), BandTarget::standard(BandType::title));
    const ReportDocument before = store.document();
    store.setSelectedElementIDs(selected);
    store.deleteSelectedElement();

    QList<QUuid> kept;
    for (const ReportElement &e : elements) {
        if (!selected.contains(e.id))
            kept.append(e.id);
    }
    EXPECT_EQ(ids(store.elements(detail())), kept);
    for (const QUuid &id : std::as_const(selected))
        EXPECT_FALSE(store.element(id)) << "still there";
    // The frame that lost a child keeps the other.
    ASSERT_TRUE(store.element(elements[1100].id));
    EXPECT_EQ(ids(*store.element(elements[1100].id)->kind.children()),
              QList<QUuid>{elements[1100].kind.children()->at(0).id});
    EXPECT_EQ(store.elements(BandTarget::standard(BandType::title)).size(), 1);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.undoStack().size(), 1);

    store.undo();
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(store.elements(detail()).size(), 3000);
}

TEST_F(DocumentStoreBands, SetsHeightsShowsHidesAndFits)
{
    store.setHeight(40, detail());
    EXPECT_FALSE(store.isDirty()) << "the same height changes nothing";
    store.setHeight(70, BandTarget::groupHeader(newId()));
    store.flushPendingUndoSnapshot();
    EXPECT_TRUE(store.undoStack().isEmpty()) << "a band that does not exist leaves no step";

    // Showing a band gives it at least 20 points.
    const BandTarget title = BandTarget::standard(BandType::title);
    for (double start : {0.0, -5.0, 35.0}) {
        store.setHeight(start, title);
        store.setBandPresent(BandType::title, false);
        store.setBandPresent(BandType::title, true);
        EXPECT_EQ(store.height(title), start > 0 ? start : 20) << start;
        EXPECT_TRUE(store.document().band(BandType::title)->isPresent);
    }

    // Hiding the active band makes the detail band active; each band type is a run of its own.
    store.setActiveBandTarget(BandTarget::standard(BandType::pageHeader));
    store.flushPendingUndoSnapshot();
    const qsizetype steps = store.undoStack().size();
    store.setBandPresent(BandType::summary, false);
    EXPECT_EQ(store.activeBandTarget(), BandTarget::standard(BandType::pageHeader));
    store.setBandPresent(BandType::pageHeader, false);
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_FALSE(store.document().band(BandType::pageHeader)->isPresent);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 2);

    // Fitting to the content: the lowest bottom edge, at least 4.
    const BandTarget summary = BandTarget::standard(BandType::summary);
    store.fitBandToContent(summary);
    EXPECT_EQ(store.height(summary), 4);
    store.performAddElement(textField(0, 10, 50, 27.5), summary);
    store.performAddElement(textField(0, 0, 50, 5), summary);
    store.fitBandToContent(summary);
    EXPECT_EQ(store.height(summary), 37.5);
}

TEST_F(DocumentStoreBands, AddsRemovesAndLabelsDetailBands)
{
    const auto detailIds = [this] { return ids(store.document().detailBands); };
    const QUuid first = detail().uuid(), missing = newId();
    EXPECT_EQ(store.label(detail()), u"Detail"_s);
    store.removeDetailBand(first);
    EXPECT_EQ(detailIds().size(), 1) << "the last detail band is never removed";
    EXPECT_TRUE(store.undoStack().isEmpty());

    // A new band copies the first's height and goes right after the active detail band, or
    // else to the end.
    store.setHeight(55, detail());
    store.addDetailBand();
    store.addDetailBand();
    EXPECT_EQ(store.document().detailBands[2].height, 55);
    store.setActiveBandTarget(BandTarget::detailBand(first));
    store.addDetailBand();
    EXPECT_EQ(detailIds().at(1), store.activeBandTarget().uuid());
    EXPECT_EQ(store.label(store.activeBandTarget()), u"Detail 2"_s);
    store.setActiveBandTarget(BandTarget::standard(BandType::title));
    store.addDetailBand();
    EXPECT_EQ(detailIds().last(), store.activeBandTarget().uuid());

    // Removing another band leaves the active one; removing the active one picks the first.
    const BandTarget active = store.activeBandTarget();
    store.removeDetailBand(first);
    EXPECT_EQ(store.activeBandTarget(), active);
    store.removeDetailBand(active.uuid());
    EXPECT_EQ(store.activeBandTarget(), BandTarget::detailBand(detailIds().first()));
    EXPECT_EQ(detailIds().size(), 3);
    const qsizetype steps = store.undoStack().size();
    store.removeDetailBand(missing);
    EXPECT_EQ(store.undoStack().size(), steps + 1) << "recorded before the band is looked for";

    // Labels, also of bands that do not exist; those are 20 high and hold nothing.
    const ReportGroup region{.name = u"Region"_s, .headerHeight = 30}, unnamed;
    editDocument(store, [&](ReportDocument &d) { d.groups = {region, unnamed}; });
    const QList<std::pair<BandTarget, QString>> labels = {
        {BandTarget::standard(BandType::lastPageFooter), u"Last Page Footer"_s},
        {BandTarget::detailBand(detailIds()[1]), u"Detail 2"_s},
        {BandTarget::detailBand(missing), u"Detail 1"_s},
        {BandTarget::groupHeader(region.id), u"Region Header"_s},
        {BandTarget::groupFooter(unnamed.id), u" Footer"_s},
        {BandTarget::groupHeader(missing), u"Group Header"_s},
    };
    for (const auto &[target, text] : labels)
        EXPECT_EQ(store.label(target), text) << target.id().toStdString();
    EXPECT_EQ(store.height(BandTarget::groupHeader(region.id)), 30);
    EXPECT_EQ(store.height(BandTarget::groupHeader(missing)), 20);
    EXPECT_EQ(store.height(BandTarget::standard(BandType::detail)), 20);
    EXPECT_TRUE(store.elements(BandTarget::groupFooter(missing)).isEmpty());
}
