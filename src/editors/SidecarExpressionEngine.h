#pragma once

#include "ExpressionEngine.h"

class SidecarModel;

// The expression test's way into the engine driver.
class SidecarExpressionEngine : public ExpressionEngine {
public:
    explicit SidecarExpressionEngine(SidecarModel &model) : model_(model) {}

    void ensureStarted() override;
    void evaluateExpression(const QString &expression, const QString &language,
                            const QList<ExpressionSample> &fields,
                            const QList<ExpressionSample> &parameters, QObject *context,
                            Completion completion) override;

private:
    SidecarModel &model_;
};
