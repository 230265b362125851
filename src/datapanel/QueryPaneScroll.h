#pragma once

#include <QPointer>
#include <QScrollArea>

// The query pane's scrolling frame. Its content is as tall as the room from the pane's top down
// to the bottom of `anchor` (the sheet), or taller where its rows need more. The results area
// that comes and goes under the pane then covers the pane's lower part, which scrolls, instead of
// squeezing it: nothing in the pane moves under the pointer when a query starts or its result
// arrives, and no caption is cut when the sheet is small.
class QueryPaneScroll : public QScrollArea {
public:
    QueryPaneScroll(QWidget *content, QWidget *anchor, QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QPointer<QWidget> anchor_;
    bool fitting_ = false;
};
