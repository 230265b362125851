#include "CodecTestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

// Every data definition, group bands, a list, a table, pass-through elements and content that
// is not kept, against hand-checked output.
TEST(JrxmlComponents, EverythingRoundTrips)
{
    const QByteArray input = golden(QStringLiteral("everything.in.jrxml"));
    QStringList warnings;
    const QByteArray out = roundTrip(input, &warnings);
    expectGolden(out, QStringLiteral("everything.out.jrxml"));
    EXPECT_EQ(roundTrip(out).toStdString(), out.toStdString()) << "not a fixed point";

    // Everything is kept but the two scriptlets without a class and a second component in one
    // component element; two lengths with fractions, which the engine does not read, are held
    // rounded.
    const QStringList expected = {
        QStringLiteral("Scriptlets without a class are left out when the report is saved"),
        QStringLiteral("height=\"25.5\" on <band> is not a whole number the engine can read; "
                       "the report now holds 26"),
        QStringLiteral("width=\"120.5\" on <jr:column> is not a whole number the engine can "
                       "read; the report now holds 121"),
        QStringLiteral("1 <extra> element was not kept")};
    EXPECT_EQ(warnings, expected);

    if (!haveXmllint())
        GTEST_SKIP() << "xmllint is absent";
    // The barcode's prefix is declared only on the input's root: the output declares it on the
    // component, so a namespace-aware reader accepts the file.
    const ToolResult lint = runTool(QStringLiteral("xmllint"), {"--noout", "-"}, out);
    EXPECT_EQ(lint.err.toStdString(), "");
    EXPECT_EQ(canonicalPassThrough(out).toStdString(), canonicalPassThrough(input).toStdString());
}

// The elements of element groups are read into the containing band, frame or list in order (the
// groups are JrxmlKeptElements'); unknown elements are kept with the band or frame that holds
// them.
TEST(JrxmlComponents, ElementGroupsAndDroppedElements)
{
    QStringList warnings;
    const ReportDocument d = JrxmlCodec::parse(
        reportWithTitle(
            "<line/><elementGroup><ellipse/><elementGroup><rectangle/></elementGroup>"
            "</elementGroup><frame><elementGroup><image/></elementGroup><odd/><radarChart/>"
            "</frame>"
            "<unknownThing/><x:unknownThing xmlns:x='urn:x'/><unknownThing><line/>"
            "</unknownThing><componentElement><reportElement/></componentElement>"),
        &warnings);
    const QList<ReportElement> &elements = d.bands[1].elements;
    ASSERT_EQ(elements.size(), 4);
    EXPECT_TRUE(elements[0].kind.is<ElementKind::Line>());
    EXPECT_TRUE(elements[1].kind.is<ElementKind::Ellipse>());
    EXPECT_TRUE(elements[2].kind.is<ElementKind::Rectangle>());
    ASSERT_EQ(elements[3].kind.children()->size(), 1);
    EXPECT_TRUE(elements[3].kind.children()->first().kind.is<ElementKind::Image>());
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    const QByteArray out = JrxmlCodec::serialize(d);
    EXPECT_TRUE(out.contains("            </image>\n"
                             "            </elementGroup>\n"
                             "            <odd/>\n"
                             "            <radarChart/>\n"
                             "            </frame>\n"
                             "            <unknownThing/>\n"
                             "            <x:unknownThing xmlns:x=\"urn:x\"/>\n"
                             "            <unknownThing><line/></unknownThing>\n"
                             "            <componentElement><reportElement/></componentElement>\n"
                             "        </band>"))
        << out.toStdString();
}

TEST(JrxmlComponents, ListAndTableReadDefaults)
{
    const ReportDocument d = JrxmlCodec::parse(reportWithTitle(
        "<componentElement><jr:list xmlns:jr='http://jasperreports.sourceforge.net/jasperreports/"
        "components' printOrder='horizontal'/></componentElement><componentElement xmlns:jr='http:"
        "//jasperreports.sourceforge.net/jasperreports/components'><jr:table><jr:column>"
        "<jr:detailCell/></jr:column></jr:table></componentElement>"));
    const auto *list = d.bands[1].elements[0].kind.as<ElementKind::List>();
    ASSERT_NE(list, nullptr);
    // A print order other than "Horizontal" reads as vertical and is kept as written.
    ElementKind::List expectedList;
    expectedList.kept.setPart({}, KeptXml{{{u"printOrder"_s, u"horizontal"_s}}, {}, {}});
    EXPECT_EQ(*list, expectedList);
    const auto *table = d.bands[1].elements[1].kind.as<ElementKind::Table>();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columns.size(), 1);
    ReportTableColumn expected{QUuid(), 100, 20, {}, {}, 20, {}, {}, 20, {}, {}};
    expected.id = table->columns[0].id;
    EXPECT_EQ(table->columns[0], expected);
    EXPECT_EQ(d.bands[1].elements[1].tableWhenNoDataType, std::nullopt);
}

TEST(JrxmlSnippets, WriteWithoutStylesAndReadTheFirstElement)
{
    const ReportDocument d = JrxmlCodec::parse(golden(QStringLiteral("everything.in.jrxml")));
    // Table cells keep their own style; no reportElement line names one.
    const QRegularExpression styledLine(QStringLiteral("<reportElement[^\n]* style="));
    QString fragments;
    for (const ReportBand &band : d.bands + d.detailBands) {
        for (const ReportElement &e : band.elements) {
            const QString fragment = JrxmlCodec::serializeElement(e, {});
            EXPECT_FALSE(styledLine.match(fragment).hasMatch()) << fragment.toStdString();
            EXPECT_TRUE(fragment.startsWith(QStringLiteral("            <")));
            EXPECT_TRUE(fragment.endsWith(u'\n'));

            const std::optional<ReportElement> back = JrxmlCodec::parseSnippet(fragment);
            ASSERT_TRUE(back.has_value()) << fragment.toStdString();
            EXPECT_EQ(JrxmlCodec::serializeElement(*back, {}), fragment);
            fragments += fragment;
        }
    }
    // The first of several elements is taken; a style name is kept in the model only.
    const std::optional<ReportElement> first = JrxmlCodec::parseSnippet(fragments);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->kind.is<ElementKind::List>());
    EXPECT_FALSE(JrxmlCodec::serializeElement(*first, {}).contains(QStringLiteral("style=")));

    EXPECT_FALSE(JrxmlCodec::parseSnippet(fragments.left(fragments.size() / 2)).has_value());
    EXPECT_FALSE(JrxmlCodec::parseSnippet(QString()).has_value());
    EXPECT_FALSE(JrxmlCodec::parseSnippet(QStringLiteral("  <mystery/> text")).has_value());
    EXPECT_TRUE(
        JrxmlCodec::parseSnippet(QStringLiteral("leading text <mystery/><line/>")).has_value());
}
