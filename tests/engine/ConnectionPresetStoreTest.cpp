#include "engine/ConnectionPresetStore.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/KeychainWait.h"
#include "engine/LiveConnection.h"
#include "engine/QtKeychainHelper.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

void PrintTo(const DatabaseConnection &c, std::ostream *os)
{
    *os << encodeConnections({c}).toStdString();
}

namespace {

DatabaseConnection preset(const QString &name)
{
    return {newId(), name, DatabaseType::postgres, u"db"_s, 5432, {}, {}};
}

class ConnectionPresetStoreTest : public ::testing::Test {
protected:
    // The stored list, read and written through the store's own settings object.
    QByteArray stored() const { return settings.value(key).toByteArray(); }
    void store(const QByteArray &bytes) { settings.setValue(key, bytes); }

    const QString key = ConnectionPresetStore::settingsKey;
    const QString unreadableKey = ConnectionPresetStore::unreadableSettingsKey;
    QTemporaryDir dir;
    QSettings settings{dir.filePath(u"settings.ini"_s), QSettings::IniFormat};
    InMemoryKeychain keychain;
};

} // namespace

TEST_F(ConnectionPresetStoreTest, LoadsAStoredListAndWritesItBackCompactWithUpperCaseIds)
{
    // Pretty-printed, ids in either case, a port with a fraction of zero and a key the store does
    // not know.
    store(R"([
      {"id": "6f9619ff-8b86-d011-b42d-00c04fc964ff", "name": "Prod", "type": "sqlserver",
       "host": "sql01", "port": 1433, "database": "", "username": "", "comment": "ignored"},
      {"id": "0E984725-C51C-4BF4-9960-E1C80E27ABA0", "name": "Local", "type": "postgres",
       "host": "localhost", "port": 5432.0, "database": "test", "username": "me"}])");
    ConnectionPresetStore presets(settings, keychain);
    EXPECT_EQ(
        stored(),
        R"([{"database":"","host":"sql01","id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",)"
        R"("name":"Prod","port":1433,"type":"sqlserver","username":""},)"
        R"({"database":"test","host":"localhost","id":"0E984725-C51C-4BF4-9960-E1C80E27ABA0",)"
        R"("name":"Local","port":5432,"type":"postgres","username":"me"}])");
    EXPECT_FALSE(settings.contains(unreadableKey));
}

TEST_F(ConnectionPresetStoreTest, AnUnreadableListLoadsEmptyAndIsCopiedAside)
{
    const QByteArray id = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    const QByteArray valid = R"({"id":")" + id +
                             R"(","name":"A","type":"postgres",)"
                             R"("host":"h","port":5432,"database":"d","username":"u"})";
    // Replacements that break an entry, which then follows the valid one in a list.
    const std::pair<QByteArray, QByteArray> breaks[] = {
        {R"("username")", R"("user")"}, {"postgres", "mysql"}, {"5432", "5432.5"},
        {id, '{' + id + '}'},           {R"("A")", "7"},       {valid, "null"}};
    QList<QByteArray> unreadable = {valid, '[' + valid}; // not a list, not JSON
    for (const auto &[from, to] : breaks)
        unreadable.append('[' + valid + ',' + QByteArray(valid).replace(from, to) + ']');
    for (const QByteArray &bytes : unreadable) {
        SCOPED_TRACE(bytes.toStdString());
        store(bytes);
        {
            ConnectionPresetStore presets(settings, keychain);
            EXPECT_TRUE(presets.connections().isEmpty());
            EXPECT_EQ(stored(), bytes) << "left as it was until the next change";
            EXPECT_EQ(settings.value(unreadableKey).toByteArray(), bytes);
            presets.add(preset(u"New"_s), QString());
        }
        EXPECT_EQ(ConnectionPresetStore(settings, keychain).connections().size(), 1);
        EXPECT_EQ(settings.value(unreadableKey).toByteArray(), bytes) << "the copy outlives it";
    }
}

