#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/FindBar.h"
#include "editors/JavaExpressionSyntaxHighlighter.h"
#include "editors/LineNumberRulerView.h"
#include "editors/PendingInsertion.h"
#include "editors/SQLSyntaxHighlighter.h"
#include "editors/XMLSyntaxHighlighter.h"

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList names(QChar letter)
{
    if (letter == u'F')
        return {u"Amount"_s, u"amountDue"_s, u"Name"_s};
    if (letter == u'P')
        return {u"Since"_s, u"Until"_s};
    return {u"PAGE_NUMBER"_s};
}

void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
}

QStringList offered(const CodeEditorView &editor)
{
    if (!editor.completer()->popup()->isVisible())
        return {};
    return qobject_cast<QStringListModel *>(editor.completer()->model())->stringList();
}

QList<int> numbers(const CodeEditorView &editor)
{
    QList<int> out;
    for (const auto &label : editor.textView()->ruler()->visibleLabels())
        out.append(label.number);
    return out;
}

// The texts an editor handed back, in order.
struct EditedTexts : QStringList {
    explicit EditedTexts(CodeEditorView &editor)
    {
        QObject::connect(&editor, &CodeEditorView::textEdited, &editor,
                         [this](const QString &text) { append(text); });
    }
};

struct Editor : CodeEditorView {
    explicit Editor(codeediting::TokenCompletions completions = names,
                    PendingInsertion *pending = nullptr)
        : CodeEditorView(JavaExpressionSyntaxHighlighter::scheme(), true, std::move(completions),
                         pending)
    {
        resize(300, 200);
        show();
    }
};

TEST(CodeEditorViewTest, GutterNumbersLogicalLines)
{
    Editor editor;
    const struct {
        QString text;
        QList<int> numbers;
    } cases[] = {{u""_s, {1}}, {u"a\nb"_s, {1, 2}}, {u"a\n"_s, {1}}, {u"a\n\n"_s, {1, 2}}};
    for (const auto &c : cases) {
        editor.setText(c.text);
        QApplication::processEvents();
        EXPECT_EQ(numbers(editor), c.numbers) << c.text.toStdString();
    }
    // A wrapped line gets one number, and the next number sits below all of its rows.
    editor.setText(QString(100, u'x') + u"\nb"_s);
    QApplication::processEvents();
    const auto labels = editor.textView()->ruler()->visibleLabels();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_GT(editor.textView()->document()->firstBlock().layout()->lineCount(), 2);
    EXPECT_GT(labels[1].y - labels[0].y, 2 * QFontMetricsF(editor.textView()->font()).height());
}

TEST(CodeEditorViewTest, CompletionAfterTriggersFollowsThePartialWord)
{
    Editor editor;
    editor.textView()->setFocus();
    type(editor.textView(), u"$P{"_s);
    EXPECT_EQ(offered(editor), (QStringList{u"Since"_s, u"Until"_s}));
    editor.setText(QString());
    type(editor.textView(), u"x + $P!{"_s);
    EXPECT_EQ(offered(editor), (QStringList{u"Since"_s, u"Until"_s}));
    editor.setText(QString());
    type(editor.textView(), u"$F{am"_s);
    EXPECT_EQ(offered(editor), (QStringList{u"Amount"_s, u"amountDue"_s}));
    type(editor.textView(), u"x"_s);
    EXPECT_EQ(offered(editor), (QStringList{u"Amount"_s, u"amountDue"_s, u"Name"_s}));
    // Picking replaces the partial word and adds no closing brace.
    emit editor.completer()->activated(u"Name"_s);
    EXPECT_EQ(editor.text(), u"$F{Name"_s);
    type(editor.textView(), u" + amount"_s);
    EXPECT_TRUE(offered(editor).isEmpty());
}

TEST(CodeEditorViewTest, NoCompletionWithoutAFunction)
{
    Editor editor(codeediting::TokenCompletions{});
    type(editor.textView(), u"$F{"_s);
    EXPECT_EQ(editor.completer(), nullptr);
    EXPECT_EQ(editor.text(), u"$F{"_s);
}

TEST(CodeEditorViewTest, BindingReplacesOnlyADifferentText)
{
    Editor editor;
    EditedTexts edited(editor);
    editor.setText(u"select 1"_s);
    QTextCursor cursor = editor.textView()->textCursor();
    cursor.setPosition(3);
    editor.textView()->setTextCursor(cursor);
    editor.setText(u"select 1"_s);
    EXPECT_EQ(editor.textView()->textCursor().position(), 3);
    EXPECT_TRUE(edited.isEmpty());
    type(editor.textView(), u"x"_s);
    EXPECT_EQ(edited, QStringList{u"selxect 1"_s});
}

