#include "widgets/TreeRowPainter.h"

#include "widgets/SymbolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QStyleOptionViewItem>
#include <QTransform>

using namespace Qt::StringLiterals;

namespace TreeRowPainter {

namespace {

QPixmap cached(const QString &name, int pixels, qreal devicePixelRatio, const QColor &color,
               bool turned)
{
    const QString key = u"tree-symbol|"_s + name + u'|' + QString::number(pixels) + u'|' +
                        QString::number(devicePixelRatio) + u'|' +
                        QString::number(color.rgba(), 16) + (turned ? u"|t"_s : u""_s);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = SymbolIcons::tintedPixmap(name, QSize(pixels, pixels), devicePixelRatio, color);
    if (turned) {
        pixmap = pixmap.transformed(QTransform().rotate(90));
        pixmap.setDevicePixelRatio(devicePixelRatio);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace

QPixmap symbol(const QString &name, int pixels, qreal devicePixelRatio, const QColor &color)
{
    return cached(name, pixels, devicePixelRatio, color, false);
}

QPixmap turnedSymbol(const QString &name, int pixels, qreal devicePixelRatio, const QColor &color)
{
    return cached(name, pixels, devicePixelRatio, color, true);
}

void fillRounded(QPainter &painter, const QRectF &rect, const QColor &color)
{
    QPainterPath path;
    path.addRoundedRect(rect, 4, 4);
    painter.fillPath(path, color);
}

void drawKeyboardFocus(QPainter &painter, const QRectF &rect, const QStyleOptionViewItem &option)
{
    if (!(option.state & QStyle::State_HasFocus) ||
        !(option.state & QStyle::State_KeyboardFocusChange))
        return;
    painter.save();
    painter.setPen(QPen(withAlpha(option.palette.color(QPalette::Highlight), 0.8), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.restore();
}

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace TreeRowPainter
