#include "TestSupport.h"
#include "engine/QtKeychainHelper.h"
#include "model/Identifiers.h"

#include <gtest/gtest.h>

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
