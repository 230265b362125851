#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "engine/EngineWorkFiles.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThreadPool>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using testsupport::waitFor;

// What the user reads when the engine fails, provoked for real: the advice of the error
// translation where the preview, the export, the expression test, the connection test and the
// query show an engine error.
namespace {

constexpr auto limit = std::chrono::seconds(90);

struct RealModel {
    explicit RealModel(const SidecarClient::Location &location)
    {
        model.setLocationProvider([location] { return location; });
    }
    bool waitUntilIdle()
    {
        return waitFor([this] { return !model.isBusy() && !model.isTestingConnection(); }, limit);
    }
    QTemporaryDir dir;
    SidecarModel model{PrivateWorkFolder(dir.path())};
};

// A report named `name` whose query is `query`, with `declarations` before its one detail band and
// `band` inside it.
ReportDocument report(const QString &name, const QString &query, const QString &declarations = {},
                      const QString &band = {})
{
    const QString text =
        uR"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name=")"_s +
        name +
        uR"(" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">)"_s +
        declarations +
        (query.isEmpty() ? QString()
                         : u"<queryString><![CDATA["_s + query + u"]]></queryString>"_s) +
        u"<detail><band height=\"20\">"_s + band + u"</band></detail></jasperReport>"_s;
    return JrxmlCodec::parse(text.toUtf8());
}

LiveConnection databaseAt(const QString &host, quint16 port)
{
    return {{QUuid::createUuid(), u"Loopback"_s, DatabaseType::postgres, host, port, u"sample"_s,
             u"ann"_s},
            u"pw"_s,
            {}};
}

// The preview's error, or the empty text when the preview succeeded.
QString previewError(RealModel &real, const ReportDocument &document,
                     const std::optional<LiveConnection> &live = std::nullopt,
                     const std::optional<QUrl> &savedURL = std::nullopt,
                     const QList<OpenTab> &otherTabs = {}, const QList<ChapterFile> &chapters = {})
{
    real.model.compileAndPreview(document, savedURL, otherTabs, {}, live, chapters);
    EXPECT_TRUE(real.waitUntilIdle());
    return real.model.errorMessage().value_or(QString());
}

// The engine's error on evaluating an expression, as the expression builder's test shows it.
QString evaluationError(RealModel &real, const QString &expression,
                        const QString &language = u"java"_s)
{
    std::optional<QString> error;
    real.model.evaluateExpression(expression, language, {}, {}, &real.model,
                                  [&](const EngineOutcome<std::optional<QString>> &outcome) {
                                      error = outcome.error.value_or(u"(no error)"_s);
                                  });
    EXPECT_TRUE(waitFor([&] { return error.has_value(); }, limit));
    return error.value_or(QString());
}

// A text field of `expression` at the band's top left, for a report's detail band.
QString textField(const QString &expression)
{
    return u"<textField><reportElement x=\"0\" y=\"0\" width=\"200\" height=\"20\"/>"
           u"<textFieldExpression><![CDATA["_s +
           expression + u"]]></textFieldExpression></textField>"_s;
}

} // namespace

