// The grammar of reports without the namespace, against the engine that reads them: its facts
// are those of the engine's document type, what it refuses in a report is what the engine
// refuses to compile, and a report turned from that form to the namespace form reads as before,
// where the engine is at hand.

#include "model/DocumentTypeGrammar.h"
#include "EngineJudge.h"
#include "EngineValues.h"
#include "ModelBuilders.h"
#include "TestSupport.h"
#include "model/DocumentTypeFacts.h"
#include "model/Identifiers.h"
#include "model/JrxmlCodec.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr char doctype[] =
    "<!DOCTYPE jasperReport PUBLIC \"//JasperReports//DTD Report Design//EN\" "
    "\"http://jasperreports.sourceforge.net/dtds/jasperreport.dtd\">\n";

// The keys of what the grammar refuses in the report.
QStringList refusedKeys(const QByteArray &report)
{
    pugi::xml_document xml;
    EXPECT_TRUE(xml.load_buffer(report.constData(), size_t(report.size())));
    QStringList keys;
    for (const DocumentTypeGrammar::Refusal &refusal :
         DocumentTypeGrammar::refusals(xml.document_element()))
        keys.append(refusal.key);
    return keys;
}

QByteArray detailWith(const QByteArray &elements)
{
    return "<detail><band height=\"20\">" + elements + "</band></detail>";
}

QByteArray staticText(const QByteArray &reportElementAttrs)
{
    return "<staticText><reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"" +
           reportElementAttrs + "/><text><![CDATA[x]]></text></staticText>";
}

} // namespace

// Each kind of thing the grammar refuses, and what it takes: the keys it gives for a report, and
// the engine's compile of the same report, which refuses it exactly when there is a key.
TEST(DocumentTypeGrammar, RefusesWhatTheEngineRefusesInAReportWithoutTheNamespace)
{
    struct Case {
        const char *what;
        QByteArray body;
        QByteArray rootAttrs;
        QStringList keys;
    };
    const QByteArray sortedField = "<field name=\"a\" class=\"java.lang.String\"/>";
    const Case cases[] = {
        {"one detail band", detailWith(staticText({})), {}, {}},
        {"two detail bands",
         "<detail><band height=\"20\"/><band height=\"20\"/></detail>",
         {},
         {u"detail>band"_s}},
        {"a component", detailWith("<componentElement/>"), {}, {u"band>componentElement"_s}},
        {"an element it does not declare", detailWith("<foo/>"), {}, {u"band>foo"_s}},
        {"a group after the title",
         "<title><band/></title><group name=\"g\"/>",
         {},
         {u"jasperReport>group"_s}},
        {"a static text without its position", detailWith("<staticText/>"), {}, {u"staticText>"_s}},
        {"a sort field without a type", sortedField + "<sortField name=\"a\"/>", {}, {}},
        {"a sort field with a type",
         sortedField + "<sortField name=\"a\" type=\"Field\"/>",
         {},
         {u"sortField@type"_s}},
        {"a sort field without a name",
         sortedField + "<sortField order=\"Ascending\"/>",
         {},
         {u"sortField@name!"_s}},
        {"a stretch type it does not have",
         detailWith(staticText(" stretchType=\"ContainerHeight\"")),
         {},
         {u"reportElement@stretchType=ContainerHeight"_s}},
        {"a position type with blanks around it",
         detailWith(staticText(" positionType=\" Float\"")),
         {},
         {}},
        {"a height that is no token",
         "<detail><band height=\"\"/></detail>",
         {},
         {u"band@height="_s}},
        {"a height with blanks around it", "<detail><band height=\" 20 \"/></detail>", {}, {}},
        {"a root attribute it does not have",
         detailWith({}),
         " isSummaryWithPageHeaderAndFooter=\"true\"",
         {u"jasperReport@isSummaryWithPageHeaderAndFooter"_s}},
        {"an identifier and a scriptlet, each once",
         "<scriptlet name=\"s\" class=\"java.lang.Object\"/>" +
             detailWith(staticText(" uuid=\"0b7a4b8c-1111-2222-3333-444455556666\"") +
                        staticText(" uuid=\"1b7a4b8c-1111-2222-3333-444455556666\"")),
         {},
         {u"jasperReport>scriptlet"_s, u"reportElement@uuid"_s}},
    };
    testsupport::JudgeWhereAtHand engine;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray report = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
                                  QByteArray(doctype) + "<jasperReport name=\"r\"" + c.rootAttrs +
                                  ">" + c.body + "</jasperReport>\n";
        EXPECT_EQ(refusedKeys(report), c.keys);
        const std::optional<QString> error = engine.compileError(report);
        EXPECT_EQ(error.has_value() && error->contains(u"SAXParseException"_s), !c.keys.isEmpty())
            << error.value_or(QString()).toStdString();
    }
}

