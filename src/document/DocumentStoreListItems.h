#pragma once

// The list operations every data-definition list of the store shares, for the files that
// implement the lists' operations.

#include "document/DocumentStore.h"

#include <algorithm>

// Removes the items of that id from a list of named items; the names that no item of the list
// has any more, whose references then name nothing.
template <typename T> QStringList removeNamed(QList<T> &list, const QUuid &id)
{
    QStringList gone;
    for (const T &item : list) {
        if (item.id == id && !gone.contains(item.name))
            gone.append(item.name);
    }
    list.removeIf([&](const T &item) { return item.id == id; });
    gone.removeIf([&](const QString &name) {
        return std::any_of(list.cbegin(), list.cend(),
                           [&](const T &item) { return item.name == name; });
    });
    return gone;
}

template <typename T> void DocumentStore::addListItem(QList<T> ReportDocument::*list, const T &item)
{
    applyDiscreteEdit([&] { changeDocument([&](ReportDocument &d) { (d.*list).append(item); }); });
}

template <typename T>
void DocumentStore::moveListItem(QList<T> ReportDocument::*list, int index, int offset)
{
    const qint64 count = (document_.*list).size();
    const qint64 target = qint64(index) + offset;
    if (index < 0 || index >= count || target < 0 || target >= count)
        return;
    applyDiscreteEdit(
        [&] { changeDocument([&](ReportDocument &d) { (d.*list).swapItemsAt(index, target); }); });
}

template <typename T>
void DocumentStore::removeListItem(QList<T> ReportDocument::*list, const QUuid &itemID)
{
    const QUuid id = itemID;
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            (d.*list).removeIf([&](const T &item) { return item.id == id; });
        });
    });
}
