#include "navigators/ExplorerTreeView.h"

#include "navigators/ExplorerDelegate.h"
#include "navigators/ExplorerListing.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>

using namespace Qt::StringLiterals;

ExplorerTreeView::ExplorerTreeView(ExplorerModel *model, QWidget *parent)
    : RowTreeView(parent), model_(model)
{
    setModel(model_);
    setItemDelegate(new ExplorerDelegate(this));
    setUniformRowHeights(true);
    setViewportMargins(0, 2, 0, 2);
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

void ExplorerTreeView::activateRow(const QModelIndex &index, Qt::KeyboardModifiers,
                                   std::optional<QPoint>)
{
    if (const ExplorerItem *clicked = item(index)) {
        // A copy: what the click does may list the tree again.
        const ExplorerItem shown = *clicked;
        emit itemClicked(shown);
    }
}

std::optional<bool> ExplorerTreeView::isRowOpen(const QModelIndex &index) const
{
    const ExplorerItem *found = item(index);
    if (!found || !found->isDirectory || found->isRoot)
        return std::nullopt;
    return found->isExpanded;
}

void ExplorerTreeView::toggleRow(const QModelIndex &index)
{
    // A click on a folder folds or unfolds it.
    activateRow(index, {}, std::nullopt);
}

bool ExplorerTreeView::showRowMenu(const QModelIndex &index, const QPoint &globalPosition)
{
    const ExplorerItem *found = item(index);
    if (!found)
        return false;
    const ExplorerItem shown = *found;
    emit menuRequested(shown, globalPosition);
    return true;
}

void ExplorerTreeView::dragRow(const QModelIndex &index)
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
