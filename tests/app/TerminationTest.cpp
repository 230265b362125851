#include "../engine/EngineTestSupport.h"
#include "AppTestSupport.h"
#include "DesignerProcess.h"
#include "HostilePictures.h"
#include "ModelBuilders.h"
#include "TestSupport.h"
#include "app/CrashDetection.h"
#include "app/SessionRecords.h"
#include "document/DocumentStore.h"
#include "engine/ChildProcesses.h"

#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The program itself, and the program as the probe drives it, each run as its own process with
// its settings and temporary folder in the sandbox.
class TerminationTest : public apptest::DesignerSandboxTest {
protected:
    QStringList sessionFolders() const
    {
        return QDir(sharedFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    static bool ended(pid_t pid)
    {
        return testsupport::waitFor([pid] { return !ChildProcesses::startTime(pid); },
                                    std::chrono::seconds(60));
    }
};

} // namespace

// A logout or a shutdown ends the program with SIGTERM: that is a quit, which stores the open
// tabs and counts as a clean end, so the next launch asks nothing. A session that really ends
// abruptly is still seen.
TEST_F(TerminationTest, SigtermIsAQuitAndTheNextLaunchShowsNoCrashPrompt)
{
    auto first = launch();
    ASSERT_TRUE(first->endWith(SIGTERM));
    EXPECT_EQ(first->process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->process().exitCode(), 0);
    EXPECT_EQ(first->stored(u"lastOpenTabPaths"_s).toStringList(),
              QStringList{path(u"Launch1.jrxml"_s)});
    EXPECT_EQ(first->stored(u"hadCleanShutdown"_s).toBool(), true);
    EXPECT_EQ(sessionFolders(), QStringList()) << "the work folder of the process went with it";

    auto second = launch();
    EXPECT_FALSE(told(*second));
    ASSERT_TRUE(second->endWith(SIGKILL));

    auto third = launch();
    EXPECT_TRUE(told(*third));
    EXPECT_TRUE(third->endWith(SIGTERM));
}

// A file manager hands the designer a report the reader refuses: the alert that says so runs
// while the window first shows, before the program's own loop. Each signal that asks the program
// to end (SIGTERM from a logout, SIGINT from Ctrl+C in the terminal that started it, SIGHUP when
// that terminal closes) then ends it as a quit, at once: its session record goes and the next
// launch asks nothing. Started to outlive its terminal (nohup, or a shell's background job that
// keeps Ctrl+C from it), the designer leaves SIGHUP and SIGINT ignored as it found them.
TEST_F(TerminationTest, EachEndingSignalEndsTheDesignerUnderALaunchAlert)
{
    const QString refused = writeText(u"Refused.jrxml"_s, "<jasperReport name=\"Refused\">");
    const struct {
        int number;
        bool ignoredAtStart;
    } endings[] = {
        {SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGHUP, true}, {SIGINT, true}};
    int round = 0;
    for (const auto &ending : endings) {
        SCOPED_TRACE(std::string(::sigabbrev_np(ending.number)) +
                     (ending.ignoredAtStart ? " ignored at start" : ""));
        // A report of its own, which no designer before it has opened.
        const QString good = writeReport(QStringLiteral("Good%1.jrxml").arg(++round));
        apptest::DesignerProcess designer(dir.path());
        if (ending.ignoredAtStart)
            designer.ignoreAtStart({ending.number});
        designer.start(QStringLiteral(QUILLMARK_PROGRAM), {good, refused},
                       path(u"no-sidecar.jar"_s));
        // The alert about the second report follows the opening of the first, with no event
        // handled between: whenever the signal comes now, the alert is what takes it.
        ASSERT_TRUE(designer.waitUntilOpened(good));
        EXPECT_EQ(designer.catches(ending.number), !ending.ignoredAtStart);
        EXPECT_EQ(designer.ignores(ending.number), ending.ignoredAtStart);
        // An ignored signal would not end it: SIGTERM does.
        ASSERT_TRUE(designer.endWith(ending.ignoredAtStart ? SIGTERM : ending.number));
        EXPECT_EQ(designer.process().exitStatus(), QProcess::NormalExit)
            << "ended by the signal or by its deadline, as a crash";
        EXPECT_EQ(designer.process().exitCode(), 0);
        EXPECT_EQ(designer.stored(u"hadCleanShutdown"_s).toBool(), true);
        // The tabs of the rounds before come back at each start; its own report was opened last.
        const QStringList tabs = designer.stored(u"lastOpenTabPaths"_s).toStringList();
        EXPECT_TRUE(tabs.endsWith(good)) << tabs.join(u' ').toStdString();
        const QString records = SessionRecords::folderBeside(path(u"Quillmark/Quillmark.conf"_s));
        EXPECT_EQ(QDir(records).entryList({u"*.session"_s}, QDir::Files | QDir::Hidden),
                  QStringList())
            << "the session's record goes";

        auto next = launch();
        EXPECT_FALSE(told(*next));
        EXPECT_TRUE(next->endWith(SIGTERM));
    }
}

// A signal that asks the program to end may come at any moment of its start: at once, as soon
// as it has made this session's record, or once it has armed the launch markers too, with the
// window still being built. It ends the program as a quit does (or, before anything is recorded,
// as the signal's default does) and leaves no record of a session that ended abruptly, so the
// next launch asks nothing.
TEST_F(TerminationTest, AnEndingSignalEarlyInTheStartLeavesNoCrashRecord)
{
    const QString records = SessionRecords::folderBeside(path(u"Quillmark/Quillmark.conf"_s));
    const auto recorded = [&] {
        return !QDir(records).entryList({u"*.session"_s}, QDir::Files | QDir::Hidden).isEmpty();
    };
    const struct {
        const char *name;
        std::function<bool(apptest::DesignerProcess &)> reached;
    } moments[] = {
        {"at once", [](apptest::DesignerProcess &) { return true; }},
        {"once recorded", [&](apptest::DesignerProcess &) { return recorded(); }},
        {"once armed",
         [](apptest::DesignerProcess &designer) {
             const QVariant clean = designer.stored(u"hadCleanShutdown"_s);
             return clean.isValid() && !clean.toBool();
         }},
    };
    int round = 0;
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        for (const auto &moment : moments) {
            SCOPED_TRACE(std::string(::sigabbrev_np(number)) + ' ' + moment.name);
            const QString report = writeReport(QStringLiteral("Early%1.jrxml").arg(++round));
            apptest::DesignerProcess designer(dir.path());
            designer.start(QStringLiteral(QUILLMARK_PROGRAM), {report}, path(u"no-sidecar.jar"_s));
            ASSERT_TRUE(testsupport::waitFor(
                [&] {
                    return moment.reached(designer) ||
                           designer.process().state() == QProcess::NotRunning;
                },
                std::chrono::seconds(60)));
            ASSERT_TRUE(designer.endWith(number));
            EXPECT_FALSE(recorded()) << "the session's record goes";

            auto next = launch();
            EXPECT_FALSE(told(*next));
            EXPECT_TRUE(next->endWith(SIGTERM));
        }
    }
}

