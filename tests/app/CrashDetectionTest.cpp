#include "app/CrashDetection.h"
#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/CrashSignalHandler.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/UrlOpener.h"

#include <QFile>
#include <QSettings>
#include <csignal>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

class CrashDetectionTest : public apptest::SandboxTest {
protected:
    void setMarkers(const QVariant &launchedBefore, const QVariant &cleanShutdown)
    {
        QSettings settings;
        settings.clear();
        if (launchedBefore.isValid())
            settings.setValue(CrashDetection::hasLaunchedBeforeKey, launchedBefore);
        if (cleanShutdown.isValid())
            settings.setValue(CrashDetection::hadCleanShutdownKey, cleanShutdown);
    }
    QString touch(const QString &name, qint64 secondsAgo)
    {
        QDir().mkpath(path(u"logs"_s));
        const QString file = writeText(u"logs/"_s + name, "log");
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                      QFileDevice::FileModificationTime);
        return file;
    }

    // A launch: the markers are read and armed, then the prompt follows.
    void prompt(ScriptedDialogs &dialogs, RecordingUrlOpener &opener) const
    {
        CrashDetection::promptIfNeeded(CrashDetection::checkPreviousSessionAndArmForThisOne(),
                                       dialogs, opener, version, &context);
    }

    const VersionInfo version{u"1.4.2"_s, u"7"_s, u"Debian GNU/Linux 12 (bookworm)"_s};
    QObject context;
};

TEST_F(CrashDetectionTest, AnUncleanExitIsSeenOnceTheProgramHasLaunchedBefore)
{
    struct Case {
        QVariant launchedBefore, cleanShutdown;
        bool crashed;
    };
    const Case cases[] = {
        {{}, {}, false},        // the first launch ever
        {true, true, false},    // after an orderly quit
        {true, false, true},    // after a kill
        {u"true"_s, {}, true},  // read from text; a missing marker reads as false
        {true, u"yes"_s, true}, // not a Boolean: false
    };
    for (const Case &c : cases) {
        setMarkers(c.launchedBefore, c.cleanShutdown);
        EXPECT_EQ(CrashDetection::checkPreviousSessionAndArmForThisOne(), c.crashed)
            << c.launchedBefore.toString().toStdString()
            << c.cleanShutdown.toString().toStdString();
        // Armed, and on disk at once.
        QFile file(QSettings().fileName());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray stored = file.readAll();
        EXPECT_TRUE(stored.contains("hasLaunchedBefore=true")) << stored.toStdString();
        EXPECT_TRUE(stored.contains("hadCleanShutdown=false")) << stored.toStdString();
    }
    CrashDetection::markCleanShutdown();
    EXPECT_FALSE(CrashDetection::checkPreviousSessionAndArmForThisOne());
}

TEST_F(CrashDetectionTest, TheNewestLogOfTheLastDayIsNamed)
{
    const QString folder = path(u"logs"_s);
    EXPECT_EQ(CrashDetection::mostRecentCrashLogPath(folder, QDateTime::currentDateTime()),
              std::nullopt)
        << "no folder";
    touch(u"Quillmark-2.crash"_s, 30 * 3600);
    EXPECT_EQ(CrashDetection::mostRecentCrashLogPath(folder, QDateTime::currentDateTime()),
              std::nullopt)
        << "only an old log";
    const QString recent = touch(u"Quillmark-1.crash"_s, 3600);
    touch(u"quillmark-3.crash"_s, 60); // another letter case
    touch(u"Other.crash"_s, 60);
    EXPECT_EQ(CrashDetection::mostRecentCrashLogPath(folder, QDateTime::currentDateTime()), recent);
}

TEST_F(CrashDetectionTest, TheReportMailNamesTheLogOrSaysThereIsNone)
{
    const QString withLog = CrashDetection::reportBody(version, u"/l/Quillmark-1.crash"_s, u"/l"_s);
    EXPECT_EQ(withLog,
              u"Describe what you were doing right before it happened:\n\n"
              u"\nA crash log was found at:\n/l/Quillmark-1.crash\nPlease attach it to this "
              u"email (mailto links can't attach files automatically).\n"
              u"\n---\nQuillmark 1.4.2\nDebian GNU/Linux 12 (bookworm)"_s);
    const QString withoutLog = CrashDetection::reportBody({QString(), {}, u"Linux"_s}, std::nullopt,
                                                          QDir::homePath() + u"/.local/x"_s);
    EXPECT_TRUE(
        withoutLog.contains(u"\n(No matching crash log was found in ~/.local/x/ - it may not "
                            u"have been a crash.)\n"_s));
    EXPECT_TRUE(withoutLog.endsWith(u"\n---\nQuillmark dev\nLinux"_s));

    const QUrl url = CrashDetection::reportURL(u"a b\nc&d=e+f"_s);
    EXPECT_EQ(url.toEncoded(), "mailto:support@quillmark.app?subject=Quillmark%20Crash%20Report"
                               "&body=a%20b%0Ac%26d%3De%2Bf");
}

