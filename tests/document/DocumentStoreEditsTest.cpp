#include "StoreTestSupport.h"
#include "model/JrxmlCodec.h"

using namespace storetest;

namespace {

// A store on a clock the test moves, holding two groups and what names them.
class DocumentStoreEdits : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store.setClock([this] { return now; });
    }

    QString resetGroup(qsizetype variable) const
    {
        return store.document().variables.at(variable).resetGroup.value_or(QString());
    }

    // Types the name into the group one keystroke at a time, as the name field writes it,
    // starting from what the field shows: backspaces first, then the new characters.
    void typeName(const QUuid &group, const QString &from, const QString &to)
    {
        QString shown = from;
        qsizetype common = 0;
        while (common < from.size() && common < to.size() && from[common] == to[common])
            ++common;
        while (shown.size() > common) {
            shown.chop(1);
            keystroke(group, shown);
        }
        while (shown.size() < to.size()) {
            shown += to[shown.size()];
            keystroke(group, shown);
        }
    }

    // Two groups of those names, a variable resetting on each, and in the second group's footer
    // a total evaluated on it.
    void addGroups(const QString &first, const QString &second)
    {
        store.addGroup();
        store.addGroup();
        editDocument(store, [&](ReportDocument &d) {
            d.groups[0].name = first;
            d.groups[1].name = second;
            ReportElement total = textField();
            total.evaluationTime = u"Group"_s;
            total.evaluationGroup = second;
            d.groups[1].footerElements.append(total);
            for (const QString &name : {first, second})
                d.variables.append(ReportVariable{.name = u"v"_s + name,
                                                  .className = u"java.lang.Integer"_s,
                                                  .calculation = u"Count"_s,
                                                  .resetType = u"Group"_s,
                                                  .resetGroup = name});
        });
    }

    void keystroke(const QUuid &group, const QString &name)
    {
        now += 150;
        store.editGroup(group, [&](ReportGroup &g) { g.name = name; });
    }

    qint64 now = 0;
};

} // namespace

// Move an element, rename a field, rename the report, Undo once: only the report's name goes.
TEST_F(DocumentStoreEdits, AnUndoTakesBackTheLastEditAlone)
{
    const ReportElement box = textField();
    place({box});
    const QString name = store.document().name;
    store.addField();
    now += 2000;
    store.updateElement(box.id, [](ReportElement &e) { e.x = 40; });
    now += 2000;
    store.editDocument(HashableKey(u"row-field"_s),
                       [](ReportDocument &d) { d.fields[0].name = u"Amount"_s; });
    now += 2000;
    store.editDocument(HashableKey(u"report.name"_s), [](ReportDocument &d) { d.name = u"Q"_s; });

    store.undo();
    EXPECT_EQ(store.document().name, name);
    EXPECT_EQ(store.document().fields[0].name, u"Amount"_s);
    EXPECT_EQ(store.element(box.id)->x, 40);
    store.undo();
    EXPECT_EQ(store.document().fields[0].name, u"field1"_s);
    EXPECT_EQ(store.element(box.id)->x, 40);
    store.undo();
    EXPECT_EQ(store.element(box.id)->x, 0);
}

TEST_F(DocumentStoreEdits, DiscreteAndContinuousEditsRecordOnlyWhatChanges)
{
    store.setIsDirty(false);
    EXPECT_FALSE(store.editDocument([](ReportDocument &) {}));
    EXPECT_FALSE(store.editDocument(HashableKey(u"k"_s), [](ReportDocument &) {}));
    EXPECT_FALSE(store.canUndo());
    EXPECT_FALSE(store.isDirty());

    // Discrete edits are a step each; a run under one key within the window is one.
    store.editDocument([](ReportDocument &d) { d.columnCount = 2; });
    store.editDocument([](ReportDocument &d) { d.columnCount = 3; });
    for (int i = 0; i < 4; ++i) {
        now += 500;
        store.editDocument(HashableKey(u"k"_s), [&](ReportDocument &d) { d.name += u'x'; });
    }
    EXPECT_TRUE(store.isDirty());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 3);

    // Any edit after an undo ends what could be redone.
    store.undo();
    ASSERT_TRUE(store.canRedo());
    store.editDocument(HashableKey(u"k"_s), [](ReportDocument &d) { d.name = u"y"_s; });
    EXPECT_FALSE(store.canRedo());
    store.undo();
    ASSERT_TRUE(store.canRedo());
    store.editDocument([](ReportDocument &d) { d.leftMargin = 1; });
    EXPECT_FALSE(store.canRedo());
}

