#include "canvas/CanvasScene.h"

#include "document/DocumentStore.h"

#include <QGraphicsRectItem>
#include <QPen>

CanvasScene::CanvasScene(QObject *parent)
    : QGraphicsScene(parent), sheet_(new QGraphicsRectItem), margin_(new QGraphicsRectItem),
      stack_(new QGraphicsRectItem)
{
    sheet_->setBrush(Qt::white);
    sheet_->setPen(Qt::NoPen);
    QPen dashed(QColor(128, 128, 128, 128), 1);
    dashed.setDashPattern({4, 3});
    margin_->setPen(dashed);
    margin_->setBrush(Qt::NoBrush);
    stack_->setPen(Qt::NoPen);
    stack_->setBrush(Qt::NoBrush);
    addItem(sheet_);
    addItem(margin_);
    addItem(stack_);
}

void CanvasScene::setStore(DocumentStore *store)
{
    if (store_ == store)
        return;
    if (store_)
        store_->disconnect(this);
    store_ = store;
    if (store) {
        connect(store, &DocumentStore::documentChanged, this, &CanvasScene::syncDocument);
        connect(store, &DocumentStore::activeBandTargetChanged, this, &CanvasScene::syncActiveBand);
        connect(store, &DocumentStore::selectedElementIDsChanged, this,
                &CanvasScene::syncSelection);
    }
    syncDocument();
}

QRectF CanvasScene::bodySceneRect(const BandTarget &target) const
{
    const BandItem *band = bands_.value(target);
    return band ? band->mapRectToScene(band->bodyRect()) : QRectF();
}

void CanvasScene::syncDocument()
{
    const ReportDocument document = store_ ? store_->document() : ReportDocument();
    targets_ = store_ ? canvas::orderedTargets(document) : QList<BandTarget>();
    QList<double> heights;
    heights.reserve(targets_.size());
    for (const BandTarget &target : targets_)
        heights.append(store_->height(target));
    page_ = canvas::pageGeometry(document, heights);

    sheet_->setRect(0, 0, page_.pageWidth, page_.pageHeight);
    // The outline lies inside the rectangle's bounds.
    margin_->setRect(page_.marginRect.adjusted(0.5, 0.5, -0.5, -0.5));
    stack_->setPos(document.leftMargin, document.topMargin);

    QHash<BandTarget, BandItem *> kept;
    double y = 0;
    for (qsizetype i = 0; i < targets_.size(); ++i) {
        const BandTarget &target = targets_.at(i);
        BandItem *band = bands_.take(target);
        if (!band)
            band = new BandItem(target, stack_);
        kept.insert(target, band);
        band->setPos(0, y);
        band->setBand(store_->label(target), document.columnWidth, heights.at(i),
                      store_->activeBandTarget() == target);
        band->setElements(store_->elements(target));
        y += canvas::headerStripHeight + band->bodyHeight();
    }
    qDeleteAll(bands_);
    bands_ = kept;
    if (store_)
        syncSelection();
    emit layoutChanged();
}

void CanvasScene::syncActiveBand()
{
    for (BandItem *band : std::as_const(bands_))
        band->setBand(store_->label(band->target()), band->width(), store_->height(band->target()),
                      store_->activeBandTarget() == band->target());
}

void CanvasScene::syncSelection()
{
    for (BandItem *band : std::as_const(bands_))
        band->showSelection(store_->selectedElementIDs());
}
