#include "widgets/PlainTextEdit.h"

#include "model/EnteredText.h"
#include "widgets/LinePieces.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextDocument>
#include <algorithm>

using namespace linepieces;

namespace {

// How many characters of pieces go into the document with one insertion.
constexpr qsizetype batch = qsizetype(1) << 20;

// Inserts a long line at the cursor as pieces, but for the last, which it returns: the caller
// puts it where the cursor stands. The first goes on in the paragraph at the cursor, the others
// in batches: a paragraph separator in inserted text opens a paragraph of the format of the one
// the cursor is in, so once the cursor is in a continuing paragraph a batch of pieces parted by
// separators goes in with one insertion.
QStringView insertPieces(QTextCursor &cursor, QStringView line)
{
    qsizetype last = 0;
    for (qsizetype end = pieceEnd(line, 0); end < line.size(); end = pieceEnd(line, end))
        last = end;
    qsizetype from = pieceEnd(line, 0);
    cursor.insertText(line.first(from).toString());
    cursor.insertBlock(continuing());
    QString run;
    run.reserve(std::min(last - from, batch) + batch / piece + 1);
    while (from < last) {
        run.resize(0);
        while (from < last && run.size() < batch) {
            const qsizetype end = pieceEnd(line, from);
            run += line.sliced(from, end - from);
            run += QChar::ParagraphSeparator;
            from = end;
        }
        cursor.insertText(run);
    }
    return line.sliced(last);
}

} // namespace

PlainTextEdit::PlainTextEdit(QWidget *parent) : RowTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, &PlainTextEdit::noteChange);
    connect(document(), &QTextDocument::contentsChanged, this, &PlainTextEdit::finishChange);
}

QString PlainTextEdit::text(int from, int to) const
{
    if (!hasPieces_) {
        QTextCursor range(document());
        range.setPosition(from);
        range.setPosition(to, QTextCursor::KeepAnchor);
        QString text = range.selectedText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        return text;
    }
    QString text;
    text.reserve(std::max(to - from, 0));
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = std::max(from, block.position());
        const int end = std::min(to, block.position() + block.length() - 1);
        if (block.position() > from && !continuesLine(block))
            text += u'\n';
        if (end > start)
            text += QStringView(block.text()).sliced(start - block.position(), end - start);
    }
    return text;
}

bool PlainTextEdit::holds(QStringView text) const
{
    // Every character of the text is one of the document's, and every break of a line is one
    // end of a paragraph of the text (which the document holds as a line feed).
    if (document()->characterCount() - 1 < text.size() - text.count(u"\r\n"))
        return false;
    qsizetype at = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin() && !continuesLine(block)) {
            if (at == text.size() || !endsParagraph(text.at(at)))
                return false;
            at += text.sliced(at).startsWith(u"\r\n") ? 2 : 1;
        }
        const QString part = block.text();
        if (part.size() > text.size() - at || text.sliced(at, part.size()) != part)
            return false;
        at += part.size();
    }
    return at == text.size();
}

void PlainTextEdit::setText(const QString &text)
{
    const QString held = heldText(text);
    const QList<QStringView> lines = QStringView(held).split(u'\n');
    const bool anyLong = std::any_of(lines.begin(), lines.end(),
                                     [](QStringView line) { return line.size() > longLine; });
    hasPieces_ = false;
    if (!anyLong) {
        setPlainText(held);
        return;
    }
    // As setPlainText() does: no undo step, the cursor at the start.
    document()->setUndoRedoEnabled(false);
    document()->clear();
    QTextCursor cursor(document());
    insertHeld(cursor, held);
    document()->setUndoRedoEnabled(true);
    setTextCursor(QTextCursor(document()));
}

