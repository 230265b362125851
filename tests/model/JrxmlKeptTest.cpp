// What the model does not hold survives a load and save, in the place the format gives it;
// sections the file did not have stay out; input that is not well-formed is refused.

#include "CodecTestSupport.h"
#include "model/JrxmlCodecInternal.h"
#include "model/JrxmlText.h"

#include <QUtf8StringView>
#include <gtest/gtest.h>
#include <random>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

QByteArray report(const QByteArray &body, const QByteArray &rootAttrs = {})
{
    return "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" name=\"r\"" +
           rootAttrs + ">" + body + "</jasperReport>";
}

// The text in UTF-16 (`width` 2) or UTF-32 (4), in either byte order, after its byte order mark,
// with the code units `units` where it holds "@" (none for a text without it).
QByteArray encoded(const QByteArray &text, int width, bool bigEndian, QList<char32_t> units = {})
{
    QByteArray out;
    const auto put = [&](char32_t unit) {
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (bigEndian ? width - 1 - i : i);
            out += char((unit >> shift) & 0xFF);
        }
    };
    put(0xFEFF);
    const QString whole = QString::fromUtf8(text);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (whole[i] == u'@') {
            for (const char32_t unit : std::as_const(units))
                put(unit);
        } else if (width == 4 && whole[i].isHighSurrogate()) {
            put(QChar::surrogateToUcs4(whole[i], whole[i + 1]));
            ++i;
        } else {
            put(whole[i].unicode());
        }
    }
    return out;
}

// Why the reader refuses the text, or "read" when it takes it.
QString refusal(const QByteArray &data)
{
    try {
        JrxmlCodec::parse(data);
    } catch (const JrxmlCodecError &error) {
        return error.message();
    }
    return QStringLiteral("read");
}

// Whether the texts stand in the output in this order.
void expectInOrder(const QByteArray &out, const QList<QByteArray> &texts)
{
    qsizetype at = 0;
    for (const QByteArray &text : texts) {
        const qsizetype found = out.indexOf(text, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << text.toStdString() << "\n"
                            << out.toStdString();
        at = found + text.size();
    }
}

} // namespace

TEST(JrxmlKept, ReportAttributesAndProperties)
{
    const QByteArray in = report(
        "<property name=\"net.sf.jasperreports.export.pdf.tagged\" value=\"true\"/>"
        "<property name=\"com.example.a\" value=\"1\"/><property name=\"com.example.b\"/>"
        "<parameter name=\"p\"><parameterDescription/></parameter><parameter name=\"q\"/>"
        "<field name=\"f\"/><filterExpression><![CDATA[$F{f} != null]]></filterExpression>",
        " orientation=\"Landscape\" whenResourceMissingType=\"Key\" isTitleNewPage=\"true\"");
    const QByteArray out = roundTrip(in);
    // Page size and margins the file left out stay out.
    expectInOrder(out, {"name=\"r\"\n              orientation=\"Landscape\" "
                        "whenResourceMissingType=\"Key\" isTitleNewPage=\"true\">",
                        "pdf.tagged\" value=\"true\"/>", "<property name=\"com.example.a\"",
                        "<property name=\"com.example.b\"/>",
                        "<parameterDescription><![CDATA[]]></parameterDescription>",
                        "<parameter name=\"q\"", "<field name=\"f\"",
                        "<filterExpression><![CDATA[$F{f} != null]]></filterExpression>",
                        "</jasperReport>"});
    EXPECT_EQ(roundTrip(out), out);
    EXPECT_EQ(out.count("parameterDescription>"), 2) << "only the spelled-out empty one";

    // A modelled value changed by the user is written once, as the model holds it.
    ReportDocument d = JrxmlCodec::parse(report({}, " name2=\"x\" language=\"groovy\""));
    d.language = QStringLiteral("java");
    EXPECT_FALSE(JrxmlCodec::serialize(d).contains("language")) << "the reader took it";
}

