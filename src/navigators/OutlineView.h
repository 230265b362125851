#pragma once

#include "navigators/OutlineRows.h"

#include "widgets/RowTreeView.h"

#include <QHash>
#include <QPointer>
#include <functional>
#include <optional>

class Dialogs;
class DocumentStore;
class OutlineModel;
class QDrag;
class QMenu;
class QMimeData;

// The outline of the open report: the report, its parameters and fields, every band in display
// order with the groups' bands among them, and the elements on each band, as a tree view over
// an OutlineModel. It follows the store on every change, updating only the rows that changed;
// collapse state lives in the store, so each tab keeps its own, and the scroll position of each
// tab is kept while the view lives. Each store's rows are kept until the store goes, so that
// going back to a tab rebuilds them only when its report changed meanwhile. Clicks, drags, keys and
// menus act through the store.
class OutlineView : public RowTreeView {
    Q_OBJECT

public:
    explicit OutlineView(QWidget *parent = nullptr);
    ~OutlineView() override;

    DocumentStore *store() const { return store_; }
    // Follows another tab's store.
    void setStore(DocumentStore *store);
    // Where "Hide Band" asks before a band with elements goes; without it such a band stays.
    void setDialogs(Dialogs *dialogs) { dialogs_ = dialogs; }
    // Runs a drag that a row started; QDrag::exec unless tests take it.
    using DragRunner = std::function<void(QDrag &drag)>;
    void setDragRunner(DragRunner runner) { dragRunner_ = std::move(runner); }

    // The rows as they are shown, top to bottom.
    QList<OutlineRow> rows() const;
    std::optional<OutlineRow> row(const QString &key) const;
    // Where the row and its disclosure chevron lie in the viewport; empty for a row not shown.
    QRect rowRect(const QString &key) const;
    QRect chevronRect(const QString &key) const;

    // What a drag of the row carries; null for rows that are not dragged.
    QMimeData *dragData(const QString &key) const;
    // The context menu of a band or element row as the store is now; null when it would be
    // empty. Owned by the caller.
    QMenu *contextMenu(const QString &key);

    QSize sizeHint() const override;

protected:
    void activateRow(const QModelIndex &index, Qt::KeyboardModifiers modifiers,
                     std::optional<QPoint> pressedAt) override;
    std::optional<bool> isRowOpen(const QModelIndex &index) const override;
    void toggleRow(const QModelIndex &index) override;
    void dragRow(const QModelIndex &index) override;
    bool showRowMenu(const QModelIndex &index, const QPoint &globalPosition) override;

private:
    // A store's rows and what they were built from.
    struct Kept {
        OutlineModel *model = nullptr;
        ReportDocument document;
        QSet<HashableKey> collapsed;
        bool built = false;
    };

    Kept &keptFor(DocumentStore *store);
    void showModel(OutlineModel *model);
    void refresh(bool replace = false);
    void refreshSelection();
    void restoreScrollPosition();
    void act(const OutlineRow &row, Qt::KeyboardModifiers modifiers, bool onChevron);
    void startDrag(const OutlineRow &row);
    QMenu *contextMenu(const OutlineRow &row);
    bool isOnChevron(const QModelIndex &index, const QPoint &point) const;

    // The rows of no report.
    OutlineModel *emptyModel_;
    OutlineModel *model_;
    QPointer<DocumentStore> store_;
    QHash<const DocumentStore *, Kept> kept_;
    QList<QMetaObject::Connection> connections_;
    QHash<QUuid, int> scrollPositions_;
    Dialogs *dialogs_ = nullptr;
    DragRunner dragRunner_;
    // While a click acts on the store, the store's announcements wait and the tree is brought up
    // to date once at the end: the row being handled stays as it is.
    int acting_ = 0;
    bool refreshPending_ = false;
    bool selectionPending_ = false;
};
