#include "AlertKeys.h"
#include "AppInstanceTest.h"
#include "app/ContentView.h"
#include "app/MainWindow.h"
#include "canvas/CanvasView.h"
#include "datapanel/DataPanelSheet.h"
#include "datapanel/DataPanelView.h"
#include "document/DocumentStore.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "model/JrxmlCodec.h"
#include "setup/NewReportCreation.h"
#include "setup/NewReportWizardState.h"
#include "widgets/MeasurementField.h"
#include "widgets/SheetDialog.h"
#include "widgets/Stepper.h"
#include "workspace/WorkspaceModel.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The whole window, its sheets opened by their flags, keys typed through the window system.
class SheetUndoTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
        ASSERT_TRUE(apptest::activate(app->mainWindow()));
    }

    WorkspaceModel &workspace() const { return app->workspace(); }
    DocumentStore *store() const { return workspace().activeStore(); }
    template <typename T = QWidget> T *find(const QString &name) const
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (T *found = top->findChild<T *>(name))
                return found;
        }
        return nullptr;
    }

    // Presses the keys in the window the focus widget stands in, as a user does.
    static void press(QWidget *focus, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        focus->setFocus();
        QTest::keyClick(focus->window()->windowHandle(), key, modifiers);
        QApplication::processEvents();
    }

    // Types a length into a length field and leaves it with Return.
    void typeLength(const QString &name, const QString &text) const
    {
        auto *field = find<MeasurementField>(name);
        ASSERT_TRUE(field) << name.toStdString();
        QLineEdit *edit = field->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Opens the Report Data sheet by its flag and waits until it has the focus.
    void openDataSheet() const
    {
        workspace().setIsDataPanelVisible(true);
        auto *sheet = find<DataPanelSheet>(u"DataPanelSheet"_s);
        ASSERT_TRUE(sheet);
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    }

    QWidget *canvas() const { return app->contentView()->findChild<CanvasView *>(); }
    QToolButton *toolbarButton(const QString &symbol) const
    {
        return app->mainWindow()->findChild<QToolButton *>(symbol);
    }

    // Clicks at `at` in the widget (its centre by default) through its window, as the window
    // system delivers a click: where Qt's modality drops what a modal window shadows.
    static void clickThroughWindow(QWidget *widget, QPoint at = {})
    {
        QWidget *window = widget->window();
        const QPoint point = widget->mapTo(window, at.isNull() ? widget->rect().center() : at);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, point);
        QApplication::processEvents();
    }

    // Opens the main window's menu of that title with a click on the menu bar; null when the
    // click opens nothing.
    QMenu *openMenu(const QString &title) const
    {
        QMenuBar *bar = app->mainWindow()->menuBar();
        for (QAction *item : bar->actions()) {
            if (item->text() != title)
                continue;
            clickThroughWindow(bar, bar->actionGeometry(item).center());
            (void)QTest::qWaitFor([] { return QApplication::activePopupWidget(); }, 500);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            return menu && menu->menuAction() == item ? menu : nullptr;
        }
        return nullptr;
    }

    // Chooses the item of the open menu with a click in the menu's own window.
    static void choose(QMenu *menu, const QString &title)
    {
        for (QAction *item : menu->actions()) {
            if (item->text() == title) {
                clickThroughWindow(menu, menu->actionGeometry(item).center());
                return;
            }
        }
        FAIL() << "no menu item " << title.toStdString();
    }

    // What a click on the rest of the main window would start while a sheet covers it.
    void expectTheRestOfTheWindowOutOfReach()
    {
        clickThroughWindow(toolbarButton(u"doc.badge.plus"_s));
        EXPECT_FALSE(workspace().isNewReportWizardVisible()) << "New Report stays out of reach";
        const bool pageSetup = workspace().isPageSetupVisible();
        clickThroughWindow(toolbarButton(u"doc.richtext"_s));
        EXPECT_EQ(workspace().isPageSetupVisible(), pageSetup) << "Page Setup stays out of reach";
        clickThroughWindow(canvas());
        EXPECT_NE(QApplication::focusWidget(), canvas());
        EXPECT_FALSE(openMenu(u"File"_s)) << "the File menu stays closed";
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    }
};

} // namespace