namespace {

// A fact written as the document type writes it, blanks left out: "(a?,(b|c)*)", "EMPTY".
QString declared(const DocumentTypeGrammar::Content &content)
{
    using namespace DocumentTypeGrammar;
    if (content.holds == Holds::nothing)
        return u"EMPTY"_s;
    if (content.holds == Holds::text)
        return u"(#PCDATA)"_s;
    const auto times = [](Times t) -> QString {
        return t == Times::maybe  ? u"?"_s
               : t == Times::many ? u"*"_s
               : t == Times::some ? u"+"_s
                                  : QString();
    };
    const auto names = [](const Names &anyOf) -> QString {
        QStringList list;
        for (const char *name : anyOf)
            list.append(QString::fromLatin1(name));
        return list.join(u'|');
    };
    if (content.steps.size() == 1 && content.steps.front().anyOf.size() > 1)
        return u'(' + names(content.steps.front().anyOf) + u')' +
               times(content.steps.front().times);
    QStringList steps;
    for (const Step &step : content.steps) {
        steps.append(step.anyOf.size() > 1
                         ? QString(u'(' + names(step.anyOf) + u')' + times(step.times))
                         : QString(names(step.anyOf) + times(step.times)));
    }
    return u'(' + steps.join(u',') + u')';
}

QString declared(const DocumentTypeGrammar::AttributeFact &fact)
{
    using namespace DocumentTypeGrammar;
    QString type = fact.isToken ? u"NMTOKEN"_s : u"CDATA"_s;
    if (!fact.values.empty()) {
        QStringList values;
        for (const char *value : fact.values)
            values.append(QString::fromLatin1(value));
        type = u'(' + values.join(u'|') + u')';
    }
    const QString use = fact.use == Use::required  ? u"#REQUIRED"_s
                        : fact.use == Use::implied ? u"#IMPLIED"_s
                                                   : u'"' + QString::fromLatin1(fact.given) + u'"';
    return QString::fromLatin1(fact.name) + u' ' + type + u' ' + use;
}

} // namespace

// The grammar's facts are those of the document type in the engine's jar, which the engine checks
// a report without the namespace against: the same elements in the same order, each holding the
// same content and taking the same attributes, with the same values and the same defaults.
TEST(DocumentTypeGrammar, TheFactsAreThoseOfTheEnginesDocumentType)
{
    const QString jar = qEnvironmentVariable(
        "QUILLMARK_SIDECAR_JAR", testsupport::sourceDir() + u"/sidecar/target/sidecar.jar"_s);
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, jar, u"net/sf/jasperreports/engine/dtds/jasperreport.dtd"_s});
    if (!unzip.waitForFinished(60000) || unzip.exitCode() != 0)
        GTEST_SKIP() << "unzip or sidecar/target/sidecar.jar is missing; skipping";
    const QString engines = QString::fromUtf8(unzip.readAllStandardOutput());
    // The engine's declarations, one element's content and attribute lines each, in its order.
    QStringList names;
    QHash<QString, QString> contents;
    QHash<QString, QStringList> attributes;
    static const QRegularExpression declaration(u"<!(ELEMENT|ATTLIST)\\s+(\\S+)\\s+([^>]*)>"_s);
    static const QRegularExpression blanks(u"\\s+"_s);
    static const QRegularExpression blanksAroundBar(u"\\s*\\|\\s*"_s);
    static const QRegularExpression blanksInsideBrackets(u"(?<=\\()\\s+|\\s+(?=\\))"_s);
    for (const QRegularExpressionMatch &m : declaration.globalMatch(engines)) {
        if (m.captured(1) == u"ELEMENT") {
            names.append(m.captured(2));
            contents.insert(m.captured(2), m.captured(3).remove(blanks));
            continue;
        }
        for (QString line : m.captured(3).split(u'\n', Qt::SkipEmptyParts)) {
            line = line.simplified()
                       .replace(blanksAroundBar, u"|"_s)
                       .replace(blanksInsideBrackets, QString());
            if (!line.isEmpty())
                attributes[m.captured(2)].append(line);
        }
    }
    ASSERT_GT(names.size(), 150);

    QStringList ours;
    for (const DocumentTypeGrammar::ElementFact &fact : DocumentTypeGrammar::elementFacts()) {
        const QString name = QString::fromLatin1(fact.name);
        ours.append(name);
        EXPECT_EQ(declared(fact.content), contents.value(name)) << fact.name;
        QStringList attributeLines;
        for (const DocumentTypeGrammar::AttributeFact &attribute : fact.attributes)
            attributeLines.append(declared(attribute));
        EXPECT_EQ(attributeLines, attributes.value(name)) << fact.name;
        EXPECT_EQ(DocumentTypeGrammar::elementFact(fact.name), &fact);
    }
    EXPECT_EQ(ours, names);
    EXPECT_EQ(DocumentTypeGrammar::elementFact("noSuchElement"), nullptr);
}

