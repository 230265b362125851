#pragma once

#include <QLayout>

// A grid with as many columns as fit at a minimum column width: the columns share the width
// equally, each item fills its column's width at its ideal height, and each row is as tall as
// its tallest item.
class AdaptiveGridLayout : public QLayout {
    Q_OBJECT
public:
    AdaptiveGridLayout(int minimumColumnWidth, int spacing, QWidget *parent = nullptr);
    ~AdaptiveGridLayout() override;

    // How many columns fit in `width`: at least one.
    int columnCount(int width) const;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem *itemAt(int index) const override { return items_.value(index); }
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect &rect) override;

private:
    int arrange(const QRect &rect, bool apply) const;

    int minimumColumnWidth_;
    int gap_;
    QList<QLayoutItem *> items_;
};
