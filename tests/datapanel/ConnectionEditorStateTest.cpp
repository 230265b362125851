#include "datapanel/ConnectionEditorState.h"
#include "StoreTestSupport.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/LiveConnection.h"

#include <QSettings>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The editor's state against a real preset store on an in-memory keychain and a real report.
class ConnectionEditorStateTest : public storetest::StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        settings = std::make_unique<QSettings>(settingsDir.filePath(u"presets.ini"_s),
                                               QSettings::IniFormat);
        connections = std::make_unique<ConnectionPresetStore>(*settings, keychain);
    }

    // The stored preset of that id.
    std::optional<DatabaseConnection> stored(const QUuid &id) const
    {
        for (const DatabaseConnection &c : connections->connections())
            if (c.id == id)
                return c;
        return std::nullopt;
    }

    InMemoryKeychain keychain;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<ConnectionPresetStore> connections;
    ConnectionEditorState state;
    const DatabaseConnection sales{
        QUuid::createUuid(), u"Sales"_s, DatabaseType::postgres, u"db.local"_s, 6543,
        u"sales"_s,          u"ann"_s};
};

TEST_F(ConnectionEditorStateTest, AddingStartsFromANamedBlankPresetWhateverCameBefore)
{
    EXPECT_FALSE(state.isVisible());
    EXPECT_EQ(state.connection().host, u"localhost"_s) << "the initial preset";
    EXPECT_EQ(state.connection().port, 5432);
    EXPECT_TRUE(state.connection().name.isEmpty());

    state.startEditing(sales, u"pw"_s);
    state.chooseInputMode(ConnectionInputMode::url);
    state.setUrlText(u"jdbc:mysql://x"_s);
    state.applyURL();
    state.setVisible(false);
    EXPECT_EQ(state.urlText(), u"jdbc:mysql://x"_s) << "closing resets nothing";

    QSignalSpy shown(&state, &ConnectionEditorState::visibleChanged);
    state.startAdding();
    const DatabaseConnection &added = state.connection();
    EXPECT_NE(added.id, sales.id);
    EXPECT_FALSE(added.id.isNull());
    EXPECT_EQ(added.name, u"New Connection"_s);
    EXPECT_EQ(added.type, DatabaseType::postgres);
    EXPECT_EQ(added.host, u"localhost"_s);
    EXPECT_EQ(added.port, 5432);
    EXPECT_TRUE(added.database.isEmpty());
    EXPECT_TRUE(added.username.isEmpty());
    EXPECT_TRUE(state.password().isEmpty());
    EXPECT_TRUE(state.isNew());
    EXPECT_EQ(state.inputMode(), ConnectionInputMode::fields);
    EXPECT_TRUE(state.urlText().isEmpty());
    EXPECT_EQ(state.urlParseMessage(), std::nullopt);
    EXPECT_TRUE(state.isVisible());
    EXPECT_EQ(shown.count(), 1);

    const QUuid first = state.connection().id;
    state.startAdding();
    EXPECT_NE(state.connection().id, first) << "every addition is a new preset";
}

TEST_F(ConnectionEditorStateTest, EditingCopiesThePresetAndItsURLWithoutTheUser)
{
    state.startEditing(sales, u"secret"_s);
    EXPECT_EQ(state.connection(), sales);
    EXPECT_EQ(state.password(), u"secret"_s);
    EXPECT_FALSE(state.isNew());
    EXPECT_EQ(state.urlText(), u"jdbc:postgresql://db.local:6543/sales"_s);

    DatabaseConnection server = sales;
    server.type = DatabaseType::sqlserver;
    server.port = 1433;
    state.startEditing(server, QString());
    EXPECT_TRUE(state.urlText().startsWith(u"jdbc:sqlserver://"_s));
    EXPECT_TRUE(state.urlText().contains(u"databaseName=sales;"_s));
    EXPECT_FALSE(state.urlText().contains(u"ann"_s)) << "the user name is never in the URL";
}

