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
        // Wrapped at the view's width or not: the rows drawn are those of a plain editor.
        editor.setLineWrapMode(seed % 4 == 3 ? QPlainTextEdit::NoWrap
                                             : QPlainTextEdit::WidgetWidth);
        editor.setText(testsupport::RandomTyping::startingText(seed));
        testsupport::RandomTyping typing(&editor, seed, [this] { return editor.text(); });
        if (!typing.run(160))
            break;
    }
}

// A long line is cut into pieces where its rows may break: after a space, or after a slash where
// it has no space; only a line with no such place for long is cut inside a word, and never
// between the halves of a surrogate pair. Each piece holds half a piece's characters at least.
TEST_F(PlainTextEditTest, LongLinesAreCutWhereRowsMayBreak)
{
    QString words;
    for (int i = 0; words.size() < 6000; ++i)
        words += letters(3 + (i * 7) % 11) + u' ';
    QString slashes;
    while (slashes.size() < 6000)
        slashes += letters(40) + u'/';
    QString pair = letters(3000);
    pair.replace(PlainTextEdit::piece - 1, 2, u"😀"_s);
    struct Case {
        const char *name;
        QString line;
        // Whether a piece may end after the character.
        std::function<bool(QChar)> endsAfter;
    };
    const QList<Case> cases{
        {"words", words, [](QChar c) { return c == u' '; }},
        {"a path", slashes, [](QChar c) { return c == u'/'; }},
        {"letters", letters(6000), [](QChar) { return true; }},
        {"a surrogate pair at a piece's end", pair, [](QChar c) { return !c.isHighSurrogate(); }},
    };
    for (const Case &c : cases) {
        editor.setText(u"short\n"_s + c.line);
        EXPECT_EQ(editor.text(), u"short\n"_s + c.line) << c.name;
        for (QTextBlock block = editor.document()->begin().next().next(); block.isValid();
             block = block.next()) {
            ASSERT_TRUE(PlainTextEdit::continuesLine(block)) << c.name;
            const QString before = block.previous().text();
            EXPECT_TRUE(c.endsAfter(before.back())) << c.name << " piece " << block.blockNumber();
            EXPECT_GE(before.size(), PlainTextEdit::piece / 2) << c.name;
            EXPECT_LE(before.size(), PlainTextEdit::piece) << c.name;
        }
    }
    EXPECT_EQ(editor.document()->findBlockByNumber(1).length() - 1, PlainTextEdit::piece - 1)
        << "the pair goes in the next piece";
}

// A long line, wrapped or not, is drawn as a plain editor draws it, pixel for pixel, whatever
// height the view has (its last row cut at the bottom or not), with a selection across its
// pieces.
TEST_F(PlainTextEditTest, ALongLineIsDrawnAsAPlainEditorDrawsIt)
{
    QString line;
    for (int i = 0; line.size() < 5000; ++i)
        line += letters(2 + (i * 5) % 9) + (i % 13 == 0 ? u"-"_s : u" "_s);
    const QString text = u"before\n"_s + line + u"\nafter"_s;
    QPlainTextEdit plain;
    plain.setFont(editor.font());
    plain.show();
    // The view drawn whole, or only the strip between two heights (as a blinking caret or a
    // change repaints a strip).
    const auto drawn = [](QPlainTextEdit &view, int from = 0, int to = 0) {
        QApplication::processEvents();
        if (to <= from)
            return view.viewport()->grab().toImage();
        QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view.viewport()->render(&image, {}, QRegion(0, from, view.viewport()->width(), to - from));
        return image;
    };
    for (const auto wrap : {QPlainTextEdit::WidgetWidth, QPlainTextEdit::NoWrap}) {
        editor.setLineWrapMode(wrap);
        plain.setLineWrapMode(wrap);
        editor.setText(text);
        plain.setPlainText(text);
        ASSERT_TRUE(editor.hasPieces());
        // A selection from the middle of the first piece to the middle of the third.
        select(700, 2600);
        QTextCursor same(plain.document());
        same.setPosition(700);
        same.setPosition(2600, QTextCursor::KeepAnchor);
        plain.setTextCursor(same);
        for (int height = 120; height < 420; height += 7) {
            editor.resize(360, height);
            plain.resize(360, height);
            editor.verticalScrollBar()->setValue(0);
            plain.verticalScrollBar()->setValue(0);
            editor.setCursorWidth(0);
            plain.setCursorWidth(0);
            EXPECT_EQ(drawn(editor), drawn(plain)) << "wrap " << wrap << ", height " << height;
        }
        for (int top = 0; top < 280; top += 5) {
            EXPECT_EQ(drawn(editor, top, top + 4), drawn(plain, top, top + 4))
                << "wrap " << wrap << ", the strip from " << top;
        }
    }
}

// The cursor placed on the first row of a piece, which goes on the last row of the piece before
// it, is scrolled into view as any other place is, wherever the view was scrolled to.
TEST_F(PlainTextEditTest, TheCursorIsShownOnARowTwoPiecesDraw)
{
    QString line;
    for (int i = 0; line.size() < 8000; ++i)
        line += letters(2 + (i * i + 3 * i) % 11) + u' ';
    editor.resize(300, 90);
    editor.setText(line);
    int shown = 0;
    const auto rowOf = [this](int position) {
        QTextCursor cursor(editor.document());
        cursor.setPosition(position);
        return editor.cursorRect(cursor).top();
    };
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        // A piece whose first character is on the row the piece before ends on.
        if (!PlainTextEdit::continuesLine(block) ||
            rowOf(block.position() + 1) != rowOf(block.position() - 1))
            continue;
        for (const int scroll : {block.firstLineNumber(), block.firstLineNumber() + 2, 0}) {
            editor.verticalScrollBar()->setValue(scroll);
            QTextCursor cursor(editor.document());
            cursor.setPosition(block.position() + 1);
            editor.setTextCursor(cursor);
            const QRect at = editor.cursorRect();
            EXPECT_TRUE(at.top() >= 0 && at.bottom() <= editor.viewport()->height())
                << "piece " << block.blockNumber() << ", scrolled to " << scroll << ": the cursor "
                << at.top() << " to " << at.bottom() << " of " << editor.viewport()->height();
            ++shown;
        }
    }
    EXPECT_GT(shown, 6) << "pieces going on the row before them";
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
