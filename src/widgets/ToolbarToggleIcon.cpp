#include "widgets/ToolbarToggleIcon.h"

#include "widgets/SymbolIcons.h"

#include <QPainter>

ToolbarToggleIcon::ToolbarToggleIcon(const QString &systemImage, bool isOn, const QString &help,
                                     std::function<void()> action, QWidget *parent)
    : QAbstractButton(parent), systemImage_(systemImage), style_{isOn}, action_(std::move(action))
{
    setProperty(SymbolIcons::symbolProperty, systemImage);
    setToolTip(help);
    setAccessibleName(help);
    setFixedSize(frameWidth, frameHeight);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_)
            action_();
    });
}

void ToolbarToggleIcon::setOn(bool isOn)
{
    if (style_.isOn == isOn)
        return;
    style_.isOn = isOn;
    update();
}

QSize ToolbarToggleIcon::sizeHint() const
{
    return {frameWidth, frameHeight};
}

void ToolbarToggleIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool pressed = isDown();
    style_.drawBackground(painter, rect(), pressed, palette());
    // A 13-point symbol is about as tall as the font's cap height plus ascenders: 16 pixels.
    const QSize symbolSize(16, 16);
    const QColor colour = style_.look(pressed, palette()).label;
    const QPixmap symbol =
        SymbolIcons::tintedPixmap(systemImage_, symbolSize, devicePixelRatioF(), colour);
    const QRect target(
        QPoint((width() - symbolSize.width()) / 2, (height() - symbolSize.height()) / 2),
        symbolSize);
    painter.drawPixmap(target, symbol);
}
