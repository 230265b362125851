#pragma once

#include "document/DocumentStore.h"
#include <QPointer>
#include <QWidget>

class ScrollOffsetTracker;

// The report's guide lines across the whole scroll area, in the accent colour; takes no clicks.
class GuidesOverlay : public QWidget {
    Q_OBJECT
public:
    GuidesOverlay(ScrollOffsetTracker *scrollTracker, QWidget *parent);
    void setStore(DocumentStore *store);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ScrollOffsetTracker *scrollTracker_;
    QPointer<DocumentStore> store_;
};
