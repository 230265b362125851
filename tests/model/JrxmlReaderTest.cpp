#include "CodecTestSupport.h"
#include "model/JrxmlText.h"

#include <QHash>
#include <cmath>
#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

TEST(JrxmlReader, SmallestReportTakesDefaults)
{
    const ReportDocument d = JrxmlCodec::parse("<jasperReport/>");
    EXPECT_EQ(d.name, QStringLiteral("report"));
    EXPECT_EQ(d.pageWidth, 595);
    EXPECT_EQ(d.pageHeight, 842);
    // Lengths the file leaves out are the engine's.
    EXPECT_EQ(d.columnWidth, 555);
    EXPECT_EQ(d.leftMargin, 20);
    EXPECT_EQ(d.rightMargin, 20);
    EXPECT_EQ(d.topMargin, 30);
    EXPECT_EQ(d.bottomMargin, 30);
    EXPECT_EQ(d.language, QStringLiteral("java"));
    EXPECT_EQ(d.queryLanguage, QStringLiteral("sql"));
    EXPECT_EQ(d.pdfTagLanguage, QStringLiteral("en-US"));
    EXPECT_FALSE(d.isPdfTagged);
    EXPECT_EQ(d.whenNoDataType, WhenNoDataType::noPages);
    EXPECT_EQ(d.columnCount, 1);
    EXPECT_EQ(d.printOrder, PrintOrder::vertical);
    EXPECT_EQ(d.columnSpacing, 0);
    ASSERT_EQ(d.bands.size(), 9);
    for (const ReportBand &b : d.bands) {
        EXPECT_FALSE(b.isPresent);
        EXPECT_EQ(b.height, 20);
        EXPECT_TRUE(b.elements.isEmpty());
        EXPECT_NE(b.type, BandType::detail);
    }
    ASSERT_EQ(d.detailBands.size(), 1);
    EXPECT_TRUE(d.detailBands[0].isPresent);
    EXPECT_EQ(d.detailBands[0].height, 0); // the engine prints nothing there
}

TEST(JrxmlReader, RejectsWhatIsNotAReport)
{
    const struct {
        QByteArray input;
        JrxmlCodecError::Kind kind;
        const char *message; // the start of the message
    } cases[] = {
        {"<report/>", JrxmlCodecError::Kind::notAJasperReport,
         "Root element is not <jasperReport> - not a valid .jrxml file."},
        {"", JrxmlCodecError::Kind::malformed, "Malformed .jrxml: No document element found"},
        {"<!-- only a comment -->", JrxmlCodecError::Kind::malformed, "Malformed .jrxml: "},
        {"<jasperReport><title></jasperReport>", JrxmlCodecError::Kind::malformed,
         "Malformed .jrxml: Start-end tags mismatch at byte 23"},
        {"<jasperReport name=\"x></jasperReport>", JrxmlCodecError::Kind::malformed,
         "Malformed .jrxml: "},
    };
    for (const auto &c : cases) {
        try {
            JrxmlCodec::parse(c.input);
            ADD_FAILURE() << "no error for " << c.input.toStdString();
        } catch (const JrxmlCodecError &error) {
            EXPECT_EQ(error.kind(), c.kind) << c.input.toStdString();
            EXPECT_TRUE(error.message().startsWith(QString::fromUtf8(c.message)))
                << error.message().toStdString();
            EXPECT_STREQ(error.what(), error.message().toUtf8().constData());
        }
    }
    // A prefix on the root does not matter.
    const ReportDocument d =
        JrxmlCodec::parse("<jr:jasperReport xmlns:jr=\"urn:x\" name=\"Prefixed\"/>");
    EXPECT_EQ(d.name, QStringLiteral("Prefixed"));
}

// Entities of a DTD are never expanded and nothing outside the text is ever loaded.
TEST(JrxmlReader, ExpandsNoEntities)
{
    const QByteArray input = "<!DOCTYPE jasperReport [<!ENTITY e SYSTEM \"file:///etc/hostname\">"
                             "<!ENTITY big \"x\">]><jasperReport name=\"&e;&big;\"/>";
    EXPECT_EQ(JrxmlCodec::parse(input).name, QStringLiteral("&e;&big;"));
}

