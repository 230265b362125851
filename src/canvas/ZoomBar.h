#pragma once

#include "document/DocumentStore.h"
#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class QToolButton;
class ZoomGestureAnchor;

// The canvas's top row: the tab strip, the zoom out / percentage / zoom in buttons and the
// trailing toolbar. The percentage follows a pinch live.
class ZoomBar : public QWidget {
    Q_OBJECT
public:
    explicit ZoomBar(ZoomGestureAnchor *zoomAnchor, QWidget *parent = nullptr);

    void setStore(DocumentStore *store);
    void setPinchMagnification(double magnification);
    // The widgets that stand before the zoom controls and after them; a new one replaces the
    // one before it.
    void setTabStrip(QWidget *tabStrip);
    void setTrailingToolbar(QWidget *toolbar);

    QToolButton *zoomOutButton() const { return zoomOut_; }
    QToolButton *percentButton() const { return percent_; }
    QToolButton *zoomInButton() const { return zoomIn_; }

private:
    void refresh();
    // The tab strip's slot is the first place of the row, the toolbar's the one before the stretch.
    void replaceSlot(QPointer<QWidget> &slot, QWidget *widget, bool beforeStretch);

    ZoomGestureAnchor *zoomAnchor_;
    QPointer<DocumentStore> store_;
    double pinchMagnification_ = 1.0;
    QHBoxLayout *layout_;
    QToolButton *zoomOut_;
    QToolButton *percent_;
    QToolButton *zoomIn_;
    QPointer<QWidget> tabStrip_;
    QPointer<QWidget> trailing_;
};
