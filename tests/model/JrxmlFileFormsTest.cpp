// Forms of a file the engine reads alike: a report read by its document type keeps its header
// until an edit adds what that form cannot hold; components are known by the namespace their
// prefix is bound to, whatever the prefix.

#include "CanonicalDiff.h"
#include "CodecTestSupport.h"
#include "ModelBuilders.h"

#include <QStringDecoder>
#include <QStringEncoder>
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

namespace {

QByteArray olderFormFixture(const QString &name)
{
    return testsupport::readFile(testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/"_s +
                                 name + u".jrxml"_s);
}

// An edit of a report read in the older form, and what of it that form cannot hold, in the
// words the user reads; none when the older form holds it.
struct OlderFormEdit {
    const char *what;
    std::function<void(ReportDocument &)> edit;
    QStringList refusals;
};

} // namespace

// A report read in the older form (a DOCTYPE line, no namespace) is written in it again while the
// document type's grammar takes what it holds. An edit that adds what the grammar refuses turns
// the file to the namespace form, with the writer's header, the DOCTYPE line gone and the other
// lines before the root kept; the hyperlink type and target and the band split type the document
// type gave the older form are spelled out, so that the engine prints as before; and the text
// reads back and is written again the same. The same report without the edit is written in the
// older form again.
TEST(JrxmlFileForms, AnEditTheOlderFormCannotHoldWritesTheNamespaceForm)
{
    const QByteArray in = olderFormFixture(u"OlderFormOrders"_s);
    ASSERT_FALSE(in.isEmpty());
    const ReportDocument read = JrxmlCodec::parse(in);
    ASSERT_TRUE(read.olderFormAsRead);
    EXPECT_TRUE(read.olderFormAsRead->isEmpty()) << read.olderFormAsRead->join(u' ').toStdString();
    const QByteArray older = JrxmlCodec::serialize(read);

    const auto sortField = [](const QString &name, SortFieldType type) {
        ReportSortField s;
        s.name = name;
        s.type = type;
        return s;
    };
    const OlderFormEdit edits[] = {
        {"a sort field on a field",
         [&](ReportDocument &d) {
             d.sortFields.append(sortField(u"Amount"_s, SortFieldType::field));
         },
         {}},
        {"a second detail band",
         [](ReportDocument &d) { d.detailBands.append(ReportBand::defaultDetailBand()); },
         {u"more than one detail band"_s}},
        {"a list",
         [](ReportDocument &d) {
             ReportElement list = testsupport::element(ElementKind::List{});
             list.width = 200;
             list.height = 20;
             d.bands[1].elements.append(list);
         },
         {u"a list, a table or another component"_s}},
        {"a sort field on a variable",
         [&](ReportDocument &d) {
             d.sortFields.append(sortField(u"CountryTotal"_s, SortFieldType::variable));
         },
         {u"a sort field on a variable"_s}},
        {"a scriptlet",
         [](ReportDocument &d) {
             d.scriptlets.append(
                 {newId(), u"s"_s, u"net.sf.jasperreports.engine.JRDefaultScriptlet"_s, {}, {}});
         },
         {u"a scriptlet"_s}},
        {"a summary with the page header and footer",
         [](ReportDocument &d) { d.isSummaryWithPageHeaderAndFooter = true; },
         {u"the attribute isSummaryWithPageHeaderAndFooter of <jasperReport>"_s}},
        {"a list and a second detail band, told in the order of the file",
         [](ReportDocument &d) {
             d.detailBands.append(ReportBand::defaultDetailBand());
             d.bands[1].elements.append(testsupport::element(ElementKind::List{}));
         },
         {u"a list, a table or another component"_s, u"more than one detail band"_s}},
    };
    for (const OlderFormEdit &c : edits) {
        SCOPED_TRACE(c.what);
        ReportDocument edited = read;
        c.edit(edited);
        EXPECT_EQ(JrxmlCodec::olderFormRefusals(edited), c.refusals);
        const QByteArray out = JrxmlCodec::serialize(edited);
        if (c.refusals.isEmpty()) {
            EXPECT_TRUE(out.contains("<!DOCTYPE jasperReport")) << out.toStdString();
            EXPECT_FALSE(out.contains("xmlns")) << out.toStdString();
            // The older form has no sort field type; a field is what the engine sorts on then.
            EXPECT_TRUE(out.contains("<sortField name=\"Amount\" order=\"Ascending\"/>"))
                << out.toStdString();
            continue;
        }
        EXPECT_FALSE(out.contains("<!DOCTYPE")) << out.toStdString();
        EXPECT_TRUE(
            out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- An order list"))
            << out.toStdString();
        EXPECT_TRUE(out.contains("<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                                 "jasperreports\"\n              xmlns:xsi="))
            << out.toStdString();
        EXPECT_TRUE(out.contains("xsi:schemaLocation=")) << out.toStdString();
        EXPECT_EQ(out.count("<band "),
                  out.count(" splitType=\"Stretch\"") + out.count(" isSplitAllowed=\"true\""))
            << out.toStdString();
        EXPECT_EQ(out.count("<textField "),
                  out.count("hyperlinkType=\"None\" hyperlinkTarget=\"Self\">"))
            << out.toStdString();
        const ReportDocument back = JrxmlCodec::parse(out);
        EXPECT_FALSE(back.olderFormAsRead);
        EXPECT_EQ(JrxmlCodec::serialize(back), out);
        EXPECT_EQ(back.detailBands.size(), edited.detailBands.size());
        EXPECT_EQ(back.sortFields.size(), edited.sortFields.size());
        // Without the edit, as after an undo, the older form is written again.
        EXPECT_EQ(JrxmlCodec::serialize(read), older);
    }
}

// What the grammar refused in the file as read stays in the older form: the engine refused the
// file before, and a save without an edit changes nothing. Only what an edit adds beyond it turns
// the file to the namespace form.
TEST(JrxmlFileForms, WhatTheOlderFormRefusedAsReadKeepsTheForm)
{
    const QByteArray in =
        "<!DOCTYPE jasperReport PUBLIC \"-//JasperReports//DTD Report Design//EN\" "
        "\"http://jasperreports.sourceforge.net/dtds/jasperreport.dtd\">\n"
        "<jasperReport name=\"r\"><detail><band height=\"40\"><frame><reportElement x=\"0\" "
        "y=\"0\" width=\"200\" height=\"40\" uuid=\"3b7a4b8c-1111-2222-3333-444455556666\"/>"
        "<componentElement><reportElement x=\"0\" y=\"0\" width=\"100\" height=\"20\"/>"
        "<jr:list xmlns:jr=\"http://jasperreports.sourceforge.net/jasperreports/components\">"
        "<datasetRun subDataset=\"d\"/><jr:listContents height=\"20\"/></jr:list>"
        "</componentElement></frame></band></detail></jasperReport>";
    const ReportDocument read = JrxmlCodec::parse(in);
    ASSERT_TRUE(read.olderFormAsRead);
    EXPECT_EQ(*read.olderFormAsRead,
              QStringList({u"frame>componentElement"_s, u"reportElement@uuid"_s}));
    EXPECT_TRUE(JrxmlCodec::olderFormRefusals(read).isEmpty());
    const QByteArray out = JrxmlCodec::serialize(read);
    EXPECT_TRUE(out.contains("<!DOCTYPE jasperReport")) << out.toStdString();
    EXPECT_TRUE(canonicaldiff::compare(in, out).isEmpty());

    ReportDocument edited = read;
    edited.detailBands.first().elements.append(testsupport::element(ElementKind::List{}));
    EXPECT_EQ(JrxmlCodec::olderFormRefusals(edited),
              QStringList({u"a list, a table or another component"_s}));
    EXPECT_TRUE(JrxmlCodec::serialize(edited).startsWith(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<jasperReport xmlns="));

    // A report in the namespace form is never told so.
    ReportDocument made;
    made.detailBands.append(ReportBand::defaultDetailBand());
    EXPECT_TRUE(JrxmlCodec::olderFormRefusals(made).isEmpty());
}

namespace {

const QByteArray reportNamespace = "http://jasperreports.sourceforge.net/jasperreports";

QByteArray fixture(const QString &name)
{
    return testsupport::readFile(testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/"_s +
                                 name + u".jrxml"_s);
}

} // namespace

// A report whose elements carry the report namespace on a prefix reads as the same report with
// the namespace as the default, whatever the prefix, components and kept elements included, and
// is written in that form (the prefix's declaration kept on the root), after an add as well, with
// one detail section. An element on that prefix inside another default namespace keeps it.
TEST(JrxmlFileForms, AReportOnAPrefixReadsAsWithTheDefaultNamespace)
{
    for (const QString &name : {u"TableParts"_s, u"DrawnAsPrintedContainers"_s}) {
        for (const QString &prefix : {u"j"_s, u"jr2"_s}) {
            SCOPED_TRACE(QString(name + u" on "_s + prefix).toStdString());
            const QByteArray plain = fixture(name);
            ASSERT_FALSE(plain.isEmpty());
            const QByteArray prefixed = testsupport::onPrefix(plain, prefix);
            ASSERT_TRUE(prefixed.contains(QByteArray("<" + prefix.toUtf8() + ":band ")));
            QStringList plainNotes, prefixedNotes;
            const ReportDocument read = JrxmlCodec::parse(prefixed, &prefixedNotes);
            EXPECT_EQ(prefixedNotes, (JrxmlCodec::parse(plain, &plainNotes), plainNotes));
            EXPECT_FALSE(read.olderFormAsRead);
            const QByteArray declaration =
                " xmlns:" + prefix.toUtf8() + "=\"" + reportNamespace + '"';
            QByteArray out = JrxmlCodec::serialize(read);
            EXPECT_EQ(out.count(declaration), 1) << out.toStdString();
            EXPECT_EQ(QByteArray(out).replace(declaration, ""), roundTrip(plain));
            EXPECT_TRUE(canonicaldiff::compare(plain, out).isEmpty());

            ReportDocument added = read;
            added.detailBands.first().elements.append(
                testsupport::element(ElementKind::StaticText{}));
            out = JrxmlCodec::serialize(added);
            EXPECT_EQ(out.count("<detail>"), 1) << out.toStdString();
            EXPECT_FALSE(out.contains(QByteArray("<" + prefix.toUtf8() + ':')))
                << out.toStdString();
            const ReportDocument back = JrxmlCodec::parse(out);
            EXPECT_EQ(back.detailBands.first().elements.size(),
                      read.detailBands.first().elements.size() + 1);
        }
    }
    // Kept elements lose the prefix with the rest; one inside another default namespace keeps it.
    const QByteArray in = testsupport::onPrefix(
        withTitle("<unknownThing a=\"1\"><inner/></unknownThing>"
                  "<frame><reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"/></frame>"),
        u"j"_s);
    QByteArray foreign = in;
    foreign.replace("<j:frame>", "<x:other xmlns:x=\"urn:x\" xmlns=\"urn:x\"><j:frame>")
        .replace("</j:frame>", "</j:frame></x:other>");
    const QByteArray out = roundTrip(foreign);
    EXPECT_TRUE(out.contains("<unknownThing a=\"1\"><inner/></unknownThing>")) << out.toStdString();
    EXPECT_TRUE(out.contains("<j:frame>")) << out.toStdString();
    EXPECT_TRUE(JrxmlCodec::parse(in).bands[1].elements.at(0).kind.is<ElementKind::Frame>());
}

// A file in an encoding the engine reads besides those the tree parser reads is read from it and
// said to be saved in UTF-8; bytes that encoding does not take are named as such; a declaration of
// an encoding the designer does not read is said over bytes that are UTF-8, and refuses the file
// over others.
TEST(JrxmlFileForms, EncodingsAreReadOrRefusedForWhatTheyAre)
{
    const auto declared = [](const QByteArray &encoding, const QByteArray &name) -> QByteArray {
        return "<?xml version=\"1.0\" encoding=\"" + encoding +
               "\"?>\n<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
               "name=\"" +
               name + "\"/>";
    };
    QStringDecoder ebcdic("IBM037");
    if (!ebcdic.isValid())
        GTEST_SKIP() << "this Qt decodes no encoding beyond UTF and Latin-1 (built without ICU)";
    QStringEncoder toEbcdic("IBM037");
    const QByteArray inEbcdic =
        toEbcdic.encode(QString::fromUtf8(declared("IBM037", "Caf\xC3\xA9")));
    const auto savedNote = [](const QString &name) -> QString {
        return u"The file is in the encoding \u201C"_s + name +
               u"\u201D: saving writes it in UTF-8, which the engine reads alike."_s;
    };
    const auto unknownNote = [](const QString &name) -> QString {
        return u"The file declares the encoding \u201C"_s + name +
               u"\u201D, which the designer does not read: it was read as UTF-8, and saving "
               u"declares UTF-8."_s;
    };
    const struct {
        const char *what;
        QByteArray data;
        QString name;    // the report's name read, or empty where the file is refused
        QString outcome; // the note, or the refusal
    } cases[] = {
        {"windows-1252", declared("windows-1252", "Caf\xE9 \x80"), u"Caf\u00E9 \u20AC"_s,
         savedNote(u"windows-1252"_s)},
        {"Cp1252 in single quotes",
         "<?xml version='1.0' encoding='Cp1252'?>" +
             declared("x", "\xE9").mid(declared("x", "").indexOf('\n')),
         u"\u00E9"_s, savedNote(u"Cp1252"_s)},
        {"ISO-8859-15", declared("ISO-8859-15", "\xA4"), u"\u20AC"_s, savedNote(u"ISO-8859-15"_s)},
        {"Shift_JIS", declared("Shift_JIS", "\x93\xFA\x96\x7B"), u"\u65E5\u672C"_s,
         savedNote(u"Shift_JIS"_s)},
        {"EBCDIC", inEbcdic, u"Caf\u00E9"_s, savedNote(u"IBM037"_s)},
        {"ISO-8859-1, which the parser reads", declared("ISO-8859-1", "\xE9"), u"\u00E9"_s, {}},
        {"an unknown encoding over UTF-8", declared("X-NO-SUCH-ENC", "Caf\xC3\xA9"), u"Caf\u00E9"_s,
         unknownNote(u"X-NO-SUCH-ENC"_s)},
        {"UTF-7 over ASCII", declared("UTF-7", "A+AGI-"), u"A+AGI-"_s, unknownNote(u"UTF-7"_s)},
        {"an unknown encoding over other bytes",
         declared("X-NO-SUCH-ENC", "Caf\xE9"),
         {},
         u"The file is in the encoding \u201CX-NO-SUCH-ENC\u201D, which the designer does not "
         u"read."_s},
        {"EBCDIC without a declaration",
         toEbcdic.encode(u"<?xml version=\"1.0\"?><jasperReport/>"_s),
         {},
         u"The file is in the encoding \u201CEBCDIC\u201D, which the designer does not read."_s},
        {"bytes Shift_JIS does not take",
         declared("Shift_JIS", "\xFF\xFE"),
         {},
         u"Malformed .jrxml: bytes that are not Shift_JIS"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QStringList notes;
        try {
            const ReportDocument read = JrxmlCodec::parse(c.data, &notes);
            EXPECT_EQ(read.name, c.name);
            EXPECT_EQ(notes.value(0), c.outcome);
            const QByteArray out = JrxmlCodec::serialize(read);
            EXPECT_TRUE(out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
            EXPECT_EQ(JrxmlCodec::parse(out).name, c.name) << "saved in UTF-8 as it says";
        } catch (const JrxmlCodecError &error) {
            EXPECT_TRUE(c.name.isEmpty()) << error.message().toStdString();
            EXPECT_EQ(error.message(), c.outcome);
        }
    }
}
