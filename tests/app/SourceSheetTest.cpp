// The source sheet in the whole program: its editor hands Apply exactly what the keys, pastes
// and drops made of the text, long lines included, and undoes each change in turn; closing it
// with text not applied asks first; the reader's refusal shows whole. The editors of the window
// and of the Report Data sheet undo changes in long lines by their keys and by the toolbar.
#include "app/SourceSheet.h"
#include "AlertKeys.h"
#include "AppInstanceTest.h"
#include "EngineJudge.h"
#include "RandomTyping.h"
#include "TestSupport.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/MainWindow.h"
#include "datapanel/DataPanelSheet.h"
#include "document/DocumentStore.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "model/JrxmlCodec.h"
#include "widgets/LinePieces.h"
#include "workspace/WorkspaceModel.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <cmath>

using namespace Qt::StringLiterals;
using testsupport::RandomTyping;

namespace {

const QString literal = u"\""_s + QString(3000, u'a') + u"\""_s;

class SourceSheetTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->start();
        ASSERT_TRUE(apptest::activate(app->mainWindow()));
        store = app->workspace().activeStore();
        field = ReportElement{.id = QUuid::createUuid(),
                              .kind = ElementKind::TextField{literal},
                              .width = 200,
                              .height = 20};
        store->performAddElement(field, store->activeBandTarget());
    }

    // Opens the sheet as the Source button does; its content.
    SourceSheet *open()
    {
        QTest::mouseClick(app->contentView()->trailingToolbar()->sourceButton(), Qt::LeftButton);
        SourceSheet *sheet = app->contentView()->sourceSheet();
        EXPECT_TRUE(app->workspace().isSourceVisible());
        EXPECT_TRUE(apptest::activate(sheet->window()));
        return sheet;
    }

    QPushButton *button(SourceSheet *sheet, const QString &title) const
    {
        for (auto *b : sheet->findChildren<QPushButton *>()) {
            if (b->text() == title)
                return b;
        }
        return nullptr;
    }

    // Pastes `text` over the whole of the editor's text, as Ctrl+A and Ctrl+V do, and clicks Apply.
    void pasteAndApply(SourceSheet *sheet, const QString &text) const
    {
        CodeTextView *view = sheet->editor()->textView();
        view->setFocus();
        view->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(button(sheet, u"Apply"_s), Qt::LeftButton);
    }

    // Types `keys` at the end of the editor's text.
    static void typeAtEnd(SourceSheet *sheet, const QString &keys)
    {
        CodeTextView *text = sheet->editor()->textView();
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, keys);
    }

    // The text field's expression in the report.
    QString expression() const
    {
        for (const ReportElement &e : store->document().detailBands.first().elements) {
            if (const auto *payload = e.kind.as<ElementKind::TextField>())
                return payload->expression;
        }
        return u"(none)"_s;
    }

    // Clicks a button of the main window's toolbar, through the window as a user does.
    void clickToolbar(const QString &symbol) const
    {
        QWidget *window = app->mainWindow();
        auto *button = window->findChild<QToolButton *>(symbol);
        ASSERT_TRUE(button) << symbol.toStdString();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(window, button->rect().center()));
        QApplication::processEvents();
    }

    DocumentStore *store = nullptr;
    ReportElement field;
};

TEST_F(SourceSheetTest, RandomEditingReachesTheTextApplyReads)
{
    for (const quint32 seed : RandomTyping::seeds(501, 3)) {
        SourceSheet *sheet = open();
        ASSERT_TRUE(sheet->editor()->textView()->hasPieces()) << "the expression's long line";
        sheet->editor()->textView()->setFocus();
        RandomTyping typing(sheet->editor()->textView(), seed, [sheet] { return sheet->text(); });
        const bool held = typing.run(70);
        dialogs->answerAlert(1); // Discard
        app->workspace().setIsSourceVisible(false);
        if (!held)
            break;
    }
}

// QQ, Return and Backspace typed in the sheet inside the report's long line: each Ctrl+Z takes
// back one change, each Ctrl+Shift+Z brings one back.
TEST_F(SourceSheetTest, ChangesInALongLineUndoAndRedoOneByOne)
{
    SourceSheet *sheet = open();
    CodeTextView *text = sheet->editor()->textView();
    const QStringList steps =
        testsupport::typeBesideALongLine(text, sheet->text().indexOf(literal) + 1500);
    for (qsizetype i = 1; i < steps.size(); ++i) {
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(text->text() == steps.at(i)) << "Ctrl+Z " << i;
    }
    for (qsizetype i = steps.size() - 2; i >= 0; --i) {
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(text->text() == steps.at(i)) << "Ctrl+Shift+Z " << i;
    }
}

