#include "SidecarTestHelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>
#include <thread>

using namespace sidecartest;
using namespace std::chrono_literals;

namespace {

QString sendOutcome(SidecarClient &client, std::chrono::milliseconds timeout = 10s)
{
    return outcome([&] { return client.send(QStringLiteral("ping"), {}, timeout); });
}

const QString notRunning = QStringLiteral("notRunning: Sidecar process is not running.");
const QString exited =
    QStringLiteral("processExitedUnexpectedly: Sidecar process exited unexpectedly.");
const QString timedOut = QStringLiteral("timedOut: ") + SidecarError::timedOut().message();

// One echoed request: its "request", "pid" and the rest the fake reports.
QJsonObject ping(SidecarClient &client, const QJsonObject &params = {})
{
    return client.send(QStringLiteral("ping"), params);
}

qint64 idOf(const QJsonObject &echoed)
{
    return echoed[QStringLiteral("request")][QStringLiteral("id")].toInteger();
}

qint64 pidOf(const QJsonObject &echoed)
{
    return echoed[QStringLiteral("pid")].toInteger();
}

QString parserComplaintAboutAnEmptyLine()
{
    QJsonParseError error;
    QJsonDocument::fromJson(QByteArray(), &error);
    return QStringLiteral("other: ") + error.errorString();
}

} // namespace

TEST(SidecarClient, SendsOneCompactLinePerRequestWithIdsFromOne)
{
    SidecarClient client;
    EXPECT_EQ(sendOutcome(client), notRunning);
    EXPECT_FALSE(client.isRunning());

    const FakeScript script({"echo"});
    client.start(script.location());
    EXPECT_TRUE(client.isRunning());
    const QJsonObject params{{QStringLiteral("list"), QJsonArray{1, true, QStringLiteral("é")}},
                             {QStringLiteral("nested"), QJsonObject{{QStringLiteral("k"), 2}}}};
    const QJsonObject result = client.send(QStringLiteral("render"), params);

    // The refused request did not use up an id.
    const QJsonObject expected{{QStringLiteral("id"), 1},
                               {QStringLiteral("cmd"), QStringLiteral("render")},
                               {QStringLiteral("params"), params}};
    EXPECT_EQ(result[QStringLiteral("request")].toObject(), expected);
    EXPECT_FALSE(result[QStringLiteral("line")].toString().contains(u' '));
    const QJsonArray arguments{QStringLiteral("-Djava.awt.headless=true"), QStringLiteral("-jar"),
                               script.path(), QStringLiteral("serve")};
    EXPECT_EQ(result[QStringLiteral("args")].toArray(), arguments);
    EXPECT_TRUE(result[QStringLiteral("sigpipeDefault")].toBool())
        << "the engine must not inherit our ignored SIGPIPE";
    EXPECT_EQ(idOf(ping(client)), 2);
}

TEST(SidecarClient, InterpretsReplies)
{
    const QString parserComplaint = parserComplaintAboutAnEmptyLine();
    const struct {
        QByteArray reply;
        QString expected;
    } cases[] = {
        {R"({"ok":true})", QStringLiteral("ok {}")},
        {R"({"ok":true,"result":[1]})", QStringLiteral("ok {}")},
        {R"({"ok":true,"result":{"pageCount":3,"s":"é"}})",
         QStringLiteral(R"(ok {"pageCount":3,"s":"é"})")},
        {R"({"ok":false,"error":{"message":"m"}})", QStringLiteral("rpcError: m")},
        {R"({"ok":false,"error":{"message":"m","causes":["a","b"]}})",
         QStringLiteral("rpcError: m\na\nb")},
        {R"({"ok":false,"error":{"causes":["a"]}})",
         QStringLiteral("rpcError: Unknown sidecar error\na")},
        {R"({"ok":false,"error":{"message":"m","causes":["a",1]}})", QStringLiteral("rpcError: m")},
        {R"({"ok":"true","result":{"x":1},"error":"e"})",
         QStringLiteral("rpcError: Unknown sidecar error")},
        {R"([1,2])", QStringLiteral("malformedResponse: Malformed response from sidecar: [1,2]")},
        {"", parserComplaint},
        {"{\"ok\":true,\"result\":{\"s\":\"\xff\"}}", parserComplaint},
    };
    QList<QByteArray> actions;
    for (const auto &each : cases)
        actions.append(sendLine(each.reply));
    const FakeScript script(actions);
    SidecarClient client;
    client.start(script.location());
    for (const auto &each : cases)
        EXPECT_EQ(sendOutcome(client), each.expected) << each.reply.constData();
}

TEST(SidecarClient, KeepsASecondLineOfOneReadForTheNextRequest)
{
    const FakeScript script(
        {R"(send {"ok":true,"result":{"n":1}}\n{"ok":true,"result":{"n":2}}\n)", "silent", "echo"});
    SidecarClient client;
    client.start(script.location());
    EXPECT_EQ(sendOutcome(client), QStringLiteral(R"(ok {"n":1})"));
    EXPECT_EQ(sendOutcome(client), QStringLiteral(R"(ok {"n":2})"));
    EXPECT_EQ(idOf(ping(client)), 3);
}