TEST_F(ConnectionEditorStateTest, ChoosingURLModeFillsTheURLFromTheFieldsAsTheyAreNow)
{
    state.startEditing(sales, QString());
    DatabaseConnection edited = state.connection();
    edited.host = u"other.host"_s;
    edited.database.clear();
    state.setConnection(edited);
    state.setUrlText(u"typed"_s);
    state.applyURL();
    ASSERT_TRUE(state.urlParseMessage().has_value());

    state.chooseInputMode(ConnectionInputMode::url);
    EXPECT_EQ(state.inputMode(), ConnectionInputMode::url);
    EXPECT_EQ(state.urlText(), u"jdbc:postgresql://other.host:6543"_s);
    EXPECT_EQ(state.urlParseMessage(), std::nullopt);

    state.setUrlText(u"jdbc:sqlserver://x"_s);
    state.chooseInputMode(ConnectionInputMode::fields);
    EXPECT_EQ(state.inputMode(), ConnectionInputMode::fields);
    EXPECT_EQ(state.urlText(), u"jdbc:sqlserver://x"_s) << "choosing Fields only switches";
    EXPECT_EQ(state.connection().host, u"other.host"_s);
}

TEST_F(ConnectionEditorStateTest, ApplyTakesTheAddressAndOnlyTheCredentialsTheURLCarries)
{
    state.startEditing(sales, u"kept"_s);
    state.chooseInputMode(ConnectionInputMode::url);

    state.setUrlText(u"  jdbc:sqlserver://mssql.example:1444;databaseName=erp;  "_s);
    state.applyURL();
    EXPECT_EQ(state.connection().type, DatabaseType::sqlserver);
    EXPECT_EQ(state.connection().host, u"mssql.example"_s);
    EXPECT_EQ(state.connection().port, 1444);
    EXPECT_EQ(state.connection().database, u"erp"_s);
    EXPECT_EQ(state.connection().username, u"ann"_s) << "the URL named no user";
    EXPECT_EQ(state.password(), u"kept"_s);
    EXPECT_EQ(state.connection().name, u"Sales"_s);
    EXPECT_EQ(state.connection().id, sales.id);
    EXPECT_EQ(state.urlParseMessage(),
              u"Parsed - Host/Port/Database updated below (and Username/Password too, if the URL "
              u"included them)."_s);
    EXPECT_EQ(state.inputMode(), ConnectionInputMode::url);

    state.setUrlText(u"jdbc:postgresql://pg:5433/stock?user=bob&password=p%40ss"_s);
    state.applyURL();
    EXPECT_EQ(state.connection().username, u"bob"_s);
    EXPECT_FALSE(state.password().isEmpty());
    EXPECT_NE(state.password(), u"kept"_s) << "the URL's password fills the field";

    const DatabaseConnection before = state.connection();
    const QString password = state.password();
    for (const QString &bad : {u"jdbc:mysql://pg:3306/stock"_s, u"postgresql://pg/stock"_s}) {
        state.setUrlText(bad);
        state.applyURL();
        EXPECT_EQ(state.urlParseMessage(),
                  u"Doesn't look like a jdbc:postgresql:// or jdbc:sqlserver:// URL."_s);
        EXPECT_EQ(state.connection(), before) << bad.toStdString();
        EXPECT_EQ(state.password(), password);
        EXPECT_EQ(state.inputMode(), ConnectionInputMode::url);
        EXPECT_EQ(state.urlText(), bad);
    }
}