TEST_F(CrashDetectionTest, TheAlertOpensTheMailOnlyWhenAsked)
{
    ScriptedDialogs dialogs;
    RecordingUrlOpener opener;
    setMarkers({}, {});
    prompt(dialogs, opener); // first launch
    EXPECT_TRUE(dialogs.alerts().isEmpty());

    prompt(dialogs, opener); // dismissed, as "Not Now"
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts()[0].message, u"Quillmark Didn't Close Normally Last Time"_s);
    EXPECT_TRUE(opener.opened.isEmpty());

    dialogs.answerAlert(0);
    prompt(dialogs, opener);
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(opener.opened[0].toString().startsWith(u"mailto:support@quillmark.app?subject="_s));
    EXPECT_EQ(dialogs.alerts().size(), 2) << "the mail opened; nothing more to say";

    // Without a mail program the address is offered instead.
    opener.handles = false;
    dialogs.answerAlert(0);
    dialogs.answerAlert(1);
    prompt(dialogs, opener);
    EXPECT_EQ(opener.opened.size(), 2);
    ASSERT_EQ(dialogs.alerts().size(), 4);
    EXPECT_EQ(dialogs.alerts()[3].message, u"Can't Open a Mail Program"_s);
    EXPECT_TRUE(dialogs.alerts()[3].informativeText.contains(u"support@quillmark.app"_s));
    ASSERT_EQ(dialogs.alerts()[3].buttons.size(), 2);
    EXPECT_EQ(dialogs.alerts()[3].buttons[0].title, u"Copy Address"_s);
}

TEST_F(CrashDetectionTest, AFatalSignalLeavesACrashLogThatTheScanFinds)
{
    if (CrashSignalHandler::leavesSignalsToSanitizer())
        GTEST_SKIP() << "the sanitizer keeps the fatal signals in this build";
    const QString folder = path(u"CrashReports"_s);
    EXPECT_EXIT(
        {
            CrashSignalHandler::install(folder, u"1.4.2"_s);
            std::raise(SIGSEGV);
        },
        testing::KilledBySignal(SIGSEGV), "");
    const std::optional<QString> log =
        CrashDetection::mostRecentCrashLogPath(folder, QDateTime::currentDateTime());
    ASSERT_TRUE(log);
    EXPECT_TRUE(QFileInfo(*log).fileName().startsWith(u"Quillmark-"_s));
    EXPECT_TRUE(log->endsWith(u".crash"_s));
    const QByteArray text = testsupport::readFile(*log);
    EXPECT_TRUE(text.startsWith("Quillmark 1.4.2 ended on signal ")) << text.toStdString();
    EXPECT_TRUE(text.contains("(SIGSEGV)"));
}

// A write to an address no program may touch; the address is read at run time, so that the
// compiler neither sees nor replaces the fault.
[[gnu::noinline]] void writeToTheZeroPage()
{
    volatile std::uintptr_t address = 16;
    *reinterpret_cast<volatile int *>(address) = 1;
}

TEST_F(CrashDetectionTest, UnderTheSanitizerAFaultIsReportedWithItsStack)
{
    if (!CrashSignalHandler::leavesSignalsToSanitizer())
        GTEST_SKIP() << "a build without AddressSanitizer writes the crash log";
    const QString folder = path(u"CrashReports"_s);
    // The program installs its handler at start-up as always; the sanitizer still takes the
    // fault, names it and prints the stack down to the function that faulted.
    EXPECT_DEATH(
        {
            CrashSignalHandler::install(folder, u"1.4.2"_s);
            writeToTheZeroPage();
        },
        "AddressSanitizer: SEGV on unknown address.*WRITE memory access.*#0 [^\n]* in "
        "[^\n]*writeToTheZeroPage[^\n]*CrashDetectionTest.cpp");
    EXPECT_FALSE(CrashDetection::mostRecentCrashLogPath(folder, QDateTime::currentDateTime()));
}

} // namespace