TEST(CodeEditorViewTest, PastesAndDropsWithoutDataInsertNothing)
{
    // Under X11 a paste from a clipboard whose owner has gone comes without data.
    Editor editor;
    editor.setText(u"select 1"_s);
    CodeTextView *view = editor.textView();
    EXPECT_FALSE(view->canInsertFromMimeData(nullptr));
    view->insertFromMimeData(nullptr);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, nullptr, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, nullptr, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &drop);
    EXPECT_EQ(editor.text(), u"select 1"_s);

    // Data pastes as before.
    QMimeData data;
    data.setText(u" + 2"_s);
    ASSERT_TRUE(view->canInsertFromMimeData(&data));
    view->moveCursor(QTextCursor::End);
    view->insertFromMimeData(&data);
    EXPECT_EQ(editor.text(), u"select 1 + 2"_s);
}

TEST(CodeEditorViewTest, InsertionJoinsAndReplacesTheSelection)
{
    PendingInsertion pending;
    pending.setToken(u"$F{Amount}"_s); // waits for an editor
    Editor editor(names, &pending);
    EditedTexts edited(editor);
    editor.setText(u"total"_s);
    EXPECT_EQ(editor.text(), u"$F{Amount}total"_s); // at the cursor, at the start
    EXPECT_EQ(pending.token(), std::nullopt);
    EXPECT_EQ(edited, QStringList{u"$F{Amount}total"_s});

    editor.setText(u"total"_s);
    QTextCursor cursor = editor.textView()->textCursor();
    cursor.movePosition(QTextCursor::End);
    editor.textView()->setTextCursor(cursor);
    pending.setToken(u"$F{Amount}"_s);
    EXPECT_EQ(editor.text(), u"total + $F{Amount}"_s);
    EXPECT_FALSE(editor.completer()->popup()->isVisible());

    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    editor.textView()->setTextCursor(cursor);
    pending.setToken(u"toUpperCase()"_s);
    EXPECT_EQ(editor.text(), u"toUpperCase() + $F{Amount}"_s);
}

TEST(CodeEditorViewTest, EditabilityIsFixedWhenMadeAndTextIsColoured)
{
    CodeEditorView editor(SQLSyntaxHighlighter::scheme(), false);
    editor.setText(u"select\nx"_s);
    QApplication::processEvents();
    EXPECT_TRUE(editor.textView()->isReadOnly());
    const auto formats = editor.textView()->document()->firstBlock().layout()->formats();
    ASSERT_EQ(formats.size(), 1);
    EXPECT_EQ(formats[0].length, 6);
    EXPECT_EQ(formats[0].format.fontWeight(), QFont::DemiBold);
}

// The colours of every line, as (line, start, length) of each formatted run.
QList<std::tuple<int, int, int>> formattedRuns(const QTextDocument *document)
{
    QList<std::tuple<int, int, int>> runs;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        for (const auto &range : block.layout()->formats())
            runs.append({block.blockNumber(), range.start, range.length});
    }
    return runs;
}

TEST(CodeEditorViewTest, EditsRecolourLinesBeforeAndAfterThem)
{
    CodeEditorView editor(XMLSyntaxHighlighter::scheme(), true);
    editor.setText(u"x\n= 1\nb\nc"_s);
    QApplication::processEvents();
    using Runs = QList<std::tuple<int, int, int>>;
    const QTextDocument *document = editor.textView()->document();
    EXPECT_EQ(formattedRuns(document), (Runs{{0, 0, 1}})); // x is an attribute name
    // Removing the "=" on the second line takes the colour off the first.
    QTextCursor cursor(editor.textView()->document());
    cursor.setPosition(2);
    cursor.deleteChar();
    EXPECT_EQ(formattedRuns(document), Runs());
    // Opening a comment colours every line after it; closing it again clears them.
    cursor.setPosition(0);
    cursor.insertText(u"<!--"_s);
    EXPECT_EQ(formattedRuns(document), Runs());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"-->"_s);
    EXPECT_EQ(formattedRuns(document),
              (Runs{{0, 0, 5}, {1, 0, 2}, {2, 0, 1}, {3, 0, 3}, {3, 3, 1}}));
    cursor.setPosition(0);
    cursor.deleteChar();
    EXPECT_EQ(formattedRuns(document), (Runs{{3, 3, 1}}));
}

