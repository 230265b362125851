#include "datapanel/QueryPaneScroll.h"

#include <QEvent>
#include <QLayout>
#include <QScrollBar>

QueryPaneScroll::QueryPaneScroll(QWidget *content, QWidget *anchor, QWidget *parent)
    : QScrollArea(parent), anchor_(anchor)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setWidget(content);
    viewport()->setAutoFillBackground(false);
    content->installEventFilter(this);
    if (anchor)
        anchor->installEventFilter(this);
}

bool QueryPaneScroll::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((watched == anchor_ && type == QEvent::Resize) ||
        (watched == widget() && type == QEvent::LayoutRequest))
        fit();
    return QScrollArea::eventFilter(watched, event);
}

void QueryPaneScroll::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    fit();
}

void QueryPaneScroll::fit()
{
    QWidget *content = widget();
    if (!content || fitting_)
        return;
    fitting_ = true;
    const int width = viewport()->width();
    // What the rows need at this width, wrapped captions included.
    int needed = content->minimumSizeHint().height();
    if (QLayout *layout = content->layout(); layout && layout->hasHeightForWidth())
        needed = std::max(needed, layout->totalHeightForWidth(width));
    // The room down to the sheet's bottom does not change when the results area shows.
    int room = viewport()->height();
    if (anchor_)
        room = anchor_->height() - viewport()->mapTo(anchor_, QPoint(0, 0)).y();
    content->resize(width, std::max(needed, room));
    fitting_ = false;
}
