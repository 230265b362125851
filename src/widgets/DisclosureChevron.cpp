#include "widgets/DisclosureChevron.h"

#include "widgets/CardText.h"
#include "widgets/SymbolIcons.h"

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
    const QSize size(symbolSize, symbolSize);
    QPixmap symbol = SymbolIcons::tintedPixmap(u"chevron.right"_s, size, devicePixelRatioF(),
                                               CardText::secondaryColor(palette()));
    // A quarter turn clockwise about the symbol's centre: the square symbol keeps its place.
    if (isExpanded_)
        symbol = symbol.transformed(QTransform().rotate(90));
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawPixmap(target, symbol);
}
