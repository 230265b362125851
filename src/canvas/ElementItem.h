#pragma once

#include "model/ReportElement.h"

#include <QGraphicsItem>
#include <QHash>
#include <QSet>
#include <QUuid>

// One report element on the canvas, at its place in points inside its band or container. Until
// the full element view exists it is drawn as an outlined box with its ghost label. Items are
// keyed by element id and updated in place; a container keeps its children's items the same way.
class ElementItem : public QGraphicsItem {
public:
    using Items = QHash<QUuid, ElementItem *>;

    ElementItem(const ReportElement &element, QGraphicsItem *parent);

    QUuid id() const { return element_.id; }
    const ReportElement &element() const { return element_; }
    // Takes the element's new value; nothing happens when it is unchanged.
    void setElement(const ReportElement &element);
    void setShownSelected(bool selected);
    bool isShownSelected() const { return isShownSelected_; }
    const Items &children() const { return children_; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // Makes `items` (the children of `parent`) show `elements` in their order: existing items are
    // updated, missing ones created, and those of elements no longer listed deleted.
    static void syncList(QGraphicsItem *parent, Items &items, const ElementList &elements);
    // Marks the items of the selected ids, at any depth.
    static void showSelection(const Items &items, const QSet<QUuid> &selected);

private:
    ReportElement element_;
    Items children_;
    bool isShownSelected_ = false;
};
