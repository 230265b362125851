#include "datapanel/SamplePreviewModel.h"

#include "datapanel/ShadedGrid.h"

void SamplePreviewModel::show(const QStringList &header, const QList<QStringList> &rows,
                              const QSet<QString> &declared)
{
    beginResetModel();
    header_ = header;
    rows_ = rows;
    declared_ = declared;
    columns_ = int(header_.size());
    for (const QStringList &row : std::as_const(rows_))
        columns_ = std::max(columns_, int(row.size()));
    endResetModel();
}

void SamplePreviewModel::setUnmatchedColor(const QColor &color)
{
    if (unmatched_ == color)
        return;
    unmatched_ = color;
    if (columns_ > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

bool SamplePreviewModel::isUnmatched(int column) const
{
    return column < header_.size() && !declared_.contains(header_[column]);
}

bool SamplePreviewModel::hasUnmatched() const
{
    for (const QString &name : header_)
        if (!declared_.contains(name))
            return true;
    return false;
}

int SamplePreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int SamplePreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant SamplePreviewModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_.size())
        return {};
    const QStringList &row = rows_[index.row()];
    // A row shorter than the header has no cell there.
    if (index.column() >= row.size())
        return {};
    return ShadedGrid::oneLine(row[index.column()]);
}

QVariant SamplePreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return header_.value(section);
    if (role == Qt::ForegroundRole && isUnmatched(section) && unmatched_.isValid())
        return unmatched_;
    return {};
}
