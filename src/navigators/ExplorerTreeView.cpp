#include "navigators/ExplorerTreeView.h"

#include "navigators/ExplorerDelegate.h"
#include "navigators/ExplorerListing.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

using namespace Qt::StringLiterals;

ExplorerTreeView::ExplorerTreeView(ExplorerModel *model, QWidget *parent)
    : QTreeView(parent), model_(model)
{
    setModel(model_);
    setItemDelegate(new ExplorerDelegate(this));
    setHeaderHidden(true);
    header()->setStretchLastSection(true);
    // The rows draw their own indentation and chevrons, and the explorer decides what is open.
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setAnimated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setViewportMargins(0, 2, 0, 2);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // A wheel step moves the rows as far as a scrolling panel does.
    verticalScrollBar()->setSingleStep(20);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

QSize ExplorerTreeView::sizeHint() const
{
    const qsizetype rows = model_->size();
    const int rowHeight = rows > 0 ? sizeHintForRow(0) : 0;
    const QMargins margins = viewportMargins();
    const int height = int(rows) * rowHeight + margins.top() + margins.bottom();
    return {90, std::min(height, 24 * fontMetrics().height())};
}

const ExplorerItem *ExplorerTreeView::item(const QModelIndex &index) const
{
    return model_->row(index);
}

void ExplorerTreeView::drawBranches(QPainter *, const QRect &, const QModelIndex &) const
{
    // The rows draw their own chevrons.
}

void ExplorerTreeView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    pressed_ = QPersistentModelIndex();
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    pressed_ = index;
    pressPosition_ = event->position().toPoint();
    // The keyboard goes on from the row clicked.
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void ExplorerTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a click of its own.
    mousePressEvent(event);
}

void ExplorerTreeView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!pressed_.isValid() || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - pressPosition_).manhattanLength() <
        QApplication::startDragDistance())
        return;
    const QModelIndex index = std::exchange(pressed_, QPersistentModelIndex());
    startDrag(index);
}

void ExplorerTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !pressed_.isValid())
        return;
    const QPersistentModelIndex pressed = std::exchange(pressed_, QPersistentModelIndex());
    // A click is a press and a release on the same row; what counts is the row there now.
    if (indexAt(event->position().toPoint()) != pressed)
        return;
    if (const ExplorerItem *clicked = item(pressed)) {
        // A copy: what the click does may list the tree again.
        const ExplorerItem shown = *clicked;
        emit itemClicked(shown);
    }
}

void ExplorerTreeView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    if (const ExplorerItem *found = item(current)) {
        const ExplorerItem shown = *found;
        const bool folds = shown.isDirectory && !shown.isRoot;
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            emit itemClicked(shown);
            event->accept();
            return;
        case Qt::Key_Right:
            if (folds && !shown.isExpanded)
                emit itemClicked(shown);
            else if (model_->rowCount(current) > 0)
                setCurrentIndex(model_->index(0, 0, current));
            event->accept();
            return;
        case Qt::Key_Left:
            if (folds && shown.isExpanded)
                emit itemClicked(shown);
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

void ExplorerTreeView::contextMenuEvent(QContextMenuEvent *event)
{
    const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex index = fromKeyboard ? currentIndex() : indexAt(event->pos());
    const ExplorerItem *found = item(index);
    if (!found) {
        event->ignore();
        return;
    }
    event->accept();
    const ExplorerItem shown = *found;
    emit menuRequested(shown, fromKeyboard ? viewport()->mapToGlobal(visualRect(index).bottomLeft())
                                           : event->globalPos());
}

void ExplorerTreeView::startDrag(const QModelIndex &index)
{
    const ExplorerItem *dragged = item(index);
    if (!dragged)
        return;
    auto *data = new QMimeData;
    data->setText(dragged->key);
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(viewport()->grab(visualRect(index)));
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

const ExplorerItem *ExplorerTreeView::dropTarget(const QPoint &point, const QMimeData *data) const
{
    const ExplorerItem *target = item(indexAt(point));
    if (!target || !target->isDirectory || !data || !ExplorerListing::droppedPath(*data))
        return nullptr;
    return target;
}

void ExplorerTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    // Entering the tree is allowed anywhere: the rows below decide as the pointer moves.
    if (event->mimeData() && ExplorerListing::droppedPath(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ExplorerTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (dropTarget(event->position().toPoint(), event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ExplorerTreeView::dropEvent(QDropEvent *event)
{
    const ExplorerItem *target = dropTarget(event->position().toPoint(), event->mimeData());
    if (target && dropHandler_ && dropHandler_(target->url(), *event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
