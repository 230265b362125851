#include "AlertKeys.h"
#include "AppInstanceTest.h"
#include "app/AppMenus.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/MainWindow.h"
#include "canvas/AlignDistributeToolbar.h"
#include "canvas/CanvasView.h"
#include "canvas/FormatToolbar.h"
#include "canvas/PaletteView.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataPanelSheet.h"
#include "datapanel/DataPanelView.h"
#include "document/DocumentStore.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderView.h"
#include "model/JrxmlCodec.h"
#include "navigators/OutlineView.h"
#include "setup/NewReportCreation.h"
#include "setup/NewReportWizardState.h"
#include "widgets/LazyRowColumn.h"
#include "widgets/MeasurementField.h"
#include "widgets/PlainTextEdit.h"
#include "widgets/SheetDialog.h"
#include "widgets/Stepper.h"
#include "widgets/ToolbarToggleIcon.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QWindow>

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

    // The shown widget of the main window of that name (the inspector keeps no other, but one it
    // replaced may still wait for its deletion, and one it added waits to be shown).
    template <typename T = QWidget> T *shown(const QString &name) const
    {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (T *found : app->mainWindow()->findChildren<T *>(name)) {
            if (found->isVisible())
                return found;
        }
        return nullptr;
    }

    // The widget a field's keys go to: a length's number field, or the field itself.
    static QWidget *keysOf(QWidget *field)
    {
        if (auto *length = qobject_cast<MeasurementField *>(field))
            return length->lineEdit();
        return field;
    }

    // What the field shows.
    static QString textOf(QWidget *field)
    {
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            return edit->text();
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
            return spin->text();
        if (auto *text = qobject_cast<PlainTextEdit *>(field))
            return text->text();
        return u"(no text)"_s;
    }

    // The field takes the keys; Ctrl+A and `text` typed through its window.
    static void typeInto(QWidget *field, const QString &text)
    {
        field->setFocus(Qt::MouseFocusReason);
        QWindow *window = field->window()->windowHandle();
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::keyClick(window, c.toLatin1());
    }
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

    // The last, for a run of steps: the first by the toolbar, the others by the keys.
    enum class Way { toolbar, menu, keys, toolbarThenKeys };
    static constexpr const char *wayNames[] = {"toolbar", "Edit menu", "keys",
                                               "toolbar, then keys"};

    // A click on the window under a sheet as the window system delivers it: the window turns
    // active first (the sheet takes the activation back at once), then the click arrives.
    void clickUnderSheet(QWidget *widget, QPoint at = {}) const
    {
        QWindow *window = app->mainWindow()->windowHandle();
        bool lent = false;
        const QMetaObject::Connection watch = QObject::connect(
            window, &QWindow::activeChanged, window, [&] { lent = lent || window->isActive(); });
        window->requestActivate();
        EXPECT_TRUE(QTest::qWaitFor([&] { return lent; }));
        QObject::disconnect(watch);
        clickThroughWindow(widget, at);
    }

    // Undo or Redo by the toolbar's button, the Edit menu's item or the keys in the sheet (or in
    // the main window itself).
    void step(Way way, bool undo, QWidget *sheet)
    {
        if (way == Way::toolbar) {
            QToolButton *button =
                toolbarButton(undo ? u"arrow.uturn.backward"_s : u"arrow.uturn.forward"_s);
            if (sheet == app->mainWindow())
                clickThroughWindow(button);
            else
                clickUnderSheet(button);
        } else if (way == Way::menu) {
            QMenu *edit = openMenu(u"Edit"_s);
            ASSERT_TRUE(edit);
            choose(edit, undo ? u"Undo"_s : u"Redo"_s);
        } else {
            QTest::keyClick(sheet->windowHandle(), Qt::Key_Z,
                            undo ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        }
        EXPECT_TRUE(QTest::qWaitFor([sheet] { return QApplication::activeWindow() == sheet; }));
    }

    // Whether the toolbar and the Edit menu offer Undo and Redo; the two agree.
    std::pair<bool, bool> offered() const
    {
        const QMenu *edit = app->menus().editMenu();
        const std::pair<bool, bool> buttons{toolbarButton(u"arrow.uturn.backward"_s)->isEnabled(),
                                            toolbarButton(u"arrow.uturn.forward"_s)->isEnabled()};
        EXPECT_EQ(buttons, std::pair(AppMenus::action(edit, u"Undo"_s)->isEnabled(),
                                     AppMenus::action(edit, u"Redo"_s)->isEnabled()));
        return buttons;
    }

    // A click in the field, Ctrl+A and `text` typed.
    static void typeOver(QLineEdit *edit, const QString &text)
    {
        clickThroughWindow(edit);
        QWindow *window = edit->window()->windowHandle();
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::keyClick(window, c.toLatin1());
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
// redo the report, and the sheet shows it; in a text field whose typing reaches the report they
// take back that typing, the report's last step.
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

    // In a text field the keys take back its typing.
    auto *name = find<QLineEdit>(u"datapanel.fields.row0.name"_s);
    name->setFocus();
    QTest::keyClicks(name, u"X"_s);
    ASSERT_EQ(store()->document().fields[0].name, u"field1X"_s);
    press(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(name->text(), u"field1"_s) << "the typing is taken back";
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

// Page Setup: Landscape, Portrait, a left margin typed, not committed; Undo, Undo, Redo, Redo
// by the toolbar, the Edit menu and the keys alike. The typing is the last step done: it goes
// back first and comes back last, uncommitted; Return then commits it as one step. Neither a
// click on an empty spot of the toolbar nor the Edit menu opening commits it.
TEST_F(SheetUndoTest, UndoAndRedoUnderThePageSetupTakeTheTypingAndThePageInOneOrder)
{
    workspace().setIsPageSetupVisible(true);
    auto *sheet = find<SheetDialog>(u"PageSetupSheet"_s);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    QLineEdit *left = find<MeasurementField>(u"pagesetup.margins.left"_s)->lineEdit();
    QWidget *toolbar = toolbarButton(u"doc.richtext"_s)->parentWidget();
    const QPoint emptySpot = toolbarButton(u"doc.richtext"_s)->geometry().center() + QPoint(60, 0);
    ASSERT_FALSE(toolbar->childAt(emptySpot));
    int typed = 30;
    for (const Way way : {Way::toolbar, Way::menu, Way::keys}) {
        SCOPED_TRACE(wayNames[int(way)]);
        clickThroughWindow(find<QPushButton>(u"pagesetup.page.landscape"_s));
        const ReportDocument landscape = store()->document();
        clickThroughWindow(find<QPushButton>(u"pagesetup.page.portrait"_s));
        const ReportDocument portrait = store()->document();
        ASSERT_LT(portrait.pageWidth, landscape.pageWidth);
        const QString shown = left->text();
        const QString typing = QString::number(++typed);
        typeOver(left, typing);
        if (way == Way::toolbar) {
            clickUnderSheet(toolbar, emptySpot);
            ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == sheet; }));
            EXPECT_EQ(store()->document(), portrait) << "the click on the toolbar commits nothing";
            EXPECT_EQ(left->text(), typing);
        }
        EXPECT_EQ(offered(), std::pair(true, false));

        step(way, true, sheet);
        EXPECT_EQ(left->text(), shown) << "the typing goes back first";
        EXPECT_EQ(store()->document(), portrait);
        EXPECT_EQ(offered(), std::pair(true, true)) << "the typing can come back";
        step(way, true, sheet);
        EXPECT_EQ(store()->document(), landscape) << "then Portrait";
        step(way, false, sheet);
        EXPECT_EQ(store()->document(), portrait) << "Portrait comes back first";
        EXPECT_EQ(left->text(), shown);
        EXPECT_EQ(offered(), std::pair(true, true));
        step(way, false, sheet);
        EXPECT_EQ(left->text(), typing) << "then the typing";
        EXPECT_EQ(store()->document(), portrait) << "uncommitted";
        EXPECT_EQ(offered(), std::pair(true, false));

        QTest::keyClick(sheet->windowHandle(), Qt::Key_Return);
        ASSERT_NE(store()->document().leftMargin, portrait.leftMargin) << "Return commits it";
        step(way, true, sheet);
        EXPECT_EQ(store()->document(), portrait) << "as one step";
    }
}

