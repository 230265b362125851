#include "ExpressionTestState.h"

#include "model/ReportDocument.h"

#include <QPointer>

void ExpressionTestState::setSampleValue(const QString &key, const QString &value)
{
    if (sampleValues_.contains(key) && sampleValues_.value(key) == value)
        return;
    sampleValues_.insert(key, value);
    emit changed();
}

void ExpressionTestState::run(const QString &expression, const ReportDocument &document,
                              ExpressionEngine &engine)
{
    isRunning_ = true;
    resultValue_.reset();
    errorMessage_.reset();
    emit changed();
    const QList<ExpressionSample> fields = samples(document.fields);
    const QList<ExpressionSample> parameters = samples(document.parameters);
    engine.ensureStarted();
    QPointer<ExpressionTestState> self(this);
    engine.evaluateExpression(expression, document.language, fields, parameters, this,
                              [self](const ExpressionEngine::Outcome &outcome) {
                                  if (self)
                                      self->finish(outcome);
                              });
}

void ExpressionTestState::finish(const ExpressionEngine::Outcome &outcome)
{
    isRunning_ = false;
    if (outcome.error)
        errorMessage_ = outcome.error;
    else
        resultValue_ = outcome.value.value_or(QStringLiteral("(null)"));
    emit changed();
}
