#include "AlertKeys.h"
#include "ModelBuilders.h"
#include "app/KeyMonitor.h"
#include "document/DocumentStore.h"
#include "widgets/SheetDialog.h"
#include "widgets/TextInputFocus.h"
#include "widgets/WidgetDialogs.h"
#include "workspace/WorkspaceModel.h"

#include <QComboBox>
#include <QGraphicsProxyWidget>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A focusable widget that remembers the keys that reached it.
class KeyRecorder : public QWidget {
public:
    explicit KeyRecorder(QWidget *parent = nullptr) : QWidget(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
    }
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append(event->key()); }
};

// A main window with a plain focusable area and a text field, a workspace whose report has
// one selected element, and the key monitor installed. Keys are sent through the window
// system, as a user's keys arrive.
class KeyRoutingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        canvas = new KeyRecorder(&window);
        field = new QLineEdit(&window);
        layout->addWidget(canvas);
        layout->addWidget(field);
        window.resize(400, 300);
        show(&window);
        KeyMonitor::install(&workspace, &window);

        DocumentStore *store = workspace.activeStore();
        const ReportElement element = testsupport::element(ElementKind::Rectangle{});
        store->performAddElement(element, store->activeBandTarget());
        store->setSelectedElementIDs({element.id});
    }

    static void show(QWidget *widget)
    {
        widget->show();
        widget->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
    }

    // Focuses the widget in its window and presses the key there.
    static void press(QWidget *focus, Qt::Key key)
    {
        focus->setFocus();
        QTest::keyClick(focus->window()->windowHandle(), key);
    }

    qsizetype selected() const { return workspace.activeStore()->selectedElementIDs().size(); }
    qsizetype elements() const
    {
        const DocumentStore *store = workspace.activeStore();
        return store->elements(store->activeBandTarget()).size();
    }

    QWidget window;
    KeyRecorder *canvas = nullptr;
    QLineEdit *field = nullptr;
    WorkspaceModel workspace;
};

TEST_F(KeyRoutingTest, TheReportTakesDeleteAndEscapeAndTheWidgetDoesNotSeeThem)
{
    press(canvas, Qt::Key_Escape);
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(elements(), 1);
    EXPECT_TRUE(canvas->keys.isEmpty()) << "a key the report used goes no further";

    press(canvas, Qt::Key_A);
    EXPECT_EQ(canvas->keys, QList<int>{Qt::Key_A}) << "other keys reach the widget";

    workspace.activeStore()->selectAllInActiveBand();
    press(canvas, Qt::Key_Delete);
    EXPECT_EQ(elements(), 0);
    EXPECT_EQ(canvas->keys, QList<int>{Qt::Key_A});
}

TEST_F(KeyRoutingTest, TextFieldsKeepTheirKeys)
{
    field->setText(u"ab"_s);
    field->setCursorPosition(2);
    press(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), u"a"_s);
    press(field, Qt::Key_Escape);
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(elements(), 1);
}

TEST_F(KeyRoutingTest, EscapeClosesTheSheetsUnlessATextFieldInOneHasIt)
{
    SheetDialog sheet(&window, [&] { workspace.setIsDataPanelVisible(false); });
    sheet.setIsWorkspaceSheet(true);
    auto *sheetField = new QLineEdit(&sheet);
    auto *button = new QPushButton(u"Button"_s, &sheet);
    auto *layout = new QVBoxLayout(&sheet);
    layout->addWidget(sheetField);
    layout->addWidget(button);
    QObject::connect(&workspace, &WorkspaceModel::isDataPanelVisibleChanged, &sheet,
                     [&] { sheet.setShown(workspace.isDataPanelVisible()); });
    workspace.setIsDataPanelVisible(true);
    workspace.setIsSourceVisible(true);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));

    press(sheetField, Qt::Key_Escape);
    EXPECT_TRUE(sheet.isVisible()) << "the text field keeps its Escape";
    EXPECT_TRUE(workspace.isDataPanelVisible());

    press(button, Qt::Key_Delete);
    EXPECT_EQ(elements(), 1) << "keys go to the sheet while one is open";

    press(button, Qt::Key_Escape);
    EXPECT_FALSE(workspace.isAnySheetOpen());
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(selected(), 1) << "the Escape that closed the sheets went no further";
}