// Report Data: a style's Bold ticked, then its size typed, which reaches the report as it is
// typed; Undo, Undo, Redo, Redo by the toolbar, the Edit menu and the keys alike walk the two
// steps back and forth, and the row shows each.
TEST_F(SheetUndoTest, UndoAndRedoUnderTheReportDataTakeAStylesSizeAndBoldInOneOrder)
{
    qint64 now = 0; // the user pauses between edits; typing a size is one run
    store()->setClock([&now] { return now; });
    ReportDocument document = store()->document();
    document.styles.append(ReportStyle{.name = u"Sans_Normal"_s, .fontSize = 10});
    store()->applyParsedSource(document);
    ASSERT_NO_FATAL_FAILURE(openDataSheet());
    auto *sheet = find<DataPanelSheet>(u"DataPanelSheet"_s);
    sheet->findChild<DataPanelView *>()
        ->cardContent(DataPanelCard::styles)
        ->findChild<LazyRowColumn *>()
        ->showRow(0);
    const auto size = [this] { return find<QLineEdit>(u"datapanel.styles.row0.size"_s); };
    const auto bold = [this] { return find<QCheckBox>(u"datapanel.styles.row0.bold"_s); };
    ASSERT_TRUE(size() && bold());
    int typed = 13;
    for (const Way way : {Way::toolbar, Way::menu, Way::keys}) {
        SCOPED_TRACE(wayNames[int(way)]);
        const ReportDocument before = store()->document();
        now += 10'000;
        clickThroughWindow(bold());
        const ReportDocument ticked = store()->document();
        ASSERT_NE(ticked.styles[0].isBold, before.styles[0].isBold);
        now += 10'000;
        typeOver(size(), QString::number(++typed));
        const ReportDocument sized = store()->document();
        ASSERT_EQ(sized.styles[0].fontSize, typed);
        now += 10'000;

        step(way, true, sheet);
        EXPECT_EQ(store()->document(), ticked) << "the size goes back";
        EXPECT_EQ(size()->text().toDouble(), ticked.styles[0].fontSize);
        EXPECT_EQ(offered(), std::pair(true, true));
        step(way, true, sheet);
        EXPECT_EQ(store()->document(), before) << "then Bold";
        EXPECT_EQ(bold()->isChecked(), before.styles[0].isBold);
        step(way, false, sheet);
        EXPECT_EQ(store()->document(), ticked) << "Bold comes back first";
        EXPECT_EQ(bold()->isChecked(), ticked.styles[0].isBold);
        step(way, false, sheet);
        EXPECT_EQ(store()->document(), sized) << "then the size";
        EXPECT_EQ(size()->text(), QString::number(typed));
        EXPECT_EQ(offered(), std::pair(true, false));
    }
}

