#include "DataCardsFixture.h"

using namespace storetest;

namespace {

// Country is used in two expressions and sorts the report; City only sorts it; the report is
// sorted by the variable Total too, which one expression uses.
const QByteArray body = R"(
  <field name="Country" class="java.lang.String"/>
  <field name="City" class="java.lang.String"/>
  <sortField name="Country"/>
  <sortField name="City" order="Descending"/>
  <sortField name="Total" type="Variable"/>
  <variable name="Total" class="java.lang.Integer" calculation="Count">
    <variableExpression><![CDATA[$F{Country}]]></variableExpression>
  </variable>
  <detail><band height="20">
    <textField>
      <reportElement x="0" y="0" width="100" height="20"/>
      <textFieldExpression><![CDATA[$F{Country} + $V{Total}]]></textFieldExpression>
    </textField>
  </band></detail>)";

class SortedByName : public DataCardsTest {
protected:
    void SetUp() override
    {
        DataCardsTest::SetUp();
        openReport(body);
    }

    QStringList sortNames() const
    {
        QStringList names;
        for (const ReportSortField &sort : store.document().sortFields)
            names.append(sort.name);
        return names;
    }
};

const QString fieldsCard = u"datapanel.fields"_s;
const QString variablesCard = u"datapanel.variables"_s;

} // namespace

// The question before removing a field or variable counts the sort fields that name it too.
TEST_F(SortedByName, RemovingAFieldOrVariableThatSortsTheReportSaysSo)
{
    remove(fieldsCard, 0);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().last().message,
              u"$F{Country} is used in 2 expressions and 1 sort field."_s);
    remove(fieldsCard, 1);
    ASSERT_EQ(dialogs.alerts().size(), 2) << "a field only a sort field names asks too";
    EXPECT_EQ(dialogs.alerts().last().message, u"$F{City} is used in 1 sort field."_s);
    remove(variablesCard, 0);
    ASSERT_EQ(dialogs.alerts().size(), 3);
    EXPECT_EQ(dialogs.alerts().last().message,
              u"$V{Total} is used in 1 expression and 1 sort field."_s);
    EXPECT_EQ(store.document().fields.size(), 2) << "every question was cancelled";
    EXPECT_EQ(store.document().variables.size(), 1);
}

// A field or variable renamed in its row takes the sort fields that name it along, in the same
// undo step; expressions stay as typed.
TEST_F(SortedByName, RenamingAFieldOrVariableTakesItsSortFieldsAlong)
{
    type(row(fieldsCard, 0, u"name"_s), u"Nation"_s);
    EXPECT_EQ(store.document().fields[0].name, u"Nation"_s);
    EXPECT_EQ(sortNames(), (QStringList{u"Nation"_s, u"City"_s, u"Total"_s}));
    EXPECT_TRUE(saved().contains(uR"(<sortField name="Nation"/>)"_s));
    store.undo();
    EXPECT_EQ(store.document().fields[0].name, u"Country"_s);
    EXPECT_EQ(sortNames(), (QStringList{u"Country"_s, u"City"_s, u"Total"_s}));

    type(row(variablesCard, 0, u"name"_s), u"Count"_s);
    EXPECT_EQ(sortNames(), (QStringList{u"Country"_s, u"City"_s, u"Count"_s}));
    EXPECT_EQ(store.document().sortFields[2].type, SortFieldType::variable);
    store.undo();
    EXPECT_EQ(sortNames(), (QStringList{u"Country"_s, u"City"_s, u"Total"_s}));
}
