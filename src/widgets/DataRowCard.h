#pragma once

#include <QWidget>

class QHBoxLayout;
class QLayout;

// A light rounded tile that holds one row of an editable list, filled with the palette's text
// field background. The row decides its own layout; the tile only pads and fills.
class DataRowCard : public QWidget {
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 10;
    static constexpr int verticalPadding = 8;
    static constexpr qreal cornerRadius = 6;

    explicit DataRowCard(QWidget *parent = nullptr);

    // The tile's content: one view, or a layout of views.
    void setContent(QWidget *content);
    void setContent(QLayout *content);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QHBoxLayout *frame_;
};
