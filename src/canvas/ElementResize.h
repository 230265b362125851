#pragma once

#include "canvas/BandLimitTip.h"
#include "canvas/ResizeHandleKind.h"

#include <QPointF>
#include <QRectF>
#include <QString>

class ElementView;

// One drag of a corner handle, from the press to the release: the element shows its live
// frame, the canvas shows a ghost while the frame leaves the band, and the release writes the
// snapped frame through the store. A bottom edge stops where the band may grow no further, and
// the pointer past that shows why.
class ElementResize {
public:
    // `startLocation`: the press, in canvas view coordinates.
    ElementResize(ElementView &view, ResizeHandleKind kind, QPointF startLocation);

    void moved(QPointF location);
    void released(QPointF location);
    // The resize ends without a release (its element went, or another report is shown): the
    // element keeps its stored frame and the ghost goes.
    void cancel();

private:
    void changed(QPointF location);
    void ended(QPointF location);
    // The highest the element's band may grow to hold it; no limit inside a frame or list.
    double tallest() const;
    // The pointer's travel in points as far as the handle may take the frame from `start`; past
    // that the pointer shows why.
    QSizeF stoppedDelta(QPointF location, const QRectF &start);

    ElementView &view_;
    ResizeHandleKind kind_;
    QPointF start_;
    bool isResizing_ = false;
    bandlimit::Tip tip_;
};
