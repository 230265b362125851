#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>
#include <array>
#include <functional>

// A column of rows keyed by their item's id, one under the other with a fixed spacing, whose
// row widgets are made only when they come near the part of the column that the enclosing
// scroll area shows (or at once when the row is asked for). Until then a row is empty space as
// tall as the last made row of the same shape, so the scroll bar stands where it will stay.
// A made row is kept while its id stays in the column and follows its item when the order
// changes; the rows of ids that left are deleted later, since the click that removed their item
// may still be running in one of their buttons. The first row is always made: it gives the
// column its width and the heights of the rows not yet made. Tab goes through the made rows in
// the order they had in the list when each was made, entering a row at its first control.
class LazyRowColumn : public QWidget {
    Q_OBJECT

public:
    using Maker = std::function<QWidget *(const QUuid &id)>;

    LazyRowColumn(int spacing, Maker make, QWidget *parent = nullptr);

    // The rows' ids in order, and the shape of each (rows of one shape are equally tall; empty
    // means one shape for all). A second row of one id is left out.
    void setRows(const QList<QUuid> &ids, const QList<int> &shapes = {});

    qsizetype count() const { return ids_.size(); }
    const QList<QUuid> &ids() const { return ids_; }
    // The made row at that place; null while it is not made.
    QWidget *rowAt(qsizetype index) const;
    // The row at that place, made now when it was not.
    QWidget *makeRow(qsizetype index);
    // The row at that place, made now when it was not, with the enclosing scroll area scrolled
    // to it.
    QWidget *showRow(qsizetype index);
    // The row's rectangle in the column, made or not.
    QRect rowRect(qsizetype index) const;
    // Makes the rows near what the scroll area shows now.
    void makeShownRows();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A row was made; `index` is its place.
    void rowMade(qsizetype index, QWidget *row);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    int heightOf(qsizetype index) const;
    int measured(QWidget *row) const;
    // Positions the made rows and the column's height after heights or the order changed.
    void placeRows();
    void watchAncestors();
    // Tab reaches the row's controls in list order, whenever the row was made.
    void orderFocus(qsizetype index, QWidget *row);
    // The part of the column that the scroll area shows, widened by half its height above and
    // below; the whole column when it stands in no scroll area.
    std::pair<int, int> shownSpan() const;

    int spacing_;
    Maker make_;
    QList<QUuid> ids_;
    QList<int> shapes_;
    QList<int> tops_;
    QHash<QUuid, QWidget *> made_;
    QHash<int, int> heightByShape_;
    int total_ = 0;
    std::array<int, 3> hints_ = {0, 0, 0}; // the made rows' widths and the column's height
    QList<QPointer<QWidget>> watched_;
    QPointer<QWidget> viewport_;
    bool placing_ = false;
};