// The PDF tagging properties are modelled; as read they stay where they were and as spelled.
TEST(JrxmlKept, TaggingPropertiesStayInPlaceUntilChanged)
{
    const auto tagging = [](const char *tagged, const char *language) {
        QByteArray xml = "<property name=\"com.example.a\" value=\"1\"/>";
        if (tagged)
            xml +=
                QByteArray("<property name=\"net.sf.jasperreports.export.pdf.tagged\" value=\"") +
                tagged + "\"/>";
        if (language)
            xml += QByteArray("<property name=\"net.sf.jasperreports.export.pdf.tag.language\" "
                              "value=\"") +
                   language + "\"/>";
        return report(xml + "<property name=\"com.example.b\" value=\"2\"/>");
    };
    for (const QByteArray &in : {tagging("true", nullptr), tagging("false", nullptr),
                                 tagging(nullptr, "fr"), tagging("true", "EN-US")}) {
        const QByteArray out = roundTrip(in);
        QByteArray properties;
        for (qsizetype at = out.indexOf("<property"); at >= 0;
             at = out.indexOf("<property", at + 1))
            properties += out.mid(at, out.indexOf("/>", at) - at) + '\n';
        QByteArray expected;
        for (qsizetype at = in.indexOf("<property"); at >= 0; at = in.indexOf("<property", at + 1))
            expected += in.mid(at, in.indexOf("/>", at) - at) + '\n';
        EXPECT_EQ(properties, expected) << in.constData();
    }

    // A property expression of the same name is no tagging property: kept as it was, nothing added.
    const QByteArray expression =
        report("<propertyExpression name=\"net.sf.jasperreports.export.pdf.tag.language\">"
               "<![CDATA[\"fr\"]]></propertyExpression>");
    const QByteArray expressionOut = roundTrip(expression);
    EXPECT_TRUE(expressionOut.contains("<propertyExpression")) << expressionOut.constData();
    EXPECT_FALSE(expressionOut.contains("<property ")) << expressionOut.constData();

    // Changed by the user, tagging is written as the model holds it, once.
    ReportDocument d = JrxmlCodec::parse(tagging("true", "fr"));
    d.pdfTagLanguage = QStringLiteral("de");
    const QByteArray out = JrxmlCodec::serialize(d);
    EXPECT_EQ(out.count("pdf.tag.language"), 1);
    EXPECT_TRUE(out.contains("pdf.tag.language\" value=\"de\""));
    EXPECT_EQ(out.count("pdf.tagged"), 1);
    d.isPdfTagged = false;
    EXPECT_FALSE(JrxmlCodec::serialize(d).contains("pdf.tag"));
    EXPECT_TRUE(JrxmlCodec::serialize(d).contains("com.example.b"));
}

TEST(JrxmlKept, GroupWithThreeHeaderBandsAndNoFooter)
{
    const QByteArray in = report(
        "<group name=\"g\" minHeightToStartNewPage=\"50\" preventOrphanFooter=\"true\">"
        "<groupExpression><![CDATA[1]]></groupExpression><groupHeader>"
        "<band height=\"10\" splitType=\"Stretch\"><staticText><reportElement x=\"0\" y=\"0\" "
        "width=\"5\" height=\"5\"/><text><![CDATA[one]]></text></staticText></band>"
        "<band height=\"11\"><line><reportElement x=\"0\" y=\"0\" width=\"5\" height=\"1\"/>"
        "</line></band><band height=\"12\" splitType=\"Prevent\"/></groupHeader></group>");
    const QByteArray out = roundTrip(in);
    expectInOrder(out, {"<group name=\"g\"",
                        "minHeightToStartNewPage=\"50\" "
                        "preventOrphanFooter=\"true\">",
                        "<band height=\"10\" splitType=\"Stretch\">", "one", "</band>",
                        "<band height=\"11\"><line>",
                        "<band height=\"12\" "
                        "splitType=\"Prevent\"/>",
                        "</groupHeader>", "</group>"});
    EXPECT_FALSE(out.contains("<groupFooter>")) << out.toStdString();
    EXPECT_FALSE(out.contains("<detail>")) << "the file had no detail band";
    EXPECT_EQ(roundTrip(out), out);

    // A section the user gives a height or elements is written.
    ReportDocument d = JrxmlCodec::parse(in);
    d.groups[0].footerHeight = 30;
    d.detailBands[0].height = 25;
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_TRUE(edited.contains("<groupFooter>\n            <band height=\"30\">"));
    EXPECT_TRUE(edited.contains("<detail>\n        <band height=\"25\">"));
}

