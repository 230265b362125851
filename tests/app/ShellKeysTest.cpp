#include "AlertKeys.h"
#include "AppInstanceTest.h"
#include "EngineJudge.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/CrashDetection.h"
#include "app/MainWindow.h"
#include "app/SettingsView.h"
#include "app/SettingsWindow.h"
#include "app/SourceSheet.h"
#include "app/TabBarView.h"
#include "app/TabChip.h"
#include "document/DocumentStore.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderView.h"
#include "editors/FindBar.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace {

// The whole program, driven by the keys and clicks of a user.
class ShellKeysTest : public apptest::AppInstanceTest {
protected:
    void show()
    {
        app->start();
        ASSERT_TRUE(apptest::activate(window()));
    }

    MainWindow *window() const { return app->mainWindow(); }
    ContentView *content() const { return app->contentView(); }
    WorkspaceModel &workspace() const { return app->workspace(); }
    static void press(QWidget *window, int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window->windowHandle(), Qt::Key(key), modifiers);
    }
    static QVariant stored(const QString &key)
    {
        QSettings settings;
        settings.sync();
        return settings.value(key);
    }
};

TEST_F(ShellKeysTest, FindKeysWorkInTheSourceSheetsEditor)
{
    show();
    QTest::mouseClick(content()->trailingToolbar()->sourceButton(), Qt::LeftButton);
    SourceSheet *sheet = content()->sourceSheet();
    QWidget *dialog = sheet->window();
    ASSERT_TRUE(apptest::activate(dialog));
    CodeEditorView *editor = sheet->editor();
    QPlainTextEdit *text = editor->textView();
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, QPoint(60, 8));
    ASSERT_EQ(QApplication::focusWidget(), text);

    press(dialog, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(editor->findBar()->isVisible()) << "Ctrl+F shows the find bar over the sheet";
    ASSERT_EQ(QApplication::focusWidget(), editor->findBar()->field());
    QTest::keyClicks(editor->findBar()->field(), u"<band"_s);
    press(dialog, Qt::Key_Return);
    EXPECT_EQ(text->textCursor().selectedText(), u"<band"_s);
    const int first = text->textCursor().selectionStart();

    press(dialog, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(text->textCursor().selectedText(), u"<band"_s);
    const int second = text->textCursor().selectionStart();
    EXPECT_GT(second, first) << "Ctrl+G finds the next match";
    press(dialog, Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text->textCursor().selectionStart(), first) << "Ctrl+Shift+G the previous one";

    // From the text itself as well.
    text->setFocus();
    press(dialog, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(text->textCursor().selectionStart(), second);

    const auto *apply = sheet->findChild<QPushButton *>(u"ApplySource"_s);
    ASSERT_NE(apply, nullptr);
    const QString saveKey = QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText);
    EXPECT_TRUE(apply->toolTip().contains(u"close this sheet and press "_s + saveKey))
        << apply->toolTip().toStdString();
    EXPECT_FALSE(apply->toolTip().contains(u"Cmd+S"_s));
}

// The menus have the same keys: while the editor's completion list is open both would be live,
// and Qt would give the key to neither. The editor alone takes them, and Qt warns of nothing.
TEST_F(ShellKeysTest, FindKeysWorkWhileTheCompletionListIsOpen)
{
    show();
    workspace().openTab(QUrl::fromLocalFile(writeReport(u"Sales.jrxml"_s)));
    DocumentStore *store = workspace().activeStore();
    const ReportElement field{
        .id = QUuid::createUuid(), .kind = ElementKind::TextField{}, .width = 100, .height = 20};
    store->performAddElement(field, store->activeBandTarget());
    store->setSelectedElementIDs({field.id});
    auto *button =
        window()->findChild<ExpressionBuilderButton *>(u"inspector.expression.builder"_s);
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(button->builder());
    QWidget *dialog = button->builder()->window();
    ASSERT_TRUE(apptest::activate(dialog));
    CodeEditorView *editor = button->builder()->editor();
    CodeTextView *text = editor->textView();
    editor->setText(u"$V{PAGE_NUMBER} + $V{PAGE_NUMBER} + "_s);
    editor->findBar()->field()->setText(u"$V{PAGE_NUMBER}"_s);
    text->setFocus();
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, u"$V{"_s);
    QWidget *list = editor->completer()->popup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));

    QStringList warnings;
    static QStringList *heard = nullptr;
    heard = &warnings;
    const QtMessageHandler before =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            heard->append(message);
        });
    press(list->window(), Qt::Key_G, Qt::ControlModifier);
    const int first = text->textCursor().selectionStart();
    press(list->window(), Qt::Key_G, Qt::ControlModifier);
    const int second = text->textCursor().selectionStart();
    list->hide();
    // With the text's context menu open, the Edit menu's key finds in the editor.
    std::unique_ptr<QMenu> menu(text->createStandardContextMenu());
    menu->popup(text->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu.get(); }));
    press(menu->window(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    const int third = text->textCursor().selectionStart();
    qInstallMessageHandler(before);
    EXPECT_EQ(text->textCursor().selectedText(), u"$V{PAGE_NUMBER}"_s) << "Ctrl+G finds a match";
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 18) << "and then the next one";
    EXPECT_EQ(third, 0) << "Ctrl+Shift+G the previous one";
    EXPECT_TRUE(warnings.filter(u"Ambiguous"_s).isEmpty()) << warnings.join(u'\n').toStdString();
    menu->close();
    button->builder()->doneButton()->click();
}

