#include "SidecarExpressionEngine.h"

#include "engine/SidecarModel.h"

void SidecarExpressionEngine::ensureStarted()
{
    model_.ensureStarted();
}

void SidecarExpressionEngine::evaluateExpression(const QString &expression, const QString &language,
                                                 const QList<ExpressionSample> &fields,
                                                 const QList<ExpressionSample> &parameters,
                                                 QObject *context, Completion completion)
{
    model_.evaluateExpression(expression, language, fields, parameters, context,
                              std::move(completion));
}