TEST_F(KeyRoutingTest, EscapeInAnAlertOverASheetAnswersTheAlertAndKeepsTheSheet)
{
    SheetDialog sheet(&window, [&] { workspace.setIsSourceVisible(false); });
    sheet.setIsWorkspaceSheet(true);
    auto *button = new QPushButton(u"Button"_s, &sheet);
    (new QVBoxLayout(&sheet))->addWidget(button);
    QObject::connect(&workspace, &WorkspaceModel::isSourceVisibleChanged, &sheet,
                     [&] { sheet.setShown(workspace.isSourceVisible()); });
    workspace.setIsSourceVisible(true);
    ASSERT_TRUE(apptest::activate(&sheet));

    WidgetDialogs dialogs(&sheet);
    QString shown;
    int answer = -2;
    {
        const auto escape = apptest::pressInNextAlert(Qt::Key_Escape, &shown);
        answer = dialogs.runAlert({AlertRequest::Style::warning,
                                   u"Replace the text?"_s,
                                   {},
                                   {{u"Replace"_s}, {u"Cancel"_s, AlertRequest::Role::cancel}}});
    }
    EXPECT_EQ(shown, u"Replace the text?"_s);
    EXPECT_EQ(answer, 1) << "Escape is the alert's: its Cancel";
    EXPECT_TRUE(workspace.isSourceVisible());
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(selected(), 1);

    // Back in the sheet, Escape closes it.
    ASSERT_TRUE(apptest::activate(&sheet));
    press(button, Qt::Key_Escape);
    EXPECT_FALSE(workspace.isSourceVisible());
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(KeyRoutingTest, KeysOfOtherWindowsNeverReachTheReport)
{
    // An alert: a modal window that is not one of the workspace's sheets.
    QDialog alert(&window);
    alert.setModal(true);
    auto *ok = new QPushButton(u"OK"_s, &alert);
    show(&alert);
    press(ok, Qt::Key_Backspace);
    EXPECT_EQ(elements(), 1);
    alert.hide();

    // A second top-level window, such as the preferences.
    QWidget preferences;
    auto *recorder = new KeyRecorder(&preferences);
    show(&preferences);
    press(recorder, Qt::Key_Delete);
    EXPECT_EQ(elements(), 1);
    EXPECT_EQ(recorder->keys, QList<int>{Qt::Key_Delete});
}

TEST(TextInputFocus, KnowsWhichWidgetsTakeTyping)
{
    QSpinBox spin;
    QSpinBox readOnlySpin;
    readOnlySpin.setReadOnly(true);
    QComboBox combo;
    QComboBox editableCombo;
    editableCombo.setEditable(true);
    QPushButton button;
    QLineEdit edit;
    struct Case {
        const QWidget *widget;
        bool isText;
    };
    const Case cases[] = {{&edit, true},   {&spin, true},          {&readOnlySpin, false},
                          {&combo, false}, {&editableCombo, true}, {&button, false},
                          {nullptr, false}};
    for (const Case &c : cases)
        EXPECT_EQ(isTextInput(c.widget), c.isText)
            << (c.widget ? c.widget->metaObject()->className() : "none");
}

TEST(TextInputFocus, SeesEditorsOnAGraphicsScene)
{
    QGraphicsScene scene;
    QGraphicsView view(&scene);
    auto *text = scene.addText(u"label"_s);
    auto *proxy = scene.addWidget(new QLineEdit);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();

    text->setFlag(QGraphicsItem::ItemIsFocusable);
    text->setFocus();
    EXPECT_FALSE(isTextInputFocused()) << "a label that takes no typing";
    text->setTextInteractionFlags(Qt::TextEditorInteraction);
    EXPECT_TRUE(isTextInputFocused());
    proxy->setFocus();
    EXPECT_TRUE(isTextInputFocused());
    scene.clearFocus();
    EXPECT_FALSE(isTextInputFocused());
}

} // namespace

// The Quit menu item cannot be reached while a sheet covers the main window: Ctrl+Q typed in a
// sheet quits all the same (asking about unsaved reports as usual, which `quit` does).
TEST(KeyRoutingQuit, CtrlQInASheetQuits)
{
    QWidget window;
    WorkspaceModel workspace;
    window.resize(300, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    int quits = 0;
    KeyMonitor::install(&workspace, &window, [&] { ++quits; });

    SheetDialog sheet(&window, [&] { workspace.setIsDataPanelVisible(false); });
    sheet.setIsWorkspaceSheet(true);
    auto *button = new QPushButton(u"Button"_s, &sheet);
    auto *layout = new QVBoxLayout(&sheet);
    layout->addWidget(button);
    QObject::connect(&workspace, &WorkspaceModel::isDataPanelVisibleChanged, &sheet,
                     [&] { sheet.setShown(workspace.isDataPanelVisible()); });
    workspace.setIsDataPanelVisible(true);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    button->setFocus();
    QTest::keyClick(sheet.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
    QTest::keyClick(sheet.windowHandle(), Qt::Key_Q);
    EXPECT_EQ(quits, 1) << "Q alone is a key like any other";
    workspace.setIsDataPanelVisible(false);
}