// Apply refuses, with the reason, a report root the engine would refuse: a <jasperReport> in
// another namespace. Without a namespace (as a DOCTYPE file has it) the engine reads it.
TEST_F(ShellKeysTest, TheSourceSheetRefusesARootInAnotherNamespace)
{
    show();
    DocumentStore *store = workspace().activeStore();
    const ReportDocument before = store->document();
    QTest::mouseClick(content()->trailingToolbar()->sourceButton(), Qt::LeftButton);
    SourceSheet *sheet = content()->sourceSheet();
    ASSERT_TRUE(apptest::activate(sheet->window()));
    QPlainTextEdit *text = sheet->editor()->textView();
    const QString uri = u"http://jasperreports.sourceforge.net/jasperreports"_s;
    const qsizetype at = text->toPlainText().indexOf(u"xmlns=\""_s + uri + u'"');
    ASSERT_GT(at, 0);
    ASSERT_EQ(text->document()->findBlock(int(at)).blockNumber(), 1) << "on line 2";
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, QPoint(60, 8));
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(int(at + 7 + uri.size()));
    text->setTextCursor(cursor);
    QTest::keyClicks(text, u"X"_s);
    ASSERT_TRUE(sheet->text().contains(uri + u"X\""_s));

    auto *apply = sheet->findChild<QPushButton *>(u"ApplySource"_s);
    ASSERT_NE(apply, nullptr);
    QTest::mouseClick(apply, Qt::LeftButton);
    ASSERT_TRUE(sheet->errorMessage());
    EXPECT_TRUE(sheet->errorMessage()->contains(uri + u"X"_s))
        << sheet->errorMessage()->toStdString();
    EXPECT_TRUE(sheet->errorLabel()->isVisible());
    EXPECT_EQ(store->document(), before);
    EXPECT_FALSE(store->canUndo());

    // Nor is a prefix for another namespace.
    const QString prefixed = QString(sheet->text())
                                 .replace(uri + u"X\""_s, uri + u"\" xmlns:jr=\"urn:other\""_s)
                                 .replace(u"<jasperReport"_s, u"<jr:jasperReport"_s)
                                 .replace(u"</jasperReport>"_s, u"</jr:jasperReport>"_s);
    text->selectAll();
    text->insertPlainText(prefixed); // as a paste over everything
    ASSERT_EQ(sheet->text(), prefixed);
    QTest::mouseClick(apply, Qt::LeftButton);
    ASSERT_TRUE(sheet->errorMessage());
    EXPECT_EQ(*sheet->errorMessage(),
              u"The root element <jr:jasperReport> is in the namespace \"urn:other\"; the engine "
              u"reads a report only in \""_s +
                  uri + u"\" or in no namespace."_s);
    EXPECT_EQ(store->document(), before);

    // No namespace at all: taken.
    QString plain = text->toPlainText();
    plain.replace(u"<jr:jasperReport"_s, u"<jasperReport"_s)
        .replace(u"</jr:jasperReport>"_s, u"</jasperReport>"_s)
        .replace(u"xmlns=\""_s + uri + u"\" xmlns:jr=\"urn:other\""_s, QString())
        .replace(u"name=\"report\""_s, u"name=\"Plain\""_s);
    text->selectAll();
    text->insertPlainText(plain);
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(sheet->errorMessage(), std::nullopt);
    EXPECT_EQ(store->document().name, u"Plain"_s);
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store->document()), std::nullopt);
}

