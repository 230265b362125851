#pragma once

#include <QPixmapCache>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <functional>

class QPainter;

// A picture of one element's face at the scale the canvas shows it, drawn again from the
// picture while neither the face nor the scale changes: a page of thousands of texts repaints
// them at every step of a drag, and a blit costs a small part of laying out and drawing a text.
// The face is drawn directly the first time it is seen at a scale and kept from the second
// time on, so that a zoom or an edit, after which each face is drawn once, costs no picture.
// Pictures live in the application's pixmap cache: faces keep pictures while they fit their part
// of it, and those beyond draw directly.
class ElementFaceCache {
public:
    ElementFaceCache() = default;
    ~ElementFaceCache();
    ElementFaceCache(const ElementFaceCache &) = delete;
    ElementFaceCache &operator=(const ElementFaceCache &) = delete;

    // Draws the face in `box` (the element's points): `paint` draws it on a painter in those
    // points. `version` names the face's look; a change of it (an edit of the element) draws it
    // anew. Painters turned or sheared draw directly.
    void draw(QPainter *painter, const QRectF &box, quint64 version,
              const std::function<void(QPainter *)> &paint);
    // Drops the picture.
    void clear();

    // How often the face was drawn into a picture, and whether one is kept now.
    int pictureCount() const { return pictureCount_; }
    bool holdsPicture() const;

    // The pixmap cache holds the pictures of a screenful of faces at any zoom: raised to this
    // many kilobytes when lower.
    static constexpr int cacheKilobytes = 96 * 1024;

private:
    // What a picture depends on besides the face: the painter's scale and resolution, and
    // where the box falls within a device pixel.
    struct Look {
        quint64 version = 0;
        QRectF box;
        qreal scaleX = 0;
        qreal scaleY = 0;
        qreal pixelRatio = 0;
        int dpiX = 0;
        int dpiY = 0;
        bool operator==(const Look &) const = default;
    };

    // Forgets the picture, which the cache no longer holds.
    void release();

    QPixmapCache::Key key_;
    // What the picture takes.
    qint64 bytes_ = 0;
    Look look_;
    bool seen_ = false;
    // The part of a device pixel by which the picture's box lay past its top-left pixel.
    QPointF phase_;
    int pictureCount_ = 0;
};
