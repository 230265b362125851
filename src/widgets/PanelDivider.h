#pragma once

#include <QWidget>
#include <functional>

// The 6-point-wide handle between two columns: the left-right resize cursor over it, and a drag
// reported as the horizontal translation since the press, while it moves and when it ends.
// A press that moves less than one point is not a drag.
class PanelDivider : public QWidget {
    Q_OBJECT

public:
    static constexpr int handleWidth = 6;

    PanelDivider(std::function<void(double)> onDrag, std::function<void(double)> onEnd,
                 QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::function<void(double)> onDrag_;
    std::function<void(double)> onEnd_;
    std::optional<double> pressX_;
    bool dragging_ = false;
};
