#include "LineNumberRulerView.h"

#include "CodeTextView.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

namespace {
constexpr int narrowest = 36;
constexpr int rightInset = 6;
} // namespace

LineNumberRulerView::LineNumberRulerView(CodeTextView *textView)
    : QWidget(textView), codeTextView_(textView)
{
}

QFont LineNumberRulerView::labelFont() const
{
    QFont font = this->font();
    font.setPointSizeF(10);
    font.setWeight(QFont::Normal);
    return font;
}

int LineNumberRulerView::preferredWidth() const
{
    if (!codeTextView_)
        return narrowest;
    const QString widest = QString::number(std::max(codeTextView_->blockCount(), 1));
    return std::max(narrowest,
                    QFontMetrics(labelFont()).horizontalAdvance(widest) + rightInset + 4);
}

namespace {
qreal firstRowTop(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    return layout && layout->lineCount() > 0 ? layout->lineAt(0).y() : 0;
}

qreal firstRowAscent(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    return layout && layout->lineCount() > 0 ? layout->lineAt(0).ascent() : 0;
}
} // namespace

QList<LineNumberRulerView::Label> LineNumberRulerView::visibleLabels() const
{
    QList<Label> labels;
    if (!codeTextView_)
        return labels;
    const qreal bottom = codeTextView_->viewport()->height();
    const QTextBlock first = codeTextView_->firstVisibleTextBlock();
    // The number of the line holding the paragraph; the pieces of a long line after its first
    // carry no number.
    int number = first.isValid() ? codeTextView_->lineNumber(first) : 0;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const bool continues = CodeTextView::continuesLine(block);
        if (block != first && !continues)
            ++number;
        const QRectF rect = codeTextView_->blockRect(block);
        if (rect.top() > bottom)
            break;
        const bool emptyLastLine =
            !block.next().isValid() && block.length() == 1 && block.blockNumber() > 0;
        if (block.isVisible() && !emptyLastLine && !continues)
            labels.append({number, rect.top() + firstRowTop(block), firstRowAscent(block)});
    }
    return labels;
}

void LineNumberRulerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(width() - 1, 0, width() - 1, height());
    if (!codeTextView_)
        return;
    const QFont font = labelFont();
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    for (const Label &label : visibleLabels()) {
        const QString text = QString::number(label.number);
        const int x = width() - rightInset - metrics.horizontalAdvance(text);
        // On the baseline of the line's first row.
        const qreal baseline = label.y + label.ascent;
        painter.drawText(QPointF(x, baseline), text);
    }
}
