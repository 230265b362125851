#pragma once

#include "navigators/OutlineRows.h"
#include "widgets/KeyedTreeModel.h"

// The outline's rows as a tree for Qt's item views: every row the outline shows under the row
// it belongs to (the children of a collapsed node are left out, as the outline does not show
// them). An update keeps the rows by key and tells the view only what changed.
class OutlineModel : public KeyedTreeModel<OutlineRow> {
    Q_OBJECT

public:
    using KeyedTreeModel::KeyedTreeModel;

    // Shows `rows`, top to bottom with their depths as OutlineRows::build gives them. A key the
    // rows hold twice gets a suffix ("#2", "#3" …). `replace` starts afresh (another report);
    // otherwise the rows that stayed are kept and updated in place.
    void setRows(QList<OutlineRow> rows, bool replace = false);
    // Marks the rows anew for `selection`, telling the view of the rows whose marks changed.
    void setSelection(const OutlineSelection &selection);

    QModelIndex indexOf(const QString &key) const { return indexOfKey(key); }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
