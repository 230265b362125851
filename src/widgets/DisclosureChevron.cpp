#include "widgets/DisclosureChevron.h"

#include "widgets/CardText.h"
#include "widgets/SymbolIcons.h"
#include "widgets/TreeRowPainter.h"

#include <QPainter>

using namespace Qt::StringLiterals;

DisclosureChevron::DisclosureChevron(bool isExpanded, QWidget *parent)
    : QWidget(parent), isExpanded_(isExpanded)
{
    setProperty(SymbolIcons::symbolProperty, u"chevron.right"_s);
    setFixedSize(frameWidth, frameWidth);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DisclosureChevron::setExpanded(bool isExpanded)
{
    if (isExpanded_ == isExpanded)
        return;
    isExpanded_ = isExpanded;
    update();
}

QSize DisclosureChevron::sizeHint() const
{
    return {frameWidth, frameWidth};
}

void DisclosureChevron::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    draw(painter, rect(), isExpanded_, palette(), devicePixelRatioF());
}

void DisclosureChevron::draw(QPainter &painter, const QRect &frame, bool isExpanded,
                             const QPalette &palette, qreal devicePixelRatio)
{
    const QColor color = CardText::secondaryColor(palette);
    // A quarter turn clockwise about the symbol's centre: the square symbol keeps its place.
    const QPixmap symbol =
        isExpanded
            ? TreeRowPainter::turnedSymbol(u"chevron.right"_s, symbolSize, devicePixelRatio, color)
            : TreeRowPainter::symbol(u"chevron.right"_s, symbolSize, devicePixelRatio, color);
    const QRect target(QPoint(frame.left() + (frame.width() - symbolSize) / 2,
                              frame.top() + (frame.height() - symbolSize) / 2),
                       QSize(symbolSize, symbolSize));
    painter.drawPixmap(target, symbol);
}
