#include "CodecTestSupport.h"
#include "ModelBuilders.h"
#include "document/DocumentStore.h"
#include "model/Identifiers.h"
#include "model/JrxmlText.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using namespace codectest;
using namespace Qt::StringLiterals;
using testsupport::element;

namespace {

// A report made the way the designer makes one: a new document, list items added with their
// defaults, elements inserted into bands and given values in the editors.
ReportDocument designerDocument()
{
    DocumentStore store;
    store.newDocument(595, 842);
    store.setBandPresent(BandType::lastPageFooter, true); // as the outline adds it
    store.addParameter();
    store.addField();
    store.addField();
    store.addSortField();
    store.addVariable();
    store.addGroup();
    store.addSubDataset();
    store.addScriptlet();
    store.addReportTemplate();
    store.addStyle();
    ReportDocument d = store.document();
    d.queryString = QStringLiteral("select * from orders");
    d.fields[1].className = QStringLiteral("java.lang.Integer");
    d.sortFields[0].name = QStringLiteral("field1");
    d.variables[0].expression = QStringLiteral("$F{field2}");
    d.groups[0].expression = QStringLiteral("$F{field1}");
    d.scriptlets[0].name = QStringLiteral("S");
    d.scriptlets[0].className = QStringLiteral("com.example.S");
    d.reportTemplates[0].expression = QStringLiteral("\"styles.jrtx\"");
    d.subDatasets[0].queryString = QStringLiteral("select 1");
    d.subDatasets[0].fields.append(d.fields[0]);
    d.styles[0].backColor = ElementColor{QStringLiteral("#EEEEEE")};
    ConditionalStyleRule rule;
    rule.conditionExpression = QStringLiteral("$V{REPORT_COUNT} % 2 == 0");
    rule.backColor = ElementColor{QStringLiteral("#FC110D")};
    rule.fontSize = 12;
    d.styles[0].conditionalStyles.append(rule);
    d.styles[0].conditionalStyles.append(ConditionalStyleRule{});
    store.setDocument(d);

    const auto make = [](ElementKind kind, double x, double y) {
        ReportElement e;
        e.id = newId();
        e.kind = std::move(kind);
        e.x = x;
        e.y = y;
        return e;
    };
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
    const BandTarget title = BandTarget::standard(BandType::title);
    store.setBandPresent(BandType::title, true);
    store.addElement(make(ElementKind::StaticText{QStringLiteral("Orders")}, 0, 0), title);
    store.addElement(make(ElementKind::StaticText{}, 100, 0), title);
    ReportElement field = make(ElementKind::TextField{QStringLiteral("$F{field1}")}, 0, 0);
    field.styleName = store.document().styles[0].name;
    field.backColor = ElementColor{QStringLiteral("#FFFFFF")};
    store.addElement(field, detail);
    store.addElement(make(ElementKind::TextField{}, 100, 0), detail);
    store.addElement(make(ElementKind::Image{}, 200, 0), detail);
    store.addElement(make(ElementKind::Rectangle{}, 300, 0), detail);
    store.addElement(make(ElementKind::Ellipse{}, 400, 0), detail);
    store.addElement(make(ElementKind::Line{}, 0, 30), detail);
    ElementKind::Subreport subreport;
    subreport.parameters.append({newId(), QStringLiteral("p"), {}});
    subreport.parameters.append({newId(), QStringLiteral("q"), QStringLiteral("$P{x}")});
    store.addElement(make(subreport, 0, 50), title);
    ReportElement frame = make(ElementKind::Frame{}, 200, 50);
    store.addElement(frame, title);
    store.addChildElement(make(ElementKind::StaticText{QStringLiteral("In a frame")}, 0, 0),
                          frame.id);
    store.addElement(make(ElementKind::ReportBreak{}, 0, 70), title);
    return store.document();
}

} // namespace

// Input files read and written again, against hand-checked output.
TEST(JrxmlWriter, GoldenDocuments)
{
    const struct {
        QByteArray input;
        QString golden;
    } cases[] = {
        {"<jasperReport/>", QStringLiteral("minimal.out.jrxml")},
        {golden(QStringLiteral("elements.in.jrxml")), QStringLiteral("elements.out.jrxml")},
        {golden(QStringLiteral("escaping.in.jrxml")), QStringLiteral("escaping.out.jrxml")},
    };
    // These inputs hold fractions, tabs and line breaks in attributes on purpose: their output
    // is not meant to be a fixed point.
    for (const auto &c : cases)
        expectGolden(roundTrip(c.input), c.golden);
}

