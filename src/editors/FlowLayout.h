#pragma once

#include <QLayout>
#include <QPointF>
#include <QSizeF>
#include <optional>

// Lays its items out in lines, left to right, starting a new line when the next item would pass
// the right edge. Items keep their ideal size; lines are top-aligned; an item wider than the
// bounds stands alone on its line. `spacing` is both the gap between items and between lines.
class FlowLayout : public QLayout {
    Q_OBJECT
public:
    explicit FlowLayout(qreal spacing, QWidget *parent = nullptr);
    ~FlowLayout() override;

    // The size the items need: the proposed width when there is one, else the widest line; no
    // proposed width puts every item on one line.
    static QSizeF sizeThatFits(std::optional<qreal> width, const QList<QSizeF> &items,
                               qreal spacing);
    // The top-left corner of every item inside `bounds`.
    static QList<QPointF> placements(const QRectF &bounds, const QList<QSizeF> &items,
                                     qreal spacing);

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
    QList<QSizeF> itemSizes() const;

    qreal spacing_;
    QList<QLayoutItem *> items_;
};
