#pragma once

#include "datapanel/DataPanelPart.h"
#include "datapanel/RemovalQuestions.h"
#include "edits/DataListEdits.h"
#include "model/MeasurementUnit.h"
#include "widgets/DataRowCard.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUuid>
#include <functional>

class LazyRowColumn;
class QLabel;
class MoveButtons;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// One row of a list card, built once for one item id when it first comes into view and reused
// while the item stays in the list: the card's controls at the leading end, then a spacer, the
// move buttons and the remove button. The row's object name and its controls' names follow its
// place in the list ("datapanel.scriptlets.row0.name"), so tests find them.
class DataListRow : public DataRowCard {
    Q_OBJECT

public:
    static constexpr int controlSpacing = 8;

    DataListRow(const QUuid &id, DocumentStore *store, std::function<void(int offset)> move,
                std::function<bool()> remove, QWidget *parent = nullptr);

    const QUuid &id() const { return id_; }

    // Adds a control after the ones added before; it is named "<row>.<name>".
    void addControl(QWidget *control, const QString &name, int stretch = 0);
    // Names a control placed elsewhere in the row "<row>.<name>" as well.
    void nameControl(QWidget *control, const QString &name);
    // How the row shows its item's values; called on every refresh with the current document.
    void setRefresh(std::function<void(const ReportDocument &)> refresh);
    void refresh(const ReportDocument &document);
    // The row's place: its names and which move buttons are enabled. Nothing is renamed while
    // the row keeps its index.
    void setPlace(const QString &cardName, int index, int count);

    // The warning under the row's name while another item of the list has its name, or its name
    // names nothing (DataListSpec::nameLacks); an empty text hides it. It stands under the row's
    // first line.
    void setNameWarning(const QString &text);
    // The warning under the row's name while expressions still name the item by the name the
    // user renamed it from; it follows the other one under the name.
    void setRenameWarning(const QString &text);
    QLabel *nameWarning() const { return nameWarning_; }

    MoveButtons *moveButtons() const { return moveButtons_; }
    QToolButton *removeButton() const { return removeButton_; }

private:
    QUuid id_;
    QHBoxLayout *row_;
    int controlCount_ = 0;
    QList<std::pair<QPointer<QWidget>, QString>> named_;
    MoveButtons *moveButtons_;
    QToolButton *removeButton_;
    QLabel *nameWarning_;
    QString sharedName_;
    QString renamed_;
    std::function<void(const ReportDocument &)> refresh_;
    int index_ = -1;
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
    // The list's names in order, as the engine tells its items apart (a sort field's with its
    // kind), and what its items are called in the warning under a name two items share
    // ("parameter"); none: no warning.
    std::function<QStringList(const ReportDocument &)> names;
    QString itemKind;
    // The words under the name of the item at that index while its name names nothing the engine
    // knows it by (a sort field's, no field or variable of the report); empty while it does.
    // None: nothing is said. Give `context` what they depend on besides the list.
    std::function<QString(const ReportDocument &, qsizetype index)> nameLacks;
    // Asked before an item is added; none adds at once.
    std::function<bool()> mayAdd;
    // For a list whose new items bring bands (groups): the unit of the lengths in the words
    // under the add button when the page holds no band of a new item (bandLimitReached). None:
    // an add is never refused so.
    std::function<MeasurementUnit()> lengthUnit;
    // Asked before the item of that id is removed (RemovalQuestions); none removes at once.
    std::function<bool(const QUuid &)> mayRemove;
    // Whether the list's items are the same in both documents (cheap when the list is shared),
    // and whether the item of that id, standing at that index now, is the same.
    std::function<bool(const ReportDocument &, const ReportDocument &)> sameList;
    std::function<bool(const ReportDocument &before, const ReportDocument &now, qsizetype index,
                       const QUuid &id)>
        sameItem;
    // What the rows show besides their own item (the report's group names in a picker, the
    // active band in a help text): when it changes, every row shows its values anew.
    std::function<QStringList(const ReportDocument &)> context;
    // The shape of the item's row: rows of one shape are equally tall (a parameter of a date
    // range has one line more). None: all rows have one shape.
    std::function<int(const ReportDocument &, qsizetype index)> shape;
    // The words under the name of the item of that id, which the user renamed from `former`,
    // while something still names it so (RemovalQuestions::renameWarning); empty when nothing
    // does. None: a rename says nothing. Needs `names`.
    std::function<QString(const ReportDocument &, const QUuid &id, const QString &former)>
        renameWarning;