TEST(JrxmlKept, SubDatasetWithSortFieldsGroupsAndFilter)
{
    const QByteArray in =
        report("<subDataset name=\"d\" uuid=\"u-1\"><property name=\"p\" value=\"v\"/>"
               "<field name=\"a\"/><sortField name=\"a\" order=\"Descending\"/>"
               "<variable name=\"v\" resetType=\"Group\" resetGroup=\"dg\"/>"
               "<filterExpression><![CDATA[$F{a} != null]]></filterExpression>"
               "<group name=\"dg\"><groupExpression><![CDATA[$F{a}]]></groupExpression></group>"
               "<parameter name=\"x\" nestedType=\"java.lang.Integer\"/>"
               "<queryString language=\"sql\"><![CDATA[select 1]]></queryString>"
               "<scriptlet name=\"s\" class=\"S\"/></subDataset>");
    const QByteArray out = roundTrip(in);
    // In the order of the format, whatever the order of the file.
    expectInOrder(out, {"<subDataset name=\"d\" uuid=\"u-1\">", "<property name=\"p\"",
                        "<scriptlet name=\"s\"",
                        "<parameter name=\"x\" nestedType=\"java.lang.Integer\">", "<queryString",
                        "<field name=\"a\"", "<sortField name=\"a\" order=\"Descending\"/>",
                        "<variable name=\"v\"", "<filterExpression>", "<group name=\"dg\">",
                        "</subDataset>"});
    EXPECT_EQ(roundTrip(out), out);
}

TEST(JrxmlKept, StyleWithParentStrikeThroughAndPens)
{
    const QByteArray in = report(
        "<style name=\"Child\" style=\"Parent\" isStrikeThrough=\"true\" hTextAlign=\"Center\" "
        "backcolor=\"#FFFFFF\" mode=\"Transparent\" padding=\"2\"><box><pen lineWidth=\"1.0\" "
        "lineStyle=\"Dashed\"/><topPen lineWidth=\"2\"/></box></style>");
    const QByteArray out = roundTrip(in);
    // Nothing inherited from the parent is written; nothing kept is lost.
    expectInOrder(out, {"<style name=\"Child\" backcolor=\"#FFFFFF\" style=\"Parent\" "
                        "isStrikeThrough=\"true\" hTextAlign=\"Center\" mode=\"Transparent\" "
                        "padding=\"2\">",
                        "<box><pen lineWidth=\"1.0\" lineStyle=\"Dashed\"/>",
                        "<topPen lineWidth=\"2\"/>", "</box>", "</style>"});
    EXPECT_EQ(roundTrip(out), out);

    ReportDocument d = JrxmlCodec::parse(in);
    d.styles[0].isBold = true;
    d.styles[0].penWidth = 0.5;
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_TRUE(edited.contains(" isBold=\"true\"")) << edited.toStdString();
    EXPECT_FALSE(edited.contains("fontName")) << edited.toStdString();
    EXPECT_TRUE(edited.contains("<pen lineWidth=\"0.5\" lineStyle=\"Dashed\"/>"));
}