void PlainTextEdit::setTextAtChange(const QString &text)
{
    const QString before = this->text();
    setText(text);
    const QString after = this->text();
    // What the two texts share at their starts and ends stays; the caret goes after what changed
    // between them, never between the halves of a surrogate pair.
    const qsizetype shortest = std::min(before.size(), after.size());
    qsizetype start = 0;
    while (start < shortest && before.at(start) == after.at(start))
        ++start;
    qsizetype end = after.size();
    while (end > start && before.size() - (after.size() - end) > start &&
           before.at(before.size() - (after.size() - end) - 1) == after.at(end - 1))
        --end;
    if (end > 0 && end < after.size() && after.at(end - 1).isHighSurrogate())
        ++end;
    QTextCursor cursor(document());
    cursor.setPosition(positionAt(*document(), end, true));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void PlainTextEdit::insertText(QTextCursor &cursor, const QString &text)
{
    insertHeld(cursor, heldText(text));
}

void PlainTextEdit::insertHeld(QTextCursor &cursor, QStringView held)
{
    cursor.beginEditBlock();
    const int from = cursor.selectionStart();
    cursor.removeSelectedText();
    // Short lines go in together. A line feed inserted with them opens a paragraph of the format
    // of the one it is typed in, which is right unless that one continues a line: there, and
    // after pieces, a line break opens a paragraph of its own that does not continue a line.
    QString run;
    bool breaksContinue = continuesLine(cursor.block());
    const auto flush = [&] {
        if (!run.isEmpty())
            cursor.insertText(std::exchange(run, {}));
    };
    const QList<QStringView> lines = held.split(u'\n');
    QStringView last;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines.at(i);
        if (i > 0 && breaksContinue) {
            flush();
            cursor.insertBlock(QTextBlockFormat());
            breaksContinue = false;
        } else if (i > 0) {
            run += u'\n';
        }
        if (line.size() > longLine) {
            flush();
            hasPieces_ = true;
            line = insertPieces(cursor, line);
            breaksContinue = true;
        }
        if (i + 1 < lines.size())
            run += line;
        else
            last = line;
    }
    flush();
    insertLast(cursor, from, last.toString());
    cursor.endEditBlock();
}

void PlainTextEdit::insertLast(QTextCursor &cursor, int from, const QString &text)
{
    // The text goes in last, after the pieces the step changed from `from` are mended: typing
    // that follows it goes on in its undo step, as it goes on in the step of a paste in a plain
    // editor.
    mendPieces(from, cursor.position());
    if (text.isEmpty())
        return;
    cursor.insertText(text);
    const QTextBlock block = cursor.block();
    if (block.length() - 1 <= longLine)
        return;
    // It left its paragraph long: that goes in pieces, and what of the text stands in the piece
    // the cursor ends in (at the end of the piece before, where the cursor stands at a start)
    // goes in again, last.
    QTextCursor cutter(document());
    cutParagraph(cutter, block);
    QTextBlock at = cursor.block();
    int end = cursor.position();
    if (end == at.position() && continuesLine(at)) {
        at = at.previous();
        end = at.position() + at.length() - 1;
    }
    cutter.setPosition(std::max(at.position(), end - int(text.size())));
    cutter.setPosition(end, QTextCursor::KeepAnchor);
    cutter.insertText(cutter.selectedText());
}

void PlainTextEdit::noteChange(int position, int, int added)
{
    if (mending_)
        return;
    changedFrom_ = changedFrom_ < 0 ? position : std::min(changedFrom_, position);
    changedTo_ = std::max(changedTo_, position + added);
}

void PlainTextEdit::finishChange()
{
    if (mending_)
        return;
    // The document is done with the change (its layout too): the pieces it touched are mended
    // within its undo step, before anyone reads the text.
    const int from = std::exchange(changedFrom_, -1);
    const int to = std::exchange(changedTo_, -1);
    if (from >= 0) {
        const QScopedValueRollback mending(mending_, true);
        mendPieces(from, to);
    }
    emit linesChanged();
}

void PlainTextEdit::mendPieces(int from, int to)
{
    // An undo or redo leaves the pieces as they were after a change, mended already: nothing is
    // done then.
    if (hasPieces_)
        heal(*document(), from, to);
    QList<QTextBlock> longOnes;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() - 1 > longLine)
            longOnes.append(block);
    }
    if (longOnes.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    for (auto it = longOnes.crbegin(); it != longOnes.crend(); ++it)
        cutParagraph(cursor, *it);
    cursor.endEditBlock();
}

void PlainTextEdit::cutParagraph(QTextCursor &cursor, const QTextBlock &block)
{
    hasPieces_ = true;
    const QString line = block.text();
    QList<qsizetype> cuts;
    for (qsizetype at = pieceEnd(line, 0); at < line.size(); at = pieceEnd(line, at))
        cuts.append(at);
    // From the last, so the positions of the ones before stay.
    const int start = block.position();
    for (auto cut = cuts.crbegin(); cut != cuts.crend(); ++cut) {
        cursor.setPosition(start + int(*cut));
        cursor.insertBlock(continuing());
    }
    heal(*document(), start, start + int(line.size() + cuts.size()));
}

