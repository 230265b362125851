#pragma once

#include "model/ReportBand.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <optional>

// Where each band's body lies on the canvas, in the canvas view's coordinates (zoom and scroll
// included). The canvas replaces the whole map after every layout, scroll or zoom; element drags
// look up the band under the pointer here.
class BandFrameTracker : public QObject {
    Q_OBJECT
public:
    using Frames = QHash<BandTarget, QRectF>;

    explicit BandFrameTracker(QObject *parent = nullptr) : QObject(parent) {}

    const Frames &frames() const { return frames_; }
    void setFrames(const Frames &frames);

    // The band whose frame holds the point; a frame holds its top and left edges but not its
    // bottom and right ones, so a point on the edge between two bands belongs to the lower one.
    std::optional<BandTarget> target(QPointF point) const;

signals:
    void framesChanged();

private:
    Frames frames_;
};