// Fields of the inspector, each on an element of its own: X typed and committed, then the field
// typed in and left as it is. Undo, Undo, Redo, Redo by the toolbar, the Edit menu and the keys
// typed in the field alike, and by the toolbar first and the keys after it: the typing is the last
// step done, it goes back first and comes back last, X between. A length, a line width and a
// column width hold their typing until Return, which commits it as one step; texts, expressions
// and a cell's content reach the report as they are typed, as that step. A click on an empty spot
// of the canvas then commits nothing, and X can still be undone and redone.
TEST_F(SheetUndoTest, TheInspectorsTypingGoesBackFirstAndComesBackLastEveryWay)
{
    qint64 now = 0; // the user pauses between edits; typing in one field is one run
    store()->setClock([&now] { return now; });
    const auto table = [] {
        ReportTableColumn column = ReportTableColumn::blank();
        column.detailCellElement = ReportElement{.id = QUuid::createUuid(),
                                                 .kind = ElementKind::TextField{u"$F{a}"_s},
                                                 .width = 100,
                                                 .height = 20};
        return ElementKind::Table{.columns = {column}};
    };
    // A list whose rows come from a data source expression: a connection replaces it only once
    // the user agrees, when the field is committed.
    const std::optional<ReportElement> list = JrxmlCodec::parseSnippet(
        u"<componentElement><reportElement x=\"0\" y=\"0\" width=\"100\" height=\"20\"/>"
        "<jr:list xmlns:jr=\"http://jasperreports.sourceforge.net/jasperreports/components\">"
        "<datasetRun subDataset=\"Rows\"><dataSourceExpression><![CDATA[new "
        "net.sf.jasperreports.engine.JREmptyDataSource(3)]]></dataSourceExpression></datasetRun>"
        "<jr:listContents height=\"20\"/></jr:list></componentElement>"_s);
    ASSERT_TRUE(list && list->kind.as<ElementKind::List>());
    struct Row {
        const char *what;
        ElementKind kind;
        QString field;
        QString typing;
        bool held = false; // until Return
        bool asks = false; // at Return
    };
    const ElementKind label = ElementKind::StaticText{u"Hello"_s};
    const ElementKind textField = ElementKind::TextField{u"$F{a}"_s};
    const Row rows[] = {
        {"a length", label, u"inspector.frame.width"_s, u"60"_s, true},
        {"the Text card", label, u"inspector.text.editor"_s, u"Bye"_s, false},
        {"an expression", textField, u"inspector.expression.editor"_s, u"1+2"_s, false},
        {"a text field", textField, u"inspector.format.pattern"_s, u"0.00"_s, false},
        {"an expression field", textField, u"inspector.format.hyperlink"_s, u"h1"_s, false},
        {"a line width", ElementKind::Rectangle{}, u"inspector.shape.line"_s, u"2.5"_s, true},
        {"a column width", table(), u"inspector.columns.column0.width"_s, u"80"_s, true},
        {"a cell picker's text", table(), u"inspector.columns.column0.detail.content"_s, u"y2"_s,
         false},
        {"a connection", list->kind, u"inspector.list.connection"_s, u"$P{C}"_s, true, true},
    };
    QWidget *window = app->mainWindow();
    const QPoint emptySpot = canvas()->rect().bottomRight() - QPoint(60, 60);
    for (const Row &row : rows) {
        for (const Way way : {Way::toolbar, Way::menu, Way::keys, Way::toolbarThenKeys}) {
            SCOPED_TRACE(row.what);
            SCOPED_TRACE(wayNames[int(way)]);
            const ReportElement element{
                .id = QUuid::createUuid(), .kind = row.kind, .width = 100, .height = 20};
            store()->performAddElement(element, store()->activeBandTarget());
            store()->setSelectedElementIDs({element.id});
            QWidget *x = keysOf(shown(u"inspector.frame.x"_s));
            const QPointer<QWidget> field = keysOf(shown(row.field));
            ASSERT_TRUE(x && field);
            const auto fieldText = [&] { return field ? textOf(field) : u"(field gone)"_s; };
            int steps = 0;
            const auto undoRedo = [&](bool undo) {
                const Way current = way != Way::toolbarThenKeys ? way
                                    : steps++ == 0              ? Way::toolbar
                                                                : Way::keys;
                step(current, undo, window);
            };

            const qsizetype asked = dialogs->alerts().size();
            const ReportDocument before = store()->document();
            now += 10'000;
            typeInto(x, u"10"_s);
            QTest::keyClick(window->windowHandle(), Qt::Key_Return);
            const ReportDocument moved = store()->document();
            ASSERT_NE(moved, before);
            now += 10'000;
            const QString shownText = fieldText();
            typeInto(field, row.typing);
            ASSERT_EQ(fieldText(), row.typing);
            const ReportDocument typed = store()->document();
            if (row.held)
                EXPECT_EQ(typed, moved) << "nothing committed yet";
            else
                ASSERT_NE(typed, moved);
            now += 10'000;
            EXPECT_EQ(offered(), std::pair(true, false));

            // A multi-line editor keeps the caret where its text changed, at the end of all it
            // typed over.
            const auto caretAtEnd = [&] {
                const auto *text = qobject_cast<PlainTextEdit *>(field.data());
                return !text || text->textCursor().position() == text->text().size();
            };
            undoRedo(true);
            EXPECT_EQ(store()->document(), moved) << "the typing goes back first";
            EXPECT_EQ(fieldText(), shownText);
            EXPECT_TRUE(caretAtEnd());
            EXPECT_EQ(offered(), std::pair(true, true)) << "the typing can come back";
            undoRedo(true);
            EXPECT_EQ(store()->document(), before) << "then X";
            undoRedo(false);
            EXPECT_EQ(store()->document(), moved) << "X comes back first";
            EXPECT_EQ(fieldText(), shownText);
            EXPECT_EQ(offered(), std::pair(true, true));
            undoRedo(false);
            EXPECT_EQ(fieldText(), row.typing) << "then the typing";
            EXPECT_TRUE(caretAtEnd());
            EXPECT_EQ(store()->document(), typed);
            EXPECT_EQ(offered(), std::pair(true, false));
            EXPECT_EQ(dialogs->alerts().size(), asked) << "nothing asked before Return";
            if (row.held) {
                if (row.asks)
                    dialogs->answerAlert(0); // Replace
                QTest::keyClick(window->windowHandle(), Qt::Key_Return);
                EXPECT_NE(store()->document(), moved) << "Return commits it";
                EXPECT_EQ(dialogs->alerts().size(), asked + (row.asks ? 1 : 0));
                now += 10'000;
            }
            undoRedo(true);
            EXPECT_EQ(store()->document(), moved) << "as one step";

            clickThroughWindow(canvas(), emptySpot);
            EXPECT_EQ(store()->document(), moved) << "the click on the canvas commits nothing";
            undoRedo(true);
            EXPECT_EQ(store()->document(), before);
            undoRedo(false);
            EXPECT_EQ(store()->document(), moved) << "X can be redone";
            EXPECT_EQ(dialogs->alerts().size(), asked + (row.asks ? 1 : 0));
        }
    }
}