// A server that refuses the connection, one that takes it but never answers, and a host name
// that has no address: the connection test and the query say what the preview says, the
// engine's own words following as details.
TEST(EngineMessages, AServerThatDoesNotAnswerIsNamedAlikeInTheTestTheQueryAndThePreview)
{
    QUILLMARK_REQUIRE_ENGINE();
    RealModel real(*location);
    QTcpServer silent; // listens, so the system takes connections it never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    silent.pauseAccepting();
    quint16 refusedPort = 0;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        refusedPort = closed.serverPort();
    }
    const struct {
        QString host;
        quint16 port;
        QString advice;
        QString driverSaid;
    } servers[] = {
        {u"127.0.0.1"_s, refusedPort,
         u"The database server at 127.0.0.1:"_s + QString::number(refusedPort) +
             u" does not answer: it may not be running, or the connection's host or port may be "
             u"wrong. Check the connection in the Report Data sheet (the Data button)."_s,
         u"java.net.ConnectException"_s},
        {u"127.0.0.1"_s, silent.serverPort(),
         u"The database server at 127.0.0.1:"_s + QString::number(silent.serverPort()) +
             u" did not answer in time: the host or port may belong to another program, or a "
             u"firewall may be holding the connection. Check the connection in the Report Data "
             u"sheet (the Data button)."_s,
         u"java.net.SocketTimeoutException"_s},
        {u"nosuchhost.invalid"_s, 5432,
         u"The database server's host name \"nosuchhost.invalid\" was not found: it may be "
         u"misspelt, or known only on a network this computer is not on. Check the connection in "
         u"the Report Data sheet (the Data button)."_s,
         u"java.net.UnknownHostException"_s},
    };
    const ReportDocument customers = report(u"Customers"_s, u"SELECT 1 AS n"_s);
    for (const auto &server : servers) {
        SCOPED_TRACE(QString(server.host + u':' + QString::number(server.port)).toStdString());
        const LiveConnection live = databaseAt(server.host, server.port);

        const QString preview = previewError(real, customers, live);
        EXPECT_EQ(FriendlyErrorTranslator::translate(preview), server.advice)
            << preview.toStdString();

        real.model.testConnection(live.connection, live.password);
        ASSERT_TRUE(real.waitUntilIdle());
        const QString test = real.model.connectionTestResult().value_or(QString());
        EXPECT_TRUE(test.startsWith(u"Failed: "_s + server.advice + u"\n\n(Technical details: "_s))
            << test.toStdString();
        EXPECT_TRUE(test.contains(server.driverSaid)) << test.toStdString();

        real.model.executeQuery(live, u"SELECT 1"_s);
        ASSERT_TRUE(real.waitUntilIdle());
        const QString query = real.model.queryErrorMessage().value_or(QString());
        EXPECT_TRUE(query.startsWith(server.advice + u"\n\n(Technical details: "_s))
            << query.toStdString();
        EXPECT_TRUE(query.contains(server.driverSaid)) << query.toStdString();
    }
}

// A query of the report stopped by the time limit, one the server cancels for a reason of its
// own (here the query cancels itself, as an administrator's pg_cancel_backend would), and one
// whose connection the server ends, read in the preview and the export as in Execute Query; only
// the designer's limit says it stopped the query.
TEST(EngineMessages, AQueryStoppedOrCancelledReadsAlikeInTheQueryThePreviewAndTheExport)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_POSTGRES("to wait on");
    const struct {
        QByteArray timeLimit;
        QString query;
        QString says;
    } queries[] = {
        {"1", u"SELECT pg_sleep(30) AS z"_s, u"The query was stopped after 1 second, "_s},
        // The designer's own limit, so that a loaded machine cannot stretch the cancel past it.
        {{},
         u"SELECT pg_cancel_backend(pg_backend_pid()) AS z"_s,
         u"The database server cancelled the query before it finished: the designer's time "
         u"limit did not stop it"_s},
        // The server ends the connection mid-query, as when it is stopped.
        {{},
         u"SELECT pg_terminate_backend(pg_backend_pid()) AS z"_s,
         u"The database server ended the connection before the query finished: the server was "
         u"stopped or restarted, or the connection to it broke. Check that the server runs "
         u"again (or ask the database's administrator), then run the query again."_s},
    };
    for (const auto &run : queries) {
        SCOPED_TRACE(run.query.toStdString());
        // The engine reads its limit from its environment when it starts.
        if (run.timeLimit.isEmpty())
            qunsetenv("QUILLMARK_STATEMENT_TIMEOUT");
        else
            qputenv("QUILLMARK_STATEMENT_TIMEOUT", run.timeLimit);
        const auto restore = qScopeGuard([] { qunsetenv("QUILLMARK_STATEMENT_TIMEOUT"); });
        RealModel real(*location);
        const LiveConnection live{postgres->connection, postgres->password, {}};

        real.model.executeQuery(live, run.query);
        ASSERT_TRUE(real.waitUntilIdle());
        const QString query = real.model.queryErrorMessage().value_or(QString());
        EXPECT_TRUE(query.startsWith(run.says)) << query.toStdString();

        const ReportDocument document =
            report(u"Sleepy"_s, run.query, u"<field name=\"z\" class=\"java.lang.Object\"/>"_s);
        EXPECT_EQ(previewError(real, document, live), query);

        real.model.exportReport(document, ExportFormat::csv,
                                QUrl::fromLocalFile(real.dir.filePath(u"Sleepy.csv"_s)),
                                std::nullopt, {}, {}, live);
        ASSERT_TRUE(real.waitUntilIdle());
        EXPECT_EQ(real.model.exportErrorMessage(), query);
    }
}

