#include "QtKeychainHelper.h"

#include "KeychainWait.h"
#include "StrictUtf8.h"

#include <QRegularExpression>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {

// What a job found, or how the wait for it ended without an answer.
struct Answer {
    KeychainWait::End end = KeychainWait::End::answered;
    QKeychain::Error error = QKeychain::NoError;
    QString errorString;
    QByteArray data;
};

// Runs a keychain job until it answers, or until the wait for it ends without an answer. A job
// that answered goes at once; one given up on deletes itself once the keychain answers at last
// (its backend may still call back into it until then).
Answer runToEnd(QKeychain::Job *job, const QString &account)
{
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    job->setKey(account);
    const auto answer = std::make_shared<Answer>();
    const KeychainWait::End end = KeychainWait::run([&](std::function<void()> answered) {
        QObject::connect(job, &QKeychain::Job::finished, job, [job, answer, answered] {
            answer->error = job->error();
            answer->errorString = job->errorString();
            if (const auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(job))
                answer->data = read->binaryData();
            answered();
        });
        job->start();
    });
    if (end != KeychainWait::End::answered) {
        job->setAutoDelete(true);
        return {end};
    }
    delete job;
    return *answer;
}

// A failed job's reason, never empty.
QString reason(const QString &errorString)
{
    const QString text = errorString.trimmed();
    return text.isEmpty() ? QStringLiteral("the keychain gave no reason") : text;
}

// Whether a failure's text says that no keyring service could be reached: no D-Bus session to
// ask (none running, or none that could be started without a display), or a session in which
// nothing provides the Secret Service. QtKeychain reports these as other errors.
bool noServiceReached(const QString &errorString)
{
    static const QRegularExpression unreachable(
        QStringLiteral("Could not connect|Cannot autolaunch D-Bus|Cannot spawn a message bus|"
                       "was not provided by any \\.service files|D-Bus is not running|"
                       "DBus\\.Error\\.(ServiceUnknown|NoServer)"),
        QRegularExpression::CaseInsensitiveOption);
    return unreachable.match(errorString).hasMatch();
}

} // namespace

KeychainHelper::Read QtKeychainHelper::readResult(QKeychain::Error error,
                                                  const QString &errorString,
                                                  const QByteArray &data)
{
    switch (error) {
    case QKeychain::NoError:
        return {strictUtf8(data), {}};
    case QKeychain::EntryNotFound:
        return {};
    case QKeychain::AccessDenied:
        // The Secret Service's locked item, or a wallet that would not open.
        return {std::nullopt, reason(errorString), Failure::locked};
    case QKeychain::AccessDeniedByUser:
        return {std::nullopt, reason(errorString), Failure::denied};
    case QKeychain::NoBackendAvailable:
        return {std::nullopt, reason(errorString), Failure::noService};
    case QKeychain::OtherError:
        if (noServiceReached(errorString))
            return {std::nullopt, reason(errorString), Failure::noService};
        break;
    case QKeychain::CouldNotDeleteEntry:
    case QKeychain::NotImplemented:
        break;
    }
    return {std::nullopt, reason(errorString), Failure::other};
}

KeychainHelper::Read QtKeychainHelper::readPassword(const QString &account) const
{
    const Answer answer = runToEnd(new QKeychain::ReadPasswordJob(service), account);
    if (answer.end != KeychainWait::End::answered)
        return KeychainWait::unanswered(answer.end);
    return readResult(answer.error, answer.errorString, answer.data);
}

QString QtKeychainHelper::setPassword(const QString &password, const QString &account)
{
    // The write replaces an item of the same account; deleting it first would lose the old
    // password when the new one is refused.
    auto *job = new QKeychain::WritePasswordJob(service);
    job->setTextData(password);
    const Answer answer = runToEnd(job, account);
    if (answer.end != KeychainWait::End::answered)
        return KeychainWait::unanswered(answer.end).error;
    return answer.error == QKeychain::NoError ? QString() : reason(answer.errorString);
}

void QtKeychainHelper::deletePassword(const QString &account)
{
    runToEnd(new QKeychain::DeletePasswordJob(service), account);
}
