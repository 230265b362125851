#include "TestSupport.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/KeychainWait.h"
#include "engine/LiveConnection.h"
#include "engine/QtKeychainHelper.h"
#include "model/Identifiers.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

using namespace Qt::StringLiterals;

// Runs under with-secret-service.sh, which starts a Secret Service of its own in a temporary home.
namespace {

void requireSecretService()
{
    if (qEnvironmentVariableIsSet("QUILLMARK_SECRET_SERVICE"))
        return;
    const QString reason = qEnvironmentVariable(
        "QUILLMARK_SECRET_SERVICE_SKIP", QStringLiteral("not run by with-secret-service.sh"));
    GTEST_SKIP() << "no Secret Service for the keychain test: " << reason.toStdString();
}

} // namespace

TEST(QtKeychainHelper, StoresReadsAndDeletesThroughTheSecretService)
{
    requireSecretService();
    if (testing::Test::IsSkipped())
        return;

    QtKeychainHelper keychain;
    const QString account = idText(newId());
    EXPECT_EQ(keychain.password(account), std::nullopt);
    keychain.setPassword(QStringLiteral("Sekr3t-Pässwort-€"), account);
    EXPECT_EQ(keychain.password(account), u"Sekr3t-Pässwort-€");
    EXPECT_EQ(keychain.password(idText(newId())), std::nullopt) << "another account";
    keychain.setPassword(QStringLiteral("second"), account);
    EXPECT_EQ(keychain.password(account), u"second");
    keychain.deletePassword(account);
    EXPECT_EQ(keychain.password(account), std::nullopt);
    keychain.deletePassword(account); // deleting a missing item is quiet
}

// Runs under with-secret-service.sh --without: a D-Bus session in which no keyring service runs;
// and under --no-bus, without even a D-Bus session. Either way the read says that no keyring
// service answered, so that the run's failure gives that service's way out, not "Unlock the
// keyring".
TEST(QtKeychainHelper, WithoutASecretServiceSaysWhyNothingIsStoredOrRead)
{
    if (!qEnvironmentVariableIsSet("QUILLMARK_NO_SECRET_SERVICE"))
        GTEST_SKIP() << "not run by with-secret-service.sh --without or --no-bus";

    QtKeychainHelper keychain;
    const QString account = idText(newId());
    const QString stored = keychain.setPassword(QStringLiteral("secret"), account);
    EXPECT_FALSE(stored.isEmpty()) << "a password that is not kept must say why";
    const KeychainHelper::Read read = keychain.readPassword(account);
    EXPECT_EQ(read.password, std::nullopt);
    EXPECT_FALSE(read.error.isEmpty()) << "a keychain that cannot be read must say why";
    EXPECT_EQ(read.failure, KeychainHelper::Failure::noService) << read.error.toStdString();
    std::cout << "store: " << stored.toStdString() << "\nread: " << read.error.toStdString()
              << '\n';
}

// The login keyring locked, as after a suspend, with its unlock prompt cancelled (here nobody can
// answer it: the session has no screen, and the prompt ends as cancelled). The Secret Service
// then answers a read as it answers one of a password never stored, so the run's failure says
// that no password came from the keychain, for either reason, and gives both ways out.
TEST(QtKeychainHelper, ALockedKeyringWhoseUnlockIsCancelledReadsAsNoPasswordAndSaysSo)
{
    requireSecretService();
    if (testing::Test::IsSkipped())
        return;
    QtKeychainHelper keychain;
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("presets.ini")), QSettings::IniFormat);
    ConnectionPresetStore presets(settings, keychain);
    const DatabaseConnection sales{
        newId(), QStringLiteral("Sales"), DatabaseType::postgres, QStringLiteral("db.local"),
        5432,    QStringLiteral("sales"), QStringLiteral("ann")};
    ASSERT_EQ(presets.add(sales, QStringLiteral("stored")), QString());
    ASSERT_EQ(presets.password(sales.id), u"stored");

    QProcess lock;
    lock.start(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                QStringLiteral("--dest=org.freedesktop.secrets"),
                QStringLiteral("/org/freedesktop/secrets"),
                QStringLiteral("org.freedesktop.Secret.Service.Lock"),
                QStringLiteral("array:objpath:/org/freedesktop/secrets/collection/login")});
    ASSERT_TRUE(lock.waitForFinished(30000));
    ASSERT_EQ(lock.exitCode(), 0) << lock.readAllStandardError().toStdString();

    EXPECT_EQ(keychain.readPassword(KeychainHelper::account(sales.id)), KeychainHelper::Read{});
    const std::optional<LiveConnection> live = resolveLiveConnection(sales.id, presets);
    ASSERT_TRUE(live);
    const QString refused =
        QStringLiteral("FATAL: password authentication failed for user \"ann\"");
    EXPECT_EQ(withKeychainCause(refused, *live),
              refused + QStringLiteral("\nNo password came from the keychain for the connection "
                                       "\"Sales\" (none is stored for it, or the keyring stayed "
                                       "locked), so none was sent for the user \"ann\". Type the "
                                       "password in the connection's Edit sheet and Save, or "
                                       "unlock the keyring and try again."));
}

// Runs under with-secret-service.sh --prompt-display: the login keyring locked, with its unlock
// prompt on a display where nobody answers it, as when it is behind the window or on another
// screen. The wait ends at its deadline, saying that the keyring did not answer; the keychain's
// job, given up on, is left to end by itself.
TEST(QtKeychainHelper, ALockedKeyringWhosePromptNobodyAnswersEndsAtTheDeadline)
{
    requireSecretService();
    if (testing::Test::IsSkipped())
        return;
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        GTEST_SKIP() << "no display for the keyring's unlock prompt (Xvfb is not installed)";
    QtKeychainHelper keychain;
    const QString account = idText(newId());
    ASSERT_EQ(keychain.setPassword(u"stored"_s, account), QString());
    QProcess lock;
    lock.start(u"dbus-send"_s,
               {u"--session"_s, u"--print-reply"_s, u"--dest=org.freedesktop.secrets"_s,
                u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service.Lock"_s,
                u"array:objpath:/org/freedesktop/secrets/collection/login"_s});
    ASSERT_TRUE(lock.waitForFinished(30000));
    ASSERT_EQ(lock.exitCode(), 0) << lock.readAllStandardError().toStdString();

    KeychainWait::setDeadline(std::chrono::seconds(3));
    const KeychainHelper::Read read = keychain.readPassword(account);
    KeychainWait::setDeadline({});
    EXPECT_EQ(read,
              (KeychainHelper::Read{std::nullopt, u"the keyring did not answer within 3 seconds"_s,
                                    KeychainHelper::Failure::noAnswer}));
}
