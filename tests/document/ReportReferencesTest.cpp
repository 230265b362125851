#include "document/ReportReferences.h"
#include "TestSupport.h"
#include "document/ElementWalk.h"
#include "document/ExpressionUses.h"
#include "model/JrxmlCodec.h"
#include "model/XmlFragment.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ReportReferences::Kind;

namespace {

// A report that names its group, sub-dataset and styles in every place the format allows:
// variables, text fields and images evaluated on the group, a print-when-group-changes
// condition, a chart evaluated on it whose dataset resets on it and runs the sub-dataset, a list
// and a table running the sub-dataset (their content names the sub-dataset's own group), a
// crosstab running it, styles on elements, table cells and crosstab cells, a style's parent.
const QByteArray report = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Refs" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
  <style name="Base" isDefault="true" fontSize="8"/>
  <style name="Heading" fontName="DejaVu Serif" fontSize="14" isBold="true" forecolor="#112233"/>
  <style name="Child" style="Heading"/>
  <subDataset name="Addresses">
    <field name="City" class="java.lang.String"/>
    <variable name="CityCount" class="java.lang.Integer" resetType="Group" resetGroup="Country" calculation="Count">
      <variableExpression><![CDATA[$F{City}]]></variableExpression>
    </variable>
    <group name="Country"><groupExpression><![CDATA[$F{City}]]></groupExpression></group>
  </subDataset>
  <field name="Country" class="java.lang.String"/>
  <field name="Amount" class="java.lang.Double"/>
  <variable name="Total" class="java.lang.Double" resetType="Group" resetGroup="Country" incrementType="Group" incrementGroup="Country" calculation="Sum">
    <variableExpression><![CDATA[$F{Amount}]]></variableExpression>
  </variable>
  <group name="Country">
    <groupExpression><![CDATA[$F{Country}]]></groupExpression>
    <groupFooter>
      <band height="200">
        <textField evaluationTime="Group" evaluationGroup="Country">
          <reportElement style="Heading" x="0" y="0" width="100" height="20"/>
          <textFieldExpression><![CDATA[$V{Total}]]></textFieldExpression>
        </textField>
        <frame>
          <reportElement x="100" y="0" width="200" height="40"/>
          <textField evaluationTime="Group" evaluationGroup="Country">
            <reportElement style="Heading" x="0" y="0" width="100" height="20" printWhenGroupChanges="Country"/>
            <textFieldExpression><![CDATA[$F{Amount} * 2]]></textFieldExpression>
          </textField>
        </frame>
        <image evaluationTime="Group" evaluationGroup="Country">
          <reportElement x="300" y="0" width="20" height="20"/>
          <imageExpression><![CDATA["logo.png"]]></imageExpression>
        </image>
        <pieChart>
          <chart evaluationTime="Group" evaluationGroup="Country">
            <reportElement x="0" y="40" width="200" height="100"/>
          </chart>
          <pieDataset>
            <dataset resetType="Group" resetGroup="Country">
              <datasetRun subDataset="Addresses"/>
            </dataset>
            <keyExpression><![CDATA[$F{City}]]></keyExpression>
            <valueExpression><![CDATA[$V{CityCount}]]></valueExpression>
          </pieDataset>
          <piePlot><plot/></piePlot>
        </pieChart>
      </band>
    </groupFooter>
  </group>
  <detail>
    <band height="120">
      <staticText>
        <reportElement x="300" y="0" width="100" height="20"/>
        <text><![CDATA[Plain]]></text>
      </staticText>
      <componentElement>
        <reportElement x="0" y="0" width="200" height="20"/>
        <jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
          <datasetRun subDataset="Addresses"/>
          <jr:listContents height="20">
            <textField evaluationTime="Group" evaluationGroup="Country">
              <reportElement style="Heading" x="0" y="0" width="100" height="20"/>
              <textFieldExpression><![CDATA[$F{City}]]></textFieldExpression>
            </textField>
          </jr:listContents>
        </jr:list>
      </componentElement>
      <componentElement>
        <reportElement x="0" y="20" width="200" height="40"/>
        <jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
          <datasetRun subDataset="Addresses"/>
          <jr:column width="100">
            <jr:detailCell style="Heading" height="20">
              <textField>
                <reportElement style="Heading" x="0" y="0" width="100" height="20"/>
                <textFieldExpression><![CDATA[$F{City}]]></textFieldExpression>
              </textField>
            </jr:detailCell>
          </jr:column>
        </jr:table>
      </componentElement>
      <crosstab>
        <reportElement x="0" y="60" width="200" height="60"/>
        <crosstabDataset>
          <dataset resetType="Group" resetGroup="Country"><datasetRun subDataset="Addresses"/></dataset>
        </crosstabDataset>
        <rowGroup name="City" width="50">
          <bucket class="java.lang.String"><bucketExpression><![CDATA[$F{City}]]></bucketExpression></bucket>
          <crosstabRowHeader><cellContents style="Heading"/></crosstabRowHeader>
        </rowGroup>
        <measure name="N" class="java.lang.Integer" calculation="Count">
          <measureExpression><![CDATA[$F{City}]]></measureExpression>
        </measure>
        <crosstabCell width="50" height="20">
          <cellContents style="Heading">
            <textField><reportElement x="0" y="0" width="50" height="20"/><textFieldExpression><![CDATA[$V{N}]]></textFieldExpression></textField>
          </cellContents>
        </crosstabCell>
      </crosstab>
    </band>
  </detail>
</jasperReport>
)";

