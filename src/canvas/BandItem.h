#pragma once

#include "canvas/ElementItem.h"
#include "model/ReportBand.h"

#include <QGraphicsItem>

// One band of the page: the header strip with the band's name over the band body that holds the
// band's element items. Measured in points; the body starts below the strip.
class BandItem : public QGraphicsItem {
public:
    explicit BandItem(const BandTarget &target, QGraphicsItem *parent = nullptr);

    const BandTarget &target() const { return target_; }

    // Takes the band's look: label as the store names it, width, stored height (drawn at least
    // 4 tall) and whether it is the active band. Unchanged values change nothing.
    void setBand(const QString &label, double width, double storedHeight, bool isActive);
    // Takes the band's top-level elements; a list the item already shows is skipped at once.
    void setElements(const QList<ReportElement> &elements);
    void showSelection(const QSet<QUuid> &selected);

    double width() const { return width_; }
    double bodyHeight() const;
    bool isActive() const { return isActive_; }
    // The body below the header strip, in the band's own coordinates.
    QRectF bodyRect() const;
    // The item that element items are placed in: its origin is the body's top-left corner.
    QGraphicsItem *body() const { return body_; }
    const ElementItem::Items &elementItems() const { return elements_; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    BandTarget target_;
    QString label_;
    double width_ = 0;
    double storedHeight_ = 0;
    bool isActive_ = false;
    QGraphicsItem *body_;
    QList<ReportElement> shownElements_;
    ElementItem::Items elements_;
};
