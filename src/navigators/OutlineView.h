#pragma once

#include "navigators/OutlineRows.h"

#include <QHash>
#include <QPointer>
#include <QScrollArea>

class DocumentStore;
class OutlineRowView;
class QMenu;
class QMimeData;
class QVBoxLayout;

// The outline of the open report: the report, its parameters and fields, every band in display
// order with the groups' bands among them, and the elements on each band. It is drawn from the
// store on every change, keeping its rows (by key) and its scroll position; collapse state lives
// in the store, so each tab keeps its own. Clicks, drags and menus act through the store.
class OutlineView : public QScrollArea {
    Q_OBJECT

public:
    explicit OutlineView(QWidget *parent = nullptr);

    DocumentStore *store() const { return store_; }
    // Follows another tab's store; the scroll position of each store is kept while the view
    // lives.
    void setStore(DocumentStore *store);

    // The rows as they are shown, top to bottom.
    QList<OutlineRow> rows() const;
    OutlineRowView *rowView(const QString &key) const;

    // What a drag of the row carries; null for rows that are not dragged.
    QMimeData *dragData(const QString &key) const;
    // The context menu of a band or element row as the store is now; null when it would be
    // empty. Owned by the caller.
    QMenu *contextMenu(const QString &key);

    QSize sizeHint() const override;

private:
    void refresh();
    void rowClicked(const QString &key, Qt::KeyboardModifiers modifiers, bool onChevron);
    void startDrag(const QString &key);
    void showMenu(const QString &key, QPoint globalPosition);

    QPointer<DocumentStore> store_;
    QList<QMetaObject::Connection> connections_;
    QWidget *content_ = nullptr;
    QVBoxLayout *column_ = nullptr;
    QHash<QString, OutlineRowView *> rowViews_;
    QList<OutlineRowView *> order_;
    QHash<QUuid, int> scrollPositions_;
};
