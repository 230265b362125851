// The inspector's text and expression cards given a value with a very long line: the editor holds
// the line in short paragraphs, yet shows, copies and writes the value's own characters.
#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "widgets/PlainTextEdit.h"

#include <QClipboard>
#include <QTextBlock>

using namespace storetest;

namespace {

QString longLine(qsizetype length)
{
    return testsupport::letters(length);
}

int longestParagraph(const PlainTextEdit &editor)
{
    int longest = 0;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
        longest = std::max(longest, block.length() - 1);
    return longest;
}

class TextCardLongLinesTest : public InspectorViewTest {
protected:
    QString storedText(const ReportElement &e) const
    {
        const std::optional<ReportElement> stored = store.element(e.id);
        const auto *payload = stored ? stored->kind.as<ElementKind::StaticText>() : nullptr;
        return payload ? payload->text : u"(no static text)"_s;
    }

    // The editor of a card, its caret placed at `position` of the document.
    PlainTextEdit *editorAt(const QString &name, int position)
    {
        auto *editor = find<PlainTextEdit>(name);
        if (!editor)
            return nullptr;
        editor->setFocus();
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(position);
        editor->setTextCursor(cursor);
        return editor;
    }
};

TEST_F(TextCardLongLinesTest, TheTextCardHoldsALongLineInPiecesAndWritesItWhole)
{
    const QString text = u"first\n"_s + longLine(20'000) + u"\nlast"_s;
    const ReportElement label = selectNew(element(ElementKind::StaticText{text}));
    PlainTextEdit *editor = editorAt(u"inspector.text.editor"_s, 0);
    ASSERT_TRUE(editor);
    EXPECT_GT(editor->blockCount(), 3) << "the long line is held in several paragraphs";
    EXPECT_LE(longestParagraph(*editor), PlainTextEdit::longLine);
    EXPECT_EQ(editor->text(), text);

    // One key at the end: the element holds its whole text and the key, in one undo step.
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key_Z);
    EXPECT_EQ(storedText(label), text + u"z"_s);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1);

    // Backspace at the start of the line's second piece removes the character before it.
    const QTextBlock second = editor->document()->findBlockByNumber(2);
    ASSERT_TRUE(PlainTextEdit::continuesLine(second));
    editor = editorAt(u"inspector.text.editor"_s, second.position());
    QTest::keyClick(editor, Qt::Key_Backspace);
    QString expected = text + u"z"_s;
    expected.remove(6 + PlainTextEdit::piece - 1, 1);
    EXPECT_EQ(storedText(label), expected);

    // Undone in the store, the card shows the text as it was, still in pieces.
    store.flushPendingUndoSnapshot();
    store.undo();
    store.undo();
    EXPECT_EQ(storedText(label), text);
    editor = find<PlainTextEdit>(u"inspector.text.editor"_s);
    EXPECT_EQ(editor->text(), text);
    EXPECT_GT(editor->blockCount(), 3);
}

TEST_F(TextCardLongLinesTest, ACopyAcrossPiecesIsTheTextItself)
{
    const QString text = u"first\n"_s + longLine(5'000);
    selectNew(element(ElementKind::StaticText{text}));
    const int from = 6 + PlainTextEdit::piece - 10;
    PlainTextEdit *editor = editorAt(u"inspector.text.editor"_s, from);
    ASSERT_TRUE(editor);
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(from + 20, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    // The selection takes in the break between the pieces, which is no character of the text.
    EXPECT_EQ(QApplication::clipboard()->text(), text.mid(from, 19));
}

TEST_F(TextCardLongLinesTest, TheExpressionCardHoldsALongLineInPiecesAndWritesItWhole)
{
    const QString expression = u"\""_s + longLine(10'000) + u"\""_s;
    const ReportElement field = selectNew(element(ElementKind::TextField{expression}));
    PlainTextEdit *editor = editorAt(u"inspector.expression.editor"_s, 0);
    ASSERT_TRUE(editor);
    EXPECT_GT(editor->blockCount(), 1);
    EXPECT_LE(longestParagraph(*editor), PlainTextEdit::longLine);
    EXPECT_EQ(editor->text(), expression);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, u"+1"_s);
    EXPECT_EQ(store.element(field.id)->kind,
              ElementKind(ElementKind::TextField{expression + u"+1"_s}));
}

} // namespace
