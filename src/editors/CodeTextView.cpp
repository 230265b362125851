#include "CodeTextView.h"

#include "LineNumberRulerView.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>

namespace {

// The mark of a paragraph that continues the line of the one before it.
constexpr int continuesProperty = QTextFormat::UserProperty + 1;

QTextBlockFormat continuing()
{
    QTextBlockFormat format;
    format.setProperty(continuesProperty, true);
    return format;
}

// Where the piece of `line` that starts at `from` ends: `piece` characters on, a surrogate pair
// kept whole.
qsizetype pieceEnd(QStringView line, qsizetype from)
{
    qsizetype end = std::min(line.size(), from + CodeTextView::piece);
    if (end < line.size() && end > from + 1 && line.at(end - 1).isHighSurrogate())
        --end;
    return end;
}

} // namespace

CodeTextView::CodeTextView(QWidget *parent)
    : PlainTextEdit(parent), ruler_(new LineNumberRulerView(this))
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    document()->setDocumentMargin(5);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeTextView::updateRulerWidth);
    connect(document(), &QTextDocument::contentsChange, this, &CodeTextView::noteChange);
    connect(this, &QPlainTextEdit::updateRequest, ruler_, [this](const QRect &, int dy) {
        if (dy)
            ruler_->scroll(0, dy);
        ruler_->update();
    });
    updateRulerWidth();
}

void CodeTextView::updateRulerWidth()
{
    setViewportMargins(ruler_->preferredWidth(), 0, 0, 0);
    const QRect area = contentsRect();
    ruler_->setGeometry(area.left(), area.top(), ruler_->preferredWidth(), area.height());
    ruler_->update();
}

QRectF CodeTextView::blockRect(const QTextBlock &block) const
{
    return blockBoundingGeometry(block).translated(contentOffset());
}

bool CodeTextView::continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

int CodeTextView::lineNumber(const QTextBlock &block) const
{
    if (!hasPieces_)
        return block.blockNumber() + 1;
    int number = 0;
    for (QTextBlock at = document()->begin(); at.isValid(); at = at.next()) {
        if (!continuesLine(at))
            ++number;
        if (at == block)
            break;
    }
    return number;
}

QString CodeTextView::text(int from, int to) const
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

void CodeTextView::setText(const QString &text)
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

void CodeTextView::insertText(QTextCursor &cursor, QStringView text)
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
        for (qsizetype from = 0; from < line.size();) {
            const qsizetype end = pieceEnd(line, from);
            if (from > 0)
                cursor.insertBlock(continuing());
            cursor.insertText(line.sliced(from, end - from).toString());
            from = end;
        }
        afterPieces = true;
    }
    if (!run.isEmpty())
        cursor.insertText(run);
    cursor.endEditBlock();
}

void CodeTextView::noteChange(int position, int, int added)
{
    if (cutting_)
        return;
    const bool first = changedFrom_ < 0;
    changedFrom_ = first ? position : std::min(changedFrom_, position);
    changedTo_ = std::max(first ? 0 : changedTo_, position + added);
    if (first)
        QTimer::singleShot(0, this, &CodeTextView::cutLongParagraphs);
}

void CodeTextView::cutParagraph(QTextCursor &cursor, const QTextBlock &block)
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

void CodeTextView::cutLongParagraphs()
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

void CodeTextView::insertPastedText(const QString &text)
{
    // Long lines go in as pieces at once: a long paragraph would be laid out whole first.
    QTextCursor cursor = textCursor();
    insertText(cursor, text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *CodeTextView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(text(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void CodeTextView::resizeEvent(QResizeEvent *event)
{
    PlainTextEdit::resizeEvent(event);
    updateRulerWidth();
}

void CodeTextView::keyPressEvent(QKeyEvent *event)
{
    if (popup_ && popup_->isVisible()) {
        switch (event->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            event->ignore(); // the completion list takes these
            return;
        default:
            break;
        }
    }
    // The line break between the pieces of a long line is no character of the text: a key
    // that would remove it removes the character beyond it, and a new line starts a line.
    QTextCursor cursor = textCursor();
    // A character typed into a paragraph that has grown long: the paragraph goes in pieces
    // first, in the same undo step.
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
    if (hasPieces_ && !cursor.hasSelection() && !isReadOnly() &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const QTextBlock block = cursor.block();
        const bool atStart = cursor.positionInBlock() == 0;
        const bool atEnd = cursor.positionInBlock() == block.length() - 1;
        if (event->key() == Qt::Key_Backspace && atStart && continuesLine(block)) {
            cursor.movePosition(QTextCursor::PreviousCharacter);
            cursor.deletePreviousChar();
            setTextCursor(cursor);
            return;
        }
        if (event->key() == Qt::Key_Delete && atEnd && continuesLine(block.next())) {
            cursor.movePosition(QTextCursor::NextCharacter);
            cursor.deleteChar();
            setTextCursor(cursor);
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            continuesLine(block)) {
            cursor.insertBlock(QTextBlockFormat());
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
    }
    PlainTextEdit::keyPressEvent(event);
}