// Renaming a group takes along, in the same step, everything that names it; a name typed
// through another group's name on its way takes none of that group's references.
TEST_F(DocumentStoreEdits, AGroupsRenameTakesItsReferencesAlongAsOneStep)
{
    addGroups(u"Group1"_s, u"Group12"_s);
    const QUuid twelve = store.document().groups[1].id;
    const ReportDocument before = store.document();
    now += 2000;
    typeName(twelve, u"Group12"_s, u"Group13"_s); // passes through "Group1"
    EXPECT_EQ(store.document().groups[1].name, u"Group13"_s);
    EXPECT_EQ(resetGroup(0), u"Group1"_s) << "the other group keeps its variable";
    EXPECT_EQ(resetGroup(1), u"Group13"_s);
    EXPECT_EQ(store.document().groups[1].footerElements.at(0).evaluationGroup, u"Group13"_s)
        << "what the group's own sections hold follows too";

    // One undo takes the rename back with its references.
    store.undo();
    EXPECT_EQ(store.document(), before);
    store.redo();
    EXPECT_EQ(resetGroup(1), u"Group13"_s);

    // A pause splits the typing into steps; each step moves the references with the name.
    now += 2000;
    typeName(twelve, u"Group13"_s, u"Gr"_s);
    now += 2000;
    typeName(twelve, u"Gr"_s, u"Totals"_s);
    EXPECT_EQ(resetGroup(1), u"Totals"_s);
    store.undo();
    EXPECT_EQ(resetGroup(1), u"Gr"_s);
    EXPECT_EQ(resetGroup(0), u"Group1"_s);
}

TEST_F(DocumentStoreEdits, RemovingAGroupStyleOrSubDatasetLeavesNothingNamingIt)
{
    const QByteArray jrxml =
        R"(<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="r">
  <style name="Bold" isBold="true"/>
  <subDataset name="Items"/>
  <variable name="n" class="java.lang.Integer" resetType="Group" resetGroup="G" calculation="Count"/>
  <group name="G"><groupExpression><![CDATA[1]]></groupExpression></group>
  <detail><band height="60">
    <staticText><reportElement style="Bold" x="0" y="0" width="50" height="20"/><text>t</text></staticText>
    <componentElement><reportElement x="0" y="20" width="50" height="20"/>
      <jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
        <datasetRun subDataset="Items"/><jr:listContents height="20"/></jr:list>
    </componentElement>
  </band></detail>
</jasperReport>)";
    store.setDocument(JrxmlCodec::parse(jrxml));
    const ReportDocument loaded = store.document();
    store.removeStyle(loaded.styles[0].id);
    store.removeGroup(loaded.groups[0].id);
    store.removeSubDataset(loaded.subDatasets[0].id);
    const ReportDocument &d = store.document();
    EXPECT_EQ(d.detailBands[0].elements.size(), 1) << "the list went with its sub-dataset";
    EXPECT_EQ(d.detailBands[0].elements.at(0).styleName, std::nullopt);
    EXPECT_FALSE(d.detailBands[0].elements.at(0).isBold);
    EXPECT_EQ(d.variables[0].resetType, u"Report"_s);
    EXPECT_EQ(d.variables[0].resetGroup, std::nullopt);

    // Each removal was one step with its references.
    store.undo();
    EXPECT_EQ(store.document().detailBands[0].elements.size(), 2);
    store.undo();
    EXPECT_EQ(store.document().variables[0].resetGroup, u"G"_s);
    store.undo();
    EXPECT_EQ(store.document(), loaded);

    // Another style of the same name still serves what names it.
    editDocument(store, [](ReportDocument &d) {
        ReportStyle twin = d.styles[0];
        twin.id = newId();
        d.styles.append(twin);
    });
    store.removeStyle(loaded.styles[0].id);
    EXPECT_EQ(store.document().detailBands[0].elements.at(0).styleName, u"Bold"_s);
}

