#include "DataCardsFixture.h"
#include "EngineJudge.h"
#include "EngineTestSupport.h"
#include "widgets/DuplicateNames.h"

#include <QLabel>

using namespace storetest;

namespace {

// Groups "First" and "Second", a variable resetting on each, and a detail band: what follows
// the fields of a report body.
const QByteArray firstAndSecondGroups = R"(
  <variable name="Total" class="java.lang.Double" resetType="Group" resetGroup="First" calculation="Sum">
    <variableExpression><![CDATA[1.0]]></variableExpression>
  </variable>
  <variable name="Other" class="java.lang.Double" resetType="Group" resetGroup="Second" calculation="Sum">
    <variableExpression><![CDATA[2.0]]></variableExpression>
  </variable>
  <group name="First"><groupExpression><![CDATA[1]]></groupExpression></group>
  <group name="Second"><groupExpression><![CDATA[2]]></groupExpression></group>
  <detail><band height="20"/></detail>)";

class GeneratedNames : public DataCardsTest {
protected:
    template <typename T> static QStringList names(const QList<T> &items)
    {
        QStringList out;
        for (const T &item : items)
            out.append(item.name);
        return out;
    }
    bool warns(const QString &name) const
    {
        const auto *label = find<QLabel>(name);
        return label && label->isVisibleTo(view.get()) && !label->text().isEmpty();
    }
    void expectCompiles()
    {
        const std::optional<SidecarClient::Location> location = testsupport::realEngine();
        if (!location)
            return;
        testsupport::EngineJudge engine(*location);
        EXPECT_EQ(engine.compileError(QByteArray(saved().toUtf8())), std::nullopt);
    }
};

} // namespace

// Add, add, remove the first, add: the new item takes the first number no item of its list has,
// in every list, and the engine compiles the report.
TEST_F(GeneratedNames, AnAddAfterARemovalTakesTheFirstFreeNumber)
{
    openReport("<detail><band height=\"20\"/></detail>");
    for (const QString &card : {u"datapanel.params"_s, u"datapanel.fields"_s,
                                u"datapanel.variables"_s, u"datapanel.groups"_s}) {
        SCOPED_TRACE(card.toStdString());
        click(card + u".add"_s);
        click(card + u".add"_s);
        click(card + u".add"_s);
        remove(card, 0);
        click(card + u".add"_s);
    }
    EXPECT_EQ(names(store.document().parameters),
              (QStringList{u"param2"_s, u"param3"_s, u"param1"_s}));
    EXPECT_EQ(names(store.document().fields), (QStringList{u"field2"_s, u"field3"_s, u"field1"_s}));
    EXPECT_EQ(names(store.document().variables), (QStringList{u"var2"_s, u"var3"_s, u"var1"_s}));
    EXPECT_EQ(names(store.document().groups), (QStringList{u"Group2"_s, u"Group3"_s, u"Group1"_s}));
    for (const auto add : {&DocumentStore::addStyle, &DocumentStore::addSubDataset})
        for (int i = 0; i < 2; ++i)
            (store.*add)();
    store.removeStyle(store.document().styles.first().id);
    store.removeSubDataset(store.document().subDatasets.first().id);
    store.addStyle();
    store.addSubDataset();
    EXPECT_EQ(names(store.document().styles), (QStringList{u"Style2"_s, u"Style1"_s}));
    EXPECT_EQ(names(store.document().subDatasets), (QStringList{u"Dataset2"_s, u"Dataset1"_s}));
    ReportDocument named = store.document();
    named.groups[0].expression = u"1"_s;
    named.groups[1].expression = u"1"_s;
    named.groups[2].expression = u"1"_s;
    store.setDocument(named);
    expectCompiles();
}

// A name typed onto another's is shown as refused under both rows while it lasts, and the
// report compiles once the names differ again.
TEST_F(GeneratedNames, ANameTypedOntoAnothersWarnsWhileItLasts)
{
    openReport(R"(
  <field name="Amount" class="java.lang.Double"/>
  <field name="Price" class="java.lang.Double"/>
)" + firstAndSecondGroups);
    const QString fields = u"datapanel.fields"_s;
    const QString groups = u"datapanel.groups"_s;
    EXPECT_FALSE(warns(row(fields, 0, u"nameWarning"_s)));

    // The first group takes the second's name, in a run of its own.
    type(row(groups, 0, u"name"_s), u"Second"_s);
    store.flushPendingUndoSnapshot();
    EXPECT_TRUE(warns(row(groups, 0, u"nameWarning"_s)));
    EXPECT_TRUE(warns(row(groups, 1, u"nameWarning"_s)));
    EXPECT_EQ(find<QLabel>(row(groups, 0, u"nameWarning"_s))->text(),
              DuplicateNames::warning(u"group"_s));
    EXPECT_FALSE(warns(row(fields, 0, u"nameWarning"_s)));
    // Then a name of its own: the warnings go, and its variable follows it, the other's stays.
    type(row(groups, 0, u"name"_s), u"Third"_s);
    EXPECT_FALSE(warns(row(groups, 0, u"nameWarning"_s)));
    EXPECT_FALSE(warns(row(groups, 1, u"nameWarning"_s)));
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Third"_s);
    EXPECT_EQ(store.document().variables[1].resetGroup, u"Second"_s);

    // The same with a field.
    type(row(fields, 0, u"name"_s), u"Price"_s);
    EXPECT_TRUE(warns(row(fields, 0, u"nameWarning"_s)));
    EXPECT_TRUE(warns(row(fields, 1, u"nameWarning"_s)));
    type(row(fields, 0, u"name"_s), u"Cost"_s);
    EXPECT_FALSE(warns(row(fields, 1, u"nameWarning"_s)));
    expectCompiles();
}

