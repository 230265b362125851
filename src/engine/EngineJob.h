#pragma once

#include "SidecarModelTypes.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <type_traits>

// Runs `work` on the thread pool and hands its outcome to `publish` on `owner`'s thread. Whatever
// `work` throws becomes the outcome's error text. When `owner` is destroyed before the work ends,
// `publish` is never called: the watcher that would call it is one of `owner`'s children.
template <typename Work, typename Publish>
void runEngineJob(QObject *owner, Work work, Publish publish)
{
    using Value = std::invoke_result_t<Work>;
    using Outcome = EngineOutcome<Value>;
    auto *watcher = new QFutureWatcher<Outcome>(owner);
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, publish] {
        watcher->deleteLater();
        publish(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run([work = std::move(work)]() -> Outcome {
        try {
            return {work(), std::nullopt};
        } catch (const std::exception &error) {
            return {Value{}, QString::fromUtf8(error.what())};
        } catch (...) {
            return {Value{}, QStringLiteral("Unknown error")};
        }
    }));
}

// The object a completion belongs to (a sheet, a panel): the completion runs only while it exists.
// Without one the completion runs whenever the model that started the job still exists.
class CompletionContext {
public:
    explicit CompletionContext(QObject *context) : guard_(context), given_(context != nullptr) {}
    bool isAlive() const { return !given_ || !guard_.isNull(); }

private:
    QPointer<QObject> guard_;
    bool given_;
};
