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
    connect(dragState, &CrossBandDragState::changed, this, qOverload<>(&QWidget::update));
}

void DragGhostOverlay::setStore(DocumentStore *store)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    // The dragged element may vanish mid-drag (an undo): then nothing is drawn.
    if (store)
        connect(store, &DocumentStore::documentChanged, this, qOverload<>(&QWidget::update));
    update();
}

void DragGhostOverlay::paintEvent(QPaintEvent *)
{
    if (!store_ || !dragState_->elementID() || !dragState_->globalLocation())
        return;
    const std::optional<ReportElement> dragged = store_->element(*dragState_->elementID());
    if (!dragged)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = dragState_->isOutOfBounds()
                             ? QColor(Qt::red)
                             : palette().color(QPalette::Active, QPalette::Highlight);
    // The overlay lies exactly over the canvas viewport, whose coordinates the state uses.
    const QPointF c = *dragState_->globalLocation();
    drawGhost(painter, *dragged, c, color);

    const BandFrameTracker::Frames &frames = frameTracker_->frames();
    const std::optional<QPointF> home = overlay::homeScreenOrigin(*store_, frames, dragged->id);
    if (dragState_->groupElementIDs().isEmpty() || !home)
        return;
    for (const QUuid &id : dragState_->groupElementIDs()) {
        const std::optional<ReportElement> member = store_->element(id);
        const std::optional<QPointF> origin = overlay::homeScreenOrigin(*store_, frames, id);
        if (member && origin)
            drawGhost(painter, *member, c + (*origin - *home), color);
    }
}

void DragGhostOverlay::drawGhost(QPainter &painter, const ReportElement &element, QPointF center,
                                 const QColor &color) const
{
    const QSizeF size = overlay::ghostSize(element.width, element.height, store_->zoomLevel());
    const QRectF box(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(),
                     size.height());
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
                     overlay::ghostLabel(element));

    painter.setPen(QPen(color, 1.5));
    painter.setBrush(Qt::white);
    for (const QPointF &corner :
         {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        painter.drawEllipse(corner, 3.5, 3.5);
}