// QQ, Return and Backspace typed inside a long line of the Text card: each Ctrl+Z in the card
// takes back one change and the element follows; the toolbar's Undo takes the typing back from
// the report and its Redo brings it back, and the card shows what the element holds.
TEST_F(SourceSheetTest, TheTextCardUndoesChangesInALongLineByKeysAndByTheToolbar)
{
    const QString line(3000, u'b');
    const ReportElement label{.id = QUuid::createUuid(),
                              .kind = ElementKind::StaticText{line},
                              .width = 200,
                              .height = 20};
    store->performAddElement(label, store->activeBandTarget());
    store->setSelectedElementIDs({label.id});
    auto *card = app->mainWindow()->findChild<PlainTextEdit *>(u"inspector.text.editor"_s);
    ASSERT_TRUE(card);
    const auto stored = [&] {
        const std::optional<ReportElement> element = store->element(label.id);
        const auto *payload = element ? element->kind.as<ElementKind::StaticText>() : nullptr;
        return payload ? payload->text : u"(no text)"_s;
    };
    const QStringList steps = testsupport::typeBesideALongLine(card, 1500);
    for (qsizetype i = 1; i < steps.size(); ++i) {
        QTest::keyClick(card, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(card->text() == steps.at(i)) << "Ctrl+Z " << i;
        EXPECT_TRUE(stored() == steps.at(i)) << "Ctrl+Z " << i;
    }
    QTest::keyClick(card, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(stored() == steps.at(2));

    clickToolbar(u"arrow.uturn.backward"_s);
    EXPECT_TRUE(stored() == line);
    EXPECT_TRUE(card->text() == line);
    clickToolbar(u"arrow.uturn.forward"_s);
    EXPECT_TRUE(stored() == steps.at(2));
    EXPECT_TRUE(card->text() == steps.at(2));
}

// The same keys inside a long line of the report's query, under the Report Data sheet: the
// toolbar's Undo and the keys typed in the editor take the typing back and bring it back, and
// the editor and the report follow each other.
TEST_F(SourceSheetTest, TheToolbarUndoesChangesInALongLineOfAQueryUnderTheDataSheet)
{
    ReportDocument document = store->document();
    document.queryString = u"SELECT '"_s + QString(3000, u'b') + u"'"_s;
    store->setDocument(document);
    app->workspace().setIsDataPanelVisible(true);
    auto *sheet = app->mainWindow()->findChild<DataPanelSheet *>(u"DataPanelSheet"_s);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    auto *query = sheet->findChild<CodeEditorView *>(u"datapanel.query.editor"_s);
    ASSERT_TRUE(query);
    CodeTextView *text = query->textView();
    // However slowly a loaded machine types, the keys come within the time that joins typing.
    store->setClock([] { return qint64(0); });
    const QStringList steps = testsupport::typeBesideALongLine(text, 1500);
    // The query reaches the report as it is typed: the typing is one step of the report, which
    // the toolbar and the keys typed in the editor take back and bring back alike.
    const auto expectShown = [&](const QString &query, const char *after) {
        EXPECT_TRUE(text->text() == query) << after;
        EXPECT_TRUE(store->document().queryString == query) << after;
    };
    clickToolbar(u"arrow.uturn.backward"_s);
    expectShown(steps.back(), "the toolbar's Undo");
    // Keys typed in the editor come through its window, as a user's do.
    ASSERT_TRUE(text->hasFocus());
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    expectShown(steps.front(), "Ctrl+Shift+Z");
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    expectShown(steps.back(), "Ctrl+Z");
    clickToolbar(u"arrow.uturn.forward"_s);
    expectShown(steps.front(), "the toolbar's Redo");
}

// A line break pasted inside the report's long expression is kept through Apply and Save, and
// the engine compiles the expression.
TEST_F(SourceSheetTest, ALineBreakPastedIntoALongLineIsApplied)
{
    SourceSheet *sheet = open();
    CodeTextView *text = sheet->editor()->textView();
    const qsizetype at = sheet->text().indexOf(literal) + 2500;
    ASSERT_GT(at, 2500);
    text->setFocus();
    QTextCursor cursor(text->document());
    cursor.setPosition(linepieces::positionAt(*text->document(), at, false));
    text->setTextCursor(cursor);
    QApplication::clipboard()->setText(u"X\" + // Y\n\"Z"_s);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text->lineNumber(text->textCursor().block()),
              text->lineNumber(text->document()->findBlock(int(at))) + 1)
        << "the editor shows a line of its own";

    QTest::mouseClick(button(sheet, u"Apply"_s), Qt::LeftButton);
    ASSERT_EQ(sheet->errorMessage(), std::nullopt);
    const QString expected = literal.left(2500) + u"X\" + // Y\n\"Z"_s + literal.mid(2500);
    EXPECT_EQ(expression(), expected);
    QTest::mouseClick(button(sheet, u"Close"_s), Qt::LeftButton);
    EXPECT_FALSE(app->workspace().isSourceVisible()) << "applied: closing asks nothing";
    EXPECT_TRUE(dialogs->alerts().isEmpty());

    const QString file = path(u"Long.jrxml"_s);
    store->save(QUrl::fromLocalFile(file));
    const QByteArray bytes = testsupport::readFile(file);
    EXPECT_TRUE(bytes.contains("// Y\n\"Z"));
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(bytes), std::nullopt);
}