TEST(SidecarClient, TimeOutEndsAndReapsTheProcessAndIdsCarryOn)
{
    // A stubborn engine ignores the polite signal and is killed after the grace period.
    for (const QByteArray &hang : {QByteArrayLiteral("hang"), QByteArrayLiteral("hang-stubborn")}) {
        SCOPED_TRACE(hang.constData());
        const FakeScript script({"echo", hang, "echo"});
        SidecarClient client;
        client.start(script.location());
        const qint64 firstPid = pidOf(ping(client));

        EXPECT_EQ(sendOutcome(client, 300ms), timedOut);
        EXPECT_FALSE(client.isRunning());
        EXPECT_TRUE(isGone(firstPid)) << "the ended engine is reaped at once";
        EXPECT_EQ(sendOutcome(client), notRunning);

        client.start(script.location());
        const QJsonObject fresh = ping(client);
        EXPECT_NE(pidOf(fresh), firstPid);
        EXPECT_EQ(idOf(fresh), 3);
    }
}

TEST(SidecarClient, TimeOutCoversAnEngineThatStopsReading)
{
    // The request is far larger than a pipe holds, so writing it blocks until the deadline.
    const FakeScript script({"hang"});
    SidecarClient client;
    client.start(script.location());
    const QJsonObject params{{QStringLiteral("blob"), QString(4 << 20, u'x')}};
    EXPECT_EQ(outcome([&] { return client.send(QStringLiteral("render"), params, 300ms); }),
              timedOut);
    EXPECT_FALSE(client.isRunning());
}

TEST(SidecarClient, EngineThatExitsMidLineIsReapedAndNotRunning)
{
    const FakeScript script({"echo", R"(exit {"ok":tr)"});
    SidecarClient client;
    client.start(script.location());
    const qint64 pid = pidOf(ping(client));
    EXPECT_EQ(sendOutcome(client), exited);
    EXPECT_TRUE(waitUntilEnded(client));
    EXPECT_TRUE(isGone(pid));
    EXPECT_EQ(sendOutcome(client), notRunning);
}

TEST(SidecarClient, WritingToAnEngineThatClosedItsInputFailsWithoutEndingUs)
{
    // Without SIGPIPE ignored, the second request would end this test program.
    const FakeScript script({R"(close-stdin {"ok":true}\n)"});
    SidecarClient client;
    client.start(script.location());
    EXPECT_EQ(sendOutcome(client), QStringLiteral("ok {}"));
    EXPECT_TRUE(client.isRunning());
    EXPECT_EQ(sendOutcome(client), exited);
}

TEST(SidecarClient, RequestsFromSeveralThreadsTakeTurns)
{
    const FakeScript script({});
    SidecarClient client;
    client.start(script.location());
    constexpr int threads = 4;
    constexpr int perThread = 25;
    QList<qint64> ids[threads];
    int mismatches[threads] = {};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int n = 0; n < perThread; ++n) {
                const QJsonObject params{{QStringLiteral("thread"), t}, {QStringLiteral("n"), n}};
                const QJsonObject echoed = ping(client, params);
                mismatches[t] +=
                    echoed[QStringLiteral("request")][QStringLiteral("params")] != params;
                ids[t].append(idOf(echoed));
            }
        });
    }
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(client.isRunning());
    for (std::thread &worker : workers)
        worker.join();

    QList<qint64> all;
    for (int t = 0; t < threads; ++t) {
        EXPECT_EQ(mismatches[t], 0);
        EXPECT_TRUE(std::is_sorted(ids[t].begin(), ids[t].end()));
        all += ids[t];
    }
    std::sort(all.begin(), all.end());
    QList<qint64> expected;
    for (int id = 1; id <= threads * perThread; ++id)
        expected.append(id);
    EXPECT_EQ(all, expected);
}

TEST(SidecarClient, FailedStartsLeaveTheRunningEngineInPlace)
{
    const FakeScript script({});
    SidecarClient client;
    client.start(script.location());
    const qint64 pid = pidOf(ping(client));

    const QString missingJar = script.path() + QStringLiteral(".missing");
    EXPECT_EQ(outcome([&] {
                  client.start({QStringLiteral(QUILLMARK_FAKE_SIDECAR), missingJar});
                  return QJsonObject();
              }),
              QStringLiteral("jarNotFound: Could not find sidecar.jar at expected path: ") +
                  missingJar + QStringLiteral(". Run `mvn package` in sidecar/ first."));
    const QString launchFailure = outcome([&] {
        client.start({script.path() + QStringLiteral(".nojava"), script.path()});
        return QJsonObject();
    });
    EXPECT_TRUE(launchFailure.startsWith(QStringLiteral("other: "))) << launchFailure.toStdString();
    EXPECT_TRUE(launchFailure.contains(QStringLiteral("No such file")))
        << launchFailure.toStdString();

    EXPECT_EQ(pidOf(ping(client)), pid);
}
