#include "widgets/SegmentButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

void SegmentButton::paintEvent(QPaintEvent *)
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    if (isChecked()) {
        for (const auto role : {QPalette::Button, QPalette::Window})
            option.palette.setColor(role, palette().color(QPalette::Highlight));
        option.palette.setColor(QPalette::ButtonText, palette().color(QPalette::HighlightedText));
    }
    QStylePainter painter(this);
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}
