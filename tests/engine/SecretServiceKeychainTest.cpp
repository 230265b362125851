#include "ConnectionPrinters.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/QtKeychainHelper.h"

#include <QDir>
#include <QDirIterator>
#include <QSettings>
#include <QTemporaryDir>
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

// Every file below the home folder whose bytes hold the text.
QStringList filesHolding(const QByteArray &text)
{
    QStringList found;
    QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            found << file.fileName();
    }
    return found;
}

} // namespace

TEST(QtKeychainHelper, StoresReadsAndDeletesThroughTheSecretService)
{
    requireSecretService();
    if (testing::Test::IsSkipped())
        return;

    QtKeychainHelper keychain;
    const QString account = idText(newId());
    const QString password = QStringLiteral("Sekr3t-Pässwort-€");
    EXPECT_EQ(keychain.password(account), std::nullopt);
    keychain.deletePassword(account); // deleting a missing item is quiet

    keychain.setPassword(password, account);
    EXPECT_EQ(keychain.password(account), password);
    EXPECT_EQ(keychain.password(idText(newId())), std::nullopt) << "another account";
    EXPECT_EQ(filesHolding(password.toUtf8()), QStringList())
        << "the password is kept encrypted by the keyring, never as plain text";

    keychain.setPassword(QStringLiteral("second"), account);
    EXPECT_EQ(keychain.password(account), u"second");
    keychain.deletePassword(account);
    EXPECT_EQ(keychain.password(account), std::nullopt);

    // The whole way a run takes: a preset added with a password, resolved, then removed.
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    ConnectionPresetStore presets(settings, keychain);
    DatabaseConnection preset;
    preset.name = QStringLiteral("Warehouse");
    presets.add(preset, password);
    EXPECT_EQ(resolveLiveConnection(preset.id, presets), (LiveConnection{preset, password}));
    presets.remove(preset.id);
    EXPECT_EQ(keychain.password(idText(preset.id)), std::nullopt);
}
