#pragma once

#include "navigators/ExplorerModel.h"

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

class QMimeData;

// The project explorer's tree: a tree view over an ExplorerModel that hands the user's clicks,
// keys, context menus and drops to its owner and drags an item's path as plain text. A click
// (or Return or Space) goes to the row under the pointer at the moment it is made; Left and
// Right fold and unfold a folder.
class ExplorerTreeView : public QTreeView {
    Q_OBJECT

public:
    // Answers whether a drop onto the folder was taken.
    using DropHandler = std::function<bool(const QUrl &folder, const QMimeData &data)>;

    explicit ExplorerTreeView(ExplorerModel *model, QWidget *parent = nullptr);

    void setDropHandler(DropHandler handler) { dropHandler_ = std::move(handler); }
    const ExplorerItem *item(const QModelIndex &index) const;

    // As narrow as the pane may be, as the column it sits in decides the width; as tall as its
    // rows, up to 24 lines of text.
    QSize sizeHint() const override;

signals:
    void itemClicked(const ExplorerItem &item);
    void menuRequested(const ExplorerItem &item, const QPoint &globalPosition);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect,
                      const QModelIndex &index) const override;

private:
    // The folder under `point` that takes what `data` carries; none for anything else.
    const ExplorerItem *dropTarget(const QPoint &point, const QMimeData *data) const;
    void startDrag(const QModelIndex &index);

    ExplorerModel *model_;
    DropHandler dropHandler_;
    QPersistentModelIndex pressed_;
    QPoint pressPosition_;
};
