#include "document/DatasetRuns.h"
#include "document/DocumentStore.h"
#include "document/NameTies.h"
#include "document/StyleHeirs.h"

using namespace Qt::StringLiterals;

namespace {

// The prefix of a named list's undo keys.
template <typename T> struct NamedList;
template <> struct NamedList<ReportGroup> {
    static QString key(const QUuid &id) { return u"group-"_s + id.toString(); }
};
template <> struct NamedList<ReportSubDataset> {
    static QString key(const QUuid &id) { return u"subDataset-"_s + id.toString(); }
};
template <> struct NamedList<ReportStyle> {
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
    return editDocument(HashableKey(NamedList<T>::key(id)), [&](ReportDocument &document) {
        const ReportDocument former = document;
        T &item = (document.*list)[index];
        const QString from = item.name;
        change(item);
        NameTies::follow(document, list, id, from);
        // What inherits from a style shows what the engine now prints, and what runs a
        // sub-dataset by a name that now stands for another runs that one.
        if constexpr (std::is_same_v<T, ReportStyle>)
            StyleHeirs::follow(document, former.styles);
        if constexpr (std::is_same_v<T, ReportSubDataset>)
            DatasetRuns::follow(document, former);
    });
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
