#pragma once

#include "document/DocumentStore.h"
#include "model/ReportElement.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <optional>

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
    // One ghost box: the element's size in points, its label, and where its centre lies from
    // the pointer.
    struct Ghost {
        QSizeF size;
        QString label;
        QPointF offset;
    };
    // The boxes for the state's dragged and carried elements. They are looked up once, when
    // those elements, the report or the band frames change, not on every pointer move.
    struct Plan {
        bool isValid = false;
        std::optional<QUuid> elementID;
        QList<QUuid> groupElementIDs;
        QList<Ghost> ghosts;
        // A group's boxes drawn once, in `pictureColor`, for the pointer to carry around:
        // `pictureArea` is where the picture lies from the pointer.
        QPixmap picture;
        QColor pictureColor;
        QRectF pictureArea;
    };
    // The boxes the state asks for now, the dragged element's first.
    const QList<Ghost> &ghosts() const;
    // The box of a ghost, centred on `center`, without its corner marks.
    QRectF ghostBox(const Ghost &ghost, QPointF center) const;
    // Repaints where the ghosts were and where they are now, and nothing else: the page
    // below is repainted with them.
    void ghostsChanged();
    void planChanged();
    void drawGhost(QPainter &painter, const Ghost &ghost, QPointF center,
                   const QColor &color) const;
    // The group's picture in that colour, drawn when first asked for; null when the group is too
    // large a picture to keep, and then drawn box by box.
    const QPixmap &groupPicture(const QColor &color) const;

    CrossBandDragState *dragState_;
    BandFrameTracker *frameTracker_;
    QPointer<DocumentStore> store_;
    mutable Plan plan_;
    QRect shownArea_;
};
