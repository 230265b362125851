#include "app/ContentView.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"
#include "app/BusyBanner.h"
#include "app/BusyStatus.h"
#include "app/PanelWidths.h"
#include "app/ReaderWarningsBar.h"
#include "app/RefusalBar.h"
#include "app/SourceSheet.h"
#include "app/TabBarView.h"
#include "app/TabChip.h"
#include "app/ToolStrip.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/ElementView.h"
#include "canvas/PaletteActions.h"
#include "canvas/PaletteView.h"
#include "canvas/SaveSnippetSheet.h"
#include "canvas/SnippetLibrary.h"
#include "canvas/SnippetSheetState.h"
#include "datapanel/DataPanelSheet.h"
#include "datapanel/DataPanelView.h"
#include "edits/LengthLimits.h"
#include "engine/ParameterValuesSheet.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"
#include "model/ReportParts.h"
#include "navigators/OutlineModel.h"
#include "navigators/OutlineView.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportOptionsSheet.h"
#include "setup/PageSetupEdits.h"
#include "setup/PageSetupView.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SheetDialog.h"
#include "widgets/SheetModality.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class ContentViewTest : public apptest::WindowTest {
protected:
    QList<TabChip *> chips() const { return view->tabBar()->chips(); }
    void openReport(const QString &name)
    {
        workspace.openTab(QUrl::fromLocalFile(writeReport(name)));
    }
    // Opens the corpus sample at `relative` (under jrxml-samples) in a tab: its store.
    DocumentStore *openSample(const QString &relative)
    {
        workspace.openTab(
            QUrl::fromLocalFile(testsupport::corpusDir() + u"/jrxml-samples/"_s + relative));
        return workspace.activeStore();
    }
    static void settle() { QCoreApplication::processEvents(); }
    // The list sample opened, with the window's bar and the canvas's scene of it.
    struct ListSample {
        DocumentStore *store = nullptr;
        RefusalBar *bar = nullptr;
        CanvasScene *scene = nullptr;
    };
    ListSample openListSample()
    {
        DocumentStore *store = openSample(u"list/ListReport.jrxml"_s);
        return {store, view->findChild<RefusalBar *>(),
                store ? view->canvas()->sceneOf(store) : nullptr};
    }
    template <typename T> QList<T *> all(const QString &name = {}) const
    {
        return view->findChildren<T *>(name);
    }
    static bool shows(QWidget *sheet)
    {
        return QTest::qWaitFor([sheet] { return sheet->isVisible(); });
    }
    static bool hides(QWidget *sheet)
    {
        return QTest::qWaitFor([sheet] { return !sheet->isVisible(); });
    }
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