// What the reader keeps of a file never reaches a report made in the designer: it is written as
// it always was (the golden was written before the reader kept what files leave out).
TEST(JrxmlWriter, DesignerDocumentIsWrittenInFull)
{
    expectGolden(JrxmlCodec::serialize(designerDocument()), QStringLiteral("designer.out.jrxml"));
}

TEST(JrxmlWriter, TextFieldExample)
{
    ReportStyle amount;
    amount.name = QStringLiteral("Amount");
    ReportElement e = element(ElementKind::TextField{QStringLiteral("$F{total}")});
    e.x = 10.4;
    e.width = 200;
    e.height = 20;
    e.styleName = QStringLiteral("Amount");
    e.foreColor = ElementColor{QStringLiteral("#CC0000")};
    e.positionType = PositionType::float_;
    e.stretchType = StretchType::relativeToTallestObject;
    e.evaluationTime = QStringLiteral("Report");
    e.textAlignment = TextAlignment::right;
    e.verticalAlignment = VerticalTextAlignment::middle;
    e.isBold = true;
    expectGolden(JrxmlCodec::serializeElement(e, {amount}).toUtf8(),
                 QStringLiteral("textfield.out.txt"));
}

// Text that holds the end marker of a character data section, or a carriage return (which XML
// reads as a line feed inside a section), still reads back whole.
TEST(JrxmlWriter, CharacterDataEndMarkerReadsBack)
{
    for (const QString &text :
         {QStringLiteral("]]>"), QStringLiteral("a]]>b]]>c"), QStringLiteral("]]]>>"),
          QStringLiteral("x]]"), QStringLiteral("<![CDATA[y]]>"), QStringLiteral("]]>]]>"),
          QStringLiteral("]>]]x>]]>>"), QStringLiteral("D\rE"), QStringLiteral("\r"),
          QStringLiteral("\r\n\r"), QStringLiteral("]]\r>"), QStringLiteral("a\r]]>\r")}) {
        ReportDocument doc;
        doc.groups.append(ReportGroup{});
        doc.groups[0].expression = text;
        ReportElement field = element(ElementKind::TextField{text});
        field.printWhenExpression = text;
        doc.detailBands[0].elements = {field};
        doc.detailBands[0].printWhenExpression = text;

        const ReportDocument back = JrxmlCodec::parse(JrxmlCodec::serialize(doc));
        const ReportElement &read = back.detailBands.at(0).elements.at(0);
        EXPECT_EQ(read.kind.as<ElementKind::TextField>()->expression, text);
        EXPECT_EQ(read.printWhenExpression, text);
        EXPECT_EQ(back.detailBands.at(0).printWhenExpression, text);
        EXPECT_EQ(back.groups.at(0).expression, text);
    }
}

// A carriage return that a file gives as a reference is kept by a save without edits wherever
// the report holds text: in texts and expressions, in attributes and in content kept as written.
TEST(JrxmlWriter, CarriageReturnsSurviveASave)
{
    const QByteArray in = reportWithHeader(
        "<queryString><![CDATA[select 1]]>&#13;<![CDATA[from t]]></queryString><title><band "
        "height=\"50\"><staticText><reportElement x=\"0\" y=\"0\" width=\"90\" "
        "height=\"20\"><property "
        "name=\"p\" value=\"a&#13;b\"/></reportElement><text>D&#13;E</text></staticText>"
        "<textField><reportElement x=\"0\" y=\"20\" width=\"90\" height=\"20\">"
        "<printWhenExpression>&#13;</printWhenExpression></reportElement><textFieldExpression>"
        "<![CDATA[\"a\"]]>&#13;+&#xD;\"b\"</textFieldExpression></textField>"
        "<u:unknown xmlns:u=\"urn:u\">k&#13;<![CDATA[e]]><?pi a\r\nb?></u:unknown></band>"
        "</title>");
    const QByteArray out = expectUnchanged(in);
    const ReportDocument d = JrxmlCodec::parse(out);
    EXPECT_EQ(d.queryString, u"select 1\rfrom t"_s);
    const ElementList elements = d.band(BandType::title)->elements;
    EXPECT_EQ(elements.at(0).kind.as<ElementKind::StaticText>()->text, u"D\rE"_s);
    EXPECT_EQ(elements.at(1).kind.as<ElementKind::TextField>()->expression, u"\"a\"\r+\r\"b\""_s);
    EXPECT_EQ(elements.at(1).printWhenExpression, u"\r"_s);
    EXPECT_TRUE(out.contains("value=\"a&#13;b\"")) << out.toStdString();
    // The instruction's line end is one, as every XML reader takes it, and stays so.
    EXPECT_TRUE(out.contains("k&#13;<![CDATA[e]]><?pi a\nb?>")) << out.toStdString();
    EXPECT_FALSE(out.contains('\r')) << "no line end is written as a carriage return";
}