TEST(JrxmlKept, InputThatIsNotWellFormedIsRefused)
{
    // A field whose name holds the units of the encoding at "@", in UTF-16 or UTF-32 of either
    // byte order: a surrogate without its other half, a code point beyond Unicode.
    const auto field = [](int width, bool bigEndian, QList<char32_t> units) {
        return encoded(report("<field name=\"a@b\"/>"), width, bigEndian, std::move(units));
    };
    const struct {
        QByteArray data;
        const char *why;
    } cases[] = {
        {report("<field name=\"\xC3\x28\"/>"), "bytes that are not UTF-8"},
        {report("<field name=\"a&#0;b\"/>"), "a reference to a character XML does not allow"},
        {report("<queryString><![CDATA[x]]>&#x1;</queryString>"), "a reference to a character"},
        {report("<field name=\"a\x01\"/>"), "a character XML does not allow"},
        {report("<field name=\"a\" name=\"b\"/>"), "the attribute name given twice"},
        {report("<jr:field name=\"a\"/>"), "the namespace prefix jr is not declared"},
        {field(2, false, {0xD83D}), "bytes that are not UTF-16"},
        {field(2, true, {0xD83D}), "bytes that are not UTF-16"},
        {field(2, false, {0xDE00}), "bytes that are not UTF-16"},
        {field(2, true, {0xDE00, 0xD83D}), "bytes that are not UTF-16"},
        {field(2, false, {0xD83D, 0xD83D, 0xDE00}), "bytes that are not UTF-16"},
        {encoded(report({}), 2, false) + 'x', "bytes that are not UTF-16"},
        {field(4, false, {0xD83D}), "bytes that are not UTF-32"},
        {field(4, true, {0x110000}), "bytes that are not UTF-32"},
        {encoded(report({}), 4, true) + "xy", "bytes that are not UTF-32"},
    };
    for (const auto &c : cases) {
        try {
            JrxmlCodec::parse(c.data);
            ADD_FAILURE() << "read: " << c.data.toHex().toStdString();
        } catch (const JrxmlCodecError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1StringView(c.why)))
                << error.message().toStdString();
        }
    }
    // The unit is named by its byte (the text is ASCII, two bytes a character after the mark);
    // whole pairs read as their character.
    const qsizetype unitAt = 2 + 2 * report("<field name=\"a@b\"/>").indexOf('@');
    EXPECT_EQ(refusal(field(2, true, {0xDE00})),
              u"Malformed .jrxml: bytes that are not UTF-16 at byte "_s + QString::number(unitAt));
    EXPECT_EQ(refusal(field(2, false, {0xD83D, 0x41})),
              u"Malformed .jrxml: bytes that are not UTF-16 at byte "_s + QString::number(unitAt));
    for (const bool bigEndian : {false, true}) {
        for (const int width : {2, 4}) {
            const QList<char32_t> emoji =
                width == 2 ? QList<char32_t>{0xD83D, 0xDE00} : QList<char32_t>{0x1F600};
            const ReportDocument read = JrxmlCodec::parse(field(width, bigEndian, emoji));
            ASSERT_EQ(read.fields.size(), 1);
            EXPECT_EQ(read.fields[0].name, u"a\U0001F600b"_s) << width << bigEndian;
        }
    }
    EXPECT_THROW(JrxmlCodec::parse(report({}) + "<jasperReport/>"), JrxmlCodecError);
    // Inside character data and comments the same characters are text.
    EXPECT_NO_THROW(JrxmlCodec::parse(report("<!-- &#0; --><queryString><![CDATA[&#0;]]>"
                                             "</queryString>")));
}

// The byte check looks at many bytes at once: a fault is found, and placed at its byte, wherever
// it stands among them; a forbidden character is reported before a bad reference that comes
// earlier; the attribute named twice is the first one a later one repeats.
TEST(JrxmlKept, WellFormednessFaultsAreFoundWhereverTheyStand)
{
    const QByteArray faults[] = {"\x01", "\x1F", "\xEF\xBF\xBE", "\xEF\xBF\xBF"};
    for (const QByteArray &fault : faults) {
        for (int shift = 0; shift < 40; ++shift) {
            const QByteArray data =
                report("<field name=\"" + QByteArray(shift, 'x') + fault + "\"/>");
            const QString expected = QStringLiteral("Malformed .jrxml: a character XML does not "
                                                    "allow at byte %1")
                                         .arg(data.indexOf(fault));
            EXPECT_EQ(refusal(data), expected) << shift;
        }
    }
    for (int shift = 0; shift < 40; ++shift) {
        const QByteArray data = report("<field name=\"" + QByteArray(shift, 'x') + "&#1;\"/>");
        EXPECT_EQ(refusal(data),
                  QStringLiteral("Malformed .jrxml: a reference to a character XML does not "
                                 "allow at byte %1")
                      .arg(data.indexOf("&#1;")))
            << shift;
    }
    const QByteArray both = report("<field name=\"&#1;\"/><field name=\"\x02\"/>");
    EXPECT_EQ(refusal(both), QStringLiteral("Malformed .jrxml: a character XML does not allow at "
                                            "byte %1")
                                 .arg(both.indexOf('\x02')));
    // Allowed characters next to the ones looked at, and references that are text.
    EXPECT_NO_THROW(JrxmlCodec::parse(report("<field name=\"\t\r\n\xEF\xBF\xBD&#9;&#x10FFFF;\"/>"
                                             "<!-->&#0;--><?pi &#0;?>")));
    EXPECT_TRUE(refusal(report("<field name=\"&#xZ;\"/>")).contains(u"a malformed character"));
    EXPECT_TRUE(refusal(report("<field name=\"&#1114112;\"/>")).contains(u"beyond Unicode"));
    EXPECT_TRUE(refusal(report("<field a=\"1\" b=\"2\" b=\"3\" a=\"4\"/>"))
                    .contains(u"the attribute a given twice"));
}

