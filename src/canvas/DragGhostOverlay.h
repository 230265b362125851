#pragma once

#include "document/DocumentStore.h"
#include <QPointer>
#include <QWidget>

class BandFrameTracker;
class CrossBandDragState;

struct ReportElement;

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
    void drawGhost(QPainter &painter, const ReportElement &element, QPointF center,
                   const QColor &color) const;

    CrossBandDragState *dragState_;
    BandFrameTracker *frameTracker_;
    QPointer<DocumentStore> store_;
};