// A report read in the older form and turned to the namespace form by an edit gives the engine
// the values the older form gave it, those the document type supplied where the file leaves them
// out among them (the bands' split type); the edit here is a scriptlet, which adds its own line
// and nothing else.
TEST(DocumentTypeGrammar, TheNamespaceFormGivesTheEngineTheOlderFormsValues)
{
    QTemporaryDir dir;
    for (const QString &fixture :
         {u"OlderFormOrders"_s, u"OlderFormProducts"_s, u"DocumentTypeReport"_s}) {
        SCOPED_TRACE(fixture.toStdString());
        const ReportDocument read = JrxmlCodec::parse(
            testsupport::readFile(testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/"_s +
                                  fixture + u".jrxml"_s));
        ReportDocument edited = read;
        edited.scriptlets.append(
            {newId(), u"noop"_s, u"net.sf.jasperreports.engine.JRDefaultScriptlet"_s, {}, {}});
        const auto write = [&](const QString &name, const ReportDocument &report) {
            QFile file(dir.filePath(name));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(JrxmlCodec::serialize(report));
            return file.fileName();
        };
        const std::optional<testsupport::ReportValues> older =
            testsupport::engineValues(write(fixture + u"-older.jrxml"_s, read));
        if (!older)
            GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping";
        const QString turned = write(fixture + u"-namespace.jrxml"_s, edited);
        ASSERT_TRUE(testsupport::readFile(turned).contains("xmlns="));
        testsupport::ReportValues namespaced = *testsupport::engineValues(turned);
        namespaced.removeIf(
            [](const auto &value) { return value.key().startsWith(u"scriptlet:"); });
        EXPECT_GT(older->size(), 100);
        for (auto it = older->cbegin(); it != older->cend(); ++it)
            EXPECT_EQ(namespaced.value(it.key(), u"(none)"_s), it.value())
                << it.key().toStdString();
        EXPECT_EQ(namespaced.size(), older->size());
    }
}

// A report whose elements carry the report namespace on a prefix is another form the engine reads
// alike: saved without an edit, and after an add, the engine reads it with the values it read in
// the file as it was (and the element added), and the save holds one detail section.
TEST(DocumentTypeGrammar, AReportOnAPrefixGivesTheEngineItsValuesWhenSaved)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    for (const QString &fixture : {u"TableParts"_s, u"DrawnAsPrintedContainers"_s}) {
        SCOPED_TRACE(fixture.toStdString());
        const QByteArray prefixed = testsupport::onPrefix(
            testsupport::readFile(testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/"_s +
                                  fixture + u".jrxml"_s),
            u"j"_s);
        const std::optional<testsupport::ReportValues> asRead =
            testsupport::engineValues(write(fixture + u"-prefixed.jrxml"_s, prefixed));
        if (!asRead)
            GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping";
        ASSERT_GT(asRead->size(), 20);
        const ReportDocument read = JrxmlCodec::parse(prefixed);
        const QByteArray saved = JrxmlCodec::serialize(read);
        EXPECT_EQ(testsupport::engineValues(write(fixture + u"-saved.jrxml"_s, saved)), asRead);

        ReportDocument added = read;
        ReportElement text = testsupport::element(ElementKind::StaticText{});
        text.width = 50;
        text.height = 10;
        added.detailBands.first().height = 20;
        added.detailBands.first().elements.append(text);
        const QByteArray withAdd = JrxmlCodec::serialize(added);
        EXPECT_EQ(withAdd.count("<detail>"), 1) << withAdd.toStdString();
        const std::optional<testsupport::ReportValues> addedValues =
            testsupport::engineValues(write(fixture + u"-added.jrxml"_s, withAdd));
        ASSERT_TRUE(addedValues);
        EXPECT_GT(addedValues->size(), asRead->size());
        for (auto it = asRead->cbegin(); it != asRead->cend(); ++it) {
            if (!it.key().startsWith(u"detail")) {
                EXPECT_EQ(addedValues->value(it.key(), u"(none)"_s), it.value())
                    << it.key().toStdString();
            }
        }
    }
}
