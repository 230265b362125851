#include "CodeTextView.h"

#include "LineNumberRulerView.h"

#include <QKeyEvent>
#include <QTextDocument>

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

int CodeTextView::lineNumber(const QTextBlock &block) const
{
    if (!hasPieces())
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
    PlainTextEdit::keyPressEvent(event);
}