TEST(CodeEditorViewTest, FindActionsSelectMatchesAndWrap)
{
    Editor editor;
    editor.setText(u"ab\ncb"_s);
    editor.performFindAction(CodeEditorView::FindAction::next);
    EXPECT_TRUE(editor.findBar()->isVisible()); // nothing to look for yet: the bar opens
    editor.findBar()->field()->setText(u"B"_s);
    editor.performFindAction(CodeEditorView::FindAction::next);
    EXPECT_EQ(editor.textView()->textCursor().selectionStart(), 1);
    editor.performFindAction(CodeEditorView::FindAction::next);
    EXPECT_EQ(editor.textView()->textCursor().selectionStart(), 4);
    editor.performFindAction(CodeEditorView::FindAction::next);
    EXPECT_EQ(editor.textView()->textCursor().selectionStart(), 1);
    editor.performFindAction(CodeEditorView::FindAction::previous);
    EXPECT_EQ(editor.textView()->textCursor().selectionStart(), 4);
    EXPECT_EQ(CodeEditorView::enclosing(editor.findBar()->field()), &editor);
}

} // namespace

namespace {

// The longest paragraph of the editor's document.
int longestParagraph(const CodeEditorView &editor)
{
    int longest = 0;
    for (QTextBlock block = editor.textView()->document()->begin(); block.isValid();
         block = block.next())
        longest = std::max(longest, block.length() - 1);
    return longest;
}

QString longLine(qsizetype length)
{
    QString line;
    for (qsizetype i = 0; i < length; ++i)
        line.append(QChar(u'A' + int((i * 7) % 26)));
    return line;
}

} // namespace

// A line of hundreds of thousands of characters is held in short paragraphs, so that laying it
// out costs no more than a screenful; the text, the copy and the line numbers stay those of the
// lines.
TEST(CodeEditorViewTest, ALongLineIsHeldInShortPieces)
{
    Editor editor;
    EditedTexts edited(editor);
    const QString line = longLine(300'000);
    const QString text = u"<a>\n"_s + line + u"\n</a>\n"_s;
    editor.setText(text);
    QApplication::processEvents();
    EXPECT_EQ(editor.text(), text);
    EXPECT_LE(longestParagraph(editor), CodeTextView::longLine);
    EXPECT_TRUE(edited.isEmpty());
    EXPECT_EQ(editor.textView()->document()->isUndoAvailable(), false);
    // The pieces after a line's first carry no number: the gutter numbers the lines.
    editor.textView()->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    const QList<int> shown = numbers(editor);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last(), 3);

    // A copy across the pieces is the text itself.
    QTextCursor cursor(editor.textView()->document());
    cursor.setPosition(2);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    editor.textView()->setTextCursor(cursor);
    std::unique_ptr<QMimeData> copied(editor.textView()->createMimeDataFromSelection());
    EXPECT_EQ(copied->text(), text.mid(2));

    // Backspace at the start of a piece removes the character before it; Return there starts a
    // line.
    const QTextBlock second = editor.textView()->document()->findBlockByNumber(2);
    ASSERT_TRUE(CodeTextView::continuesLine(second));
    cursor.setPosition(second.position());
    editor.textView()->setTextCursor(cursor);
    const qsizetype at = 4 + CodeTextView::piece; // in the text
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(editor.textView(), &backspace);
    QString expected = text;
    expected.remove(at - 1, 1);
    EXPECT_EQ(editor.text(), expected);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s);
    QApplication::sendEvent(editor.textView(), &enter);
    expected.insert(at - 1, u'\n');
    EXPECT_EQ(editor.text(), expected);
    EXPECT_EQ(edited.last(), expected);

    // Undo takes both back; the text is the one that was set.
    editor.textView()->undo();
    editor.textView()->undo();
    EXPECT_EQ(editor.text(), text);
}