// Characters XML 1.0 cannot carry are left out, with one diagnostic line, and the file reads.
TEST(JrxmlWriter, LeavesOutCharactersXmlCannotCarry)
{
    ReportDocument doc;
    doc.name = QStringLiteral("a") + QChar(0x0001) + QStringLiteral("b") + QChar(0xFFFE);
    const QString loneHigh = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    const QString lowFirst = QString(QChar(0xDC00)) + QChar(0xD800);
    const QString pair = QStringLiteral("\U0001F600\t\r\n");
    doc.detailBands[0].elements = {element(ElementKind::StaticText{loneHigh + lowFirst + pair})};

    QStringList diagnostics;
    const QByteArray out = JrxmlCodec::serialize(doc, &diagnostics);
    ASSERT_EQ(diagnostics.size(), 1);
    EXPECT_EQ(diagnostics.first(), QStringLiteral("left out 5 characters that XML cannot carry"));
    const ReportDocument back = JrxmlCodec::parse(out);
    EXPECT_EQ(back.name, QStringLiteral("ab"));
    EXPECT_EQ(back.detailBands.at(0).elements.at(0).kind.as<ElementKind::StaticText>()->text,
              QStringLiteral("xy\U0001F600\t\r\n"));

    QStringList none;
    JrxmlCodec::serialize(back, &none);
    EXPECT_TRUE(none.isEmpty());
}

namespace {

// Calls `check` with the inserted text at every place of texts 0 to 40 characters long, and with
// the same text holding `expected` in its place.
void atEveryPlace(
    const QString &inserted, const QString &expected,
    const std::function<void(const QString &, const QString &, const std::string &)> &check)
{
    for (int length = 0; length <= 40; ++length) {
        for (int at = 0; at <= length; ++at) {
            const QString before(at, u'a');
            const QString after(length - at, u'b');
            check(before + inserted + after, before + expected + after,
                  std::to_string(length) + " " + std::to_string(at));
        }
    }
}

} // namespace

// Each kind of character XML cannot carry, and each it can that lies outside the common range, at
// every place of texts short and long: the scan looks at several characters at once and must not
// miss one at either end of a block, nor split a surrogate pair that straddles two blocks.
TEST(JrxmlWriter, LeavesOutCharactersXmlCannotCarryAtEveryPlace)
{
    const struct {
        QString inserted;
        QString kept;
    } cases[] = {
        {QString(QChar(0x0001)), {}},
        {QString(QChar(0x001F)), {}},
        {QString(QChar(0x0000)), {}},
        {QStringLiteral("\t"), QStringLiteral("\t")},
        {QStringLiteral("\n"), QStringLiteral("\n")},
        {QStringLiteral("\r"), QStringLiteral("\r")},
        {QString(QChar(0x0020)), QString(QChar(0x0020))},
        {QString(QChar(0xD7FF)), QString(QChar(0xD7FF))},
        {QString(QChar(0xE000)), QString(QChar(0xE000))},
        {QString(QChar(0xFFFD)), QString(QChar(0xFFFD))},
        {QString(QChar(0xFFFE)), {}},
        {QString(QChar(0xFFFF)), {}},
        {QString(QChar(0xD800)), {}},
        {QString(QChar(0xDFFF)), {}},
        {QStringLiteral("\U0001F600"), QStringLiteral("\U0001F600")},
        {QString(QChar(0xDC00)) + QChar(0xD800), {}},
        {QString(QChar(0x0001)) + QChar(0x0002) + QChar(0x0003), {}},
    };
    for (const auto &c : cases) {
        const qsizetype leftOut = c.inserted.size() - c.kept.size();
        atEveryPlace(c.inserted, c.kept,
                     [&](const QString &text, const QString &expected, const std::string &where) {
                         qsizetype removed = -1;
                         EXPECT_EQ(JrxmlText::withXmlCharactersOnly(text, &removed), expected)
                             << where;
                         EXPECT_EQ(removed, leftOut) << where;
                         // The escaping helpers leave out the same and count them.
                         JrxmlText::takeRemovedCharacterCount();
                         EXPECT_EQ(JrxmlText::escaped(text), JrxmlText::escaped(expected)) << where;
                         EXPECT_EQ(JrxmlText::takeRemovedCharacterCount(), leftOut) << where;
                     });
    }
}

