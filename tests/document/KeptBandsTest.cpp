// The bands of a group's header or footer after the first, which the model keeps as written:
// the store's counts take them in as they take in the first band.

#include "model/KeptBands.h"
#include "StoreTestSupport.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"

using namespace storetest;

namespace {

// A footer of three bands. The later two hold, each naming the style Note or the field City: a
// text field, one in a frame, one in a list's contents and a static text printed on a
// condition (all counted), and a table cell's and a crosstab cell's text field (not counted,
// as the store counts no cell's element); the crosstab's own row group names the field too.
const QByteArray report = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Bands" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
  <style name="Note" fontSize="8"/>
  <subDataset name="Rows"><field name="City" class="java.lang.String"/></subDataset>
  <field name="City" class="java.lang.String"/>
  <group name="Town">
    <groupExpression><![CDATA[$F{City}]]></groupExpression>
    <groupFooter>
      <band height="20">
        <textField><reportElement style="Note" x="0" y="0" width="100" height="20"/>
          <textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
      </band>
      <band height="120">
        <textField><reportElement style="Note" x="0" y="0" width="100" height="20"/>
          <textFieldExpression><![CDATA["Town " + $F{City}]]></textFieldExpression></textField>
        <frame><reportElement x="100" y="0" width="200" height="40"/>
          <textField><reportElement style="Note" x="0" y="0" width="100" height="20"/>
            <textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
        </frame>
        <componentElement><reportElement x="300" y="0" width="200" height="20"/>
          <jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
            <datasetRun subDataset="Rows"/>
            <jr:listContents height="20">
              <textField><reportElement style="Note" x="0" y="0" width="100" height="20"/>
                <textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
            </jr:listContents>
          </jr:list>
        </componentElement>
        <componentElement><reportElement x="0" y="40" width="200" height="40"/>
          <jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
            <datasetRun subDataset="Rows"/>
            <jr:column width="100">
              <jr:detailCell height="20">
                <textField><reportElement style="Note" x="0" y="0" width="100" height="20"/>
                  <textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
              </jr:detailCell>
            </jr:column>
          </jr:table>
        </componentElement>
      </band>
      <band height="300">
        <staticText><reportElement x="0" y="0" width="100" height="20">
            <printWhenExpression><![CDATA[$F{City} != null]]></printWhenExpression>
          </reportElement><text><![CDATA[Town]]></text></staticText>
        <crosstab><reportElement x="0" y="20" width="200" height="60"/>
          <rowGroup name="R" width="50"><bucket class="java.lang.String">
            <bucketExpression><![CDATA[$F{City}]]></bucketExpression></bucket>
            <crosstabRowHeader><cellContents/></crosstabRowHeader></rowGroup>
          <measure name="M" class="java.lang.Integer" calculation="Count">
            <measureExpression><![CDATA[1]]></measureExpression></measure>
          <crosstabCell width="50" height="20"><cellContents>
            <textField><reportElement style="Note" x="0" y="0" width="50" height="20"/>
              <textFieldExpression><![CDATA[$V{M}]]></textFieldExpression></textField>
          </cellContents></crosstabCell>
        </crosstab>
      </band>
    </groupFooter>
  </group>
</jasperReport>
)";

} // namespace

using KeptBandsCounts = StoreTest;

TEST_F(KeptBandsCounts, TheStoresCountsTakeInEveryBandOfAGroup)
{
    store.setDocument(JrxmlCodec::parse(report));
    ASSERT_EQ(store.document().groups[0].footerElements.size(), 1) << "the first band";
    EXPECT_EQ(store.elementCountReferencingStyle(u"Note"_s), 4)
        << "the first band's, the later ones', the frame's and the list's";
    EXPECT_EQ(store.elementCountReferencingStyle(u"note"_s), 0);
    EXPECT_EQ(store.elementCountReferencing(u"$F{City}"_s), 6)
        << "the text fields of the first band, the later ones, the frame and the list, the "
           "static text printed on a condition, and the crosstab that groups its rows on it";
    EXPECT_EQ(KeptBands::heights(store.document().groups[0], true), (QList<double>{120, 300}));
    EXPECT_EQ(KeptBands::heights(store.document().groups[0], false), QList<double>());
    EXPECT_EQ(PageLayout::neededPageHeight(store.document()), 40 + 300);
}
