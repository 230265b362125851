#include "QtKeychainHelper.h"

#include "StrictUtf8.h"

#include <QEventLoop>
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

// The job's reason, never empty for a failed job.
QString reason(const QKeychain::Job &job)
{
    const QString text = job.errorString().trimmed();
    return text.isEmpty() ? QStringLiteral("the keychain gave no reason") : text;
}

} // namespace

KeychainHelper::Read QtKeychainHelper::readPassword(const QString &account) const
{
    QKeychain::ReadPasswordJob job(service);
    runToEnd(job, account);
    if (job.error() == QKeychain::EntryNotFound)
        return {};
    if (job.error() != QKeychain::NoError)
        return {std::nullopt, reason(job)};
    return {strictUtf8(job.binaryData()), {}};
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