// A chip whose file is renamed takes its new width in the strip at once: every other chip stays
// where the user sees it.
TEST_F(ContentViewTest, RenamingTheActiveTabsFileKeepsEveryChipInTheStrip)
{
    for (const QString &name : {u"A.jrxml"_s, u"B.jrxml"_s, u"C.jrxml"_s, u"D.jrxml"_s})
        openReport(name);
    workspace.setActiveTabIndex(0);
    settle();
    const auto visibleChips = [&] {
        QStringList titles;
        for (TabChip *chip : chips()) {
            const QRect inStrip(chip->mapTo(view->tabBar(), QPoint()), chip->size());
            if (chip->isVisible() && view->tabBar()->rect().contains(inStrip))
                titles.append(chip->title());
        }
        return titles;
    };
    ASSERT_EQ(visibleChips(), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
    const QString from = workspace.tabs().at(0)->fileURL()->toLocalFile();
    const QString to = QFileInfo(from).dir().filePath(u"A renamed report.jrxml"_s);
    ASSERT_TRUE(QFile::rename(from, to));
    workspace.followMovedItem(from, to, *settings);
    EXPECT_TRUE(QTest::qWaitFor([&] { return visibleChips().size() == 4; }));
    EXPECT_EQ(visibleChips(), (QStringList{u"A renamed report"_s, u"B"_s, u"C"_s, u"D"_s}));
}

// The last chip, active, grows with its file's new name beyond the strip's end: the strip scrolls
// so that the whole chip shows.
TEST_F(ContentViewTest, AnActiveChipThatGrowsAtTheStripsEndStaysInView)
{
    for (int i = 0; i < 11; ++i)
        openReport(u"Report number %1.jrxml"_s.arg(i));
    openReport(u"A.jrxml"_s);
    workspace.setActiveTabIndex(11);
    settle();
    TabChip *last = chips().at(11);
    const int narrow = last->width();
    // The part of the strip the chips show in.
    QWidget *shown = last->parentWidget()->parentWidget();
    const auto wholeInStrip = [&] {
        const QRect inStrip(last->mapTo(shown, QPoint()), last->size());
        return shown->rect().contains(inStrip);
    };
    ASSERT_TRUE(wholeInStrip());
    const QString from = workspace.tabs().at(11)->fileURL()->toLocalFile();
    const QString to = QFileInfo(from).dir().filePath(u"A much longer report name.jrxml"_s);
    ASSERT_TRUE(QFile::rename(from, to));
    workspace.followMovedItem(from, to, *settings);
    ASSERT_TRUE(QTest::qWaitFor([&] { return last->width() > narrow; })) << "the chip widens";
    EXPECT_TRUE(QTest::qWaitFor(wholeInStrip));
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

// Each tab shown keeps its canvas page while it is open; closing the tab frees the page, and
// its outline rows with it.
TEST_F(ContentViewTest, ATabKeepsItsCanvasPageUntilItCloses)
{
    openReport(u"A.jrxml"_s);
    openReport(u"B.jrxml"_s);
    DocumentStore *a = workspace.tabs().at(0);
    DocumentStore *b = workspace.tabs().at(1);
    workspace.setActiveTabIndex(0);
    settle();
    // The empty tab the reports took the place of is gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QPointer<CanvasScene> pageOfA = view->canvas()->sceneOf(a);
    ASSERT_TRUE(pageOfA);
    EXPECT_EQ(view->canvas()->scene(), pageOfA);
    const int outlineModels = int(view->outline()->findChildren<OutlineModel *>().size());

    workspace.setActiveTabIndex(1);
    settle();
    EXPECT_EQ(view->canvas()->scene(), view->canvas()->sceneOf(b));
    EXPECT_TRUE(pageOfA) << "a hidden tab keeps its page";

    workspace.closeTab(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(pageOfA) << "the closed tab's page is freed";
    EXPECT_EQ(view->outline()->findChildren<OutlineModel *>().size(), outlineModels - 1);
    EXPECT_EQ(view->canvas()->findChildren<CanvasScene *>().size(), 1);
}

// A keystroke in a group's name in the Report Data sheet shows at once wherever the window
// names the group: the canvas's band strips and the outline's rows.
TEST_F(ContentViewTest, AKeystrokeInAGroupNameShowsOnTheCanvasAndInTheOutline)
{
    openReport(u"Grouped.jrxml"_s);
    DocumentStore *store = workspace.activeStore();
    ReportDocument grouped = store->document();
    ReportGroup group;
    group.name = u"Area"_s;
    group.headerHeight = 20;
    grouped.groups.append(group);
    store->setDocument(grouped);
    settle();
    const BandTarget header = BandTarget::groupHeader(group.id);
    ASSERT_NE(view->canvas()->scene()->bandItem(header), nullptr);

    workspace.setIsDataPanelVisible(true);
    settle();
    ASSERT_NE(view->dataPanelSheet()->view(), nullptr);
    auto *name =
        view->dataPanelSheet()->view()->findChild<QLineEdit *>(u"datapanel.groups.row0.name"_s);
    ASSERT_NE(name, nullptr);
    name->setFocus();
    name->end(false);
    QTest::keyClick(name, Qt::Key_S);
    settle();
    ASSERT_EQ(store->document().groups.first().name, u"Areas"_s);
    EXPECT_EQ(view->canvas()->scene()->bandItem(header)->label(), store->label(header));
    EXPECT_TRUE(store->label(header).contains(u"Areas"_s));
    const QList<OutlineRow> rows = view->outline()->rows();
    EXPECT_TRUE(std::any_of(rows.cbegin(), rows.cend(), [&](const OutlineRow &row) {
        return row.target == header && row.label == store->label(header);
    }));
}

// A report whose column, margin or page is as large as a file carries opens in a tab, is drawn,
// scrolls to its far right and bottom and gives way to another tab and back, at the smallest and
// the largest zoom, with guides and every element selected: what the window draws follows what
// it shows, not the page, and the report keeps the lengths its file gives.
TEST_F(ContentViewTest, AReportAsLargeAsAFileCarriesIsDrawnScrolledAndLeft)
{
    // The page's lengths, and the width of the detail band's rectangle.
    const std::pair<const char *, const char *> cases[] = {
        {R"(pageWidth="595" columnWidth="2147483600" leftMargin="20")", "2147483000"},
        {R"(pageWidth="595" columnWidth="555" leftMargin="-2147483648")", "200"},
        {R"(pageWidth="2147483647" pageHeight="2147483647" columnWidth="2147483647" )"
         R"(leftMargin="2147483647")",
         "2147483647"},
    };
    openReport(u"Small.jrxml"_s);
    int opened = 0;
    for (const auto &[lengths, wide] : cases) {
        SCOPED_TRACE(lengths);
        QByteArray bands;
        for (const char *band : {"title", "pageHeader", "columnHeader", "detail", "summary"})
            bands += "<" + QByteArray(band) + R"(><band height="40"><rectangle><reportElement )" +
                     R"(x="10" y="5" height="20" width=")" +
                     (qstrcmp(band, "detail") == 0 ? wide : "200") + R"("/></rectangle></band></)" +
                     band + ">";
        const QByteArray jrxml =
            R"(<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" )"
            R"(name="Wide" rightMargin="20" topMargin="20" bottomMargin="20" )" +
            QByteArray(lengths) + ">" + bands + "</jasperReport>";
        workspace.openTab(QUrl::fromLocalFile(writeText(u"Wide%1.jrxml"_s.arg(++opened), jrxml)));
        settle();
        DocumentStore *store = workspace.activeStore();
        ASSERT_EQ(workspace.tabs().size(), 2);
        const ReportDocument read = JrxmlCodec::parse(jrxml);
        const ReportDocument &d = store->document();
        EXPECT_EQ(std::tuple(d.pageWidth, d.columnWidth, d.leftMargin),
                  std::tuple(read.pageWidth, read.columnWidth, read.leftMargin));
        store->toggleVerticalGuide(100);
        store->toggleVerticalGuide(2e9);
        store->toggleHorizontalGuide(2e9);
        const BandTarget detail = BandTarget::detailBand(d.detailBands.at(0).id);
        store->setSelectedElementIDs({store->elements(detail).at(0).id});
        CanvasGraphicsView *canvas = view->canvas()->graphicsView();
        for (double zoom : {canvas::minimumZoom, canvas::maximumZoom}) {
            SCOPED_TRACE(zoom);
            store->setZoomLevel(zoom);
            settle();
            canvas->viewport()->grab();
            for (QScrollBar *bar : {canvas->horizontalScrollBar(), canvas->verticalScrollBar()})
                bar->setValue(bar->maximum());
            settle();
            // Far right and down, the view shows the sheet: white between the bands' strips.
            const QImage far = canvas->viewport()->grab().toImage();
            const QRectF seen = canvas->mapToScene(canvas->viewport()->rect()).boundingRect();
            const canvas::PageGeometry &page = view->canvas()->scene()->page();
            const QPoint sheet =
                canvas->mapFromScene(QPointF(std::min(seen.right(), page.pageWidth) - 30,
                                             std::min(seen.bottom(), page.pageHeight) - 10));
            EXPECT_EQ(far.pixelColor(sheet), QColor(Qt::white));
            const QPoint scrolled = canvas->scrolled();
            workspace.setActiveTabIndex(0);
            settle();
            view->grab();
            workspace.setActiveTabIndex(1);
            settle();
            EXPECT_EQ(view->canvas()->scene(), view->canvas()->sceneOf(store));
            EXPECT_EQ(canvas->scrolled(), scrolled) << "the page comes back where it was left";
            view->grab();
        }
        // Fitted to the page between its margins, the column may be as wide again.
        PageSetupEdits::fitColumnWidthToMargins(*store);
        settle();
        EXPECT_EQ(view->canvas()->scene()->bandItem(detail)->width(), d.columnWidth);
        canvas->viewport()->grab();
        workspace.closeTab(1);
        settle();
    }
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

// The hyperlink sample's 742-point background picture pasted into its Page Footer, which the page
// holds less high: the paste adds nothing, and the bar above the working area says why in the
// Band Height field's own words until the next change of the report.
TEST_F(ContentViewTest, ARefusedPasteIsToldInTheBandHeightFieldsWords)
{
    QUILLMARK_REQUIRE_CORPUS();
    DocumentStore *store = openSample(u"hyperlink/HyperlinkReport.jrxml"_s);
    ASSERT_TRUE(store);
    auto *bar = view->findChild<RefusalBar *>();
    ASSERT_TRUE(bar);
    EXPECT_TRUE(bar->text().isEmpty());
    const BandTarget footer = BandTarget::standard(BandType::pageFooter);
    const ElementList background = store->elements(BandTarget::standard(BandType::background));
    const auto tall = std::find_if(background.cbegin(), background.cend(),
                                   [](const ReportElement &e) { return e.height >= 700; });
    ASSERT_NE(tall, background.cend());
    const ReportElement picture = *tall;
    store->setSelectedElementIDs({picture.id});
    store->copySelectedElements();
    store->setActiveBandTarget(footer);
    const qsizetype held = store->elements(footer).size();
    store->pasteClipboard();
    EXPECT_EQ(store->elements(footer).size(), held);
    const QString message =
        LengthLimits::bandHeight(*store, footer, picture.height, settings->measurementUnit())
            .message;
    EXPECT_TRUE(message.startsWith(u"The page holds this band at most "_s))
        << message.toStdString();
    EXPECT_EQ(bar->text(), message);
    store->editDocument([](ReportDocument &d) { d.name = u"Other"_s; });
    EXPECT_TRUE(bar->text().isEmpty());
}

// A hidden title higher than the page holds it, shown: it stands as high as the page holds it,
// and the bar says why in the Band Height field's words.
TEST_F(ContentViewTest, ABandShownLowerThanItWasIsToldInTheBandHeightFieldsWords)
{
    QUILLMARK_REQUIRE_CORPUS();
    DocumentStore *store = openSample(u"hyperlink/HyperlinkReport.jrxml"_s);
    ASSERT_TRUE(store);
    auto *bar = view->findChild<RefusalBar *>();
    ASSERT_TRUE(bar);
    const BandTarget title = BandTarget::standard(BandType::title);
    store->editDocument([](ReportDocument &d) {
        for (ReportBand &band : d.bands) {
            if (band.type == BandType::title) {
                band.isPresent = false;
                band.height = 5000;
                band.elements.clear();
            }
        }
    });
    const double largest = PageLayout::largestBandHeight(store->document(), title);
    ASSERT_LT(largest, 5000);
    store->setBandPresent(BandType::title, true);
    EXPECT_EQ(store->height(title), largest);
    EXPECT_EQ(bar->text(), LengthLimits::bandLimitWords(largest, settings->measurementUnit()));
    EXPECT_TRUE(bar->text().startsWith(u"The page holds this band at most "_s))
        << bar->text().toStdString();
    store->editDocument([](ReportDocument &d) { d.name = u"Other"_s; });
    EXPECT_TRUE(bar->text().isEmpty());
}

// The book sample is made of parts and takes no band: the palette says so in place of its
// target, and a button pressed there adds nothing while the bar above the working area says why.
TEST_F(ContentViewTest, AReportOfPartsSaysWhyThePaletteAddsNothing)
{
    QUILLMARK_REQUIRE_CORPUS();
    workspace.openTab(
        QUrl::fromLocalFile(testsupport::corpusDir() + u"/jrxml-samples/book/BookReport.jrxml"_s));
    DocumentStore *store = workspace.activeStore();
    ASSERT_TRUE(store);
    store->setActiveBandTarget(BandTarget::detailBand(store->document().detailBands.first().id));
    auto *palette = view->findChild<PaletteView *>();
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->targetLabel()->text(), u"Detail: parts only"_s);
    const QString why = ReportParts::noElementsMessage(u"Detail"_s);
    EXPECT_EQ(palette->targetLabel()->toolTip(), why);
    auto *bar = view->findChild<RefusalBar *>();
    ASSERT_TRUE(bar);
    const ReportDocument before = store->document();
    ASSERT_TRUE(palette->button(u"rectangle"_s));
    palette->button(u"rectangle"_s)->click();
    EXPECT_EQ(store->document(), before);
    EXPECT_FALSE(store->isDirty());
    EXPECT_EQ(bar->text(), why);
}