    // mayRemove for a declaration that expressions name, and for a group, sub-dataset or style.
    static std::function<bool(const QUuid &)>
    askingBeforeRemoving(const DataPanelContext &context,
                         RemovalQuestions::Declaration declaration);
    static std::function<bool(const QUuid &)> askingBeforeDeleting(const DataPanelContext &context,
                                                                   ReportReferences::Kind kind);
    // renameWarning for a declaration that expressions name.
    static std::function<QString(const ReportDocument &, const QUuid &, const QString &)>
    warningOfRenames(RemovalQuestions::Declaration declaration);

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
        spec.sameList = [list](const ReportDocument &before, const ReportDocument &now) {
            return before.*list == now.*list;
        };
        spec.sameItem = [list](const ReportDocument &before, const ReportDocument &now,
                               qsizetype index, const QUuid &id) {
            const auto at = [&](const QList<T> &items) {
                return index < items.size() && items.at(index).id == id
                           ? &items.at(index)
                           : DataListEdits::find(items, id);
            };
            const T *was = at(before.*list);
            const T *is = at(now.*list);
            return was && is && *was == *is;
        };
        return spec;
    }

    // Warns under every name of the list that two of its items share.
    template <typename T>
    void warnOfSharedNames(QList<T> ReportDocument::*list, const QString &kind)
    {
        itemKind = kind;
        names = [list](const ReportDocument &document) {
            QStringList out;
            for (const T &item : document.*list)
                out.append(item.name);
            return out;
        };
    }
};

// The body of a list card: one DataListRow per item in list order, keyed by the item's id and
// built when it comes into view, and the add button under them. A refresh adds places for new
// items, drops the rows of items that left, reorders the rest and shows anew only the values of
// the rows whose item changed (all of them when what they show besides changed).
class DataListSection : public DataPanelPart {
    Q_OBJECT

public:
    DataListSection(DocumentStore *store, DataListSpec spec, QWidget *parent = nullptr);

    void refresh() override;

    const QString &cardName() const { return spec_.cardName; }
    // The rows in list order; a row not built yet is null.
    QList<DataListRow *> rows() const;
    // Scrolls the sheet to the row at that place, which is built when it was not.
    DataListRow *showRow(int index);
    QPushButton *addButton() const { return addButton_; }
    // Why the last press of the add button added nothing, under it until the report changes.
    QLabel *addRefusal() const { return addRefusal_; }
    LazyRowColumn *rowColumn() const { return rowColumn_; }

private:
    DataListRow *makeRow(const QUuid &id);
    // Places the row and shows its item's values.
    void showRowValues(qsizetype index, DataListRow *row);
    // The warnings under the row's name, from the names the list has now.
    void showNameWarning(qsizetype index, DataListRow *row);
    // Notes the names the items had in `before` that they have no more, and forgets those they
    // have again.
    void noteRenames(const ReportDocument &before, const QList<QUuid> &ids);

    QPointer<DocumentStore> store_;
    DataListSpec spec_;
    QVBoxLayout *column_;
    LazyRowColumn *rowColumn_;
    QPushButton *addButton_;
    QLabel *addRefusal_;
    // The document and the context the rows last showed.
    ReportDocument shown_;
    QStringList shownContext_;
    QStringList names_;
    // The names items had before the user renamed them, while expressions name them so.
    QHash<QUuid, QString> formerNames_;
};
