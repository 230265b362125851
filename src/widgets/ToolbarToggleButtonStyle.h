#pragma once

#include <QColor>

class QPainter;
class QPalette;
class QRectF;

// The look of an on/off toolbar button: the accent colour marks "on", a dimmed primary colour
// "off"; pressing deepens the background.
struct ToolbarToggleButtonStyle {
    bool isOn = false;

    struct Look {
        QColor label;
        QColor fill;    // transparent: none
        QColor outline; // transparent: none
    };

    Look look(bool isPressed, const QPalette &palette) const;
    // The rounded background and outline behind the label, the size of the label's frame.
    void drawBackground(QPainter &painter, const QRectF &frame, bool isPressed,
                        const QPalette &palette) const;
};
