#include "widgets/WrappingLabel.h"

#include <QPainter>
#include <QTextLayout>
#include <cmath>

WrappingLabel::WrappingLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

namespace {

// The text as a layout takes it, its line breaks as line separators.
QString layoutText(QString text)
{
    return text.replace(u'\n', QChar::LineSeparator);
}

} // namespace

qreal WrappingLabel::layOut(QTextLayout &layout, qreal width) const
{
    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font());
    qreal height = 0;
    const qreal leading = fontMetrics().leading();
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max<qreal>(width, 1));
        line.setPosition(QPointF(0, height));
        height += line.height() + leading;
    }
    layout.endLayout();
    return height;
}

int WrappingLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    QTextLayout layout(layoutText(text()));
    return int(std::ceil(layOut(layout, width - margins.left() - margins.right()))) +
           margins.top() + margins.bottom();
}

QSize WrappingLabel::sizeHint() const
{
    // As wide as its longest line unwrapped, within its largest width.
    qreal widest = 0;
    for (const QString &line : text().split(u'\n'))
        widest = std::max<qreal>(widest, fontMetrics().horizontalAdvance(line));
    const QMargins margins = contentsMargins();
    const int width =
        std::min(maximumWidth(), int(std::ceil(widest)) + margins.left() + margins.right());
    return {width, heightForWidth(width)};
}

QSize WrappingLabel::minimumSizeHint() const
{
    // Any width shows the text, a few characters at a line.
    const int width = std::min(sizeHint().width(), fontMetrics().averageCharWidth() * 8);
    return {width, heightForWidth(width)};
}

void WrappingLabel::paintEvent(QPaintEvent *)
{
    const QRect area = contentsRect();
    QTextLayout layout(layoutText(text()));
    const qreal height = layOut(layout, area.width());
    qreal top = area.top();
    if (alignment() & Qt::AlignVCenter)
        top += (area.height() - height) / 2;
    else if (alignment() & Qt::AlignBottom)
        top += area.height() - height;
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    layout.draw(&painter, QPointF(area.left(), top));
}
