#include "edits/DataListEdits.h"
#include "StoreTestSupport.h"
#include "model/JrxmlCodec.h"

using namespace storetest;

namespace {

class DataListEditsTest : public StoreTest {
protected:
    DataListEdits::RowWriter<ReportScriptlet> scriptletWriter(qsizetype index)
    {
        return {&store, &ReportDocument::scriptlets, store.document().scriptlets.at(index).id};
    }
    // Types the text as a row's field writes it: one write per keystroke.
    static void type(const DataListEdits::RowWriter<ReportScriptlet> &writer, const QString &text)
    {
        for (qsizetype n = 1; n <= text.size(); ++n)
            writer.write([&](ReportScriptlet &s) { s.name = text.left(n); });
    }
    QStringList scriptletNames() const
    {
        QStringList names;
        for (const ReportScriptlet &s : store.document().scriptlets)
            names << s.name;
        return names;
    }
};

} // namespace

TEST_F(DataListEditsTest, ARowWriteMarksDirtyIsOneStepPerRunAndAnEqualWriteDoesNothing)
{
    store.addScriptlet();
    store.setIsDirty(false);
    const auto steps = store.undoStack().size();
    const auto writer = scriptletWriter(0);
    int published = 0;
    QObject::connect(&store, &DocumentStore::documentChanged, &store, [&] { ++published; });

    type(writer, u"Hooks"_s);
    EXPECT_EQ(store.document().scriptlets[0].name, u"Hooks"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(published, 5);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1) << "five quick keystrokes are one step";

    store.setIsDirty(false);
    EXPECT_FALSE(writer.write([](ReportScriptlet &s) { s.name = u"Hooks"_s; }));
    EXPECT_FALSE(store.isDirty()) << "a write that changes nothing marks nothing";
    EXPECT_EQ(published, 5);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1) << "and records nothing";

    // Another item's values stay as they were; the description the row does not edit stays.
    store.addScriptlet();
    editDocument(store, [](ReportDocument &d) { d.scriptlets[1].scriptletDescription = u"d"_s; });
    scriptletWriter(1).write([](ReportScriptlet &s) { s.className = u"x.Y"_s; });
    EXPECT_EQ(store.document().scriptlets[0].className, QString());
    EXPECT_EQ(store.document().scriptlets[1].scriptletDescription, u"d"_s);
}

TEST_F(DataListEditsTest, UndoTakesBackOneRowEditAtATimeAndRedoBringsItBack)
{
    store.addScriptlet();
    type(scriptletWriter(0), u"first"_s);
    store.addScriptlet();
    type(scriptletWriter(1), u"Audit"_s);
    const ReportDocument typed = store.document();

    store.undo();
    EXPECT_EQ(scriptletNames(), (QStringList{u"first"_s, QString()}))
        << "only the name typed last goes; the scriptlet added before it stays";
    store.undo();
    EXPECT_EQ(scriptletNames(), QStringList{u"first"_s});
    store.redo();
    store.redo();
    EXPECT_EQ(store.document(), typed);

    store.undo();
    store.undo();
    store.undo();
    EXPECT_EQ(scriptletNames(), QStringList{QString()}) << "the first name goes on its own";
    store.undo();
    EXPECT_TRUE(store.document().scriptlets.isEmpty());
}

TEST_F(DataListEditsTest, ARowEditAfterAnUndoClearsTheRedoSteps)
{
    // Add Parameter, Undo, a field renamed: Redo cannot bring the parameter back over the rename.
    store.addField();
    const DataListEdits::RowWriter<ReportField> field(&store, &ReportDocument::fields,
                                                      store.document().fields[0].id);
    store.addParameter();
    store.undo();
    ASSERT_TRUE(store.canRedo());
    ASSERT_TRUE(field.write([](ReportField &f) { f.name = u"Amount"_s; }));
    EXPECT_FALSE(store.canRedo());
    store.redo();
    EXPECT_TRUE(store.document().parameters.isEmpty());
    EXPECT_EQ(store.document().fields[0].name, u"Amount"_s);
    EXPECT_TRUE(JrxmlCodec::serialize(store.document()).contains(R"(name="Amount")"));
}

