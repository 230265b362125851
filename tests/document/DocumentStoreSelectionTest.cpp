#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreSelection : public StoreTest {};

} // namespace

TEST_F(DocumentStoreSelection, SelectionsExcludeEachOther)
{
    const QUuid f1 = newId();
    const QUuid f2 = newId();
    const ReportElement e = textField();
    place({e});

    store.selectField(f1);
    EXPECT_EQ(store.selectedDataItem(), InspectorDataSelection::field(f1));
    EXPECT_EQ(store.selectedFieldIDs(), QSet<QUuid>{f1});
    store.toggleFieldSelection(f2);
    EXPECT_EQ(store.selectedFieldIDs(), (QSet<QUuid>{f1, f2}));
    EXPECT_EQ(store.selectedDataItem(), std::nullopt);
    store.toggleFieldSelection(f1);
    EXPECT_EQ(store.selectedDataItem(), InspectorDataSelection::field(f2));

    // An empty element selection still clears the data item but keeps the report root.
    store.setIsReportRootSelected(true);
    EXPECT_TRUE(store.selectedFieldIDs().isEmpty());
    store.selectParameter(f1);
    EXPECT_FALSE(store.isReportRootSelected());
    store.setIsReportRootSelected(true);
    store.setSelectedDataItem(InspectorDataSelection::parameter(f1));
    store.setSelectedElementIDs({});
    EXPECT_TRUE(store.isReportRootSelected());
    EXPECT_EQ(store.selectedDataItem(), std::nullopt);
    store.setSelectedElementID(e.id);
    EXPECT_FALSE(store.isReportRootSelected());

    // A band change keeps the elements but clears the rest.
    store.setIsReportRootSelected(true);
    store.setActiveBandTarget(BandTarget::standard(BandType::title));
    EXPECT_FALSE(store.isReportRootSelected());
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{e.id});
}

TEST_F(DocumentStoreSelection, ClicksNeverSpanTwoBands)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    const ReportElement a = textField(), b = textField(), c = textField();
    place({a, b});
    store.performAddElement(c, title);

    store.toggleSelection(a.id, detail());
    store.toggleSelection(b.id, detail());
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, b.id}));
    store.toggleSelection(c.id, title);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{c.id});
    EXPECT_EQ(store.activeBandTarget(), title);
    store.toggleSelection(c.id, title);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.activeBandTarget(), title);

    // Select All takes the active band's top-level elements, and keeps the selection when
    // there are none.
    store.setActiveBandTarget(detail());
    store.selectAllInActiveBand();
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, b.id}));
    store.setActiveBandTarget(BandTarget::standard(BandType::summary));
    store.selectAllInActiveBand();
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, b.id}));
}

TEST_F(DocumentStoreSelection, RubberBandSelectsTopLevelElementsOnly)
{
    const ReportElement left = textField(0, 0, 50, 20);
    const ReportElement child = textField(0, 0, 10, 10);
    const ReportElement container = frame({child}, 100, 0);
    place({left, container});
    const ReportElement elsewhere = textField();
    const BandTarget title = BandTarget::standard(BandType::title);
    store.performAddElement(elsewhere, title);
    store.setSelectedElementID(elsewhere.id);

    store.selectElements(QRectF(90, 0, 30, 30), detail(), true);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{elsewhere.id, container.id}));
    store.selectElements(QRectF(0, 0, 500, 100), detail(), false);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{left.id, container.id}));

    store.selectElements(QRectF(0, 300, 10, 10), title, true);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{left.id, container.id}));
    EXPECT_EQ(store.activeBandTarget(), title);
    store.selectElements(QRectF(0, 300, 10, 10), detail(), false);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.activeBandTarget(), detail());
}

TEST_F(DocumentStoreSelection, HandlesDeleteAndEscape)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool textFieldHasFocus;
        bool selected;
        bool consumed;
        bool deleted;
    };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, false, true, true, true},
        {Qt::Key_Delete, Qt::ShiftModifier, false, true, true, true},
        {Qt::Key_Escape, Qt::NoModifier, false, true, true, false},
        {Qt::Key_Delete, Qt::NoModifier, true, true, false, false},
        {Qt::Key_Escape, Qt::NoModifier, true, true, false, false},
        {Qt::Key_Backspace, Qt::NoModifier, false, false, false, false},
        {Qt::Key_Escape, Qt::NoModifier, false, false, false, false},
        {Qt::Key_A, Qt::NoModifier, false, true, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "key " << c.key << " focus " << c.textFieldHasFocus
                                          << " selected " << c.selected);
        DocumentStore s;
        const ReportElement e = textField();
        s.performAddElement(e, BandTarget::detailBand(s.document().detailBands[0].id));
        if (c.selected)
            s.setSelectedElementID(e.id);
        EXPECT_EQ(s.handleKeyDown({c.key, c.modifiers, c.textFieldHasFocus}), c.consumed);
        EXPECT_EQ(s.element(e.id).has_value(), !c.deleted);
        EXPECT_EQ(s.undoStack().size(), c.deleted ? 1 : 0);
        EXPECT_EQ(s.selectedElementIDs().isEmpty(), c.consumed || !c.selected);
    }
}

TEST_F(DocumentStoreSelection, ZoomStepsAndGuidesAreViewState)
{
    const double cases[][3] = {
        // from, zoomIn, zoomOut
        {1.0, 1.25, 0.75},    {0.9, 1.0, 0.75},  {1.0004, 1.25, 0.75},
        {0.9996, 1.25, 0.75}, {2.0, 3.0, 1.5},   {3.0, 3.0, 2.0},
        {4.0, 3.0, 3.0},      {0.25, 0.5, 0.25}, {0.1, 0.25, 0.25},
    };
    for (const auto &[from, in, out] : cases) {
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
        {{100, 200}, 103.5, {200}}, {{100, 200}, 104, {100, 200, 104}},
        {{100, 200}, 96.5, {200}},  {{100, 102}, 101, {102}},
        {{}, 12.25, {12.25}},
    };
    for (const auto &c : guideCases) {
        store.setHorizontalGuides(c.guides);
        store.toggleHorizontalGuide(c.at);
        EXPECT_EQ(store.horizontalGuides(), c.after) << c.at;
        store.setVerticalGuides(c.guides);
        store.toggleVerticalGuide(c.at);
        EXPECT_EQ(store.verticalGuides(), c.after) << c.at;
    }
    EXPECT_FALSE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());
}