// The keychain account of a preset is its id as upper-case text without braces, whoever writes
// or reads it: the save, the preset store and the run's live connection.
TEST_F(ConnectionEditorStateTest, SavingANewPresetAddsItStoresItsPasswordAndMakesItActive)
{
    store.setIsDirty(false);
    state.startAdding();
    DatabaseConnection edited = state.connection();
    edited.name = u"Warehouse"_s;
    edited.database = u"stock"_s;
    state.setConnection(edited);
    state.setPassword(u"hunter2"_s);
    state.save(*connections, &store);

    EXPECT_FALSE(state.isVisible());
    EXPECT_EQ(stored(edited.id), edited);
    EXPECT_EQ(store.activeConnectionID(), edited.id);
    EXPECT_FALSE(store.isDirty()) << "choosing a connection is no change of the report";
    const QString account = edited.id.toString(QUuid::WithoutBraces).toUpper();
    EXPECT_EQ(account.size(), 36);
    EXPECT_EQ(keychain.accounts(), QStringList{account});
    EXPECT_EQ(keychain.password(account), u"hunter2"_s);
    EXPECT_EQ(connections->password(edited.id), u"hunter2"_s);
    const std::optional<LiveConnection> live = resolveLiveConnection(store, *connections);
    ASSERT_TRUE(live.has_value());
    EXPECT_EQ(live->password, u"hunter2"_s);

    state.startAdding();
    const QUuid second = state.connection().id;
    state.save(*connections, &store);
    EXPECT_EQ(store.activeConnectionID(), second);
    EXPECT_EQ(keychain.accounts(), QStringList{account}) << "an empty password stores nothing";
    EXPECT_EQ(connections->connections().size(), 2);
}

TEST_F(ConnectionEditorStateTest, SavingAnEditKeepsReplacesOrKeepsThePasswordAsTheFieldSays)
{
    connections->add(sales, u"first"_s);
    store.setActiveConnectionID(std::nullopt);

    state.startEditing(sales, connections->password(sales.id));
    EXPECT_EQ(state.password(), u"first"_s);
    DatabaseConnection renamed = sales;
    renamed.name = u"Sales (old)"_s;
    state.setConnection(renamed);
    state.save(*connections, &store);
    EXPECT_EQ(stored(sales.id), renamed);
    EXPECT_EQ(connections->connections().size(), 1) << "an edit adds nothing";
    EXPECT_EQ(connections->password(sales.id), u"first"_s) << "an unchanged password stays";
    EXPECT_EQ(store.activeConnectionID(), std::nullopt) << "an edit chooses nothing";

    state.startEditing(renamed, connections->password(sales.id));
    state.setPassword(u"second"_s);
    state.save(*connections, &store);
    EXPECT_EQ(connections->password(sales.id), u"second"_s);

    state.startEditing(renamed, connections->password(sales.id));
    state.setPassword(QString());
    state.save(*connections, &store);
    EXPECT_EQ(connections->password(sales.id), u"second"_s) << "an emptied field keeps it";

    // A preset removed while its editor was open is not brought back by saving the editor.
    state.startEditing(renamed, QString());
    connections->remove(sales.id);
    state.setPassword(u"third"_s);
    state.save(*connections, &store);
    EXPECT_TRUE(connections->connections().isEmpty());
    EXPECT_TRUE(keychain.accounts().isEmpty());
    EXPECT_FALSE(state.isVisible());
}

