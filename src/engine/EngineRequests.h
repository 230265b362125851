#pragma once

#include "LiveConnection.h"
#include "SidecarModelTypes.h"

#include <QJsonObject>
#include <QMap>
#include <optional>

// The parameters of the engine's commands and the reading of their replies. The engine's result
// objects are read leniently: a key that is missing or of another kind reads as its default.
namespace EngineRequests {

using ParamValues = QMap<QString, QString>;

// {"type", "host", "port", "database", "user", "password"}, every key present.
QJsonObject connectionParams(const DatabaseConnection &connection, const QString &password);
// {"type": "jdbc", "connection": {...}, "query": query}.
QJsonObject jdbcDataSourceParams(const LiveConnection &liveConnection, const QString &query);

QJsonObject compileParams(const QString &jrxmlPath, const QString &jasperPath);
// "fill": the parameter values and, only with a live connection, "dataSource" running the
// report's own query. "render" takes the same plus "jrxmlPath" and "pdfPath".
QJsonObject fillParams(const QString &jasperPath, const QString &jrprintPath,
                       const ParamValues &paramValues,
                       const std::optional<LiveConnection> &liveConnection,
                       const QString &queryString);
QJsonObject renderParams(const QString &jrxmlPath, const QString &pdfPath,
                         const QString &jasperPath, const QString &jrprintPath,
                         const ParamValues &paramValues,
                         const std::optional<LiveConnection> &liveConnection,
                         const QString &queryString);
QJsonObject exportParams(const QString &jrprintPath, const QString &outputPath,
                         const QString &format);

inline constexpr qint64 queryMaxRows = 200;
// "query", "maxRows" and, with a live connection, "connection".
QJsonObject executeQueryParams(const std::optional<LiveConnection> &liveConnection,
                               const QString &query);
// "query" and, with a live connection, "connection".
QJsonObject readFieldsParams(const std::optional<LiveConnection> &liveConnection,
                             const QString &query);
// Each binding becomes {"name", "class"} plus "value" only when it has one.
QJsonObject evaluateParams(const QString &expression, const QString &language,
                           const QList<ExpressionBinding> &fields,
                           const QList<ExpressionBinding> &parameters);

RenderStats renderStats(const QJsonObject &result);
// "Connected to <productName or 'database'> <productVersion or ''>".
QString connectionTestText(const QJsonObject &result);
QueryResult queryResult(const QJsonObject &result);
// The entries whose "name" and "className" are both texts, in order. Throws SidecarError
// (malformedResponse) when "fields" is missing, not a list, or holds anything but objects.
QList<LiveField> liveFields(const QJsonObject &result);
std::optional<QString> evaluatedValue(const QJsonObject &result);

} // namespace EngineRequests