// A comment pasted into the sheet before the text field stays there through Apply, an edit of
// the band after it and Save, and the sheet shows it again.
TEST_F(SourceSheetTest, ACommentPastedIsKeptWhereItStands)
{
    SourceSheet *sheet = open();
    CodeTextView *text = sheet->editor()->textView();
    const qsizetype at = sheet->text().indexOf(u"<textField"_s);
    ASSERT_GT(at, 0);
    text->setFocus();
    QTextCursor cursor(text->document());
    cursor.setPosition(linepieces::positionAt(*text->document(), at, false));
    text->setTextCursor(cursor);
    QApplication::clipboard()->setText(u"<!-- the total, once the query has one -->\n"_s);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(button(sheet, u"Apply"_s), Qt::LeftButton);
    ASSERT_EQ(sheet->errorMessage(), std::nullopt);
    QTest::mouseClick(button(sheet, u"Close"_s), Qt::LeftButton);
    EXPECT_FALSE(app->workspace().isSourceVisible());

    const BandTarget detail = store->activeBandTarget();
    store->setHeight(store->height(detail) + 10, detail);
    const QString file = path(u"Commented.jrxml"_s);
    store->save(QUrl::fromLocalFile(file));
    const QString saved = QString::fromUtf8(testsupport::readFile(file));
    const qsizetype comment = saved.indexOf(u"<!-- the total, once the query has one -->"_s);
    ASSERT_GE(comment, 0) << saved.toStdString();
    EXPECT_EQ(saved.indexOf(u"<textField"_s, comment), saved.indexOf(u'<', comment + 1))
        << "right before the text field";
    EXPECT_TRUE(open()->text().contains(u"<!-- the total, once the query has one -->"_s));
}

// Close, Escape outside the editor and the window's own closing ask before text that was not
// applied is lost: Apply applies it (and stays open when it does not read), Discard drops it,
// Cancel stays.
TEST_F(SourceSheetTest, ClosingWithTextNotAppliedAsksFirst)
{
    SourceSheet *sheet = open();
    QTest::mouseClick(button(sheet, u"Close"_s), Qt::LeftButton);
    EXPECT_FALSE(app->workspace().isSourceVisible()) << "nothing changed: no question";
    EXPECT_TRUE(dialogs->alerts().isEmpty());

    sheet = open();
    typeAtEnd(sheet, u"<!-- a note -->"_s);
    const QString typed = sheet->text();
    dialogs->answerAlert(2); // Cancel
    QTest::mouseClick(button(sheet, u"Close"_s), Qt::LeftButton);
    ASSERT_EQ(dialogs->alerts().size(), 1);
    const AlertRequest &asked = dialogs->alerts().first();
    QStringList titles;
    for (const AlertRequest::Button &b : asked.buttons)
        titles.append(b.title);
    EXPECT_EQ(titles, (QStringList{u"Apply"_s, u"Discard"_s, u"Cancel"_s}));
    EXPECT_EQ(asked.defaultButton, 0) << "Return keeps the work";
    EXPECT_TRUE(app->workspace().isSourceVisible());
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->text(), typed);

    // Escape with the focus on a button: Discard closes, the report as it was.
    const ReportDocument before = store->document();
    button(sheet, u"Apply"_s)->setFocus();
    dialogs->answerAlert(1);
    QTest::keyClick(sheet->window()->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(dialogs->alerts().size(), 2);
    EXPECT_FALSE(app->workspace().isSourceVisible());
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(store->document(), before);

    // The window closed another way: Apply with text that does not read stays, with the error.
    sheet = open();
    typeAtEnd(sheet, u"<unclosed>"_s);
    dialogs->answerAlert(0);
    sheet->window()->close();
    EXPECT_EQ(dialogs->alerts().size(), 3);
    EXPECT_TRUE(app->workspace().isSourceVisible());
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_TRUE(sheet->errorMessage());
    EXPECT_EQ(store->document(), before);

    // Apply with text that reads applies it and closes.
    CodeTextView *text = sheet->editor()->textView();
    text->setFocus();
    for (int i = 0; i < int(QStringLiteral("<unclosed>").size()); ++i)
        QTest::keyClick(text, Qt::Key_Backspace);
    QString renamed = sheet->text();
    renamed.replace(u"name=\""_s + before.name + u'"', u"name=\"Renamed\""_s);
    text->selectAll();
    QApplication::clipboard()->setText(renamed);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    dialogs->answerAlert(0);
    QTest::mouseClick(button(sheet, u"Close"_s), Qt::LeftButton);
    EXPECT_EQ(dialogs->alerts().size(), 4);
    EXPECT_FALSE(app->workspace().isSourceVisible());
    EXPECT_EQ(store->document().name, u"Renamed"_s);
}

