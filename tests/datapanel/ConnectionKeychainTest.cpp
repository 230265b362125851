#include "ConnectionsPanelFixture.h"
#include "ScriptedEngine.h"
#include "engine/QtKeychainHelper.h"

using namespace Qt::StringLiterals;

// The connection editor on the system keychain, run by with-secret-service.sh: once with a Secret
// Service of its own (QUILLMARK_SECRET_SERVICE), where passwords reach the keyring, and once with
// --without (QUILLMARK_NO_SECRET_SERVICE), where the keychain refuses them and the presets keep
// them for the session. The connection tests are answered by the scripted fake engine.
namespace {

using testsupport::ScriptedEngine;

class ConnectionKeychainTest : public storetest::ConnectionsPanelTest {
protected:
    void SetUp() override
    {
        withSecretService = qEnvironmentVariableIsSet("QUILLMARK_SECRET_SERVICE");
        if (!withSecretService && !qEnvironmentVariableIsSet("QUILLMARK_NO_SECRET_SERVICE"))
            GTEST_SKIP() << "not run by with-secret-service.sh: "
                         << qEnvironmentVariable("QUILLMARK_SECRET_SERVICE_SKIP").toStdString();
        // The fake reads its script when it starts: one answer for each test below.
        const QByteArray connected =
            ScriptedEngine::ok(R"({"productName":"PostgreSQL","productVersion":"15.4"})");
        engine.script({connected, connected, connected, connected});
        model.setLocationProvider([this] { return engine.location; });
        ConnectionsPanelTest::SetUp();
    }
    KeychainHelper &keychainHelper() override { return keychain; }

    // What the system keychain itself holds for a preset, asked afresh.
    std::optional<QString> inKeychain(const QUuid &id) const
    {
        return QtKeychainHelper().password(KeychainHelper::account(id));
    }
    void testInEditor(const QString &password)
    {
        typeIn(u"password"_s, password);
        clickEditor(u"test"_s);
        ASSERT_TRUE(waitForTest());
        ASSERT_EQ(text(u"connectionEditor.result"_s), u"Connected to PostgreSQL 15.4"_s);
    }

    bool withSecretService = false;
    ScriptedEngine engine;
    QtKeychainHelper keychain;
};

} // namespace

TEST_F(ConnectionKeychainTest, ATestedPasswordIsStoredOnlyBySave)
{
    // A new preset tested and cancelled leaves nothing anywhere.
    click(u"datapanel.connections.add"_s);
    const QUuid cancelled = editor().connection().id;
    testInEditor(u"tested"_s);
    clickEditor(u"cancel"_s);
    EXPECT_EQ(inKeychain(cancelled), std::nullopt);
    EXPECT_EQ(connections->readPassword(cancelled).password, std::nullopt);
    EXPECT_EQ(connections->sessionOnlyReason(cancelled), std::nullopt);

    // A new preset tested and saved: the keyring keeps its password, or, without one, the
    // session does and says so.
    click(u"datapanel.connections.add"_s);
    typeIn(u"name"_s, u"Sales"_s);
    const QUuid saved = editor().connection().id;
    testInEditor(u"first"_s);
    EXPECT_EQ(connections->readPassword(saved).password, std::nullopt) << "not before Save";
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->password(saved), u"first"_s);
    if (withSecretService) {
        EXPECT_EQ(inKeychain(saved), u"first"_s);
        EXPECT_EQ(connections->sessionOnlyReason(saved), std::nullopt);
    } else {
        EXPECT_EQ(inKeychain(saved), std::nullopt);
        EXPECT_TRUE(connections->sessionOnlyReason(saved).has_value());
        EXPECT_TRUE(shown(row(0, u"sessionOnly"_s)));
    }

    // Another password tested and cancelled keeps the stored one; saved, it replaces it.
    for (const QString &button : {u"cancel"_s, u"save"_s}) {
        click(row(0, u"edit"_s));
        ASSERT_EQ(field(u"password"_s)->text(), u"first"_s);
        testInEditor(u"second"_s);
        clickEditor(button);
        const QString stored = button == u"save"_s ? u"second"_s : u"first"_s;
        EXPECT_EQ(connections->password(saved), stored) << button.toStdString();
        if (withSecretService) {
            EXPECT_EQ(inKeychain(saved), stored) << button.toStdString();
        }
    }

    click(row(0, u"remove"_s));
    EXPECT_EQ(inKeychain(saved), std::nullopt);
}
