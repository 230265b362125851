#include "DataCardsFixture.h"
#include "model/JrxmlCodec.h"

#include <QRegularExpression>

using namespace storetest;

namespace {

// A report whose field, parameter, variable, group, sub-dataset and style are used: the
// variable sums the field and resets on the group, a text field in the group footer shows the
// variable evaluated on the group and uses the Bold style, a list runs the sub-dataset, and the
// query names the parameter.
const QByteArray body = R"(
  <style name="Bold" isBold="true" fontSize="14"/>
  <subDataset name="Addresses"><field name="Street" class="java.lang.String"/></subDataset>
  <parameter name="MaxID" class="java.lang.Integer"/>
  <queryString><![CDATA[SELECT * FROM Orders WHERE OrderID <= $P{MaxID}]]></queryString>
  <field name="Amount" class="java.lang.Double"/>
  <field name="Spare" class="java.lang.String"/>
  <variable name="Total" class="java.lang.Double" resetType="Group" resetGroup="Country" calculation="Sum">
    <variableExpression><![CDATA[$F{Amount}]]></variableExpression>
  </variable>
  <group name="Country">
    <groupExpression><![CDATA[$F{Amount} > 100]]></groupExpression>
    <groupFooter><band height="20">
      <textField evaluationTime="Group" evaluationGroup="Country">
        <reportElement style="Bold" x="0" y="0" width="100" height="20"/>
        <textFieldExpression><![CDATA[$V{Total} + $F{Amount}]]></textFieldExpression>
      </textField>
    </band></groupFooter>
  </group>
  <detail><band height="40">
    <componentElement>
      <reportElement x="0" y="0" width="200" height="20"/>
      <jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
        <datasetRun subDataset="Addresses"/>
        <jr:listContents height="20"/>
      </jr:list>
    </componentElement>
  </band></detail>)";

class NamesInUse : public DataCardsTest {
protected:
    void SetUp() override
    {
        DataCardsTest::SetUp();
        openReport(body);
    }

