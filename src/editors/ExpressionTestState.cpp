#include "ExpressionTestState.h"

#include "ExpressionValidation.h"
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
    resultValue_.reset();
    errorMessage_.reset();
    // A variable has a value only while the report fills: the engine has none to test with.
    const QStringList variables = expressions::referencedTokens(expression, QStringLiteral("V"));
    if (!variables.isEmpty()) {
        isRunning_ = false;
        errorMessage_ = variableMessage(variables);
        emit changed();
        return;
    }
    isRunning_ = true;
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

QString ExpressionTestState::variableMessage(const QStringList &variables)
{
    QStringList references;
    for (const QString &name : variables)
        references.append(u"$V{" + name + u'}');
    return u"Variables can't be test-evaluated: " + references.join(QStringLiteral(", ")) +
           (variables.size() == 1 ? u" gets its value" : u" get their values") +
           u" only while the report fills. Preview the report to see " +
           (variables.size() == 1 ? u"it." : u"them.");
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
