#pragma once

#include <QPointer>
#include <QScrollArea>
#include <functional>

// The query pane's scrolling frame. The pane's block from its top down to its commands is as
// tall as the room from the pane's top down to the bottom of `anchor` (the sheet), less the
// tallest results area (`reserve`), or taller where its rows need more: the results area that
// comes and goes under the pane then shortens the frame without squeezing the content, so the
// commands never move while a query runs or when its outcome arrives and, where the sheet leaves
// that room, they stay in sight above the results. What stands under the block (Read Fields'
// outcome, the sample data test) never moves them either; where rows are out of sight the pane
// scrolls, and no caption is cut.
class QueryPaneScroll : public QScrollArea {
public:
    QueryPaneScroll(QWidget *content, QWidget *anchor, QWidget *parent);

    // `block` is the content's part from its top down to its commands (its own layout gives the
    // rest of its height to what grows); `reserve` the height kept free below it.
    void pinCommands(QWidget *block, std::function<int()> reserve);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();
    // The room from the content's top down to the anchor's bottom.
    int room() const;

    QPointer<QWidget> anchor_;
    QPointer<QWidget> block_;
    std::function<int()> reserve_;
    bool fitting_ = false;
};
