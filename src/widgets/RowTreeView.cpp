#include "widgets/RowTreeView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

RowTreeView::RowTreeView(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    header()->setStretchLastSection(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setAnimated(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // A wheel step moves the rows as far as a scrolling panel does.
    verticalScrollBar()->setSingleStep(20);
}

void RowTreeView::expandParents(const QModelIndexList &parents)
{
    for (const QModelIndex &index : parents) {
        if (!isExpanded(index))
            expand(index);
    }
}

void RowTreeView::dragRow(const QModelIndex &) {}

bool RowTreeView::showRowMenu(const QModelIndex &, const QPoint &)
{
    return false;
}

void RowTreeView::drawBranches(QPainter *, const QRect &, const QModelIndex &) const
{
    // The rows draw their own chevrons.
}

void RowTreeView::initViewItemOption(QStyleOptionViewItem *option) const
{
    QTreeView::initViewItemOption(option);
    if (keyboardMoved_)
        option->state |= QStyle::State_KeyboardFocusChange;
}

void RowTreeView::setKeyboardMoved(bool moved)
{
    if (keyboardMoved_ == moved)
        return;
    keyboardMoved_ = moved;
    viewport()->update();
}

void RowTreeView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    setKeyboardMoved(false);
    pressed_ = QPersistentModelIndex();
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return;
    pressed_ = index;
    pressPosition_ = point;
    // The keyboard goes on from the row clicked.
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void RowTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a click of its own.
    mousePressEvent(event);
}

void RowTreeView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!pressed_.isValid() || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - pressPosition_).manhattanLength() <
        QApplication::startDragDistance())
        return;
    // A drag is no click.
    const QModelIndex index = std::exchange(pressed_, QPersistentModelIndex());
    dragRow(index);
}

void RowTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !pressed_.isValid())
        return;
    const QPersistentModelIndex pressed = std::exchange(pressed_, QPersistentModelIndex());
    // A click is a press and a release on the same row; what counts is the row there now.
    if (indexAt(event->position().toPoint()) == pressed)
        activateRow(pressed, event->modifiers(), pressPosition_);
}

void RowTreeView::keyPressEvent(QKeyEvent *event)
{
    setKeyboardMoved(true);
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        const std::optional<bool> open = isRowOpen(current);
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            activateRow(current, event->modifiers(), std::nullopt);
            event->accept();
            return;
        case Qt::Key_Right:
            if (open == false)
                toggleRow(current);
            else if (model()->rowCount(current) > 0)
                setCurrentIndex(model()->index(0, 0, current));
            event->accept();
            return;
        case Qt::Key_Left:
            if (open == true)
                toggleRow(current);
            else if (current.parent().isValid())
                setCurrentIndex(current.parent());
            event->accept();
            return;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(event);
}

void RowTreeView::contextMenuEvent(QContextMenuEvent *event)
{
    const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex index = fromKeyboard ? currentIndex() : indexAt(event->pos());
    const QPoint at =
        fromKeyboard ? viewport()->mapToGlobal(visualRect(index).bottomLeft()) : event->globalPos();
    if (index.isValid() && showRowMenu(index, at))
        event->accept();
    else
        event->ignore();
}