// The UTF-8 check goes with the scan for forbidden characters, sixteen bytes at a time: it takes
// what the UTF-8 rules take and nothing else (overlong forms, surrogates, code points beyond
// Unicode, stray and missing continuation bytes), wherever a sequence stands among the sixteen,
// and its refusal comes before that of a forbidden character.
TEST(JrxmlKept, Utf8IsCheckedWhereverItStands)
{
    const unsigned char edges[] = {0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBE,
                                   0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC,
                                   0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF};
    QList<QByteArray> sequences;
    for (const unsigned char a : edges) {
        sequences.append(QByteArray(1, char(a)));
        for (const unsigned char b : edges) {
            sequences.append(QByteArray(1, char(a)) + char(b));
            for (const unsigned char c : edges)
                sequences.append(QByteArray(1, char(a)) + char(b) + char(c));
        }
    }
    for (const unsigned char lead : {0xF0, 0xF1, 0xF4, 0xF5}) {
        for (const unsigned char b : {0x80, 0x8F, 0x90, 0xBF, 0xC0})
            sequences.append(QByteArray(1, char(lead)) + char(b) + "\x80\xBF");
    }
    const QByteArray before = report("<field name=\"");
    const qsizetype start = before.indexOf("<field name=\"") + 13;
    int checked = 0;
    for (const QByteArray &sequence : sequences) {
        const bool utf8 = QUtf8StringView(sequence).isValidUtf8();
        const bool forbidden =
            sequence.contains("\xEF\xBF\xBE") || sequence.contains("\xEF\xBF\xBF");
        // The sequence starts at the last three places of a block and at the first.
        for (const int place : {13, 14, 15, 16}) {
            const QByteArray padding((place - start % 16 + 16) % 16, 'x');
            const QByteArray data = report("<field name=\"" + padding + sequence + "\"/>");
            // The bytes that are not UTF-8 start where the longest prefix that is ends.
            qsizetype good = start + padding.size() + sequence.size();
            while (!QUtf8StringView(data.left(good)).isValidUtf8())
                --good;
            const QString expected =
                !utf8 ? QStringLiteral("Malformed .jrxml: bytes that are not UTF-8 at byte %1")
                            .arg(good)
                : forbidden
                    ? QStringLiteral("Malformed .jrxml: a character XML does not allow at byte %1")
                          .arg(data.indexOf("\xEF\xBF"))
                    : QStringLiteral("read");
            ASSERT_EQ(refusal(data), expected) << sequence.toHex().toStdString() << " " << place;
            ++checked;
        }
    }
    EXPECT_GT(checked, 50000);
    // Bytes that are not UTF-8 are reported before a forbidden character that stands earlier, in
    // the same block of sixteen or another.
    for (int gap = 0; gap < 40; ++gap) {
        const QByteArray data =
            report("<field name=\"\x01" + QByteArray(gap, 'x') + "\xC3\x28\"/>");
        EXPECT_EQ(refusal(data), u"Malformed .jrxml: bytes that are not UTF-8 at byte "_s +
                                     QString::number(data.indexOf("\xC3\x28")))
            << gap;
    }
}

