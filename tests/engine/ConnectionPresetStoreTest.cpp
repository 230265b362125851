#include "engine/ConnectionPresetStore.h"
#include "ConnectionPrinters.h"
#include "document/DocumentStore.h"
#include "engine/InMemoryKeychain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

DatabaseConnection preset(const QString &name)
{
    return {newId(), name, DatabaseType::postgres, QStringLiteral("db"), 5432, {}, {}};
}

class ConnectionPresetStoreTest : public ::testing::Test {
protected:
    QByteArray stored()
    {
        settings.sync();
        return settings.value(ConnectionPresetStore::settingsKey).toByteArray();
    }
    QByteArray keptAside() { return settings.value(unreadableKey).toByteArray(); }
    void store(const QByteArray &bytes)
    {
        settings.setValue(ConnectionPresetStore::settingsKey, bytes);
        settings.sync();
    }

    const QString unreadableKey = ConnectionPresetStore::unreadableSettingsKey;
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    InMemoryKeychain keychain;
};

} // namespace

TEST_F(ConnectionPresetStoreTest, LoadsAStoredListAndWritesItBackAtOnce)
{
    // Pretty-printed, ids in either case, a port written with a fraction of zero, a key the
    // store does not know, and no password in the keychain.
    const QByteArray handWritten = R"([
      {"id": "6F9619FF-8B86-D011-B42D-00C04FC964FF", "name": "Prod", "type": "sqlserver",
       "host": "sql01", "port": 1433, "database": "", "username": "", "comment": "ignored"},
      {"id": "0e984725-c51c-4bf4-9960-e1c80e27aba0", "name": "Local", "type": "postgres",
       "host": "localhost", "port": 5432.0, "database": "test", "username": "me"}])";
    store(handWritten);
    ConnectionPresetStore presets(settings, keychain);

    const DatabaseConnection prod{QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff"),
                                  QStringLiteral("Prod"),
                                  DatabaseType::sqlserver,
                                  QStringLiteral("sql01"),
                                  1433,
                                  {},
                                  {}};
    const DatabaseConnection local{QUuid::fromString(u"0E984725-C51C-4BF4-9960-E1C80E27ABA0"),
                                   QStringLiteral("Local"),
                                   DatabaseType::postgres,
                                   QStringLiteral("localhost"),
                                   5432,
                                   QStringLiteral("test"),
                                   QStringLiteral("me")};
    EXPECT_EQ(presets.connections(), (QList<DatabaseConnection>{prod, local}));
    EXPECT_EQ(resolveLiveConnection(prod.id, presets), (LiveConnection{prod, QString()}));

    // Written back compact: ids as upper-case text, the type as its text, the port a number.
    const QJsonObject written = QJsonDocument::fromJson(stored()).array().at(1).toObject();
    EXPECT_EQ(written, QJsonDocument::fromJson(R"({"id": "0E984725-C51C-4BF4-9960-E1C80E27ABA0",
        "name": "Local", "type": "postgres", "host": "localhost", "port": 5432,
        "database": "test", "username": "me"})")
                           .object());
    EXPECT_FALSE(stored().contains('\n'));
    EXPECT_FALSE(settings.contains(unreadableKey));
}

TEST_F(ConnectionPresetStoreTest, AnUnreadableListStartsEmptyAndIsKeptAside)
{
    const QByteArray valid =
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"A","type":"postgres",)"
        R"("host":"h","port":5432,"database":"d","username":"u"})";
    // The valid entry followed by one that is broken by a replacement.
    auto withBroken = [&](const char *from, const char *to) -> QByteArray {
        return '[' + valid + ',' + QByteArray(valid).replace(from, to) + ']';
    };
    const QList<QByteArray> unreadable = {
        withBroken(R"("username")", R"("user")"),
        withBroken("postgres", "mysql"),
        withBroken("5432", "5432.5"),
        withBroken(R"("6F9619FF-8B86-D011-B42D-00C04FC964FF")",
                   R"("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")"),
        withBroken(R"("A")", "7"),
        withBroken(valid, "null"),
        valid,
        "[" + valid,
    };
    for (const QByteArray &bytes : unreadable) {
        SCOPED_TRACE(bytes.toStdString());
        settings.remove(unreadableKey);
        store(bytes);
        {
            ConnectionPresetStore presets(settings, keychain);
            EXPECT_TRUE(presets.connections().isEmpty());
            EXPECT_EQ(stored(), bytes) << "left as it was until the next change";
            EXPECT_EQ(keptAside(), bytes);
            presets.add(preset(QStringLiteral("New")), QString());
        }
        EXPECT_EQ(ConnectionPresetStore(settings, keychain).connections().size(), 1);
        EXPECT_EQ(keptAside(), bytes) << "the copy outlives the change that replaced the list";
    }
}

