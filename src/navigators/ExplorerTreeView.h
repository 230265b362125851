#pragma once

#include "navigators/ExplorerModel.h"
#include "widgets/RowTreeView.h"

#include <functional>

class QMimeData;

// The project explorer's tree: a tree view over an ExplorerModel that hands the user's clicks,
// keys, context menus and drops to its owner and drags an item's path as plain text. Left and
// Right fold and unfold a folder, as a click on it does; the root stays open.
class ExplorerTreeView : public RowTreeView {
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
    void activateRow(const QModelIndex &index, Qt::KeyboardModifiers modifiers,
                     std::optional<QPoint> pressedAt) override;
    std::optional<bool> isRowOpen(const QModelIndex &index) const override;
    void toggleRow(const QModelIndex &index) override;
    void dragRow(const QModelIndex &index) override;
    bool showRowMenu(const QModelIndex &index, const QPoint &globalPosition) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The folder under `point` that takes what `data` carries; none for anything else.
    const ExplorerItem *dropTarget(const QPoint &point, const QMimeData *data) const;

    ExplorerModel *model_;
    DropHandler dropHandler_;
};
