// The multi-line editor hands back what it shows: line breaks typed, pasted, dropped or
// committed by an input method start lines, also inside the pieces of a long line, and text
// enters without the characters a report cannot hold.
#include "widgets/PlainTextEdit.h"
#include "RandomTyping.h"
#include "TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using testsupport::letters;

class PlainTextEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.resize(500, 300);
        editor.show();
        editor.setFocus();
    }

    // The cursor at `from` of the text (inside a piece, never at its start), selecting to `to`.
    void select(qsizetype from, qsizetype to)
    {
        QTextCursor cursor(editor.document());
        cursor.setPosition(position(from));
        cursor.setPosition(position(to), QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
    }

    int position(qsizetype offset) const
    {
        return linepieces::positionAt(*editor.document(), offset, true);
    }

    void paste(const QString &text)
    {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    }

    // An input method commits `text`.
    void commit(const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(&editor, &event);
    }

    // Whether the paragraph that holds `offset` of the text starts a line.
    bool startsLine(qsizetype offset) const
    {
        return !PlainTextEdit::continuesLine(editor.document()->findBlock(position(offset)));
    }

    PlainTextEdit editor;
};

TEST_F(PlainTextEditTest, RandomEditingHandsBackWhatTheKeysPastesAndDropsMade)
{
    for (const quint32 seed : testsupport::RandomTyping::seeds(1, 16)) {
        editor.setText(testsupport::RandomTyping::startingText(seed));
        testsupport::RandomTyping typing(&editor, seed, [this] { return editor.text(); });
        if (!typing.run(160))
            break;
    }
}

// Inside a piece that goes on a long line, a line break of a paste or Return with a selection
// starts a line of its own, which reads back as one.
TEST_F(PlainTextEditTest, ALineBreakInsideAPieceStartsALine)
{
    const QString line = letters(3000);
    editor.setText(line);
    ASSERT_TRUE(editor.hasPieces());
    const qsizetype at = 2500;
    ASSERT_TRUE(PlainTextEdit::continuesLine(editor.document()->findBlock(position(at))));

    select(at, at);
    paste(u"X\nY"_s);
    EXPECT_EQ(editor.text(), line.left(at) + u"X\nY"_s + line.mid(at));
    EXPECT_TRUE(startsLine(at + 2));

    select(at + 10, at + 14);
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(editor.text(),
              line.left(at) + u"X\nY"_s + line.mid(at, 7) + u'\n' + line.mid(at + 11));
    EXPECT_TRUE(startsLine(at + 11));

    // Undone, the line is whole again; redone, broken again.
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.text(), line);
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.text(), line.left(at) + u"X\nY"_s + line.mid(at));
}

// Shift+Return starts a line as Return does, in short lines and long ones; a line separator or
// paragraph separator pasted or committed does too.
TEST_F(PlainTextEditTest, ShiftReturnAndUnicodeSeparatorsStartALine)
{
    editor.setText(u"First line"_s);
    editor.moveCursor(QTextCursor::End);
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&editor, u"Second line"_s);
    EXPECT_EQ(editor.text(), u"First line\nSecond line"_s);
    EXPECT_EQ(editor.blockCount(), 2) << "the break is a line of its own, not a separator in one";

    paste(u"\u2028third\u2029fourth"_s);
    EXPECT_EQ(editor.text(), u"First line\nSecond line\nthird\nfourth"_s);

    commit(u"\u2028fifth"_s);
    EXPECT_EQ(editor.text(), u"First line\nSecond line\nthird\nfourth\nfifth"_s);

    const QString line = letters(3000);
    editor.setText(line);
    select(2500, 2500);
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(editor.text(), line.left(2500) + u'\n' + line.mid(2500));
    EXPECT_TRUE(startsLine(2501));
}

// The vertical tab and form feed that some programs put in copied text start lines; other
// control characters stay out, whatever brings them; the tab stays.
TEST_F(PlainTextEditTest, TextEntersWithoutCharactersAReportCannotHold)
{
    editor.setText(QString());
    paste(u"First\u000BSecond\fThird\u0001\u001B!\tend\r\nlast"_s);
    EXPECT_EQ(editor.text(), u"First\nSecond\nThird!\tend\nlast"_s);

    commit(u"\u0007ok\u000B"_s);
    EXPECT_EQ(editor.text(), u"First\nSecond\nThird!\tend\nlastok\n"_s);

    // Nothing but such characters: nothing enters, and the selection stays.
    editor.selectAll();
    paste(u"\u0001\u0002"_s);
    EXPECT_EQ(editor.text(), u"First\nSecond\nThird!\tend\nlastok\n"_s);
}

// Text set from a report is kept as the report holds it, even where typing would not let it in;
// an end of paragraph a document cannot hold (a carriage return) shows and reads as a line feed.
TEST_F(PlainTextEditTest, TextSetIsKeptAsItIs)
{
    const QString kept = u"a\u2028b\u000Bc"_s;
    editor.setText(kept);
    EXPECT_EQ(editor.text(), kept);
    EXPECT_TRUE(editor.holds(kept));

    const QString returns = u"one\r\ntwo\rthree"_s;
    editor.setText(returns);
    EXPECT_EQ(editor.text(), u"one\ntwo\nthree"_s);
    EXPECT_TRUE(editor.holds(returns)) << "shown as the text it was set from";
    EXPECT_FALSE(editor.holds(u"one\ntwo three"_s));

    const QString longReturns = letters(2500) + u'\r' + letters(3000);
    editor.setText(longReturns);
    EXPECT_EQ(editor.text(), letters(2500) + u'\n' + letters(3000));
    EXPECT_TRUE(editor.holds(longReturns));
    EXPECT_TRUE(startsLine(2501));
}

} // namespace
