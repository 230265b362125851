#pragma once

#include <QPainter>
#include <QString>
#include <QWidget>

// What the sample-data preview and the query results share: the shaded box their grid stands on
// and cells of one line each.
namespace ShadedGrid {

// Black at 3 % opacity with rounded corners, on either appearance.
class Box : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, qRound(0.03 * 255)));
        painter.drawRoundedRect(QRectF(rect()), 4, 4);
    }
};

// A cell's text on one line: a line break shows as a space.
inline QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

} // namespace ShadedGrid
