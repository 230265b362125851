#include "navigators/OutlineActions.h"

#include "document/DocumentStore.h"
#include "widgets/ScriptedDialogs.h"

#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace storetest;

namespace {

struct OutlineActionsTest : ::testing::Test {
    OutlineActionsTest()
    {
        ReportDocument document = DocumentStore::defaultDocument();
        for (const QString &name : {u"id"_s, u"name"_s, u"total"_s}) {
            ReportField f;
            f.name = name;
            document.fields.append(f);
        }
        ReportParameter p;
        p.name = u"Title"_s;
        document.parameters.append(p);
        document.detailBands[0].elements = {first, second};
        document.bands[3].elements = {onHeader};
        for (ReportBand &band : document.bands) {
            if (band.type == BandType::pageHeader)
                band.isPresent = false;
        }
        store.setDocument(document);
        detail = BandTarget::detailBand(document.detailBands[0].id);
        header = BandTarget::standard(document.bands[3].type);
    }

    const ReportDocument &document() const { return store.document(); }
    QUuid fieldID(int index) const { return document().fields[index].id; }

    // The row the outline shows for the key.
    OutlineRow row(const QString &key) const
    {
        for (const OutlineRow &r : OutlineRows::build(document(), store.collapsedOutlineNodes(),
                                                      OutlineSelection::of(store))) {
            if (r.key == key)
                return r;
        }
        ADD_FAILURE() << "no row " << key.toStdString();
        return {};
    }
    OutlineRow fieldRow(int index) const { return row(u"field."_s + idText(fieldID(index))); }
    OutlineRow elementRow(const ReportElement &e) const
    {
        return row(u"element."_s + idText(e.id));
    }

    QStringList menuTitles(const BandTarget &target) const
    {
        QStringList titles;
        for (const OutlineBandMenuItem &item : OutlineActions::bandMenu(store, target))
            titles.append(item.action == OutlineBandMenuItem::Action::separator ? u"-"_s
                                                                                : item.title);
        return titles;
    }

    const ReportElement first = textField(0, 0);
    const ReportElement second = textField(120, 0);
    const ReportElement onHeader = element(ElementKind::Rectangle{});
    DocumentStore store;
    BandTarget detail = BandTarget::standard(BandType::detail);
    BandTarget header = BandTarget::standard(BandType::detail);
};

} // namespace

TEST_F(OutlineActionsTest, DragPayloadsOfParametersAndFields)
{
    const OutlineRow parameter = row(u"param."_s + idText(document().parameters[0].id));
    EXPECT_EQ(OutlineActions::drag(document(), {}, parameter),
              (OutlineDrag{u"param:Title"_s, u"at"_s, u"$P{Title}"_s}));
    EXPECT_EQ(OutlineActions::drag(document(), {}, fieldRow(1)),
              (OutlineDrag{u"field:name"_s, u"curlybraces"_s, u"$F{name}"_s}));

    // Two selected in the other order than the report's: the payload keeps the report's order.
    const QSet<QUuid> two{fieldID(2), fieldID(0)};
    EXPECT_EQ(OutlineActions::drag(document(), two, fieldRow(2)),
              (OutlineDrag{u"fields:id,total"_s, u"curlybraces"_s, u"2 Fields"_s}));
    EXPECT_EQ(OutlineActions::drag(document(), two, fieldRow(1))->payload, u"field:name"_s)
        << "a field outside the selection is dragged alone";
    EXPECT_EQ(OutlineActions::drag(document(), {fieldID(0)}, fieldRow(0))->payload, u"field:id"_s);
    EXPECT_FALSE(OutlineActions::drag(document(), two, row(u"fields"_s)));
    EXPECT_FALSE(OutlineActions::drag(document(), two, elementRow(first)));
}