// A quit asks about text not applied yet before anything else: Cancel keeps the program and the
// text; Apply applies it, and the quit then asks about the changes it made.
TEST_F(SourceSheetTest, AQuitAsksAboutTextNotAppliedFirst)
{
    SourceSheet *sheet = open();
    typeAtEnd(sheet, u"<!-- a note -->"_s);
    const QString typed = sheet->text();
    dialogs->answerAlert(2); // Cancel
    EXPECT_FALSE(app->shouldTerminate());
    ASSERT_EQ(dialogs->alerts().size(), 1);
    EXPECT_EQ(dialogs->alerts().first().message,
              u"Apply your changes to the source before closing?"_s);
    EXPECT_TRUE(app->workspace().isSourceVisible());
    EXPECT_EQ(sheet->text(), typed);

    store->setIsDirty(false);
    QString renamed = sheet->text();
    renamed.replace(u"name=\""_s + store->document().name + u'"', u"name=\"Renamed\""_s);
    CodeTextView *text = sheet->editor()->textView();
    text->setFocus();
    text->selectAll();
    QApplication::clipboard()->setText(renamed);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    dialogs->answerAlert(0); // Apply
    dialogs->answerAlert(1); // Cancel the quit the applied text made one with unsaved changes
    EXPECT_FALSE(app->shouldTerminate());
    ASSERT_EQ(dialogs->alerts().size(), 3);
    EXPECT_EQ(dialogs->alerts().last().message, u"Quit with Unsaved Changes?"_s);
    EXPECT_EQ(store->document().name, u"Renamed"_s) << "the text was applied";
}

// The refusal of a root in another namespace is long, and the namespace in it a word longer than
// the room beside the buttons: it shows whole, wrapped inside that word too.
TEST_F(SourceSheetTest, TheRefusalOfARootShowsWhole)
{
    SourceSheet *sheet = open();
    sheet->window()->resize(700, 800);
    QString other = sheet->text();
    other.replace(u"xmlns=\"http://jasperreports.sourceforge.net/jasperreports\""_s,
                  u"xmlns=\"urn:"_s + testsupport::letters(120) + u'"');
    pasteAndApply(sheet, other);
    ASSERT_TRUE(sheet->errorMessage());
    ASSERT_TRUE(sheet->errorMessage()->contains(testsupport::letters(120)));
    QLabel *label = sheet->errorLabel();
    QApplication::processEvents();
    ASSERT_TRUE(label->isVisible());
    EXPECT_GE(label->height(), label->heightForWidth(label->width()))
        << "every line of the message has room";
    // However it is broken into lines, the message needs at least this many of the label's width.
    const QFontMetrics metrics = label->fontMetrics();
    const int lines =
        int(std::ceil(metrics.horizontalAdvance(*sheet->errorMessage()) / double(label->width())));
    EXPECT_GE(label->height(), lines * metrics.height())
        << "no line runs out of the label, under the buttons";
    dialogs->answerAlert(1);
}

} // namespace

namespace {

// The sheet's text is what the user reads, whatever encoding its declaration names: a name typed
// outside ASCII under a declaration of windows-1252 or ISO-8859-1 is applied as typed.
TEST_F(SourceSheetTest, TheTextIsAppliedAsTypedWhateverEncodingItDeclares)
{
    SourceSheet *sheet = open();
    const QString typed = sheet->text();
    for (const QString &encoding : {u"windows-1252"_s, u"ISO-8859-1"_s, u"Shift_JIS"_s}) {
        SCOPED_TRACE(encoding.toStdString());
        QString other = typed;
        other.replace(u"encoding=\"UTF-8\""_s, u"encoding=\""_s + encoding + u'"');
        const QRegularExpressionMatch rootName =
            QRegularExpression(u"<jasperReport[^>]*? name=\"([^\"]*)\""_s).match(other);
        ASSERT_TRUE(rootName.hasMatch());
        other.replace(rootName.capturedStart(1), rootName.capturedLength(1), u"Caf\u00E9 \u65E5"_s);
        ASSERT_NE(other, typed);
        pasteAndApply(sheet, other);
        EXPECT_FALSE(sheet->errorMessage())
            << sheet->errorMessage().value_or(QString()).toStdString();
        EXPECT_EQ(app->workspace().activeStore()->document().name, u"Caf\u00E9 \u65E5"_s);
    }
}

} // namespace
