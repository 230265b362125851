#pragma once

#include <QWidget>

class QPainter;

// The disclosure mark at the front of an expandable tree row: a chevron pointing right, turned a
// quarter turn clockwise to point down while the row is expanded. It keeps no state of its own
// beyond what it is given; clicks pass through to the row.
class DisclosureChevron : public QWidget {
    Q_OBJECT

public:
    static constexpr int frameWidth = 10;
    // An 8-point symbol is about 8 pixels tall.
    static constexpr int symbolSize = 8;

    explicit DisclosureChevron(bool isExpanded, QWidget *parent = nullptr);

    bool isExpanded() const { return isExpanded_; }
    void setExpanded(bool isExpanded);

    QSize sizeHint() const override;

    // Draws the mark centred in `frame`, as the widget does; for rows that paint themselves.
    static void draw(QPainter &painter, const QRect &frame, bool isExpanded,
                     const QPalette &palette, qreal devicePixelRatio);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool isExpanded_;
};