// Without a keyring service the preset is saved and the sheet closes; its password, typed or
// taken from a JDBC URL, is kept for the session (never on disk), so every later run of this
// session sends it, and the connections list says that it has to be typed again after a restart.
TEST_F(ConnectionEditorStateTest, APasswordTheKeychainRefusesIsKeptForTheSession)
{
    keychain.setUnavailable(u"No keyring service is running"_s);
    state.startAdding();
    const QUuid id = state.connection().id;
    state.setPassword(u"hunter2"_s);
    state.save(*connections, &store);

    ASSERT_TRUE(stored(id).has_value()) << "the connection itself is saved";
    EXPECT_EQ(store.activeConnectionID(), id);
    EXPECT_FALSE(state.isVisible()) << "Save closes the sheet";
    EXPECT_EQ(connections->sessionOnlyReason(id), u"No keyring service is running"_s);
    EXPECT_EQ(ConnectionPresetStore::sessionOnlyNote(u"No keyring service is running"_s),
              u"The keychain did not keep the password (No keyring service is running). It is "
              "kept until Quillmark quits and has to be typed again after a restart; install or "
              "unlock a keyring service (Secret Service) to keep it."_s);
    std::optional<LiveConnection> live = resolveLiveConnection(store, *connections);
    ASSERT_TRUE(live.has_value());
    EXPECT_EQ(live->password, u"hunter2"_s);
    EXPECT_EQ(live->keychainError, QString());
    for (const QString &key : settings->allKeys())
        EXPECT_FALSE(settings->value(key).toString().contains(u"hunter2"_s)) << "never on disk";

    // A password in a JDBC URL goes the same way.
    state.startEditing(*stored(id), connections->password(id));
    state.chooseInputMode(ConnectionInputMode::url);
    state.setUrlText(u"jdbc:postgresql://db:5432/sales?user=ann&password=fromUrl"_s);
    state.applyURL();
    state.save(*connections, &store);
    EXPECT_FALSE(state.isVisible());
    live = resolveLiveConnection(store, *connections);
    ASSERT_TRUE(live.has_value());
    EXPECT_EQ(live->password, u"fromUrl"_s);
    EXPECT_EQ(live->connection.username, u"ann"_s);

    // Another store, as after a restart, has nothing but the keychain's reason.
    ConnectionPresetStore restarted(*settings, keychain);
    EXPECT_EQ(restarted.readPassword(id),
              (KeychainHelper::Read{std::nullopt, u"No keyring service is running"_s,
                                    KeychainHelper::Failure::noService}));
    state.startEditing(*stored(id), QString(), u"No keyring service is running"_s);
    EXPECT_EQ(state.keychainMessage(),
              u"The stored password could not be read: No keyring service is running. Install or "
              "unlock a keyring service (Secret Service) to keep it."_s);

    // Once the keychain takes it, it is the keychain's again.
    keychain.setUnavailable(QString());
    state.startEditing(*stored(id), QString());
    EXPECT_EQ(state.keychainMessage(), std::nullopt) << "a new opening starts without the line";
    state.setPassword(u"hunter3"_s);
    state.save(*connections, &store);
    EXPECT_FALSE(state.isVisible());
    EXPECT_EQ(connections->sessionOnlyReason(id), std::nullopt);
    EXPECT_EQ(restarted.password(id), u"hunter3"_s);
}

TEST_F(ConnectionEditorStateTest, EachOpeningHasASessionThatEndsWhenTheSheetCloses)
{
    EXPECT_EQ(state.session(), nullptr);
    state.startAdding();
    QPointer<QObject> first = state.session();
    ASSERT_TRUE(first);
    state.startEditing(sales, QString());
    EXPECT_FALSE(first) << "opening again ends the earlier session";
    QPointer<QObject> second = state.session();
    ASSERT_TRUE(second);
    state.setVisible(false);
    EXPECT_FALSE(second);
    EXPECT_EQ(state.session(), nullptr);
}

TEST(ConnectionDetail, TypePlainPortAndAlwaysTheSlash)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DatabaseConnection c{QUuid::createUuid(), u"A"_s,   DatabaseType::postgres, u"db"_s, 15432,
                         QString(),           QString()};
    EXPECT_EQ(connectionDetail(c), u"PostgreSQL - db:15432/"_s);
    c.type = DatabaseType::sqlserver;
    c.database = u"erp"_s;
    EXPECT_EQ(connectionDetail(c), u"SQL Server - db:15432/erp"_s);
    QLocale::setDefault(before);
    EXPECT_EQ(rawValue(ConnectionInputMode::fields), u"Fields"_s);
    EXPECT_EQ(rawValue(ConnectionInputMode::url), u"URL"_s);
}

} // namespace
