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

// Whether a face shown in `shown` (device coordinates) is kept as a picture: one that takes at
// most a quarter of the cache, with sides and a place that whole device pixels hold. A file may
// give an element any size; a face far larger than the view is drawn directly each time, the
// painter keeping to what is visible.
bool fitsPicture(const QRectF &shown, qreal ratio)
{
    constexpr double longestSide = 16384;
    constexpr double largestPixels = ElementFaceCache::cacheKilobytes * 1024.0 / 4 / 4;
    constexpr double farthest = 1 << 30;
    const double width = shown.width() * ratio;
    const double height = shown.height() * ratio;
    return width <= longestSide && height <= longestSide && width * height <= largestPixels &&
           std::abs(shown.left()) < farthest && std::abs(shown.top()) < farthest;
}

// The bytes of the pictures the faces hold now, of all canvases: the faces keep pictures while
// these fit the part of the cache they may take, so that a page of more faces than the cache
// holds draws the rest directly rather than making pictures that push each other out.
qint64 heldBytes = 0;
constexpr qint64 budgetBytes = qint64(ElementFaceCache::cacheKilobytes) * 1024 / 4 * 3;

} // namespace

ElementFaceCache::~ElementFaceCache()
{
    clear();
}

void ElementFaceCache::clear()
{
    if (key_.isValid())
        QPixmapCache::remove(key_);
    release();
    seen_ = false;
}

void ElementFaceCache::release()
{
    key_ = {};
    heldBytes -= bytes_;
    bytes_ = 0;
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
    if (!fitsPicture(shown, look.pixelRatio)) {
        clear();
        paint(painter);
        return;
    }
    QPixmap picture;
    if (look == look_ && key_.isValid()) {
        if (QPixmapCache::find(key_, &picture)) {
            // On whole device pixels, where the face lies within half a pixel of its place.
            const QPoint at(int(std::lround(shown.left() - phase_.x())),
                            int(std::lround(shown.top() - phase_.y())));
            painter->setWorldTransform(QTransform());
            painter->drawPixmap(at, picture);
            painter->setWorldTransform(transform);
            return;
        }
        // The cache let the picture go: it is made again below, if it still fits.
        release();
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
    const QSize pixels(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
    const qint64 bytes = qint64(pixels.width()) * pixels.height() * 4;
    if (heldBytes + bytes > budgetBytes) {
        paint(painter);
        return;
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
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
    bytes_ = bytes;
    heldBytes += bytes;
    ++pictureCount_;
    painter->setWorldTransform(QTransform());
    painter->drawPixmap(origin, picture);
    painter->setWorldTransform(transform);
}
