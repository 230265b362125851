#include "engine/ChildProcesses.h"
#include "../engine/EngineTestSupport.h"
#include "AppTestSupport.h"
#include "DesignerProcess.h"
#include "TestSupport.h"

#include <QFile>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// The programs a designer starts, the engine and the zip tool, end with it however it ends; what a
// designer that is gone left running all the same is ended by the next one to start, and nothing
// of a designer that still runs.
class ChildProcessesTest : public apptest::DesignerSandboxTest {
protected:
    void TearDown() override
    {
        // Nothing a failing test leaves may run on.
        for (const pid_t pid : std::as_const(watched_)) {
            if (ChildProcesses::startTime(pid))
                ::kill(pid, SIGKILL);
        }
        DesignerSandboxTest::TearDown();
    }

    // Kills `pid` when the test ends, if it still runs then.
    pid_t watch(pid_t pid)
    {
        watched_.append(pid);
        return pid;
    }
    static bool ends(pid_t pid)
    {
        return testsupport::waitFor([pid] { return !ChildProcesses::startTime(pid); },
                                    std::chrono::seconds(90));
    }
    QString sharedFolder() const { return path(u"quillmark-%1/Quillmark"_s.arg(::geteuid())); }
    // A program of ours that runs until it is ended, as a child left behind would.
    pid_t startSleeper()
    {
        auto *sleeper = new QProcess;
        sleepers_.emplace_back(sleeper);
        sleeper->start(u"/bin/sleep"_s, {u"600"_s});
        EXPECT_TRUE(sleeper->waitForStarted());
        return watch(pid_t(sleeper->processId()));
    }

    std::vector<std::unique_ptr<QProcess>> sleepers_;

private:
    QList<pid_t> watched_;
};

} // namespace

// Killed during Zip Report Files, with its engine stopped: the zip tool does not go on writing an
// archive into the dead designer's folder, and the engine does not wait there for ever. The next
// designer to start removes that folder.
TEST_F(ChildProcessesTest, AKilledDesignerTakesItsZipAndItsStoppedEngineWithIt)
{
    QUILLMARK_REQUIRE_ENGINE();
    if (!QFile::exists(u"/usr/bin/zip"_s))
        GTEST_SKIP() << "/usr/bin/zip is missing";
    // A folder the tool takes hours over: a terabyte of nothing, which takes no room on disk.
    ASSERT_TRUE(QDir().mkpath(path(u"Big"_s)));
    const QString report = writeReport(u"Big/Sales.jrxml"_s, u"Sales"_s);
    QFile data(path(u"Big/data.bin"_s));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    ASSERT_TRUE(data.resize(qint64(1) << 40));
    data.close();

    qputenv("QUILLMARK_JAVA", location->javaPath.toLocal8Bit());
    apptest::DesignerProcess designer(dir.path());
    designer.start(QStringLiteral(QUILLMARK_DESIGNER_PROBE),
                   {u"zip"_s, report, path(u"Sales.zip"_s)}, location->jarPath);
    ASSERT_TRUE(designer.waitForLine(u"zipping"_s)) << designer.output().join(u'\n').toStdString();
    ASSERT_TRUE(testsupport::waitFor([&] {
        return designer.children().contains(u"zip"_s) && designer.children().contains(u"java"_s);
    }));
    const pid_t zip = watch(designer.children().value(u"zip"_s));
    const pid_t engine = watch(designer.children().value(u"java"_s));
    ASSERT_NE(engine, 0);
    const QStringList folders = QDir(sharedFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);

    ::kill(engine, SIGSTOP);
    ASSERT_TRUE(designer.endWith(SIGKILL));
    EXPECT_TRUE(ends(zip)) << "the zip tool ran on";
    EXPECT_TRUE(ends(engine)) << "the stopped engine stayed";
    EXPECT_FALSE(QFile::exists(path(u"Sales.zip"_s)));

    auto next = launch();
    EXPECT_TRUE(testsupport::waitFor([&] { return !QDir(sharedFolder()).exists(folders.first()); }))
        << "the dead designer's folder, with the zip's leftovers, is gone";
    EXPECT_TRUE(next->endWith(SIGTERM));
}

// What a designer that is gone left running (noted in its work folder) is ended by the next one
// to start; what a running designer started is left alone.
TEST_F(ChildProcessesTest, TheNextStartEndsWhatADeadDesignerLeftRunningAndNothingElse)
{
    auto running = launch();
    const auto folders = [this] {
        return QDir(sharedFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    };
    ASSERT_TRUE(testsupport::waitFor([&] { return folders().size() == 1; }))
        << "the running designer's work folder";
    const QStringList live = folders();
    const pid_t runningsChild = startSleeper();
    ChildProcesses::note(QDir(sharedFolder()).filePath(live.first()), runningsChild);

    // A designer that is gone: its folder is no longer held, and it left a child running.
    const QString dead = QDir(sharedFolder()).filePath(u"session-1-gone"_s);
    ASSERT_TRUE(QDir().mkpath(dead));
    const pid_t leftOver = startSleeper();
    ChildProcesses::note(dead, leftOver);

    auto next = launch();
    EXPECT_TRUE(ends(leftOver));
    EXPECT_TRUE(testsupport::waitFor([&] { return !QDir(dead).exists(); }));
    EXPECT_TRUE(ChildProcesses::startTime(runningsChild)) << "a running designer's child stays";
    EXPECT_TRUE(QDir(sharedFolder()).exists(live.first()));
    EXPECT_TRUE(next->endWith(SIGTERM));
    EXPECT_TRUE(running->endWith(SIGTERM));
}
