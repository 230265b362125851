#include "canvas/ElementFrame.h"

#include "canvas/ResizeHandleItem.h"
#include "widgets/ColorHex.h"

#include <QCache>
#include <QHashFunctions>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <array>
#include <cmath>

namespace {

// Pictures of the frames of this many sizes and scales are kept, the least used going first.
constexpr int keptFrames = 64;
// A frame larger than this many device pixels is drawn directly: its picture would cost more to
// copy than the lines.
constexpr qreal largestSide = 256;
// Where a frame falls within a device pixel, in steps of this part of a pixel: a frame drawn
// from its picture lies within half a step of its place.
constexpr qreal phaseSteps = 64;

struct FrameKey {
    QSizeF size;
    qreal scaleX = 0;
    qreal scaleY = 0;
    qreal pixelRatio = 0;
    int phaseX = 0;
    int phaseY = 0;
    // Where the handles' pictures go, in whole pixels of the frame's picture: left, right, top
    // and bottom, as they fall on the device.
    std::array<int, 4> handles{};
    bool selected = false;
    bool hasHandles = false;
    QRgb selection = 0;
    bool operator==(const FrameKey &) const = default;
};

size_t qHash(const FrameKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.size.width(), key.size.height(), key.scaleX, key.scaleY,
                      key.pixelRatio, key.phaseX, key.phaseY, key.handles[0], key.handles[1],
                      key.handles[2], key.handles[3], key.selected, key.hasHandles, key.selection);
}

QCache<FrameKey, QImage> &frames()
{
    static QCache<FrameKey, QImage> cache(keptFrames);
    return cache;
}

// How far the frame reaches out of the box: the outline's half width, and the handles.
qreal reachOf(bool handles)
{
    return handles ? ResizeHandleItem::reach + 1 : 1;
}

} // namespace

namespace ElementFrame {

// The outline as four filled strips centred on the box's edges: the same lines as a pen draws,
// at a small part of a stroke's cost.
void paintOutline(QPainter *painter, const QRectF &box, bool selected, bool warned)
{
    const qreal width = selected ? 1.5 : 1;
    const QColor color = selected ? ColorHex::elementSelection()
                         : warned ? ColorHex::warning()
                                  : QColor(128, 128, 128, 89);
    const qreal half = width / 2;
    painter->fillRect(QRectF(box.left() - half, box.top() - half, box.width() + width, width),
                      color);
    painter->fillRect(QRectF(box.left() - half, box.bottom() - half, box.width() + width, width),
                      color);
    painter->fillRect(QRectF(box.left() - half, box.top() + half, width, box.height() - width),
                      color);
    painter->fillRect(QRectF(box.right() - half, box.top() + half, width, box.height() - width),
                      color);
}

void paintHandles(QPainter *painter, const QRectF &box)
{
    for (const QPointF corner :
         {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        ResizeHandleItem::paintHandle(painter, corner);
}

void paint(QPainter *painter, const QRectF &box, bool selected, bool handles)
{
    paintOutline(painter, box, selected);
    if (handles)
        paintHandles(painter, box);
}

void draw(QPainter *painter, const QRectF &box, bool selected, bool handles)
{
    const QTransform transform = painter->worldTransform();
    const QPaintDevice *device = painter->device();
    const qreal reach = reachOf(handles);
    const QRectF area = box.adjusted(-reach, -reach, reach, reach);
    const QRectF shown = transform.mapRect(area);
    if (transform.type() > QTransform::TxScale || transform.m11() <= 0 || transform.m22() <= 0 ||
        !device || box.isEmpty() || shown.width() > largestSide || shown.height() > largestSide) {
        paint(painter, box, selected, handles);
        return;
    }
    const qreal ratio = device->devicePixelRatio();
    // Copied to whole device pixels: the picture is drawn at the same part of a pixel.
    const QPointF pixels = shown.topLeft() * ratio;
    const QPoint origin(int(std::floor(pixels.x())), int(std::floor(pixels.y())));
    const int phaseX = int(std::lround((pixels.x() - origin.x()) * phaseSteps));
    const int phaseY = int(std::lround((pixels.y() - origin.y()) * phaseSteps));
    // The handles fall on whole device pixels as they do drawn directly (paintHandle).
    std::array<int, 4> handlePixels{};
    const int side = ResizeHandleItem::pictureSide(transform.m11() * ratio);
    if (handles) {
        const QPointF topLeft = transform.map(box.topLeft()) * ratio;
        const QPointF bottomRight = transform.map(box.bottomRight()) * ratio;
        handlePixels = {int(std::round(topLeft.x() - side / 2.0)) - origin.x(),
                        int(std::round(bottomRight.x() - side / 2.0)) - origin.x(),
                        int(std::round(topLeft.y() - side / 2.0)) - origin.y(),
                        int(std::round(bottomRight.y() - side / 2.0)) - origin.y()};
    }
    const FrameKey key{
        box.size(), transform.m11(), transform.m22(), ratio,   phaseX,
        phaseY,     handlePixels,    selected,        handles, ColorHex::elementSelection().rgba()};
    const QImage *picture = frames().object(key);
    if (!picture) {
        auto *made = new QImage(int(std::ceil(shown.width() * ratio)) + 2,
                                int(std::ceil(shown.height() * ratio)) + 2,
                                QImage::Format_ARGB32_Premultiplied);
        made->fill(Qt::transparent);
        {
            QPainter frame(made);
            frame.setRenderHints(painter->renderHints());
            // The box's corner lies where it lies on the device, past the picture's pixel.
            const QTransform placed(transform.m11() * ratio, 0, 0, transform.m22() * ratio,
                                    phaseX / phaseSteps - area.left() * transform.m11() * ratio,
                                    phaseY / phaseSteps - area.top() * transform.m22() * ratio);
            frame.setWorldTransform(placed);
            paintOutline(&frame, box, selected);
            if (handles) {
                // Each centred where it lands on whole pixels of the picture.
                const QTransform back = placed.inverted();
                for (const int y : {handlePixels[2], handlePixels[3]}) {
                    for (const int x : {handlePixels[0], handlePixels[1]})
                        ResizeHandleItem::paintHandle(
                            &frame, back.map(QPointF(x + side / 2.0, y + side / 2.0)));
                }
            }
        }
        made->setDevicePixelRatio(ratio);
        frames().insert(key, made);
        picture = made;
    }
    painter->setWorldTransform(QTransform());
    painter->drawImage(QPointF(origin) / ratio, *picture);
    painter->setWorldTransform(transform);
}

} // namespace ElementFrame
