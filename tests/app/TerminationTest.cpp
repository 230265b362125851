#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/CrashDetection.h"

#include <QProcess>
#include <QSettings>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// The program itself, run offscreen with its settings in the sandbox and no engine.
class TerminationTest : public apptest::SandboxTest {
protected:
    void launch(const QString &report)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, dir.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, dir.path());
        environment.insert(u"TMPDIR"_s, dir.path());
        environment.insert(u"QUILLMARK_SIDECAR_JAR"_s, path(u"no-sidecar.jar"_s));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(QUILLMARK_PROGRAM), {report});
        ASSERT_TRUE(program.waitForStarted());
    }
    // The settings as the program wrote them.
    QVariant stored(const QString &key) const
    {
        return QSettings(path(u"Quillmark/Quillmark.conf"_s), QSettings::IniFormat).value(key);
    }
    // Once the program has opened `report` it lists it among the recent files.
    bool waitUntilOpened(const QString &report)
    {
        return testsupport::waitFor(
                   [&] {
                       return program.state() == QProcess::NotRunning ||
                              stored(u"recentFilePaths"_s).toStringList().contains(report);
                   },
                   std::chrono::seconds(120)) &&
               program.state() == QProcess::Running;
    }
    void endWith(int signal)
    {
        ::kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(60000));
    }

    QProcess program;
};

} // namespace

// A logout or a shutdown ends the program with SIGTERM: that is a quit, which stores the open
// tabs and counts as a clean end, so the next launch asks nothing. A session that really ends
// abruptly is still seen.
TEST_F(TerminationTest, SigtermIsAQuitAndTheNextLaunchShowsNoCrashPrompt)
{
    const QString report = writeReport(u"Sales.jrxml"_s, u"Sales"_s);
    launch(report);
    ASSERT_TRUE(waitUntilOpened(report));
    endWith(SIGTERM);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(stored(u"lastOpenTabPaths"_s).toStringList(), QStringList{report});
    EXPECT_EQ(stored(u"hadCleanShutdown"_s).toBool(), true);
    EXPECT_FALSE(CrashDetection::checkPreviousSessionAndArmForThisOne());
    EXPECT_EQ(QDir(path(u"quillmark-%1/Quillmark"_s.arg(::geteuid())))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList())
        << "the work folder of the process went with it";

    launch(report);
    ASSERT_TRUE(waitUntilOpened(report));
    endWith(SIGKILL);
    EXPECT_TRUE(CrashDetection::checkPreviousSessionAndArmForThisOne());
}
