#pragma once

#include "document/DocumentStore.h"
#include <QPointer>
#include <QWidget>

class ScrollOffsetTracker;

// The report's guide lines across the whole scroll area, in the accent colour; takes no clicks.
// It lies over the page, which is drawn again wherever the overlay is: it repaints only when its
// lines move, not at every change of the report.
class GuidesOverlay : public QWidget {
    Q_OBJECT
public:
    GuidesOverlay(ScrollOffsetTracker *scrollTracker, QWidget *parent);
    void setStore(DocumentStore *store);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Where the lines cross the overlay, across and down.
    struct Lines {
        QList<double> across;
        QList<double> down;
        bool operator==(const Lines &) const = default;
    };

    void refresh();

    ScrollOffsetTracker *scrollTracker_;
    QPointer<DocumentStore> store_;
    Lines lines_;
};
