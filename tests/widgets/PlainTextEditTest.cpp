// The multi-line editor hands back what it shows: line breaks typed, pasted, dropped or
// committed by an input method start lines, also inside the pieces of a long line, and text
// enters without the characters a report cannot hold.
#include "widgets/PlainTextEdit.h"
#include "RandomTyping.h"
#include "TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using testsupport::letters;
using testsupport::RandomTyping;

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

// Another program's text dropped into a long line scrolled into view goes in whole, where it
// was dropped, as one undo step.
TEST_F(PlainTextEditTest, ADropIntoALongLineGoesInWhole)
{
    const QString line = letters(6000);
    editor.setText(line);
    editor.verticalScrollBar()->setValue(20);
    const QPoint point(138, 50);
    const qsizetype at =
        linepieces::offsetAt(*editor.document(), editor.cursorForPosition(point).position());
    const QString dropped = letters(1217);
    QMimeData data;
    data.setText(dropped);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor.viewport(), &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor.viewport(), &move);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor.viewport(), &drop);
    const QString expected = line.left(at) + dropped + line.mid(at);
    EXPECT_EQ(editor.text(), expected);
    EXPECT_EQ(linepieces::offsetAt(*editor.document(), editor.textCursor().position()),
              at + dropped.size())
        << "the cursor after the text dropped";

    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.text(), line);
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.text(), expected);
}

// Line breaks typed, pasted and taken back beside and inside long lines: Ctrl+Z takes back each
// change and Ctrl+Shift+Z brings it back, in the same steps as in a plain editor that holds each
// line in one paragraph, given the same keys.
TEST_F(PlainTextEditTest, ChangesBesideLongLinesUndoAndRedoAsInAPlainEditor)
{
    const QString line = letters(3000);
    struct Case {
        const char *name;
        QString text;
        qsizetype at; // where the cursor stands, in the text
        std::function<void(QPlainTextEdit &)> keys;
    };
    const auto keys = [](const QList<Qt::Key> &list) {
        return [list](QPlainTextEdit &editor) {
            for (const Qt::Key key : list)
                QTest::keyClick(&editor, key);
        };
    };
    const QList<Case> cases{
        {"QQ, Return and Backspace inside a long line", line, 1500,
         [](QPlainTextEdit &editor) {
             QTest::keyClicks(&editor, u"QQ"_s);
             QTest::keyClick(&editor, Qt::Key_Return);
             QTest::keyClick(&editor, Qt::Key_Backspace);
         }},
        {"Delete at the end of a long line", line + u"\nshort"_s, 3000, keys({Qt::Key_Delete})},
        {"Backspace at the start of the line after a long one", line + u"\nshort"_s, 3001,
         keys({Qt::Key_Backspace, Qt::Key_Backspace})},
        {"a paste holding a line break, then Backspace", line, 2500,
         [](QPlainTextEdit &editor) {
             QApplication::clipboard()->setText(u"X\nY"_s);
             QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
             QTest::keyClick(&editor, Qt::Key_Left);
             QTest::keyClick(&editor, Qt::Key_Backspace);
         }},
        {"Return at the boundary of two pieces, then Delete", line, PlainTextEdit::piece,
         keys({Qt::Key_Return, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Delete})},
    };
    // The texts the editor goes through: after the keys, then at each Ctrl+Z while it changes
    // the text, then at each Ctrl+Shift+Z.
    const auto walk = [](QPlainTextEdit &editor, const std::function<QString()> &text) {
        QStringList texts{text()};
        for (const Qt::KeyboardModifiers way : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                                Qt::ControlModifier | Qt::ShiftModifier}) {
            for (int step = 0; step < 10; ++step) {
                QTest::keyClick(&editor, Qt::Key_Z, way);
                if (text() == texts.last())
                    break;
                texts.append(text());
            }
        }
        return texts;
    };
    for (const Case &c : cases) {
        editor.setText(c.text);
        QTextCursor cursor(editor.document());
        cursor.setPosition(linepieces::positionAt(*editor.document(), c.at, false));
        editor.setTextCursor(cursor);
        c.keys(editor);
        const QStringList history = walk(editor, [this] { return editor.text(); });

        QPlainTextEdit plain;
        plain.setPlainText(c.text);
        QTextCursor same(plain.document());
        same.setPosition(int(c.at));
        plain.setTextCursor(same);
        c.keys(plain);
        const QStringList expected = walk(plain, [&plain] { return plain.toPlainText(); });
        EXPECT_EQ(history, expected) << c.name;
        EXPECT_GT(expected.size(), 2) << c.name;
    }
}

// An input method's commit replaces the selection, whatever the commit holds, in short lines
// and in long ones.
TEST_F(PlainTextEditTest, ACommitReplacesTheSelection)
{
    for (const QString &line : {u"hello world"_s, letters(3000)}) {
        for (const QString &commit : {u"a\nb"_s, u"ab"_s, u"a\u2029b"_s}) {
            editor.setText(line);
            const qsizetype from = line.size() - 5;
            select(from, line.size());
            PlainTextEditTest::commit(commit);
            const QString expected = line.left(from) + RandomTyping::entered(commit);
            EXPECT_EQ(editor.text(), expected) << line.size() << ' ' << commit.toStdString();
            QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(editor.text(), line) << "one step";
        }
    }
}

} // namespace