// Quitting while the canvas still decodes pictures ends the designer cleanly: the decodes under
// way end, or give up, before the application goes (text laid out after it has gone aborts the
// program), and those not begun give up at once. The pictures are SVGs of long texts, drawn
// first, and PNGs of 256 MB once decoded: more than the two decoding threads get through before
// the quit.
TEST_F(TerminationTest, QuittingWhilePicturesDecodeEndsCleanly)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"pictures"_s));
    const QString pictures = path(u"pictures"_s);
    DocumentStore store;
    const BandTarget title = BandTarget::standard(BandType::title);
    for (int i = 0; i < 8; ++i) {
        const bool text = i < 4;
        const QString picture =
            writeText(u"pictures/%1.%2"_s.arg(i).arg(text ? u"svg"_s : u"png"_s),
                      text ? hostilepictures::longText(3'000'000)
                           : hostilepictures::pngBomb(QSize(8192, 8192)));
        ReportElement element = testsupport::element(ElementKind::Image{u"\"%1\""_s.arg(picture)});
        // Overlapping near the page's corner, so that the window shows them all at once.
        element.x = i * 10;
        element.width = 50;
        element.height = 40;
        store.addElement(element, title);
    }
    const QString report = path(u"Pictures.jrxml"_s);
    store.save(QUrl::fromLocalFile(report));

    apptest::DesignerProcess designer(dir.path());
    designer.start(QStringLiteral(QUILLMARK_PROGRAM), {report}, path(u"no-sidecar.jar"_s));
    ASSERT_TRUE(designer.waitUntilOpened(report));
    // A picture is being read once the designer holds its file open.
    const auto decoding = [&] {
        const QDir fds(u"/proc/%1/fd"_s.arg(designer.pid()));
        const QStringList entries =
            fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        return std::any_of(entries.begin(), entries.end(), [&](const QString &fd) {
            return QFileInfo(fds.filePath(fd)).symLinkTarget().startsWith(pictures);
        });
    };
    ASSERT_TRUE(testsupport::waitFor(decoding, std::chrono::seconds(60)));
    ASSERT_TRUE(designer.endWith(SIGTERM));
    EXPECT_EQ(designer.process().exitStatus(), QProcess::NormalExit)
        << "ended by an abort, or by its deadline, as a crash";
    EXPECT_EQ(designer.process().exitCode(), 0);
    EXPECT_EQ(designer.stored(u"hadCleanShutdown"_s).toBool(), true);
}

