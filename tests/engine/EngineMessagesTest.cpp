#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

LiveConnection loopback(quint16 port)
{
    return {{QUuid::createUuid(), u"Loopback"_s, DatabaseType::postgres, u"127.0.0.1"_s, port,
             u"sample"_s, u"ann"_s},
            u"pw"_s,
            {}};
}

// The preview's error, or the empty text when the preview succeeded.
QString previewError(RealModel &real, const ReportDocument &document,
                     const std::optional<LiveConnection> &live = std::nullopt)
{
    real.model.compileAndPreview(document, std::nullopt, {}, {}, live);
    EXPECT_TRUE(real.waitUntilIdle());
    return real.model.errorMessage().value_or(QString());
}

} // namespace

// A server that refuses the connection, and one that takes it but never answers: the connection
// test and the query say what the preview says, the engine's own words following as details.
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
        quint16 port;
        QString advice;
        QString driverSaid;
    } servers[] = {
        {refusedPort,
         u"The database server at 127.0.0.1:"_s + QString::number(refusedPort) +
             u" does not answer: it may not be running, or the connection's host or port may be "
             u"wrong. Check the connection in the Report Data sheet (the Data button)."_s,
         u"java.net.ConnectException"_s},
        {silent.serverPort(),
         u"The database server at 127.0.0.1:"_s + QString::number(silent.serverPort()) +
             u" did not answer in time: the host or port may belong to another program, or a "
             u"firewall may be holding the connection. Check the connection in the Report Data "
             u"sheet (the Data button)."_s,
         u"java.net.SocketTimeoutException"_s},
    };
    const ReportDocument customers = report(u"Customers"_s, u"SELECT 1 AS n"_s);
    for (const auto &server : servers) {
        SCOPED_TRACE(server.port);
        const LiveConnection live = loopback(server.port);

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

// A query of the report stopped by the time limit reads in the preview and the export as in
// Execute Query.
TEST(EngineMessages, AQueryStoppedByTheTimeLimitReadsAlikeInTheQueryThePreviewAndTheExport)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_POSTGRES("to wait on");
    // The engine reads its limit from its environment when it starts.
    qputenv("QUILLMARK_STATEMENT_TIMEOUT", "1");
    const auto restore = qScopeGuard([] { qunsetenv("QUILLMARK_STATEMENT_TIMEOUT"); });
    RealModel real(*location);
    const LiveConnection live{postgres->connection, postgres->password, {}};
    const QString sleepy = u"SELECT pg_sleep(30) AS z"_s;

    real.model.executeQuery(live, sleepy);
    ASSERT_TRUE(real.waitUntilIdle());
    const QString query = real.model.queryErrorMessage().value_or(QString());
    ASSERT_TRUE(query.startsWith(u"The query was stopped after 1 second, "_s))
        << query.toStdString();

    const ReportDocument document =
        report(u"Sleepy"_s, sleepy, u"<field name=\"z\" class=\"java.lang.Object\"/>"_s);
    EXPECT_EQ(previewError(real, document, live), query);

    real.model.exportReport(document, ExportFormat::csv,
                            QUrl::fromLocalFile(real.dir.filePath(u"Sleepy.csv"_s)), std::nullopt,
                            {}, {}, live);
    ASSERT_TRUE(real.waitUntilIdle());
    EXPECT_EQ(real.model.exportErrorMessage(), query);
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

    const QString preview = previewError(
        real, report(u"Anonymous"_s, {}, {},
                     u"<textField><reportElement x=\"0\" y=\"0\" width=\"200\" height=\"20\"/>"
                     u"<textFieldExpression><![CDATA["_s +
                         anonymous + u"]]></textFieldExpression></textField>"_s));
    EXPECT_EQ(FriendlyErrorTranslator::translate(preview), advice) << preview.toStdString();

    std::optional<QString> evaluated;
    real.model.evaluateExpression(anonymous, u"java"_s, {}, {}, &real.model,
                                  [&](const EngineOutcome<std::optional<QString>> &outcome) {
                                      evaluated = outcome.error.value_or(u"(no error)"_s);
                                  });
    ASSERT_TRUE(waitFor([&] { return evaluated.has_value(); }, limit));
    EXPECT_EQ(FriendlyErrorTranslator::translate(*evaluated), advice) << evaluated->toStdString();

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
