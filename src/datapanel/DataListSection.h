#pragma once

#include "datapanel/DataPanelPart.h"
#include "datapanel/RemovalQuestions.h"
#include "edits/DataListEdits.h"
#include "widgets/DataRowCard.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QUuid>
#include <functional>

class MoveButtons;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// One row of a list card, built once for one item id and reused while the item stays in the
// list: the card's controls at the leading end, then a spacer, the move buttons and the remove
// button. The row's object name and its controls' names follow its place in the list
// ("datapanel.scriptlets.row0.name"), so tests find them.
class DataListRow : public DataRowCard {
    Q_OBJECT

public:
    static constexpr int controlSpacing = 8;

    DataListRow(const QUuid &id, DocumentStore *store, std::function<void(int offset)> move,
                std::function<bool()> remove, QWidget *parent = nullptr);

    const QUuid &id() const { return id_; }

    // Adds a control after the ones added before; it is named "<row>.<name>".
    void addControl(QWidget *control, const QString &name, int stretch = 0);
    // How the row shows its item's values; called on every refresh with the current document.
    void setRefresh(std::function<void(const ReportDocument &)> refresh);
    void refresh(const ReportDocument &document);
    // The row's place: its names and which move buttons are enabled.
    void setPlace(const QString &cardName, int index, int count);

    MoveButtons *moveButtons() const { return moveButtons_; }
    QToolButton *removeButton() const { return removeButton_; }

private:
    QUuid id_;
    QHBoxLayout *row_;
    int controlCount_ = 0;
    QList<std::pair<QPointer<QWidget>, QString>> named_;
    MoveButtons *moveButtons_;
    QToolButton *removeButton_;
    std::function<void(const ReportDocument &)> refresh_;
};

// What a list card is made of: which list it shows, its store operations, its add button and
// how one row's controls are built.
struct DataListSpec {
    QString cardName; // "datapanel.scriptlets"
    QString addTitle; // "Add Scriptlet"
    DataListOperations operations;
    std::function<QList<QUuid>(const ReportDocument &)> ids;
    // Moves the item of that id by the offset from where it stands now.
    std::function<void(DocumentStore &, const QUuid &, int)> move;
    // Adds the row's controls (row.addControl) and sets how they show their values
    // (row.setRefresh); each control writes through a DataListEdits::RowWriter for row.id().
    std::function<void(DataListRow &)> buildRow;
    // Asked before the item of that id is removed (RemovalQuestions); none removes at once.
    std::function<bool(const QUuid &)> mayRemove;

    // mayRemove for a declaration that expressions name, and for a group, sub-dataset or style.
    static std::function<bool(const QUuid &)>
    askingBeforeRemoving(const DataPanelContext &context,
                         RemovalQuestions::Declaration declaration);
    static std::function<bool(const QUuid &)> askingBeforeDeleting(const DataPanelContext &context,
                                                                   ReportReferences::Kind kind);

    // The spec of a card's list, its store operations, its object name and its add button's
    // title; the card then sets buildRow.
    template <typename T>
    static DataListSpec of(QList<T> ReportDocument::*list, const DataListOperations &operations,
                           const QString &cardName, const QString &addTitle)
    {
        DataListSpec spec;
        spec.cardName = cardName;
        spec.addTitle = addTitle;
        spec.operations = operations;
        spec.ids = [list](const ReportDocument &document) {
            return DataListEdits::ids(document.*list);
        };
        spec.move = [list, operations](DocumentStore &store, const QUuid &id, int offset) {
            DataListEdits::moveRow(store, list, operations, id, offset);
        };
        return spec;
    }
};

// The body of a list card: one DataListRow per item in list order, keyed by the item's id, and
// the add button under them. A refresh adds rows for new items, drops the rows of items that
// left, reorders the rest and shows every row's values in place.
class DataListSection : public DataPanelPart {
    Q_OBJECT

public:
    DataListSection(DocumentStore *store, DataListSpec spec, QWidget *parent = nullptr);

    void refresh() override;

    const QList<DataListRow *> &rows() const { return rows_; }
    QPushButton *addButton() const { return addButton_; }

private:
    DataListRow *makeRow(const QUuid &id);

    QPointer<DocumentStore> store_;
    DataListSpec spec_;
    QVBoxLayout *column_;
    QVBoxLayout *rowColumn_;
    QList<DataListRow *> rows_;
    QHash<QUuid, DataListRow *> rowsByID_;
    QPushButton *addButton_;
};