TEST_F(DataListEditsTest, RowEditsAreStepsOfTheirOwnBetweenOtherEdits)
{
    const ReportElement box = textField();
    place({box});
    store.addScriptlet();
    store.updateElement(box.id, [](ReportElement &e) { e.x = 50; });
    type(scriptletWriter(0), u"s"_s);
    store.updateElement(box.id, [](ReportElement &e) { e.x = 60; });
    store.undo();
    EXPECT_EQ(store.element(box.id)->x, 50);
    EXPECT_EQ(scriptletNames(), QStringList{u"s"_s});
    store.undo();
    EXPECT_EQ(scriptletNames(), QStringList{QString()});
    EXPECT_EQ(store.element(box.id)->x, 50);
    store.undo();
    EXPECT_EQ(store.element(box.id)->x, 0);
}

TEST_F(DataListEditsTest, MovesFollowTheItemAndStopAtTheEnds)
{
    for (int i = 0; i < 3; ++i)
        store.addScriptlet();
    for (int i = 0; i < 3; ++i)
        scriptletWriter(i).write([&](ReportScriptlet &s) { s.name = QString::number(i); });
    const QUuid first = store.document().scriptlets[0].id;
    const QUuid last = store.document().scriptlets[2].id;
    const DataListOperations ops = DataListOperations::scriptlets();
    store.flushPendingUndoSnapshot(); // the names typed last are a step of their own
    store.setIsDirty(false);
    const auto steps = store.undoStack().size();

    DataListEdits::moveRow(store, &ReportDocument::scriptlets, ops, first, -1);
    DataListEdits::moveRow(store, &ReportDocument::scriptlets, ops, last, +1);
    EXPECT_EQ(store.undoStack().size(), steps) << "a move out of the list records nothing";
    EXPECT_FALSE(store.isDirty());

    DataListEdits::moveRow(store, &ReportDocument::scriptlets, ops, first, +1);
    DataListEdits::moveRow(store, &ReportDocument::scriptlets, ops, first, +1);
    EXPECT_EQ(scriptletNames(), (QStringList{u"1"_s, u"2"_s, u"0"_s}))
        << "each move starts from where the item stands now";
    EXPECT_EQ(store.undoStack().size(), steps + 2);
    EXPECT_TRUE(store.isDirty());

    DataListEdits::moveRow(store, &ReportDocument::scriptlets, ops, newId(), -1);
    EXPECT_EQ(store.undoStack().size(), steps + 2) << "an item that is gone does not move";

    store.undo();
    EXPECT_EQ(scriptletNames(), (QStringList{u"1"_s, u"0"_s, u"2"_s}));
}

TEST_F(DataListEditsTest, AWriteAfterItsItemWasRemovedIsDropped)
{
    store.addScriptlet();
    store.addScriptlet();
    const auto gone = scriptletWriter(0);
    const auto stays = scriptletWriter(1);
    stays.write([](ReportScriptlet &s) { s.name = u"kept"_s; });
    store.removeScriptlet(gone.id());
    store.setIsDirty(false);
    const ReportDocument before = store.document();

    EXPECT_FALSE(gone.write([](ReportScriptlet &s) { s.name = u"late"_s; }));
    EXPECT_EQ(store.document(), before) << "the item now at the old place is left alone";
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(gone.current(), nullptr);
    ASSERT_NE(stays.current(), nullptr);
    EXPECT_EQ(stays.current()->name, u"kept"_s);

    // A writer that outlives its store writes nothing and does not fail.
    auto shortLived = std::make_unique<DocumentStore>();
    shortLived->addScriptlet();
    const DataListEdits::RowWriter<ReportScriptlet> orphan(
        shortLived.get(), &ReportDocument::scriptlets, shortLived->document().scriptlets[0].id);
    shortLived.reset();
    EXPECT_FALSE(orphan.write([](ReportScriptlet &s) { s.name = u"x"_s; }));
    EXPECT_EQ(orphan.current(), nullptr);
}