// Names are measured many bytes at a time where they do not end a memory page: prefixes and
// repeated attributes are found for names of every length, with the colon anywhere, and wherever
// the name stands in memory.
TEST(JrxmlKept, PrefixesAndRepeatsAreFoundInNamesOfEveryLength)
{
    for (int length = 1; length <= 40; ++length) {
        const QByteArray name(length, 'n');
        for (int colon = 1; colon < length - 1; ++colon) {
            QByteArray qualified = name;
            qualified[colon] = ':';
            const QByteArray prefix = qualified.left(colon);
            EXPECT_TRUE(refusal(report("<x " + qualified + "=\"1\"/>"))
                            .contains(u"the namespace prefix " + QString::fromLatin1(prefix) +
                                      u" is not declared"))
                << qualified.toStdString();
            EXPECT_EQ(
                refusal(report("<x xmlns:" + prefix + "=\"urn:q\" " + qualified + "=\"1\"/>")),
                u"read")
                << qualified.toStdString();
        }
        // Same length and first letter, another last letter: two names. The same name twice: one
        // given twice.
        QByteArray other = name;
        other[length - 1] = 'm';
        if (length > 1) {
            EXPECT_EQ(refusal(report("<x " + name + "=\"1\" " + other + "=\"2\"/>")), u"read");
        }
        EXPECT_TRUE(refusal(report("<x " + name + "=\"1\" " + name + "=\"2\"/>"))
                        .contains(u"the attribute " + QString::fromLatin1(name) + u" given twice"))
            << length;
    }
    // The same names at every place of a memory page.
    for (int shift = 0; shift < 4096; ++shift) {
        const QByteArray padding(shift, ' ');
        ASSERT_TRUE(refusal(report(padding + "<q:field name=\"a\"/>"))
                        .contains(u"the namespace prefix q is not declared"))
            << shift;
        ASSERT_TRUE(refusal(report(padding + "<field isPrintRepeatedValues=\"1\" "
                                             "isPrintRepeatedValues=\"2\"/>"))
                        .contains(u"the attribute isPrintRepeatedValues given twice"))
            << shift;
    }
}

// Characters XML cannot carry are left out before a "]]>" is split, so no text ends its
// character data early; tabs and line breaks in attributes read back as themselves.
TEST(JrxmlKept, WrittenTextReadsBackAsItself)
{
    ReportDocument d = JrxmlCodec::parse(report({}));
    const QString crafted =
        QStringLiteral("a]]") + QChar(1) + QStringLiteral("><field name=\"evil\"/><![CDATA[");
    d.queryString = crafted;
    d.name = QStringLiteral("Pristina\n\t\r.");
    d.bands[1].isPresent = true;
    d.bands[1].printWhenExpression = QString(QChar(2));
    d.isPdfTagged = true;
    d.pdfTagLanguage.clear();
    const ReportDocument back = JrxmlCodec::parse(JrxmlCodec::serialize(d));
    EXPECT_EQ(back.queryString, QString(crafted).remove(QChar(1)));
    EXPECT_TRUE(back.fields.isEmpty());
    EXPECT_EQ(back.name, d.name);
    EXPECT_EQ(back.pdfTagLanguage, QString());
    const QByteArray once = JrxmlCodec::serialize(back);
    EXPECT_EQ(roundTrip(once), once);
}

// Only a UTF-8 document has its bytes checked for characters XML does not allow. In a document
// of another encoding, content kept as captured text loses them, with a note, so that the saved
// file is well-formed; in a UTF-8 one they are refused before anything is read.
TEST(JrxmlKept, CapturedContentOfOtherEncodingsLosesWhatXmlCannotCarry)
{
    const QByteArray element =
        "<staticText><reportElement x=\"0\" y=\"0\" width=\"9\" height=\"9\">"
        "<property name=\"p\" value=\"a\x01z\xE9\"/>"
        "<propertyExpression name=\"e\">b\x02</propertyExpression>"
        "</reportElement><text>t</text></staticText>";
    const QByteArray latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + reportWithTitle(element);
    QStringList warnings;
    const QByteArray out = roundTrip(latin1, &warnings);
    EXPECT_TRUE(warnings.contains(
        QStringLiteral("Characters that XML cannot carry were left out of captured content")))
        << warnings.join(u'\n').toStdString();
    EXPECT_TRUE(out.contains("<property name=\"p\" value=\"az\xC3\xA9\"/>")) << out.toStdString();
    EXPECT_TRUE(out.contains(">b</propertyExpression>")) << out.toStdString();
    EXPECT_FALSE(out.contains('\x01'));
    EXPECT_FALSE(out.contains('\x02'));
    EXPECT_NO_THROW(JrxmlCodec::parse(out));

    QByteArray utf8 = reportWithTitle(element);
    utf8.replace("\xE9", "\xC3\xA9");
    EXPECT_THROW(JrxmlCodec::parse(utf8), JrxmlCodecError);
}