TEST(JrxmlReader, RootAttributesAreReadExactly)
{
    const auto read = [](const char *attrs) {
        return JrxmlCodec::parse(QByteArray("<jasperReport ") + attrs + "/>");
    };
    EXPECT_EQ(read("whenNoDataType=\"blankpage\"").whenNoDataType, WhenNoDataType::noPages);
    EXPECT_EQ(read("whenNoDataType=\"BlankPage\"").whenNoDataType, WhenNoDataType::blankPage);
    EXPECT_EQ(read("printOrder=\"horizontal\"").printOrder, PrintOrder::vertical);
    EXPECT_FALSE(read("isSummaryNewPage=\"TRUE\"").isSummaryNewPage);
    EXPECT_TRUE(read("isFloatColumnFooter=\"true\"").isFloatColumnFooter);
    EXPECT_EQ(read("language=\"\"").language, QString());
    EXPECT_EQ(read("name=\" padded \"").name, QStringLiteral(" padded "));

    // The column count is a whole number to the engine, as a length is: what it cannot read is
    // held as it could read it, and named.
    const struct {
        const char *text;
        qint64 columnCount;
        bool isNamed;
    } counts[] = {{"2", 2, false},
                  {"+3", 3, true},
                  {"-2", -2, false},
                  {"0", 0, false},
                  {"2.0", 2, true},
                  {" 2", 2, false},
                  {"2 ", 2, false},
                  {"+-2", 1, true},
                  {"", 1, true},
                  {"9223372036854775807", 2147483647, true},
                  {"9223372036854775808", 2147483647, true}};
    for (const auto &c : counts) {
        QStringList notes;
        const QByteArray root = QByteArray("<jasperReport columnCount=\"") + c.text + "\"/>";
        EXPECT_EQ(JrxmlCodec::parse(root, &notes).columnCount, c.columnCount) << c.text;
        EXPECT_EQ(notes.size(), c.isNamed ? 1 : 0) << c.text;
    }
}

