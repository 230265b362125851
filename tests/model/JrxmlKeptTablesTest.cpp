// Tables keep what the model does not hold of them: column groups, the table's and the columns'
// other rows and cells, column and dataset run parts, and every element of a cell.

#include "CodecTestSupport.h"
#include "document/DocumentStore.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

const QByteArray table = R"(<componentElement xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
  <reportElement x="0" y="0" width="400" height="150"/>
  <jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components"
      xsi:schemaLocation="urn:components components.xsd" whenNoDataType="AllSectionsNoDetail">
    <datasetRun subDataset="Rows" uuid="u-run">
      <property name="run" value="1"/>
      <datasetParameter name="P"><datasetParameterExpression><![CDATA[1]]></datasetParameterExpression></datasetParameter>
      <dataSourceExpression><![CDATA[new JREmptyDataSource(5)]]></dataSourceExpression>
      <returnValue fromVariable="Count" toVariable="Total"/>
    </datasetRun>
    <jr:column width="80" uuid="u-col-a" extra="1">
      <property name="p" value="v"/>
      <printWhenExpression><![CDATA[true]]></printWhenExpression>
      <jr:tableHeader height="25" style="Cell"><staticText><reportElement x="0" y="0" width="80" height="25" uuid="u-th"/><text>Table header</text></staticText></jr:tableHeader>
      <jr:tableFooter height="15"/>
      <jr:groupHeader groupName="G"><jr:cell height="12"><staticText><reportElement x="0" y="0" width="80" height="12"/><text>Group</text></staticText></jr:cell></jr:groupHeader>
      <jr:groupFooter groupName="G"><jr:cell height="7"/></jr:groupFooter>
      <jr:columnHeader height="30" rowSpan="2">
        <staticText><reportElement x="0" y="0" width="80" height="10"/><text>First</text></staticText>
        <staticText><reportElement x="0" y="10" width="80" height="10"/><text>Second</text></staticText>
        <elementGroup><staticText><reportElement x="0" y="20" width="80" height="10"/><text>Third</text></staticText></elementGroup>
      </jr:columnHeader>
      <jr:columnFooter height="9"/>
      <jr:detailCell height="20">
        <property name="cell" value="1"/>
        <odd/>
        <textField><reportElement x="0" y="0" width="40" height="20"/><textFieldExpression>$V{REPORT_COUNT}</textFieldExpression></textField>
        <staticText><reportElement x="40" y="0" width="40" height="20" uuid="u-second"/><text>x</text></staticText>
      </jr:detailCell>
    </jr:column>
    <jr:columnGroup width="200" uuid="u-group-1">
      <jr:columnHeader height="20"/>
      <jr:column width="200"><jr:columnHeader height="10"/><jr:detailCell height="20"/></jr:column>
    </jr:columnGroup>
    <jr:column width="60" uuid="u-col-b"><jr:detailCell height="20"/></jr:column>
    <jr:columnGroup width="10" uuid="u-group-2"><jr:column width="10"><jr:detailCell height="20"/></jr:column></jr:columnGroup>
    <jr:tableHeader splitType="Prevent"/>
    <jr:noData height="20"><staticText><reportElement x="0" y="0" width="60" height="20"/><text>None</text></staticText></jr:noData>
  </jr:table>
</componentElement>)";

QByteArray report()
{
    return reportWithTitle(table, "<style name=\"Cell\"/>");
}

// Each text, separated by "|", is found in the output, in that order.
void expectInOrder(const QByteArray &out, const QByteArray &texts)
{
    qsizetype from = 0;
    for (const QByteArray &text : texts.split('|')) {
        const qsizetype at = out.indexOf(text, from);
        EXPECT_GE(at, 0) << text.toStdString() << " (in order)\n" << out.toStdString();
        from = std::max(from, at);
    }
}

} // namespace

