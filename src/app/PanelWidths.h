#pragma once

#include <QObject>

// The widths of the main window's side columns: committed widths plus the delta of a divider
// drag in progress, each clamped to its range. Not stored: every window starts at 242 and 416.
class PanelWidths : public QObject {
    Q_OBJECT

public:
    static constexpr double leftMinimum = 90;
    static constexpr double leftMaximum = 600;
    static constexpr double rightMinimum = 90;
    static constexpr double rightMaximum = 900;

    using QObject::QObject;

    double leftWidth() const { return leftWidth_; }
    double rightWidth() const { return rightWidth_; }
    double effectiveLeftWidth() const;
    double effectiveRightWidth() const;

    // A drag of the left divider by `translation` points to the right.
    void dragLeft(double translation);
    void endLeftDrag(double translation);
    // The right divider widens the inspector when dragged to the left.
    void dragRight(double translation);
    void endRightDrag(double translation);

signals:
    void changed();

private:
    double leftWidth_ = 242;
    double rightWidth_ = 416;
    double leftDragDelta_ = 0;
    double rightDragDelta_ = 0;
};
