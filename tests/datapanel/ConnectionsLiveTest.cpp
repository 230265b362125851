#include "ConnectionsPanelFixture.h"
#include "EngineTestSupport.h"
#include "engine/InMemoryKeychain.h"
#include "engine/QtKeychainHelper.h"

#include <iostream>

using namespace Qt::StringLiterals;

// Against the real engine and the PostgreSQL server the engine's own tests start (sidecar/test.sh
// exports where it listens), with the system keychain when with-secret-service.sh has started a
// Secret Service for the program; skipped without the engine or the database.
namespace {

class ConnectionsLiveTest : public storetest::ConnectionsPanelTest {
protected:
    void SetUp() override
    {
        engine = testsupport::realEngine();
        if (!engine)
            GTEST_SKIP()
                << "Java or sidecar/target/sidecar.jar is missing; skipping the engine test";
        if (qEnvironmentVariable("QUILLMARK_TEST_PG_HOST").isEmpty())
            GTEST_SKIP() << "QUILLMARK_TEST_PG_HOST is not set; no PostgreSQL to connect to";
        if (qEnvironmentVariableIsSet("QUILLMARK_SECRET_SERVICE")) {
            keychain = std::make_unique<QtKeychainHelper>();
        } else {
            keychain = std::make_unique<InMemoryKeychain>();
            std::cerr << "No Secret Service ("
                      << qEnvironmentVariable("QUILLMARK_SECRET_SERVICE_SKIP",
                                              u"not run by with-secret-service.sh"_s)
                             .toStdString()
                      << "); the passwords go to an in-memory keychain\n";
        }
        model.setLocationProvider([this] { return *engine; });
        ConnectionsPanelTest::SetUp();
    }
    KeychainHelper &keychainHelper() override { return *keychain; }

    std::optional<SidecarClient::Location> engine;
    std::unique_ptr<KeychainHelper> keychain;
};

} // namespace

TEST_F(ConnectionsLiveTest, AnAddedPresetConnectsAndItsPasswordReachesTheKeychainOnSave)
{
    constexpr auto limit = std::chrono::seconds(90);
    click(u"datapanel.connections.add"_s);
    typeIn(u"name"_s, u"Sample"_s);
    clickEditor(u"input.url"_s);
    typeIn(u"url"_s, u"jdbc:postgresql://"_s + qEnvironmentVariable("QUILLMARK_TEST_PG_HOST") +
                         u':' + qEnvironmentVariable("QUILLMARK_TEST_PG_PORT") + u'/' +
                         qEnvironmentVariable("QUILLMARK_TEST_PG_DB"));
    clickEditor(u"apply"_s);
    clickEditor(u"input.fields"_s);
    typeIn(u"username"_s, qEnvironmentVariable("QUILLMARK_TEST_PG_USER"));
    typeIn(u"password"_s, u"wrong"_s);
    const QUuid id = editor().connection().id;

    clickEditor(u"test"_s);
    ASSERT_TRUE(waitForTest(limit));
    EXPECT_TRUE(text(u"connectionEditor.result"_s).startsWith(u"Failed: "_s))
        << text(u"connectionEditor.result"_s).toStdString();
    EXPECT_EQ(connections->password(id), QString()) << "a failed test stores nothing";

    const QString password = qEnvironmentVariable("QUILLMARK_TEST_PG_PASSWORD");
    typeIn(u"password"_s, password);
    clickEditor(u"test"_s);
    ASSERT_TRUE(waitForTest(limit));
    EXPECT_TRUE(text(u"connectionEditor.result"_s).startsWith(u"Connected to PostgreSQL "_s))
        << text(u"connectionEditor.result"_s).toStdString();
    EXPECT_TRUE(find<OutcomeText>(u"connectionEditor.result"_s)->isSuccess());
    EXPECT_EQ(keychain->password(id.toString(QUuid::WithoutBraces).toUpper()), std::nullopt)
        << "a tested password waits for Save";

    clickEditor(u"save"_s);
    EXPECT_EQ(keychain->password(id.toString(QUuid::WithoutBraces).toUpper()), password);
    EXPECT_EQ(store.activeConnectionID(), id);
    EXPECT_EQ(pickerChoice(), u"Sample"_s);

    // The row's test reads the password back from the keychain.
    click(row(0, u"test"_s));
    ASSERT_TRUE(waitForTest(limit));
    EXPECT_TRUE(text(row(0, u"result"_s)).startsWith(u"Connected to PostgreSQL "_s))
        << text(row(0, u"result"_s)).toStdString();

    click(row(0, u"remove"_s));
    EXPECT_EQ(keychain->password(id.toString(QUuid::WithoutBraces).toUpper()), std::nullopt);
    EXPECT_EQ(store.activeConnectionID(), std::nullopt);
}