bool PlainTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void PlainTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source)
        return;
    // The text is read once, here, never from a source whose data may be gone by the time it
    // is read again.
    const QString text = EnteredText::cleaned(source->text());
    if (text.isEmpty())
        return;
    insertPastedText(text);
}

void PlainTextEdit::insertPastedText(const QString &text)
{
    // Long lines go in as pieces at once: a long paragraph would be laid out whole first.
    QTextCursor cursor = insertAt_ ? *insertAt_ : textCursor();
    insertText(cursor, text);
    if (insertAt_)
        *insertAt_ = cursor;
    // A drop inserts within an edit of its own, which lays the text out only once it ends: the
    // cursor, at the place of the drop, moves on with the text inserted there and is shown then.
    if (dropping_)
        return;
    setTextCursor(cursor);
    ensureCursorVisible();
}

void PlainTextEdit::dropEvent(QDropEvent *event)
{
    const QScopedValueRollback dropping(dropping_, true);
    RowTextEdit::dropEvent(event);
}

void PlainTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = heldText(EnteredText::cleaned(event->commitString()));
    const bool breaks = commit.contains(u'\n');
    // The base class inserts a commit into one paragraph that stays short as a plain editor
    // does, which is what this editor does there, its line breaks starting lines; given the
    // text cleaned.
    const QTextCursor selected = textCursor();
    const QTextBlock block = document()->findBlock(selected.selectionStart());
    if (block.contains(selected.selectionEnd()) && (!breaks || !continuesLine(block)) &&
        block.length() + commit.size() <= longLine) {
        if (commit == event->commitString()) {
            QPlainTextEdit::inputMethodEvent(event);
            return;
        }
        QInputMethodEvent cleaned(event->preeditString(), event->attributes());
        cleaned.setCommitString(commit, event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&cleaned);
        event->setAccepted(cleaned.isAccepted());
        return;
    }
    // Elsewhere the text goes in as a paste does, in place of the selection and of what the
    // method asks to replace beside it, in one undo step; the event then brings only the text
    // being composed.
    if (!isReadOnly() && (!commit.isEmpty() || event->replacementLength() > 0)) {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        cursor.setPosition(cursor.position() + event->replacementStart());
        cursor.setPosition(cursor.position() + event->replacementLength(), QTextCursor::KeepAnchor);
        insertText(cursor, commit);
        // Typing after a commit of several lines starts a step of its own, as it does after the
        // base class's commit (whose last line is not the last text it adds to the document):
        // the step ends with a change of no text.
        if (breaks)
            cursor.setBlockFormat(cursor.blockFormat());
        cursor.endEditBlock();
        setTextCursor(cursor);
    }
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&composing);
    event->setAccepted(composing.isAccepted());
}

