#pragma once

#include <QPointF>

class ElementView;

// One drag of an element by the pointer, from the press to the release: the element follows
// the pointer, the rest of the selection follows it, the canvas shows a ghost while it leaves
// its band, and the release writes the new place through the store.
class ElementMove {
public:
    // `startLocation`: the press, in canvas view coordinates.
    ElementMove(ElementView &view, QPointF startLocation);

    bool isDragging() const { return isDragging_; }
    // A pointer move; the drag begins once the pointer has travelled the threshold.
    void moved(QPointF location);
    // The release; true when it ended a drag (a release without one is a click).
    bool released(QPointF location);
    // The drag ends without a release (its element went, or another report is shown): the
    // element and the rest of the selection return to their places and the ghost goes.
    void cancel();

private:
    void changed(QPointF location);
    void ended(QPointF location);
    // The element's top-left corner, in the points of the band whose frame begins at `origin`.
    QPointF positionOver(QPointF location, QPointF origin, QPointF home, double zoom) const;

    ElementView &view_;
    QPointF start_;
    bool isDragging_ = false;
};