// A class the report names itself, which the engine cannot find, is named as the report's own;
// a class of a package the engine's own libraries hold still reads as a missing component.
TEST(EngineMessages, AClassOfTheReportsOwnIsNamedAndTheEnginesOwnReadsAsMissing)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_CORPUS();
    RealModel real(*location);
    const QString chart = QString::fromUtf8(testsupport::readFile(
        testsupport::corpusDir() + u"/jrxml-samples/charts/BarChartReport.jrxml"_s));
    ASSERT_TRUE(chart.contains(u"customizerClass=\"BarChartCustomizer\""_s));
    const struct {
        QString customizer;
        QString advice;
    } customizers[] = {
        {u"BarChartCustomizer"_s,
         u"The report needs the class \"BarChartCustomizer\", which is not on the report "
         u"engine's class path: it is the report's own (a chart customizer or a scriptlet, say), "
         u"not part of Quillmark. The engine here runs only the classes it comes with, so take "
         u"the class's name out of the report to preview it."_s},
        {u"org.jfree.chart.NoSuchCustomizer"_s,
         u"Quillmark is missing an optional component needed for this feature. Try the Report a "
         u"Bug button on the toolbar so this can be looked into."_s},
    };
    for (const auto &customizer : customizers) {
        const QString text =
            QString(chart).replace(u"customizerClass=\"BarChartCustomizer\""_s,
                                   u"customizerClass=\""_s + customizer.customizer + u'"');
        const QString preview = previewError(real, JrxmlCodec::parse(text.toUtf8()));
        EXPECT_EQ(FriendlyErrorTranslator::translate(preview), customizer.advice)
            << preview.toStdString();
    }

    // In a book the class is a chapter's, which the book names; the other chapter is fine.
    const QString sales = real.dir.filePath(u"Sales.jrxml"_s);
    const QString cover = real.dir.filePath(u"Cover.jrxml"_s);
    {
        QFile file(sales);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(chart.toUtf8());
        QFile other(cover);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write(JrxmlCodec::serialize(report(u"Cover"_s, {})));
    }
    const auto chapterOf = [](const QString &chapter) -> QString {
        return u"<subreport><reportElement x=\"0\" y=\"0\" width=\"535\" height=\"20\"/>"
               u"<dataSourceExpression><![CDATA[new "
               u"net.sf.jasperreports.engine.JREmptyDataSource(1)]]></dataSourceExpression>"
               u"<subreportExpression><![CDATA[\""_s +
               jasperPathBeside(chapter) + u"\"]]></subreportExpression></subreport>"_s;
    };
    const QString book = previewError(
        real, report(u"Book"_s, {}, {}, chapterOf(cover) + chapterOf(sales)), std::nullopt,
        std::nullopt, {}, {{cover, jasperPathBeside(cover)}, {sales, jasperPathBeside(sales)}});
    EXPECT_EQ(FriendlyErrorTranslator::translate(book),
              u"The chapter \"Sales.jrxml\" of this book needs the class \"BarChartCustomizer\", "
              u"which is not on the report engine's class path: it is the chapter's own (a chart "
              u"customizer or a scriptlet, say), not part of Quillmark. The engine here runs only "
              u"the classes it comes with, so take the class's name out of the chapter to preview "
              u"the book."_s)
        << book.toStdString();

    // A chapter's scriptlet, and a subreport's, are named with their report, beside the report
    // on disk or open in another tab; the previewed report names no such class.
    const QString scripted = real.dir.filePath(u"Scripted.jrxml"_s);
    {
        ReportDocument withScriptlet = report(u"Scripted"_s, {});
        withScriptlet.scriptlets.append(ReportScriptlet());
        withScriptlet.scriptlets.first().name = u"Totals"_s;
        withScriptlet.scriptlets.first().className = u"com.acme.TotalsScriptlet"_s;
        QFile file(scripted);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(JrxmlCodec::serialize(withScriptlet));
    }
    const QString chapterSays =
        previewError(real, report(u"Book"_s, {}, {}, chapterOf(cover) + chapterOf(scripted)),
                     std::nullopt, std::nullopt, {},
                     {{cover, jasperPathBeside(cover)}, {scripted, jasperPathBeside(scripted)}});
    EXPECT_EQ(FriendlyErrorTranslator::translate(chapterSays),
              u"The chapter \"Scripted.jrxml\" of this book needs the class "
              u"\"com.acme.TotalsScriptlet\", which is not on the report engine's class path: it "
              u"is the chapter's own (a chart customizer or a scriptlet, say), not part of "
              u"Quillmark. The engine here runs only the classes it comes with, so take the "
              u"class's name out of the chapter to preview the book."_s)
        << chapterSays.toStdString();

    const QString subreportAdvice =
        u"The subreport \"Scripted.jrxml\" needs the class \"com.acme.TotalsScriptlet\", which "
        u"is not on the report engine's class path: it is the subreport's own (a chart "
        u"customizer or a scriptlet, say), not part of Quillmark. The engine here runs only the "
        u"classes it comes with, so take the class's name out of the subreport to preview this "
        u"report."_s;
    const ReportDocument main = report(
        u"Main"_s, {}, {},
        u"<subreport><reportElement x=\"0\" y=\"0\" width=\"535\" height=\"20\"/>"
        u"<dataSourceExpression><![CDATA[new net.sf.jasperreports.engine.JREmptyDataSource(1)]]>"
        u"</dataSourceExpression><subreportExpression><![CDATA[\"Scripted.jasper\"]]>"
        u"</subreportExpression></subreport>"_s);
    const QUrl mainURL = QUrl::fromLocalFile(real.dir.filePath(u"Main.jrxml"_s));
    const QString fromTab = previewError(
        real, main, std::nullopt, mainURL,
        {{JrxmlCodec::parse(testsupport::readFile(scripted)), QUrl::fromLocalFile(scripted)}});
    EXPECT_EQ(FriendlyErrorTranslator::translate(fromTab), subreportAdvice)
        << fromTab.toStdString();
    const QString fromDisk = previewError(real, main, std::nullopt, mainURL);
    EXPECT_EQ(FriendlyErrorTranslator::translate(fromDisk), subreportAdvice)
        << fromDisk.toStdString();
}

