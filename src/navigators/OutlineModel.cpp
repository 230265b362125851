#include "navigators/OutlineModel.h"

#include <QSet>

namespace {

// Gives keys that are already taken a suffix, so every row has a key of its own.
void makeKeysUnique(QList<OutlineRow> &rows)
{
    QSet<QString> seen;
    seen.reserve(rows.size());
    for (OutlineRow &row : rows) {
        if (seen.contains(row.key)) {
            const QString base = row.key;
            for (int n = 2; seen.contains(row.key); ++n)
                row.key = base + u'#' + QString::number(n);
        }
        seen.insert(row.key);
    }
}

} // namespace

void OutlineModel::setRows(QList<OutlineRow> rows, bool replace)
{
    makeKeysUnique(rows);
    // Each row lies under the nearest row above it that is less deep.
    auto fresh = std::make_unique<Node>();
    fresh->row.depth = -1;
    std::vector<Node *> path{fresh.get()};
    for (OutlineRow &row : rows) {
        while (path.size() > 1 && path.back()->row.depth >= row.depth)
            path.pop_back();
        path.push_back(append(*path.back(), std::move(row)));
    }
    setTree(std::move(fresh), replace);
}

void OutlineModel::setSelection(const OutlineSelection &selection)
{
    changeRows([&selection](OutlineRow &row) {
        const bool wasSelected = row.isSelected;
        const bool wasActive = row.isActive;
        OutlineRows::markSelection(row, selection);
        return row.isSelected != wasSelected || row.isActive != wasActive;
    });
}

QVariant OutlineModel::data(const QModelIndex &index, int role) const
{
    const OutlineRow *shown = row(index);
    if (!shown)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return shown->label;
    case Qt::AccessibleDescriptionRole:
        return shown->detail;
    default:
        return {};
    }
}