QMimeData *PlainTextEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(text(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void PlainTextEdit::keyPressEvent(QKeyEvent *event)
{
    QTextCursor cursor = textCursor();
    const QString typed = event->text();
    const bool typing =
        !isReadOnly() && !typed.isEmpty() && (typed.at(0).isPrint() || typed.at(0) == u'\t') &&
        (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
    // A character typed where two pieces meet goes at the end of the first (a selection of
    // nothing but their boundary holds no character to replace), so that typing there goes on
    // in the undo step of what was typed before, as in a plain editor.
    if (typing && hasPieces_) {
        if (cursor.hasSelection() && text(cursor.selectionStart(), cursor.selectionEnd()).isEmpty())
            cursor.setPosition(cursor.selectionStart());
        while (!cursor.hasSelection() && cursor.atBlockStart() && continuesLine(cursor.block()))
            cursor.movePosition(QTextCursor::PreviousCharacter);
        if (cursor != textCursor())
            setTextCursor(cursor);
    }
    // A character typed over a selection across paragraphs goes in after the pieces the removal
    // joined are mended, so that typing goes on in its step, as in a plain editor.
    if (typing && cursor.hasSelection() &&
        !document()->findBlock(cursor.selectionStart()).contains(cursor.selectionEnd())) {
        insertText(cursor, typed);
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    // A character typed into a paragraph that has grown long: the paragraph goes in pieces
    // first, in the same undo step.
    if (typing && cursor.block().length() > longLine) {
        cursor.beginEditBlock();
        cutParagraph(cursor, cursor.block());
        cursor = textCursor();
        cursor.insertText(typed);
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    // Return and Shift+Return (which would put a line separator into the text) start a line.
    if (!isReadOnly() && (event->matches(QKeySequence::InsertParagraphSeparator) ||
                          event->matches(QKeySequence::InsertLineSeparator))) {
        insertText(cursor, QStringLiteral("\n"));
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    if (!stepOverPieceBoundary(*event) && !keyAtParagraphBoundary(*event))
        RowTextEdit::keyPressEvent(event);
}

bool PlainTextEdit::stepOverPieceBoundary(const QKeyEvent &event)
{
    const bool select = event.matches(QKeySequence::SelectNextChar) ||
                        event.matches(QKeySequence::SelectPreviousChar);
    const bool right =
        event.matches(QKeySequence::MoveToNextChar) || event.matches(QKeySequence::SelectNextChar);
    QTextCursor cursor = textCursor();
    if (!hasPieces_ || (!right && !select && !event.matches(QKeySequence::MoveToPreviousChar)) ||
        (cursor.hasSelection() && !select) ||
        !(textInteractionFlags() & Qt::TextSelectableByKeyboard))
        return false;
    const bool forward = right != (layoutDirection() == Qt::RightToLeft);
    // The end of a piece and the start of the next are one place of the line.
    const auto atBoundary = [forward](const QTextCursor &at) {
        const QTextBlock block = at.block();
        return forward ? at.positionInBlock() == block.length() - 1 && continuesLine(block.next())
                       : at.positionInBlock() == 0 && continuesLine(block);
    };
    if (!atBoundary(cursor))
        return false;
    const auto step = forward ? QTextCursor::NextCharacter : QTextCursor::PreviousCharacter;
    const auto mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    while (atBoundary(cursor))
        cursor.movePosition(step, mode);
    cursor.movePosition(step, mode);
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

bool PlainTextEdit::findInText(const QString &needle, bool backward)
{
    if (needle.isEmpty())
        return false;
    const QString all = text();
    const QTextCursor cursor = textCursor();
    qsizetype at = -1;
    if (!backward) {
        at = all.indexOf(needle, offsetAt(*document(), cursor.selectionEnd()), Qt::CaseInsensitive);
    } else if (const qsizetype before = offsetAt(*document(), cursor.selectionStart());
               before > 0) {
        at = all.lastIndexOf(needle, before - 1, Qt::CaseInsensitive);
    }
    if (at < 0)
        return false;
    // A match that crosses pieces is selected whole, from the start of the piece it begins in
    // to the end of the one it ends in.
    QTextCursor match(document());
    match.setPosition(positionAt(*document(), at, false));
    match.setPosition(positionAt(*document(), at + needle.size(), true), QTextCursor::KeepAnchor);
    setTextCursor(match);
    return true;
}

bool PlainTextEdit::keyAtParagraphBoundary(const QKeyEvent &event)
{
    // The line break between the pieces of a long line is no character of the text: a key
    // that would remove it removes the character beyond it (beyond any empty pieces), and a
    // selection of nothing but such breaks holds no character to remove.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool backspace =
        event.matches(QKeySequence::Backspace) ||
        (event.key() == Qt::Key_Backspace && (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier);
    const bool forward = event.matches(QKeySequence::Delete);
    if (isReadOnly() || (!backspace && !forward))
        return false;
    const auto atPieceStart = [](const QTextCursor &at) {
        return at.positionInBlock() == 0 && continuesLine(at.block());
    };
    const auto atPieceEnd = [](const QTextCursor &at) {
        return at.positionInBlock() == at.block().length() - 1 && continuesLine(at.block().next());
    };
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        if (!hasPieces_ || !text(cursor.selectionStart(), cursor.selectionEnd()).isEmpty())
            return false;
        cursor.setPosition(cursor.selectionStart());
    } else if (backspace ? !cursor.atBlockStart() : !cursor.atBlockEnd()) {
        return false;
    }
    if (backspace) {
        while (atPieceStart(cursor))
            cursor.movePosition(QTextCursor::PreviousCharacter);
    } else {
        while (atPieceEnd(cursor))
            cursor.movePosition(QTextCursor::NextCharacter);
    }
    // A line break removed joins two paragraphs, whose marks and length are mended after it
    // within its undo step: that needs a step the mending can join, which a removal outside an
    // edit block is not (the mending would be a step of its own, which Undo would take back and
    // the mending set again, for good).
    const bool joins = backspace ? cursor.atBlockStart() : cursor.atBlockEnd();
    if (joins)
        cursor.beginEditBlock();
    if (backspace)
        cursor.deletePreviousChar();
    else
        cursor.deleteChar();
    if (joins)
        cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}