TEST(JrxmlKeptTables, EverythingOfATableComesBack)
{
    QStringList warnings;
    const QByteArray out = roundTrip(report(), &warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    EXPECT_EQ(roundTrip(out), out) << "not a fixed point";
    // The components prefix is declared on the table only, not again on what it keeps.
    EXPECT_EQ(out.count("xmlns:jr="), 1) << out.toStdString();
    expectInOrder(out, "xsi:schemaLocation|<datasetRun subDataset=\"Rows\" uuid=\"u-run\">|"
                       "<property name=\"run\"|<datasetParameter|<dataSourceExpression|"
                       "<returnValue|</datasetRun>|width=\"80\" uuid=\"u-col-a\" extra=\"1\">|"
                       "<property name=\"p\"|<printWhenExpression|Table header|"
                       "<jr:tableFooter height=\"15\"/>|Group|<jr:groupFooter|"
                       "<jr:columnHeader height=\"30\" rowSpan=\"2\">|First|Second|Third|"
                       "<jr:columnFooter height=\"9\">|<jr:detailCell|<property name=\"cell\"|"
                       "<odd/>|$V{REPORT_COUNT}|u-second|u-group-1|u-col-b|u-group-2|"
                       "<jr:tableHeader splitType|None|</jr:table>");
}

// The user's edits reach the output; what is kept around them stays once.
TEST(JrxmlKeptTables, EditsReachTheOutputAroundWhatIsKept)
{
    ReportDocument d = JrxmlCodec::parse(report());
    ElementKind::Table &t = *d.bands[1].elements[0].kind.as<ElementKind::Table>();
    ASSERT_EQ(t.columns.size(), 2);
    t.columns[0].width = 55;
    t.columns[0].detailCellElement = [&] {
        ReportElement e = *t.columns[0].detailCellElement;
        e.kind = ElementKind::TextField{u"$F{edited}"_s};
        return e;
    }();
    t.connectionExpression = u"$P{REPORT_CONNECTION}"_s;
    QByteArray out = JrxmlCodec::serialize(d);
    expectInOrder(out, "<jr:column width=\"55\" uuid=\"u-col-a\" extra=\"1\">|$F{edited}|u-second");
    // A data source expression gives way to the connection expression the user set.
    EXPECT_TRUE(out.contains("<connectionExpression><![CDATA[$P{REPORT_CONNECTION}]]>"));
    EXPECT_FALSE(out.contains("dataSourceExpression")) << out.toStdString();
    EXPECT_EQ(out.count("u-group-1"), 1);

    // A column group whose column is gone stands after the last column, once.
    t.columns.removeLast();
    out = JrxmlCodec::serialize(d);
    EXPECT_FALSE(out.contains("u-col-b"));
    expectInOrder(out, "u-col-a|u-group-1|u-group-2|<jr:tableHeader splitType");
    EXPECT_EQ(out.count("u-group-1"), 1);
}

// A copy of a table keeps all its content but none of the file's identifiers.
TEST(JrxmlKeptTables, CopiesRepeatNoIdentifierOfTheFile)
{
    ReportDocument d = JrxmlCodec::parse(report());
    const ReportElement copy = DocumentStore::regenerateIDs(d.bands[1].elements[0]);
    d.bands[1].elements.append(copy);
    const QByteArray out = JrxmlCodec::serialize(d);
    const QRegularExpression uuid(u"uuid=\"([^\"]*)\""_s);
    QStringList seen;
    for (const QRegularExpressionMatch &m : uuid.globalMatch(QString::fromUtf8(out)))
        seen << m.captured(1);
    EXPECT_EQ(seen.size(), 7) << out.toStdString();
    EXPECT_EQ(seen.removeDuplicates(), 0) << out.toStdString();
    // The copy's column groups still stand before its second column.
    const auto &copied = *copy.kind.as<ElementKind::Table>();
    EXPECT_EQ(copied.keptColumnGroups[0].beforeColumn, copied.columns[1].id);
    EXPECT_EQ(out.count("<jr:columnGroup"), 4);
}

// A list keeps its dataset run's parts and a spelled-out vertical print order.
TEST(JrxmlKeptTables, ListKeepsItsDatasetRun)
{
    const QByteArray out = roundTrip(reportWithTitle(
        "<componentElement><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\"/><jr:list "
        "xmlns:jr=\"http://jasperreports.sourceforge.net/jasperreports/components\" "
        "printOrder=\"Vertical\"><datasetRun subDataset=\"D\" uuid=\"u-1\"><dataSourceExpression>"
        "<![CDATA[$P{ds}]]></dataSourceExpression></datasetRun><jr:listContents height=\"9\"/>"
        "</jr:list></componentElement>"));
    expectInOrder(out, "printOrder=\"Vertical\"|<datasetRun subDataset=\"D\" uuid=\"u-1\">|"
                       "<dataSourceExpression><![CDATA[$P{ds}]]>|</datasetRun>|<jr:listContents");
    EXPECT_EQ(roundTrip(out), out);
}