// A report in a folder that takes no new file (read-only; or a "folder" that is a file, which
// even root cannot write into): the palette's Subreport adds nothing, declares nothing, and the
// bar names the file, the folder and what the system said.
TEST_F(ContentViewTest, APaletteSubreportWhoseFileCannotBeWrittenAddsNothingAndSaysWhy)
{
    struct Case {
        const char *how;
        QString folder;
        bool readOnly;
    };
    QList<Case> cases = {{"a folder that is a file", path(u"Blocker"_s), false}};
    // Root writes into a read-only folder all the same.
    if (geteuid() != 0)
        cases.append({"a read-only folder", path(u"Locked"_s), true});
    writeText(u"Blocker"_s, "not a folder");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"Locked"_s));
    auto *palette = view->findChild<PaletteView *>();
    auto *bar = view->findChild<RefusalBar *>();
    ASSERT_TRUE(palette && bar && palette->button(u"doc.on.doc"_s));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        openReport(u"Master.jrxml"_s);
        DocumentStore *store = workspace.activeStore();
        const QString file = QDir(c.folder).filePath(u"Master.jrxml"_s);
        if (c.readOnly) {
            ASSERT_TRUE(QFile::copy(store->fileURL()->toLocalFile(), file));
            workspace.openTab(QUrl::fromLocalFile(file));
            store = workspace.activeStore();
            ASSERT_TRUE(QFile::setPermissions(c.folder, QFile::ReadOwner | QFile::ExeOwner));
        } else {
            store->followFile(QUrl::fromLocalFile(file));
        }
        store->setActiveBandTarget(
            BandTarget::detailBand(store->document().detailBands.first().id));
        const ReportDocument before = store->document();
        const bool wasDirty = store->isDirty();
        palette->button(u"doc.on.doc"_s)->click();
        EXPECT_EQ(store->document(), before) << "no element, no SUBREPORT_DIR";
        EXPECT_EQ(store->isDirty(), wasDirty);
        EXPECT_TRUE(store->undoStack().isEmpty());
        EXPECT_TRUE(bar->text().startsWith(
            u"The subreport's file \u201CMaster_Subreport1.jrxml\u201D could not be made in the "
            u"folder \u201C"_s +
            QDir::toNativeSeparators(c.folder) + u"\u201D: "_s))
            << bar->text().toStdString();
        EXPECT_TRUE(bar->text().endsWith(u". Nothing was added."_s));
        EXPECT_FALSE(bar->text().contains(u": . "_s)) << "what the system said is there";
        QFile::setPermissions(c.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_FALSE(QFileInfo::exists(QDir(c.folder).filePath(u"Master_Subreport1.jrxml"_s)));
    }
}

