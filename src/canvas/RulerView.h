#pragma once

#include "model/MeasurementUnit.h"

#include <QColor>
#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

// A ruler along the top (horizontal) or the left (vertical) edge of the canvas: ticks and
// labels in the user's unit counted from the page's edge, markers for the guides on its axis,
// and a click that drops or removes a guide.
class RulerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int thickness = 22;
    // Gray at 8 % over whatever lies beneath, so it follows the appearance.
    static QColor background() { return QColor(128, 128, 128, 20); }

    RulerView(Qt::Orientation orientation, std::function<void(double)> onToggleGuide,
              QWidget *parent = nullptr);

    Qt::Orientation orientation() const { return orientation_; }
    void setPageLength(double points);
    void setUnit(MeasurementUnit unit);
    void setGuides(const QList<double> &guides);
    void setZoomLevel(double zoomLevel);
    // Where the page's origin lies along the ruler, in view points from its start.
    void setScrollOffset(double offset);
    void setMarginOffset(double points);
    void setOnToggleGuide(std::function<void(double)> onToggleGuide);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    double length() const;
    double along(QPointF point) const;
    template <typename T> void assign(T &member, const T &value);

    Qt::Orientation orientation_;
    std::function<void(double)> onToggleGuide_;
    double pageLength_ = 0;
    MeasurementUnit unit_ = MeasurementUnit::pixels;
    QList<double> guides_;
    double zoomLevel_ = 1.0;
    double scrollOffset_ = 0;
    double marginOffset_ = 0;
    // Where the primary button went down, until its release.
    std::optional<QPointF> pressPoint_;
};
