#include "app/ContentView.h"
#include "AppTestSupport.h"
#include "app/BusyBanner.h"
#include "app/BusyStatus.h"
#include "app/PanelWidths.h"
#include "app/ReaderWarningsBar.h"
#include "app/TabBarView.h"
#include "app/TabChip.h"
#include "app/ToolStrip.h"
#include "canvas/SnippetLibrary.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class ContentViewTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        view = std::make_unique<ContentView>(workspace, *settings, dialogs, snippets, engine);
        view->resize(1400, 900);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    QList<TabChip *> chips() const { return view->tabBar()->chips(); }
    void openReport(const QString &name)
    {
        workspace.openTab(QUrl::fromLocalFile(writeReport(name)));
    }
    static void settle() { QCoreApplication::processEvents(); }

    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppSettings> settings;
    QSettings snippetSettings{path(u"snippets.ini"_s), QSettings::IniFormat};
    SnippetLibrary snippets{snippetSettings};
    SidecarModel engine;
    std::unique_ptr<ContentView> view;
};

TEST_F(ContentViewTest, HoldsEveryRegionAtItsSize)
{
    EXPECT_EQ(view->minimumSize(), QSize(1100, 750));
    for (const QString &name :
         {u"ActionsRow"_s, u"PaletteView"_s, u"FormatToolbar"_s, u"AlignDistributeToolbar"_s,
          u"ProjectExplorerView"_s, u"OutlineView"_s, u"CanvasView"_s, u"InspectorView"_s,
          u"TabBarView"_s, u"LeftResizeDivider"_s, u"RightResizeDivider"_s})
        EXPECT_TRUE(view->findChild<QWidget *>(name)) << name.toStdString();
    EXPECT_EQ(view->findChild<QWidget *>(u"LeftColumn"_s)->width(), 242);
    EXPECT_EQ(view->findChild<QWidget *>(u"InspectorView"_s)->width(), 416);
    int oneRow = 0;
    for (const QString &name : {u"PaletteView"_s, u"FormatToolbar"_s, u"AlignDistributeToolbar"_s})
        oneRow += view->findChild<QWidget *>(name)->sizeHint().width();
    view->resize(oneRow, 900);
    settle();
    EXPECT_FALSE(view->toolStrip()->isTwoRows());
    view->resize(oneRow - 1, 900);
    settle();
    EXPECT_TRUE(view->toolStrip()->isTwoRows()) << "the format and align toolbars go first";
}

TEST_F(ContentViewTest, DividersClampAndCommitTheColumnWidths)
{
    PanelWidths &widths = view->panelWidths();
    widths.dragLeft(500);
    EXPECT_EQ(widths.effectiveLeftWidth(), 600);
    widths.endLeftDrag(500);
    EXPECT_EQ(widths.leftWidth(), 600);
    widths.dragRight(-1000);
    EXPECT_EQ(widths.effectiveRightWidth(), 900) << "dragging left widens the inspector";
    widths.endRightDrag(-1000);
    widths.endRightDrag(2000);
    EXPECT_EQ(widths.rightWidth(), 90);
    EXPECT_EQ(view->findChild<QWidget *>(u"InspectorView"_s)->width(), 90);
}

