#include "inspector/InspectorDispatch.h"

#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class InspectorDispatch : public StoreTest {
protected:
    // Takes the element out of the report without touching the selection, as undo does.
    void removeFromReport(const QUuid &id)
    {
        editDocument(store, [&](ReportDocument &d) {
            d.detailBands.first().elements.removeIf(
                [&](const ReportElement &e) { return e.id == id; });
        });
    }
};

TEST_F(InspectorDispatch, ChoosesByTheFirstRuleThatApplies)
{
    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::band) << "nothing selected";
    EXPECT_EQ(chooseInspector(store).band, store.activeBandTarget());

    store.setActiveBandTarget(detail());
    EXPECT_EQ(chooseInspector(store).band, detail()) << "the band follows the active target";

    store.setIsReportRootSelected(true);
    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::report);

    const QUuid fieldID = newId();
    store.setSelectedDataItem(InspectorDataSelection::field(fieldID));
    InspectorChoice choice = chooseInspector(store);
    EXPECT_EQ(choice.kind, InspectorKind::dataItem) << "a data item comes before the report";
    EXPECT_EQ(choice.dataItem, InspectorDataSelection::field(fieldID));

    // An element nested in a frame is found at any depth, and comes before the data item and
    // the report root even when those are still set.
    const ReportElement inner = textField(5, 5);
    place({frame({inner})});
    store.setSelectedElementIDs({inner.id});
    store.setSelectedDataItem(InspectorDataSelection::parameter(newId()));
    store.setIsReportRootSelected(true);
    choice = chooseInspector(store);
    EXPECT_EQ(choice.kind, InspectorKind::element);
    ASSERT_TRUE(choice.element);
    EXPECT_EQ(*choice.element, inner);
}

TEST_F(InspectorDispatch, TwoOrMoreElementsShowTheMultiSelectionWithTheirCount)
{
    const QList<ReportElement> three = {textField(), textField(0, 30), textField(0, 60)};
    placeSelected(three);
    InspectorChoice choice = chooseInspector(store);
    EXPECT_EQ(choice.kind, InspectorKind::multiSelection);
    EXPECT_EQ(choice.selectedCount, 3);
    EXPECT_FALSE(choice.element);

    // Widening a one-element selection to two switches away from the element last shown.
    store.setSelectedElementIDs({three[0].id});
    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::element);
    store.setSelectedElementIDs({three[0].id, three[1].id});
    choice = chooseInspector(store);
    EXPECT_EQ(choice.kind, InspectorKind::multiSelection);
    EXPECT_EQ(choice.selectedCount, 2);
}

TEST_F(InspectorDispatch, ASelectedElementThatIsGoneFallsThrough)
{
    const ReportElement gone = textField();
    placeSelected({gone});
    removeFromReport(gone.id);
    ASSERT_EQ(store.selectedElementID(), gone.id);

    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::band);
    store.setIsReportRootSelected(true);
    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::report);
    store.setSelectedDataItem(InspectorDataSelection::parameter(newId()));
    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::dataItem);
}

// After an undo the selection may name elements that are gone: only those the report holds are
// counted, and one left is shown as itself.
TEST_F(InspectorDispatch, OnlySelectedElementsTheReportHoldsAreCounted)
{
    const QList<ReportElement> three = {textField(), textField(0, 30), textField(0, 60)};
    placeSelected(three);
    removeFromReport(three[2].id);
    InspectorChoice choice = chooseInspector(store);
    EXPECT_EQ(choice.kind, InspectorKind::multiSelection);
    EXPECT_EQ(choice.selectedCount, 2);

    removeFromReport(three[0].id);
    choice = chooseInspector(store);
    EXPECT_EQ(choice.kind, InspectorKind::element);
    ASSERT_TRUE(choice.element);
    EXPECT_EQ(choice.element->id, three[1].id);

    removeFromReport(three[1].id);
    EXPECT_EQ(chooseInspector(store).kind, InspectorKind::band);
}

TEST_F(InspectorDispatch, TheStructureChangesOnlyWithWhatTheCardsWereBuiltFor)
{
    const ReportElement a = textField();
    const ReportElement b = textField(0, 30);
    placeSelected({a});
    const auto structure = [&] {
        return inspectorStructure(chooseInspector(store), store.document());
    };
    const InspectorStructure first = structure();
    EXPECT_EQ(first.kind, InspectorKind::element);
    EXPECT_EQ(first.elementID, a.id);
    EXPECT_FALSE(first.hasStyles);

    // Values of the element change in place.
    store.updateElement(a.id, [](ReportElement &e) {
        e.x = 40;
        e.kind = ElementKind::TextField{u"$F{other}"_s};
    });
    EXPECT_EQ(structure(), first) << "a new value is no new structure";

    // The kind's case, a first style, another element: each is a new structure.
    store.updateElement(a.id, [](ReportElement &e) { e.kind = ElementKind::StaticText{u"x"_s}; });
    EXPECT_NE(structure(), first);
    const InspectorStructure staticText = structure();
    editDocument(store, [](ReportDocument &d) { d.styles.append(ReportStyle{.name = u"S"_s}); });
    EXPECT_TRUE(structure().hasStyles);
    EXPECT_NE(structure(), staticText);
    place({b});
    store.setSelectedElementIDs({b.id});
    EXPECT_EQ(structure().elementID, b.id);

    // The band inspector is built for its band.
    store.setSelectedElementIDs({});
    store.setActiveBandTarget(BandTarget::standard(BandType::title));
    const InspectorStructure title = structure();
    EXPECT_EQ(title.band, BandTarget::standard(BandType::title));
    store.setActiveBandTarget(detail());
    EXPECT_NE(structure(), title);
}

} // namespace