TEST_F(ConnectionPresetStoreTest, ChangesKeepPasswordsInTheKeychainOnlyAndTabsResolveThem)
{
    ConnectionPresetStore presets(settings, keychain);
    int changes = 0;
    QObject::connect(&presets, &ConnectionPresetStore::connectionsChanged, [&] { ++changes; });
    const DatabaseConnection first = preset(u"First"_s);
    DatabaseConnection second = preset(u"Second"_s);
    second.type = DatabaseType::sqlserver;
    presets.add(first, QString());
    presets.add(second, u"s3cr3t-pässword"_s);
    const QString account = idText(second.id);
    EXPECT_EQ(keychain.accounts(), QStringList{account}) << "an empty password stores no item";
    EXPECT_FALSE(testsupport::readFile(settings.fileName()).contains("s3cr3t"));
    ConnectionPresetStore reloaded(settings, keychain);
    EXPECT_EQ(reloaded.connections(), (QList<DatabaseConnection>{first, second}));
    EXPECT_EQ(resolveLiveConnection(first.id, reloaded), (LiveConnection{first, QString(), {}}));

    // An update keeps the password unless given a non-empty one.
    second.username = u"admin"_s;
    presets.update(second, std::nullopt);
    presets.update(second, QString());
    EXPECT_EQ(keychain.password(account), u"s3cr3t-pässword"_s);
    EXPECT_EQ(ConnectionPresetStore(settings, keychain).connections().at(1), second);
    presets.update(second, u"new"_s);
    EXPECT_EQ(keychain.password(account), u"new"_s);

    // Updating a preset that is not in the list: no change, no write, no password, no signal.
    store("untouched");
    presets.update(preset(u"Stranger"_s), u"pw"_s);
    EXPECT_EQ(stored(), "untouched");
    EXPECT_EQ(keychain.accounts(), QStringList{account});
    EXPECT_EQ(changes, 5);

    // A report tab resolves the preset it has chosen, until that is removed.
    DocumentStore tab;
    EXPECT_EQ(resolveLiveConnection(tab, presets), std::nullopt) << "no chosen preset";
    tab.setActiveConnectionID(second.id);
    EXPECT_EQ(resolveLiveConnection(tab, presets), (LiveConnection{second, u"new"_s, {}}));
    presets.add(second, QString()); // a second entry with the same id
    presets.remove(second.id);
    EXPECT_EQ(presets.connections(), QList<DatabaseConnection>{first});
    EXPECT_EQ(decodeConnections(stored()), presets.connections());
    EXPECT_TRUE(keychain.accounts().isEmpty());
    EXPECT_EQ(resolveLiveConnection(tab, presets), std::nullopt) << "a removed preset";

    // Removing an unknown id still writes the list and deletes a stray password.
    keychain.setPassword(u"stray"_s, account);
    store("stale");
    presets.remove(second.id);
    EXPECT_EQ(decodeConnections(stored()), presets.connections());
    EXPECT_EQ(keychain.password(account), std::nullopt);
    EXPECT_EQ(changes, 7);
}