// A class of the report's own that its expressions or imports name, which the compiler does not
// find: the class and its import are named, in Java and in Groovy, and so is the report's own
// scriptlet class that the compiler meets in the code it makes of $P{REPORT_SCRIPTLET}.
TEST(EngineMessages, AClassTheReportImportsOrNamesInAnExpressionIsNamedWithItsImport)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_CORPUS();
    RealModel real(*location);
    const QString own = u" is not on the report engine's class path: it is the report's own (a "
                        u"chart customizer or a scriptlet, say), not part of Quillmark. The "
                        u"engine here runs only the classes it comes with, so take the class's "
                        u"name "_s;
    const QString importOnly =
        u"The report imports the class \"com.acme.barcode.JasperUtil\", which is not on the "
        u"report engine's class path: it is the report's own (a library of its own, say), not "
        u"part of Quillmark. The engine here runs only the classes it comes with, so take the "
        u"import out of the report's JRXML (the </> button) to preview it."_s;
    const struct {
        QString language;
        QString import;
        QString expression;
        QString advice;
    } reports[] = {
        {u"java"_s, u"com.acme.barcode.JasperUtil"_s, u"JasperUtil.barcode(\"123\")"_s,
         u"The report needs the class \"JasperUtil\", which it imports as "
         u"com.acme.barcode.JasperUtil and which"_s +
             own +
             u"and its import out of the report to preview it.\nThe expression that names it: "
             u"JasperUtil.barcode(\"123\")"_s},
        {u"java"_s, u"com.acme.barcode.JasperUtil"_s, u"\"x\""_s, importOnly},
        {u"groovy"_s, u"com.acme.barcode.JasperUtil"_s, u"JasperUtil.barcode(\"123\")"_s,
         importOnly},
        {u"java"_s,
         {},
         u"new com.acme.Util().toString()"_s,
         u"The report needs the class \"com.acme.Util\", which"_s + own +
             u"out of the report to preview it.\nThe expression that names it: new "
             u"com.acme.Util().toString()"_s},
        {u"groovy"_s,
         {},
         u"new com.acme.Util()"_s,
         u"The report needs the class \"com.acme.Util\", which"_s + own +
             u"out of the report to preview it.\nThe expression that names it: new "
             u"com.acme.Util()"_s},
    };
    for (const auto &named : reports) {
        SCOPED_TRACE(QString(named.language + u": "_s + named.expression).toStdString());
        ReportDocument document = report(u"Barcode"_s, {}, {}, textField(named.expression));
        document.language = named.language;
        if (!named.import.isEmpty())
            document.imports = {named.import};
        const QString error = previewError(real, document);
        EXPECT_EQ(FriendlyErrorTranslator::translate(error), named.advice) << error.toStdString();
    }

    const QString scriptlet = previewError(
        real, JrxmlCodec::parse(testsupport::readFile(
                  testsupport::corpusDir() + u"/jrxml-samples/scriptlet/ScriptletReport.jrxml"_s)));
    EXPECT_EQ(FriendlyErrorTranslator::translate(scriptlet),
              u"The report needs the class \"Scriptlet\", which"_s + own +
                  u"out of the report to preview it.\nThe expression that names it: "
                  u"$P{REPORT_SCRIPTLET}.hello()"_s)
        << scriptlet.toStdString();
}