    // Clicks a row's remove button, which may ask first, and lets a removed row go.
    void pressRemove(const QString &name)
    {
        click(name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const AlertRequest &lastQuestion() const { return dialogs.alerts().last(); }

    // The alert's buttons: the destructive one first, Cancel the default.
    static void expectDestructiveWithCancelDefault(const AlertRequest &alert,
                                                   const QString &destructive)
    {
        ASSERT_EQ(alert.buttons.size(), 2);
        EXPECT_EQ(alert.buttons[0].title, destructive);
        EXPECT_EQ(alert.buttons[0].role, AlertRequest::Role::destructive);
        EXPECT_EQ(alert.buttons[1].title, u"Cancel"_s);
        EXPECT_EQ(alert.buttons[1].role, AlertRequest::Role::cancel);
        EXPECT_EQ(alert.defaultButton, 1);
    }

    int writtenCount(const QString &pattern)
    {
        return int(saved().count(QRegularExpression(pattern)));
    }
};

const QString fieldsCard = u"datapanel.fields"_s;
const QString groupsCard = u"datapanel.groups"_s;
const QString stylesCard = u"datapanel.styles"_s;
const QString subDatasetsCard = u"datapanel.subDatasets"_s;

} // namespace

TEST_F(NamesInUse, RemovingAFieldThatExpressionsUseAsksFirst)
{
    store.setIsDirty(false);
    pressRemove(row(fieldsCard, 0, u"remove"_s)); // dismissed: nothing happens
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(lastQuestion().message, u"$F{Amount} is used in 3 expressions."_s);
    expectDestructiveWithCancelDefault(lastQuestion(), u"Remove"_s);
    dialogs.answerAlert(1);
    pressRemove(row(fieldsCard, 0, u"remove"_s));
    EXPECT_EQ(store.document().fields.size(), 2);
    EXPECT_FALSE(store.isDirty()) << "a cancelled removal changes nothing";

    // A field no expression uses goes at once.
    pressRemove(row(fieldsCard, 1, u"remove"_s));
    EXPECT_EQ(dialogs.alerts().size(), 2);
    ASSERT_EQ(store.document().fields.size(), 1);

    dialogs.answerAlert(0);
    pressRemove(row(fieldsCard, 0, u"remove"_s));
    EXPECT_TRUE(store.document().fields.isEmpty());
    store.undo();
    EXPECT_EQ(store.document().fields[0].name, u"Amount"_s);
}

TEST_F(NamesInUse, RemovingAParameterOrVariableThatExpressionsUseAsksFirst)
{
    pressRemove(row(u"datapanel.params"_s, 0, u"remove"_s));
    EXPECT_EQ(lastQuestion().message, u"$P{MaxID} is used in 1 expression."_s);
    EXPECT_EQ(store.document().parameters.size(), 1);
    dialogs.answerAlert(0);
    pressRemove(row(u"datapanel.variables"_s, 0, u"remove"_s));
    EXPECT_EQ(lastQuestion().message, u"$V{Total} is used in 1 expression."_s);
    EXPECT_TRUE(store.document().variables.isEmpty());
}

TEST_F(NamesInUse, DeletingAGroupInUseAsksAndLeavesNothingNamingIt)
{
    pressRemove(row(groupsCard, 0, u"remove"_s));
    EXPECT_EQ(lastQuestion().message, u"Country is used by 1 variable."_s);
    expectDestructiveWithCancelDefault(lastQuestion(), u"Delete"_s);
    ASSERT_EQ(store.document().groups.size(), 1);

    dialogs.answerAlert(0);
    pressRemove(row(groupsCard, 0, u"remove"_s));
    EXPECT_TRUE(store.document().groups.isEmpty());
    EXPECT_EQ(store.document().variables[0].resetType, u"Report"_s);
    EXPECT_EQ(writtenCount(u"Country"_s), 0);
    store.undo();
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Country"_s);
}

TEST_F(NamesInUse, DeletingASubDatasetInUseAsksAndTakesWhatRunsItAlong)
{
    click(subDatasetsCard + u".row0.remove"_s);
    EXPECT_EQ(lastQuestion().message, u"Addresses is used by 1 component."_s);
    EXPECT_EQ(store.document().subDatasets.size(), 1);
    dialogs.answerAlert(0);
    click(subDatasetsCard + u".row0.remove"_s);
    EXPECT_TRUE(store.document().subDatasets.isEmpty());
    EXPECT_TRUE(store.document().detailBands[0].elements.isEmpty());
    store.undo();
    EXPECT_EQ(store.document().detailBands[0].elements.size(), 1);
}

// After the delete the elements look as the engine prints them: as the saved file reads.
TEST_F(NamesInUse, DeletingAStyleInUseAsksAndDrawsItsElementsWithoutIt)
{
    const auto footer = [this] { return store.document().groups[0].footerElements.at(0); };
    ASSERT_EQ(footer().fontSize, 14);
    click(stylesCard + u".row0.remove"_s);
    EXPECT_EQ(lastQuestion().message, u"Bold is used by 1 element."_s);
    EXPECT_EQ(store.document().styles.size(), 1);
    dialogs.answerAlert(0);
    click(stylesCard + u".row0.remove"_s);
    EXPECT_TRUE(store.document().styles.isEmpty());
    EXPECT_EQ(footer().styleName, std::nullopt);
    EXPECT_EQ(footer().fontSize, 10);
    EXPECT_FALSE(footer().isBold);
    const ReportDocument reread = JrxmlCodec::parse(saved().toUtf8());
    const ReportElement &printed = reread.groups[0].footerElements.at(0);
    EXPECT_EQ(printed.fontSize, footer().fontSize);
    EXPECT_EQ(printed.isBold, footer().isBold);
}

// A new style typed onto Bold's name: deleting it leaves Bold's element its style and asks
// nothing, as nothing named the new one; deleting the first Bold asks about its element alone,
// and the element goes without a style while the other Bold stays.
TEST_F(NamesInUse, DeletingOneOfTwoStylesOfOneNameAsksAboutWhatNamedItAlone)
{
    const auto footer = [this] { return store.document().groups[0].footerElements.at(0); };
    click(stylesCard + u".add"_s);
    ASSERT_EQ(store.document().styles.size(), 2);
    type(stylesCard + u".row1.name"_s, u"Bold"_s);
    store.flushPendingUndoSnapshot();
    const ReportDocument shared = store.document();

    dialogs.answerAlert(0);
    click(stylesCard + u".row1.remove"_s);
    EXPECT_TRUE(dialogs.alerts().isEmpty());
    ASSERT_EQ(store.document().styles.size(), 1);
    EXPECT_EQ(footer().styleName, u"Bold"_s);
    store.undo();
    ASSERT_EQ(store.document(), shared);

    click(stylesCard + u".row0.remove"_s);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(lastQuestion().message, u"Bold is used by 1 element."_s);
    ASSERT_EQ(store.document().styles.size(), 1);
    EXPECT_EQ(store.document().styles[0].id, shared.styles[1].id);
    EXPECT_EQ(footer().styleName, std::nullopt);
    EXPECT_FALSE(footer().isBold);
}

// Names typed into the cards take what names them along, keystroke by keystroke.
TEST_F(NamesInUse, RenamingInTheCardsKeepsTheReportWhole)
{
    typeKeepingFocus(row(groupsCard, 0, u"name"_s), u"Group"_s);
    EXPECT_EQ(store.document().variables[0].resetGroup, u"CountryGroup"_s);
    EXPECT_EQ(store.document().groups[0].footerElements.at(0).evaluationGroup, u"CountryGroup"_s);
    typeKeepingFocus(stylesCard + u".row0.name"_s, u"Face"_s);
    EXPECT_EQ(store.document().groups[0].footerElements.at(0).styleName, u"BoldFace"_s);
    typeKeepingFocus(subDatasetsCard + u".row0.name"_s, u"2"_s);
    EXPECT_EQ(std::as_const(store.document().detailBands[0].elements)
                  .at(0)
                  .kind.as<ElementKind::List>()
                  ->datasetName,
              u"Addresses2"_s);
    const QString text = saved();
    for (const QString &name : {u"\"Country\""_s, u"\"Bold\""_s, u"\"Addresses\""_s})
        EXPECT_FALSE(text.contains(name)) << name.toStdString();
    EXPECT_EQ(writtenCount(u"\"CountryGroup\""_s), 3) << "the group, the variable, the field";
    EXPECT_EQ(writtenCount(u"\"BoldFace\""_s), 2);
    EXPECT_EQ(writtenCount(u"\"Addresses2\""_s), 2);
}
