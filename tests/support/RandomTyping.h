#pragma once

// Random editing of a multi-line editor as a user does it, with the keys, the clipboard, drops
// and input methods, checked after every action against a plain text that the same actions
// change: the editor, and whatever its owner keeps of its text, must hold exactly that text.
// Return and Shift+Return with and without a selection, pastes (keys and middle button) and drops
// with and without line breaks (those of other programs too, and characters a report cannot
// hold), of any size and at any scroll position, Backspace and Delete, at and inside the
// boundaries of the pieces of long lines, Undo and Redo. A plain QPlainTextEdit, which holds every
// line in one paragraph, is given the same actions: Undo and Redo must walk its history, text for
// text.

#include "widgets/PlainTextEdit.h"

#include <QAbstractUndoItem>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

using namespace Qt::StringLiterals;

class RandomTyping {
public:
    // What the editor's owner holds of its text after an action.
    using HandedBack = std::function<QString()>;

    // The seeds a test runs: `count` of them from `first`, or the one QUILLMARK_SEED names.
    static QList<quint32> seeds(quint32 first, int count)
    {
        bool ok = false;
        const quint32 one = qEnvironmentVariable("QUILLMARK_SEED").toUInt(&ok);
        if (ok)
            return {one};
        QList<quint32> list;
        for (int i = 0; i < count; ++i)
            list.append(first + quint32(i));
        return list;
    }

    // A text of short and long lines (some far longer than the editor's pieces).
    static QString startingText(quint32 seed)
    {
        QRandomGenerator random(seed ^ 0x5eedu);
        QStringList lines;
        const int count = random.bounded(1, 5);
        for (int i = 0; i < count; ++i) {
            const bool isLong = random.bounded(3) == 0 || (i == 0 && seed % 3 != 0);
            lines.append(word(random, isLong ? random.bounded(2100, 5200) : random.bounded(0, 40)));
        }
        return lines.join(u'\n');
    }

    // `editor` holds `start` already (set by its owner, as a report's text is).
    RandomTyping(PlainTextEdit *editor, quint32 seed, HandedBack handedBack)
        : editor_(editor), seed_(seed), random_(seed), handedBack_(std::move(handedBack))
    {
        // Laid out as the editor is, never on the screen.
        reference_.setAttribute(Qt::WA_DontShowOnScreen);
        reference_.setFont(editor_->font());
        reference_.setLineWrapMode(editor_->lineWrapMode());
        reference_.setWordWrapMode(editor_->wordWrapMode());
        reference_.resize(editor_->size());
        reference_.show();
    }

    // Runs `actions` random actions; false, with the failure reported, at the first difference.
    bool run(int actions)
    {
        settle();
        plain_ = editor_->text();
        reference_.setPlainText(plain_);
        history_ = {plain_};
        current_ = 0;
        if (!check(u"the text as set"_s))
            return false;
        for (int step = 0; step < actions; ++step) {
            if (random_.bounded(10) < 6)
                placeCursor();
            followCursor();
            act();
            if (!check(QString::number(step)))
                return false;
        }
        return true;
    }

    // The text the editor must hold now.
    const QString &plainText() const { return plain_; }

    // The plain rule for text that enters: the line breaks of other programs are line feeds and
    // other control characters (but the tab) stay out.
    static QString entered(QString text)
    {
        text.replace(u"\r\n"_s, u"\n"_s);
        for (const char16_t c : {u'\r', u'\v', u'\f', u'\u2028', u'\u2029'})
            text.replace(QChar(c), u'\n');
        text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\n' && c != u'\t'; });
        return text;
    }

private:
    static QString word(QRandomGenerator &random, int length)
    {
        static const QString letters =
            u"abcdefghijklmnopqrstuvwxyz ABCXYZ0123456789(){}$+\"'_.,;é€"_s;
        QString out;
        out.reserve(length);
        while (out.size() < length) {
            if (random.bounded(200) == 0 && length - out.size() >= 2)
                out += u"😀"_s;
            else
                out += letters.at(random.bounded(int(letters.size())));
        }
        return out;
    }

