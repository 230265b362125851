#pragma once

#include "canvas/BandItem.h"
#include "canvas/CanvasGeometry.h"
#include "document/DocumentStore.h"

#include <QGraphicsScene>
#include <QHash>
#include <QPointer>

class QGraphicsRectItem;

// The report page in points at 100 %: the white sheet, the dashed margin rectangle and one band
// item per ordered band target, stacked from the margin corner. It follows the store's changes
// by updating its items in place.
class CanvasScene : public QGraphicsScene {
    Q_OBJECT
public:
    explicit CanvasScene(QObject *parent = nullptr);

    DocumentStore *store() const { return store_; }
    // Shows another report; null shows nothing.
    void setStore(DocumentStore *store);

    const canvas::PageGeometry &page() const { return page_; }
    const QList<BandTarget> &targets() const { return targets_; }
    BandItem *bandItem(const BandTarget &target) const { return bands_.value(target); }
    // The body of a band in scene coordinates, or an empty rectangle for an unknown band.
    QRectF bodySceneRect(const BandTarget &target) const;
    QGraphicsRectItem *sheet() const { return sheet_; }
    QGraphicsRectItem *marginRectangle() const { return margin_; }

signals:
    // The page's size or a band's place or size may have changed.
    void layoutChanged();

private:
    void syncDocument();
    void syncActiveBand();
    void syncSelection();

    QPointer<DocumentStore> store_;
    canvas::PageGeometry page_;
    QList<BandTarget> targets_;
    QHash<BandTarget, BandItem *> bands_;
    QGraphicsRectItem *sheet_;
    QGraphicsRectItem *margin_;
    QGraphicsRectItem *stack_;
};
