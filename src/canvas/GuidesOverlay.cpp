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
    connect(scrollTracker, &ScrollOffsetTracker::offsetChanged, this,
            qOverload<>(&QWidget::update));
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
            connect(store, signal, this, qOverload<>(&QWidget::update));
    }
    update();
}

void GuidesOverlay::paintEvent(QPaintEvent *)
{
    if (!store_)
        return;
    QPainter painter(this);
    QColor accent = palette().color(QPalette::Active, QPalette::Highlight);
    accent.setAlphaF(0.6f);
    painter.setPen(QPen(accent, 1));
    const ReportDocument &doc = store_->document();
    const double zoom = store_->zoomLevel();
    const QPointF offset = scrollTracker_->offset();
    for (double x : overlay::guideLinePositions(store_->verticalGuides(), doc.leftMargin, zoom,
                                                offset.x(), width()))
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
    for (double y : overlay::guideLinePositions(store_->horizontalGuides(), doc.topMargin, zoom,
                                                offset.y(), height()))
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
}
