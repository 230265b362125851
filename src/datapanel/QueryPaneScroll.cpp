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
    // The part of the content under the scroll bar holds nothing: it never scrolls into view.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value != 0)
            horizontalScrollBar()->setValue(0);
    });
    viewport()->setAutoFillBackground(false);
    content->installEventFilter(this);
    if (anchor)
        anchor->installEventFilter(this);
}

void QueryPaneScroll::pinCommands(QWidget *block, std::function<int()> reserve)
{
    block_ = block;
    reserve_ = std::move(reserve);
    fit();
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

int QueryPaneScroll::room() const
{
    // Measured from the frame's top, which the results area does not move.
    if (anchor_)
        return anchor_->height() - viewport()->mapTo(anchor_, QPoint(0, 0)).y();
    return viewport()->height();
}

void QueryPaneScroll::fit()
{
    QWidget *content = widget();
    if (!content || fitting_)
        return;
    fitting_ = true;
    // The content is as wide as the frame, and its rows keep clear of the scroll bar's place,
    // whether the bar shows or not: the bar coming with the results area then covers nothing,
    // rewraps no caption and moves nothing.
    const int width = contentsRect().width();
    const int bar = verticalScrollBar()->sizeHint().width();
    const int inner = std::max(0, width - bar);
    content->setContentsMargins(0, 0, bar, 0);
    const int room = this->room();
    if (block_ && block_->layout() && content->isAncestorOf(block_)) {
        // The block's width inside the content's margins, which stand alike on both sides.
        const QPoint at = block_->mapTo(content, QPoint(0, 0));
        const int least =
            block_->layout()->totalMinimumHeightForWidth(std::max(0, inner - 2 * at.x()));
        const int reserve = reserve_ ? reserve_() : 0;
        block_->setFixedHeight(std::max(least, room - reserve - at.y()));
    }
    // What the rows need at this width, wrapped captions included; the rest of the frame is
    // blank, so the pane scrolls only where rows are out of sight.
    int needed = content->minimumSizeHint().height();
    if (QLayout *layout = content->layout(); layout && layout->hasHeightForWidth())
        needed = std::max(needed, layout->totalHeightForWidth(width));
    content->resize(width, std::max(needed, viewport()->height()));
    fitting_ = false;
}
