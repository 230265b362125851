#include "TestSupport.h"
#include "engine/QtKeychainHelper.h"
#include "model/Identifiers.h"

#include <gtest/gtest.h>
#include <iostream>

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

// Runs under with-secret-service.sh --without: a D-Bus session in which no keyring service runs.
TEST(QtKeychainHelper, WithoutASecretServiceSaysWhyNothingIsStoredOrRead)
{
    if (!qEnvironmentVariableIsSet("QUILLMARK_NO_SECRET_SERVICE"))
        GTEST_SKIP() << "not run by with-secret-service.sh --without";

    QtKeychainHelper keychain;
    const QString account = idText(newId());
    const QString stored = keychain.setPassword(QStringLiteral("secret"), account);
    EXPECT_FALSE(stored.isEmpty()) << "a password that is not kept must say why";
    const KeychainHelper::Read read = keychain.readPassword(account);
    EXPECT_EQ(read.password, std::nullopt);
    EXPECT_FALSE(read.error.isEmpty()) << "a keychain that cannot be read must say why";
    std::cout << "store: " << stored.toStdString() << "\nread: " << read.error.toStdString()
              << '\n';
}