// Field "a" is typed onto field "x"'s name, then "x" typed into "y": the sort field on "a" names
// "x", the one on "x" names "y". The same with groups and the variables that reset on them.
// Undoing the second rename brings the shared name back with each item's references still its
// own, so that the next rename of "x" again takes only its own along; the report compiles.
TEST_F(GeneratedNames, ARenameOfOneOfTwoItemsSharingANameTakesOnlyItsOwnReferences)
{
    openReport(R"(
  <field name="a" class="java.lang.String"/>
  <field name="x" class="java.lang.String"/>
  <sortField name="a"/>
  <sortField name="x"/>
)" + firstAndSecondGroups);
    const QString fields = u"datapanel.fields"_s;
    const QString groups = u"datapanel.groups"_s;
    const auto sortedOn = [&] {
        QStringList names;
        for (const ReportSortField &sort : store.document().sortFields)
            names.append(sort.name);
        return names;
    };
    const auto resetGroups = [&] {
        QStringList names;
        for (const ReportVariable &variable : store.document().variables)
            names.append(variable.resetGroup.value_or(QString()));
        return names;
    };
    const auto rename = [&](const QString &card, int index, const QString &name) {
        type(row(card, index, u"name"_s), name);
        store.flushPendingUndoSnapshot();
    };

    rename(fields, 0, u"x"_s);
    EXPECT_EQ(sortedOn(), (QStringList{u"x"_s, u"x"_s}));
    rename(fields, 1, u"y"_s);
    EXPECT_EQ(sortedOn(), (QStringList{u"x"_s, u"y"_s}));

    rename(groups, 0, u"Second"_s);
    EXPECT_TRUE(warns(row(groups, 0, u"nameWarning"_s)));
    const ReportDocument shared = store.document();
    rename(groups, 1, u"Third"_s);
    EXPECT_EQ(resetGroups(), (QStringList{u"Second"_s, u"Third"_s}));
    const ReportDocument apart = store.document();
    expectCompiles();

    store.undo();
    EXPECT_EQ(store.document(), shared);
    store.redo();
    EXPECT_EQ(store.document(), apart);
    store.undo();
    rename(groups, 1, u"Totals"_s);
    EXPECT_EQ(resetGroups(), (QStringList{u"Second"_s, u"Totals"_s}));
    // The fields' renames undo too, each with its sort fields.
    store.undo();
    store.undo();
    store.undo();
    EXPECT_EQ(sortedOn(), (QStringList{u"x"_s, u"x"_s}));
    rename(fields, 1, u"z"_s);
    EXPECT_EQ(sortedOn(), (QStringList{u"x"_s, u"z"_s}));
    EXPECT_FALSE(warns(row(fields, 0, u"nameWarning"_s)));
    expectCompiles();
}

// A new sort field names the first field not sorted on yet, then the first such variable; with
// nothing left, Add says so and adds nothing.
TEST_F(GeneratedNames, ANewSortFieldNamesWhatItSortsOn)
{
    openReport(R"(
  <field name="Country" class="java.lang.String"/>
  <field name="City" class="java.lang.String"/>
  <variable name="Rows" class="java.lang.Integer" calculation="Count">
    <variableExpression><![CDATA[1]]></variableExpression>
  </variable>
  <detail><band height="20"/></detail>)");
    const QString card = u"datapanel.sortFields"_s;
    click(card + u".add"_s);
    click(card + u".add"_s);
    click(card + u".add"_s);
    QList<std::pair<QString, SortFieldType>> sorts;
    for (const ReportSortField &sort : store.document().sortFields)
        sorts.append({sort.name, sort.type});
    EXPECT_EQ(sorts,
              (QList<std::pair<QString, SortFieldType>>{{u"Country"_s, SortFieldType::field},
                                                        {u"City"_s, SortFieldType::field},
                                                        {u"Rows"_s, SortFieldType::variable}}));
    expectCompiles();

    const qsizetype steps = store.undoStack().size();
    store.setIsDirty(false);
    click(card + u".add"_s);
    EXPECT_EQ(store.document().sortFields.size(), 3);
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_FALSE(store.isDirty());
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Nothing to sort on"_s);

    // A report without fields or variables says so from the start.
    openReport("<detail><band height=\"20\"/></detail>");
    click(card + u".add"_s);
    EXPECT_TRUE(store.document().sortFields.isEmpty());
    ASSERT_EQ(dialogs.alerts().size(), 2);
    EXPECT_EQ(dialogs.alerts().last().informativeText,
              u"The report declares no field or variable to sort on."_s);
}
