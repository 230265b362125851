#include "canvas/DragGhostOverlay.h"

#include "canvas/BandFrameTracker.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/OverlayGeometry.h"
#include "document/DocumentStore.h"

#include <QPainter>
#include <QPainterPath>

DragGhostOverlay::DragGhostOverlay(CrossBandDragState *dragState, BandFrameTracker *frameTracker,
                                   QWidget *parent)
    : QWidget(parent), dragState_(dragState), frameTracker_(frameTracker)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(dragState, &CrossBandDragState::changed, this, &DragGhostOverlay::ghostsChanged);
}

void DragGhostOverlay::setStore(DocumentStore *store)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    // The dragged element may vanish mid-drag (an undo): then nothing is drawn.
    if (store)
        connect(store, &DocumentStore::documentChanged, this, &DragGhostOverlay::ghostsChanged);
    update();
}

QList<DragGhostOverlay::Ghost> DragGhostOverlay::ghosts() const
{
    QList<Ghost> found;
    if (!store_ || !dragState_->elementID() || !dragState_->globalLocation())
        return found;
    const std::optional<ReportElement> dragged = store_->element(*dragState_->elementID());
    if (!dragged)
        return found;
    // The overlay lies exactly over the canvas viewport, whose coordinates the state uses.
    const QPointF c = *dragState_->globalLocation();
    found.append({*dragged, c});
    const BandFrameTracker::Frames &frames = frameTracker_->frames();
    const std::optional<QPointF> home = overlay::homeScreenOrigin(*store_, frames, dragged->id);
    if (dragState_->groupElementIDs().isEmpty() || !home)
        return found;
    for (const QUuid &id : dragState_->groupElementIDs()) {
        const std::optional<ReportElement> member = store_->element(id);
        const std::optional<QPointF> origin = overlay::homeScreenOrigin(*store_, frames, id);
        if (member && origin)
            found.append({*member, c + (*origin - *home)});
    }
    return found;
}

QRectF DragGhostOverlay::ghostBox(const Ghost &ghost) const
{
    const QSizeF size =
        overlay::ghostSize(ghost.element.width, ghost.element.height, store_->zoomLevel());
    return QRectF(ghost.center.x() - size.width() / 2, ghost.center.y() - size.height() / 2,
                  size.width(), size.height());
}

void DragGhostOverlay::ghostsChanged()
{
    QRect area;
    for (const Ghost &ghost : ghosts()) {
        // The corner marks reach 4.25 beyond the box; a little more for antialiasing.
        area |= ghostBox(ghost).adjusted(-6, -6, 6, 6).toAlignedRect();
    }
    update(shownArea_ | area);
    shownArea_ = area;
}

void DragGhostOverlay::paintEvent(QPaintEvent *)
{
    const QList<Ghost> shown = ghosts();
    if (shown.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = dragState_->isOutOfBounds()
                             ? QColor(Qt::red)
                             : palette().color(QPalette::Active, QPalette::Highlight);
    for (const Ghost &ghost : shown)
        drawGhost(painter, ghost, color);
}

void DragGhostOverlay::drawGhost(QPainter &painter, const Ghost &ghost, const QColor &color) const
{
    const QRectF box = ghostBox(ghost);
    QColor fill = color;
    fill.setAlphaF(0.15f);
    painter.setPen(QPen(color, 2));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 2, 2);

    QFont font = painter.font();
    font.setPixelSize(9);
    font.setWeight(QFont::Medium);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(box.adjusted(3, 3, -3, -3), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     overlay::ghostLabel(ghost.element));

    painter.setPen(QPen(color, 1.5));
    painter.setBrush(Qt::white);
    for (const QPointF &corner :
         {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        painter.drawEllipse(corner, 3.5, 3.5);
}