// A frame whose padding fills its width (its own, or its style's), a list 0 high and a column
// header the page holds no higher: the palette's buttons and a paste into them add nothing, and
// the bar above the working area says why.
TEST_F(ContentViewTest, ThePaletteAndAPasteSayWhyAContainerOrBandWithoutRoomTakesNothing)
{
    const QString file = writeText(
        u"Roomless.jrxml"_s,
        "<jasperReport name=\"Roomless\" pageWidth=\"595\" pageHeight=\"140\" "
        "columnWidth=\"555\" leftMargin=\"20\" rightMargin=\"20\" topMargin=\"20\" "
        "bottomMargin=\"20\"><style name=\"Padded\"><box leftPadding=\"100\" "
        "rightPadding=\"100\"/></style><columnHeader><band height=\"0\"/></columnHeader>"
        "<detail><band height=\"100\"><frame><reportElement x=\"0\" y=\"0\" width=\"150\" "
        "height=\"40\"/><box leftPadding=\"100\" rightPadding=\"100\"/></frame><frame>"
        "<reportElement style=\"Padded\" x=\"160\" y=\"0\" width=\"150\" height=\"40\"/>"
        "</frame><line><reportElement x=\"320\" y=\"0\" width=\"100\" height=\"0\"/></line>"
        "</band></detail></jasperReport>");
    settings->setMeasurementUnit(MeasurementUnit::pixels);
    workspace.openTab(QUrl::fromLocalFile(file));
    DocumentStore *store = workspace.activeStore();
    ASSERT_TRUE(store);
    auto *palette = view->findChild<PaletteView *>();
    auto *bar = view->findChild<RefusalBar *>();
    ASSERT_TRUE(palette && bar);
    const ReportDocument before = store->document();
    ElementList detail = before.detailBands.first().elements;
    ASSERT_EQ(detail.size(), 3);
    const MeasurementUnit unit = settings->measurementUnit();
    for (const qsizetype i : {0, 1}) {
        const ReportElement &frame = detail.at(i);
        ASSERT_EQ(frame.paddingLeft + frame.paddingRight, 200) << i;
        store->setSelectedElementIDs({frame.id});
        palette->button(u"textformat"_s)->click();
        EXPECT_EQ(store->document(), before) << i;
        EXPECT_EQ(bar->text(), LengthLimits::noRoomWords(frame, unit));
        EXPECT_TRUE(bar->text().startsWith(
            u"Nothing can be added to this frame: its left and right padding, 100 px and 100 px, "
            u"fill its width of 150 px"_s))
            << bar->text().toStdString();
    }
    EXPECT_FALSE(store->isDirty());
    EXPECT_FALSE(store->canUndo());

    // The page is as low as its bands: a list for the column header is refused in the Band
    // Height field's words.
    const BandTarget header = BandTarget::standard(BandType::columnHeader);
    ASSERT_EQ(PageLayout::largestBandHeight(before, header), 0);
    store->setSelectedElementIDs({});
    store->setActiveBandTarget(header);
    palette->button(u"list.bullet.rectangle"_s)->click();
    EXPECT_EQ(store->document(), before);
    EXPECT_EQ(bar->text(), LengthLimits::bandHeight(*store, header, 60, unit).message);

    // A list 0 high (a file's) takes no line from the clipboard.
    ReportElement list;
    list.id = newId();
    list.kind = ElementKind::List{};
    list.y = 50;
    list.width = 200;
    list.height = 0;
    store->editDocument([&](ReportDocument &d) { d.detailBands.first().elements.append(list); });
    const ReportDocument withList = store->document();
    store->setSelectedElementIDs({detail.at(2).id});
    store->copySelectedElements();
    store->setSelectedElementIDs({list.id});
    store->pasteClipboard();
    EXPECT_EQ(store->document(), withList);
    EXPECT_EQ(bar->text(),
              u"Nothing can be added to this list: its contents are 200 px wide and 0 px high, so "
              u"an element in it would print nothing. Make the list wider or higher in the "
              u"Inspector first."_s);
}

