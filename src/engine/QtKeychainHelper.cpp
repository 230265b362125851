#include "QtKeychainHelper.h"

#include "StrictUtf8.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <qt6keychain/keychain.h>

namespace {

// Runs a keychain job to its end. The job reports through a signal once the keychain has
// answered; until then a local event loop keeps the caller waiting.
void runToEnd(QKeychain::Job &job, const QString &account)
{
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(account);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// A failed job's reason, never empty.
QString reason(const QString &errorString)
{
    const QString text = errorString.trimmed();
    return text.isEmpty() ? QStringLiteral("the keychain gave no reason") : text;
}

QString reason(const QKeychain::Job &job)
{
    return reason(job.errorString());
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
    QKeychain::ReadPasswordJob job(service);
    runToEnd(job, account);
    return readResult(job.error(), job.errorString(), job.binaryData());
}

QString QtKeychainHelper::setPassword(const QString &password, const QString &account)
{
    // The write replaces an item of the same account; deleting it first would lose the old
    // password when the new one is refused.
    QKeychain::WritePasswordJob job(service);
    job.setTextData(password);
    runToEnd(job, account);
    return job.error() == QKeychain::NoError ? QString() : reason(job);
}

void QtKeychainHelper::deletePassword(const QString &account)
{
    QKeychain::DeletePasswordJob job(service);
    runToEnd(job, account);
}