    // A text to paste or drop: a word, lines parted by the breaks of various programs, control
    // characters, a line of some hundreds of characters, a long line, or nothing but characters
    // that cannot enter.
    QString pastedText()
    {
        static const QStringList breaks{u"\n"_s,     u"\r\n"_s,   u"\r"_s, u"\u2028"_s,
                                        u"\u2029"_s, u"\u000B"_s, u"\f"_s};
        const auto aBreak = [&] { return breaks.at(random_.bounded(int(breaks.size()))); };
        switch (random_.bounded(8)) {
        case 0:
            return word(random_, random_.bounded(1, 8));
        case 7:
            return word(random_, random_.bounded(300, 2000));
        case 1:
        case 2: {
            QString text = random_.bounded(2) ? aBreak() : QString();
            const int lines = random_.bounded(1, 4);
            for (int i = 0; i < lines; ++i)
                text += word(random_, random_.bounded(0, 12)) + aBreak();
            return random_.bounded(2) ? text + word(random_, 3) : text;
        }
        case 3:
            return word(random_, 3) + QChar(char16_t(random_.bounded(1, 0x20))) + word(random_, 2) +
                   u'\t';
        case 4: {
            QString text = word(random_, random_.bounded(2100, 4200));
            if (random_.bounded(2)) {
                qsizetype at = random_.bounded(int(text.size()));
                at -= text.at(at).isLowSurrogate() ? 1 : 0;
                text.insert(at, aBreak());
            }
            return text;
        }
        case 5:
            return u"\u0001\u0002"_s;
        default:
            return aBreak() + word(random_, random_.bounded(1, 20)) + aBreak();
        }
    }

    QTextDocument *document() const { return editor_->document(); }

    // Where a position of the document falls in the text: every break between the pieces of a
    // line before it is no character.
    qsizetype offsetOf(int position) const
    {
        qsizetype boundaries = 0;
        for (QTextBlock block = document()->begin();
             block.isValid() && block.position() <= position; block = block.next()) {
            if (PlainTextEdit::continuesLine(block))
                ++boundaries;
        }
        return position - boundaries;
    }

    // A place a user can put the cursor at: never between the halves of a surrogate pair.
    int randomPosition()
    {
        const int position = anyPosition();
        return document()->characterAt(position).isLowSurrogate() &&
                       document()->characterAt(position - 1).isHighSurrogate()
                   ? position - 1
                   : position;
    }