// A length typed in the inspector and not committed yet (no Return) goes to the element it was
// typed for before anything else of the window acts: a palette button, the align bar's and the
// format bar's buttons, an item of the Edit menu or of a context menu, a shortcut, a button that
// opens a sheet. It is a step of its own, before the step of what the user did then.
TEST_F(SheetUndoTest, TypingHeldInTheInspectorIsCommittedBeforeAnyOtherControlActs)
{
    app->settings().setMeasurementUnit(MeasurementUnit::pixels);
    ContentView *content = app->contentView();
    auto *alignBar = content->findChild<AlignDistributeToolbar *>();
    ASSERT_TRUE(alignBar);
    const auto elementIDs = [this] {
        QList<QUuid> found;
        for (const ReportElement &e : store()->document().detailBands.first().elements)
            found.append(e.id);
        return found;
    };
    QUuid typedFor;
    struct Row {
        const char *what;
        std::function<void()> act;
        // Elements the act adds: copies of the element typed for stand 10 points to its right.
        int added = 0;
        bool copies = false;
        // Whether the act is a step apart from the typing's: a change of the same element right
        // after it, and a change that is no step of the report, join or leave the typing's.
        bool stepped = true;
        // What the act made of the element typed for, when it changes it.
        std::function<bool(const ReportElement &)> done = {};
    };
    const Row rows[] = {
        {"the palette's Static Text",
         [&] { clickThroughWindow(content->palette()->button(u"textformat"_s)); }, 1},
        {"the align bar's Duplicate",
         [&] { clickThroughWindow(alignBar->button(u"plus.square.on.square"_s)); }, 1, true},
        {"the align bar's Send to Back",
         [&] { clickThroughWindow(alignBar->button(u"square.3.layers.3d.bottom.filled"_s)); }, 0,
         false, true, [&](const ReportElement &typed) { return elementIDs().first() == typed.id; }},
        {"the format bar's Bold",
         [&] { clickThroughWindow(content->formatToolbar()->toggle(u"bold"_s)); }, 0, false, false,
         [](const ReportElement &typed) { return typed.isBold; }},
        {"the Edit menu's Duplicate",
         [&] {
             QMenu *edit = openMenu(u"Edit"_s);
             ASSERT_TRUE(edit);
             choose(edit, u"Duplicate"_s);
         },
         1, true},
        {"Ctrl+D",
         [&] {
             QTest::keyClick(app->mainWindow()->windowHandle(), Qt::Key_D, Qt::ControlModifier);
         },
         1, true},
        {"the outline's menu",
         [&] {
             std::unique_ptr<QMenu> menu(
                 content->outline()->contextMenu(u"element."_s + idText(typedFor)));
             ASSERT_TRUE(menu);
             menu->popup(app->mainWindow()->mapToGlobal(QPoint(200, 200)));
             ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
             choose(menu.get(), u"Duplicate"_s);
         },
         1, true},
        {"the Report Data button",
         [&] {
             clickThroughWindow(content->trailingToolbar()->dataButton());
             EXPECT_TRUE(workspace().isDataPanelVisible());
             workspace().setIsDataPanelVisible(false);
             ASSERT_TRUE(apptest::activate(app->mainWindow()));
         },
         0, false, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const ReportElement element{.id = QUuid::createUuid(),
                                    .kind = ElementKind::StaticText{u"Hello"_s},
                                    .width = 100,
                                    .height = 20};
        store()->performAddElement(element, store()->activeBandTarget());
        store()->setSelectedElementIDs({element.id});
        typedFor = element.id;
        auto *x = shown<MeasurementField>(u"inspector.frame.x"_s);
        ASSERT_TRUE(x);
        typeOver(x->lineEdit(), u"33"_s);
        ASSERT_EQ(x->lineEdit()->text(), u"33"_s);
        ASSERT_EQ(store()->element(element.id)->x, 0) << "held, not committed";
        const QList<QUuid> before = elementIDs();

        row.act();
        const std::optional<ReportElement> typed = store()->element(element.id);
        ASSERT_TRUE(typed);
        EXPECT_EQ(typed->x, 33) << "the typing reaches the element it was typed for";
        EXPECT_TRUE(!row.done || row.done(*typed)) << "and the act did what it does";
        QList<QUuid> added = elementIDs();
        added.removeIf([&](const QUuid &id) { return before.contains(id); });
        EXPECT_EQ(added.size(), row.added);
        for (const QUuid &id : std::as_const(added)) {
            if (row.copies) {
                EXPECT_EQ(store()->element(id)->x, 33 + 10) << "a copy of what was typed";
            }
        }

        if (row.stepped) {
            store()->undo();
            EXPECT_EQ(store()->element(element.id)->x, 33) << "the typing is a step of its own";
            EXPECT_EQ(elementIDs(), before);
        }
        store()->undo();
        EXPECT_EQ(store()->element(element.id)->x, 0);
        store()->setSelectedElementIDs({});
    }
}

// A text field's expression builder, opened from the inspector, keeps the window out of reach:
// the toolbar's and the Edit menu's Undo and Redo show disabled and a click on them changes
// nothing, while Ctrl+Z in the builder takes back its own typing. Once Done closes it, they are
// offered again.
TEST_F(SheetUndoTest, UndoAndRedoAreNotOfferedUnderTheExpressionBuilder)
{
    const ReportElement element{.id = QUuid::createUuid(),
                                .kind = ElementKind::TextField{u"$F{a}"_s},
                                .width = 100,
                                .height = 20};
    store()->addElement(element, store()->activeBandTarget());
    store()->setSelectedElementIDs({element.id});
    ASSERT_EQ(offered(), std::pair(true, false));
    auto *button = shown<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
    ASSERT_TRUE(button);
    clickThroughWindow(button);
    SheetDialog *sheet = button->sheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    EXPECT_EQ(offered(), std::pair(false, false));

    const ReportDocument added = store()->document();
    clickThroughWindow(toolbarButton(u"arrow.uturn.backward"_s));
    EXPECT_EQ(store()->document(), added) << "the click on Undo changes nothing";
    CodeTextView *text = button->builder()->editor()->textView();
    text->setFocus();
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(sheet->windowHandle(), Qt::Key_X);
    ASSERT_EQ(text->toPlainText(), u"$F{a}x"_s);
    EXPECT_EQ(offered(), std::pair(false, false));
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text->toPlainText(), u"$F{a}"_s) << "Ctrl+Z takes back the builder's typing";

    clickThroughWindow(button->builder()->doneButton());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !button->sheet(); }));
    EXPECT_TRUE(offered().first) << "offered again once it closes";
    clickThroughWindow(toolbarButton(u"arrow.uturn.backward"_s));
    EXPECT_FALSE(store()->element(element.id)) << "the add is undone";
}
