#include "widgets/PlainTextEdit.h"

#include "model/EnteredText.h"
#include "widgets/LinePieces.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

using namespace linepieces;

namespace {

// How many characters of pieces go into the document with one insertion.
constexpr qsizetype batch = qsizetype(1) << 20;

// Inserts a long line at the cursor as pieces. The first goes on in the paragraph at the cursor,
// the others in batches: a paragraph separator in inserted text opens a paragraph of the format
// of the one the cursor is in, so once the cursor is in a continuing paragraph a batch of pieces
// parted by separators goes in with one insertion.
void insertPieces(QTextCursor &cursor, QStringView line)
{
    qsizetype from = pieceEnd(line, 0);
    cursor.insertText(line.first(from).toString());
    if (from < line.size())
        cursor.insertBlock(continuing());
    QString run;
    run.reserve(std::min(line.size() - from, batch) + batch / piece + 1);
    bool first = true;
    while (from < line.size()) {
        run.resize(0);
        while (from < line.size() && run.size() < batch) {
            if (!first)
                run += QChar::ParagraphSeparator;
            first = false;
            const qsizetype end = pieceEnd(line, from);
            run += line.sliced(from, end - from);
            from = end;
        }
        cursor.insertText(run);
    }
}

} // namespace

PlainTextEdit::PlainTextEdit(QWidget *parent) : QPlainTextEdit(parent)
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

void PlainTextEdit::insertText(QTextCursor &cursor, const QString &text)
{
    insertHeld(cursor, heldText(text));
}

void PlainTextEdit::insertHeld(QTextCursor &cursor, QStringView held)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int start = cursor.position();
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
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        if (i > 0 && breaksContinue) {
            flush();
            cursor.insertBlock(QTextBlockFormat());
            breaksContinue = false;
        } else if (i > 0) {
            run += u'\n';
        }
        if (line.size() <= longLine) {
            run += line;
            continue;
        }
        flush();
        hasPieces_ = true;
        insertPieces(cursor, line);
        breaksContinue = true;
    }
    flush();
    // The marks set right within the insertion's own step: no second change follows it.
    if (hasPieces_)
        heal(*document(), start, cursor.position());
    cursor.endEditBlock();
}

void PlainTextEdit::noteChange(int position, int, int added)
{
    if (healing_)
        return;
    healFrom_ = healFrom_ < 0 ? position : std::min(healFrom_, position);
    healTo_ = std::max(healTo_, position + added);
    if (cutting_)
        return;
    const bool first = changedFrom_ < 0;
    changedFrom_ = first ? position : std::min(changedFrom_, position);
    changedTo_ = std::max(first ? 0 : changedTo_, position + added);
    if (first)
        QTimer::singleShot(0, this, &PlainTextEdit::cutLongParagraphs);
}

void PlainTextEdit::finishChange()
{
    if (healing_)
        return;
    // The document is done with the change (its layout too): the marks of the pieces it
    // touched are mended, within its undo step, before anyone reads the text.
    const int from = std::exchange(healFrom_, -1);
    const int to = std::exchange(healTo_, -1);
    if (hasPieces_ && from >= 0) {
        healing_ = true;
        heal(*document(), from, to);
        healing_ = false;
    }
    if (!cutting_)
        emit linesChanged();
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

void PlainTextEdit::cutLongParagraphs()
{
    const int from = std::exchange(changedFrom_, -1);
    const int to = std::exchange(changedTo_, -1);
    if (from < 0)
        return;
    QList<QTextBlock> longOnes;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() - 1 > longLine)
            longOnes.append(block);
    }
    if (longOnes.isEmpty())
        return;
    cutting_ = true;
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    for (auto it = longOnes.crbegin(); it != longOnes.crend(); ++it)
        cutParagraph(cursor, *it);
    cursor.endEditBlock();
    cutting_ = false;
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
    QTextCursor cursor = textCursor();
    insertText(cursor, text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void PlainTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = EnteredText::cleaned(event->commitString());
    if (commit == event->commitString() &&
        std::none_of(commit.cbegin(), commit.cend(), endsParagraph)) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // The text goes in as a paste does, in place of what the method asks to replace; the
    // event then brings only the text being composed.
    if (!isReadOnly() && (!commit.isEmpty() || event->replacementLength() > 0)) {
        QTextCursor cursor = textCursor();
        cursor.setPosition(cursor.position() + event->replacementStart());
        cursor.setPosition(cursor.position() + event->replacementLength(), QTextCursor::KeepAnchor);
        insertText(cursor, commit);
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
    // A character typed into a paragraph that has grown long: the paragraph goes in pieces
    // first, in the same undo step.
    QTextCursor cursor = textCursor();
    const QString typed = event->text();
    if (!isReadOnly() && cursor.block().length() > longLine && !typed.isEmpty() &&
        typed.at(0).isPrint() &&
        (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier) {
        cursor.beginEditBlock();
        cutting_ = true;
        cutParagraph(cursor, cursor.block());
        cutting_ = false;
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
    if (!stepOverPieceBoundary(*event) && !keyAtPieceBoundary(*event))
        QPlainTextEdit::keyPressEvent(event);
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

bool PlainTextEdit::keyAtPieceBoundary(const QKeyEvent &event)
{
    // The line break between the pieces of a long line is no character of the text: a key
    // that would remove it removes the character beyond it (beyond any empty pieces), and a
    // selection of nothing but such breaks holds no character to remove.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool backspace =
        event.key() == Qt::Key_Backspace && (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier;
    const bool forward = event.key() == Qt::Key_Delete && modifiers == Qt::NoModifier;
    if (!hasPieces_ || isReadOnly() || (!backspace && !forward))
        return false;
    const auto atPieceStart = [](const QTextCursor &at) {
        return at.positionInBlock() == 0 && continuesLine(at.block());
    };
    const auto atPieceEnd = [](const QTextCursor &at) {
        return at.positionInBlock() == at.block().length() - 1 && continuesLine(at.block().next());
    };
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        if (!text(cursor.selectionStart(), cursor.selectionEnd()).isEmpty())
            return false;
        cursor.setPosition(cursor.selectionStart());
    } else if (backspace ? !atPieceStart(cursor) : !atPieceEnd(cursor)) {
        return false;
    }
    if (backspace) {
        while (atPieceStart(cursor))
            cursor.movePosition(QTextCursor::PreviousCharacter);
        cursor.deletePreviousChar();
    } else {
        while (atPieceEnd(cursor))
            cursor.movePosition(QTextCursor::NextCharacter);
        cursor.deleteChar();
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}