// What the app's keychain makes of each outcome of QtKeychain's read, and what a run whose login
// the database refused then says of it. A keyring whose unlock prompt was cancelled reads, on the
// Secret Service, as a password never stored (EntryNotFound): that sentence names both, and every
// sentence gives both ways out. A stored password the database refused names the connection and
// where to correct it. A failure that is not a refused login stays as it is.
TEST(KeychainAnswers, EachReadOutcomeSaysWhatHappenedWhenTheLoginIsRefused)
{
    using Failure = KeychainHelper::Failure;
    const DatabaseConnection sales{
        QUuid::createUuid(), u"Sales"_s, DatabaseType::postgres, u"db.local"_s, 5432,
        u"sales"_s,          u"ann"_s};
    const QString typeIt = u"type the password in the connection's Edit sheet and Save"_s;
    const QString noPassword =
        u"No password came from the keychain for the connection \"Sales\" (none is stored for "
        u"it, or the keyring stayed locked), so none was sent for the user \"ann\". Type the "
        u"password in the connection's Edit sheet and Save, or unlock the keyring and try "
        u"again."_s;
    const QString startOne = u"Start a keyring service (Secret Service) and try again, or "_s +
                             typeIt +
                             u" (without a keyring service it is kept until Quillmark quits)."_s;
    const auto failed = [](const QString &what, const QString &reason,
                           const QString &ways) -> QString {
        return what + u" ("_s + reason +
               u"), so no password came from it for the connection \"Sales\" and none was sent. "_s +
               ways;
    };
    const struct {
        QKeychain::Error error;
        QString errorString;
        QByteArray data;
        KeychainHelper::Read read;
        QString cause; // what follows the refused login
    } outcomes[] = {
        {QKeychain::NoError,
         {},
         "pw",
         {u"pw"_s, {}, Failure::none},
         u"The database server refused the user name and password stored for the connection "
         u"\"Sales\" (user \"ann\"). Type the right ones in the connection's Edit sheet and "
         u"Save, then try again."_s},
        {QKeychain::NoError, {}, "\xff\xfe", {}, noPassword},
        {QKeychain::EntryNotFound, u"Entry not found"_s, {}, {}, noPassword},
        {QKeychain::AccessDenied,
         u"Cannot get secret of a locked object"_s,
         {},
         {std::nullopt, u"Cannot get secret of a locked object"_s, Failure::locked},
         failed(u"The keyring is locked or refused access"_s,
                u"Cannot get secret of a locked object"_s,
                u"Unlock the keyring and try again, or "_s + typeIt + u'.')},
        {QKeychain::AccessDeniedByUser,
         u"User canceled the operation."_s,
         {},
         {std::nullopt, u"User canceled the operation."_s, Failure::denied},
         failed(u"Access to the keychain was denied"_s, u"User canceled the operation."_s,
                u"Allow Quillmark to use the keychain and try again, or "_s + typeIt + u'.')},
        {QKeychain::NoBackendAvailable,
         u" "_s,
         {},
         {std::nullopt, u"the keychain gave no reason"_s, Failure::noService},
         failed(u"No keyring service answered"_s, u"the keychain gave no reason"_s, startOne)},
        // No keyring service to reach: no D-Bus session at all (none running, or none that can
        // be started without a display), or one in which nothing provides the Secret Service.
        {QKeychain::OtherError,
         u"Could not connect: No such file or directory"_s,
         {},
         {std::nullopt, u"Could not connect: No such file or directory"_s, Failure::noService},
         failed(u"No keyring service answered"_s, u"Could not connect: No such file or directory"_s,
                startOne)},
        {QKeychain::OtherError,
         u"Cannot autolaunch D-Bus without X11 $DISPLAY"_s,
         {},
         {std::nullopt, u"Cannot autolaunch D-Bus without X11 $DISPLAY"_s, Failure::noService},
         failed(u"No keyring service answered"_s, u"Cannot autolaunch D-Bus without X11 $DISPLAY"_s,
                startOne)},
        {QKeychain::OtherError,
         u"The name org.freedesktop.secrets was not provided by any .service files"_s,
         {},
         {std::nullopt,
          u"The name org.freedesktop.secrets was not provided by any .service files"_s,
          Failure::noService},
         failed(u"No keyring service answered"_s,
                u"The name org.freedesktop.secrets was not provided by any .service files"_s,
                startOne)},
        {QKeychain::OtherError,
         u"D-Bus timed out"_s,
         {},
         {std::nullopt, u"D-Bus timed out"_s, Failure::other},
         failed(u"The keychain could not give the password"_s, u"D-Bus timed out"_s,
                u"Unlock the keyring and try again, or "_s + typeIt + u'.')},
    };
    const QString refused = u"FATAL: password authentication failed for user \"ann\""_s;
    const QString elsewhere = u"Connection to db.local:5432 refused."_s;
    for (const auto &outcome : outcomes) {
        SCOPED_TRACE(int(outcome.error));
        const KeychainHelper::Read read =
            QtKeychainHelper::readResult(outcome.error, outcome.errorString, outcome.data);
        EXPECT_EQ(read, outcome.read);
        const LiveConnection live{sales, read.password.value_or(QString()), read.error,
                                  read.failure};
        EXPECT_EQ(withKeychainCause(refused, live), refused + u'\n' + outcome.cause);
        EXPECT_EQ(withKeychainCause(elsewhere, live), elsewhere);
    }
}

