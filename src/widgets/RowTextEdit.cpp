#include "widgets/RowTextEdit.h"

#include "widgets/LinePieces.h"
#include "widgets/PieceLayout.h"
#include "widgets/PieceRows.h"
#include "widgets/RowCommands.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

using linepieces::continuesLine;

RowTextEdit::RowTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    // A document laid out as the base class's, but for the pieces of long lines.
    auto *pieces = new QTextDocument(this);
    pieces->setDocumentLayout(new PieceLayout(pieces));
    setDocument(pieces);
    pieces->setDefaultFont(font());
    pieces->documentLayout()->setPaintDevice(viewport());
}

void RowTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (hasPieces_ && keyAlongRows(*event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    if (hasPieces_)
        revealCursor();
}

bool RowTextEdit::keyAlongRows(const QKeyEvent &event)
{
    QTextCursor cursor = textCursor();
    // Up and Down keep to the x (to the fraction of a pixel) of the place a run of them began at.
    const std::optional<VerticalMove> before = std::exchange(movedVertically_, std::nullopt);
    qreal x = before && before->position == cursor.position() &&
                      before->anchor == cursor.anchor() &&
                      before->revision == document()->revision()
                  ? before->x
                  : -1;
    if (textInteractionFlags() & Qt::TextSelectableByKeyboard) {
        if (const std::optional<QTextCursor> moved = rowcommands::moved(cursor, event, x)) {
            setTextCursor(*moved);
            if (rowcommands::movesVertically(event))
                movedVertically_ = {moved->position(), moved->anchor(), document()->revision(), x};
            return true;
        }
    }
    // Ctrl+K deletes to the end of the line, not of the piece, as one undo step.
    if (isReadOnly() || !event.matches(QKeySequence::DeleteEndOfLine))
        return false;
    cursor.setPosition(rowcommands::lineEnd(*document(), cursor.position()),
                       QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    setTextCursor(cursor);
    return true;
}

void RowTextEdit::revealCursor()
{
    QScrollBar *bar = verticalScrollBar();
    // A step of the bar is a row of a paragraph; a piece's first row drawn over the row before
    // counts as one too, so a step may not move the view: a few are taken.
    for (int step = 0; step < 4 && cursorRect().top() < 0 && bar->value() > bar->minimum(); ++step)
        bar->setValue(bar->value() - 1);
    for (int step = 0;
         step < 4 && cursorRect().bottom() > viewport()->height() && bar->value() < bar->maximum();
         ++step)
        bar->setValue(bar->value() + 1);
}

QTextCursor RowTextEdit::cursorForPosition(const QPoint &point) const
{
    const QTextCursor placed = QPlainTextEdit::cursorForPosition(point);
    const QTextBlock block = placed.block();
    if (!hasPieces_ || placed.isNull() || (!continuesLine(block) && !continuesLine(block.next())))
        return placed;
    // The row under the point in the paragraph the base class found, and the piece of that row
    // under it.
    const QTextLayout *layout = block.layout();
    const qreal y = point.y() - blockBoundingGeometry(block).translated(contentOffset()).top();
    int line = layout->lineCount() - 1;
    for (int index = 0; index < layout->lineCount(); ++index) {
        if (layout->lineAt(index).naturalTextRect().bottom() > y) {
            line = index;
            break;
        }
    }
    const QList<piecerows::Segment> row = piecerows::row(piecerows::rowStart({block, line}));
    QTextCursor meant(document());
    meant.setPosition(piecerows::positionAt(row, point.x() - contentOffset().x()));
    return meant;
}

void RowTextEdit::doSetTextCursor(const QTextCursor &cursor)
{
    movedVertically_.reset();
    QPlainTextEdit::doSetTextCursor(cursor);
    if (hasPieces_)
        revealCursor();
}

void RowTextEdit::placeAsMeant(int placed, int meant)
{
    QTextCursor cursor = textCursor();
    if (meant == placed || cursor.position() != placed)
        return;
    cursor.setPosition(cursor.hasSelection() ? cursor.anchor() : meant);
    cursor.setPosition(meant, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RowTextEdit::mousePressEvent(QMouseEvent *event)
{
    if (!hasPieces_) {
        QPlainTextEdit::mousePressEvent(event);
        return;
    }
    movedVertically_.reset();
    const QPoint point = event->position().toPoint();
    const int placed = QPlainTextEdit::cursorForPosition(point).position();
    const int meant = cursorForPosition(point).position();
    const QTextCursor before = textCursor();
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QTextCursor after = textCursor();
    // A triple click selects a paragraph: here the line it is a piece of.
    if (!(event->modifiers() & Qt::ShiftModifier) &&
        (after.anchor() != before.anchor() || after.position() != before.position()) &&
        rowcommands::selectsParagraph(after)) {
        selectingLines_ = true;
        setTextCursor(rowcommands::wholeLines(after));
        return;
    }
    placeAsMeant(placed, meant);
}

void RowTextEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (!hasPieces_ || !(event->buttons() & Qt::LeftButton)) {
        QPlainTextEdit::mouseMoveEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const int placed = QPlainTextEdit::cursorForPosition(point).position();
    const int meant = cursorForPosition(point).position();
    QPlainTextEdit::mouseMoveEvent(event);
    if (selectingLines_)
        setTextCursor(rowcommands::wholeLines(textCursor()));
    else
        placeAsMeant(placed, meant);
}

void RowTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (!hasPieces_) {
        QPlainTextEdit::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const int placed = QPlainTextEdit::cursorForPosition(point).position();
    const int meant = cursorForPosition(point).position();
    if (event->button() == Qt::MiddleButton && meant != placed) {
        insertAt_ = QTextCursor(document());
        insertAt_->setPosition(meant);
    }
    QPlainTextEdit::mouseReleaseEvent(event);
    insertAt_.reset();
    if (event->button() == Qt::LeftButton && !std::exchange(selectingLines_, false))
        placeAsMeant(placed, meant);
}

void RowTextEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int placed = QPlainTextEdit::cursorForPosition(point).position();
    const int meant = cursorForPosition(point).position();
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton || meant == placed)
        return;
    QTextCursor word(document());
    word.setPosition(meant);
    word.select(QTextCursor::WordUnderCursor);
    setTextCursor(word);
}

void RowTextEdit::paintEvent(QPaintEvent *event)
{
    if (!hasPieces_) {
        QPlainTextEdit::paintEvent(event);
        return;
    }
    // A piece's first row may lie above its paragraph, over the last row of the one before: the
    // paragraphs a few rows below the area to paint are drawn too.
    QPaintEvent reaching(event->rect().adjusted(0, 0, 0, 4 * fontMetrics().height()));
    QPlainTextEdit::paintEvent(&reaching);
    drawPiecesBelow(event->rect());
}

void RowTextEdit::drawPiecesBelow(const QRect &area)
{
    // The base class stops after the paragraph that reaches past the bottom of the view: the
    // pieces that go on its last row are not drawn.
    QPointF offset = contentOffset();
    const qreal bottom = viewport()->height();
    QTextBlock block = firstVisibleBlock();
    for (; block.isValid(); block = block.next()) {
        offset.ry() += blockBoundingRect(block).height();
        if (offset.y() > bottom)
            break;
    }
    if (!block.isValid())
        return;
    QPainter painter(viewport());
    painter.setClipRect(area);
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    for (QTextBlock next = block.next(); next.isValid() && continuesLine(next);
         next = next.next()) {
        const qreal height = blockBoundingRect(next).height();
        if (!PieceLayout::flows(next))
            break;
        drawPiece(painter, next, offset, context);
        if (height > 0)
            break;
    }
}

void RowTextEdit::drawPiece(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                            const QAbstractTextDocumentLayout::PaintContext &context)
{
    const int start = block.position();
    const int length = block.length();
    QList<QTextLayout::FormatRange> selections;
    for (const QAbstractTextDocumentLayout::Selection &selection : context.selections) {
        const int from = selection.cursor.selectionStart() - start;
        const int to = selection.cursor.selectionEnd() - start;
        if (from < length && to > 0 && to > from)
            selections.append({from, to - from, selection.format});
    }
    painter.setPen(context.palette.text().color());
    block.layout()->draw(&painter, offset, selections);
    const bool caret = !isReadOnly() || (textInteractionFlags() & Qt::TextSelectableByKeyboard);
    if (caret && context.cursorPosition >= start && context.cursorPosition < start + length)
        block.layout()->drawCursor(&painter, offset, context.cursorPosition - start, cursorWidth());
}

void RowTextEdit::dropEvent(QDropEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (hasPieces_) {
        const int meant = cursorForPosition(point).position();
        if (meant != QPlainTextEdit::cursorForPosition(point).position()) {
            insertAt_ = QTextCursor(document());
            insertAt_->setPosition(meant);
        }
    }
    QPlainTextEdit::dropEvent(event);
    if (const std::optional<QTextCursor> at = std::exchange(insertAt_, std::nullopt))
        setTextCursor(*at);
}