// The bar names the values the reader changed because the engine could not read them, and the
// entity references it keeps as text.
TEST_F(ContentViewTest, ReaderWarningsNameTheValuesTheReaderChanged)
{
    const QString hostile =
        writeText(u"Hostile.jrxml"_s,
                  "<!DOCTYPE jasperReport [<!ENTITY lol9 \"lol\">]>"
                  "<jasperReport name=\"&lol9;\" pageWidth=\"1e308\" topMargin=\"inf\"><detail>"
                  "<band height=\"40\"><line><reportElement x=\"0\" y=\"0\" width=\"9\" "
                  "height=\"NaN\"/></line></band></detail></jasperReport>");
    workspace.openTab(QUrl::fromLocalFile(hostile));
    auto *bar = view->findChild<ReaderWarningsBar *>();
    ASSERT_TRUE(bar);
    // The first line does not say that what the lines below keep was left out.
    EXPECT_TRUE(bar->text().startsWith(u"Some content of \u201CHostile.jrxml\u201D is not held as "
                                       u"the file has it; saving writes the report as it is held "
                                       u"here:\n"_s))
        << bar->text().toStdString();
    for (const QString &said :
         {u"The entity reference &lol9; is kept as literal text"_s,
          u"pageWidth=\"1e308\" on <jasperReport> is not a whole number the engine can read; "
          u"the report now holds 2147483647"_s,
          u"topMargin=\"inf\" on <jasperReport> is not a whole number the engine can read; the "
          u"report now holds 30"_s,
          u"height=\"NaN\" on <reportElement> is not a whole number the engine can read; the "
          u"report now holds 20"_s})
        EXPECT_TRUE(bar->text().contains(said)) << bar->text().toStdString();
    EXPECT_EQ(workspace.activeStore()->document().pageWidth, 2147483647);
}

