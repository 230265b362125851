#include "AppTestSupport.h"
#include "DataPanelFixture.h"
#include "TestSupport.h"
#include "WheelTurns.h"
#include "app/KeyMonitor.h"
#include "datapanel/DataPanelSheet.h"
#include "engine/SidecarModel.h"
#include "widgets/AppPalettes.h"
#include "widgets/CardSection.h"
#include "widgets/PanelDivider.h"
#include "widgets/SheetModality.h"
#include "workspace/WorkspaceModel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

using namespace storetest;

namespace {

using DataPanelViewTest = DataPanelTest;

// Presses the divider, moves it by each translation in turn (in global coordinates, as a drag
// is measured) and releases it after the last.
void dragDivider(QWidget *divider, const QList<double> &translations)
{
    const QPointF local(divider->width() / 2.0, divider->height() / 2.0);
    const QPointF global = divider->mapToGlobal(local);
    const auto send = [&](QEvent::Type type, double dx, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local + QPointF(dx, 0), global + QPointF(dx, 0), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(divider, &event);
    };
    send(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    for (double dx : translations)
        send(QEvent::MouseMove, dx, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, translations.isEmpty() ? 0 : translations.last(),
         Qt::NoButton);
}

} // namespace

TEST_F(DataPanelViewTest, TenCardsWithTheirTitlesAndSubtitlesAlsoWhenTheListsAreEmpty)
{
    QStringList titles;
    for (DataPanelCard which : DataPanelCards::order) {
        CardSection *card = view->card(which);
        ASSERT_TRUE(card);
        EXPECT_EQ(card->objectName(), DataPanelCards::objectName(which));
        EXPECT_TRUE(card->isVisible());
        titles << card->findChild<QLabel *>(u"cardTitle"_s)->text();
        EXPECT_EQ(card->findChild<QLabel *>(u"cardSubtitle"_s)->text(),
                  DataPanelCards::subtitle(which));
    }
    EXPECT_EQ(titles.first(), u"Database Connections"_s);
    EXPECT_EQ(titles.last(), u"Styles"_s);
    EXPECT_EQ(titles.size(), 10);
    // The cards stand in the scrolling column in this order, top to bottom.
    for (std::size_t i = 1; i < DataPanelCards::order.size(); ++i)
        EXPECT_LT(view->card(DataPanelCards::order[i - 1])->y(),
                  view->card(DataPanelCards::order[i])->y());
    EXPECT_GE(view->cardColumn()->widget()->minimumSizeHint().width(), 460 + 2 * 16);
    EXPECT_EQ(view->minimumSize(), QSize(760, 560));
    EXPECT_EQ(find<QPushButton>(u"datapanel.close"_s)->text(), u"Close"_s);
    EXPECT_FALSE(view->resultsArea()->isVisible()) << "no query has run";

    find<QPushButton>(u"datapanel.close"_s)->click();
    EXPECT_EQ(closeRequests, 1);
}

TEST_F(DataPanelViewTest, TheDividerFollowsTheDragWithinItsLimitsAndCommitsOnRelease)
{
    QWidget *pane = view->queryPane();
    PanelDivider *divider = view->divider();
    EXPECT_EQ(pane->width(), 367);
    EXPECT_EQ(divider->width(), 6);

    dragDivider(divider, {0.4});
    EXPECT_EQ(view->splitState().leftWidth(), 367) << "a movement under 1 point is no drag";
    EXPECT_EQ(pane->width(), 367);

    dragDivider(divider, {200, 1000});
    EXPECT_EQ(view->splitState().leftWidth(), 900);
    EXPECT_EQ(view->effectiveQueryPaneWidth(), 900);
    EXPECT_EQ(pane->width(), 900);

    dragDivider(divider, {-5000});
    EXPECT_EQ(view->splitState().leftWidth(), 240);
    EXPECT_EQ(pane->width(), 240);
}

// The sheet in a window with the key monitor, as the main window presents it.
class DataPanelSheetTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        window.resize(1200, 900);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        KeyMonitor::install(&workspace, &window);
        sheet = new DataPanelSheet(workspace, *settings, nullptr, &window);
    }

    void open()
    {
        workspace.setIsDataPanelVisible(true);
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
        ASSERT_TRUE(sheet->view());
    }

    std::unique_ptr<AppSettings> settings;
    QWidget window;
    WorkspaceModel workspace;
    DataPanelSheet *sheet = nullptr;
};

TEST_F(DataPanelSheetTest, OpensFromTheFlagForTheActiveTabAndClosesOnEscapeAndClose)
{
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->view(), nullptr);
    open();
    EXPECT_TRUE(SheetModality::covers(&window)) << "modal to the window";
    EXPECT_EQ(sheet->view()->store(), workspace.activeStore());
    EXPECT_GE(sheet->width(), 760);
    EXPECT_GE(sheet->height(), 560);
    EXPECT_EQ(sheet->minimumSize(), QSize(760, 560));

    // Escape typed on a button of the sheet closes it; the panel goes with it.
    QPointer<DataPanelView> first = sheet->view();
    auto *add = first->findChild<QPushButton *>(u"datapanel.sortFields.add"_s);
    add->setFocus();
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(workspace.isDataPanelVisible());
    EXPECT_FALSE(sheet->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first) << "the panel is discarded with the sheet";

    open();
    sheet->view()->findChild<QPushButton *>(u"datapanel.close"_s)->click();
    EXPECT_FALSE(workspace.isDataPanelVisible());
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(DataPanelSheetTest, EveryOpeningStartsWithTheQueryPaneAt367)
{
    open();
    sheet->view()->splitState().endDrag(200);
    EXPECT_EQ(sheet->view()->effectiveQueryPaneWidth(), 567);
    workspace.setIsDataPanelVisible(false);
    open();
    EXPECT_EQ(sheet->view()->effectiveQueryPaneWidth(), 367);
    EXPECT_EQ(sheet->view()->queryPane()->width(), 367);
}

