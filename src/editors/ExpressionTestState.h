#pragma once

#include "ExpressionEngine.h"

#include <QMap>
#include <QObject>

struct ReportDocument;

// The test panel of one expression builder sheet: the sample values typed for referenced fields
// and parameters (one dictionary keyed by bare name, shared by a field and a parameter of the
// same name), whether a run is under way, and the outcome of the last run.
class ExpressionTestState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QMap<QString, QString> &sampleValues() const { return sampleValues_; }
    bool isRunning() const { return isRunning_; }
    const std::optional<QString> &resultValue() const { return resultValue_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }

    // Stores the whole text typed for `key`; an emptied box stores the empty string.
    void setSampleValue(const QString &key, const QString &value);

    // Every declared item in declaration order, with its sample value when one is typed and not
    // empty (sent untrimmed).
    template <typename Declared> QList<ExpressionSample> samples(const QList<Declared> &items) const
    {
        QList<ExpressionSample> out;
        for (const auto &item : items) {
            const QString value = sampleValues_.value(item.name);
            out.append({item.name, item.className,
                        value.isEmpty() ? std::nullopt : std::optional<QString>(value)});
        }
        return out;
    }

    // Starts one evaluation of `expression` with every declared field and parameter of `document`.
    // An expression that reads a variable is not sent: it gets variableMessage at once.
    // The answer is taken only while this object exists, so a sheet closed meanwhile drops it.
    void run(const QString &expression, const ReportDocument &document, ExpressionEngine &engine);

    // The answer to a test of an expression that reads the variables `variables`.
    static QString variableMessage(const QStringList &variables);

signals:
    void changed();

private:
    void finish(const ExpressionEngine::Outcome &outcome);

    QMap<QString, QString> sampleValues_;
    bool isRunning_ = false;
    std::optional<QString> resultValue_;
    std::optional<QString> errorMessage_;
};