// An expression with a syntax error is named as the user wrote it, in the preview and in the
// expression's test, in Java and in Groovy, whose compiler speaks of the class the engine made of
// the report.
TEST(EngineMessages, AnExpressionWithASyntaxErrorIsNamed)
{
    QUILLMARK_REQUIRE_ENGINE();
    RealModel real(*location);
    const QString syntaxAdvice = u"This expression has a syntax error - check it for a missing "
                                 u"value, a stray or missing operator, or a typo:\n"_s;
    const struct {
        QString language;
        QString expression;
        bool evaluated; // in the expression's test, else in the preview
        QString advice;
    } typos[] = {
        {u"java"_s, u"\"Total: \"\n  + +"_s, false, syntaxAdvice + u"\"Total: \" + +"_s},
        {u"groovy"_s, u"\"Total: \"\n  + +"_s, false, syntaxAdvice + u"\"Total: \" + +"_s},
        {u"groovy"_s, u"$F{Name}.toUpperCase(\"abc)"_s, false,
         syntaxAdvice + u"$F{Name}.toUpperCase(\"abc)"_s},
        {u"java"_s, u"(1 + 2"_s, true,
         u"This expression is missing a closing parenthesis \")\":\n(1 + 2"_s},
        {u"groovy"_s, u"(1 + 2"_s, true, syntaxAdvice + u"(1 + 2"_s},
    };
    for (const auto &typo : typos) {
        SCOPED_TRACE(QString(typo.language + u": "_s + typo.expression).toStdString());
        ReportDocument document =
            report(u"Typo"_s, {}, u"<field name=\"Name\" class=\"java.lang.String\"/>"_s,
                   textField(typo.expression));
        document.language = typo.language;
        const QString error = typo.evaluated ? evaluationError(real, typo.expression, typo.language)
                                             : previewError(real, document);
        EXPECT_EQ(FriendlyErrorTranslator::translate(error), typo.advice) << error.toStdString();
    }
}

