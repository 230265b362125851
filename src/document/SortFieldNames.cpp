#include "document/SortFieldNames.h"

#include <algorithm>

namespace SortFieldNames {

int count(const ReportDocument &document, SortFieldType type, const QString &name)
{
    return int(std::count_if(
        document.sortFields.cbegin(), document.sortFields.cend(),
        [&](const ReportSortField &sort) { return sort.type == type && sort.name == name; }));
}

bool rename(ReportDocument &document, SortFieldType type, const QString &from, const QString &to)
{
    if (from == to || count(document, type, from) == 0)
        return false;
    for (ReportSortField &sort : document.sortFields) {
        if (sort.type == type && sort.name == from)
            sort.name = to;
    }
    return true;
}

} // namespace SortFieldNames
