#include "engine/SidecarClient.h"
#include "SidecarTestSupport.h"
#include "TestSupport.h"
#include "engine/RequestCancel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mman.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using sidecartest::exited, sidecartest::inProcessTable, sidecartest::outcome;
using testing::AllOf, testing::EndsWith, testing::HasSubstr, testing::StartsWith;

namespace {

// A client running the fake engine (tools/fakesidecar), whose "jar" is a script of one action per
// request; requests beyond the script are echoed.
struct FakeEngine {
    // With `logRequests`, the fake notes each request it takes (waitForRequests).
    explicit FakeEngine(const QList<QByteArray> &actions, bool logRequests = false)
    {
        QFile file(location.jarPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (const QByteArray &action : actions)
            file.write(action + '\n');
        file.close();
        client.setWorkFolder(dir.path());
        client.setTerminationGrace(200ms);
        if (logRequests)
            qputenv("FAKESIDECAR_REQUEST_LOG", dir.filePath(u"requests"_s).toLocal8Bit());
        client.start(location);
        qunsetenv("FAKESIDECAR_REQUEST_LOG");
    }
    // Whether the fake has taken `count` requests in all, waiting for them a while.
    bool waitForRequests(qsizetype count)
    {
        return testsupport::waitFor([&] {
            QFile file(dir.filePath(u"requests"_s));
            return file.open(QIODevice::ReadOnly) && file.readAll().count('\n') == count;
        });
    }
    QString send()
    {
        return outcome([&] { return client.send(u"ping"_s, {}); });
    }
    // The id and the process id the fake echoes for one request.
    std::pair<qint64, qint64> ping()
    {
        const QJsonObject echoed = client.send(u"ping"_s, {});
        return {echoed[u"request"_s][u"id"_s].toInteger(), echoed[u"pid"_s].toInteger()};
    }

    QTemporaryDir dir;
    const SidecarClient::Location location{QStringLiteral(QUILLMARK_FAKE_SIDECAR),
                                           dir.filePath(u"script"_s)};
    std::unique_ptr<SidecarClient> owned = std::make_unique<SidecarClient>();
    SidecarClient &client = *owned;
};

const QString notRunning = u"notRunning: Sidecar process is not running."_s;

// A request refused because an earlier one, `what`, ran out of time and ended the engine.
QString endedAfterTimeOut(const QString &what)
{
    return u"endedAfterTimeOut: This did not run: the report engine was busy with an earlier "
           u"request ("_s +
           what + u"), which ran out of time, and the engine was restarted for it. Try again."_s;
}

} // namespace

TEST(SidecarClient, SendsNumberedRequestsOneAtATimeAndSurvivesAFailedStart)
{
    FakeEngine fake({});
    const QJsonObject params{{u"list"_s, QJsonArray{1, true, u"é"_s}},
                             {u"nested"_s, QJsonObject{{u"k"_s, 2}}}};
    const QJsonObject echoed = fake.client.send(u"render"_s, params);
    EXPECT_EQ(echoed[u"request"_s].toObject(),
              (QJsonObject{{u"id"_s, 1}, {u"cmd"_s, u"render"_s}, {u"params"_s, params}}));
    // The runtime's own output goes to standard error and its crash log to the work folder.
    EXPECT_EQ(
        echoed[u"args"_s].toArray(),
        (QJsonArray{u"-Djava.awt.headless=true"_s, u"-XX:+DisplayVMOutputToStderr"_s,
                    QString(u"-XX:ErrorFile="_s + fake.dir.filePath(u"engine-crash-%p.log"_s)),
                    u"-jar"_s, fake.location.jarPath, u"serve"_s}));
    EXPECT_TRUE(echoed[u"sigpipeDefault"_s].toBool()) << "the engine must not inherit our SIG_IGN";
    EXPECT_EQ(echoed[u"signalsBlocked"_s].toInt(-1), 0) << "nor any signal blocked";

    // Requests from several threads take turns: each gets its own reply and id.
    std::atomic<int> mismatches = 0;
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < 4; ++t) {
            workers.emplace_back([&, t] {
                for (int n = 0; n < 25; ++n) {
                    const QJsonObject sent{{u"thread"_s, t}, {u"n"_s, n}};
                    mismatches +=
                        fake.client.send(u"ping"_s, sent)[u"request"_s][u"params"_s] != sent;
                }
            });
        }
    }
    EXPECT_EQ(mismatches, 0);

    // A failed start leaves the running engine in place.
    const auto start = [&](const QString &java, const QString &jar) {
        return outcome([&] {
            fake.client.start({java, jar});
            return QJsonObject();
        });
    };
    const QString missingJar = fake.location.jarPath + u".missing";
    EXPECT_EQ(start(fake.location.javaPath, missingJar),
              u"jarNotFound: Could not find sidecar.jar at expected path: "_s + missingJar +
                  u". Run `mvn package` in sidecar/ first.");
    const QString missingJava = fake.location.jarPath + u".nojava";
    EXPECT_EQ(start(missingJava, fake.location.jarPath),
              u"javaNotFound: Could not find Java at expected path: "_s + missingJava +
                  u". Install a Java runtime (17 or later), or set QUILLMARK_JAVA to the path of "
                  u"its java program.");
    // A jar or Java named by the environment is named so; a path that is no program says what
    // to do.
    EXPECT_EQ(outcome([&] {
                  fake.client.start(
                      {fake.location.javaPath, missingJar, {}, {}, u"QUILLMARK_SIDECAR_JAR"_s});
                  return QJsonObject();
              }),
              u"jarNotFound: Could not find sidecar.jar at "_s + missingJar +
                  u", the path that QUILLMARK_SIDECAR_JAR names. Set QUILLMARK_SIDECAR_JAR to the "
                  u"path of the report engine's sidecar.jar, or unset it to use the one that comes "
                  u"with Quillmark.");
    EXPECT_EQ(outcome([&] {
                  fake.client.start({missingJava, fake.location.jarPath, {}, u"QUILLMARK_JAVA"_s});
                  return QJsonObject();
              }),
              u"javaNotFound: Could not find Java at "_s + missingJava +
                  u", the path that QUILLMARK_JAVA names. Set QUILLMARK_JAVA to the path of a "
                  u"java program (Java 17 or later), or unset it to use /usr/bin/java.");
    EXPECT_EQ(start(fake.dir.path(), fake.location.jarPath),
              u"engineUnusable: The Java program "_s + fake.dir.path() +
                  u" cannot be run (permission denied): it is no program, or not one this user "
                  u"may run. Install a Java runtime (17 or later), or set QUILLMARK_JAVA to the "
                  u"path of its java program.");
    const auto [id, pid] = fake.ping();
    EXPECT_EQ(id, 102);
    EXPECT_EQ(pid, echoed[u"pid"_s].toInteger());
}

