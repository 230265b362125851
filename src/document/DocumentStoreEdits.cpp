#include "document/DocumentStore.h"
#include "document/ReportReferences.h"

using namespace Qt::StringLiterals;

namespace {

// What a named list is to references, and the prefix of its items' undo keys.
template <typename T> struct NamedList;
template <> struct NamedList<ReportGroup> {
    static constexpr ReportReferences::Kind kind = ReportReferences::Kind::group;
    static QString key(const QUuid &id) { return u"group-"_s + id.toString(); }
};
template <> struct NamedList<ReportSubDataset> {
    static constexpr ReportReferences::Kind kind = ReportReferences::Kind::subDataset;
    static QString key(const QUuid &id) { return u"subDataset-"_s + id.toString(); }
};
template <> struct NamedList<ReportStyle> {
    static constexpr ReportReferences::Kind kind = ReportReferences::Kind::style;
    static QString key(const QUuid &id) { return u"style-"_s + id.toString(); }
};

template <typename T> qsizetype indexOf(const QList<T> &list, const QUuid &id)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).id == id)
            return i;
    }
    return -1;
}

// Whether an item other than that of `id` has the name: then what names it may mean either.
template <typename T> bool isShared(const QList<T> &list, const QUuid &id, const QString &name)
{
    return std::any_of(list.cbegin(), list.cend(),
                       [&](const T &item) { return item.id != id && item.name == name; });
}

// The item's own references to `from` made to name `to`, as the report's are: a group's
// sections may show totals evaluated on it, a style may name itself (a parent once renamed to
// its own name). The item alone is walked, in a report that holds nothing else.
template <typename T>
void renameWithin(T &item, QList<T> ReportDocument::*list, const QString &from, const QString &to)
{
    if (from == to)
        return;
    ReportDocument alone;
    (alone.*list) = {item};
    if (ReportReferences::rename(alone, NamedList<T>::kind, from, to))
        item = (alone.*list).at(0);
}

// `from` with the item replaced by `item`, which had the name `shown` before this edit; when
// the item's name differs from the one it has in `from`, what named that name follows it,
// unless another item shares the name.
template <typename T>
ReportDocument withItem(const ReportDocument &from, QList<T> ReportDocument::*list, const T &item,
                        const QString &shown)
{
    ReportDocument next = from;
    const qsizetype index = indexOf(from.*list, item.id);
    if (index < 0)
        return next;
    const QString old = (from.*list).at(index).name;
    T placed = item;
    if (old != item.name && !isShared(from.*list, item.id, old)) {
        ReportReferences::rename(next, NamedList<T>::kind, old, item.name);
        // What the item itself names went along with its name through the run so far.
        renameWithin(placed, list, shown, item.name);
    }
    (next.*list)[index] = std::move(placed);
    return next;
}

} // namespace

bool DocumentStore::editDocument(const std::function<void(ReportDocument &)> &change)
{
    ReportDocument next = document_;
    change(next);
    if (next == document_)
        return false;
    applyDiscreteEdit(
        [&] { changeDocument([&](ReportDocument &document) { document = std::move(next); }); });
    return true;
}

bool DocumentStore::editDocument(const HashableKey &key,
                                 const std::function<void(ReportDocument &)> &change)
{
    ReportDocument next = document_;
    change(next);
    if (next == document_)
        return false;
    return replaceInRun(key, std::move(next), clock_());
}

bool DocumentStore::replaceInRun(const HashableKey &key, ReportDocument next, qint64 now)
{
    const ReportDocument before = document_;
    changeDocument([&](ReportDocument &document) { document = std::move(next); });
    setIsDirty(true);
    recordCoalescedEdit(key, before, now);
    return true;
}

template <typename T>
bool DocumentStore::editNamedItem(QList<T> ReportDocument::*list, const QUuid &id,
                                  const std::function<void(T &)> &change)
{
    const qsizetype index = indexOf(document_.*list, id);
    if (index < 0)
        return false;
    const T current = (document_.*list).at(index);
    T item = current;
    change(item);
    if (item == current)
        return false;
    const HashableKey key(NamedList<T>::key(id));
    const qint64 now = clock_();
    // A run goes on from the document it began with, as long as the document is still what the
    // run made of it: the references then follow from the name the item had at the start.
    const bool resumes = continuesRun(key, now) &&
                         withItem(*pendingUndoSnapshot_, list, current, current.name) == document_;
    if (!resumes)
        flushPendingUndoSnapshot();
    ReportDocument next =
        withItem(resumes ? *pendingUndoSnapshot_ : document_, list, item, current.name);
    if (next == document_)
        return false;
    return replaceInRun(key, std::move(next), now);
}

bool DocumentStore::editGroup(const QUuid &id, const std::function<void(ReportGroup &)> &change)
{
    return editNamedItem(&ReportDocument::groups, id, change);
}

bool DocumentStore::editSubDataset(const QUuid &id,
                                   const std::function<void(ReportSubDataset &)> &change)
{
    return editNamedItem(&ReportDocument::subDatasets, id, change);
}

bool DocumentStore::editStyle(const QUuid &id, const std::function<void(ReportStyle &)> &change)
{
    return editNamedItem(&ReportDocument::styles, id, change);
}
