// The expression test through the engine driver: against the scripted fake engine, and against
// the real one when Java and the jar are there.

#include "DeclarationBuilders.h"
#include "EngineTestSupport.h"
#include "ScriptedEngine.h"
#include "editors/ExpressionTestState.h"
#include "editors/SidecarExpressionEngine.h"
#include "engine/PrivateWorkFolder.h"

#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testsupport::waitFor;

namespace {

ReportDocument report()
{
    using namespace testsupport;
    ReportDocument document;
    document.fields = {field(u"Amount"_s, u"java.math.BigDecimal"_s),
                       field(u"Name"_s, u"java.lang.String"_s)};
    document.parameters = {parameter(u"Rate"_s, u"java.lang.Double"_s)};
    return document;
}

// The engine driver on the fake engine, whose script answers each request in turn and whose
// log keeps every request line.
struct FakeEngine {
    explicit FakeEngine(const QList<QByteArray> &replies)
    {
        QList<QByteArray> actions;
        for (const QByteArray &reply : replies)
            actions.append(testsupport::ScriptedEngine::ok(reply));
        scripted.script(actions);
        model.setLocationProvider([this] { return scripted.location; });
    }
    QList<QJsonObject> requests() const { return scripted.requests(); }
    QJsonObject params(qsizetype index) const
    {
        return requests().value(index)[u"params"_s].toObject();
    }
    testsupport::ScriptedEngine scripted;
    SidecarModel model{PrivateWorkFolder(scripted.dir.path())};
    SidecarExpressionEngine engine{model};
};

TEST(ExpressionEvaluation, RunSendsEveryDeclarationAndShowsNullForNoValue)
{
    FakeEngine fake({"{}"});
    ExpressionTestState state;
    state.setSampleValue(u"Amount"_s, u"12.5"_s);
    state.setSampleValue(u"Rate"_s, QString());
    state.run(u"$F{Amount}"_s, report(), fake.engine);
    ASSERT_TRUE(waitFor([&] { return !state.isRunning(); }));
    EXPECT_EQ(state.resultValue(), u"(null)"_s);
    const QJsonArray fields{
        QJsonObject{{u"name"_s, u"Amount"_s},
                    {u"class"_s, u"java.math.BigDecimal"_s},
                    {u"value"_s, u"12.5"_s}},
        QJsonObject{{u"name"_s, u"Name"_s}, {u"class"_s, u"java.lang.String"_s}}};
    EXPECT_EQ(fake.params(0),
              (QJsonObject{{u"expression"_s, u"$F{Amount}"_s},
                           {u"language"_s, u"java"_s},
                           {u"fields"_s, fields},
                           {u"parameters"_s,
                            QJsonArray{QJsonObject{{u"name"_s, u"Rate"_s},
                                                   {u"class"_s, u"java.lang.Double"_s}}}}}));
}

// The sheet closes while its evaluation is pending: the answer must not reach the state it
// belonged to (run under the sanitizer build too).
TEST(ExpressionEvaluation, AnswerForAClosedSheetIsDropped)
{
    FakeEngine fake({R"({"value":"1"})", R"({"value":"2"})"});
    auto *closed = new ExpressionTestState;
    closed->run(u"1"_s, report(), fake.engine);
    // Without running the event loop, let the request go out and its answer come back: the
    // answer then waits for the main thread while the sheet's state goes away.
    const QDeadlineTimer deadline(std::chrono::seconds(20));
    while (fake.requests().isEmpty() && !deadline.hasExpired())
        QThread::msleep(5);
    QThread::msleep(200);
    delete closed;
    ExpressionTestState open;
    open.run(u"2"_s, report(), fake.engine);
    ASSERT_TRUE(waitFor([&] { return !open.isRunning(); }));
    EXPECT_EQ(open.resultValue(), u"2"_s);
}

TEST(ExpressionEvaluation, RealEngineAddsNumbers)
{
    const SidecarClient::Location location{
        qEnvironmentVariable("QUILLMARK_JAVA", u"/usr/bin/java"_s),
        qEnvironmentVariable("QUILLMARK_SIDECAR_JAR",
                             testsupport::sourceDir() + u"/sidecar/target/sidecar.jar"_s)};
    if (!QFileInfo(location.javaPath).isExecutable() || !QFileInfo::exists(location.jarPath))
        GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping the engine test";
    testsupport::holdEngineSlot();
    QTemporaryDir dir;
    SidecarModel model{PrivateWorkFolder(dir.path())};
    model.setLocationProvider([location] { return location; });
    SidecarExpressionEngine engine(model);
    ExpressionTestState state;
    state.run(u"1 + 2"_s, report(), engine);
    ASSERT_TRUE(waitFor([&] { return !state.isRunning(); }, std::chrono::seconds(90)));
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    EXPECT_EQ(state.resultValue(), u"3"_s);
}

} // namespace
