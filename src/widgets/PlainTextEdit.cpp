#include "widgets/PlainTextEdit.h"

#include "widgets/LinePieces.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QTimer>

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
    // Every character of the text is one of the document's, and so is every break of a line.
    if (document()->characterCount() - 1 < text.size())
        return false;
    qsizetype at = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin() && !continuesLine(block)) {
            if (at == text.size() || text.at(at) != u'\n')
                return false;
            ++at;
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
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    const bool anyLong = std::any_of(lines.begin(), lines.end(),
                                     [](QStringView line) { return line.size() > longLine; });
    hasPieces_ = false;
    if (!anyLong) {
        setPlainText(text);
        return;
    }
    // As setPlainText() does: no undo step, the cursor at the start.
    document()->setUndoRedoEnabled(false);
    document()->clear();
    QTextCursor cursor(document());
    insertText(cursor, text);
    document()->setUndoRedoEnabled(true);
    setTextCursor(QTextCursor(document()));
}

void PlainTextEdit::insertText(QTextCursor &cursor, QStringView text)
{
    cursor.beginEditBlock();
    // Short lines go in together; a line break after a piece starts a paragraph of its own that
    // does not continue a line.
    QString run;
    bool afterPieces = false;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        if (line.size() <= longLine) {
            if (i > 0 && afterPieces)
                cursor.insertBlock(QTextBlockFormat());
            else if (i > 0)
                run += u'\n';
            run += line;
            afterPieces = false;
            continue;
        }
        if (!run.isEmpty())
            cursor.insertText(std::exchange(run, {}));
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat());
        hasPieces_ = true;
        insertPieces(cursor, line);
        afterPieces = true;
    }
    if (!run.isEmpty())
        cursor.insertText(run);
    cursor.endEditBlock();
}

void PlainTextEdit::noteChange(int position, int, int added)
{
    if (cutting_)
        return;
    const bool first = changedFrom_ < 0;
    changedFrom_ = first ? position : std::min(changedFrom_, position);
    changedTo_ = std::max(first ? 0 : changedTo_, position + added);
    if (first)
        QTimer::singleShot(0, this, &PlainTextEdit::cutLongParagraphs);
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
    const QString text = source->text();
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
    // that would remove it removes the character beyond it, and a new line starts a line.
    QTextCursor cursor = textCursor();
    if (!hasPieces_ || cursor.hasSelection() || isReadOnly() ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const QTextBlock block = cursor.block();
    const bool atStart = cursor.positionInBlock() == 0;
    const bool atEnd = cursor.positionInBlock() == block.length() - 1;
    if (event.key() == Qt::Key_Backspace && atStart && continuesLine(block)) {
        cursor.movePosition(QTextCursor::PreviousCharacter);
        cursor.deletePreviousChar();
    } else if (event.key() == Qt::Key_Delete && atEnd && continuesLine(block.next())) {
        cursor.movePosition(QTextCursor::NextCharacter);
        cursor.deleteChar();
    } else if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
               continuesLine(block)) {
        cursor.insertBlock(QTextBlockFormat());
    } else {
        return false;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}
