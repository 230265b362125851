#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "canvas/PaletteActions.h"

using namespace storetest;

namespace {

using Kind = PaletteActions::Kind;

QString expressionOf(const SharedOptional<ReportElement> &cell)
{
    return cell && cell->kind.is<ElementKind::TextField>()
               ? cell->kind.as<ElementKind::TextField>()->expression
               : u"(no text field)"_s;
}

QStringList fieldNames(const ReportSubDataset &dataset)
{
    QStringList names;
    for (const ReportField &field : dataset.fields)
        names.append(field.name);
    return names;
}

} // namespace

// A "Text Field" picked for a cell of the Columns card names a field of the table's dataset: the
// first one, or, in a dataset without fields (the palette's new Dataset1), the placeholder field
// declared there in the same undo step. The engine compiles the report after each pick.
TEST_F(InspectorViewTest, ATextFieldCellNamesAFieldOfTheTablesDataset)
{
    store.setActiveBandTarget(detail());
    PaletteActions::insert(Kind::table, store, *settings);
    const QUuid table = *store.selectedElementID();
    ASSERT_EQ(store.document().subDatasets.size(), 1);
    ASSERT_TRUE(store.document().subDatasets.first().fields.isEmpty());
    store.flushPendingUndoSnapshot();
    const qsizetype steps = store.undoStack().size();
    const auto columns = [&] {
        return store.element(table)->kind.as<ElementKind::Table>()->columns;
    };

    pick(find<QComboBox>(u"inspector.columns.column0.detail.kind"_s), u"Text Field"_s);
    EXPECT_EQ(expressionOf(columns().at(0).detailCellElement), u"$F{field}"_s);
    ASSERT_EQ(fieldNames(store.document().subDatasets.first()), QStringList{u"field"_s});
    EXPECT_EQ(store.document().subDatasets.first().fields.first().className, u"java.lang.String"_s);
    testsupport::JudgeWhereAtHand engine;
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

    // The next names the field now declared and declares nothing.
    pick(find<QComboBox>(u"inspector.columns.column1.header.kind"_s), u"Text Field"_s);
    EXPECT_EQ(expressionOf(columns().at(1).columnHeaderElement), u"$F{field}"_s);
    EXPECT_EQ(store.document().subDatasets.first().fields.size(), 1);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1) << "one run of edits of the table";
    store.undo();
    EXPECT_TRUE(store.document().subDatasets.first().fields.isEmpty());
    EXPECT_FALSE(columns().at(0).detailCellElement);

    // A dataset with fields: its first is named, nothing is declared.
    store.editDocument([](ReportDocument &d) {
        d.subDatasets.first().fields = {
            ReportField{newId(), u"city"_s, u"java.lang.String"_s, {}, {}}};
    });
    store.setSelectedElementID(table);
    pick(find<QComboBox>(u"inspector.columns.column0.footer.kind"_s), u"Text Field"_s);
    EXPECT_EQ(expressionOf(columns().at(0).columnFooterElement), u"$F{city}"_s);
    EXPECT_EQ(fieldNames(store.document().subDatasets.first()), QStringList{u"city"_s});
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
}