TEST_F(DataListEditsTest, EveryListHasItsThreeOperations)
{
    const QList<std::pair<DataListOperations, std::function<qsizetype()>>> lists = {
        {DataListOperations::parameters(), [&] { return store.document().parameters.size(); }},
        {DataListOperations::fields(), [&] { return store.document().fields.size(); }},
        {DataListOperations::sortFields(), [&] { return store.document().sortFields.size(); }},
        {DataListOperations::scriptlets(), [&] { return store.document().scriptlets.size(); }},
        {DataListOperations::reportTemplates(),
         [&] { return store.document().reportTemplates.size(); }},
        {DataListOperations::variables(), [&] { return store.document().variables.size(); }},
        {DataListOperations::groups(), [&] { return store.document().groups.size(); }},
        {DataListOperations::styles(), [&] { return store.document().styles.size(); }},
        {DataListOperations::subDatasets(), [&] { return store.document().subDatasets.size(); }},
    };
    for (const auto &[ops, count] : lists) {
        const auto steps = store.undoStack().size();
        (store.*ops.add)();
        (store.*ops.add)();
        EXPECT_EQ(count(), 2);
        (store.*ops.move)(0, 1);
        (store.*ops.remove)(newId());
        EXPECT_EQ(count(), 2) << "an unknown id removes nothing";
        EXPECT_EQ(store.undoStack().size(), steps + 4) << "but still records its step";
    }
}

TEST(DataListEdits, OptionalTextAdapters)
{
    using namespace DataListEdits;
    EXPECT_EQ(shownText(std::nullopt), QString());
    EXPECT_EQ(shownText(u" a "_s), u" a "_s);
    EXPECT_EQ(storedText(QString()), std::nullopt);
    EXPECT_EQ(storedText(u" "_s), u" "_s) << "blanks are kept untrimmed";
    EXPECT_EQ(shownIncrementType(std::nullopt), u"(default)"_s);
    EXPECT_EQ(shownIncrementType(u"Group"_s), u"Group"_s);
    EXPECT_EQ(storedIncrementType(u"(default)"_s), std::nullopt);
    EXPECT_EQ(storedIncrementType(u"Page"_s), u"Page"_s);
    EXPECT_EQ(storedIncrementType(QString()), QString()) << "only the default label means none";
}

TEST_F(DataListEditsTest, NestedListsGrowThroughTheRowWriteWithTheirDefaults)
{
    store.addSubDataset();
    store.addStyle();
    const auto steps = store.undoStack().size();
    store.setIsDirty(false);
    const DataListEdits::RowWriter<ReportSubDataset> dataset(&store, &ReportDocument::subDatasets,
                                                             store.document().subDatasets[0].id);
    for (int i = 0; i < 2; ++i)
        dataset.write([](ReportSubDataset &d) {
            d.parameters.append(DataListDefaults::subDatasetParameter(d));
            d.fields.append(DataListDefaults::subDatasetField(d));
            d.variables.append(DataListDefaults::subDatasetVariable(d));
        });
    const ReportSubDataset &d = store.document().subDatasets[0];
    EXPECT_EQ(d.parameters[1].name, u"param2"_s);
    EXPECT_EQ(d.fields[1].name, u"field2"_s);
    EXPECT_EQ(d.variables[1].name, u"variable2"_s);
    EXPECT_EQ(d.parameters[0], (ReportParameter{.id = d.parameters[0].id,
                                                .name = u"param1"_s,
                                                .className = u"java.lang.String"_s,
                                                .isForPrompting = true}));
    EXPECT_EQ(d.fields[0],
              (ReportField{
                  .id = d.fields[0].id, .name = u"field1"_s, .className = u"java.lang.String"_s}));
    EXPECT_EQ(d.variables[0], (ReportVariable{.id = d.variables[0].id,
                                              .name = u"variable1"_s,
                                              .className = u"java.lang.Integer"_s,
                                              .calculation = u"Count"_s,
                                              .resetType = u"Report"_s}));
    EXPECT_NE(d.fields[0].id, d.fields[1].id);

    const DataListEdits::RowWriter<ReportStyle> style(&store, &ReportDocument::styles,
                                                      store.document().styles[0].id);
    style.write(
        [](ReportStyle &s) { s.conditionalStyles.append(DataListDefaults::conditionalStyle()); });
    const ConditionalStyleRule rule = store.document().styles[0].conditionalStyles[0];
    EXPECT_EQ(rule, ConditionalStyleRule{.id = rule.id});

    dataset.write([](ReportSubDataset &d) { d.fields.removeAt(0); });
    EXPECT_EQ(store.document().subDatasets[0].fields.size(), 1);
    EXPECT_TRUE(store.isDirty());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 3)
        << "the adds, the condition and the remove: each run of nested edits is a step";
    store.undo();
    EXPECT_EQ(store.document().subDatasets[0].fields.size(), 2) << "the remove alone went";
}