// A subreport the engine does not find, in the engine's own words, relative to the report's
// folder and at a path of its own; and a subreport open in another tab whose edits do not
// compile, named by its file rather than as the previewed report.
TEST(EngineMessages, AMissingOrBrokenSubreportIsNamedByItsFile)
{
    QUILLMARK_REQUIRE_ENGINE();
    RealModel real(*location);
    const QString folder = real.dir.filePath(u"Reports"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QUrl main = QUrl::fromLocalFile(folder + u"/Main.jrxml"_s);
    const auto withSubreport = [](const QString &expression) {
        return report(u"Main"_s, {}, {},
                      u"<subreport><reportElement x=\"0\" y=\"0\" width=\"200\" "
                      u"height=\"20\"/><subreportExpression><![CDATA["_s +
                          expression + u"]]></subreportExpression></subreport>"_s);
    };
    const QString nowhere = real.dir.filePath(u"nowhere/NoSuchSubreport.jasper"_s);
    const QString check = u". Check the subreport's file path/expression, and make sure it's been "
                          u"compiled (its .jasper file exists where the expression points)."_s;
    const QString relative =
        previewError(real, withSubreport(u"\"NoSuchSubreport.jasper\""_s), {}, main);
    EXPECT_EQ(FriendlyErrorTranslator::translate(relative),
              u"The subreport file \"NoSuchSubreport.jasper\" couldn't be found: the engine "
              u"looked for it as \"NoSuchSubreport.jasper\" in the report's folder"_s +
                  check)
        << relative.toStdString();
    const QString absolute = previewError(real, withSubreport(u'"' + nowhere + u'"'), {}, main);
    EXPECT_EQ(FriendlyErrorTranslator::translate(absolute),
              u"The subreport file \"NoSuchSubreport.jasper\" couldn't be found: the engine "
              u"looked for it at "_s +
                  nowhere + check)
        << absolute.toStdString();

    // The subreport's tab holds an edit that does not compile.
    const OpenTab orders{report(u"Orders_Sub"_s, {}, {}, textField(u"\"Total: \" + +"_s)),
                         QUrl::fromLocalFile(folder + u"/Orders_Sub.jrxml"_s)};
    const QString broken =
        previewError(real, withSubreport(u"\"Orders_Sub.jasper\""_s), std::nullopt, main, {orders});
    EXPECT_EQ(FriendlyErrorTranslator::translate(broken),
              u"The subreport \"Orders_Sub.jrxml\", open in another tab, does not compile, so "
              u"this report cannot print. Open that tab and correct it there: This expression has "
              u"a syntax error - check it for a missing value, a stray or missing operator, or a "
              u"typo:\n\"Total: \" + +"_s)
        << broken.toStdString();
}

// A preview of a report saved in a folder the engine cannot write names the folder and where the
// compiled report would go. The engine runs as this user; where that is the superuser, whom
// permissions do not stop, it runs without the power to override them.
TEST(EngineMessages, APreviewInAFolderThatCannotBeWrittenSaysWhereTheCompiledReportGoes)
{
    QUILLMARK_REQUIRE_ENGINE();
    SidecarClient::Location engine = *location;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        if (setpriv.isEmpty())
            GTEST_SKIP() << "running as root without setpriv: no way to keep the engine out of a "
                            "folder";
        engine.javaPath = dir.filePath(u"java"_s);
        QFile wrapper(engine.javaPath);
        ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
        wrapper.write("#!/bin/sh\nexec " + setpriv.toUtf8() +
                      " --inh-caps=-dac_override,-dac_read_search"
                      " --bounding-set=-dac_override,-dac_read_search '" +
                      location->javaPath.toUtf8() + "' \"$@\"\n");
        wrapper.close();
        wrapper.setPermissions(wrapper.permissions() | QFile::ExeOwner);
    }
    const QString folder = dir.filePath(u"Shared reports"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup));
    const auto writable = qScopeGuard([&] {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    RealModel real(engine);
    const QString jasper = folder + u"/Invoice.jasper"_s;

    const QString preview = previewError(real, report(u"Invoice"_s, {}), std::nullopt,
                                         QUrl::fromLocalFile(folder + u"/Invoice.jrxml"_s));
    EXPECT_EQ(FriendlyErrorTranslator::translate(preview),
              u"The compiled report goes beside the report, to \""_s + jasper +
                  u"\", but the folder \""_s + folder +
                  u"\" cannot be written (permission denied). Save the report in a folder you "
                  u"can write to, or make this folder writable."_s)
        << preview.toStdString();
    EXPECT_FALSE(QFileInfo::exists(jasper));
}

// An expression that defines a class of its own, and a name declared twice, are named for what
// they are rather than as a missing component or a value that did not parse.
TEST(EngineMessages, AClassInAnExpressionAndANameDeclaredTwiceAreNamedForWhatTheyAre)
{
    QUILLMARK_REQUIRE_ENGINE();
    RealModel real(*location);
    const QString anonymous = u"new Object() { public String toString() { return \"hi\"; } }"
                              u".toString()"_s;
    const QString advice =
        u"An expression defines a class of its own (such as new Object() { ... }), which the "
        u"engine cannot load. Write the expression without defining a class - a method call or "
        u"a condition (a ? b : c) usually does the same."_s;

    const QString preview =
        previewError(real, report(u"Anonymous"_s, {}, {}, textField(anonymous)));
    EXPECT_EQ(FriendlyErrorTranslator::translate(preview), advice) << preview.toStdString();

    const QString evaluated = evaluationError(real, anonymous);
    EXPECT_EQ(FriendlyErrorTranslator::translate(evaluated), advice) << evaluated.toStdString();

    const struct {
        QString declarations;
        QString advice;
    } duplicates[] = {
        {u"<style name=\"Title\" fontSize=\"20\"/><style name=\"Title\" fontSize=\"12\"/>"_s,
         u"The report declares the style \"Title\" twice. Rename or remove one of the two in the "
         u"Styles card of the Report Data sheet (the Data button)."_s},
        {u"<parameter name=\"Since\" class=\"java.util.Date\"/>"
         u"<parameter name=\"Since\" class=\"java.lang.String\"/>"_s,
         u"The report declares the parameter \"Since\" twice. Rename or remove one of the two in "
         u"the Report Data sheet (the Data button)."_s},
        {u"<field name=\"Amount (net)\" class=\"java.math.BigDecimal\"/>"
         u"<field name=\"Amount (net)\" class=\"java.lang.String\"/>"_s,
         u"The report declares the field \"Amount (net)\" twice. Rename or remove one of the two "
         u"in the Report Data sheet (the Data button)."_s},
    };
    for (const auto &duplicate : duplicates) {
        const QString error = previewError(real, report(u"Twice"_s, {}, duplicate.declarations));
        EXPECT_EQ(FriendlyErrorTranslator::translate(error), duplicate.advice)
            << error.toStdString();
    }
}

// A stored password the database refuses names the connection and where to correct it, in the
// preview and in the query.
TEST(EngineMessages, AStoredPasswordTheServerRefusesNamesTheConnectionAndItsEditSheet)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_POSTGRES("to refuse a password");
    RealModel real(*location);
    const LiveConnection live{postgres->connection, u"not the password"_s, {}};
    const QString says = u"\nThe database server refused the user name and password stored for "
                         u"the connection \""_s +
                         postgres->connection.name + u"\" (user \""_s +
                         postgres->connection.username +
                         u"\"). Type the right ones in the connection's Edit sheet and Save, "
                         u"then try again."_s;
    const QString preview = previewError(real, report(u"Customers"_s, u"SELECT 1 AS n"_s), live);
    EXPECT_TRUE(preview.endsWith(says)) << preview.toStdString();
    real.model.executeQuery(live, u"SELECT 1"_s);
    ASSERT_TRUE(real.waitUntilIdle());
    const QString query = real.model.queryErrorMessage().value_or(QString());
    EXPECT_TRUE(query.contains(says)) << query.toStdString();
}