// How often the written file holds the attribute with that value.
int written(const QByteArray &xml, const QString &attribute, const QString &value)
{
    const QRegularExpression pattern(
        QRegularExpression::escape(u' ' + attribute + u"=\""_s + value + u'"'));
    return int(QString::fromUtf8(xml).count(pattern));
}

} // namespace

TEST(ReportReferences, AGroupsReferencesAreTheReportsOwnAndFollowARename)
{
    ReportDocument document = JrxmlCodec::parse(report);
    EXPECT_EQ(ReportReferences::uses(document, Kind::group, u"Country"_s),
              (ReportReferences::Uses{.elements = 5, .variables = 1}))
        << "two text fields, the image, the chart and the crosstab's dataset; the list's "
           "content names its own group";
    EXPECT_EQ(ReportReferences::usageMessage(
                  u"Country"_s, ReportReferences::uses(document, Kind::group, u"Country"_s)),
              u"Country is used by 1 variable and 5 elements."_s);

    document.groups[0].name = u"Nation"_s;
    ASSERT_TRUE(ReportReferences::rename(document, Kind::group, u"Country"_s, u"Nation"_s));
    const QByteArray xml = JrxmlCodec::serialize(document);
    EXPECT_EQ(written(xml, u"resetGroup"_s, u"Nation"_s), 3) << "the variable, chart, crosstab";
    EXPECT_EQ(written(xml, u"incrementGroup"_s, u"Nation"_s), 1);
    EXPECT_EQ(written(xml, u"evaluationGroup"_s, u"Nation"_s), 4);
    EXPECT_EQ(written(xml, u"printWhenGroupChanges"_s, u"Nation"_s), 1);
    // The sub-dataset's variable and the list's content keep naming the sub-dataset's group.
    EXPECT_EQ(written(xml, u"resetGroup"_s, u"Country"_s), 1);
    EXPECT_EQ(written(xml, u"evaluationGroup"_s, u"Country"_s), 1);
}

TEST(ReportReferences, ASubDatasetsRunsFollowARenameAndGoWithIt)
{
    ReportDocument document = JrxmlCodec::parse(report);
    EXPECT_EQ(ReportReferences::uses(document, Kind::subDataset, u"Addresses"_s),
              ReportReferences::Uses{.components = 4})
        << "the chart, the list, the table and the crosstab";
    EXPECT_EQ(ReportReferences::usageMessage(u"Addresses"_s, {.components = 4}),
              u"Addresses is used by 4 components."_s);

    ReportDocument renamed = document;
    renamed.subDatasets[0].name = u"Places"_s;
    ASSERT_TRUE(ReportReferences::rename(renamed, Kind::subDataset, u"Addresses"_s, u"Places"_s));
    const QByteArray xml = JrxmlCodec::serialize(renamed);
    EXPECT_EQ(written(xml, u"subDataset"_s, u"Places"_s), 4);
    EXPECT_EQ(written(xml, u"subDataset"_s, u"Addresses"_s), 0);

    // Without the sub-dataset the components that run it cannot be filled: they go too.
    document.subDatasets.clear();
    ASSERT_TRUE(ReportReferences::dropSubDataset(document, u"Addresses"_s));
    EXPECT_EQ(document.detailBands[0].elements.size(), 1) << "the plain text stays";
    ASSERT_EQ(document.groups[0].footerElements.size(), 3) << "the chart went, the rest stayed";
    EXPECT_FALSE(JrxmlCodec::serialize(document).contains("datasetRun"));
}

