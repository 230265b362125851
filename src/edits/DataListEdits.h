#pragma once

#include "document/DocumentStore.h"
#include "document/NameTies.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUuid>
#include <algorithm>
#include <functional>
#include <optional>
#include <type_traits>

// The store's three operations on one top-level list of the report: add appends an item with
// the list's defaults, move swaps the item at an index with its neighbour at index + offset,
// remove drops the items of an id. Each records one undo step and marks the report dirty.
struct DataListOperations {
    void (DocumentStore::*add)() = nullptr;
    void (DocumentStore::*move)(int index, int offset) = nullptr;
    void (DocumentStore::*remove)(const QUuid &id) = nullptr;

    static DataListOperations parameters();
    static DataListOperations fields();
    static DataListOperations sortFields();
    static DataListOperations scriptlets();
    static DataListOperations reportTemplates();
    static DataListOperations variables();
    static DataListOperations groups();
    static DataListOperations styles();
    static DataListOperations subDatasets();
};

// What the rows of the data panel's list cards write, and how. Rows are keyed by their item's
// id: a row looks its item up by that id at the moment it writes, so a write that arrives after
// the item left the list (a field committing as it loses the focus after a remove) is dropped
// instead of landing on whichever item now stands at the row's old place.
namespace DataListEdits {

template <typename T> QList<QUuid> ids(const QList<T> &list)
{
    QList<QUuid> out;
    out.reserve(list.size());
    for (const T &item : list)
        out.append(item.id);
    return out;
}

// The position of the item of that id; -1 when none has it.
template <typename T> qsizetype indexOf(const QList<T> &list, const QUuid &id)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i).id == id)
            return i;
    return -1;
}

template <typename T> const T *find(const QList<T> &list, const QUuid &id)
{
    const qsizetype index = indexOf(list, id);
    return index < 0 ? nullptr : &list.at(index);
}

// A write of the panel that no list operation makes (the query, a row's controls): a
// continuous edit of the store under `key`, so that typing into one control is one undo step
// and an undo never takes the write along with another edit. A write that changes nothing does
// nothing. True when the document changed.
bool writeDocument(DocumentStore &store, const QString &key,
                   const std::function<void(ReportDocument &)> &change);

// The undo key of a row's writes: the edits of one item in quick succession are one step.
QString rowKey(const QUuid &id);

// A row write: changes the item of that id in one list of the document, as a continuous edit
// keyed by the item. A group, sub-dataset or style that gets a new name takes what names it
// along, in the same step, and so does a field or variable the sort fields name; while its
// name is another item's too, only what named it (NameTies). A write whose item is gone does
// nothing. True when the document changed.
template <typename T>
bool writeRow(DocumentStore &store, QList<T> ReportDocument::*list, const QUuid &id,
              const std::function<void(T &)> &change)
{
    if constexpr (std::is_same_v<T, ReportGroup>)
        return store.editGroup(id, change);
    else if constexpr (std::is_same_v<T, ReportSubDataset>)
        return store.editSubDataset(id, change);
    else if constexpr (std::is_same_v<T, ReportStyle>)
        return store.editStyle(id, change);
    else if (indexOf(store.document().*list, id) < 0)
        return false;
    else
        return writeDocument(store, rowKey(id), [&](ReportDocument &document) {
            QList<T> &items = document.*list;
            T &item = items[indexOf(items, id)];
            if constexpr (std::is_same_v<T, ReportField> || std::is_same_v<T, ReportVariable>) {
                const QString from = item.name;
                change(item);
                NameTies::follow(document, list, id, from);
            } else {
                change(item);
            }
        });
}

// The write of one row, built for its item's id: writeRow into that list of the store, while
// the store is there. Rows hold one and write through it on every user edit.
template <typename T> class RowWriter {
public:
    RowWriter(DocumentStore *store, QList<T> ReportDocument::*list, const QUuid &id)
        : store_(store), list_(list), id_(id)
    {
    }

    const QUuid &id() const { return id_; }
    // The item as the store holds it now; null when the store or the item is gone.
    const T *current() const { return store_ ? find((*store_).document().*list_, id_) : nullptr; }
    bool write(const std::function<void(T &)> &change) const
    {
        return store_ && writeRow(*store_, list_, id_, change);
    }

private:
    QPointer<DocumentStore> store_;
    QList<T> ReportDocument::*list_;
    QUuid id_;
};

// A row's move button: moves the item of that id by the offset, from where it stands now.
// Nothing happens when the item is gone or the move would leave the list.
template <typename T>
void moveRow(DocumentStore &store, QList<T> ReportDocument::*list, const DataListOperations &ops,
             const QUuid &id, int offset)
{
    const qsizetype index = indexOf(store.document().*list, id);
    if (index >= 0)
        (store.*ops.move)(int(index), offset);
}

// The optional-text adapters of row controls: no value shows as an empty text, and an emptied
// text is stored as no value, any other text untrimmed.
QString shownText(const std::optional<QString> &value);
std::optional<QString> storedText(const QString &text);

// A variable's increment type: no value shows as "(default)", and choosing "(default)" stores
// no value.
extern const QString defaultIncrementTypeLabel;

// A variable's calculations, in the order the pickers offer them.
const QStringList &calculations();
QString shownIncrementType(const std::optional<QString> &value);
std::optional<QString> storedIncrementType(const QString &text);

// A variable's reset or increment type chosen on its card: "Group", which the engine refuses
// without one of the report's groups, takes the first of `groups` while `group` names none of
// them, as the evaluation time does.
void keepGroupForType(const QString &type, std::optional<QString> &group,
                      const QStringList &groups);

} // namespace DataListEdits

// The new items of the lists nested in a row (a style's conditional styles, a sub-dataset's
// parameters, fields and variables). They are appended through the row's write, not by a store
// operation; the numbered names count the nested list after the add.
namespace DataListDefaults {

ConditionalStyleRule conditionalStyle();
ReportParameter subDatasetParameter(const ReportSubDataset &dataset);
ReportField subDatasetField(const ReportSubDataset &dataset);
ReportVariable subDatasetVariable(const ReportSubDataset &dataset);

} // namespace DataListDefaults