// A keyring that holds back its answer, as one does whose unlock prompt nobody has answered (it
// may be behind the window, or on another screen). A quick answer shows nothing; a late one shows
// the wait until it comes. The user may call the wait off, which calls off the work that asked;
// past the deadline the wait ends by itself, and a refused login then says that the keyring did
// not answer and that the password can be typed instead. A write waits the same way.
TEST_F(ConnectionPresetStoreTest, AHeldKeyringAnswerIsWaitedForShownWhenLateAndEndsInWords)
{
    using Failure = KeychainHelper::Failure;
    struct RecordingView : KeychainWait::View {
        void show(std::function<void()> cancelWait) override
        {
            ++shown;
            cancel = std::move(cancelWait);
            if (whenShown)
                QTimer::singleShot(0, whenShown);
        }
        void hide() override { ++hidden; }
        int shown = 0;
        int hidden = 0;
        std::function<void()> cancel;
        std::function<void()> whenShown;
    } view;
    KeychainWait::setView(&view);
    ConnectionPresetStore presets(settings, keychain);
    const DatabaseConnection sales{
        newId(), u"Sales"_s, DatabaseType::postgres, u"db.local"_s, 5432, u"sales"_s, u"ann"_s};
    presets.add(sales, u"stored"_s);
    const KeychainHelper::Read stored{u"stored"_s, {}};
    const KeychainHelper::Read cancelled{std::nullopt, u"the wait for the keyring was cancelled"_s,
                                         Failure::cancelled};
    const KeychainHelper::Read unanswered{
        std::nullopt, u"the keyring did not answer within 1 second"_s, Failure::noAnswer};
    KeychainWait::setDeadline(std::chrono::seconds(1));
    std::optional<KeychainHelper::Read> secondRead;
    const struct {
        const char *name;
        bool answerAtOnce;
        std::function<void()> whenShown;
        KeychainHelper::Read read;
        int shown;
    } rounds[] = {
        {"answered at once", true, {}, stored, 0},
        {"answered late", false, [&] { keychain.answer(); }, stored, 1},
        // Another read while one waits: both wait under the one view, and both are answered.
        {"a second read meanwhile", false,
         [&] {
             QTimer::singleShot(50, [&] { keychain.answer(); });
             secondRead = keychain.readPassword(KeychainHelper::account(sales.id));
         },
         stored, 1},
        {"cancelled", false, [&] { view.cancel(); }, cancelled, 1},
        {"past the deadline", false, {}, unanswered, 1},
    };
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.name);
        view = {};
        view.whenShown = round.whenShown;
        keychain.holdAnswers();
        if (round.answerAtOnce)
            QTimer::singleShot(0, [&] { keychain.answer(); });
        DocumentStore tab;
        tab.setActiveConnectionID(sales.id);
        const std::optional<LiveConnection> live = resolveLiveConnection(tab, presets);
        ASSERT_TRUE(live);
        EXPECT_EQ(live->password, round.read.password.value_or(QString()));
        EXPECT_EQ(live->keychainError, round.read.error);
        EXPECT_EQ(live->keychainFailure, round.read.failure);
        EXPECT_EQ(view.shown, round.shown);
        EXPECT_EQ(view.hidden, round.shown) << "the view goes with the wait";
        EXPECT_FALSE(KeychainWait::isWaiting());
        EXPECT_EQ(calledOff(live), round.read.failure == Failure::cancelled);
        keychain.answer();
    }
    EXPECT_EQ(secondRead, stored);

    const QString refused = u"FATAL: password authentication failed for user \"ann\""_s;
    EXPECT_EQ(
        withKeychainCause(refused, LiveConnection{sales, {}, unanswered.error, unanswered.failure}),
        refused + u"\nThe keychain could not give the password (the keyring did not answer "
                  u"within 1 second), so no password came from it for the connection "
                  u"\"Sales\" and none was sent. Type the password in the connection's Edit "
                  u"sheet and Save, or answer the keyring's unlock prompt (it may be behind "
                  u"a window or on another screen) and try again."_s);

    // A write called off keeps the old password, and says why the new one is not kept.
    view = {};
    view.whenShown = [&] { view.cancel(); };
    keychain.holdAnswers();
    EXPECT_EQ(keychain.setPassword(u"new"_s, KeychainHelper::account(sales.id)), cancelled.error);
    keychain.answer();
    EXPECT_EQ(presets.password(sales.id), u"stored"_s);

    KeychainWait::setDeadline({});
    KeychainWait::setView(nullptr);
}