TEST_F(ConnectionPresetStoreTest, AddKeepsOrderAndPutsPasswordsOnlyInTheKeychain)
{
    const DatabaseConnection first = preset(QStringLiteral("First"));
    DatabaseConnection second = preset(QStringLiteral("Second"));
    second.type = DatabaseType::sqlserver;
    {
        ConnectionPresetStore presets(settings, keychain);
        int changes = 0;
        QObject::connect(&presets, &ConnectionPresetStore::connectionsChanged, &presets,
                         [&] { ++changes; });
        presets.add(first, QString());
        EXPECT_TRUE(keychain.accounts().isEmpty()) << "an empty password stores no item";
        presets.add(second, QStringLiteral("s3cr3t-pässword"));
        EXPECT_EQ(changes, 2);
        EXPECT_EQ(keychain.accounts(), QStringList{idText(second.id)});
    }
    QFile file(settings.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("s3cr3t"));

    ConnectionPresetStore reloaded(settings, keychain);
    EXPECT_EQ(reloaded.connections(), (QList<DatabaseConnection>{first, second}));
    EXPECT_EQ(resolveLiveConnection(first.id, reloaded), (LiveConnection{first, QString()}));
    EXPECT_EQ(resolveLiveConnection(second.id, reloaded),
              (LiveConnection{second, QStringLiteral("s3cr3t-pässword")}));

    // A report tab resolves the preset it has chosen.
    DocumentStore tab;
    EXPECT_EQ(resolveLiveConnection(tab, reloaded), std::nullopt);
    tab.setActiveConnectionID(second.id);
    EXPECT_EQ(resolveLiveConnection(tab, reloaded)->connection, second);
}

TEST_F(ConnectionPresetStoreTest, UpdateReplacesThePresetAndOnlyANewPassword)
{
    ConnectionPresetStore presets(settings, keychain);
    DatabaseConnection edited = preset(QStringLiteral("Reporting"));
    presets.add(preset(QStringLiteral("Other")), QString());
    presets.add(edited, QStringLiteral("old"));
    const QString account = idText(edited.id);

    edited.username = QStringLiteral("admin");
    presets.update(edited, std::nullopt);
    EXPECT_EQ(ConnectionPresetStore(settings, keychain).connections().at(1), edited);
    EXPECT_EQ(keychain.password(account), QStringLiteral("old"));
    presets.update(edited, QString());
    EXPECT_EQ(keychain.password(account), QStringLiteral("old")) << "an empty one keeps it";
    presets.update(edited, QStringLiteral("new"));
    EXPECT_EQ(keychain.password(account), QStringLiteral("new"));

    // A preset that is not in the list: no change, no write, no keychain item, no signal.
    store("untouched");
    int changes = 0;
    QObject::connect(&presets, &ConnectionPresetStore::connectionsChanged, &presets,
                     [&] { ++changes; });
    const DatabaseConnection stranger = preset(QStringLiteral("Stranger"));
    const QList<DatabaseConnection> before = presets.connections();
    presets.update(stranger, QStringLiteral("pw"));
    EXPECT_EQ(presets.connections(), before);
    EXPECT_EQ(stored(), "untouched");
    EXPECT_EQ(keychain.accounts(), QStringList{account});
    EXPECT_EQ(changes, 0);
}

TEST_F(ConnectionPresetStoreTest, RemoveWritesAndDeletesEvenForAnUnknownId)
{
    ConnectionPresetStore presets(settings, keychain);
    const DatabaseConnection a = preset(QStringLiteral("A"));
    const DatabaseConnection b = preset(QStringLiteral("B"));
    const DatabaseConnection c = preset(QStringLiteral("C"));
    for (const DatabaseConnection &each : {a, b, c, b})
        presets.add(each, each.name);

    presets.remove(b.id);
    EXPECT_EQ(presets.connections(), (QList<DatabaseConnection>{a, c}));
    EXPECT_EQ(keychain.accounts().size(), 2);
    EXPECT_EQ(resolveLiveConnection(b.id, presets), std::nullopt) << "a removed preset";
    EXPECT_EQ(resolveLiveConnection(std::nullopt, presets), std::nullopt) << "no chosen preset";

    // An id with a stray keychain item but no preset.
    const QUuid unknown = newId();
    keychain.setPassword(QStringLiteral("stray"), idText(unknown));
    store("stale");
    presets.remove(unknown);
    EXPECT_EQ(decodeConnections(stored()), presets.connections());
    EXPECT_EQ(keychain.password(idText(unknown)), std::nullopt);
}
