#include "SidecarExpressionEngine.h"

#include "engine/SidecarModel.h"

namespace {

QList<ExpressionBinding> bindings(const QList<ExpressionSample> &samples)
{
    QList<ExpressionBinding> out;
    for (const ExpressionSample &sample : samples)
        out.append({sample.name, sample.className, sample.value});
    return out;
}

} // namespace

void SidecarExpressionEngine::ensureStarted()
{
    model_.ensureStarted();
}

void SidecarExpressionEngine::evaluateExpression(const QString &expression, const QString &language,
                                                 const QList<ExpressionSample> &fields,
                                                 const QList<ExpressionSample> &parameters,
                                                 QObject *context, Completion completion)
{
    model_.evaluateExpression(
        expression, language, bindings(fields), bindings(parameters), context,
        [completion = std::move(completion)](const EngineOutcome<std::optional<QString>> &outcome) {
            completion({outcome.value, outcome.error});
        });
}
