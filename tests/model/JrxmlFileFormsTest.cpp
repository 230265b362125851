// Forms of a file the engine reads alike: a report read by its document type keeps its header;
// components are known by the namespace their prefix is bound to, whatever the prefix.

#include "CanonicalDiff.h"
#include "CodecTestSupport.h"

#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

const QByteArray componentsNamespace =
    "http://jasperreports.sourceforge.net/jasperreports/components";

QByteArray withTitle(const QByteArray &elements, const QByteArray &rootAttrs = {})
{
    return "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
           "name=\"r\"" +
           rootAttrs + "><title><band height=\"90\">" + elements + "</band></title></jasperReport>";
}

QByteArray table(const QByteArray &prefix, const QByteArray &declaration)
{
    const QByteArray p = prefix + ":";
    return "<componentElement><reportElement x=\"0\" y=\"0\" width=\"200\" height=\"60\"/><" + p +
           "table " + declaration + "><datasetRun subDataset=\"d\"/><" + p +
           "column width=\"70\"><" + p +
           "columnHeader height=\"20\"><staticText><reportElement "
           "x=\"0\" y=\"0\" width=\"70\" height=\"20\"/><text>Head</text></staticText></" +
           p + "columnHeader><" + p + "detailCell height=\"15\"/></" + p + "column></" + p +
           "table></componentElement>";
}

} // namespace

// A report read by its document type, without the namespace, comes back with its document type
// and comments and without the namespace, so that the engine reads it by the same rules; a new
// report gets the writer's own header.
TEST(JrxmlFileForms, AReportReadByItsDocumentTypeKeepsItsHeader)
{
    const QByteArray in = testsupport::readFile(
        testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/DocumentTypeReport.jrxml"_s);
    ASSERT_FALSE(in.isEmpty());
    const QByteArray out = roundTrip(in);
    EXPECT_TRUE(out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- An older report"))
        << out.toStdString();
    const qsizetype doctype =
        out.indexOf("<!DOCTYPE jasperReport PUBLIC \"-//JasperReports//DTD Report Design//EN\" "
                    "\"http://jasperreports.sourceforge.net/dtds/jasperreport.dtd\">\n");
    ASSERT_GE(doctype, 0) << out.toStdString();
    EXPECT_LT(doctype, out.indexOf("<jasperReport"));
    EXPECT_TRUE(out.contains("<jasperReport name=\"DocumentTypeReport\"")) << out.toStdString();
    EXPECT_FALSE(out.contains("xmlns")) << out.toStdString();
    EXPECT_FALSE(out.contains("schemaLocation")) << out.toStdString();
    EXPECT_TRUE(canonicaldiff::compare(in, out).isEmpty());
    EXPECT_EQ(roundTrip(out), out);

    ReportDocument made;
    made.name = u"new"_s;
    const QByteArray fresh = JrxmlCodec::serialize(made);
    EXPECT_TRUE(fresh.contains("<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                               "jasperreports\"\n              xmlns:xsi="))
        << fresh.toStdString();
    EXPECT_TRUE(fresh.contains("xsi:schemaLocation=")) << fresh.toStdString();
}

// Namespace declarations of the header that differ from the writer's stay as the file gave them.
TEST(JrxmlFileForms, AnotherSchemaLocationStaysAsGiven)
{
    const QByteArray in = "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                          "jasperreports\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                          "xsi:schemaLocation=\"http://jasperreports.sourceforge.net/jasperreports "
                          "jasperreport.xsd\" name=\"r\"/>";
    const QByteArray out = roundTrip(in);
    EXPECT_EQ(out.count("schemaLocation"), 1) << out.toStdString();
    EXPECT_TRUE(out.contains("jasperreports jasperreport.xsd\"")) << out.toStdString();
    EXPECT_TRUE(canonicaldiff::compare(in, out).isEmpty());
}

// A table or list is one whatever prefix the file binds to the components namespace, wherever
// it declares it; it is written back with that prefix. A prefix bound to another namespace names
// another component, which is carried through.
TEST(JrxmlFileForms, ComponentsAreKnownByTheirNamespace)
{
    const QByteArray declared = "xmlns:c=\"" + componentsNamespace + "\"";
    const QByteArray in =
        withTitle(table("c", declared) +
                  "<componentElement><reportElement x=\"0\" y=\"60\" width=\"200\" "
                  "height=\"20\"/><t:list xmlns:t=\"" +
                  componentsNamespace +
                  "\"><datasetRun subDataset=\"d\"/><t:listContents "
                  "height=\"20\"/></t:list></componentElement>" +
                  table("jr", "xmlns:jr=\"urn:elsewhere\""));
    const ReportDocument d = JrxmlCodec::parse(in);
    const ElementList elements = d.band(BandType::title)->elements;
    ASSERT_EQ(elements.size(), 3);
    const auto *t = elements.at(0).kind.as<ElementKind::Table>();
    ASSERT_NE(t, nullptr) << elements.at(0).kind.displayName().toStdString();
    EXPECT_EQ(elements.at(0).kind.displayName(), u"Table"_s);
    ASSERT_EQ(t->columns.size(), 1);
    EXPECT_EQ(t->columns.at(0).width, 70);
    ASSERT_TRUE(t->columns.at(0).columnHeaderElement);
    EXPECT_EQ(t->columns.at(0).detailCellHeight, 15);
    EXPECT_EQ(elements.at(1).kind.displayName(), u"List"_s);
    EXPECT_TRUE(elements.at(2).kind.is<ElementKind::ComponentPlaceholder>());

    const QByteArray out = roundTrip(in);
    EXPECT_TRUE(canonicaldiff::compare(in, out).isEmpty());
    EXPECT_TRUE(out.contains(QByteArray("<c:table xmlns:c=\"" + componentsNamespace + "\">")))
        << out.toStdString();
    EXPECT_TRUE(out.contains("<c:column width=\"70\">")) << out.toStdString();
    EXPECT_TRUE(out.contains("</t:listContents>")) << out.toStdString();
    EXPECT_EQ(roundTrip(out), out);

    // Declared on the root, the prefix counts as well.
    const QByteArray onRoot = withTitle(table("x", {}), " xmlns:x=\"" + componentsNamespace + "\"");
    EXPECT_TRUE(JrxmlCodec::parse(onRoot).bands[1].elements.at(0).kind.is<ElementKind::Table>());
}

// Every chart the engine knows is a chart to the designer, the stacked area chart among them.
TEST(JrxmlFileForms, TheStackedAreaChartIsAChart)
{
    const ReportDocument d =
        JrxmlCodec::parse(withTitle("<stackedAreaChart><chart><reportElement x=\"0\" y=\"0\" "
                                    "width=\"100\" height=\"50\"/></chart></stackedAreaChart>"));
    ASSERT_EQ(d.band(BandType::title)->elements.size(), 1);
    const ReportElement chart = d.band(BandType::title)->elements.at(0);
    EXPECT_EQ(chart.kind.displayName(), u"Chart (stackedAreaChart)"_s);
    EXPECT_EQ(chart.width, 100);
}