TEST_F(OutlineActionsTest, ClicksOnTheReportTheDataAndTheBands)
{
    store.setSelectedElementIDs({first.id});
    OutlineActions::click(store, row(u"root"_s), {}, false);
    EXPECT_TRUE(store.isReportRootSelected());
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());

    OutlineActions::click(store, row(u"param."_s + idText(document().parameters[0].id)),
                          Qt::ShiftModifier, false);
    EXPECT_EQ(store.selectedDataItem(),
              InspectorDataSelection::parameter(document().parameters[0].id))
        << "modifier keys make no difference on a parameter";
    EXPECT_FALSE(store.isReportRootSelected());

    OutlineActions::click(store, fieldRow(0), {}, false);
    OutlineActions::click(store, fieldRow(2), Qt::ShiftModifier, false);
    EXPECT_EQ(store.selectedFieldIDs(), (QSet<QUuid>{fieldID(0), fieldID(2)}));
    OutlineActions::click(store, fieldRow(1), Qt::ControlModifier, false);
    OutlineActions::click(store, fieldRow(0), Qt::ControlModifier, false);
    EXPECT_EQ(store.selectedFieldIDs(), (QSet<QUuid>{fieldID(1), fieldID(2)}));
    OutlineActions::click(store, fieldRow(1), {}, false);
    EXPECT_EQ(store.selectedFieldIDs(), QSet<QUuid>{fieldID(1)});
    EXPECT_EQ(store.selectedDataItem(), InspectorDataSelection::field(fieldID(1)));

    store.setActiveBandTarget(detail);
    store.setSelectedElementIDs({first.id, second.id});
    OutlineActions::click(store, row(u"band."_s + header.id()), {}, false);
    EXPECT_EQ(store.activeBandTarget(), header);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());

    OutlineActions::click(store, row(u"band.standard.pageHeader"_s), {}, false);
    EXPECT_EQ(store.activeBandTarget(), header) << "a hidden band ignores clicks";

    EXPECT_FALSE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());
}

TEST_F(OutlineActionsTest, ChevronsAndSectionRowsToggleWithoutUndoOrDirt)
{
    OutlineActions::click(store, row(u"root"_s), {}, true);
    EXPECT_TRUE(store.collapsedOutlineNodes().contains(u"root"_s));
    EXPECT_FALSE(store.isReportRootSelected()) << "the chevron only toggles";
    OutlineActions::click(store, row(u"root"_s), {}, true);
    EXPECT_TRUE(store.collapsedOutlineNodes().isEmpty());

    OutlineActions::click(store, row(u"fields"_s), {}, false);
    OutlineActions::click(store, row(u"band."_s + detail.id()), {}, true);
    EXPECT_EQ(store.collapsedOutlineNodes(),
              (QSet<HashableKey>{HashableKey(u"fields"_s), HashableKey(detail)}));
    EXPECT_NE(store.activeBandTarget(), header);
    EXPECT_FALSE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());
}

TEST_F(OutlineActionsTest, ElementClicksSelectAndModifierClicksToggle)
{
    OutlineActions::click(store, elementRow(onHeader), {}, false);
    EXPECT_EQ(store.activeBandTarget(), header);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{onHeader.id});

    // On another band a modifier-click makes that band active with only this element.
    OutlineActions::click(store, elementRow(first), Qt::ControlModifier, false);
    EXPECT_EQ(store.activeBandTarget(), detail);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{first.id});
    OutlineActions::click(store, elementRow(second), Qt::ShiftModifier, false);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{first.id, second.id}));
    OutlineActions::click(store, elementRow(first), Qt::ControlModifier, false);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{second.id});
    OutlineActions::click(store, elementRow(first), {}, false);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{first.id});
}

