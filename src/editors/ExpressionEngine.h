#pragma once

#include "engine/SidecarModelTypes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

// A declared field or parameter handed to a test evaluation: its name, Java class and the sample
// value typed for it, if any.
using ExpressionSample = ExpressionBinding;

// What the expression test needs of the report engine.
class ExpressionEngine {
public:
    // The evaluated value (none when the engine returned null), or the error's text.
    using Outcome = EngineOutcome<std::optional<QString>>;
    using Completion = std::function<void(const Outcome &)>;

    virtual ~ExpressionEngine() = default;
    // Starts the engine unless it runs; reports its own failure elsewhere.
    virtual void ensureStarted() = 0;
    // Evaluates in the background; the completion runs later on the main thread, and only while
    // `context` still exists.
    virtual void evaluateExpression(const QString &expression, const QString &language,
                                    const QList<ExpressionSample> &fields,
                                    const QList<ExpressionSample> &parameters, QObject *context,
                                    Completion completion) = 0;
};
