#pragma once

#include "canvas/RulerView.h"

class ScrollOffsetTracker;

// A ruler whose page origin follows the canvas's scroll offset on its own axis.
class ScrollAwareRuler : public RulerView {
    Q_OBJECT
public:
    ScrollAwareRuler(Qt::Orientation orientation, ScrollOffsetTracker *scrollTracker,
                     std::function<void(double)> onToggleGuide, QWidget *parent = nullptr);

private:
    void followOffset();

    ScrollOffsetTracker *scrollTracker_;
};