TEST_F(OutlineActionsTest, BandMenusFollowTheBandAndTheClipboard)
{
    EXPECT_EQ(menuTitles(header), QStringList{u"Hide Band"_s});
    EXPECT_EQ(menuTitles(BandTarget::standard(BandType::pageHeader)), QStringList{u"Show Band"_s});
    EXPECT_TRUE(menuTitles(detail).isEmpty());

    store.setSelectedElementIDs({first.id});
    store.copySelectedElements();
    EXPECT_EQ(menuTitles(header), (QStringList{u"Hide Band"_s, u"-"_s, u"Paste"_s}));
    EXPECT_EQ(menuTitles(BandTarget::standard(BandType::pageHeader)), QStringList{u"Show Band"_s})
        << "nothing is pasted into a band that does not print";
    EXPECT_EQ(menuTitles(detail), QStringList{u"Paste"_s});

    // A band type the report lacks can still be hidden.
    ReportDocument lacking = document();
    lacking.bands.removeIf([](const ReportBand &b) { return b.type == BandType::summary; });
    EXPECT_EQ(OutlineActions::bandMenu(lacking, BandTarget::standard(BandType::summary), false)
                  .value(0)
                  .title,
              u"Hide Band"_s);

    // The band holds an element, which a hidden band takes out of the saved report: hiding it
    // asks first, and Cancel (also Return) keeps it.
    ScriptedDialogs dialogs;
    dialogs.answerAlert(1);
    OutlineActions::performBandMenuItem(store, header, OutlineBandMenuItem::Action::hideBand,
                                        &dialogs);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    const AlertRequest &asked = dialogs.alerts()[0];
    EXPECT_EQ(asked.message, u"Hide \"Column Header\"?"_s);
    EXPECT_EQ(asked.informativeText, u"Its element is removed from the report when it is saved."_s);
    ASSERT_EQ(asked.buttons.size(), 2);
    EXPECT_EQ(asked.buttons[0].title, u"Hide Band"_s);
    EXPECT_EQ(asked.buttons[1].title, u"Cancel"_s);
    EXPECT_EQ(asked.defaultButton, 1);
    EXPECT_TRUE(document().band(header.bandType())->isPresent);
    EXPECT_FALSE(store.isDirty());
    // Without a way to ask, the band stays.
    OutlineActions::performBandMenuItem(store, header, OutlineBandMenuItem::Action::hideBand,
                                        nullptr);
    EXPECT_TRUE(document().band(header.bandType())->isPresent);

    dialogs.answerAlert(0);
    OutlineActions::performBandMenuItem(store, header, OutlineBandMenuItem::Action::hideBand,
                                        &dialogs);
    EXPECT_FALSE(document().band(header.bandType())->isPresent);
    EXPECT_TRUE(store.isDirty());
    OutlineActions::performBandMenuItem(store, header, OutlineBandMenuItem::Action::showBand,
                                        &dialogs);
    EXPECT_TRUE(document().band(header.bandType())->isPresent);

    // An empty band is hidden without a question; a band with nested elements counts them all.
    const BandTarget titleBand = BandTarget::standard(BandType::title);
    OutlineActions::performBandMenuItem(store, titleBand, OutlineBandMenuItem::Action::hideBand,
                                        &dialogs);
    EXPECT_FALSE(document().band(BandType::title)->isPresent);
    EXPECT_EQ(dialogs.alerts().size(), 2);
    editDocument(store, [](ReportDocument &d) {
        for (ReportBand &band : d.bands) {
            if (band.type == BandType::summary)
                band.elements = {frame({textField(), textField()}), textField()};
        }
    });
    dialogs.answerAlert(-1);
    OutlineActions::performBandMenuItem(store, BandTarget::standard(BandType::summary),
                                        OutlineBandMenuItem::Action::hideBand, &dialogs);
    EXPECT_TRUE(document().band(BandType::summary)->isPresent)
        << "a dismissed question keeps the band";
    EXPECT_EQ(dialogs.alerts().last().informativeText,
              u"Its 4 elements are removed from the report when it is saved."_s);
}

