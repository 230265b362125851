#include "canvas/GuidesOverlay.h"

#include "canvas/OverlayGeometry.h"
#include "canvas/ScrollOffsetTracker.h"
#include "document/DocumentStore.h"

#include <QPainter>

GuidesOverlay::GuidesOverlay(ScrollOffsetTracker *scrollTracker, QWidget *parent)
    : QWidget(parent), scrollTracker_(scrollTracker)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(scrollTracker, &ScrollOffsetTracker::offsetChanged, this, &GuidesOverlay::refresh);
}

void GuidesOverlay::setStore(DocumentStore *store)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    if (store) {
        for (auto signal :
             {&DocumentStore::verticalGuidesChanged, &DocumentStore::horizontalGuidesChanged,
              &DocumentStore::zoomLevelChanged, &DocumentStore::documentChanged})
            connect(store, signal, this, &GuidesOverlay::refresh);
    }
    refresh();
}

void GuidesOverlay::refresh()
{
    Lines lines;
    if (store_) {
        const ReportDocument &doc = store_->document();
        const double zoom = store_->zoomLevel();
        const QPointF offset = scrollTracker_->offset();
        lines.across = overlay::guideLinePositions(store_->verticalGuides(), doc.leftMargin, zoom,
                                                   offset.x(), width());
        lines.down = overlay::guideLinePositions(store_->horizontalGuides(), doc.topMargin, zoom,
                                                 offset.y(), height());
    }
    if (lines == lines_)
        return;
    lines_ = lines;
    update();
}

void GuidesOverlay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refresh();
}

void GuidesOverlay::paintEvent(QPaintEvent *)
{
    if (lines_.across.isEmpty() && lines_.down.isEmpty())
        return;
    QPainter painter(this);
    QColor accent = palette().color(QPalette::Active, QPalette::Highlight);
    accent.setAlphaF(0.6f);
    painter.setPen(QPen(accent, 1));
    for (double x : std::as_const(lines_.across))
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
    for (double y : std::as_const(lines_.down))
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
}