// What an item names of itself follows its rename: a style whose parent was renamed onto the
// style's own name names that parent still, and follows the parent's next rename.
TEST_F(DocumentStoreEdits, WhatAnItemNamesOfItselfFollowsItsRename)
{
    store.setDocument(JrxmlCodec::parse(
        R"(<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="r">
  <style name="Base"/>
  <style name="Child" style="Base"/>
  <detail><band height="20"/></detail>
</jasperReport>)"));
    const QUuid base = store.document().styles[0].id;
    const QUuid child = store.document().styles[1].id;
    const auto rename = [&](const QUuid &id, const QString &name) {
        now += 2000;
        store.editStyle(id, [&](ReportStyle &s) { s.name = name; });
    };
    rename(base, u"Child"_s);  // two styles named Child; Child's parent is the former Base
    rename(base, u"Parent"_s); // what named Base follows it, what names Child stays
    rename(child, u"Leaf"_s);  // nothing names Child
    const QByteArray saved = JrxmlCodec::serialize(store.document());
    EXPECT_TRUE(saved.contains(R"(<style name="Leaf" style="Parent")")) << saved.constData();
    EXPECT_FALSE(saved.contains(R"("Child")"));
}

// Group "a" is typed onto group "x"'s name. From then on a rename of either takes along what
// named that group and nothing of the other's, also after an undo brings the shared name back;
// a removal of either drops what named the one removed alone, and leaves the other all that
// names the name.
TEST_F(DocumentStoreEdits, GroupsSharingANameKeepTheirReferencesApart)
{
    addGroups(u"a"_s, u"x"_s);
    const QUuid a = store.document().groups[0].id;
    const QUuid x = store.document().groups[1].id;
    const auto evaluationGroup = [&] {
        return store.document().groups[1].footerElements.at(0).evaluationGroup.value_or(QString());
    };
    now += 2000;
    typeName(a, u"a"_s, u"x"_s);
    EXPECT_EQ(resetGroup(0), u"x"_s) << "what named a follows it onto the shared name";
    const ReportDocument shared = store.document();

    now += 2000;
    typeName(x, u"x"_s, u"y"_s);
    EXPECT_EQ(resetGroup(0), u"x"_s) << "the other group keeps its variable";
    EXPECT_EQ(resetGroup(1), u"y"_s);
    EXPECT_EQ(evaluationGroup(), u"y"_s);
    const ReportDocument apart = store.document();
    store.undo();
    EXPECT_EQ(store.document(), shared);
    store.redo();
    EXPECT_EQ(store.document(), apart);

    // After an undo, the next rename still knows whose each reference is.
    store.undo();
    now += 2000;
    typeName(x, u"x"_s, u"xz"_s);
    EXPECT_EQ(resetGroup(0), u"x"_s);
    EXPECT_EQ(resetGroup(1), u"xz"_s);
    store.undo();
    now += 2000;
    typeName(a, u"x"_s, u"b"_s);
    EXPECT_EQ(resetGroup(0), u"b"_s);
    EXPECT_EQ(resetGroup(1), u"x"_s);
    EXPECT_EQ(evaluationGroup(), u"x"_s);
    store.undo();
    EXPECT_EQ(store.document(), shared);

    // Removing the group that took the name drops what named it alone.
    store.removeGroup(a);
    EXPECT_EQ(store.document().variables[0].resetGroup, std::nullopt);
    EXPECT_EQ(store.document().variables[0].resetType, u"Report"_s);
    EXPECT_EQ(resetGroup(1), u"x"_s);
    store.undo();
    EXPECT_EQ(store.document(), shared);
    // Removing the other leaves the first all that names "x": its next rename takes it along.
    store.removeGroup(x);
    EXPECT_EQ(resetGroup(0), u"x"_s);
    EXPECT_EQ(store.document().variables[1].resetGroup, std::nullopt);
    now += 2000;
    typeName(a, u"x"_s, u"c"_s);
    EXPECT_EQ(resetGroup(0), u"c"_s);
}