// A disk that is full names the file the engine was to write, not its hidden work file, and the
// way out, at the preview and at the export. The engine runs with a tiny file system of its own
// over the report's folder.
TEST(EngineMessages, AFullDiskNamesTheFileAndTheWayOut)
{
    QUILLMARK_REQUIRE_ENGINE();
    if (std::system("unshare --map-root-user --mount true 2>/dev/null") != 0)
        GTEST_SKIP() << "needs unshare with user and mount namespaces, to fill a disk";
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"Full disk"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    SidecarClient::Location engine = *location;
    engine.javaPath = dir.filePath(u"java"_s);
    {
        QFile wrapper(engine.javaPath);
        ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
        wrapper.write("#!/bin/sh\nexec unshare --map-root-user --mount sh -c 'mount -t tmpfs -o "
                      "size=8k tmpfs \"$0\" && exec \"$@\"' '" +
                      folder.toUtf8() + "' '" + location->javaPath.toUtf8() + "' \"$@\"\n");
        wrapper.close();
        wrapper.setPermissions(wrapper.permissions() | QFile::ExeOwner);
    }
    RealModel real(engine);
    const ReportDocument invoice = report(u"Invoice"_s, {}, {}, textField(u"\"Total\""_s));
    const QString preview = previewError(real, invoice, std::nullopt,
                                         QUrl::fromLocalFile(folder + u"/Invoice.jrxml"_s));
    EXPECT_EQ(FriendlyErrorTranslator::translate(preview),
              u"The compiled report goes beside the report, to \""_s + folder +
                  u"/Invoice.jasper\", but the disk that holds it is full (No space left on "
                  u"device). Free some space on that disk and try again, or save the report on "
                  u"another disk."_s)
        << preview.toStdString();

    const QString pdf = folder + u"/Invoice.pdf"_s;
    real.model.exportReport(invoice, ExportFormat::pdf, QUrl::fromLocalFile(pdf), std::nullopt, {},
                            {}, std::nullopt);
    ASSERT_TRUE(real.waitUntilIdle());
    const QString exported = real.model.exportErrorMessage().value_or(QString());
    EXPECT_EQ(FriendlyErrorTranslator::translate(exported),
              u"\""_s + pdf +
                  u"\" cannot be written: the disk that holds it is full (No space left on "
                  u"device). Free some space on that disk and try again, or choose a folder on "
                  u"another disk."_s)
        << exported.toStdString();
}

