#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QSet>
#include <QStringList>

// The first rows of a sample CSV file under its header, for the preview table: a cell's line
// breaks show as spaces, and a column whose name no declared field has is named in the colour
// given for that.
class SamplePreviewModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(const QStringList &header, const QList<QStringList> &rows,
              const QSet<QString> &declared);
    void setUnmatchedColor(const QColor &color);
    // Whether a column's name matches no declared field.
    bool isUnmatched(int column) const;
    bool hasUnmatched() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList header_;
    QList<QStringList> rows_;
    QSet<QString> declared_;
    QColor unmatched_;
    int columns_ = 0;
};
