#include "document/SortFieldNames.h"

#include <QStringList>

#include <algorithm>

namespace SortFieldNames {

int count(const ReportDocument &document, SortFieldType type, const QString &name)
{
    return int(std::count_if(
        document.sortFields.cbegin(), document.sortFields.cend(),
        [&](const ReportSortField &sort) { return sort.type == type && sort.name == name; }));
}

QSet<QUuid> holders(const ReportDocument &document, SortFieldType type, const QString &name)
{
    QSet<QUuid> ids;
    for (const ReportSortField &sort : document.sortFields) {
        if (sort.type == type && sort.name == name)
            ids.insert(sort.id);
    }
    return ids;
}

bool rename(ReportDocument &document, SortFieldType type, const QString &from, const QString &to,
            const QSet<QUuid> *only)
{
    const auto renames = [&](const ReportSortField &sort) {
        return sort.type == type && sort.name == from && (!only || only->contains(sort.id));
    };
    const auto &sorts = std::as_const(document.sortFields);
    if (from == to || std::none_of(sorts.cbegin(), sorts.cend(), renames))
        return false;
    for (ReportSortField &sort : document.sortFields) {
        if (renames(sort))
            sort.name = to;
    }
    return true;
}

namespace {

template <typename T>
std::optional<QString> firstUnsorted(const ReportDocument &document, const QList<T> &items,
                                     SortFieldType type)
{
    for (const T &item : items) {
        if (count(document, type, item.name) == 0)
            return item.name;
    }
    return std::nullopt;
}

} // namespace

std::optional<ReportSortField> next(const ReportDocument &document)
{
    ReportSortField sortField;
    if (const std::optional<QString> field =
            firstUnsorted(document, document.fields, SortFieldType::field)) {
        sortField.name = *field;
        return sortField;
    }
    if (const std::optional<QString> variable =
            firstUnsorted(document, document.variables, SortFieldType::variable)) {
        sortField.name = *variable;
        sortField.type = SortFieldType::variable;
        return sortField;
    }
    return std::nullopt;
}

QString nothingToSortOn(const ReportDocument &document)
{
    if (document.fields.isEmpty() && document.variables.isEmpty())
        return QStringLiteral("The report declares no field or variable to sort on.");
    return QStringLiteral("Every field and variable of the report is sorted on already.");
}

std::optional<QString> nameForType(const ReportDocument &document, const QUuid &id,
                                   SortFieldType type)
{
    QStringList names;
    if (type == SortFieldType::field) {
        for (const ReportField &field : document.fields)
            names.append(field.name);
    } else {
        for (const ReportVariable &variable : document.variables)
            names.append(variable.name);
    }
    // The others of that type; the sort field itself is not of it yet.
    const auto isFree = [&](const QString &name) {
        return std::none_of(document.sortFields.cbegin(), document.sortFields.cend(),
                            [&](const ReportSortField &sort) {
                                return sort.id != id && sort.type == type && sort.name == name;
                            });
    };
    const auto own = std::find_if(document.sortFields.cbegin(), document.sortFields.cend(),
                                  [&](const ReportSortField &sort) { return sort.id == id; });
    if (own != document.sortFields.cend() && names.contains(own->name) && isFree(own->name))
        return own->name;
    const auto free = std::find_if(names.cbegin(), names.cend(), isFree);
    return free == names.cend() ? std::nullopt : std::optional(*free);
}

std::optional<ReportSortField> switchedToType(const ReportDocument &document,
                                              const ReportSortField &sortField, SortFieldType type)
{
    if (sortField.type == type)
        return sortField;
    const std::optional<QString> name = nameForType(document, sortField.id, type);
    if (!name)
        return std::nullopt;
    ReportSortField switched = sortField;
    switched.type = type;
    switched.name = *name;
    return switched;
}

QString nothingOfTypeToSortOn(const ReportDocument &document, SortFieldType type)
{
    const bool isField = type == SortFieldType::field;
    const QString kind = isField ? QStringLiteral("field") : QStringLiteral("variable");
    if (isField ? document.fields.isEmpty() : document.variables.isEmpty())
        return QStringLiteral("The report declares no ") + kind + QStringLiteral(" to sort on.");
    return QStringLiteral("Every ") + kind + QStringLiteral(" of the report is sorted on already.");
}

QString lacking(const ReportDocument &document, const ReportSortField &sortField)
{
    const QString &name = sortField.name;
    const auto named = [&](const auto &items) {
        return std::any_of(items.cbegin(), items.cend(),
                           [&](const auto &item) { return item.name == name; });
    };
    const bool isField = sortField.type == SortFieldType::field;
    if (name.isEmpty())
        return QStringLiteral("Name the ") +
               (isField ? QStringLiteral("field") : QStringLiteral("variable")) +
               QStringLiteral(" to sort on: the engine refuses a sort field without a name.");
    if (isField ? named(document.fields) : named(document.variables))
        return {};
    if (!isField) {
        // What the engine gives every report, and each group's count of records.
        static const QSet<QString> given = {
            QStringLiteral("PAGE_NUMBER"),       QStringLiteral("PAGE_COUNT"),
            QStringLiteral("COLUMN_NUMBER"),     QStringLiteral("COLUMN_COUNT"),
            QStringLiteral("REPORT_COUNT"),      QStringLiteral("MASTER_CURRENT_PAGE"),
            QStringLiteral("MASTER_TOTAL_PAGES")};
        if (given.contains(name) ||
            std::any_of(document.groups.cbegin(), document.groups.cend(),
                        [&](const ReportGroup &group) { return group.name + u"_COUNT" == name; }))
            return {};
    }
    const QString kind = isField ? QStringLiteral("field") : QStringLiteral("variable");
    QString words = QStringLiteral("The report declares no ") + kind + QStringLiteral(" \"") +
                    name + QStringLiteral("\"");
    if (isField ? named(document.variables) : named(document.fields))
        words += QStringLiteral(" (a ") +
                 (isField ? QStringLiteral("variable") : QStringLiteral("field")) +
                 QStringLiteral(" has that name: choose ") +
                 (isField ? QStringLiteral("Variable") : QStringLiteral("Field")) +
                 QStringLiteral(")");
    return words + QStringLiteral(": the engine refuses a sort field on a name it lacks.");
}

} // namespace SortFieldNames