TEST_F(OutlineActionsTest, ElementRowsOfAHiddenBandSelectWithoutMakingItTheTarget)
{
    const BandTarget hidden = BandTarget::standard(BandType::pageHeader);
    const ReportElement a = textField(0, 0);
    const ReportElement b = textField(50, 0);
    editDocument(store, [&](ReportDocument &d) { d.bands[2].elements = {a, frame({b})}; });
    ASSERT_TRUE(OutlineRows::isBandHidden(document(), hidden));
    store.setActiveBandTarget(detail);

    OutlineActions::click(store, elementRow(a), {}, false);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{a.id});
    EXPECT_EQ(store.activeBandTarget(), detail);
    // A modifier click adds an element of the same band, nested or not, and takes it away.
    OutlineActions::click(store, elementRow(b), Qt::ControlModifier, false);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, b.id}));
    OutlineActions::click(store, elementRow(a), Qt::ShiftModifier, false);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{b.id});
    EXPECT_EQ(store.activeBandTarget(), detail);
    // From a selection on another band it selects the element alone.
    store.setSelectedElementIDs({first.id});
    OutlineActions::click(store, elementRow(a), Qt::ControlModifier, false);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{a.id});
    EXPECT_EQ(store.activeBandTarget(), detail);

    // What the palette adds next goes to the active band, where it prints.
    store.setSelectedElementIDs({});
    store.addElementSmart(textField(10, 10));
    EXPECT_EQ(store.elements(detail).size(), 3);
    EXPECT_EQ(store.elements(hidden).size(), 2);
}

TEST_F(OutlineActionsTest, PasteFromTheBandMenuLandsOnThatBandEvenWithAFrameSelected)
{
    editDocument(store, [](ReportDocument &d) { d.bands[1].elements.append(frame({})); });
    const QUuid frameID = document().bands[1].elements.last().id;
    store.setSelectedElementIDs({first.id});
    store.copySelectedElements();
    store.setActiveBandTarget(BandTarget::standard(document().bands[1].type));
    store.setSelectedElementIDs({frameID});

    OutlineActions::performBandMenuItem(store, header, OutlineBandMenuItem::Action::paste, nullptr);
    EXPECT_EQ(store.activeBandTarget(), header);
    const ElementList onBand = store.elements(header);
    ASSERT_EQ(onBand.size(), 2);
    EXPECT_TRUE(onBand.last().kind.is<ElementKind::TextField>());
    EXPECT_TRUE(store.element(frameID)->kind.as<ElementKind::Frame>()->children.isEmpty());
}

TEST_F(OutlineActionsTest, ElementMenuActsOnTheSelectionHoldingTheElementElseOnItAlone)
{
    QStringList titles;
    for (const ElementMenuItem &item : OutlineActions::elementMenu()) {
        titles.append(item.kind == ElementMenuItem::Kind::separator ? u"-"_s : item.title);
        for (const ElementMenuItem &child : item.children)
            titles.append(u"  "_s + child.title);
    }
    EXPECT_EQ(titles,
              (QStringList{u"Cut"_s, u"Copy"_s, u"Duplicate"_s, u"-"_s, u"Order"_s,
                           u"  Bring to Front"_s, u"  Bring Forward"_s, u"  Send Backward"_s,
                           u"  Send to Back"_s, u"-"_s, u"Delete"_s}));
    EXPECT_TRUE(OutlineActions::elementMenu().last().isDestructive);

    const auto perform = [&](const QString &title, const QUuid &clicked) {
        const QSet<QUuid> target = ElementMenuItems::targetSet(store.selectedElementIDs(), clicked);
        for (const ElementMenuItem &item : OutlineActions::elementMenu()) {
            if (item.title == title)
                ElementMenuItems::perform(store, item, target);
        }
    };
    // Cut on an element outside the selection takes only that element.
    store.setActiveBandTarget(detail);
    store.setSelectedElementIDs({first.id, second.id});
    perform(u"Cut"_s, onHeader.id);
    EXPECT_FALSE(store.element(onHeader.id));
    EXPECT_TRUE(store.element(first.id) && store.element(second.id));
    ASSERT_EQ(store.clipboard()->elements().size(), 1);
    EXPECT_EQ(store.clipboard()->elements()[0].kind, onHeader.kind);

    // Delete on a member of a selection takes the whole selection.
    store.setSelectedElementIDs({first.id, second.id});
    perform(u"Delete"_s, second.id);
    EXPECT_TRUE(store.elements(detail).isEmpty());
}