TEST(ReportReferences, AStylesNamesFollowARenameInCellsParentsAndKeptContent)
{
    ReportDocument document = JrxmlCodec::parse(report);
    EXPECT_EQ(ReportReferences::uses(document, Kind::style, u"Heading"_s),
              (ReportReferences::Uses{.elements = 6, .styles = 1}))
        << "two text fields, the list's and the table cell's text fields, the table and the "
           "crosstab; Child names it as its parent";
    document.styles[1].name = u"Title"_s;
    ASSERT_TRUE(ReportReferences::rename(document, Kind::style, u"Heading"_s, u"Title"_s));
    const QByteArray xml = JrxmlCodec::serialize(document);
    EXPECT_EQ(written(xml, u"style"_s, u"Heading"_s), 0) << xml.constData();
    EXPECT_EQ(written(xml, u"style"_s, u"Title"_s), 8)
        << "four elements (one in the table's cell), the cell, two crosstab cells, Child's parent";
}

TEST(ReportReferences, DroppingAGroupFallsBackToTheWholeReport)
{
    ReportDocument document = JrxmlCodec::parse(report);
    // What the footer held moves to the detail band, so that it stays when the group goes.
    document.detailBands[0].elements.append(document.groups[0].footerElements);
    document.groups.clear();
    ASSERT_TRUE(ReportReferences::dropGroup(document, u"Country"_s));
    const ReportVariable &total = document.variables[0];
    EXPECT_EQ(total.resetType, u"Report"_s);
    EXPECT_EQ(total.resetGroup, std::nullopt);
    EXPECT_EQ(total.incrementType, std::nullopt);
    EXPECT_EQ(total.incrementGroup, std::nullopt);
    const QByteArray xml = JrxmlCodec::serialize(document);
    EXPECT_EQ(written(xml, u"evaluationGroup"_s, u"Country"_s), 1) << "the list's own, only";
    EXPECT_EQ(written(xml, u"resetGroup"_s, u"Country"_s), 1) << "the sub-dataset's own, only";
    EXPECT_FALSE(xml.contains("printWhenGroupChanges"));
    EXPECT_EQ(written(xml, u"evaluationTime"_s, u"Report"_s), 4)
        << "the two text fields, the image and the chart";
    EXPECT_EQ(written(xml, u"resetType"_s, u"Report"_s), 3)
        << "the variable, the chart's and the crosstab's datasets";
    EXPECT_EQ(ReportReferences::uses(document, Kind::group, u"Country"_s).total(), 0);
}