TEST_F(DataPanelSheetTest, EditsThroughThePanelReachTheActiveTabsStore)
{
    workspace.newTab(595, 842);
    open();
    DocumentStore *active = workspace.activeStore();
    sheet->view()->findChild<QPushButton *>(u"datapanel.scriptlets.add"_s)->click();
    EXPECT_EQ(active->document().scriptlets.size(), 1);
    EXPECT_TRUE(workspace.tabs().first()->document().scriptlets.isEmpty());
}

TEST_F(DataPanelViewTest, AtTheNarrowestColumnRowsScrollInsteadOfSqueezingTheirButtons)
{
    ReportDocument withFields = store.document();
    withFields.fields = {ReportField{.name = u"amount"_s}, ReportField{.name = u"city"_s}};
    store.setDocument(withFields);
    store.addSortField();
    view->resize(760, 560);
    view->splitState().endDrag(1000);
    view->refresh();
    dragDivider(view->divider(), {1000}); // lays the pane out at 900
    QApplication::processEvents();
    const auto *order = find<QWidget>(u"datapanel.sortFields.row0.order"_s);
    const auto *up = find<QWidget>(u"datapanel.sortFields.row0.up"_s);
    const auto *remove = find<QWidget>(u"datapanel.sortFields.row0.remove"_s);
    ASSERT_TRUE(order && up && remove);
    const auto right = [](const QWidget *w) {
        return w->mapTo(w->window(), QPoint(w->width(), 0)).x();
    };
    const auto left = [](const QWidget *w) { return w->mapTo(w->window(), QPoint(0, 0)).x(); };
    EXPECT_LE(right(order), left(up));
    EXPECT_LE(right(up), left(remove));
    EXPECT_GT(remove->width(), 0);
}

TEST_F(DataPanelViewTest, RowFieldsKeepAVisibleOutlineOnTheirTileInBothAppearances)
{
    store.addScriptlet();
    for (const QPalette &palette : {AppPalettes::light(), AppPalettes::dark()}) {
        view->setPalette(palette);
        const auto *name = find<QLineEdit>(u"datapanel.scriptlets.row0.name"_s);
        ASSERT_TRUE(name);
        // The outline is drawn from the window colour; on the tile's base colour it must differ.
        EXPECT_EQ(name->palette().color(QPalette::Window), palette.color(QPalette::Mid));
        EXPECT_NE(name->palette().color(QPalette::Window), palette.color(QPalette::Base));
    }
}

// Scrolling down the cards passes the pointer over the pickers of every row; the wheel scrolls
// the sheet and none of them changes, takes the focus or writes to the report.
TEST_F(DataPanelViewTest, TheWheelScrollsTheSheetOverEveryControl)
{
    store.addParameter();
    store.addField();
    store.addSortField();
    store.addScriptlet();
    store.addReportTemplate();
    store.addGroup();
    store.addVariable();
    store.addSubDataset();
    store.addStyle();
    editDocument(store, [](ReportDocument &d) {
        d.variables[0].resetType = u"Group"_s;
        d.variables[0].incrementType = u"Group"_s;
        d.subDatasets[0].variables = {ReportVariable{}};
        d.styles[0].conditionalStyles = {ConditionalStyleRule{}};
    });
    view->resize(DataPanelView::minimumPanelWidth, DataPanelView::minimumPanelHeight);
    QApplication::processEvents();
    const ReportDocument before = store.document();
    QScrollBar *bar = view->cardColumn()->verticalScrollBar();
    int tried = 0;
    EXPECT_EQ(testsupport::controlsTakingTheWheel(
                  view.get(), testsupport::stillAsItWas([&] { return store.document(); }), &tried),
              QStringList());
    EXPECT_GT(tried, 10) << "the pickers of every card were tried";
    EXPECT_GT(bar->value(), 0) << "the turns scrolled the cards instead";
    EXPECT_EQ(store.document(), before);
}

TEST(DataPanelResults, TheResultsAreaShowsFromTheStartOfAQueryAndStaysWithItsOutcome)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    AppSettings settings(dir.path());
    DocumentStore store;
    SidecarModel sidecar;
    // An engine that cannot start: the query fails, which is an outcome too.
    sidecar.setLocationProvider([&] {
        return SidecarClient::Location{dir.filePath(u"no-java"_s), dir.filePath(u"no.jar"_s), {}};
    });
    DataPanelView view(&store, settings, &sidecar, nullptr, {});
    view.show();
    EXPECT_FALSE(view.resultsArea()->isVisible());

    sidecar.executeQuery(std::nullopt, u"select 1"_s, &store);
    EXPECT_TRUE(sidecar.isExecutingQuery() || sidecar.queryErrorMessage().has_value());
    EXPECT_TRUE(view.resultsArea()->isVisible());
    ASSERT_TRUE(testsupport::waitFor([&] { return !sidecar.isExecutingQuery(); }));
    EXPECT_TRUE(sidecar.queryErrorMessage().has_value());
    EXPECT_TRUE(view.resultsArea()->isVisible());
}
