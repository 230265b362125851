#include "widgets/ToolbarToggleButtonStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace {

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(float(opacity));
    return color;
}

} // namespace

ToolbarToggleButtonStyle::Look ToolbarToggleButtonStyle::look(bool isPressed,
                                                              const QPalette &palette) const
{
    const QColor accent = palette.color(QPalette::Highlight);
    const QColor primary = palette.color(QPalette::WindowText);
    if (isOn) {
        return {accent, withOpacity(accent, isPressed ? 0.30 : 0.20), withOpacity(accent, 0.40)};
    }
    return {withOpacity(primary, isPressed ? 0.90 : 0.75),
            withOpacity(primary, isPressed ? 0.12 : 0.0), QColor(Qt::transparent)};
}

void ToolbarToggleButtonStyle::drawBackground(QPainter &painter, const QRectF &frame,
                                              bool isPressed, const QPalette &palette) const
{
    const Look colours = look(isPressed, palette);
    constexpr qreal radius = 5;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    // The outline is stroked on the shape's edge, inside the frame.
    shape.addRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.fillPath(shape, colours.fill);
    if (colours.outline.alpha() > 0)
        painter.strokePath(shape, QPen(colours.outline, 1));
    painter.restore();
}