// The designer shows an element with the values the engine prints: once its style is gone,
// what it inherited comes from the report's default style, as a fresh read of the file gives.
TEST(ReportReferences, DroppingAStyleLeavesTheElementsAsTheFileNowReadsThem)
{
    for (const bool withDefault : {true, false}) {
        SCOPED_TRACE(withDefault ? "with a default style" : "without one");
        ReportDocument document = JrxmlCodec::parse(report);
        if (!withDefault)
            document.styles[0].isDefault = false;
        const auto first = [](const ReportDocument &d) { return d.groups[0].footerElements.at(0); };
        EXPECT_EQ(first(document).fontSize, 14);
        EXPECT_TRUE(first(document).isBold);
        document.styles.removeAt(1);
        ASSERT_TRUE(ReportReferences::dropStyle(document, u"Heading"_s, false));
        const ReportElement element = first(document);
        EXPECT_EQ(element.styleName, std::nullopt);
        EXPECT_EQ(element.fontSize, withDefault ? 8 : 10);
        EXPECT_FALSE(element.isBold);
        EXPECT_EQ(element.foreColor, std::nullopt);
        const ReportElement reread = first(JrxmlCodec::parse(JrxmlCodec::serialize(document)));
        EXPECT_EQ(reread.fontName, element.fontName);
        EXPECT_EQ(reread.fontSize, element.fontSize);
        EXPECT_EQ(reread.isBold, element.isBold);
        EXPECT_EQ(reread.foreColor, element.foreColor);
        EXPECT_EQ(ReportReferences::uses(document, Kind::style, u"Heading"_s).total(), 0);
    }

    // The default style gone, the elements without a style of their own inherit afresh.
    ReportDocument document = JrxmlCodec::parse(report);
    const auto image = [](const ReportDocument &d) { return d.groups[0].footerElements.at(2); };
    document.styles.removeAt(0);
    ReportReferences::dropStyle(document, u"Base"_s, true);
    const ReportDocument reread = JrxmlCodec::parse(JrxmlCodec::serialize(document));
    EXPECT_EQ(image(document).penWidth, image(reread).penWidth);
    const auto unstyledSizes = [](const ReportDocument &d) {
        QList<double> sizes;
        ElementWalk::visitDocument(d, [&](const ReportElement &e, ElementScope) {
            if (e.kind.isTextKind() && !e.styleName)
                sizes.append(e.fontSize);
        });
        return sizes;
    };
    EXPECT_EQ(unstyledSizes(document), QList<double>{10.0}) << "the plain text's, no longer 8";
    EXPECT_EQ(unstyledSizes(document), unstyledSizes(reread));
}

// A style whose parent goes inherits nothing from it any more, nor do the elements that use it,
// as a fresh read of the file gives; what it sets itself stays.
TEST(ReportReferences, DroppingAParentStyleLeavesItsHeirsAsTheFileNowReadsThem)
{
    QByteArray text = report;
    text.replace(R"(<style name="Child" style="Heading"/>)",
                 R"(<style name="Child" style="Heading" isItalic="true"/>)"
                 R"(<style name="Grandchild" style="Child" fontSize="9"/>)");
    ReportDocument document = JrxmlCodec::parse(text);
    ASSERT_EQ(document.styles.size(), 4);
    ASSERT_TRUE(document.styles[2].isBold);
    ASSERT_TRUE(document.styles[3].isBold);
    document.styles.removeAt(1);
    ASSERT_TRUE(ReportReferences::dropStyle(document, u"Heading"_s, false));
    const ReportDocument reread = JrxmlCodec::parse(JrxmlCodec::serialize(document));
    for (qsizetype i = 1; i < 3; ++i) {
        SCOPED_TRACE(i);
        const ReportStyle &style = document.styles[i];
        EXPECT_FALSE(style.isBold);
        EXPECT_TRUE(style.isItalic) << "its own, or its parent's own";
        EXPECT_EQ(style.fontName, u"SansSerif"_s);
        EXPECT_EQ(style.foreColor, std::nullopt);
        // Left without a parent, Child takes the default style's size.
        EXPECT_EQ(style.fontSize, i == 1 ? 8 : 9);
        EXPECT_EQ(style.isBold, reread.styles[i].isBold);
        EXPECT_EQ(style.isItalic, reread.styles[i].isItalic);
        EXPECT_EQ(style.fontName, reread.styles[i].fontName);
        EXPECT_EQ(style.fontSize, reread.styles[i].fontSize);
        EXPECT_EQ(style.foreColor, reread.styles[i].foreColor);
    }
    EXPECT_EQ(ReportReferences::uses(document, Kind::style, u"Heading"_s).total(), 0);
}

