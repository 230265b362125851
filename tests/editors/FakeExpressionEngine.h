#pragma once

#include "editors/ExpressionEngine.h"

#include <QPointer>

// Records every evaluation and answers when the test says so, like the engine would: only while
// the request's context still exists.
struct FakeExpressionEngine : ExpressionEngine {
    struct Request {
        QString expression;
        QString language;
        QList<ExpressionSample> fields;
        QList<ExpressionSample> parameters;
        QPointer<QObject> context;
        Completion completion;
    };
    int starts = 0;
    QList<Request> requests;

    void ensureStarted() override { ++starts; }
    void evaluateExpression(const QString &expression, const QString &language,
                            const QList<ExpressionSample> &fields,
                            const QList<ExpressionSample> &parameters, QObject *context,
                            Completion completion) override
    {
        requests.append({expression, language, fields, parameters, context, std::move(completion)});
    }
    void answer(const Outcome &outcome)
    {
        const Request request = requests.takeFirst();
        if (request.context)
            request.completion(outcome);
    }
};