TEST_F(ContentViewTest, ErrorPanelExplainsWhatItCanAndShowsTheRestRaw)
{
    std::unique_ptr<QWidget> raw(ContentView::errorDisplay(u"something odd"_s));
    ASSERT_TRUE(raw->findChild<QTextEdit *>(u"RawError"_s));
    EXPECT_EQ(raw->findChild<QTextEdit *>(u"RawError"_s)->palette().color(QPalette::Text),
              QColor(Qt::red));
    EXPECT_EQ(raw->findChild<QTextEdit *>(u"RawError"_s)->toPlainText(), u"something odd"_s);

    std::unique_ptr<QWidget> friendly(
        ContentView::errorDisplay(u"No such property: Amount for class: X"_s));
    friendly->show();
    ASSERT_TRUE(friendly->findChild<QLabel *>(u"FriendlyError"_s));
    auto *details = friendly->findChild<QTextEdit *>(u"TechnicalDetails"_s);
    ASSERT_TRUE(details);
    EXPECT_FALSE(details->isVisible()) << "collapsed";
    friendly->findChild<QToolButton *>(u"TechnicalDetailsToggle"_s)->click();
    EXPECT_TRUE(details->isVisible());
    EXPECT_EQ(details->toPlainText(), u"No such property: Amount for class: X"_s);

    // A line without a space to wrap at (Groovy's generated class name, a line of code) wraps
    // within itself: the panel is never wider than the sheet, raw or under Technical Details.
    const QString longLine = u"calculator_Imp_"_s + QString(120, u'e') + u": 78: x"_s;
    for (const QString &error :
         {longLine, QString(u"No such property: Amount for class: X\n"_s + longLine)}) {
        std::unique_ptr<QWidget> shown(ContentView::errorDisplay(error));
        if (auto *toggle = shown->findChild<QToolButton *>(u"TechnicalDetailsToggle"_s))
            toggle->click();
        EXPECT_LT(shown->minimumSizeHint().width(), 300) << error.toStdString();
        shown->resize(300, 600);
        shown->show();
        QApplication::processEvents();
        for (auto *text : shown->findChildren<QTextEdit *>()) {
            if (text->isVisible()) {
                EXPECT_GT(text->height(), text->fontMetrics().lineSpacing() * 2)
                    << "the long line takes several lines";
            }
        }
    }

    view->presentExportError(u"something odd"_s);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().first().message, u"Export Failed"_s);
}

// The sheets are built the first time they are shown, and then behave as sheets built with the
// window: they show for the active tab, follow their flags and are kept.
TEST_F(ContentViewTest, NoSheetIsBuiltWithTheWindow)
{
    EXPECT_TRUE(all<SheetDialog>(u"PageSetupSheet"_s).isEmpty());
    EXPECT_TRUE(all<SheetDialog>(u"SourceSheet"_s).isEmpty());
    EXPECT_TRUE(all<ParameterValuesSheet>().isEmpty());
    EXPECT_TRUE(all<ImageImportOptionsSheet>().isEmpty());
    EXPECT_TRUE(all<SaveSnippetSheet>().isEmpty());
}

TEST_F(ContentViewTest, PageSetupIsBuiltForTheActiveTabAndThenFollowsTheTabs)
{
    workspace.newTab(842, 595);
    workspace.setIsPageSetupVisible(true);
    ASSERT_EQ(all<SheetDialog>(u"PageSetupSheet"_s).size(), 1);
    SheetDialog *sheet = all<SheetDialog>(u"PageSetupSheet"_s).first();
    ASSERT_TRUE(shows(sheet));
    EXPECT_TRUE(SheetModality::covers(view->window())) << "modal to the window";
    EXPECT_GE(sheet->width(), 420);
    auto *pageSetup = sheet->findChild<PageSetupView *>();
    ASSERT_TRUE(pageSetup);
    EXPECT_EQ(pageSetup, view->pageSetup());
    EXPECT_EQ(pageSetup->store(), workspace.activeStore());

    sheet->reject(); // closing the sheet clears the flag
    EXPECT_FALSE(workspace.isPageSetupVisible());
    workspace.setActiveTabIndex(0);
    EXPECT_EQ(pageSetup->store(), workspace.activeStore());
    workspace.setIsPageSetupVisible(true);
    EXPECT_TRUE(shows(sheet));
    EXPECT_EQ(all<SheetDialog>(u"PageSetupSheet"_s).size(), 1) << "the sheet is kept";
    workspace.setIsPageSetupVisible(false);
    EXPECT_TRUE(hides(sheet));
}

TEST_F(ContentViewTest, TheSourceSheetIsBuiltByItsFlagOrByAskingForIt)
{
    workspace.setIsSourceVisible(true);
    ASSERT_EQ(all<SheetDialog>(u"SourceSheet"_s).size(), 1);
    SheetDialog *sheet = all<SheetDialog>(u"SourceSheet"_s).first();
    EXPECT_TRUE(shows(sheet));
    EXPECT_TRUE(sheet->isWorkspaceSheet());
    EXPECT_EQ(sheet->findChild<SourceSheet *>(), view->sourceSheet());
    workspace.setIsSourceVisible(false);
    EXPECT_TRUE(hides(sheet));

    // Asked for, it loads the report and shows through its flag.
    view->sourceSheet()->openFromActiveReport();
    EXPECT_TRUE(workspace.isSourceVisible());
    EXPECT_TRUE(shows(sheet));
    EXPECT_TRUE(view->sourceSheet()->text().contains(u"<jasperReport"_s));
    EXPECT_EQ(all<SheetDialog>(u"SourceSheet"_s).size(), 1);
}

