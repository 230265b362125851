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
};

} // namespace

// A new report with a header, page setup margins 200 and 100 and two columns, Close, Ctrl+Z:
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
    typeLength(u"pagesetup.margins.left"_s, u"200"_s);
    typeLength(u"pagesetup.margins.right"_s, u"100"_s);
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
