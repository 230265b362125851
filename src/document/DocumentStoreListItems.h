#pragma once

// The list operations every data-definition list of the store shares, for the files that
// implement the lists' operations.

#include "document/DocumentStore.h"
#include "document/NameTies.h"
#include "document/StyleHeirs.h"

#include <algorithm>
#include <type_traits>

// Removes the item of that id from a list of named items of the document; the names whose
// references then name nothing: those no item of the list has any more, and, while another item
// keeps the item's name, the name its own references were set apart under (NameTies).
template <typename T>
QStringList removeNamed(ReportDocument &document, QList<T> ReportDocument::*list, const QUuid &id)
{
    const QList<T> items = document.*list;
    const auto found =
        std::find_if(items.cbegin(), items.cend(), [&](const T &item) { return item.id == id; });
    if (found == items.cend())
        return {};
    const QString name = found->name;
    const bool shared = std::any_of(items.cbegin(), items.cend(), [&](const T &other) {
        return other.id != id && other.name == name;
    });
    QStringList gone;
    if (!shared)
        gone.append(name);
    else if (const std::optional<QString> apart =
                 NameTies::setApart(document, NameTies::referencesOf<T>(), id, name))
        gone.append(*apart);
    (document.*list).removeIf([&](const T &item) { return item.id == id; });
    NameTies::prune(document);
    return gone;
}

// Changes one list of the document; what inherits from the styles takes up a change of theirs.
template <typename T, typename Change>
void changeList(ReportDocument &d, QList<T> ReportDocument::*list, const Change &change)
{
    if constexpr (std::is_same_v<T, ReportStyle>) {
        const QList<ReportStyle> before = d.*list;
        change(d.*list);
        StyleHeirs::follow(d, before);
    } else {
        change(d.*list);
    }
}

template <typename T> void DocumentStore::addListItem(QList<T> ReportDocument::*list, const T &item)
{
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            changeList(d, list, [&](QList<T> &items) { items.append(item); });
        });
    });
}

template <typename T>
void DocumentStore::moveListItem(QList<T> ReportDocument::*list, int index, int offset)
{
    const qint64 count = (document_.*list).size();
    const qint64 target = qint64(index) + offset;
    if (index < 0 || index >= count || target < 0 || target >= count)
        return;
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            changeList(d, list, [&](QList<T> &items) { items.swapItemsAt(index, target); });
        });
    });
}

template <typename T>
void DocumentStore::removeListItem(QList<T> ReportDocument::*list, const QUuid &itemID)
{
    const QUuid id = itemID;
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            (d.*list).removeIf([&](const T &item) { return item.id == id; });
            // A field or variable that shared its name leaves the other's its own again.
            NameTies::prune(d);
        });
    });
}
