#include "EngineRequests.h"

#include "SidecarError.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace EngineRequests {

namespace {

QJsonObject paramValuesObject(const ParamValues &paramValues)
{
    QJsonObject values;
    for (auto it = paramValues.cbegin(); it != paramValues.cend(); ++it)
        values.insert(it.key(), it.value());
    return values;
}

void addDataSource(QJsonObject &params, const std::optional<LiveConnection> &liveConnection,
                   const QString &queryString)
{
    if (liveConnection)
        params.insert(u"dataSource"_s, jdbcDataSourceParams(*liveConnection, queryString));
}

QJsonObject queryParams(const std::optional<LiveConnection> &liveConnection, const QString &query)
{
    QJsonObject params{{u"query"_s, query}};
    if (liveConnection)
        params.insert(u"connection"_s,
                      connectionParams(liveConnection->connection, liveConnection->password));
    return params;
}

QJsonArray bindingsArray(const QList<ExpressionBinding> &bindings)
{
    QJsonArray array;
    for (const ExpressionBinding &binding : bindings) {
        QJsonObject entry{{u"name"_s, binding.name}, {u"class"_s, binding.className}};
        if (binding.value)
            entry.insert(u"value"_s, *binding.value);
        array.append(entry);
    }
    return array;
}

qint64 integerOrZero(const QJsonValue &value)
{
    // Whole numbers only: 2.5 is not a page count.
    if (!value.isDouble() || value.toDouble() != double(value.toInteger()))
        return 0;
    return value.toInteger();
}

QString textOr(const QJsonValue &value, const QString &fallback)
{
    return value.isString() ? value.toString() : fallback;
}

} // namespace

QJsonObject connectionParams(const DatabaseConnection &connection, const QString &password)
{
    return {{u"type"_s, rawValue(connection.type)}, {u"host"_s, connection.host},
            {u"port"_s, connection.port},           {u"database"_s, connection.database},
            {u"user"_s, connection.username},       {u"password"_s, password}};
}

QJsonObject jdbcDataSourceParams(const LiveConnection &liveConnection, const QString &query)
{
    return {{u"type"_s, u"jdbc"_s},
            {u"connection"_s, connectionParams(liveConnection.connection, liveConnection.password)},
            {u"query"_s, query}};
}

QJsonObject compileParams(const QString &jrxmlPath, const QString &jasperPath)
{
    return {{u"jrxmlPath"_s, jrxmlPath}, {u"jasperPath"_s, jasperPath}};
}

QJsonObject fillParams(const QString &jasperPath, const QString &jrprintPath,
                       const ParamValues &paramValues,
                       const std::optional<LiveConnection> &liveConnection,
                       const QString &queryString)
{
    QJsonObject params{{u"jasperPath"_s, jasperPath},
                       {u"jrprintPath"_s, jrprintPath},
                       {u"paramValues"_s, paramValuesObject(paramValues)}};
    addDataSource(params, liveConnection, queryString);
    return params;
}

QJsonObject renderParams(const QString &jrxmlPath, const QString &pdfPath,
                         const QString &jasperPath, const QString &jrprintPath,
                         const ParamValues &paramValues,
                         const std::optional<LiveConnection> &liveConnection,
                         const QString &queryString)
{
    QJsonObject params =
        fillParams(jasperPath, jrprintPath, paramValues, liveConnection, queryString);
    params.insert(u"jrxmlPath"_s, jrxmlPath);
    params.insert(u"pdfPath"_s, pdfPath);
    return params;
}

QJsonObject exportParams(const QString &jrprintPath, const QString &outputPath,
                         const QString &format)
{
    return {{u"jrprintPath"_s, jrprintPath}, {u"outputPath"_s, outputPath}, {u"format"_s, format}};
}

QJsonObject executeQueryParams(const std::optional<LiveConnection> &liveConnection,
                               const QString &query)
{
    QJsonObject params = queryParams(liveConnection, query);
    params.insert(u"maxRows"_s, queryMaxRows);
    return params;
}

QJsonObject readFieldsParams(const std::optional<LiveConnection> &liveConnection,
                             const QString &query)
{
    return queryParams(liveConnection, query);
}

QJsonObject evaluateParams(const QString &expression, const QString &language,
                           const QList<ExpressionBinding> &fields,
                           const QList<ExpressionBinding> &parameters)
{
    return {{u"expression"_s, expression},
            {u"language"_s, language},
            {u"fields"_s, bindingsArray(fields)},
            {u"parameters"_s, bindingsArray(parameters)}};
}

RenderStats renderStats(const QJsonObject &result)
{
    return {integerOrZero(result[u"pageCount"_s]), integerOrZero(result[u"compileMs"_s]),
            integerOrZero(result[u"fillMs"_s])};
}

QString connectionTestText(const QJsonObject &result)
{
    return u"Connected to "_s % textOr(result[u"productName"_s], u"database"_s) % u' ' %
           textOr(result[u"productVersion"_s], QString());
}

QueryResult queryResult(const QJsonObject &result)
{
    QueryResult query;
    const QJsonValue columns = result[u"columns"_s];
    const QJsonArray columnArray = columns.toArray();
    const bool allTexts = std::all_of(columnArray.begin(), columnArray.end(),
                                      [](const QJsonValue &column) { return column.isString(); });
    if (columns.isArray() && allTexts) {
        for (const QJsonValue column : columnArray)
            query.columns.append(column.toString());
    }
    const QJsonArray rows = result[u"rows"_s].toArray();
    const bool allArrays =
        std::all_of(rows.begin(), rows.end(), [](const QJsonValue &row) { return row.isArray(); });
    if (!allArrays)
        return query;
    for (const QJsonValue row : rows) {
        QList<std::optional<QString>> cells;
        for (const QJsonValue cell : row.toArray())
            cells.append(cell.isString() ? std::optional(cell.toString()) : std::nullopt);
        query.rows.append(cells);
    }
    return query;
}

QList<LiveField> liveFields(const QJsonObject &result)
{
    // A reply without a list of field objects is no answer: taken as "no columns" it would make
    // every declared field look stale.
    const QJsonValue list = result[u"fields"_s];
    const QJsonArray entries = list.toArray();
    const bool allObjects = std::all_of(entries.begin(), entries.end(),
                                        [](const QJsonValue &entry) { return entry.isObject(); });
    if (!list.isArray() || !allObjects)
        throw SidecarError::malformedResponse(
            QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Compact)));
    QList<LiveField> fields;
    for (const QJsonValue entry : entries) {
        const QJsonValue name = entry[u"name"_s];
        const QJsonValue className = entry[u"className"_s];
        if (name.isString() && className.isString())
            fields.append({name.toString(), className.toString()});
    }
    return fields;
}

std::optional<QString> evaluatedValue(const QJsonObject &result)
{
    const QJsonValue value = result[u"value"_s];
    return value.isString() ? std::optional(value.toString()) : std::nullopt;
}

} // namespace EngineRequests
