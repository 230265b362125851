#include "canvas/ElementFaceCache.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace {

// Dots per metre of a resolution in dots per inch.
int dotsPerMeter(int dpi)
{
    return int(std::lround(dpi / 0.0254));
}

} // namespace

ElementFaceCache::~ElementFaceCache()
{
    clear();
}

void ElementFaceCache::clear()
{
    if (key_.isValid())
        QPixmapCache::remove(key_);
    key_ = {};
    seen_ = false;
}

bool ElementFaceCache::holdsPicture() const
{
    QPixmap picture;
    return key_.isValid() && QPixmapCache::find(key_, &picture);
}

void ElementFaceCache::draw(QPainter *painter, const QRectF &box, quint64 version,
                            const std::function<void(QPainter *)> &paint)
{
    const QTransform transform = painter->worldTransform();
    const QPaintDevice *device = painter->device();
    if (transform.type() > QTransform::TxScale || !device || box.isEmpty()) {
        paint(painter);
        return;
    }
    const Look look{version,
                    box,
                    transform.m11(),
                    transform.m22(),
                    device->devicePixelRatio(),
                    device->logicalDpiX(),
                    device->logicalDpiY()};
    const QRectF shown = transform.mapRect(box);
    QPixmap picture;
    if (look == look_ && key_.isValid() && QPixmapCache::find(key_, &picture)) {
        // On whole device pixels, where the face lies within half a pixel of its place.
        const QPoint at(int(std::lround(shown.left() - phase_.x())),
                        int(std::lround(shown.top() - phase_.y())));
        painter->setWorldTransform(QTransform());
        painter->drawPixmap(at, picture);
        painter->setWorldTransform(transform);
        return;
    }
    if (!(look == look_) || !seen_) {
        // Seen for the first time like this: drawn directly, kept if it is drawn again so.
        clear();
        look_ = look;
        seen_ = true;
        paint(painter);
        return;
    }
    const QPoint origin(int(std::floor(shown.left())), int(std::floor(shown.top())));
    const QSize size(int(std::ceil(shown.right())) - origin.x(),
                     int(std::ceil(shown.bottom())) - origin.y());
    const qreal ratio = look.pixelRatio;
    QImage image(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    // Fonts are sized from the device's resolution: the picture takes the canvas's.
    image.setDotsPerMeterX(dotsPerMeter(look.dpiX));
    image.setDotsPerMeterY(dotsPerMeter(look.dpiY));
    image.fill(Qt::transparent);
    phase_ = shown.topLeft() - QPointF(origin);
    {
        QPainter face(&image);
        face.setRenderHints(painter->renderHints());
        face.setWorldTransform(QTransform(look.scaleX, 0, 0, look.scaleY,
                                          transform.dx() - origin.x(),
                                          transform.dy() - origin.y()));
        paint(&face);
    }
    picture = QPixmap::fromImage(std::move(image));
    key_ = QPixmapCache::insert(picture);
    ++pictureCount_;
    painter->setWorldTransform(QTransform());
    painter->drawPixmap(origin, picture);
    painter->setWorldTransform(transform);
}
