#pragma once

#include "canvas/ResizeHandleKind.h"

#include <QPointF>

class ElementView;

// One drag of a corner handle, from the press to the release: the element shows its live
// frame, the canvas shows a ghost while the frame leaves the band, and the release writes the
// snapped frame through the store.
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

    ElementView &view_;
    ResizeHandleKind kind_;
    QPointF start_;
    bool isResizing_ = false;
};
