#include "AppInstanceTest.h"
#include "ScriptedEngine.h"
#include "app/BusyBanner.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "workspace/WorkspaceModel.h"

#include <QFutureWatcher>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The whole application on the scripted fake engine (tools/fakesidecar), whose first process
// takes the first request and never answers: an engine stopped or stuck. Export and Compile All
// are called off from the busy banner, as the preview is by closing its sheet.
class JobCancelTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->engine().setLocationProvider([this] { return scripted.location; });
    }
    void TearDown() override
    {
        // Every task has ended, the first engine's once it was killed, and none published.
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return engine().findChildren<QFutureWatcherBase *>().isEmpty(); }, 30000));
        AppInstanceTest::TearDown();
    }

    SidecarModel &engine() const { return app->engine(); }
    BusyBanner *banner() const { return app->contentView()->busyBanner(); }
    QPushButton *cancelButton() const
    {
        return banner()->findChild<QPushButton *>(u"BusyBanner.cancel"_s);
    }
    // Starts the window with a saved report, once the engine has started.
    void start()
    {
        app->setLaunchFiles({writeReport(u"Sales.jrxml"_s, u"Sales"_s)});
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return engine().sidecar().isRunning(); }, 20000));
    }
    // The banner names `job` while its first request waits on the stuck engine.
    void waitStuck(const QString &job)
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return scripted.requests().size() == 1; }, 20000));
        EXPECT_EQ(banner()->message(), job);
        ASSERT_TRUE(cancelButton());
        EXPECT_TRUE(cancelButton()->isVisible());
    }

    testsupport::ScriptedEngine scripted;
};

TEST_F(JobCancelTest, CancelEndsAnExportAtOnceAndThePreviewRunsOnAFreshEngine)
{
    scripted.script({"once:spin"}); // a later engine echoes, which reads as success
    start();
    dialogs->answerSavePanel(QUrl::fromLocalFile(path(u"Sales.pdf"_s)));
    app->fileCommands().exportDocument(ExportFormat::pdf);
    ASSERT_TRUE(engine().isExporting());
    QToolButton *preview = app->contentView()->trailingToolbar()->previewButton();
    EXPECT_FALSE(preview->isEnabled());
    waitStuck(u"Exporting…"_s);

    QTest::mouseClick(cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(engine().isExporting());
    EXPECT_FALSE(engine().isBusy());
    EXPECT_EQ(banner()->message(), QString());
    EXPECT_TRUE(preview->isEnabled());

    QTest::mouseClick(preview, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !engine().isBusy(); }, 20000));
    EXPECT_FALSE(engine().errorMessage());
    EXPECT_TRUE(engine().pdfURL());
    ASSERT_EQ(scripted.requests().size(), 2);
    EXPECT_EQ(scripted.requests()[1][u"cmd"_s].toString(), u"render"_s);
    EXPECT_FALSE(engine().exportErrorMessage()) << "a called-off export reports nothing";
    EXPECT_TRUE(dialogs->alerts().isEmpty());
}

TEST_F(JobCancelTest, CancelEndsACompileOfAllReportsAndTheNextOneRunsOnAFreshEngine)
{
    scripted.script({"once:spin"}); // a later engine echoes, which reads as success
    start();
    app->workspace().newTab(595, 842); // a second report, which the call-off leaves alone
    app->fileCommands().compileAllDocuments();
    ASSERT_TRUE(engine().isCompilingAll());
    waitStuck(u"Compiling all open reports…"_s);

    QTest::mouseClick(cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(engine().isCompilingAll());
    EXPECT_FALSE(engine().isBusy());
    EXPECT_EQ(banner()->message(), QString());

    app->fileCommands().compileAllDocuments();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !engine().isCompilingAll(); }, 20000));
    EXPECT_TRUE(dialogs->alerts().isEmpty()) << "nothing failed, nothing was reported";
    // The called-off run compiled nothing more once its task ended.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return engine().findChildren<QFutureWatcherBase *>().isEmpty(); }, 30000));
    EXPECT_EQ(scripted.requests().size(), 3) << "one called off, then both reports";
}

} // namespace