TEST(ReportReferences, ExpressionUsesCountTheReportsOwnExpressions)
{
    using Declaration = ExpressionUses::Declaration;
    const ReportDocument document = JrxmlCodec::parse(report);
    const Declaration amount{Declaration::Kind::field, u"Amount"_s};
    const Declaration total{Declaration::Kind::variable, u"Total"_s};
    EXPECT_EQ(ExpressionUses::uses(document, amount).expressions, 2)
        << "the variable and the frame's text field";
    EXPECT_EQ(ExpressionUses::uses(document, total).expressions, 1);
    EXPECT_EQ(ExpressionUses::uses(document, {Declaration::Kind::field, u"City"_s}).expressions, 0)
        << "the sub-dataset's field, used only where its dataset runs";
    // Where the sub-dataset runs, its own names count, and the report's do not.
    const Declaration city{Declaration::Kind::field, u"City"_s, u"Addresses"_s};
    EXPECT_EQ(ExpressionUses::uses(document, city).expressions, 7)
        << "its variable and group, the chart's key, the list's and the table cell's text fields, "
           "the crosstab's bucket and measure";
    EXPECT_EQ(ExpressionUses::uses(document,
                                   {Declaration::Kind::variable, u"CityCount"_s, u"Addresses"_s})
                  .expressions,
              1)
        << "the chart's value";
    EXPECT_EQ(
        ExpressionUses::uses(document, {Declaration::Kind::field, u"Amount"_s, u"Addresses"_s})
            .total(),
        0);
    EXPECT_EQ(ExpressionUses::message(amount, {.expressions = 3}),
              u"$F{Amount} is used in 3 expressions."_s);
    EXPECT_EQ(ExpressionUses::message(total, {.expressions = 1}),
              u"$V{Total} is used in 1 expression."_s);
}

TEST(XmlFragment, AnEditChangesOnlyTheAttributeAndNoEditChangesNothing)
{
    const QString body =
        u"<dataset resetType=\"Group\" resetGroup=\"A &amp; B\"><datasetRun subDataset=\"x\"/>"
        u"</dataset><valueExpression><![CDATA[$F{a} < 3]]></valueExpression>"_s;
    EXPECT_EQ(XmlFragment::edited(body, [](XmlFragment::Element &) {}), std::nullopt);
    const std::optional<QString> renamed = XmlFragment::edited(body, [](XmlFragment::Element &e) {
        if (e.attribute("resetGroup") == u"A & B"_s)
            e.setAttribute("resetGroup", u"C"_s);
    });
    ASSERT_TRUE(renamed);
    EXPECT_EQ(*renamed, QString(body).replace(u"A &amp; B"_s, u"C"_s));
    EXPECT_TRUE(XmlFragment::mayHold(body, u"A & B"_s));
    EXPECT_EQ(XmlFragment::edited(u"<unclosed"_s,
                                  [](XmlFragment::Element &e) { e.setAttribute("a", u"b"_s); }),
              std::nullopt);
    const std::optional<QString> attributes = XmlFragment::editedAttributes(
        u" evaluationTime=\"Group\" evaluationGroup=\"G\""_s, "chart",
        [](XmlFragment::Element &e) { e.removeAttribute("evaluationGroup"); });
    EXPECT_EQ(attributes, u" evaluationTime=\"Group\""_s);
}

// Elements taken out go once the visit is over, with what they hold, however many of them and
// of what they hold were taken out; what stands between them stays as it was.
TEST(XmlFragment, ElementsTakenOutGoWithWhatTheyHold)
{
    const QString body = u"<band><frame><a/><b x=\"1\"><c/></b></frame><d/></band><e/>"_s;
    QStringList visited;
    const std::optional<QString> edited = XmlFragment::edited(body, [&](XmlFragment::Element &e) {
        visited.append(e.localName());
        if (e.localName() == u"c"_s) {
            e.remove();
            e.parent()->remove(); // b, which holds it
        }
        if (e.localName() == u"d"_s || e.localName() == u"e"_s)
            e.remove();
    });
    EXPECT_EQ(edited, u"<band><frame><a/></frame></band>"_s);
    EXPECT_EQ(visited,
              (QStringList{u"band"_s, u"frame"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}));
    XmlFragment::edited(body, [](XmlFragment::Element &e) {
        if (e.localName() == u"c"_s) {
            EXPECT_EQ(e.place(), u"0/0/1/0"_s);
            EXPECT_TRUE(e.isInside(u"frame"));
            EXPECT_EQ(e.parent()->parent()->localName(), u"frame"_s);
        }
        if (e.localName() == u"band"_s) {
            EXPECT_FALSE(e.parent()) << "the fragment holds it";
            EXPECT_TRUE(e.holds(u"c"));
            EXPECT_FALSE(e.holds(u"e"));
            EXPECT_EQ(e.child(u"d")->localName(), u"d"_s);
        }
    });
}