    int anyPosition()
    {
        const int end = document()->characterCount() - 1;
        QList<QTextBlock> pieces;
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            if (PlainTextEdit::continuesLine(block))
                pieces.append(block);
        }
        const int way = random_.bounded(10);
        if (way < 5 && !pieces.isEmpty()) {
            const QTextBlock piece = pieces.at(random_.bounded(int(pieces.size())));
            return std::clamp(piece.position() + random_.bounded(-2, 3), 0, end);
        }
        if (way < 7) {
            const QTextBlock block =
                document()->findBlockByNumber(random_.bounded(document()->blockCount()));
            return random_.bounded(2) ? block.position() : block.position() + block.length() - 1;
        }
        return random_.bounded(end + 1);
    }

    void placeCursor()
    {
        QTextCursor cursor(document());
        const int anchor = randomPosition();
        cursor.setPosition(anchor);
        if (random_.bounded(10) < 4) {
            const int end = document()->characterCount() - 1;
            cursor.setPosition(random_.bounded(2)
                                   ? randomPosition()
                                   : std::clamp(anchor + random_.bounded(-5, 6), 0, end),
                               QTextCursor::KeepAnchor);
            if (cursor.position() > 0 &&
                document()->characterAt(cursor.position()).isLowSurrogate())
                cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        }
        editor_->setTextCursor(cursor);
        // The view scrolled away from the cursor now and then, as the wheel leaves it.
        if (random_.bounded(4) == 0)
            scrollAnywhere();
    }

    // The plain editor's selection set to the editor's, where the two place it apart (after an
    // undo, say): what they are compared on is the text.
    void followCursor()
    {
        const QTextCursor cursor = editor_->textCursor();
        QTextCursor same(reference_.document());
        same.setPosition(int(offsetOf(cursor.anchor())));
        same.setPosition(int(offsetOf(cursor.position())), QTextCursor::KeepAnchor);
        reference_.setTextCursor(same);
    }

    void scrollAnywhere()
    {
        QScrollBar *bar = editor_->verticalScrollBar();
        bar->setValue(random_.bounded(bar->maximum() + 1));
    }

    // The selection in the text: start and end.
    std::pair<qsizetype, qsizetype> selection() const
    {
        const QTextCursor cursor = editor_->textCursor();
        return {offsetOf(cursor.selectionStart()), offsetOf(cursor.selectionEnd())};
    }

    void replaceSelection(const QString &with)
    {
        const auto [from, to] = selection();
        plain_.replace(from, to - from, with);
    }

    // The key to the editor, and to the plain one `plainCode` with `plainModifiers` (what the
    // editor takes the key for).
    void key(Qt::Key code, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
    {
        key(code, modifiers, text, code, modifiers);
    }
    void key(Qt::Key code, Qt::KeyboardModifiers modifiers, const QString &text, Qt::Key plainCode,
             Qt::KeyboardModifiers plainModifiers)
    {
        editor_->setFocus();
        QTest::sendKeyEvent(QTest::Click, editor_, code, text, modifiers);
        QTest::sendKeyEvent(QTest::Click, &reference_, plainCode, text, plainModifiers);
    }

    void typeCharacter()
    {
        QString typed = word(random_, 1);
        if (random_.bounded(100) == 0)
            typed = u"😀"_s;
        log(u"type "_s + typed);
        replaceSelection(typed);
        const char16_t first = typed.at(0).toUpper().unicode();
        key(first < 0x80 ? Qt::Key(first) : Qt::Key_unknown, {}, typed);
    }

    // Backspace or Delete removes the selection, else the character before or after the
    // cursor (both halves of a surrogate pair).
    void erase(bool forward)
    {
        log(forward ? u"Delete"_s : u"Backspace"_s);
        const auto [from, to] = selection();
        if (from != to) {
            plain_.remove(from, to - from);
        } else if (forward && from < plain_.size()) {
            plain_.remove(from, plain_.at(from).isHighSurrogate() ? 2 : 1);
        } else if (!forward && from > 0) {
            const bool pair = from >= 2 && plain_.at(from - 1).isLowSurrogate();
            plain_.remove(from - (pair ? 2 : 1), pair ? 2 : 1);
        }
        // A run of keys that removes characters goes in one undo step while the characters lie
        // side by side in the document: across the boundary of two pieces the run parts, where a
        // plain editor, holding the line in one paragraph, would take the removal into the same
        // step. The plain editor's run is parted there.
        const int block = from == to ? removedBlock(forward) : -1;
        if (block >= 0 && previousRemoved_ >= 0 && block != previousRemoved_)
            reference_.document()->appendUndoItem(new Parting);
        removed_ = block;
        key(forward ? Qt::Key_Delete : Qt::Key_Backspace);
    }

    // The number of the paragraph that holds the character Backspace or Delete removes (beyond
    // the boundary of two pieces), or -1 when it removes a line break or nothing.
    int removedBlock(bool forward) const
    {
        QTextCursor cursor = editor_->textCursor();
        const auto atPieceEnd = [](const QTextCursor &at) {
            return at.atBlockEnd() && PlainTextEdit::continuesLine(at.block().next());
        };
        const auto atPieceStart = [](const QTextCursor &at) {
            return at.atBlockStart() && PlainTextEdit::continuesLine(at.block());
        };
        while (forward ? atPieceEnd(cursor) : atPieceStart(cursor))
            cursor.movePosition(forward ? QTextCursor::NextCharacter
                                        : QTextCursor::PreviousCharacter);
        if (forward ? cursor.atBlockEnd() : cursor.atBlockStart())
            return -1;
        return cursor.blockNumber();
    }

    // An undo step that changes nothing.
    struct Parting : QAbstractUndoItem {
        void undo() override {}
        void redo() override {}
    };

    // The plain editor takes a paste of the text as the editor lets it in.
    void paste()
    {
        const QString text = pastedText();
        log(u"paste "_s + shown(text));
        if (!entered(text).isEmpty())
            replaceSelection(entered(text));
        QApplication::clipboard()->setText(text);
        editor_->setFocus();
        QTest::keyClick(editor_, Qt::Key_V, Qt::ControlModifier);
        if (entered(text).isEmpty())
            return;
        QApplication::clipboard()->setText(entered(text));
        QTest::keyClick(&reference_, Qt::Key_V, Qt::ControlModifier);
    }

    // The middle button pastes the primary selection where it is pressed, on a display that
    // has one.
    void pasteSelection()
    {
        const QString text = pastedText();
        const QPoint point = pointOver(*editor_);
        const int position = editor_->cursorForPosition(point).position();
        const qsizetype offset = offsetOf(position);
        log(u"middle button at "_s + QString::number(position) + u' ' + shown(text));
        QApplication::clipboard()->setText(text, QClipboard::Selection);
        QTest::mouseClick(editor_->viewport(), Qt::MiddleButton, {}, point);
        if (entered(text).isEmpty())
            return;
        plain_.insert(offset, entered(text));
        QApplication::clipboard()->setText(entered(text), QClipboard::Selection);
        QTest::mouseClick(reference_.viewport(), Qt::MiddleButton, {}, pointAt(offset));
    }

    // A random point over the text an editor shows, in the middle of the row of text under it:
    // a click or drop and cursorForPosition() may part a few pixels from its edge.
    QPoint pointOver(const QPlainTextEdit &editor)
    {
        const QRect area = editor.viewport()->rect();
        QPoint point(random_.bounded(area.width()), random_.bounded(area.height()));
        point.setY(editor.cursorRect(editor.cursorForPosition(point)).center().y());
        return point;
    }

    // The point of the plain editor where `offset` of the text is, scrolled into view.
    QPoint pointAt(qsizetype offset)
    {
        QTextCursor cursor(reference_.document());
        cursor.setPosition(int(offset));
        reference_.setTextCursor(cursor);
        reference_.ensureCursorVisible();
        const QPoint point = reference_.cursorRect().center();
        EXPECT_EQ(reference_.cursorForPosition(point).position(), offset) << "the plain editor";
        return point;
    }

    // Another program's text dropped where the pointer is over the text shown (in whatever
    // part of it the view is scrolled to); the selection stays where it is.
    void drop()
    {
        const QString text = pastedText();
        if (random_.bounded(2))
            scrollAnywhere();
        const QPoint point = pointOver(*editor_);
        const int position = editor_->cursorForPosition(point).position();
        const qsizetype offset = offsetOf(position);
        log(u"drop at "_s + QString::number(position) + u' ' + shown(text));
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(editor_->viewport(), &enter);
        QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(editor_->viewport(), &move);
        QDropEvent dropped(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(editor_->viewport(), &dropped);
        if (entered(text).isEmpty())
            return;
        plain_.insert(offset, entered(text));
        // The plain editor pastes instead, which inserts the text in one undo step as a drop does:
        // its own drop can crash where it grows a long line (it shows the cursor while the
        // paragraph is laid out as it was before).
        QTextCursor cursor(reference_.document());
        cursor.setPosition(int(offset));
        reference_.setTextCursor(cursor);
        QApplication::clipboard()->setText(entered(text));
        QTest::keyClick(&reference_, Qt::Key_V, Qt::ControlModifier);
    }

    // An input method commits a text in place of the selection.
    void commit()
    {
        const QString text = pastedText();
        log(u"commit "_s + shown(text));
        if (!entered(text).isEmpty())
            replaceSelection(entered(text));
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(editor_, &event);
        if (entered(text).isEmpty())
            return;
        QInputMethodEvent same;
        same.setCommitString(entered(text));
        QApplication::sendEvent(&reference_, &same);
    }

    void act()
    {
        previousRemoved_ = std::exchange(removed_, -1);
        const int roll = random_.bounded(100);
        const QString before = plain_;
        if (roll < 20) {
            typeCharacter();
        } else if (roll < 28) {
            log(u"Return"_s);
            replaceSelection(u"\n"_s);
            key(Qt::Key_Return);
        } else if (roll < 31) {
            log(u"Enter"_s);
            replaceSelection(u"\n"_s);
            key(Qt::Key_Enter, Qt::KeypadModifier);
        } else if (roll < 38) {
            // The plain editor is given Return: it takes Shift+Return for a line separator, which
            // the editor never puts in the text.
            log(u"Shift+Return"_s);
            replaceSelection(u"\n"_s);
            key(Qt::Key_Return, Qt::ShiftModifier, {}, Qt::Key_Return, {});
        } else if (roll < 48) {
            erase(false);
        } else if (roll < 58) {
            erase(true);
        } else if (roll < 72) {
            paste();
        } else if (roll < 75 && QApplication::clipboard()->supportsSelection()) {
            pasteSelection();
        } else if (roll < 80 && editor_->isVisible()) {
            drop();
        } else if (roll < 84) {
            commit();
        } else if (roll < 93) {
            undo();
            return;
        } else {
            redo();
            return;
        }
        if (plain_ != before) {
            history_.resize(current_ + 1);
            history_.append(plain_);
            ++current_;
        }
    }

    // Undo and Redo go back and forth between texts the editor held after the actions (one
    // step may take back several actions, as typing is undone as a whole), the same texts as the
    // plain editor's. Steps that change no text (Return over a selected line break makes one) are
    // passed over in both, a few at most: an undo that keeps undoing nothing is a fault.
    void undo()
    {
        log(u"Undo"_s);
        step(Qt::ControlModifier);
        stepped(-1);
    }

    void redo()
    {
        log(u"Redo"_s);
        step(Qt::ControlModifier | Qt::ShiftModifier);
        stepped(1);
    }

    void step(Qt::KeyboardModifiers modifiers)
    {
        const auto toChange = [modifiers](QPlainTextEdit &editor, const auto &text) {
            const QString before = text();
            const bool undo = !(modifiers & Qt::ShiftModifier);
            for (int presses = 0; presses < 8; ++presses) {
                QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_Z, QString(), modifiers);
                settle();
                if (text() != before || !(undo ? editor.document()->isUndoAvailable()
                                               : editor.document()->isRedoAvailable()))
                    return;
            }
        };
        editor_->setFocus();
        toChange(*editor_, [this] { return editor_->text(); });
        toChange(reference_, [this] { return reference_.toPlainText(); });
    }

    void stepped(int way)
    {
        settle();
        plain_ = reference_.toPlainText();
        const QString now = editor_->text();
        for (qsizetype i = current_; i >= 0 && i < history_.size(); i += way) {
            if (history_.at(i) == now) {
                current_ = i;
                return;
            }
        }
        undoneTo_ = now;
    }

    static void settle()
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }

    bool check(const QString &step)
    {
        settle();
        QString problem;
        if (undoneTo_) {
            problem = u"Undo or Redo led to a text the editor never held: "_s + shown(*undoneTo_);
            undoneTo_.reset();
        } else if (const QString text = editor_->text(); text != plain_) {
            problem = u"the editor hands back "_s + difference(text);
        } else if (const QString kept = handedBack_(); kept != plain_) {
            problem = u"its owner holds "_s + difference(kept);
        } else if (const QString same = reference_.toPlainText(); same != plain_) {
            problem = u"the plain editor holds "_s + difference(same);
        } else {
            for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
                if (block.length() - 1 > PlainTextEdit::longLine)
                    problem = u"a paragraph of "_s + QString::number(block.length() - 1) +
                              u" characters is not held in pieces"_s;
            }
        }
        if (problem.isEmpty())
            return true;
        ADD_FAILURE()
            << "seed " << seed_ << " (replay with QUILLMARK_SEED=" << seed_ << "), step "
            << step.toStdString() << ": " << problem.toStdString() << "\nlast actions:\n"
            << log_.mid(std::max<qsizetype>(0, log_.size() - 8)).join(u'\n').toStdString();
        return false;
    }

    // Where `text` parts from the plain text, with a little of each around it.
    QString difference(const QString &text) const
    {
        qsizetype at = 0;
        while (at < text.size() && at < plain_.size() && text.at(at) == plain_.at(at))
            ++at;
        const qsizetype from = std::max<qsizetype>(0, at - 12);
        return shown(text.mid(from, 40)) + u" where the text is "_s + shown(plain_.mid(from, 40)) +
               u" (from character "_s + QString::number(from) + u", lengths "_s +
               QString::number(text.size()) + u" and "_s + QString::number(plain_.size()) + u')';
    }

    // A text with its control characters and separators written out.
    static QString shown(const QString &text)
    {
        QString out = u"\""_s;
        for (const QChar c : text.left(60)) {
            if (c.unicode() < 0x20 || c == u'\u2028' || c == u'\u2029')
                out += u"\\u"_s + QString::number(c.unicode(), 16).rightJustified(4, u'0');
            else
                out += c;
        }
        return out +
               (text.size() > 60 ? u"...\" ("_s + QString::number(text.size()) + u')' : u"\""_s);
    }

    void log(const QString &action)
    {
        const QTextCursor cursor = editor_->textCursor();
        log_.append(action + u" at "_s + QString::number(cursor.anchor()) + u".."_s +
                    QString::number(cursor.position()));
    }

    PlainTextEdit *editor_;
    quint32 seed_;
    QRandomGenerator random_;
    HandedBack handedBack_;
    // The plain path the pieces replace: every line in one paragraph.
    QPlainTextEdit reference_;
    // The paragraph of the character the last action removed, if it removed one with a key, and
    // of the action before it.
    int removed_ = -1;
    int previousRemoved_ = -1;
    QString plain_;
    QStringList history_;
    qsizetype current_ = 0;
    std::optional<QString> undoneTo_;
    QStringList log_;
};

// Types QQ, Return and Backspace at `at` of the editor's text, a place inside a long line (the
// keys that once left Undo stuck); the texts Undo goes back through, the last first.
inline QStringList typeBesideALongLine(PlainTextEdit *editor, qsizetype at)
{
    const QString before = editor->text();
    editor->setFocus();
    QTextCursor cursor(editor->document());
    cursor.setPosition(linepieces::positionAt(*editor->document(), at, false));
    editor->setTextCursor(cursor);
    QTest::keyClicks(editor, u"QQ"_s);
    const QString typed = editor->text();
    QTest::keyClick(editor, Qt::Key_Return);
    const QString broken = editor->text();
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_TRUE(editor->text() == typed) << "Backspace takes the line break back";
    return {typed, broken, typed, before};
}

} // namespace testsupport