namespace {

// Writes the kept attributes into the tag by splitting it and by scanning it: the same text and
// the same count of characters left out.
void expectSame(const QString &tag, const KeptXml &kept)
{
    const QString before = QStringLiteral("    ");
    QString bySplit = before + tag;
    QString byScan = bySplit;
    JrxmlText::takeRemovedCharacterCount();
    JrxmlCodec::appendKeptAttributes(bySplit, before.size(), kept);
    const qsizetype removedBySplit = JrxmlText::takeRemovedCharacterCount();
    JrxmlCodec::appendKeptAttributesByScan(byScan, before.size(), kept);
    const qsizetype removedByScan = JrxmlText::takeRemovedCharacterCount();
    ASSERT_EQ(bySplit, byScan) << tag.toStdString();
    ASSERT_EQ(removedBySplit, removedByScan) << tag.toStdString();
}

} // namespace

// The writer splits a start tag into its attributes to decide which attributes the file left out
// stay out; every decision must be the one a scan of the tag's text gives. Tags of the form the
// writer writes and of other forms (a value ending in "=", a quote in a value, blanks), absent
// attributes with and without conditions, repeated names, names that are not plain, values that
// need escaping or hold characters XML cannot carry, and kept attributes of the same names.
TEST(JrxmlKept, AttributesLeftOutAreDecidedAsAScanOfTheTagDecides)
{
    const QStringList names = {u"a"_s, u"b"_s, u"mode"_s, u"backcolor"_s, u"x:y"_s, u"ab"_s};
    // A name with a quote can be found across two attributes, after a value that ends in a
    // space: ` " b="` in `a="1 " b="2"`.
    const QStringList oddNames = {u"a b"_s, u"a=\""_s, QString(), u"b\n"_s, u"\" b"_s, u"1 \" a"_s};
    const QStringList written = {QString(),  u"1"_s,  u"10"_s,     u"Opaque"_s, u"a b="_s, u"x="_s,
                                 u"&amp;"_s, u"1 "_s, u"\u00E9"_s, u" b=\"1"_s, u"&#9;"_s};
    const QStringList values = {QString(),   u"1"_s,      u"10"_s,      u"Opaque"_s,
                                u"a b="_s,   u"x="_s,     u"&"_s,       u"\t"_s,
                                u"\u00E9"_s, u"\u0001"_s, u"1\u0001"_s, u"a"_s + QChar(0xD800)};
    std::mt19937 random(37);
    const auto pick = [&](const QStringList &list) {
        return list.at(qsizetype(random() % quint32(list.size())));
    };
    const auto chance = [&](int percent) { return int(random() % 100) < percent; };
    const auto name = [&] { return chance(8) ? pick(oddNames) : pick(names); };
    for (int round = 0; round < 20000; ++round) {
        QString tag = chance(90) ? u"<font"_s : u"<x y"_s;
        const int count = int(random() % 7);
        for (int i = 0; i < count; ++i) {
            tag += chance(80) ? u" "_s : (chance(50) ? u"\n    "_s : u"\n"_s);
            const QString attribute = pick(names) + u"=\""_s + pick(written) + u'"';
            tag += attribute;
            // The same attribute twice, as the writer never writes it but the split must
            // follow.
            if (chance(10))
                tag += u' ' + attribute;
        }
        if (chance(5))
            tag += pick({u" "_s, u"\""_s, u"="_s, u" a="_s});
        KeptXml kept;
        for (int i = int(random() % 5); i > 0; --i) {
            KeptXml::AbsentAttribute absent{name(), pick(values), {}};
            for (int j = chance(30) ? int(random() % 3) : 0; j > 0; --j)
                absent.with.append({name(), pick(values)});
            kept.absent.append(absent);
            if (chance(10))
                kept.absent.append(absent);
        }
        for (int i = int(random() % 4); i > 0; --i)
            kept.attributes.append({name(), pick(values)});

        expectSame(tag, kept);
        if (HasFatalFailure())
            return;
    }
    // Names with a quote, found across two attributes.
    const QString tag = u"<font a=\"1 \" b=\"2\" c=\"3\""_s;
    for (const QString &value : {u"2"_s, u"3"_s}) {
        KeptXml kept;
        kept.absent.append({u"c"_s, u"3"_s, {{u"\" b"_s, value}}});
        kept.absent.append({u"\" b"_s, value, {}});
        kept.attributes.append({u"\" b"_s, u"4"_s});
        expectSame(tag, kept);
        kept.absent.first().with = {{u"\" b"_s, QString()}};
        expectSame(tag, kept);
    }
}
