#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

// What the print comparisons of the canvas share: pages flattened on white paper, and where an
// ink shows on them.
namespace inkbounds {

// The image on white paper: a rendered page is transparent where nothing prints.
inline QImage onWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// The bounding box of the pixels inside `region` that `isInk` takes for ink; empty: none.
template <typename IsInk> QRect inked(const QImage &image, const QRect &region, IsInk isInk)
{
    QRect bounds;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace inkbounds