// A preview pressed while an expression's test that never ends still runs: once the test runs out
// of time, the preview says that, and that the engine was restarted, rather than that no engine
// runs; the next preview runs.
TEST(EngineMessages, APreviewWaitingOnATestThatRunsOutOfTimeSaysSo)
{
    QUILLMARK_REQUIRE_ENGINE();
    RealModel real(*location);
    const ReportDocument hello = report(u"Hello"_s, {}, {}, textField(u"\"Hello\""_s));
    ASSERT_EQ(previewError(real, hello), QString()) << "the engine runs";
    real.model.setRequestTimeout(std::chrono::seconds(8));
    // One job at a time, in the order asked: the test is on its way before the preview.
    QThreadPool &pool = *QThreadPool::globalInstance();
    const int threads = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    const auto restore = qScopeGuard([&] { pool.setMaxThreadCount(threads); });
    std::optional<QString> test;
    real.model.evaluateExpression(
        u"java.util.stream.Stream.iterate(1, x -> x).filter(x -> x < 0).findFirst().get()"_s,
        u"java"_s, {}, {}, &real.model, [&](const EngineOutcome<std::optional<QString>> &outcome) {
            test = outcome.error.value_or(u"(no error)"_s);
        });
    const QString preview = previewError(real, hello);
    ASSERT_TRUE(waitFor([&] { return test.has_value(); }, limit));
    EXPECT_EQ(*test, SidecarError::timedOut().message());
    EXPECT_EQ(preview, u"This did not run: the report engine was busy with an earlier request (an "
                       u"expression's test), which ran out of time, and the engine was restarted "
                       u"for it. Try again."_s);
    real.model.setRequestTimeout(SidecarClient::requestTimeout);
    EXPECT_EQ(previewError(real, hello), QString()) << "trying again runs";
}
