#include "document/NameTies.h"

#include "document/ReportReferences.h"
#include "document/SortFieldNames.h"

#include <QHash>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace NameTies {

namespace {

References ofKind(ReportReferences::Kind kind)
{
    return {[kind](const ReportDocument &document, const QString &name) {
                return ReportReferences::holders(document, kind, name);
            },
            [kind](ReportDocument &document, const QString &from, const QString &to,
                   const QSet<QUuid> &only) {
                ReportReferences::rename(document, kind, from, to, &only);
            }};
}

References ofSortType(SortFieldType type)
{
    return {[type](const ReportDocument &document, const QString &name) {
                return SortFieldNames::holders(document, type, name);
            },
            [type](ReportDocument &document, const QString &from, const QString &to,
                   const QSet<QUuid> &only) {
                SortFieldNames::rename(document, type, from, to, &only);
            }};
}

// The ids of the items other than that of `id` named `name`.
QList<QUuid> othersNamed(const QList<Named> &items, const QUuid &id, const QString &name)
{
    QList<QUuid> ids;
    for (const Named &item : items) {
        if (item.id != id && item.name == name)
            ids.append(item.id);
    }
    return ids;
}

// What names `name` and no tie of the items `ids` holds.
QSet<QUuid> untied(const ReportDocument &document, const References &references,
                   const QList<QUuid> &ids, const QString &name)
{
    QSet<QUuid> holders = references.holders(document, name);
    for (const QUuid &id : ids)
        holders.subtract(document.nameTies.value(id));
    return holders;
}

template <typename T> void collectShared(const QList<T> &list, QSet<QUuid> &shared)
{
    QHash<QString, int> counts;
    for (const T &item : list)
        ++counts[item.name];
    for (const T &item : list) {
        if (counts.value(item.name) > 1)
            shared.insert(item.id);
    }
}

} // namespace

template <> References referencesOf<ReportGroup>()
{
    return ofKind(ReportReferences::Kind::group);
}
template <> References referencesOf<ReportSubDataset>()
{
    return ofKind(ReportReferences::Kind::subDataset);
}
template <> References referencesOf<ReportStyle>()
{
    return ofKind(ReportReferences::Kind::style);
}
template <> References referencesOf<ReportField>()
{
    return ofSortType(SortFieldType::field);
}
template <> References referencesOf<ReportVariable>()
{
    return ofSortType(SortFieldType::variable);
}

void follow(ReportDocument &document, const References &references, const QList<Named> &items,
            const QUuid &id, const QString &from)
{
    const auto found = std::find_if(items.cbegin(), items.cend(),
                                    [&](const Named &item) { return item.id == id; });
    if (found == items.cend() || found->name == from)
        return;
    const QString to = found->name;
    QHash<QUuid, QSet<QUuid>> &ties = document.nameTies;

    // What named the item under its former name.
    const QList<QUuid> left = othersNamed(items, id, from);
    QSet<QUuid> own;
    if (left.isEmpty()) {
        own = references.holders(document, from);
    } else if (ties.contains(id)) {
        own = ties.value(id);
    } else if (std::any_of(left.cbegin(), left.cend(),
                           [&](const QUuid &other) { return ties.contains(other); })) {
        // It had the name before the others took it: theirs are tied, the rest is its.
        own = untied(document, references, left, from);
    }
    ties.remove(id);

    // Joining a name others have: each of them keeps what names it now, the item its own.
    const QList<QUuid> joined = othersNamed(items, id, to);
    if (!joined.isEmpty()) {
        QSet<QUuid> unclaimed = untied(document, references, joined, to);
        for (const QUuid &other : joined) {
            if (!ties.contains(other))
                ties.insert(other, std::exchange(unclaimed, {}));
        }
        ties.insert(id, own);
    }
    references.rename(document, from, to, own);
    prune(document);
}

void prune(ReportDocument &document)
{
    if (document.nameTies.isEmpty())
        return;
    QSet<QUuid> shared;
    collectShared(document.fields, shared);
    collectShared(document.variables, shared);
    collectShared(document.groups, shared);
    collectShared(document.styles, shared);
    collectShared(document.subDatasets, shared);
    document.nameTies.removeIf([&](const QHash<QUuid, QSet<QUuid>>::iterator &tie) {
        return !shared.contains(tie.key());
    });
}

std::optional<QString> setApart(ReportDocument &document, const References &references,
                                const QUuid &id, const QString &name)
{
    const auto tie = document.nameTies.constFind(id);
    if (tie == document.nameTies.cend())
        return std::nullopt;
    const QSet<QUuid> own = *tie;
    document.nameTies.remove(id);
    const QString apart = name + u"-removed-"_s + id.toString(QUuid::WithoutBraces);
    references.rename(document, name, apart, own);
    return apart;
}

} // namespace NameTies