// Each character attribute escaping replaces, at every place of texts short and long: the
// escaping looks at several characters at once and must not miss one at either end of a block.
TEST(JrxmlWriter, EscapesAttributeCharactersAtEveryPlace)
{
    const struct {
        QString character;
        QString written;
    } cases[] = {
        {QStringLiteral("&"), QStringLiteral("&amp;")},
        {QStringLiteral("\""), QStringLiteral("&quot;")},
        {QStringLiteral("<"), QStringLiteral("&lt;")},
        {QStringLiteral(">"), QStringLiteral("&gt;")},
        {QStringLiteral("\t"), QStringLiteral("&#9;")},
        {QStringLiteral("\n"), QStringLiteral("&#10;")},
        {QStringLiteral("\r"), QStringLiteral("&#13;")},
        {QStringLiteral("'"), QStringLiteral("'")},
        {QString(QChar(0xD7FF)), QString(QChar(0xD7FF))},
        {QString(QChar(0xE000)), QString(QChar(0xE000))},
    };
    for (const auto &c : cases) {
        atEveryPlace(c.character, c.written,
                     [](const QString &text, const QString &expected, const std::string &where) {
                         EXPECT_EQ(JrxmlText::escaped(text), expected) << where;
                     });
    }
    EXPECT_EQ(JrxmlText::takeRemovedCharacterCount(), 0);
}

// Lengths and pen widths that have no text form are clamped, never converted out of range.
TEST(JrxmlWriter, NumberForms)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        const char *whole;
        const char *decimal;
    } cases[] = {
        {10.5, "11", "10.5"},
        {-10.5, "-11", "-10.5"},
        {10.49, "10", "10.49"},
        {-0.5, "-1", "-0.5"},
        {1, "1", "1.0"},
        {0.1, "0", "0.1"},
        {2e19, "9223372036854775807", "2e19"},
        {-1e300, "-9223372036854775808", "-1e300"},
        {1e-7, "0", "1e-07"},
        {inf, "9223372036854775807", "1.7976931348623157e308"},
        {-inf, "-9223372036854775808", "-1.7976931348623157e308"},
        {nan, "0", "0.0"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(JrxmlText::wholeNumber(c.value), QLatin1StringView(c.whole)) << c.value;
        EXPECT_EQ(JrxmlText::decimalNumber(c.value), QLatin1StringView(c.decimal)) << c.value;
        // Texts the engine reads (it refuses a plus sign, in an exponent too).
        EXPECT_TRUE(JrxmlText::engineLength(c.whole) || std::abs(c.value) >= 2147483647.5 ||
                    std::isnan(c.value))
            << c.whole;
        EXPECT_TRUE(JrxmlText::engineFloat(c.decimal)) << c.decimal;
    }

    ReportDocument doc;
    doc.pageWidth = nan;
    doc.pageHeight = inf;
    ReportElement line = element(ElementKind::Line{});
    line.penWidth = nan;
    line.x = -inf;
    doc.detailBands[0].elements = {line};
    QStringList notes;
    const ReportDocument back = JrxmlCodec::parse(JrxmlCodec::serialize(doc), &notes);
    EXPECT_EQ(back.pageWidth, 0);
    EXPECT_EQ(back.detailBands.at(0).elements.at(0).penWidth, 0);
    // Lengths beyond what the engine reads are brought within it when they are read again.
    EXPECT_EQ(back.pageHeight, 2147483647.0);
    EXPECT_EQ(back.detailBands.at(0).elements.at(0).x, -2147483647.0);
    EXPECT_EQ(notes.size(), 2) << notes.join(u'\n').toStdString();
}

