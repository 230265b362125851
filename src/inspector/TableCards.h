#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/InspectorPage.h"
#include "inspector/SectionCard.h"
#include "inspector/TableCells.h"

#include <QUuid>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;

// One cell of a table column: its title, the kind of what it holds and, when it holds an
// element, that element's text or expression. The row writes nothing itself: it hands the
// chosen kind or the typed content to its callbacks.
class TableCellRow : public QWidget {
    Q_OBJECT

public:
    TableCellRow(const QString &title, const QString &name,
                 std::function<void(TableCellKind)> onPick,
                 std::function<void(const QString &)> onContent, QWidget *parent = nullptr);

    void show(const SharedOptional<ReportElement> &cell);

private:
    QComboBox *kind_;
    QLineEdit *content_;
};

// The "Columns" card of a table: per column its width, a remove button and its three cells,
// then "Add Column". Blocks are keyed by the column's id; every write changes that one value of
// that column in the table as the store holds it at that moment, so cell formatting, kept
// column groups and everything else of the table pass untouched, and a write for a column that
// is gone is dropped.
class ColumnsCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    ColumnsCard(const ElementWriter &writer, const QString &title, const InspectorContext &context,
                QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    struct Block {
        QUuid id;
        QWidget *widget;
        QLineEdit *width;
        // Why the last width typed was not taken.
        QLabel *widthMessage;
        QWidget *remove;
        QList<TableCellRow *> cells; // header, detail, footer
    };

    void rebuildBlocks(const QList<ReportTableColumn> &columns);
    Block makeBlock(const QUuid &id, int position);
    void commitWidth(const QUuid &id, QLineEdit *field, QLabel *message);
    // The column's width as the store holds it, as its field shows it; none when it is gone.
    std::optional<QString> storedWidth(const QUuid &id) const;
    void pick(const QUuid &id, TableCells::Cell cell, TableCellKind kind);
    // Changes the column with that id in the table as the store holds it now.
    void writeColumn(const QUuid &id, const std::function<void(ReportTableColumn &)> &change);
    void writeColumns(const std::function<void(QList<ReportTableColumn> &)> &change);

    ElementWriter writer_;
    InspectorContext context_;
    QVBoxLayout *blocksLayout_;
    QList<Block> blocks_;
};

// The "No Data" card of a table: what it prints when its own sub-dataset returns no rows.
class NoDataCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    NoDataCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    ElementWriter writer_;
    QComboBox *picker_;
};