TEST(JrxmlReader, NumberTexts)
{
    const struct {
        const char *text;
        std::optional<double> value;
    } cases[] = {
        {"1.5", 1.5},  {"+2", 2},     {"-0x1p3", -8}, {"0x10", 16},      {".5", 0.5},
        {"5.", 5},     {"1e3", 1000}, {"-0", -0.0},   {"", {}},          {" 1", {}},
        {"1 ", {}},    {"1,5", {}},   {"inf", {}},    {"-infinity", {}}, {"nan", {}},
        {"1e400", {}}, {"++1", {}},   {"0x", {}},     {"0x-1", {}},      {"12px", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(JrxmlText::toDouble(c.text), c.value) << c.text;

    // Whole numbers, read apart from the others up to fifteen digits: the same double as the C
    // library reads, the sign of zero included, on both sides of that length.
    for (const char *text :
         {"0", "-0", "+0", "7", "007", "-42", "+42", "000000000000000", "123456789012345",
          "-999999999999999", "1000000000000000", "9007199254740993", "-9007199254740993",
          "99999999999999999999", "123456789012345678901234567890"}) {
        const std::optional<double> value = JrxmlText::toDouble(text);
        ASSERT_TRUE(value) << text;
        const double expected = std::strtod(text, nullptr);
        EXPECT_EQ(*value, expected) << text;
        EXPECT_EQ(std::signbit(*value), std::signbit(expected)) << text;
    }
    // Digits followed by anything else, or signs without digits, are not whole numbers.
    for (const char *text : {"-", "+", "1-", "12a", "0x", "--1", "+-1", "1 2", "1234567890123456x"})
        EXPECT_EQ(JrxmlText::toDouble(text), std::nullopt) << text;

    // An unreadable length takes its default.
    for (const char *text : {"inf", "nan", "1e400", "NaN", "-inf"}) {
        const ReportDocument d = JrxmlCodec::parse(QByteArray("<jasperReport pageWidth=\"") + text +
                                                   "\" topMargin=\"" + text + "\"/>");
        EXPECT_EQ(d.pageWidth, 595) << text;
        EXPECT_EQ(d.topMargin, 30) << text;
    }
}

TEST(JrxmlReader, Bands)
{
    const auto read = [](const char *sections) {
        return JrxmlCodec::parse(QByteArray("<jasperReport>") + sections + "</jasperReport>");
    };
    EXPECT_EQ(read("<detail/>").detailBands.size(), 1);
    EXPECT_EQ(read("<detail/>").detailBands[0].height, 0);

    const ReportDocument three = read("<detail><band height=\"1\"/><band/><band height=\"3\">"
                                      "<printWhenExpression/></band></detail>");
    ASSERT_EQ(three.detailBands.size(), 3);
    EXPECT_EQ(three.detailBands[0].height, 1);
    EXPECT_EQ(three.detailBands[1].height, 0) << "a band without a height is empty in print";
    EXPECT_EQ(three.detailBands[1].printWhenExpression, std::nullopt);
    EXPECT_EQ(three.detailBands[2].printWhenExpression, QString());

    EXPECT_FALSE(read("<title/>").bands[1].isPresent);
    const ReportDocument title = read("<summary><band/></summary><title><band/></title>");
    EXPECT_TRUE(title.bands[1].isPresent);
    EXPECT_EQ(title.bands[1].type, BandType::title);
    EXPECT_EQ(title.bands[1].height, 0);
    EXPECT_TRUE(title.bands[7].isPresent);
}

TEST(JrxmlReader, ElementWithoutChildrenTakesDefaults)
{
    const ReportDocument d = JrxmlCodec::parse(reportWithTitle("<staticText/><break/>"));
    const QList<ReportElement> &elements = d.bands[1].elements;
    ASSERT_EQ(elements.size(), 2);
    ReportElement expected;
    expected.kind = ElementKind::StaticText{};
    // The values it was given are noted as inherited, so that they stay out of the file.
    EXPECT_FALSE(elements[0].kept.part(u"textElement/font").absent.isEmpty());
    expected.kept = elements[0].kept;
    EXPECT_EQ(withoutIds(elements[0]), expected);
    EXPECT_FALSE(elements[0].id.isNull());
    EXPECT_EQ(elements[1].kind, ElementKind(ElementKind::ReportBreak{BreakType::page}));
}

// Frames nest to any depth the model holds; past 256 levels the reader stops following them,
// with a note, so that no input exhausts the stack.
TEST(JrxmlReader, DeepNestingIsCut)
{
    const auto nested = [](int depth, const char *open, const char *close) {
        QByteArray text;
        for (int i = 0; i < depth; ++i)
            text += open;
        text += "<staticText/>";
        for (int i = 0; i < depth; ++i)
            text += close;
        return reportWithTitle(text);
    };
    const auto depthOf = [](const ReportDocument &d) {
        int depth = 0;
        const ElementList *level = &d.bands[1].elements;
        while (!level->isEmpty() && level->first().kind.is<ElementKind::Frame>()) {
            ++depth;
            level = level->first().kind.children();
        }
        return std::pair(depth, level->size());
    };

    QStringList notes;
    const ReportDocument shallow = JrxmlCodec::parse(nested(256, "<frame>", "</frame>"), &notes);
    EXPECT_EQ(depthOf(shallow), std::pair(256, qsizetype(1)));
    EXPECT_TRUE(notes.isEmpty());

    const ReportDocument deep = JrxmlCodec::parse(nested(100000, "<frame>", "</frame>"), &notes);
    EXPECT_EQ(depthOf(deep), std::pair(257, qsizetype(0)));
    EXPECT_EQ(notes, QStringList{QStringLiteral(
                         "Elements nested more than 256 levels deep were not kept")});

    // Deep markup inside an expression is read as text without recursion.
    const QByteArray text =
        reportWithTitle("<staticText><text>" + QByteArray("<b>").repeated(100000) + "x" +
                        QByteArray("</b>").repeated(100000) + "</text></staticText>");
    EXPECT_EQ(JrxmlCodec::parse(text).bands[1].elements[0].kind.as<ElementKind::StaticText>()->text,
              QStringLiteral("x"));
}

TEST(JrxmlReader, ImportsAreKeptInOrderAndWrittenAfterTheProperties)
{
    const QByteArray source =
        "<jasperReport name=\"r\"><import value=\"net.sf.jasperreports.engine.data.*\"/>"
        "<property name=\"other\" value=\"x\"/><import value=\"java.util.&lt;x&gt;\"/>"
        "<import/><field name=\"f\" class=\"java.lang.String\"/></jasperReport>";
    QStringList warnings;
    const ReportDocument d = JrxmlCodec::parse(source, &warnings);
    EXPECT_EQ(d.imports, (QStringList{QStringLiteral("net.sf.jasperreports.engine.data.*"),
                                      QStringLiteral("java.util.<x>")}));
    EXPECT_TRUE(warnings.isEmpty()) << "an import without a value is kept as it stands";

    const QString written = QString::fromUtf8(JrxmlCodec::serialize(d));
    const qsizetype import = written.indexOf(
        QStringLiteral("    <import value=\"net.sf.jasperreports.engine.data.*\"/>\n"
                       "    <import value=\"java.util.&lt;x&gt;\"/>\n\n"));
    ASSERT_GE(import, 0) << written.toStdString();
    EXPECT_LT(import, written.indexOf(QStringLiteral("<field ")));
    EXPECT_EQ(JrxmlCodec::parse(written.toUtf8()).imports, d.imports);
}

// The engine reads a length only as a 32-bit whole number and refuses a file with any other:
// the reader holds what the engine could read (the number rounded and within the range, or the
// default for no number) and names the attribute, the file's text and the value now held.
TEST(JrxmlReader, LengthsTheEngineCannotReadAreHeldAsItCouldAndNamed)
{
    const auto note = [](const char *attr, const char *text, const char *tag,
                         const char *held) -> QString {
        return QString::fromUtf8(attr) + u"=\""_s + QString::fromUtf8(text) + u"\" on <"_s +
               QString::fromUtf8(tag) +
               u"> is not a whole number the engine can read; the report now holds "_s +
               QString::fromUtf8(held);
    };
    const struct {
        const char *where; // root, band or element
        const char *attr;
        const char *text;
        double held;
        const char *heldText; // null when the engine reads the text as it is
    } cases[] = {
        {"root", "pageWidth", "1e308", 2147483647, "2147483647"},
        {"root", "rightMargin", "-1e300", -2147483647, "-2147483647"},
        {"root", "topMargin", "inf", 30, "30"},
        {"root", "bottomMargin", "NaN", 30, "30"},
        {"root", "pageHeight", "842.5", 843, "843"},
        {"root", "columnWidth", "+555", 555, "555"},
        {"root", "leftMargin", "0x10", 16, "16"},
        {"root", "leftMargin", "", 20, "20"},
        {"root", "leftMargin", "1 0", 20, "20"},
        {"root", "pageWidth", "2147483648", 2147483647, "2147483647"},
        {"root", "pageWidth", "2147483647", 2147483647, nullptr},
        {"root", "leftMargin", "-2147483648", -2147483648.0, nullptr},
        {"root", "leftMargin", " 007 ", 7, nullptr},
        {"root", "columnSpacing", "0.4", 0, "0"},
        {"band", "height", "99999999999999999999", 2147483647, "2147483647"},
        {"band", "height", "-0", 0, nullptr},
        {"element", "height", "NaN", 20, "20"},
        {"element", "x", "1e2", 100, "100"},
        {"element", "width", "12.5", 13, "13"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.where) + " " + c.attr + "=" + c.text);
        const QByteArray attr = QByteArray(" ") + c.attr + "=\"" + c.text + "\"";
        const bool onRoot = qstrcmp(c.where, "root") == 0;
        const bool onBand = qstrcmp(c.where, "band") == 0;
        const QByteArray re = "<reportElement" +
                              (qstrcmp(c.where, "element") == 0
                                   ? attr
                                   : QByteArray(" x=\"0\" y=\"0\" width=\"10\" height=\"10\"")) +
                              "/>";
        const QByteArray jrxml = "<jasperReport" + (onRoot ? attr : QByteArray()) +
                                 "><detail><band" + (onBand ? attr : QByteArray(" height=\"40\"")) +
                                 "><line>" + re + "</line><staticText>" + re +
                                 "<text>t</text></staticText></band></detail></jasperReport>";
        QStringList notes;
        const ReportDocument d = JrxmlCodec::parse(jrxml, &notes);
        const ReportBand &band = d.detailBands.at(0);
        const ReportElement &e = band.elements.at(0);
        const QHash<QByteArray, double> values{
            {"pageWidth", d.pageWidth},       {"pageHeight", d.pageHeight},
            {"columnWidth", d.columnWidth},   {"leftMargin", d.leftMargin},
            {"rightMargin", d.rightMargin},   {"topMargin", d.topMargin},
            {"bottomMargin", d.bottomMargin}, {"columnSpacing", d.columnSpacing}};
        const double held = onRoot                          ? values.value(c.attr)
                            : onBand                        ? band.height
                            : qstrcmp(c.attr, "x") == 0     ? e.x
                            : qstrcmp(c.attr, "width") == 0 ? e.width
                                                            : e.height;
        EXPECT_EQ(held, c.held);
        EXPECT_EQ(std::signbit(held), std::signbit(c.held)) << "no -0";
        const QStringList expected = c.heldText ? QStringList{note(c.attr, c.text,
                                                                   onRoot   ? "jasperReport"
                                                                   : onBand ? "band"
                                                                            : "reportElement",
                                                                   c.heldText)}
                                                : QStringList{};
        EXPECT_EQ(notes, expected) << "said once, however many elements hold it";
        // What is written is what the report holds, and reads back without a word.
        QStringList again;
        JrxmlCodec::parse(JrxmlCodec::serialize(d), &again);
        EXPECT_TRUE(again.isEmpty()) << again.join(u'\n').toStdString();
    }
}

// Entity references the reader does not expand (declared by the document type or not) are named
// with what a save does with them: those in a text or an attribute are written as they stand, as
// text; those between elements (beside an element, or alone in a band) are left out, with the
// elements their entity holds. Those in character data, comments and the document type are text
// there, and XML's own five and character references are expanded.
TEST(JrxmlReader, EntityReferencesKeptAsTextAreNamed)
{
    const QString asText = u" kept as literal text: the reader does not expand entities, and a "
                           u"save writes "_s;
    const QString oneAsText =
        u"The entity reference &one; is"_s + asText +
        u"the reference itself as text, which the engine then takes as it stands"_s;
    const QString manyAsText =
        asText + u"the references themselves as text, which the engine then takes as they stand"_s;
    const QString oneLeftOut = u" between elements was not kept: the reader does not expand "
                               u"entities, and a save leaves it out, with what it holds"_s;
    const QString staticText = u"<staticText><reportElement x=\"0\" y=\"0\" width=\"10\" "
                               u"height=\"10\"/><text>T</text></staticText>"_s;
    const QString doctype = u"<!DOCTYPE jasperReport [<!ENTITY one \""_s +
                            QString(staticText).replace(u'"', u'\'') + u"\">]>"_s;
    const auto inBand = [&](const QString &band) -> QByteArray {
        return (doctype + u"<jasperReport name=\"r\"><title><band height=\"20\">"_s + band +
                u"</band></title></jasperReport>"_s)
            .toUtf8();
    };
    const struct {
        const char *what;
        QByteArray jrxml;
        QStringList notes;
    } cases[] = {
        {"in texts, attributes and expressions",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE jasperReport [\n <!ENTITY lol \"lol\">\n"
         " <!ENTITY lol2 \"&lol;&lol;\">\n <!ENTITY lol9 \"&lol2;&lol2;\">\n]>\n"
         "<jasperReport name=\"A &amp; &lol9;\"><!-- &comment; --><title><band height=\"20\">"
         "<staticText><reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
         "<text>&lol9;&lol2; &#65; &lt;&gt;&quot;&apos; &undeclared;</text></staticText>"
         "<textField><reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
         "<textFieldExpression><![CDATA[\"&inData;\"]]></textFieldExpression></textField>"
         "</band></title></jasperReport>",
         {u"The entity references &lol9;, &lol2;, &undeclared; are"_s + manyAsText}},
        {"in an attribute", "<jasperReport name=\"&one;\"/>", {oneAsText}},
        {"seven in an attribute",
         "<jasperReport name=\"&a; &b; &c; &d; &e; &f; &g;\"/>",
         {u"The entity references &a;, &b;, &c;, &d;, &e; and 2 more are"_s + manyAsText}},
        {"none", "<jasperReport name=\"&amp;x; a&b &#38;c;\"/>", {}},
        {"alone in a band", inBand(u"&one;"_s), {u"The entity reference &one;"_s + oneLeftOut}},
        {"before an element",
         inBand(u"\n  &one;\n  "_s + staticText),
         {u"The entity reference &one;"_s + oneLeftOut}},
        {"after an element, past a comment",
         inBand(staticText + u"<!-- c --> &one; "_s),
         {u"The entity reference &one;"_s + oneLeftOut}},
        {"between elements and in a text",
         inBand(staticText + u"&one;&two;"_s + staticText +
                u"<staticText><reportElement x=\"0\" y=\"0\" width=\"1\" height=\"1\"/>"
                u"<text>&one; <![CDATA[x]]>&three;</text></staticText>"_s),
         {u"The entity references &one;, &three; are"_s + manyAsText,
          u"The entity references &one;, &two; between elements were not kept: the reader does "
          u"not expand entities, and a save leaves them out, with what they hold"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QStringList notes;
        const ReportDocument d = JrxmlCodec::parse(c.jrxml, &notes);
        EXPECT_EQ(notes, c.notes);
        if (c.what == std::string_view("in texts, attributes and expressions")) {
            EXPECT_EQ(d.name, u"A & &lol9;"_s);
        }
        // What the notes say a save does, it does: what is kept as text reads back the same;
        // what stands between elements is gone.
        const QByteArray saved = JrxmlCodec::serialize(d);
        EXPECT_EQ(codectest::withoutIds(JrxmlCodec::parse(saved)), codectest::withoutIds(d));
        const QByteArray band = saved.mid(saved.indexOf("<title>"));
        for (const char *reference : {"&one;", "&two;"}) {
            const bool asText = c.notes.value(0).contains(u"literal text") &&
                                c.notes.value(0).contains(QLatin1StringView(reference));
            if (!asText) {
                EXPECT_FALSE(band.contains(reference)) << saved.toStdString();
            }
        }
    }
}

// An attribute given twice is refused however many attributes the element has, naming the first
// one that a later one repeats; elements before and after one with many are judged on their own.
TEST(JrxmlReader, ARepeatedAttributeAmongManyIsFound)
{
    const auto read = [](const QByteArray &elements) -> QString {
        try {
            JrxmlCodec::parse("<jasperReport>" + elements + "</jasperReport>");
            return u"read"_s;
        } catch (const JrxmlCodecError &error) {
            return error.message();
        }
    };
    const auto many = [](int count, const QByteArray &tail = {}) -> QByteArray {
        QByteArray attributes;
        for (int i = 0; i < count; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + '"';
        return "<field" + attributes + tail + "/>";
    };
    for (const int count : {15, 16, 17, 40, 3000}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(read(many(count)), u"read"_s);
        for (const int repeated : {0, count / 2, count - 1}) {
            const QByteArray again = " a" + QByteArray::number(repeated) + "=\"x\"";
            EXPECT_TRUE(
                read(many(count, again))
                    .contains(u"the attribute a"_s + QString::number(repeated) + u" given twice"_s))
                << repeated;
        }
        // Two names repeated: the one that stands first is named.
        EXPECT_TRUE(read(many(count, " a" + QByteArray::number(count - 1) + "=\"x\" a0=\"y\""))
                        .contains(u"the attribute a0 given twice"_s));
        // The same names on the next element are no repeat; a repeat there still is one.
        EXPECT_EQ(read(many(count) + many(count)), u"read"_s);
        EXPECT_TRUE(read(many(count) + "<field b=\"1\" b=\"2\"/>")
                        .contains(u"the attribute b given twice"_s));
    }
}
