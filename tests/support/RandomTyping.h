#pragma once

// Random editing of a multi-line editor as a user does it, with the keys, the clipboard, drops
// and input methods, checked after every action against a plain text that the same actions
// change: the editor, and whatever its owner keeps of its text, must hold exactly that text.
// Return and Shift+Return with and without a selection, pastes (keys and middle button) and drops
// with and without line breaks (those of other programs too, and characters a report cannot
// hold), of any size and at any scroll position, Backspace and Delete, at and inside the
// boundaries of the pieces of long lines, Undo and Redo. A plain QPlainTextEdit, which holds every
// line in one paragraph, is given the same actions: Undo and Redo must walk its history, text for
// text. The keys and clicks that act on rows and lines (Home, End, Up and Down with and without
// Shift, Ctrl+K, a click and a triple click on a row) must leave the cursor where the plain
// editor's leaves it, and after every action the editor must draw the rows the plain editor
// draws, each holding the same text at the same place.

#include "widgets/PlainTextEdit.h"

#include <QAbstractTextDocumentLayout>
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
            lines.append(
                word(random, isLong ? random.bounded(3000, 10001) : random.bounded(0, 40)));
        }
        return lines.join(u'\n');
    }

    // A row of text as an editor draws it, in the coordinates of its document: where it starts
    // and ends (or where its first tab is: the text system draws a tab as wide as it takes to the
    // next stop from the start of its text line, which it measures wrongly after a surrogate
    // pair in a long paragraph), its text and where that starts in the document; a row drawn by
    // several paragraphs (pieces of one line) is one, `joined` when each part starts where the
    // one before it ends.
    struct DrawnRow {
        qreal y = 0;
        qreal x = 0;
        qreal right = 0;
        QString text;
        bool joined = true;
        int position = 0;
        // The paragraph and line that start the row.
        QTextBlock block;
        int line = 0;

        // The same row, drawn within a pixel of the other (text shaped in other runs, a
        // character of a fallback font in particular, may have other fractions of a pixel).
        bool operator==(const DrawnRow &other) const
        {
            const auto near = [](qreal a, qreal b) { return std::abs(a - b) < 1; };
            return near(y, other.y) && near(x, other.x) && near(right, other.right) &&
                   text == other.text && joined == other.joined;
        }
    };

    // The rows an editor draws, top to bottom: the lines of its paragraphs, those at the height
    // of the row before added to it.
    static QList<DrawnRow> drawnRows(const QPlainTextEdit &editor)
    {
        QList<DrawnRow> rows;
        QAbstractTextDocumentLayout *layout = editor.document()->documentLayout();
        qreal top = 0;
        qreal rowEnd = 0;
        for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
            const qreal height = layout->blockBoundingRect(block).height();
            const QTextLayout *lines = block.layout();
            for (int index = 0; index < lines->lineCount(); ++index) {
                const QTextLine line = lines->lineAt(index);
                const int end = line.textStart() + line.textLength();
                const QString text = block.text().mid(line.textStart(), line.textLength());
                const qreal y = top + line.y();
                if (!rows.isEmpty() && std::abs(rows.last().y - y) < 0.5) {
                    rows.last().joined = rows.last().joined && std::abs(line.x() - rowEnd) < 0.01;
                } else {
                    rows.append({y,
                                 line.x(),
                                 0,
                                 {},
                                 true,
                                 block.position() + line.textStart(),
                                 block,
                                 index});
                }
                rowEnd = line.cursorToX(end);
                const qsizetype tab = text.indexOf(u'\t');
                if (!rows.last().text.contains(u'\t'))
                    rows.last().right =
                        tab < 0 ? rowEnd : line.cursorToX(line.textStart() + int(tab));
                rows.last().text += text;
            }
            top += height;
        }
        return rows;
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
        reference_.document()->setDocumentMargin(editor_->document()->documentMargin());
        reference_.setTabStopDistance(editor_->tabStopDistance());
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
            const bool placed = random_.bounded(10) < 6;
            if (placed)
                placeCursor();
            followCursor(placed);
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
    // undo, say) or the editor's was just placed: what they are compared on is the text. Else
    // the plain editor keeps its cursor, and with it the x a run of Up and Down keeps to.
    void followCursor(bool placed)
    {
        const QTextCursor cursor = editor_->textCursor();
        const QTextCursor plain = reference_.textCursor();
        if (!placed && plain.anchor() == offsetOf(cursor.anchor()) &&
            plain.position() == offsetOf(cursor.position()))
            return;
        QTextCursor same(reference_.document());
        same.setPosition(int(offsetOf(cursor.anchor())));
        same.setPosition(int(offsetOf(cursor.position())), QTextCursor::KeepAnchor);
        reference_.setTextCursor(same);
    }

    // The selection of each editor in the text: anchor and position.
    std::pair<qsizetype, qsizetype> selected() const
    {
        const QTextCursor cursor = editor_->textCursor();
        return {offsetOf(cursor.anchor()), offsetOf(cursor.position())};
    }
    std::pair<qsizetype, qsizetype> plainSelected() const
    {
        const QTextCursor cursor = reference_.textCursor();
        return {cursor.anchor(), cursor.position()};
    }

    // A key that moves the cursor along rows or to a row's ends, given both editors: both must
    // leave the cursor at the same place.
    void moveAlongRows()
    {
        static const QList<std::pair<Qt::Key, QString>> keys{{Qt::Key_Home, u"Home"_s},
                                                             {Qt::Key_End, u"End"_s},
                                                             {Qt::Key_Up, u"Up"_s},
                                                             {Qt::Key_Down, u"Down"_s}};
        const auto &[code, name] = keys.at(random_.bounded(int(keys.size())));
        const bool shift = random_.bounded(3) == 0;
        log((shift ? u"Shift+"_s : QString()) + name);
        key(code, shift ? Qt::ShiftModifier : Qt::NoModifier);
        compareCursors(name);
    }

    // Ctrl+K deletes from the cursor to the end of its line (from the anchor, with a selection).
    void deleteToLineEnd()
    {
        if (!QKeySequence::keyBindings(QKeySequence::DeleteEndOfLine)
                 .contains(QKeySequence(Qt::CTRL | Qt::Key_K)))
            return;
        log(u"Ctrl+K"_s);
        const auto [anchor, position] = selected();
        qsizetype end = plain_.indexOf(u'\n', position);
        if (end < 0)
            end = plain_.size();
        plain_.remove(std::min(anchor, end), std::abs(end - anchor));
        key(Qt::Key_K, Qt::ControlModifier);
    }

    // A point over a row of those the editor shows, and the place in the text the plain editor
    // puts the cursor at for the same place of its rows, logged as `action` at the point; none
    // when no row shows whole.
    std::optional<std::pair<QPoint, qsizetype>> aim(const QString &action)
    {
        if (plainCutsACharacter())
            return std::nullopt;
        const QList<DrawnRow> rows = drawnRows(*editor_);
        const QList<DrawnRow> plainRows = drawnRows(reference_);
        QList<qsizetype> shown;
        for (qsizetype index = 0; index < rows.size() && index < plainRows.size(); ++index) {
            QTextCursor start(document());
            start.setPosition(rows.at(index).position);
            const QRect rect = editor_->cursorRect(start);
            if (rect.top() >= 0 && rect.bottom() < editor_->viewport()->height())
                shown.append(index);
        }
        if (shown.isEmpty())
            return std::nullopt;
        const qsizetype index = shown.at(random_.bounded(int(shown.size())));
        QTextCursor start(document());
        start.setPosition(rows.at(index).position);
        const QPoint point(random_.bounded(editor_->viewport()->width()),
                           editor_->cursorRect(start).center().y());
        const qreal x = point.x() + editor_->horizontalScrollBar()->value();
        const DrawnRow &plain = plainRows.at(index);
        log(action + u" at "_s + QString::number(point.x()) + u',' + QString::number(point.y()));
        return std::pair{point, qsizetype(plain.block.position() +
                                          plain.block.layout()->lineAt(plain.line).xToCursor(x))};
    }

    // A click on a row puts the cursor where the plain editor puts it for that place.
    void click()
    {
        const auto aimed = aim(u"click"_s);
        if (!aimed)
            return;
        const auto [point, expected] = *aimed;
        QTest::mouseClick(editor_->viewport(), Qt::LeftButton, {}, point);
        if (selected() != std::pair{expected, expected})
            cursorProblem_ = u"a click left the cursor at "_s + shownSelection(selected()) +
                             u" where the plain editor puts it at "_s + QString::number(expected);
    }

    // A triple click on a row selects its whole line and the line break after it.
    void tripleClick()
    {
        const auto aimed = aim(u"triple click"_s);
        if (!aimed)
            return;
        const auto [point, at] = *aimed;
        QTest::mouseDClick(editor_->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseClick(editor_->viewport(), Qt::LeftButton, {}, point);
        const qsizetype start = at == 0 ? 0 : plain_.lastIndexOf(u'\n', at - 1) + 1;
        qsizetype end = plain_.indexOf(u'\n', at);
        end = end < 0 ? plain_.size() : end + 1;
        if (selected() != std::pair{start, end})
            cursorProblem_ = u"a triple click selected "_s + shownSelection(selected()) +
                             u" where the line is "_s + shownSelection({start, end});
    }

    void compareCursors(const QString &action)
    {
        settle();
        if (!plainCutsACharacter() && selected() != plainSelected())
            cursorProblem_ = action + u" left the cursor at "_s + shownSelection(selected()) +
                             u" where the plain editor leaves it at "_s +
                             shownSelection(plainSelected());
    }

    static QString shownSelection(std::pair<qsizetype, qsizetype> selection)
    {
        return QString::number(selection.first) + u".."_s + QString::number(selection.second);
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
        const int roll = random_.bounded(117);
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
        } else if (roll < 100) {
            redo();
            return;
        } else if (roll < 108) {
            moveAlongRows();
        } else if (roll < 111) {
            deleteToLineEnd();
        } else if (roll < 114) {
            click();
        } else {
            tripleClick();
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
        } else if (cursorProblem_) {
            problem = *std::exchange(cursorProblem_, std::nullopt);
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
            if (problem.isEmpty())
                problem = rowDifference();
        }
        if (problem.isEmpty())
            return true;
        ADD_FAILURE()
            << "seed " << seed_ << " (replay with QUILLMARK_SEED=" << seed_ << "), step "
            << step.toStdString() << ": " << problem.toStdString() << "\nlast actions:\n"
            << log_.mid(std::max<qsizetype>(0, log_.size() - 8)).join(u'\n').toStdString();
        return false;
    }

    // True when the plain editor draws a character of the text otherwise than the text is: it
    // shapes a paragraph in runs of 4096 characters, and draws a surrogate pair the boundary of
    // two runs cuts as two wider glyphs (its rows, and where its keys and clicks place the
    // cursor, are not those of the text then).
    bool plainCutsACharacter() const
    {
        constexpr int run = 4096;
        for (QTextBlock block = reference_.document()->begin(); block.isValid();
             block = block.next()) {
            const QString text = block.text();
            for (qsizetype at = run - 1; at + 1 < text.size(); at += run) {
                if (text.at(at).isHighSurrogate())
                    return true;
            }
        }
        return false;
    }

    // The first row the editor draws otherwise than the plain editor, as wide, draws it; empty
    // when they draw the same rows.
    QString rowDifference()
    {
        if (plainCutsACharacter())
            return {};
        // Each view as wide as the other (the editor may have a gutter, and either a scroll bar).
        for (int pass = 0; pass < 2; ++pass) {
            const int wider = editor_->viewport()->width() - reference_.viewport()->width();
            if (wider != 0)
                reference_.resize(reference_.width() + wider, reference_.height());
        }
        const QList<DrawnRow> rows = drawnRows(*editor_);
        const QList<DrawnRow> plainRows = drawnRows(reference_);
        for (qsizetype index = 0; index < std::max(rows.size(), plainRows.size()); ++index) {
            if (index < rows.size() && index < plainRows.size() &&
                rows.at(index) == plainRows.at(index))
                continue;
            const auto describe = [](const QList<DrawnRow> &list, qsizetype at) -> QString {
                if (at >= list.size())
                    return u"no row"_s;
                const DrawnRow &row = list.at(at);
                return u"x "_s + QString::number(row.x) + u" to "_s + QString::number(row.right) +
                       u", y "_s + QString::number(row.y) +
                       (row.joined ? u""_s : u" (parts apart)"_s) + u' ' + shown(row.text);
            };
            return u"row "_s + QString::number(index) + u" of "_s + QString::number(rows.size()) +
                   u" is drawn "_s + describe(rows, index) + u" where the plain editor draws "_s +
                   describe(plainRows, index);
        }
        return {};
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
    // What a key or click that acts on rows did otherwise than in the plain editor.
    std::optional<QString> cursorProblem_;
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
