#pragma once

#include "document/DocumentStore.h"
#include "model/ReportElement.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class BandFrameTracker;
class CrossBandDragState;

// Ghost boxes where an element dragged out of its band would land, with the elements carried
// along in their on-screen arrangement around the pointer; red while the element would not fit.
// Takes no clicks.
class DragGhostOverlay : public QWidget {
    Q_OBJECT
public:
    DragGhostOverlay(CrossBandDragState *dragState, BandFrameTracker *frameTracker,
                     QWidget *parent);
    void setStore(DocumentStore *store);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Ghost {
        ReportElement element;
        QPointF center;
    };
    // The ghost boxes the state asks for now, the dragged element's first.
    QList<Ghost> ghosts() const;
    // The box of a ghost, without its corner marks.
    QRectF ghostBox(const Ghost &ghost) const;
    // Repaints where the ghosts were and where they are now, and nothing else: the page
    // below is repainted with them.
    void ghostsChanged();
    void drawGhost(QPainter &painter, const Ghost &ghost, const QColor &color) const;

    CrossBandDragState *dragState_;
    BandFrameTracker *frameTracker_;
    QPointer<DocumentStore> store_;
    QRect shownArea_;
};
