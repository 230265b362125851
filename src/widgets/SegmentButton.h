#pragma once

#include <QToolButton>

// One segment of a segmented picker (a row of checkable segments in an exclusive button group):
// the chosen one is filled with the accent colour, in either appearance.
class SegmentButton : public QToolButton {
    Q_OBJECT

public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
