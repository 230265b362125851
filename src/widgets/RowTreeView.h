#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>
#include <optional>

// A tree view for rows that draw themselves (their indentation, chevron and fills come from a
// delegate) and whose owner decides which rows are open: whatever the model holds is shown.
// It turns the user's input into a few questions to the subclass: a click is a press and a
// release on the same row (the row under the pointer when the click is made, whatever the tree
// showed before), Return, Enter and Space act on the current row, Left and Right fold and unfold
// a row that folds (or go to its parent or first child), and a drag starts once the pointer
// moves far enough from where it pressed.
class RowTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit RowTreeView(QWidget *parent = nullptr);

    // Expands every row the model lists as holding rows that the view has not expanded yet.
    void expandParents(const QModelIndexList &parents);

protected:
    // A click on the row (`pressedAt` where it was pressed, in viewport coordinates), or the
    // keyboard's activation of it (no point).
    virtual void activateRow(const QModelIndex &index, Qt::KeyboardModifiers modifiers,
                             std::optional<QPoint> pressedAt) = 0;
    // Whether the row is open now; none for a row that does not fold.
    virtual std::optional<bool> isRowOpen(const QModelIndex &index) const = 0;
    // Folds an open row or unfolds a closed one.
    virtual void toggleRow(const QModelIndex &index) = 0;
    // Starts dragging the row; rows are not dragged unless a subclass does so.
    virtual void dragRow(const QModelIndex &index);
    // Shows the row's context menu at a point; false when the row has none.
    virtual bool showRowMenu(const QModelIndex &index, const QPoint &globalPosition);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect,
                      const QModelIndex &index) const override;
    // While the keyboard moves through the rows, the current row is marked as focused by the
    // keyboard, so the delegate shows where it is.
    void initViewItemOption(QStyleOptionViewItem *option) const override;

private:
    void setKeyboardMoved(bool moved);

    QPersistentModelIndex pressed_;
    QPoint pressPosition_;
    bool keyboardMoved_ = false;
};