// A new report with a header, page setup margins of 60 and 40 and two columns, Close, Ctrl+Z:
// only the columns go back; each further Ctrl+Z takes back one more edit, the header last.
TEST_F(SheetUndoTest, PageSetupChangesAreUndoneOneAtATimeAfterTheSheetCloses)
{
    NewReportWizardState state;
    state.setHeaderStyle(StarterHeaderStyle::slateGray);
    NewReportCreation::createReport(workspace(), state);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !store()->canRedo() && store()->canUndo(); }));
    const qsizetype header = store()->elements(BandTarget::standard(BandType::title)).size();
    ASSERT_GT(header, 0);

    workspace().setIsPageSetupVisible(true);
    auto *sheet = find<SheetDialog>(u"PageSetupSheet"_s);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    // Lengths the A4 page holds in any unit the sheet shows.
    typeLength(u"pagesetup.margins.left"_s, u"60"_s);
    typeLength(u"pagesetup.margins.right"_s, u"40"_s);
    QTest::mouseClick(
        find<Stepper>(u"pagesetup.columns.count"_s)->findChild<QToolButton *>(u"up"_s),
        Qt::LeftButton);
    ASSERT_EQ(store()->document().columnCount, 2);
    find<QPushButton>(u"pagesetup.close"_s)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet->isVisible(); }));
    ASSERT_TRUE(apptest::activate(app->mainWindow()));

    press(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(store()->document().columnCount, 1);
    EXPECT_NE(store()->document().leftMargin, store()->document().rightMargin);
    EXPECT_EQ(store()->elements(BandTarget::standard(BandType::title)).size(), header);
    press(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(store()->document().rightMargin, 30);
    EXPECT_NE(store()->document().leftMargin, 30);
    press(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(store()->document().leftMargin, 30);
    EXPECT_EQ(store()->elements(BandTarget::standard(BandType::title)).size(), header);
    press(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(store()->elements(BandTarget::standard(BandType::title)).size(), header - 1)
        << "the header's last element goes only now";
}

// With the Report Data sheet open, Ctrl+Z and Ctrl+Shift+Z typed outside a text field undo and
// redo the report, and the sheet shows it; in a text field they stay the field's.
TEST_F(SheetUndoTest, UndoAndRedoReachTheReportWhileItsDataSheetIsOpen)
{
    store()->addField();
    store()->addField();
    ASSERT_NO_FATAL_FAILURE(openDataSheet());
    auto *remove = find<QToolButton>(u"datapanel.fields.row1.remove"_s);
    ASSERT_TRUE(remove);
    remove->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(store()->document().fields.size(), 1);

    auto *close = find<QPushButton>(u"datapanel.close"_s);
    press(close, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(store()->document().fields.size(), 2);
    EXPECT_TRUE(find<QLineEdit>(u"datapanel.fields.row1.name"_s)) << "the sheet shows it";
    EXPECT_TRUE(workspace().isDataPanelVisible());
    press(close, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(store()->document().fields.size(), 1);

    // In a text field the keys are the field's own.
    auto *name = find<QLineEdit>(u"datapanel.fields.row0.name"_s);
    name->setFocus();
    QTest::keyClicks(name, u"X"_s);
    ASSERT_EQ(store()->document().fields[0].name, u"field1X"_s);
    press(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(name->text(), u"field1"_s) << "the field undid its own typing";
    EXPECT_EQ(store()->document().fields.size(), 1) << "the report's removal stays";
}

// Add Parameter, Ctrl+Z, a field renamed in the Fields card, Ctrl+Shift+Z: the rename ended what
// could be redone, so the parameter stays gone and the rename stays; the query's typing does the
// same to the rename's undo.
TEST_F(SheetUndoTest, AnEditInTheSheetAfterAnUndoEndsWhatCouldBeRedone)
{
    store()->addField();
    ASSERT_NO_FATAL_FAILURE(openDataSheet());
    auto *close = find<QPushButton>(u"datapanel.close"_s);

    QTest::mouseClick(find<QPushButton>(u"datapanel.params.add"_s), Qt::LeftButton);
    ASSERT_EQ(store()->document().parameters.size(), 1);
    press(close, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(store()->document().parameters.isEmpty());

    auto *name = find<QLineEdit>(u"datapanel.fields.row0.name"_s);
    ASSERT_TRUE(name);
    name->setFocus();
    QTest::keyClicks(name, u"X"_s);
    ASSERT_EQ(store()->document().fields[0].name, u"field1X"_s);
    press(close, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(store()->document().parameters.isEmpty()) << "the undone add stays undone";
    EXPECT_EQ(store()->document().fields[0].name, u"field1X"_s);
    EXPECT_TRUE(JrxmlCodec::serialize(store()->document()).contains(R"(name="field1X")"));

    // The rename undone, then the query typed: redo has nothing left to bring back.
    press(close, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(store()->document().fields[0].name, u"field1"_s);
    auto *query = find<CodeEditorView>(u"datapanel.query.editor"_s);
    ASSERT_TRUE(query);
    query->textView()->setFocus();
    QTest::keyClicks(query->textView(), u"SELECT 1"_s);
    ASSERT_EQ(store()->document().queryString, u"SELECT 1"_s);
    press(close, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(store()->document().fields[0].name, u"field1"_s);
    EXPECT_EQ(store()->document().queryString, u"SELECT 1"_s);
}

// With the Report Data sheet open, clicks on the toolbar's Undo and Redo undo and redo the report
// under it, and the sheet shows it; the rest of the window stays out of reach.
TEST_F(SheetUndoTest, TheToolbarsUndoAndRedoReachTheReportUnderItsDataSheet)
{
    store()->addField();
    store()->addField();
    ASSERT_NO_FATAL_FAILURE(openDataSheet());
    find<QToolButton>(u"datapanel.fields.row1.remove"_s)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(store()->document().fields.size(), 1);

    clickThroughWindow(toolbarButton(u"arrow.uturn.backward"_s));
    ASSERT_EQ(store()->document().fields.size(), 2);
    EXPECT_TRUE(find<QLineEdit>(u"datapanel.fields.row1.name"_s)) << "the sheet shows it";
    EXPECT_TRUE(workspace().isDataPanelVisible());
    clickThroughWindow(toolbarButton(u"arrow.uturn.forward"_s));
    EXPECT_EQ(store()->document().fields.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(find<QLineEdit>(u"datapanel.fields.row1.name"_s));

    expectTheRestOfTheWindowOutOfReach();
    // The menu's other shortcuts stay out of reach too.
    press(find<QPushButton>(u"datapanel.close"_s), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(dialogs->openPanels().isEmpty()) << "Ctrl+O opens nothing";
    EXPECT_TRUE(workspace().isDataPanelVisible());
    EXPECT_EQ(store()->document().fields.size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([] {
        return QApplication::activeWindow() &&
               QApplication::activeWindow()->objectName() == u"DataPanelSheet"_s;
    })) << "the keys stay with the sheet";
}

// The Edit menu opens over the Report Data sheet; its Undo and Redo undo and redo the report,
// its other items do nothing there.
TEST_F(SheetUndoTest, TheEditMenusUndoAndRedoReachTheReportUnderItsDataSheet)
{
    store()->addField();
    ASSERT_NO_FATAL_FAILURE(openDataSheet());
    QTest::mouseClick(find<QPushButton>(u"datapanel.params.add"_s), Qt::LeftButton);
    ASSERT_EQ(store()->document().parameters.size(), 1);

    QMenu *edit = openMenu(u"Edit"_s);
    ASSERT_TRUE(edit);
    choose(edit, u"Undo"_s);
    EXPECT_TRUE(store()->document().parameters.isEmpty());
    EXPECT_FALSE(find<QLineEdit>(u"datapanel.params.row0.name"_s)) << "the sheet shows it";
    EXPECT_FALSE(QApplication::activePopupWidget()) << "the menu closes";

    edit = openMenu(u"Edit"_s);
    ASSERT_TRUE(edit);
    choose(edit, u"Redo"_s);
    EXPECT_EQ(store()->document().parameters.size(), 1);

    // Its other items stay out of reach, by click and by key.
    edit = openMenu(u"Edit"_s);
    ASSERT_TRUE(edit);
    choose(edit, u"Find..."_s);
    EXPECT_TRUE(QApplication::activePopupWidget()) << "the click on Find... runs nothing";
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(QApplication::activePopupWidget(), edit) << "Left opens no other menu";
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(QApplication::activePopupWidget());
    EXPECT_EQ(store()->document().parameters.size(), 1);
    EXPECT_TRUE(workspace().isDataPanelVisible());
}

// Page setup: a margin typed, the toolbar's Undo clicked, the sheet shows the margin it had.
TEST_F(SheetUndoTest, TheToolbarsUndoReachesTheReportUnderThePageSetup)
{
    workspace().setIsPageSetupVisible(true);
    auto *sheet = find<SheetDialog>(u"PageSetupSheet"_s);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    const int margin = store()->document().leftMargin;
    const QString shown = find<MeasurementField>(u"pagesetup.margins.left"_s)->lineEdit()->text();
    typeLength(u"pagesetup.margins.left"_s, u"60"_s);
    ASSERT_NE(store()->document().leftMargin, margin);

    clickThroughWindow(toolbarButton(u"arrow.uturn.backward"_s));
    EXPECT_EQ(store()->document().leftMargin, margin);
    EXPECT_EQ(find<MeasurementField>(u"pagesetup.margins.left"_s)->lineEdit()->text(), shown);
    clickThroughWindow(toolbarButton(u"arrow.uturn.forward"_s));
    EXPECT_NE(store()->document().leftMargin, margin);
    EXPECT_TRUE(workspace().isPageSetupVisible());
    expectTheRestOfTheWindowOutOfReach();
    EXPECT_TRUE(workspace().isPageSetupVisible());
}

// A length typed in the Page Setup and not yet committed: the toolbar's Undo takes the typing
// back first, as Ctrl+Z typed there does; the step before stays, and can be undone and redone.
TEST_F(SheetUndoTest, TheToolbarsUndoUnderThePageSetupTakesBackUncommittedTypingFirst)
{
    workspace().setIsPageSetupVisible(true);
    auto *sheet = find<SheetDialog>(u"PageSetupSheet"_s);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    const ReportDocument portrait = store()->document();
    find<QPushButton>(u"pagesetup.page.landscape"_s)->click();
    ASSERT_GT(store()->document().pageWidth, store()->document().pageHeight);
    const ReportDocument landscape = store()->document();

    QLineEdit *left = find<MeasurementField>(u"pagesetup.margins.left"_s)->lineEdit();
    const QString shown = left->text();
    left->setFocus();
    left->selectAll();
    QTest::keyClicks(left, u"60"_s);
    ASSERT_EQ(store()->document(), landscape) << "nothing committed yet";

    clickThroughWindow(toolbarButton(u"arrow.uturn.backward"_s));
    EXPECT_EQ(left->text(), shown) << "the typing is taken back";
    EXPECT_EQ(store()->document(), landscape) << "the page stays landscape";
    left->clearFocus();
    QApplication::processEvents();
    EXPECT_EQ(store()->document(), landscape) << "leaving the field commits nothing";

    clickThroughWindow(toolbarButton(u"arrow.uturn.backward"_s));
    EXPECT_EQ(store()->document().pageWidth, portrait.pageWidth);
    ASSERT_TRUE(store()->canRedo());
    clickThroughWindow(toolbarButton(u"arrow.uturn.forward"_s));
    EXPECT_EQ(store()->document(), landscape) << "landscape can be redone";
}

// A field that an expression uses, its removal confirmed in the real alert while a name field
// had the keys: Ctrl+Z typed next in the sheet brings the field back.
TEST_F(SheetUndoTest, AfterARemovalQuestionUndoTakesTheRemovalBack)
{
    launch(true);
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    ASSERT_TRUE(apptest::activate(app->mainWindow()));
    store()->addField();
    store()->addField();
    ReportDocument document = store()->document();
    ReportVariable total;
    total.name = u"Total"_s;
    total.className = u"java.lang.String"_s;
    total.expression = u"$F{field2}"_s;
    document.variables.append(total);
    store()->applyParsedSource(document);
    ASSERT_NO_FATAL_FAILURE(openDataSheet());
    auto *name = find<QLineEdit>(u"datapanel.fields.row0.name"_s);
    name->setFocus();
    QTest::keyClicks(name, u"X"_s);

    QString question;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        answer.stop();
        question = box->text();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == u"Remove"_s)
                button->click();
        }
    });
    answer.start();
    find<QToolButton>(u"datapanel.fields.row1.remove"_s)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(question.contains(u"$F{field2}"_s)) << question.toStdString();
    ASSERT_EQ(store()->document().fields.size(), 1);

    // The window system gives the sheet the keys back.
    auto *sheet = find<DataPanelSheet>(u"DataPanelSheet"_s);
    ASSERT_TRUE(apptest::activate(sheet));
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(store()->document().fields.size(), 2) << "the removal is taken back";
    EXPECT_EQ(store()->document().fields[0].name, u"field1X"_s);
}
