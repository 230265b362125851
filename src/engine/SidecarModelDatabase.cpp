// The engine model's commands about a report's data: connection tests, live queries, live field
// reading and expression evaluation. Each sends one request.

#include "EngineJob.h"
#include "FriendlyErrorTranslator.h"
#include "SidecarModel.h"

using namespace Qt::StringLiterals;

namespace {

// A failure as the connection test and the query show it: the keychain named where it caused
// the failure, and the advice the preview gives for the same error ahead of the engine's own
// words.
std::optional<QString> shownFailure(const std::optional<QString> &error,
                                    const std::optional<LiveConnection> &liveConnection)
{
    const std::optional<QString> text = withKeychainCause(error, liveConnection);
    return text ? std::optional(FriendlyErrorTranslator::annotate(*text)) : text;
}

} // namespace

template <typename Read, typename Publish>
void SidecarModel::sendInBackground(const QString &cmd, const QJsonObject &params, Read read,
                                    Publish publish)
{
    ensureStarted();
    runEngineJob(
        this,
        [client = client_, timeout = requestTimeout_, cmd, params, read] {
            return read(client->send(cmd, params, timeout));
        },
        std::move(publish));
}

void SidecarModel::testConnection(const DatabaseConnection &connection, const QString &password,
                                  QObject *context, std::function<void()> onSuccess,
                                  const std::optional<KeychainHelper::Read> &stored)
{
    const quint64 run = ++connectionTestRun_;
    connectionTestContext_ = context;
    if (context)
        connect(context, &QObject::destroyed, this, [this, run] {
            if (run != connectionTestRun_ || run == keptConnectionTest_)
                return;
            withdrawnConnectionTest_ = run;
            publish(connectionTestResult_, {}, &SidecarModel::connectionTestResultChanged);
            publish(testedConnectionID_, {}, &SidecarModel::testedConnectionIDChanged);
        });
    publish(isTestingConnection_, true, &SidecarModel::isTestingConnectionChanged);
    publish(connectionTestResult_, {}, &SidecarModel::connectionTestResultChanged);
    publish(testedConnectionID_, std::optional(connection.id),
            &SidecarModel::testedConnectionIDChanged);
    sendInBackground(
        u"testConnection"_s,
        {{u"connection"_s, EngineRequests::connectionParams(connection, password)}},
        &EngineRequests::connectionTestText,
        [this, run, context = CompletionContext(context), onSuccess,
         live = stored ? std::optional(
                             LiveConnection{connection, password, stored->error, stored->failure})
                       : std::nullopt](const EngineOutcome<QString> &outcome) {
            const QString text =
                outcome.ok() ? outcome.value : u"Failed: "_s + *shownFailure(outcome.error, live);
            if (run != withdrawnConnectionTest_)
                publish(connectionTestResult_, std::optional(text),
                        &SidecarModel::connectionTestResultChanged);
            publish(isTestingConnection_, false, &SidecarModel::isTestingConnectionChanged);
            if (outcome.ok() && onSuccess && context.isAlive())
                onSuccess();
        });
}

void SidecarModel::keepConnectionTest(const QObject *context)
{
    if (context && connectionTestContext_ == context)
        keptConnectionTest_ = connectionTestRun_;
}

void SidecarModel::setQueryOutcome(const QObject *owner,
                                   const std::function<void(QueryOutcome &)> &change)
{
    QueryOutcome outcome = queryOutcomes_.value(owner);
    change(outcome);
    if (queryOutcomes_.contains(owner) && queryOutcomes_.value(owner) == outcome)
        return;
    queryOutcomes_.insert(owner, outcome);
    emit queryOutcomesChanged();
}

void SidecarModel::executeQuery(const std::optional<LiveConnection> &liveConnection,
                                const QString &query, QObject *owner)
{
    if (owner && !queryOutcomes_.contains(owner))
        connect(owner, &QObject::destroyed, this, [this, owner] {
            if (queryOutcomes_.remove(owner))
                emit queryOutcomesChanged();
        });
    setQueryOutcome(owner, [](QueryOutcome &outcome) {
        outcome.isExecuting = true;
        outcome.errorMessage.reset();
    });
    publish(isExecutingQuery_, true, &SidecarModel::isExecutingQueryChanged);
    publish(queryErrorMessage_, {}, &SidecarModel::queryErrorMessageChanged);
    sendInBackground(u"executeQuery"_s, EngineRequests::executeQueryParams(liveConnection, query),
                     &EngineRequests::queryResult,
                     [this, owner, alive = QPointer<QObject>(owner),
                      liveConnection](const EngineOutcome<QueryResult> &outcome) {
                         const auto error = shownFailure(outcome.error, liveConnection);
                         if (!owner || alive)
                             setQueryOutcome(owner, [&](QueryOutcome &own) {
                                 if (outcome.ok())
                                     own.result = outcome.value;
                                 else
                                     own.errorMessage = error;
                                 own.isExecuting = false;
                             });
                         if (outcome.ok())
                             publish(queryResult_, std::optional(outcome.value),
                                     &SidecarModel::queryResultChanged);
                         else
                             publish(queryErrorMessage_, error,
                                     &SidecarModel::queryErrorMessageChanged);
                         publish(isExecutingQuery_, false, &SidecarModel::isExecutingQueryChanged);
                     });
}

void SidecarModel::readFieldsLive(const std::optional<LiveConnection> &liveConnection,
                                  const QString &query, QObject *context,
                                  FieldsCompletion completion)
{
    sendInBackground(u"readFieldsLive"_s, EngineRequests::readFieldsParams(liveConnection, query),
                     &EngineRequests::liveFields,
                     [context = CompletionContext(context), completion,
                      liveConnection](EngineOutcome<QList<LiveField>> outcome) {
                         outcome.error = withKeychainCause(outcome.error, liveConnection);
                         if (completion && context.isAlive())
                             completion(outcome);
                     });
}

void SidecarModel::evaluateExpression(const QString &expression, const QString &language,
                                      const QList<ExpressionBinding> &fields,
                                      const QList<ExpressionBinding> &parameters, QObject *context,
                                      EvaluationCompletion completion)
{
    sendInBackground(u"evaluateExpression"_s,
                     EngineRequests::evaluateParams(expression, language, fields, parameters),
                     &EngineRequests::evaluatedValue,
                     [context = CompletionContext(context),
                      completion](const EngineOutcome<std::optional<QString>> &outcome) {
                         if (completion && context.isAlive())
                             completion(outcome);
                     });
}