namespace {

// A sheet, and how many designers in turn are ended with it open.
struct SheetCase {
    const char *sheet;
    int rounds;
};

class SheetTerminationTest : public TerminationTest,
                             public ::testing::WithParamInterface<SheetCase> {};

} // namespace

// SIGTERM ends the designer, whatever sheet is open over the window, after the user typed into
// each of its editors, with the engine running and an unsaved change: the end is a clean one,
// recorded once the program is done, and the engine goes with it. The sheets that edit the
// report keep the window under them from closing, so these run more than once: the windows close
// in an order of Qt's choosing. The report is a real one: its fields, parameters, variables,
// groups, styles and charts fill the sheets, and the sanitized build checks all they run.
TEST_P(SheetTerminationTest, SigtermEndsTheDesignerWithTheSheetOpen)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_CORPUS();
    const QString report =
        writeText(u"BarChartReport.jrxml"_s,
                  testsupport::readFile(testsupport::corpusDir() +
                                        u"/jrxml-samples/charts/BarChartReport.jrxml"_s));
    for (int round = 0; round < GetParam().rounds; ++round) {
        SCOPED_TRACE(round);
        qputenv("QUILLMARK_JAVA", location->javaPath.toLocal8Bit());
        apptest::DesignerProcess designer(dir.path());
        designer.start(QStringLiteral(QUILLMARK_DESIGNER_PROBE),
                       {u"sheet"_s, report, QString::fromLatin1(GetParam().sheet)},
                       location->jarPath);
        ASSERT_TRUE(designer.waitForLine(u"ready"_s))
            << designer.output().join(u'\n').toStdString();
        ASSERT_TRUE(testsupport::waitFor([&] { return designer.children().contains(u"java"_s); }))
            << "the engine runs";
        const pid_t engine = designer.children().value(u"java"_s);

        ASSERT_TRUE(designer.endWith(SIGTERM)) << "still running long after SIGTERM";
        EXPECT_EQ(designer.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(designer.process().exitCode(), 0);
        EXPECT_EQ(designer.stored(u"hadCleanShutdown"_s).toBool(), true);
        EXPECT_EQ(designer.stored(u"lastOpenTabPaths"_s).toStringList(), QStringList{report});
        EXPECT_TRUE(ended(engine));
        EXPECT_EQ(sessionFolders(), QStringList());
    }
    auto next = launch();
    EXPECT_FALSE(told(*next));
    EXPECT_TRUE(next->endWith(SIGTERM));
}

INSTANTIATE_TEST_SUITE_P(Sheets, SheetTerminationTest,
                         ::testing::Values(SheetCase{"data", 2}, SheetCase{"pagesetup", 2},
                                           SheetCase{"source", 1}, SheetCase{"wizard", 1},
                                           SheetCase{"parameters", 1}, SheetCase{"preview", 1}),
                         [](const ::testing::TestParamInfo<SheetCase> &info) {
                             return std::string(info.param.sheet);
                         });
