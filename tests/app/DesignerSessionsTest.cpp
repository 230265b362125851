#include "AppTestSupport.h"
#include "DesignerProcess.h"
#include "TestSupport.h"
#include "app/CrashDetection.h"

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// Designers of one user running side by side, each its own process on the same settings. A
// designer tells at launch whether a session ended without a quit; each one's record is its own,
// so a running designer is no crash of another, and a crash stays told however the others end.
class DesignerSessionsTest : public apptest::DesignerSandboxTest {
protected:
    // The next designer to start: whether it tells of an unclean end. It quits cleanly.
    bool nextLaunchTells()
    {
        auto designer = launch();
        const bool result = told(*designer);
        EXPECT_TRUE(designer->endWith(SIGTERM));
        return result;
    }
};

} // namespace

TEST_F(DesignerSessionsTest, ADesignerStartedBesideRunningOnesIsNotToldOfACrash)
{
    auto first = launch();
    auto second = launch();
    EXPECT_FALSE(told(*first));
    EXPECT_FALSE(told(*second)) << "the first one runs: it did not crash";
    ASSERT_TRUE(first->endWith(SIGTERM));
    auto third = launch();
    EXPECT_FALSE(told(*third));
    ASSERT_TRUE(second->endWith(SIGTERM));
    ASSERT_TRUE(third->endWith(SIGTERM));
    EXPECT_FALSE(nextLaunchTells());
    EXPECT_EQ(first->stored(CrashDetection::hadCleanShutdownKey).toBool(), true)
        << "all ended cleanly, as the marker says for a single designer";
}

// A designer killed while another runs is told at the next launch, whether the other quits
// before or after it, and only once.
TEST_F(DesignerSessionsTest, TheCrashOfOneIsToldWhicheverEndsFirst)
{
    for (const bool crashedFirst : {true, false}) {
        SCOPED_TRACE(crashedFirst ? "the crash before the quit" : "the quit before the crash");
        auto crashing = launch();
        auto quitting = launch();
        ASSERT_TRUE(
            (crashedFirst ? crashing : quitting)->endWith(crashedFirst ? SIGKILL : SIGTERM));
        ASSERT_TRUE(
            (crashedFirst ? quitting : crashing)->endWith(crashedFirst ? SIGTERM : SIGKILL));
        EXPECT_TRUE(nextLaunchTells());
        EXPECT_FALSE(nextLaunchTells()) << "told once";
    }
}

// One designer alone: a kill is told at the next launch, a quit is not, nor the end of a
// start-up measurement (which ends after its first paint as a quit does, so that each start it
// measures follows a clean end, as a user's usual start does).
TEST_F(DesignerSessionsTest, ASingleDesignerIsToldOfItsOwnCrashOnly)
{
    auto designer = launch();
    ASSERT_TRUE(designer->endWith(SIGKILL));
    EXPECT_TRUE(nextLaunchTells());
    EXPECT_FALSE(nextLaunchTells());

    apptest::DesignerProcess measured(dir.path());
    QProcessEnvironment measuring;
    measuring.insert(u"QUILLMARK_EXIT_AFTER_FIRST_PAINT"_s, u"1"_s);
    measured.start(QStringLiteral(QUILLMARK_PROGRAM), {writeReport(u"Measured.jrxml"_s)},
                   path(u"no-sidecar.jar"_s), measuring);
    ASSERT_TRUE(measured.process().waitForFinished(120000));
    EXPECT_EQ(measured.process().exitCode(), 0);
    EXPECT_FALSE(nextLaunchTells());
}