TEST_F(ShellKeysTest, EveryTabIsInReachOfTheKeysAndTheWheel)
{
    show();
    window()->resize(ContentView::minimumContentWidth, 800);
    for (int i = 0; i < 8; ++i)
        workspace().openTab(QUrl::fromLocalFile(writeReport(u"Sales %1.jrxml"_s.arg(i))));
    ASSERT_EQ(workspace().tabs().size(), 8);
    TabBarView *strip = content()->tabBar();
    QScrollBar *bar = strip->scrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; })) << "eight tabs do not fit";
    const auto inView = [&](int index) {
        TabChip *chip = strip->chips().at(index);
        const QWidget *viewport = chip->parentWidget()->parentWidget();
        const QRect shown(chip->mapTo(viewport, QPoint(0, 0)), chip->size());
        return viewport->rect().contains(shown);
    };

    QTest::mouseClick(strip->chips().first(), Qt::LeftButton);
    ASSERT_EQ(workspace().activeTabIndex(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inView(0); }));
    for (int i = 1; i < 8; ++i) {
        press(window(), Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(workspace().activeTabIndex(), i);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView(7); })) << "the last tab scrolled into view";
    EXPECT_FALSE(inView(0));

    press(window(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(workspace().activeTabIndex(), 0) << "round from the last to the first";
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView(0); }));
    press(window(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(workspace().activeTabIndex(), 7);
    press(window(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(workspace().activeTabIndex(), 6);
    press(window(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(workspace().activeTabIndex(), 7);

    // The wheel over the chips scrolls them sideways, the active tab unchanged.
    QTest::mouseClick(strip->chips().first(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == 0; }));
    const auto turn = [](QWidget *over, int angle) {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        // Delivered as the window system delivers it, so that it goes up from the chip.
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(over, &wheel);
    };
    for (int notch = 0; notch < 20; ++notch)
        turn(strip->chips().first(), -120);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(inView(7));
    EXPECT_EQ(workspace().activeTabIndex(), 0);
    turn(strip->chips().at(7), 120);
    EXPECT_LT(bar->value(), bar->maximum());
}

TEST_F(ShellKeysTest, ReturnInThePromptsThatCanLoseWorkKeepsTheWork)
{
    launch(true);
    show();
    workspace().openTab(QUrl::fromLocalFile(writeReport(u"A.jrxml"_s)));
    workspace().activeStore()->addParameter();

    // Quitting with unsaved changes: Return is "Cancel".
    QString message;
    {
        const auto answer = apptest::pressInNextAlert(Qt::Key_Return, &message);
        QTest::keyClick(window(), Qt::Key_Q, Qt::ControlModifier);
    }
    EXPECT_EQ(message, u"Quit with Unsaved Changes?"_s);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_TRUE(workspace().hasUnsavedChanges());
    EXPECT_EQ(stored(CrashDetection::hadCleanShutdownKey).toString(), u"false"_s)
        << "the session goes on";

    // Closing the dirty tab: Return is "Cancel".
    ASSERT_TRUE(apptest::activate(window()));
    message.clear();
    {
        const auto answer = apptest::pressInNextAlert(Qt::Key_Return, &message);
        QTest::mouseClick(content()->tabBar()->chips().first()->closeButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !message.isEmpty(); }));
    }
    EXPECT_EQ(message, u"Discard Unsaved Changes?"_s);
    EXPECT_EQ(workspace().tabs().size(), 1);
    EXPECT_TRUE(workspace().hasUnsavedChanges());

    // Saving over a file another program changed: Return is "Cancel".
    const QByteArray theirs = "<jasperReport name=\"Theirs\"/>\n";
    writeText(u"A.jrxml"_s, theirs);
    ASSERT_TRUE(apptest::activate(window()));
    message.clear();
    {
        const auto answer = apptest::pressInNextAlert(Qt::Key_Return, &message);
        QTest::keyClick(window(), Qt::Key_S, Qt::ControlModifier);
    }
    EXPECT_EQ(message, u"A.jrxml was changed by another program since you opened it."_s);
    QFile file(path(u"A.jrxml"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), theirs);
    EXPECT_TRUE(workspace().activeStore()->isDirty());
}

TEST_F(ShellKeysTest, EscapeClosesThePreferencesWindow)
{
    show();
    QTest::keyClick(window(), Qt::Key_Comma, Qt::ControlModifier);
    QPointer<SettingsView> view = app->settingsWindow().view();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::activate(view));
    auto *font = view->findChild<QLineEdit *>();
    ASSERT_NE(font, nullptr);
    font->setFocus();
    press(view, Qt::Key_Escape);
    EXPECT_TRUE(view.isNull() || !view->isVisible());

    ASSERT_TRUE(apptest::activate(window()));
    QTest::keyClick(window(), Qt::Key_Comma, Qt::ControlModifier);
    view = app->settingsWindow().view();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::activate(view));
    press(view, Qt::Key_Escape);
    EXPECT_TRUE(view.isNull() || !view->isVisible());
    EXPECT_TRUE(window()->isVisible());
}

TEST_F(ShellKeysTest, TheCrashMarkersAreArmedBeforeTheLastSessionIsRestored)
{
    // The last session ended in order and left a report open.
    QSettings settings;
    settings.setValue(CrashDetection::hasLaunchedBeforeKey, true);
    settings.setValue(CrashDetection::hadCleanShutdownKey, true);
    settings.setValue(u"lastOpenTabPaths"_s, QStringList{writeReport(u"A.jrxml"_s)});
    settings.sync();

    launch();
    std::optional<QString> markerWhileRestoring;
    QObject::connect(&workspace(), &WorkspaceModel::tabsChanged, &workspace(), [&] {
        markerWhileRestoring = stored(CrashDetection::hadCleanShutdownKey).toString();
    });
    show();
    ASSERT_EQ(workspace().activeStore()->fileURL(), QUrl::fromLocalFile(path(u"A.jrxml"_s)));
    ASSERT_TRUE(markerWhileRestoring.has_value());
    EXPECT_EQ(*markerWhileRestoring, u"false"_s)
        << "a crash while the report opens is seen at the next launch";

    // That launch: the program ended without quitting.
    app.reset();
    EXPECT_TRUE(CrashDetection::checkPreviousSessionAndArmForThisOne());
}

} // namespace