// Bands are written type by type in display order, the first band of a type counting; hidden
// bands are not written; a document without detail bands writes an empty detail section.
TEST(JrxmlWriter, BandSections)
{
    ReportDocument doc;
    const auto band = [](BandType type, double height, bool present) {
        ReportBand b;
        b.type = type;
        b.height = height;
        b.isPresent = present;
        return b;
    };
    doc.bands = {band(BandType::summary, 7, true), band(BandType::title, 5, true),
                 band(BandType::summary, 9, true), band(BandType::pageHeader, 30, false)};
    doc.detailBands.clear();
    const QByteArray out = JrxmlCodec::serialize(doc);
    EXPECT_TRUE(out.contains("    <title>\n        <band height=\"5\">\n        </band>\n"
                             "    </title>\n\n    <detail>\n    </detail>\n\n    <summary>\n"
                             "        <band height=\"7\">\n"))
        << out.toStdString();
    EXPECT_FALSE(out.contains("pageHeader"));
    EXPECT_FALSE(out.contains("height=\"9\""));

    const ReportDocument back = JrxmlCodec::parse(out);
    ASSERT_EQ(back.bands.size(), 9);
    EXPECT_EQ(back.bands.at(0).type, BandType::background);
    EXPECT_EQ(back.bands.at(1).height, 5);
    EXPECT_FALSE(back.bands.at(2).isPresent);
    EXPECT_EQ(back.bands.at(7).type, BandType::summary);
    ASSERT_EQ(back.detailBands.size(), 1);
    EXPECT_EQ(back.detailBands.at(0).height, 0);
}

// A document that meets the conditions for a lossless write reads back equal, ids aside.
TEST(JrxmlWriter, WriteThenReadKeepsFrameValues)
{
    ReportDocument doc = JrxmlCodec::parse("<jasperReport/>");
    doc.name = QStringLiteral("Round 'trip' & <back>");
    doc.pageWidth = 842;
    doc.pageHeight = 595;
    doc.columnWidth = 400;
    doc.leftMargin = 0;
    doc.language = QString();
    doc.isPdfTagged = true;
    doc.pdfTagLanguage = QStringLiteral("it");
    doc.whenNoDataType = WhenNoDataType::noDataSection;
    doc.isFloatColumnFooter = true;
    doc.isSummaryWithPageHeaderAndFooter = true;
    doc.columnCount = -3;
    doc.printOrder = PrintOrder::horizontal;
    doc.columnSpacing = 12;
    doc.bands[8].isPresent = true; // noData
    doc.bands[8].height = 0;
    doc.bands[8].printWhenExpression = QStringLiteral(" ");
    ReportBand second = doc.detailBands[0];
    second.height = 17;
    doc.detailBands.append(second);
    // The file had no detail band; with two, the section is written and read as present.
    doc.isDetailAbsent = false;
    ReportDocument back = JrxmlCodec::parse(JrxmlCodec::serialize(doc));
    // The tagging properties read back are also kept, to be written in their place.
    EXPECT_EQ(back.kept.part({}).children.size(), 2);
    back.kept = {};
    // What the reader noted of the empty root (the margins it left out) is not compared.
    doc.kept = {};
    // Read without the namespace, the report now holds what that older form cannot (two detail
    // bands, a summary with the page header and footer): it was written in the namespace form
    // and is read back in it, each band with the split type the older form gave it spelled out.
    EXPECT_FALSE(back.olderFormAsRead);
    doc.olderFormAsRead.reset();
    for (QList<ReportBand> *bands : {&back.bands, &back.detailBands}) {
        for (ReportBand &band : *bands) {
            KeptXml own = band.kept.part({});
            const QString *split = own.attribute(u"splitType");
            EXPECT_EQ(split ? *split : QString(), band.isPresent ? u"Stretch"_s : QString());
            own.removeAttribute(u"splitType");
            band.kept.setPart({}, own);
        }
    }
    EXPECT_EQ(withoutIds(back), withoutIds(doc));
}