TEST_F(ContentViewTest, ThePromptAndTheImageSheetCatchUpWithWhatShowedThem)
{
    DocumentStore *store = workspace.activeStore();
    ReportDocument document = store->document();
    ReportParameter parameter;
    parameter.name = u"Region"_s;
    parameter.className = u"java.lang.String"_s;
    parameter.defaultValueExpression = u"\"North\""_s;
    parameter.isForPrompting = true;
    document.parameters = {parameter};
    store->setDocument(document);
    workspace.promptForParameterValues(store, [](const WorkspaceModel::ParameterValues &) {});
    ASSERT_EQ(all<ParameterValuesSheet>().size(), 1);
    ParameterValuesSheet *prompt = all<ParameterValuesSheet>().first();
    EXPECT_TRUE(shows(prompt));
    EXPECT_TRUE(prompt->isWorkspaceSheet());
    ASSERT_EQ(prompt->rows().size(), 1);
    workspace.dismissParameterPrompt();
    EXPECT_TRUE(hides(prompt));

    view->imageImport()->begin(QUrl::fromLocalFile(path(u"logo.png"_s)), {});
    ASSERT_EQ(all<ImageImportOptionsSheet>().size(), 1);
    ImageImportOptionsSheet *images = all<ImageImportOptionsSheet>().first();
    EXPECT_TRUE(shows(images));
    EXPECT_EQ(images->fileNameLabel()->text(), u"logo.png"_s);
    view->imageImport()->cancel();
    EXPECT_TRUE(hides(images));
}

TEST_F(ContentViewTest, TheSnippetSheetIsBuiltWhenTheSelectionIsFirstSaved)
{
    SnippetSheetState *state = view->palette()->snippetSheet();
    state->setName(u"Header"_s);
    state->setIsVisible(true);
    ASSERT_EQ(all<SaveSnippetSheet>().size(), 1);
    SaveSnippetSheet *sheet = all<SaveSnippetSheet>().first();
    EXPECT_EQ(sheet, view->palette()->saveSnippetSheet());
    EXPECT_TRUE(shows(sheet));
    EXPECT_EQ(sheet->nameField()->text(), u"Header"_s);
    sheet->cancelButton()->click();
    EXPECT_FALSE(state->isVisible());
    EXPECT_TRUE(hides(sheet));
}

} // namespace

// The list sample's list runs Addresses: the City field of the report's own pasted into it, and
// Street of the list's pasted into the band, keep their expressions; the bar names what each
// one's dataset lacks, and the canvas marks the copy with the expression editor's words, also
// once it is enclosed in a frame. An undo takes the copy and the words away.
TEST_F(ContentViewTest, ACopyNamingWhatItsNewDatasetLacksIsMarkedAndToldInTheBar)
{
    QUILLMARK_REQUIRE_CORPUS();
    const auto [store, bar, scene] = openListSample();
    ASSERT_TRUE(store && bar && scene);
    std::optional<ReportElement> city, street, list;
    store->forEveryElementInDocument([&](const ReportElement &e) {
        const auto *field = e.kind.as<ElementKind::TextField>();
        if (field && field->expression == u"$F{City}")
            city = e;
        if (field && field->expression == u"$F{Street}")
            street = e;
        if (e.kind.is<ElementKind::List>())
            list = e;
    });
    ASSERT_TRUE(city && street && list);
    EXPECT_TRUE(scene->elementView(city->id)->lacks().isEmpty()) << "as read, nothing lacks";

    struct Paste {
        ReportElement copied;
        std::optional<QUuid> into;
        QString words;
        QString mark;
    };
    const Paste pastes[] = {
        {*city, list->id,
         u"The pasted element names $F{City}, which the dataset \"Addresses\" does not declare. "
         u"Declare it there or change the expression: until then the report does not compile."_s,
         u"$F{City} isn't a declared field of the dataset \"Addresses\" this element runs in."_s},
        {*street, std::nullopt,
         u"The pasted element names $F{Street}, which the report's main dataset does not "
         u"declare. Declare it there or change the expression: until then the report does not "
         u"compile."_s,
         u"$F{Street} isn't a declared field in this report."_s},
    };
    for (const Paste &paste : pastes) {
        store->setSelectedElementIDs({paste.copied.id});
        store->copySelectedElements();
        store->setSelectedElementIDs(paste.into ? QSet<QUuid>{*paste.into} : QSet<QUuid>{});
        store->pasteClipboard();
        settle();
        const QUuid copy = *store->selectedElementID();
        EXPECT_EQ(store->element(copy)->kind, paste.copied.kind) << "the expression stays";
        EXPECT_EQ(bar->text(), paste.words);
        ElementView *marked = scene->elementView(copy);
        ASSERT_TRUE(marked);
        EXPECT_EQ(marked->lacks(), QStringList{paste.mark});
        EXPECT_EQ(marked->toolTip(), paste.mark);
        if (!paste.into) {
            // Enclosed in a frame, the copy stands in another element of the band: still marked.
            store->encloseSelectedInFrame();
            settle();
            ASSERT_TRUE(store->containerOf(copy));
            ASSERT_TRUE(scene->elementView(copy));
            EXPECT_EQ(scene->elementView(copy)->lacks(), QStringList{paste.mark});
            EXPECT_TRUE(scene->elementView(store->containerOf(copy)->id)->lacks().isEmpty());
            store->undo();
        }
        store->undo();
        settle();
        EXPECT_TRUE(bar->text().isEmpty());
        EXPECT_FALSE(scene->elementView(copy));
    }
}

