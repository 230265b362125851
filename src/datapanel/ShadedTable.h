#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

// The table the query results and the sample-data preview show their rows in: cells of one line
// in the fixed-width font on the shaded box, column names in bold over a divider, nothing to
// select or edit. Only the cells in view cost anything, however many columns and rows there are.
namespace ShadedTable {

constexpr int columnSpacing = 14;
constexpr int rowSpacing = 3;
// A cell whose value is a database NULL: drawn in the secondary colour.
constexpr int nullRole = 0x0100 + 1;

QTableView *make(QAbstractItemModel *model, const QString &objectName, QWidget *parent);

// Makes each column as wide as its name or its longest cell, whichever is wider, measuring the
// texts of the model's first `rows` rows by their length in the fixed-width font: the work grows
// with the cells, not with their layout.
void fitColumns(QTableView *table, int rows);

} // namespace ShadedTable
