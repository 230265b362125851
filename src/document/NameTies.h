#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>

// Which references follow a rename while items of a list share a name. A rename takes along
// what names the renamed item and nothing else: what named it goes to its new name, and while
// that name is another item's too, the document's nameTies remember whose each reference is
// (by the id each reference is known by: one element may name both), so that a later rename of
// either takes its own alone. The ties live in the document, so undo and redo restore them with
// the names they explain.
//
// The lists whose names are referenced so: the report's groups, sub-datasets and styles
// (ReportReferences) and its fields and variables (the sort fields name them).
namespace NameTies {

// What names one list's items, and how a rename takes some of it along.
struct References {
    // The ids of the references to `name`.
    std::function<QSet<QUuid>(const ReportDocument &, const QString &name)> holders;
    // The references of those ids to `from` made to name `to`.
    std::function<void(ReportDocument &, const QString &from, const QString &to,
                       const QSet<QUuid> &only)>
        rename;
};

struct Named {
    QUuid id;
    QString name;
};

template <typename T> References referencesOf();
template <> References referencesOf<ReportGroup>();
template <> References referencesOf<ReportSubDataset>();
template <> References referencesOf<ReportStyle>();
template <> References referencesOf<ReportField>();
template <> References referencesOf<ReportVariable>();

// The item of `id` in `items` (the list as it stands now) was named `from`; what names it there
// follows it to its name now, and the ties are updated. While `from` was shared and nothing
// tells the item's references from the others', none follow.
void follow(ReportDocument &document, const References &references, const QList<Named> &items,
            const QUuid &id, const QString &from);

// Drops the ties of items that no longer share their name with another.
void prune(ReportDocument &document);

// Before the item of `id` leaves a list while another item keeps its name: what names the item
// alone is given a name no item has, which a removal then drops as it drops the references to
// an item's own name. No value when the item's name was its own or nothing tells its
// references apart.
std::optional<QString> setApart(ReportDocument &document, const References &references,
                                const QUuid &id, const QString &name);

template <typename T> QList<Named> namesOf(const QList<T> &list)
{
    QList<Named> names;
    names.reserve(list.size());
    for (const T &item : list)
        names.append({item.id, item.name});
    return names;
}

// The item of `id` in that list of the document was named `from`.
template <typename T>
void follow(ReportDocument &document, QList<T> ReportDocument::*list, const QUuid &id,
            const QString &from)
{
    follow(document, referencesOf<T>(), namesOf(document.*list), id, from);
}

} // namespace NameTies
