#pragma once

#include "canvas/BandLimitTip.h"
#include "model/ReportBand.h"
#include "model/ReportElement.h"

#include <QHash>
#include <QPointF>
#include <QString>
#include <QUuid>
#include <optional>

class ElementView;

// One drag of an element by the pointer, from the press to the release: the element follows
// the pointer, the rest of the selection follows it, the canvas shows a ghost while it leaves
// its band, and the release writes the new place through the store. What it carries stops where
// the band that would hold it may grow no further, and the pointer past that shows why.
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
    // Where the drag may take the carried elements with the pointer at `location`: the pointer
    // raised by what would take a band past its limit, with the words that say why.
    struct Carry {
        QPointF location;
        QString words;
    };

    // Takes the elements the drag carries, as the drag begins.
    void begin();
    Carry carry(QPointF location) const;
    void changed(QPointF location);
    void ended(QPointF location);
    // The element's top-left corner, in the points of the band whose frame begins at `origin`.
    QPointF positionOver(QPointF location, QPointF origin, QPointF home, double zoom) const;
    // How far the carried elements that stand in bands may move down together into the band of
    // `target`, keeping their arrangement.
    double roomInto(const BandTarget &target) const;

    ElementView &view_;
    QPointF start_;
    bool isDragging_ = false;
    // The elements it carries that stand in bands, and the highest each band may grow.
    QList<ReportElement> inBands_;
    QHash<QUuid, double> tallest_;
    // How far they may move down in their own bands, and the words for a move past that.
    double ownRoom_ = 0;
    QString ownWords_;
    bandlimit::Tip tip_;
};