// Starting the engine makes no copy of us: a child made as one would leave every page we had
// written shared with it and write-protected, to be taken back by a fault at our next write of
// it (tens of thousands in the designer, while its window is painted).
TEST(SidecarClient, StartingTheEngineLeavesOurMemoryAsItWas)
{
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t pages = 16384;
    void *mapped =
        ::mmap(nullptr, pages * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const auto unmap = qScopeGuard([&] { ::munmap(mapped, pages * page); });
    ::madvise(mapped, pages * page, MADV_NOHUGEPAGE); // faults are counted page by page
    auto *bytes = static_cast<volatile char *>(mapped);
    const auto writeEveryPage = [&](char value) {
        for (std::size_t i = 0; i < pages; ++i)
            bytes[i * page] = value;
    };
    const auto faults = [] {
        rusage usage = {};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_minflt;
    };
    writeEveryPage(1);
    FakeEngine fake({});
    EXPECT_EQ(fake.send().left(3), u"ok "_s);
    const long before = faults();
    writeEveryPage(2);
    EXPECT_LT(faults() - before, long(pages / 10)) << "the start made a copy of us";
}

TEST(SidecarClient, InterpretsRepliesAndKeepsASecondLineOfOneReadForTheNextRequest)
{
    QJsonParseError emptyLine;
    QJsonDocument::fromJson(QByteArray(), &emptyLine);
    const QString parserComplaint = u"other: "_s + emptyLine.errorString();
    // Each action of the fake answers one request.
    const std::pair<QByteArray, QString> cases[] = {
        {R"(send {"id":$ID,"ok":true,"result":{"n":1}}\n{"id":$NEXT,"ok":true,"result":{"n":2}}\n)",
         R"(ok {"n":1})"},
        {"silent", R"(ok {"n":2})"},
        {R"(send {"id":$ID,"ok":true}\n)", "ok {}"},
        {R"(send {"id":$ID,"ok":true,"result":[1]}\n)", "ok {}"},
        {R"(send {"id":$ID,"ok":true,"result":{"pageCount":3,"s":"é"}}\n)",
         R"(ok {"pageCount":3,"s":"é"})"},
        {R"(send {"id":$ID,"ok":false,"error":{"message":"m"}}\n)", "rpcError: m"},
        {R"(send {"id":$ID,"ok":false,"error":{"message":"m","causes":["a","b"]}}\n)",
         "rpcError: m\na\nb"},
        {R"(send {"id":$ID,"ok":false,"error":{"causes":["a"]}}\n)",
         "rpcError: Unknown sidecar error\na"},
        {R"(send {"id":$ID,"ok":false,"error":{"message":"m","causes":["a",1]}}\n)", "rpcError: m"},
        {R"(send {"id":$ID,"ok":"true","result":{"x":1},"error":"e"}\n)",
         "rpcError: Unknown sidecar error"},
        // A damaged reply that begins with our id fails our request as what it is.
        {R"(send {"id":$ID,"ok":tr\n)", parserComplaint},
        {R"(send {"id":$ID,"ok":true,"result":{"s":"\xff"}}\n)", parserComplaint}, // not UTF-8
    };
    QList<QByteArray> actions;
    for (const auto &[action, expected] : cases)
        actions.append(action);
    FakeEngine fake(actions);
    for (const auto &[action, expected] : cases)
        EXPECT_EQ(fake.send(), expected) << action.constData();
}

TEST(SidecarClient, TimeOutEndsAndReapsTheEngineAndIdsCarryOnInTheNextOne)
{
    // An engine that answers nothing, and one that stops reading, so that a request larger than a
    // pipe holds cannot even be written, and ignores the polite signal to end.
    const std::pair<QByteArray, int> cases[] = {{"hang", 1}, {"hang-stubborn", 4 << 20}};
    for (const auto &[hang, size] : cases) {
        SCOPED_TRACE(hang.constData());
        FakeEngine fake({"echo", hang, "echo"});
        const qint64 firstPid = fake.ping().second;
        const QJsonObject params{{u"blob"_s, QString(size, u'x')}};
        EXPECT_EQ(outcome([&] { return fake.client.send(u"render"_s, params, 300ms); }),
                  u"timedOut: "_s + SidecarError::timedOut().message());
        EXPECT_FALSE(fake.client.isRunning());
        EXPECT_TRUE(!inProcessTable(firstPid)) << "the ended engine is reaped at once";
        EXPECT_EQ(fake.send(), endedAfterTimeOut(u"a preview"_s)) << "until the next start";
        fake.client.start(fake.location);
        const auto [id, pid] = fake.ping();
        EXPECT_NE(pid, firstPid);
        EXPECT_EQ(id, 3) << "neither a refused request nor a new process resets the ids";
    }
}

// A request that waits its turn while the one on its way runs out of time (a preview pressed
// during an expression's test that never ends) says why it did not run.
TEST(SidecarClient, ARequestWaitingWhileAnotherRunsOutOfTimeSaysWhyItDidNotRun)
{
    FakeEngine fake({"echo", "spin"}, true);
    fake.ping();
    QString test;
    std::thread first(
        [&] { test = outcome([&] { return fake.client.send(u"evaluateExpression"_s, {}, 2s); }); });
    ASSERT_TRUE(fake.waitForRequests(2));
    const QString preview = outcome([&] { return fake.client.send(u"render"_s, {}); });
    first.join();
    EXPECT_EQ(test, u"timedOut: "_s + SidecarError::timedOut().message());
    EXPECT_EQ(preview, endedAfterTimeOut(u"an expression's test"_s));
    fake.client.start(fake.location);
    EXPECT_TRUE(fake.send().startsWith(u"ok "_s)) << "a start clears it";
}

TEST(SidecarClient, AnEngineThatDiesFailsTheRequestWithoutEndingUsAndIsReaped)
{
    FakeEngine midLine({"echo", R"(exit {"ok":tr)"});
    const qint64 pid = midLine.ping().second;
    EXPECT_EQ(midLine.send(), exited);
    for (int i = 0; i < 500 && midLine.client.isRunning(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(!inProcessTable(pid));
    EXPECT_EQ(midLine.send(), notRunning);

    // Writing to one that closed its input would end this program if SIGPIPE were not ignored.
    FakeEngine closedInput({R"(close-stdin {"id":$ID,"ok":true}\n)"});
    EXPECT_EQ(closedInput.send(), u"ok {}");
    EXPECT_TRUE(closedInput.client.isRunning());
    EXPECT_EQ(closedInput.send(), exited);
}

TEST(SidecarLocation, PrefersABundleThenLooksBesideTheWorkingDirectoryUnlessOverridden)
{
    QTemporaryDir dir;
    const QString both = dir.filePath(u"both"_s);
    const QString javaOnly = dir.filePath(u"java-only"_s);
    const QString jarOnly = dir.filePath(u"jar-only"_s);
    for (const QString &path :
         QStringList{both + u"/jre/bin/java", both + u"/sidecar.jar", javaOnly + u"/jre/bin/java",
                     jarOnly + u"/sidecar.jar"}) {
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    }
    // Java and the jar, as "<java> <jar>", for the surroundings.
    const auto find = [](const QString &resources, const QString &workingDir,
                         std::optional<QString> java = {}, std::optional<QString> jar = {}) {
        const auto found = SidecarClient::defaultLocation({java, jar, resources, workingDir});
        return QString(found.javaPath + u' ' + found.jarPath);
    };
    const QString inProject = u"/usr/bin/java /w/proj/sidecar/target/sidecar.jar"_s;
    EXPECT_EQ(find({}, u"/w/proj"_s), inProject);
    EXPECT_EQ(find({}, u"/w/app"_s), u"/usr/bin/java /w/sidecar/target/sidecar.jar"_s);
    EXPECT_EQ(find({}, u"/w/webapp"_s), u"/usr/bin/java /w/webapp/sidecar/target/sidecar.jar"_s);
    EXPECT_EQ(find(both, u"/w/proj"_s), both + u"/jre/bin/java " + both + u"/sidecar.jar");
    EXPECT_EQ(find(both, u"/w/proj"_s, u""_s, u"/missing.jar"_s), u" /missing.jar"_s);
    EXPECT_EQ(find(javaOnly, u"/w/proj"_s), inProject);
    // An installed jar without its own Java runs on the system's.
    EXPECT_EQ(find(jarOnly, u"/w/proj"_s), u"/usr/bin/java "_s + jarOnly + u"/sidecar.jar");

    // The environment overrides even when set but empty; both variables are restored at the end.
    struct Saved {
        const char *name;
        std::optional<QByteArray> value =
            qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        ~Saved() { value ? void(qputenv(name, *value)) : void(qunsetenv(name)); }
    } java{"QUILLMARK_JAVA"}, jar{"QUILLMARK_SIDECAR_JAR"};
    qputenv(java.name, QByteArray());
    qunsetenv(jar.name);
    const SidecarClient::Location found = SidecarClient::defaultLocation();
    EXPECT_EQ(found.javaPath, QString());
    EXPECT_THAT(found.jarPath.toStdString(), EndsWith("/sidecar/target/sidecar.jar"));
    // Started from a folder without the jar, this test program still looks in the checkout it
    // was built in (build/tests/<program>).
    {
        const QString workingDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const SidecarClient::Location elsewhere = SidecarClient::defaultLocation();
        QDir::setCurrent(workingDir);
        const QString checkoutJar = QDir::cleanPath(QStringLiteral(QUILLMARK_BINARY_DIR) +
                                                    u"/../sidecar/target/sidecar.jar");
        if (QFileInfo::exists(checkoutJar))
            EXPECT_EQ(elsewhere.jarPath, checkoutJar);
        else
            EXPECT_TRUE(elsewhere.jarPlaces.contains(checkoutJar))
                << elsewhere.jarPlaces.join(u' ').toStdString();
    }
    EXPECT_EQ(found.javaNamedBy, u"QUILLMARK_JAVA"_s) << "so that messages name it";
    EXPECT_EQ(found.jarNamedBy, QString());
    qputenv(jar.name, "/elsewhere/engine.jar");
    EXPECT_EQ(SidecarClient::defaultLocation().jarPath, u"/elsewhere/engine.jar"_s);
    EXPECT_EQ(SidecarClient::defaultLocation().jarNamedBy, u"QUILLMARK_SIDECAR_JAR"_s);
    qunsetenv(java.name);
    EXPECT_EQ(SidecarClient::defaultLocation().javaNamedBy, QString());
}

TEST(SidecarLocation, FindsTheJarInEachPlaceFromAnyFolderAndNamesEveryPlaceWhenNoneHoldsIt)
{
    QTemporaryDir tree;
    const auto at = [&](const QString &relative) { return tree.filePath(relative); };
    for (const QString &file :
         {u"installed/share/quillmark/sidecar.jar"_s, u"bundled/share/quillmark/sidecar.jar"_s,
          u"bundled/share/quillmark/jre/bin/java"_s, u"checkout/sidecar/target/sidecar.jar"_s,
          u"project/sidecar/target/sidecar.jar"_s}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(at(file)).path()));
        ASSERT_TRUE(QFile(at(file)).open(QIODevice::WriteOnly));
    }
    for (const QString &folder : {u"installed/bin"_s, u"bundled/bin"_s, u"checkout/build/src"_s,
                                  u"plain/bin"_s, u"elsewhere"_s, u"project/app"_s})
        ASSERT_TRUE(QDir().mkpath(at(folder)));
    // Surroundings as defaultLocation() gathers them for a program in `programDir`.
    const auto lookup = [&](const QString &programDir, const QString &workingDir) {
        SidecarClient::Surroundings surroundings;
        surroundings.executableDir = at(programDir);
        surroundings.resourcesDir = QDir::cleanPath(at(programDir) + u"/../share/quillmark");
        surroundings.workingDir = at(workingDir);
        return SidecarClient::defaultLocation(surroundings);
    };
    const auto found = [&](const QString &java, const QString &jar) {
        return SidecarClient::Location{java.startsWith(u'/') ? java : at(java), at(jar), {}};
    };
    const QString systemJava = u"/usr/bin/java"_s;

    // Each supported place, from a working directory that holds no jar.
    EXPECT_EQ(lookup(u"installed/bin"_s, u"elsewhere"_s),
              found(systemJava, u"installed/share/quillmark/sidecar.jar"_s));
    EXPECT_EQ(
        lookup(u"bundled/bin"_s, u"elsewhere"_s),
        found(u"bundled/share/quillmark/jre/bin/java"_s, u"bundled/share/quillmark/sidecar.jar"_s));
    EXPECT_EQ(lookup(u"checkout/build/src"_s, u"elsewhere"_s),
              found(systemJava, u"checkout/sidecar/target/sidecar.jar"_s));
    EXPECT_EQ(lookup(u"plain/bin"_s, u"project"_s),
              found(systemJava, u"project/sidecar/target/sidecar.jar"_s));
    EXPECT_EQ(lookup(u"plain/bin"_s, u"project/app"_s),
              found(systemJava, u"project/sidecar/target/sidecar.jar"_s));
    // The program's own places come before the working directory's.
    EXPECT_EQ(lookup(u"checkout/build/src"_s, u"project"_s),
              found(systemJava, u"checkout/sidecar/target/sidecar.jar"_s));
    EXPECT_EQ(lookup(u"installed/bin"_s, u"project"_s),
              found(systemJava, u"installed/share/quillmark/sidecar.jar"_s));

    // Nowhere: every place is named once, in the order looked at, and the start says so.
    const SidecarClient::Location nowhere = lookup(u"plain/bin"_s, u"elsewhere"_s);
    const QStringList places{at(u"plain/share/quillmark/sidecar.jar"_s),
                             tree.path() + u"/sidecar/target/sidecar.jar",
                             at(u"elsewhere/sidecar/target/sidecar.jar"_s)};
    EXPECT_EQ(nowhere.jarPlaces, places);
    EXPECT_EQ(nowhere.jarPath, places.last());
    SidecarClient client;
    EXPECT_EQ(outcome([&] {
                  client.start(nowhere);
                  return QJsonObject();
              }),
              u"jarNotFound: Could not find sidecar.jar at any of the expected paths:\n"_s +
                  places.join(u'\n') +
                  u"\nRun `mvn package` in sidecar/ first, or set QUILLMARK_SIDECAR_JAR to the "
                  u"jar's path.");
    // A checkout started from its own folder looks there once.
    const SidecarClient::Location inCheckout = lookup(u"plain/build/src"_s, u"plain"_s);
    EXPECT_EQ(inCheckout.jarPlaces, (QStringList{at(u"plain/build/share/quillmark/sidecar.jar"_s),
                                                 at(u"plain/sidecar/target/sidecar.jar"_s)}));
}

TEST(SidecarClient, ARequestWithoutAnEngineSaysWhyTheLastStartFailed)
{
    FakeEngine fake({"echo", "exit"});
    const auto start = [&](const SidecarClient::Location &location) {
        try {
            fake.client.start(location);
        } catch (const std::exception &) {
        }
    };
    const SidecarClient::Location noJar{fake.location.javaPath, fake.dir.filePath(u"no.jar"_s)};
    const SidecarClient::Location noJava{fake.dir.filePath(u"no-java"_s), fake.location.jarPath};
    fake.ping();
    EXPECT_EQ(fake.send(), exited);
    EXPECT_EQ(fake.send(), notRunning) << "an engine that said nothing adds nothing";
    start(noJar);
    EXPECT_EQ(fake.send(), u"jarNotFound: "_s + SidecarError::jarNotFound(noJar.jarPath).message());
    start(noJava);
    EXPECT_EQ(fake.send(),
              u"javaNotFound: "_s + SidecarError::javaNotFound(noJava.javaPath).message());
    EXPECT_EQ(fake.send(),
              u"javaNotFound: "_s + SidecarError::javaNotFound(noJava.javaPath).message())
        << "every request says so until a start succeeds";
    fake.client.start(fake.location);
    EXPECT_EQ(fake.ping().first, 3) << "refused requests take no id";
}

TEST(SidecarClient, AnEngineThatEndsByItselfSaysWhatJavaWroteLast)
{
    // The runtime's lines reach our standard error as they are; the error keeps the last twenty
    // lines that are not stack frames.
    QByteArray said;
    for (int n = 1; n <= 24; ++n)
        said += "noise " + QByteArray::number(n) + "\\n";
    said += "Exception in thread \\\"main\\\" java.lang.IllegalStateException: no fonts\\n"
            "\tat sidecar.Main.main(Main.java:12)\\n"
            "Caused by: java.io.IOException: disk full\\n"
            "\t... 3 more\\n";
    FakeEngine fake({"once:complain " + said});
    testing::internal::CaptureStderr();
    const QString failed = fake.send();
    const std::string passedOn = testing::internal::GetCapturedStderr();
    EXPECT_THAT(passedOn, HasSubstr("noise 1\n"));
    EXPECT_THAT(passedOn, HasSubstr("\tat sidecar.Main.main(Main.java:12)\n"));
    QStringList last;
    for (int n = 7; n <= 24; ++n)
        last.append(u"noise "_s + QString::number(n));
    last.append(u"Exception in thread \"main\" java.lang.IllegalStateException: no fonts"_s);
    last.append(u"Caused by: java.io.IOException: disk full"_s);
    const QString words = u" Java reported:\n"_s + last.join(u'\n');
    EXPECT_EQ(failed, exited + words);
    EXPECT_EQ(fake.send(), notRunning + words) << "until the next start";
    fake.client.start(fake.location);
    EXPECT_EQ(fake.ping().first, 2);
}

TEST(SidecarClient, AnEngineThatEndsQuotesOnlyWhatItWroteSinceTheFailingRequestWasSent)
{
    // The warnings of earlier requests, even the one just before, belong to those requests.
    FakeEngine fake({R"(warn WARNING: font "Serif" substituted\n)", "echo",
                     R"(warn Error: query took long\n)",
                     R"(complain Exception: out of memory\nCaused by: heap full\n)"});
    fake.ping();
    fake.ping();
    fake.ping();
    const QString words = u" Java reported:\nException: out of memory\nCaused by: heap full"_s;
    EXPECT_EQ(fake.send(), exited + words);
    EXPECT_EQ(fake.send(), notRunning + words) << "until the next start";

    // An engine that said nothing during the failing request adds nothing of before.
    FakeEngine quiet({R"(warn Error: query took long\n)", "exit"});
    quiet.ping();
    EXPECT_EQ(quiet.send(), exited);
}

// A program in the engine's place that writes something else first is said to be no engine at
// once, not after the time limit; its lines after a first reply are skipped as noise.
TEST(SidecarClient, AFirstLineThatIsNoReplyIsSaidToBeNoEngine)
{
    FakeEngine fake({"send Usage: report-tool [options] FILE\\n", "echo"});
    fake.client.setTerminationGrace(10min); // the request must not wait for its end
    const SidecarClient::Location named{
        fake.location.javaPath, fake.location.jarPath, {}, {}, u"QUILLMARK_SIDECAR_JAR"_s};
    fake.client.start(named);
    EXPECT_EQ(outcome([&] { return fake.client.send(u"render"_s, {}, 10min); }),
              u"engineUnusable: The jar "_s + fake.location.jarPath +
                  u", the path that QUILLMARK_SIDECAR_JAR names, is not the report engine: the "
                  u"first line it wrote, \"Usage: report-tool [options] FILE\", is no reply of "
                  u"the report engine's. Set QUILLMARK_SIDECAR_JAR to the report engine's "
                  u"sidecar.jar, or unset it to use the one that comes with Quillmark.");
    EXPECT_FALSE(fake.client.isRunning()) << "it is let go";
}

TEST(SidecarClient, SkipsLinesThatAnswerNoRequestAndReportsEachOnce)
{
    FakeEngine fake({"echo", R"(send runtime noise\n\n[1,2]\n{"id":1,"ok":true}\n)"
                             R"({"id":$ID,"ok":true,"result":{"n":2}}\n)"});
    fake.ping();
    testing::internal::CaptureStdout();
    EXPECT_EQ(fake.send(), R"(ok {"n":2})");
    const QString report = QString::fromStdString(testing::internal::GetCapturedStdout());
    EXPECT_EQ(report.count(u"answers no request"_s), 4) << report.toStdString();
    EXPECT_THAT(report.toStdString(), HasSubstr("runtime noise"));
    // Every later reply lands on its own request.
    for (qint64 expected = 3; expected < 6; ++expected)
        EXPECT_EQ(fake.ping().first, expected);
}

TEST(SidecarClient, AnEndlessReplyLineIsCutAtTheLimitAndTheEngineStartedAfresh)
{
    FakeEngine fake({"echo", "once:flood"});
    const qint64 firstPid = fake.ping().second;
    EXPECT_THAT(fake.send().toStdString(),
                StartsWith("rpcError: The result is too large to show: the engine's answer is "
                           "over 64 MB."));
    EXPECT_FALSE(inProcessTable(firstPid));
    const auto [id, pid] = fake.ping();
    EXPECT_EQ(id, 3);
    EXPECT_NE(pid, firstPid);
}

TEST(SidecarClient, AnEngineBusyForeverEndsWhenTheClientIsReleasedOrRestarted)
{
    for (const bool restart : {false, true}) {
        SCOPED_TRACE(restart ? "restarted" : "released");
        // The fake takes the request and then ignores its input and the polite signal to end.
        auto fake = std::make_unique<FakeEngine>(QList<QByteArray>{"echo", "spin"});
        const qint64 pid = fake->ping().second;
        SidecarClient *client = &fake->client;
        QString waiting;
        std::thread request([&] { waiting = outcome([&] { return client->send(u"x"_s, {}); }); });
        std::this_thread::sleep_for(100ms);
        if (restart) {
            client->start(fake->location);
            EXPECT_NE(fake->ping().second, pid);
        } else {
            fake->owned.reset();
        }
        request.join();
        EXPECT_EQ(waiting, exited);
        EXPECT_FALSE(inProcessTable(pid));
    }
}

TEST(SidecarClient, ShutdownFailsThePendingAndTheQueuedRequestsAndStartsNothingAgain)
{
    // The fake takes the first request and never answers, ignoring its input and SIGTERM.
    FakeEngine fake({"echo", "spin"});
    fake.client.setTerminationGrace(10s); // shutting down does not wait that long
    const qint64 pid = fake.ping().second;
    QString pending;
    QString queued;
    std::thread first([&] { pending = outcome([&] { return fake.client.send(u"x"_s, {}); }); });
    std::this_thread::sleep_for(100ms);
    std::thread second([&] { queued = outcome([&] { return fake.client.send(u"y"_s, {}); }); });
    std::this_thread::sleep_for(50ms);

    const auto before = std::chrono::steady_clock::now();
    fake.client.shutdown();
    first.join();
    second.join();
    EXPECT_LT(std::chrono::steady_clock::now() - before,
              SidecarClient::shutdownGrace + std::chrono::milliseconds(500));
    EXPECT_EQ(pending, exited);
    EXPECT_EQ(queued, notRunning);
    EXPECT_FALSE(inProcessTable(pid)) << "the engine is ended and reaped";
    EXPECT_FALSE(fake.client.isRunning());
    EXPECT_EQ(outcome([&] {
                  fake.client.start(fake.location);
                  return QJsonObject();
              }),
              notRunning);
    EXPECT_FALSE(fake.client.isRunning());
}

// A request can be called off from another thread: one on its way fails and its engine is let go
// at once (and killed when it does not end by itself), one waiting its turn is never sent, and the
// next request runs on a new engine without waiting for the old one to end.
TEST(SidecarClient, ACancelledRequestLetsItsEngineGoAndTheNextRunsOnANewOne)
{
    // The fake takes the second request and never answers, ignoring its input and SIGTERM.
    FakeEngine fake({"echo", "spin"}, true);
    fake.client.setTerminationGrace(10min); // the next request must not wait for that
    const qint64 pid = fake.ping().second;
    const auto cancel = std::make_shared<RequestCancel>();
    QString pending;
    std::thread first([&] {
        pending = outcome([&] { return fake.client.send(u"render"_s, {}, 10min, cancel); });
    });
    ASSERT_TRUE(fake.waitForRequests(2));
    QString queued;
    const auto queuedCancel = std::make_shared<RequestCancel>();
    std::thread second([&] {
        queued = outcome([&] { return fake.client.send(u"y"_s, {}, 10min, queuedCancel); });
    });
    fake.client.cancel(*queuedCancel);
    fake.client.cancel(*cancel);
    EXPECT_FALSE(fake.client.isRunning()) << "let go at once";
    second.join();
    EXPECT_EQ(queued, u"cancelled: "_s + SidecarError::cancelled().message());

    fake.client.start(fake.location);
    const auto [id, newPid] = fake.ping();
    EXPECT_NE(newPid, pid);
    EXPECT_EQ(id, 3) << "the request waiting its turn was never sent";
    EXPECT_TRUE(pending.isEmpty()) << "the stubborn engine is still being ended";
    EXPECT_TRUE(inProcessTable(pid));
    ::kill(pid_t(pid), SIGKILL); // the end of the grace period
    first.join();
    EXPECT_EQ(pending, u"cancelled: "_s + SidecarError::cancelled().message());
    EXPECT_FALSE(inProcessTable(pid)) << "reaped";
}
