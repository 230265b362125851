#pragma once

#include "navigators/ExplorerModel.h"

#include <QStyledItemDelegate>

// Draws the project explorer's rows: indentation, the chevron of a folder (a gap of its width
// for a file), the item's symbol and its name on one line; a file that is not a report dimmed,
// the active tab's file on a faint accent.
class ExplorerDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static void paintItem(QPainter &painter, const QRect &rect, const ExplorerItem &item,
                          const QStyleOptionViewItem &option);
};
