#pragma once

#include "navigators/OutlineRows.h"

#include <QStyledItemDelegate>
#include <array>

// Draws the outline's rows: indentation, disclosure chevron, the kind's icon in its colour, the
// label on one line and a band's height, with the fills of selected, active and group rows and
// hidden bands dimmed. Everything is drawn from the row's values at every paint, so a row that
// changes needs no layout of its own.
class OutlineDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The height of a row of the kind, in the view's font.
    static int rowHeight(OutlineRow::Kind kind, const QFont &font);
    // Where the disclosure chevron of `row` lies when the row fills `rect`; empty without one.
    static QRect chevronRect(const OutlineRow &row, const QRect &rect);
    // The colour of an icon tint in the palette's appearance.
    static QColor tintColor(OutlineTint tint, const QPalette &palette);

    static void paintRow(QPainter &painter, const QRect &rect, const OutlineRow &row,
                         const QStyleOptionViewItem &option);

private:
    // The row heights of each kind in the font they were measured in: the tree asks for every
    // row's height at each layout, and measuring a font costs more than the rest of a row.
    mutable QFont measuredFont_;
    mutable std::array<int, size_t(OutlineRow::Kind::element) + 1> measuredHeights_{};
};