// A text field copied in a JavaScript report and pasted into the list sample, a Java report:
// the bar says its expressions are written in JavaScript and the canvas marks it, until the
// report takes JavaScript as its language. An undo takes the copy and the words away.
TEST_F(ContentViewTest, ACopyWrittenInAnotherLanguageIsMarkedAndToldInTheBar)
{
    QUILLMARK_REQUIRE_CORPUS();
    const auto [store, bar, scene] = openListSample();
    ASSERT_TRUE(store && bar && scene);
    ReportElement joined;
    joined.id = newId();
    joined.width = 200;
    joined.height = 20;
    joined.kind = ElementKind::TextField{u"[\"Cyrillic:\", \"\u0431\"].join(\" \")"_s};
    store->clipboard()->setElements({joined}, u"javascript"_s);
    store->setSelectedElementIDs({});
    store->pasteClipboard();
    settle();
    const QUuid copy = *store->selectedElementID();
    EXPECT_EQ(bar->text(),
              u"The pasted element's expressions are written in JavaScript, this report's in Java: "
              u"rewrite them in Java where the two languages differ, or change the report's "
              u"language; until then the report does not compile."_s);
    const QString mark = u"This element's expressions are written in JavaScript, this report's in "
                         u"Java."_s;
    ASSERT_TRUE(scene->elementView(copy));
    EXPECT_EQ(scene->elementView(copy)->lacks(), QStringList{mark});
    EXPECT_EQ(scene->elementView(copy)->toolTip(), mark);

    store->editDocument([](ReportDocument &d) { d.language = u"javascript"_s; });
    settle();
    EXPECT_TRUE(scene->elementView(copy)->lacks().isEmpty());
    store->undo();
    settle();
    EXPECT_EQ(scene->elementView(copy)->lacks(), QStringList{mark});

    store->undo();
    settle();
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_FALSE(scene->elementView(copy));
}

// The subreport sample's master report: a list from the palette into the detail band, and the
// subreport copied into it. The bar names what the list's new dataset lacks of what the
// subreport names and of the variable it returns its value into, and the canvas marks the copy
// with each.
TEST_F(ContentViewTest, ASubreportCopiedIntoAListIsToldWhatItsReturnValueGoesInto)
{
    QUILLMARK_REQUIRE_CORPUS();
    DocumentStore *store = openSample(u"subreport/MasterReport.jrxml"_s);
    ASSERT_TRUE(store);
    auto *bar = view->findChild<RefusalBar *>();
    CanvasScene *scene = view->canvas()->sceneOf(store);
    ASSERT_TRUE(bar && scene);
    std::optional<ReportElement> products;
    store->forEveryElementInDocument([&](const ReportElement &e) {
        const auto *subreport = e.kind.as<ElementKind::Subreport>();
        if (subreport && subreport->expression == u"$P{ProductsSubreport}")
            products = e;
    });
    ASSERT_TRUE(products);
    store->setSelectedElementIDs({products->id});
    store->copySelectedElements();
    store->setSelectedElementIDs({});
    store->setActiveBandTarget(BandTarget::detailBand(store->document().detailBands[0].id));
    PaletteActions::insert(PaletteActions::Kind::list, *store, *settings);
    const std::optional<QUuid> list = store->selectedElementID();
    ASSERT_TRUE(list && store->element(*list)->kind.is<ElementKind::List>());
    const QString dataset = store->element(*list)->kind.as<ElementKind::List>()->datasetName;
    store->pasteClipboard();
    settle();
    const QString quoted = u"the dataset \""_s + dataset + u'"';
    EXPECT_EQ(bar->text(),
              u"The pasted element names $P{ProductsSubreport} and $F{City}, which "_s + quoted +
                  u" does not declare and returns into $V{ProductTotalPrice}, "
                  u"which "_s +
                  quoted +
                  u" does not declare. Declare them there or change the "
                  u"expressions and return values: until then the report does not "
                  u"compile."_s);
    const QUuid copy = *store->selectedElementID();
    ASSERT_TRUE(scene->elementView(copy));
    EXPECT_TRUE(scene->elementView(copy)->lacks().contains(
        u"This element returns a value into $V{ProductTotalPrice}, which isn't a declared "
        u"variable of "_s +
        quoted + u" it runs in."_s))
        << scene->elementView(copy)->lacks().join(u" / "_s).toStdString();
}