// A long line pasted or typed goes in pieces: pasted at once, typed once its paragraph grows
// long, in the same undo step as the key.
TEST(CodeEditorViewTest, PastedAndTypedLongLinesAreCutIntoPieces)
{
    Editor editor;
    EditedTexts edited(editor);
    editor.setText(u"\"\"\nend"_s);
    CodeTextView *view = editor.textView();
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(1);
    view->setTextCursor(cursor);
    const QString line = longLine(100'000);
    QMimeData data;
    data.setText(line + u"\nnext"_s);
    view->insertFromMimeData(&data);
    const QString pasted = u"\""_s + line + u"\nnext\"\nend"_s;
    EXPECT_EQ(editor.text(), pasted);
    EXPECT_LE(longestParagraph(editor), CodeTextView::longLine);
    ASSERT_FALSE(edited.isEmpty());
    EXPECT_EQ(edited.last(), pasted);

    // Typing on at the end of a line as long as a paragraph may be.
    const QString full = longLine(CodeTextView::longLine);
    editor.setText(full);
    view->moveCursor(QTextCursor::End);
    type(view, u"y"_s);
    EXPECT_EQ(editor.text(), full + u"y"_s);
    EXPECT_EQ(edited.last(), full + u"y"_s);
    EXPECT_GT(view->blockCount(), 1);
    EXPECT_LE(longestParagraph(editor), CodeTextView::longLine);
    view->undo();
    EXPECT_EQ(editor.text(), full);
}

namespace {

// Presses a key on a widget as the user does.
void press(QWidget *target, QKeyCombination keys, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        QKeyEvent event(QEvent::KeyPress, keys.key(), keys.keyboardModifiers());
        QApplication::sendEvent(target, &event);
    }
}

// The selection of the editor's text, its lines whole.
QString selected(const CodeEditorView &editor)
{
    const QTextCursor cursor = editor.textView()->textCursor();
    return editor.textView()->text(cursor.selectionStart(), cursor.selectionEnd());
}

// Where the cursor is in the editor's text, its lines whole.
qsizetype cursorOffset(const CodeEditorView &editor)
{
    return editor.textView()->text(0, editor.textView()->textCursor().position()).size();
}

} // namespace

// The find bar looks in the lines themselves: a match that runs from one piece of a long line
// into the next is found and selected whole, and Find Next and Previous pass through it.
TEST(CodeEditorViewTest, FindSelectsAMatchAcrossPieces)
{
    Editor editor;
    QString line(3 * CodeTextView::piece, u'x');
    line.replace(CodeTextView::piece - 3, 6, u"needle"_s);
    editor.setText(u"<a>\n"_s + line + u"\n</a> Needle"_s);
    CodeTextView *view = editor.textView();
    press(view, Qt::CTRL | Qt::Key_F);
    ASSERT_TRUE(editor.findBar()->isVisible());
    type(editor.findBar()->field(), u"NEEDLE"_s);
    press(editor.findBar()->field(), QKeyCombination(Qt::Key_Return));
    const int start = view->textCursor().selectionStart();
    EXPECT_EQ(selected(editor), u"needle"_s);
    EXPECT_NE(view->document()->findBlock(start).blockNumber(),
              view->document()->findBlock(view->textCursor().selectionEnd()).blockNumber())
        << "the match crosses pieces";
    EXPECT_EQ(view->text(0, start).size(), 4 + CodeTextView::piece - 3);
    press(view, Qt::CTRL | Qt::Key_G);
    EXPECT_EQ(selected(editor), u"Needle"_s);
    press(view, Qt::CTRL | Qt::Key_G); // wraps round to the one across pieces
    EXPECT_EQ(view->textCursor().selectionStart(), start);
    EXPECT_EQ(selected(editor), u"needle"_s);
    press(view, Qt::CTRL | Qt::SHIFT | Qt::Key_G); // and back round to the last
    EXPECT_EQ(selected(editor), u"Needle"_s);
    press(view, Qt::CTRL | Qt::SHIFT | Qt::Key_G);
    EXPECT_EQ(view->textCursor().selectionStart(), start);
}

// Left and Right step over the boundary of two pieces as over any character of the line, moving
// the cursor or, with Shift, the end of the selection.
TEST(CodeEditorViewTest, ArrowKeysStepOverPieceBoundaries)
{
    Editor editor;
    const QString line = longLine(3 * CodeTextView::piece);
    editor.setText(u"<a>\n"_s + line);
    CodeTextView *view = editor.textView();
    constexpr int steps = 3;
    const qsizetype from = 4 + CodeTextView::piece - steps;
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(int(from));
    view->setTextCursor(cursor);
    press(view, QKeyCombination(Qt::Key_Right), 2 * steps);
    EXPECT_EQ(cursorOffset(editor), from + 2 * steps);
    press(view, QKeyCombination(Qt::Key_Left), 2 * steps);
    EXPECT_EQ(cursorOffset(editor), from);
    press(view, Qt::SHIFT | Qt::Key_Right, 2 * steps);
    EXPECT_EQ(selected(editor), line.mid(CodeTextView::piece - steps, 2 * steps));
    press(view, Qt::SHIFT | Qt::Key_Left, steps + 1);
    EXPECT_EQ(selected(editor), line.mid(CodeTextView::piece - steps, steps - 1));
    // Back over the boundary from the start of the next piece.
    cursor.setPosition(view->document()->findBlockByNumber(2).position());
    view->setTextCursor(cursor);
    press(view, QKeyCombination(Qt::Key_Left));
    EXPECT_EQ(cursorOffset(editor), 4 + CodeTextView::piece - 1);
}
