#include "StoreTestSupport.h"

using namespace storetest;

using DocumentStoreSelection = StoreTest;

TEST_F(DocumentStoreSelection, SelectionsExcludeEachOtherAndNeverSpanTwoBands)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    const ReportElement a = textField(0, 0, 50, 20), c = textField();
    const ReportElement container = frame({textField()}, 100, 0);
    place({a, container});
    store.performAddElement(c, title);

    // A modifier-click toggles within the active band and starts afresh in another.
    store.toggleSelection(a.id, detail());
    store.toggleSelection(container.id, detail());
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, container.id}));
    store.toggleSelection(c.id, title);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{c.id});
    EXPECT_EQ(store.activeBandTarget(), title);
    store.toggleSelection(c.id, title);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());

    // A rubber band meets top-level elements only, the container's child at 100..110 not.
    store.setSelectedElementID(c.id);
    store.selectElements(QRectF(95, 0, 10, 10), detail(), true);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{c.id, container.id}));
    store.selectElements(QRectF(0, 0, 500, 100), detail(), false);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, container.id}));
    EXPECT_EQ(store.activeBandTarget(), detail());

    // Lines without height or width count where they lie inside or touch the band's rectangle,
    // as does an element that only touches its edge.
    const ReportElement line = element(ElementKind::Line{}, 0, 60, 200, 0);
    const ReportElement rule = element(ElementKind::Line{}, 400, 50, 0, 30);
    const ReportElement edge = textField(0, 90, 40, 10);
    place({line, rule, edge});
    const struct {
        QRectF rect;
        QSet<QUuid> selected;
    } bands[] = {
        {QRectF(10, 50, 20, 20), {line.id}},  {QRectF(10, 60, 20, 0), {line.id}},
        {QRectF(390, 60, 10, 40), {rule.id}}, {QRectF(40, 100, 5, 5), {edge.id}},
        {QRectF(10, 61, 20, 5), {}},
    };
    for (const auto &band : bands) {
        store.selectElements(band.rect, detail(), false);
        EXPECT_EQ(store.selectedElementIDs(), band.selected) << band.rect.x() << band.rect.y();
    }
    for (const ReportElement &e : {line, rule, edge})
        store.performRemoveTopLevel(e.id);

    // Select All takes the active band's elements and keeps the selection when there are none.
    store.selectElements(QRectF(0, 300, 10, 10), detail(), false);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    store.selectAllInActiveBand();
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, container.id}));
    store.setActiveBandTarget(BandTarget::standard(BandType::summary));
    store.selectAllInActiveBand();
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, container.id}));

    // Fields: one is the inspector's item, two are none; elements, fields and the report root
    // exclude each other, but an empty element selection keeps the root (and a band the elements).
    const QUuid f1 = newId(), f2 = newId();
    store.selectField(f1);
    store.toggleFieldSelection(f2);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.selectedDataItem(), std::nullopt);
    store.toggleFieldSelection(f1);
    EXPECT_EQ(store.selectedDataItem(), InspectorDataSelection::field(f2));
    store.setIsReportRootSelected(true);
    EXPECT_TRUE(store.selectedFieldIDs().isEmpty());
    store.setSelectedDataItem(InspectorDataSelection::parameter(f1));
    store.setSelectedElementIDs({});
    EXPECT_TRUE(store.isReportRootSelected());
    EXPECT_EQ(store.selectedDataItem(), std::nullopt);
    store.setSelectedElementID(a.id);
    EXPECT_FALSE(store.isReportRootSelected());
    store.setIsReportRootSelected(true);
    store.setActiveBandTarget(detail());
    EXPECT_FALSE(store.isReportRootSelected());
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{a.id});
}

TEST_F(DocumentStoreSelection, HandlesDeleteAndEscape)
{
    const struct {
        KeyDown key;
        bool selected, consumed, deleted;
    } cases[] = {
        {{Qt::Key_Backspace}, true, true, true},
        {{Qt::Key_Delete, Qt::ShiftModifier}, true, true, true},
        {{Qt::Key_Escape}, true, true, false},
        {{Qt::Key_Delete, {}, true}, true, false, false}, // a focused text field has the key
        {{Qt::Key_Escape, {}, true}, true, false, false},
        {{Qt::Key_Backspace}, false, false, false},
        {{Qt::Key_A}, true, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        DocumentStore s;
        const ReportElement e = textField();
        s.performAddElement(e, s.activeBandTarget());
        if (c.selected)
            s.setSelectedElementID(e.id);
        EXPECT_EQ(s.handleKeyDown(c.key), c.consumed);
        EXPECT_EQ(s.element(e.id).has_value(), !c.deleted);
        EXPECT_EQ(s.undoStack().size(), c.deleted ? 1 : 0);
        EXPECT_EQ(s.selectedElementIDs().isEmpty(), c.consumed || !c.selected);
    }
}

TEST_F(DocumentStoreSelection, ZoomStepsAndGuidesAreViewState)
{
    const double zoomCases[][3] = {
        // from, zoomIn, zoomOut
        {1.0, 1.25, 0.75}, {0.9, 1.0, 0.75}, {1.0004, 1.25, 0.75}, {0.9996, 1.25, 0.75},
        {3.0, 3.0, 2.0},   {4.0, 3.0, 3.0},  {0.25, 0.5, 0.25},    {0.1, 0.25, 0.25},
    };
    for (const auto &[from, in, out] : zoomCases) {
        store.setZoomLevel(from);
        store.zoomIn();
        EXPECT_EQ(store.zoomLevel(), in) << from;
        store.setZoomLevel(from);
        store.zoomOut();
        EXPECT_EQ(store.zoomLevel(), out) << from;
    }

    const struct {
        QList<double> guides;
        double at;
        QList<double> after;
    } guideCases[] = {
        {{100, 200}, 103.5, {200}},
        {{100, 200}, 104, {100, 200, 104}},
        {{100, 200}, 96.5, {200}},
        {{100, 102}, 101, {102}},
    };
    for (const auto &c : guideCases) {
        store.setHorizontalGuides(c.guides);
        store.toggleHorizontalGuide(c.at);
        EXPECT_EQ(store.horizontalGuides(), c.after) << c.at;
        store.setVerticalGuides(c.guides);
        store.toggleVerticalGuide(c.at);
        EXPECT_EQ(store.verticalGuides(), c.after) << c.at;
    }

    // Removing the last guide leaves an empty list that has storage, the list of no guides has
    // none: the two are equal, so setting no guides then changes nothing. (Qt hands such a pair
    // to memcmp with a null pointer, which UBSan stops at.)
    int changes = 0;
    QObject context;
    for (auto changed :
         {&DocumentStore::verticalGuidesChanged, &DocumentStore::horizontalGuidesChanged})
        QObject::connect(&store, changed, &context, [&] { ++changes; });
    store.setVerticalGuides({100});
    store.toggleVerticalGuide(100);
    store.setHorizontalGuides({100});
    store.toggleHorizontalGuide(100);
    EXPECT_EQ(changes, 4);
    store.setVerticalGuides({});
    store.setHorizontalGuides({});
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(store.verticalGuides().isEmpty());
    EXPECT_FALSE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());
}