TEST_F(ContentViewTest, ChipsFollowTheTabsAndTheirStores)
{
    openReport(u"Sales.2024.jrxml"_s);
    workspace.newTab(595, 842);
    ReportDocument named = workspace.activeStore()->document();
    named.name = u"Invoice"_s;
    workspace.activeStore()->setDocument(named);
    ASSERT_EQ(chips().size(), 2);
    EXPECT_EQ(chips().at(0)->title(), u"Sales.2024"_s);
    EXPECT_EQ(chips().at(1)->title(), u"Invoice"_s) << "an unsaved report shows its name";
    EXPECT_TRUE(chips().at(1)->isActive());

    TabChip *sales = chips().at(0);
    workspace.tabs().at(0)->setIsDirty(true);
    EXPECT_TRUE(sales->showsDirtyDot());
    EXPECT_EQ(sales->toolTip(), u"Sales.2024 — Edited"_s);
    workspace.tabs().at(0)->setIsDirty(false);
    EXPECT_FALSE(sales->showsDirtyDot());

    QTest::mouseClick(sales, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(workspace.activeTabIndex(), 0);
    EXPECT_EQ(chips().at(0), sales) << "the chip is kept, not rebuilt";
}

TEST_F(ContentViewTest, ClosingADirtyTabAsksToDiscard)
{
    openReport(u"A.jrxml"_s);
    openReport(u"B.jrxml"_s);
    workspace.tabs().at(0)->setIsDirty(true);

    dialogs.answerAlert(0); // Cancel
    chips().at(0)->closeButton()->click();
    settle();
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Discard Unsaved Changes?"_s);
    EXPECT_EQ(workspace.tabs().size(), 2);
    EXPECT_FALSE(workspace.pendingCloseTabIndex());

    dialogs.answerAlert(1); // Discard Changes
    chips().at(0)->closeButton()->click();
    settle();
    ASSERT_EQ(workspace.tabs().size(), 1);
    EXPECT_EQ(chips().first()->title(), u"B"_s);
    EXPECT_FALSE(workspace.pendingCloseTabIndex());

    chips().first()->closeButton()->click();
    settle();
    ASSERT_EQ(chips().size(), 1) << "the last tab gives way to a fresh one";
    EXPECT_FALSE(workspace.activeStore()->fileURL());
    EXPECT_EQ(dialogs.alerts().size(), 2) << "a clean tab closes without asking";
}

TEST_F(ContentViewTest, TheBannerNamesTheFirstJobByPriority)
{
    EXPECT_FALSE(busyStatusMessage({}));
    BusyFlags all{true, true, true, true, true, true, true};
    const QString order[] = {
        u"Compiling & filling report…"_s, u"Exporting…"_s,
        u"Compiling all open reports…"_s, u"Zipping report files for upload…"_s,
        u"Testing connection…"_s,         u"Executing query…"_s,
        u"Compiling subreport…"_s};
    bool BusyFlags::*flags[] = {&BusyFlags::isRendering,         &BusyFlags::isExporting,
                                &BusyFlags::isCompilingAll,      &BusyFlags::isZipping,
                                &BusyFlags::isTestingConnection, &BusyFlags::isExecutingQuery,
                                &BusyFlags::isCreatingSubreport};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(busyStatusMessage(all), order[i]);
        all.*flags[i] = false;
    }

    view->setEngineBusyFlags({.isTestingConnection = true});
    EXPECT_EQ(view->busyMessage(), u"Testing connection…"_s);
    view->setZipping(true);
    EXPECT_EQ(view->busyMessage(), u"Zipping report files for upload…"_s);
    view->setZipping(false);
    view->setEngineBusyFlags({});
    EXPECT_TRUE(view->busyMessage().isEmpty());

    // Only the active tab's subreport counts.
    DocumentStore *first = workspace.activeStore();
    workspace.newTab(595, 842);
    first->setCreatingSubreportElementIDs({newId()});
    EXPECT_TRUE(view->busyMessage().isEmpty());
    workspace.setActiveTabIndex(0);
    EXPECT_EQ(view->busyMessage(), u"Compiling subreport…"_s);
}

TEST_F(ContentViewTest, ReaderWarningsAreShownOncePerOpening)
{
    const QString lossy = writeText(
        u"Lossy.jrxml"_s,
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" name=\"L\">"
        "<detail><band height=\"40\"><componentElement><reportElement x=\"0\" y=\"0\" "
        "width=\"100\" height=\"30\"/><c:thing "
        "xmlns:c=\"urn:c\"/><unknownThing/></componentElement>"
        "</band></detail></jasperReport>");
    workspace.openTab(QUrl::fromLocalFile(lossy));
    auto *bar = view->findChild<ReaderWarningsBar *>();
    ASSERT_TRUE(bar);
    EXPECT_TRUE(bar->text().contains(u"unknownThing"_s)) << bar->text().toStdString();
    bar->findChild<QPushButton *>()->click();
    EXPECT_TRUE(bar->text().isEmpty());
    workspace.newTab(595, 842);
    workspace.setActiveTabIndex(0);
    EXPECT_TRUE(bar->text().isEmpty()) << "dismissed for this opening";
    workspace.closeTab(0);
    workspace.openTab(QUrl::fromLocalFile(lossy));
    EXPECT_FALSE(bar->text().isEmpty()) << "a new opening tells again";
}

TEST_F(ContentViewTest, ErrorPanelExplainsWhatItCanAndShowsTheRestRaw)
{
    std::unique_ptr<QWidget> raw(ContentView::errorDisplay(u"something odd"_s));
    ASSERT_TRUE(raw->findChild<QLabel *>(u"RawError"_s));
    EXPECT_EQ(raw->findChild<QLabel *>(u"RawError"_s)->palette().color(QPalette::WindowText),
              QColor(Qt::red));

    std::unique_ptr<QWidget> friendly(
        ContentView::errorDisplay(u"No such property: Amount for class: X"_s));
    friendly->show();
    ASSERT_TRUE(friendly->findChild<QLabel *>(u"FriendlyError"_s));
    auto *details = friendly->findChild<QLabel *>(u"TechnicalDetails"_s);
    ASSERT_TRUE(details);
    EXPECT_FALSE(details->isVisible()) << "collapsed";
    friendly->findChild<QToolButton *>(u"TechnicalDetailsToggle"_s)->click();
    EXPECT_TRUE(details->isVisible());
    EXPECT_EQ(details->text(), u"No such property: Amount for class: X"_s);

    view->presentExportError(u"something odd"_s);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Export Failed"_s);
}

} // namespace
