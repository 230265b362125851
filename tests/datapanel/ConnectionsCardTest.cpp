#include "ConnectionsPanelFixture.h"
#include "ScriptedEngine.h"
#include "WatchedKeychain.h"
#include "WheelTurns.h"
#include "engine/InMemoryKeychain.h"
#include "engine/KeychainWait.h"
#include "widgets/AppPalettes.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using testsupport::ScriptedEngine;

const QByteArray connected =
    ScriptedEngine::ok(R"({"productName":"PostgreSQL","productVersion":"15.4"})");
const QByteArray refused = ScriptedEngine::failure("password authentication failed");

// The panel's presets on an in-memory keychain that can be watched, and the scripted fake engine
// (tools/fakesidecar): each scripted reply answers one request in turn.
class ConnectionsCardTest : public storetest::ConnectionsPanelTest {
protected:
    void SetUp() override
    {
        model.setLocationProvider([this] { return engine.location; });
        ConnectionsPanelTest::SetUp();
    }
    KeychainHelper &keychainHelper() override { return keychain; }

    void script(const QList<QByteArray> &replies) { engine.script(replies); }
    QJsonObject sentConnection(qsizetype index) const
    {
        return engine.requests().value(index)[u"params"_s][u"connection"_s].toObject();
    }
    DatabaseConnection preset(const QString &name, const QString &database = u"db"_s) const
    {
        return {QUuid::createUuid(),
                name,
                DatabaseType::postgres,
                u"pg.local"_s,
                5432,
                database,
                u"ann"_s};
    }

    ScriptedEngine engine;
    WatchedKeychain keychain;
};

} // namespace

TEST_F(ConnectionsCardTest, WithoutPresetsOnlyTheNoneChoiceAndTheAddButtonShow)
{
    EXPECT_EQ(pickerItems(), QStringList{u"None (static / empty data source)"_s});
    EXPECT_EQ(pickerChoice(), u"None (static / empty data source)"_s);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(find<QPushButton>(u"datapanel.connections.add"_s)->text(), u"Add Connection..."_s);
    EXPECT_EQ(find(u"datapanel.connections.active"_s)->width(), 320);
    EXPECT_FALSE(editorDialog()) << "the editor sheet is made when first shown";
}

TEST_F(ConnectionsCardTest, AddingSavesAPresetThatBecomesTheReportsChoiceWithoutMarkingIt)
{
    store.setIsDirty(false);
    click(u"datapanel.connections.add"_s);
    ASSERT_TRUE(editorDialog());
    EXPECT_TRUE(editorDialog()->isVisible());
    EXPECT_EQ(text(u"connectionEditor.title"_s), u"Add Connection"_s);
    EXPECT_EQ(field(u"name"_s)->text(), u"New Connection"_s);
    EXPECT_EQ(find<QComboBox>(u"connectionEditor.type"_s)->currentText(), u"PostgreSQL"_s);
    EXPECT_TRUE(find<QAbstractButton>(u"connectionEditor.input.fields"_s)->isChecked());
    EXPECT_EQ(field(u"host"_s)->text(), u"localhost"_s);
    EXPECT_EQ(field(u"port"_s)->text(), u"5432"_s);
    EXPECT_EQ(field(u"password"_s)->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(shown(u"connectionEditor.result"_s));
    EXPECT_EQ(find(u"connectionEditor"_s)->width(), 440);

    typeIn(u"name"_s, u"Warehouse"_s);
    choose(u"connectionEditor.type"_s, u"SQL Server"_s);
    typeIn(u"host"_s, u"mssql.local"_s);
    typeIn(u"port"_s, u"1433"_s);
    typeIn(u"database"_s, u"stock"_s);
    typeIn(u"username"_s, u"sa"_s);
    typeIn(u"password"_s, u"hunter2"_s);
    const QUuid id = editor().connection().id;
    clickEditor(u"save"_s);

    EXPECT_FALSE(editorDialog()->isVisible());
    ASSERT_EQ(connections->connections().size(), 1);
    const DatabaseConnection saved = connections->connections().first();
    EXPECT_EQ(saved, (DatabaseConnection{id, u"Warehouse"_s, DatabaseType::sqlserver,
                                         u"mssql.local"_s, 1433, u"stock"_s, u"sa"_s}));
    EXPECT_EQ(keychain.inner.accounts(), QStringList{id.toString(QUuid::WithoutBraces).toUpper()});
    EXPECT_EQ(connections->password(id), u"hunter2"_s);
    EXPECT_EQ(store.activeConnectionID(), id);
    EXPECT_EQ(pickerChoice(), u"Warehouse"_s);
    EXPECT_FALSE(store.isDirty());
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(text(row(0, u"name"_s)), u"Warehouse"_s);
    EXPECT_EQ(text(row(0, u"detail"_s)), u"SQL Server - mssql.local:1433/stock"_s);

    click(u"datapanel.connections.add"_s);
    clickEditor(u"cancel"_s);
    EXPECT_FALSE(editorDialog()->isVisible());
    EXPECT_EQ(connections->connections().size(), 1) << "Cancel writes nothing";
    EXPECT_EQ(store.activeConnectionID(), id);
}

// The editor's type picker takes the wheel only while the user is in it.
TEST_F(ConnectionsCardTest, TheWheelOverTheEditorChangesNothingThePointerPassesOver)
{
    click(u"datapanel.connections.add"_s);
    ASSERT_TRUE(editorDialog() && editorDialog()->isVisible());
    int tried = 0;
    EXPECT_EQ(testsupport::controlsTakingTheWheel(
                  find(u"connectionEditor"_s),
                  testsupport::stillAsItWas([&] { return editor().connection(); }), &tried),
              QStringList());
    EXPECT_EQ(tried, 1);
}

TEST_F(ConnectionsCardTest, ThePickerChoosesForTheReportAloneAndRemovingAPresetMarksTheReport)
{
    const DatabaseConnection a = preset(u"Alpha"_s), b = preset(u"Beta"_s, QString());
    connections->add(a, u"pa"_s);
    connections->add(b, u"pb"_s);
    store.setIsDirty(false);
    EXPECT_EQ(pickerItems(),
              (QStringList{u"None (static / empty data source)"_s, u"Alpha"_s, u"Beta"_s}));
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(text(row(1, u"detail"_s)), u"PostgreSQL - pg.local:5432/"_s);

    const QUrl file = QUrl::fromLocalFile(dir.filePath(u"report.jrxml"_s));
    store.save(file);
    choose(u"datapanel.connections.active"_s, u"Beta"_s);
    EXPECT_EQ(store.activeConnectionID(), b.id);
    DocumentStore reopened;
    reopened.load(file);
    EXPECT_EQ(reopened.activeConnectionID(), b.id) << "the choice is remembered for the file";
    choose(u"datapanel.connections.active"_s, u"None (static / empty data source)"_s);
    EXPECT_EQ(store.activeConnectionID(), std::nullopt);
    choose(u"datapanel.connections.active"_s, u"Alpha"_s);
    EXPECT_EQ(store.activeConnectionID(), a.id);
    EXPECT_FALSE(store.isDirty());
    EXPECT_FALSE(store.canUndo());

    store.setActiveConnectionID(QUuid::createUuid());
    EXPECT_EQ(find<QComboBox>(u"datapanel.connections.active"_s)->currentIndex(), -1)
        << "a removed preset's id chooses no item";
    store.setActiveConnectionID(b.id);
    EXPECT_EQ(pickerChoice(), u"Beta"_s);

    click(row(0, u"remove"_s)); // Alpha, not the chosen one: no question asked
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.activeConnectionID(), b.id);
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(text(row(0, u"name"_s)), u"Beta"_s);
    EXPECT_EQ(connections->password(a.id), QString()) << "its password goes with it";
    EXPECT_EQ(connections->password(b.id), u"pb"_s);

    store.setIsDirty(false);
    click(row(0, u"remove"_s));
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.activeConnectionID(), std::nullopt);
    EXPECT_EQ(pickerItems(), QStringList{u"None (static / empty data source)"_s});
    EXPECT_EQ(pickerChoice(), u"None (static / empty data source)"_s);
    EXPECT_TRUE(keychain.inner.accounts().isEmpty());
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(ConnectionsCardTest, EditingShowsTheStoredPasswordAndSaveKeepsOrReplacesIt)
{
    const DatabaseConnection a = preset(u"Alpha"_s);
    connections->add(a, u"first"_s);
    script({connected});
    model.testConnection(a, QString()); // an old outcome, cleared by opening the editor
    ASSERT_TRUE(waitForTest());
    ASSERT_TRUE(model.connectionTestResult().has_value());

    click(row(0, u"edit"_s));
    EXPECT_EQ(model.connectionTestResult(), std::nullopt);
    EXPECT_EQ(text(u"connectionEditor.title"_s), u"Edit Connection"_s);
    EXPECT_EQ(field(u"password"_s)->text(), u"first"_s);
    EXPECT_EQ(field(u"database"_s)->text(), u"db"_s);
    typeIn(u"name"_s, u"Alpha 2"_s);
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->connections().first().name, u"Alpha 2"_s);
    EXPECT_EQ(connections->connections().size(), 1);
    EXPECT_EQ(connections->password(a.id), u"first"_s);
    EXPECT_EQ(text(row(0, u"name"_s)), u"Alpha 2"_s);
    EXPECT_EQ(pickerItems().last(), u"Alpha 2"_s);
    EXPECT_EQ(store.activeConnectionID(), std::nullopt) << "saving an edit chooses nothing";

    click(row(0, u"edit"_s));
    typeIn(u"password"_s, u"second"_s);
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->password(a.id), u"second"_s);

    click(row(0, u"edit"_s));
    EXPECT_EQ(field(u"password"_s)->text(), u"second"_s);
    field(u"password"_s)->selectAll();
    QTest::keyClick(field(u"password"_s), Qt::Key_Backspace);
    EXPECT_TRUE(editor().password().isEmpty());
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->password(a.id), u"second"_s) << "an emptied field keeps the password";

    click(row(0, u"edit"_s));
    typeIn(u"host"_s, u"elsewhere"_s);
    typeIn(u"password"_s, u"third"_s);
    clickEditor(u"cancel"_s);
    EXPECT_EQ(connections->connections().first().host, u"pg.local"_s) << "Cancel discards";
    EXPECT_EQ(connections->password(a.id), u"second"_s);
    click(row(0, u"edit"_s));
    EXPECT_EQ(field(u"host"_s)->text(), u"pg.local"_s) << "Edit starts from the stored preset";
    EXPECT_EQ(field(u"password"_s)->text(), u"second"_s);
}

TEST_F(ConnectionsCardTest, URLModeShowsThePresetsURLAndApplyTakesAGoodURLOnly)
{
    const DatabaseConnection a = preset(u"Alpha"_s);
    connections->add(a, QString());
    click(row(0, u"edit"_s));
    EXPECT_TRUE(shown(u"connectionEditor.fields"_s));
    EXPECT_FALSE(shown(u"connectionEditor.urlBlock"_s));

    typeIn(u"host"_s, u"typed.host"_s);
    clickEditor(u"input.url"_s);
    EXPECT_FALSE(shown(u"connectionEditor.fields"_s));
    EXPECT_TRUE(shown(u"connectionEditor.urlBlock"_s));
    EXPECT_EQ(field(u"url"_s)->text(), u"jdbc:postgresql://typed.host:5432/db"_s);
    EXPECT_EQ(field(u"url"_s)->placeholderText(), u"jdbc:postgresql://host:port/database"_s);
    EXPECT_FALSE(shown(u"connectionEditor.urlMessage"_s));
    EXPECT_TRUE(shown(u"connectionEditor.urlHelp"_s));

    typeIn(u"url"_s, u" \t "_s);
    EXPECT_FALSE(find<QPushButton>(u"connectionEditor.apply"_s)->isEnabled());

    typeIn(u"url"_s, u"jdbc:oracle:thin:@host:1521:orcl"_s);
    clickEditor(u"apply"_s);
    EXPECT_TRUE(shown(u"connectionEditor.urlMessage"_s));
    EXPECT_EQ(text(u"connectionEditor.urlMessage"_s),
              u"Doesn't look like a jdbc:postgresql:// or jdbc:sqlserver:// URL."_s);
    EXPECT_FALSE(find<OutcomeText>(u"connectionEditor.urlMessage"_s)->isSuccess());
    EXPECT_EQ(editor().connection().host, u"typed.host"_s) << "a bad URL changes no field";

    typeIn(u"url"_s, u"jdbc:postgresql://pg.example:6000/stock?user=bob&password=pw"_s);
    clickEditor(u"apply"_s);
    EXPECT_TRUE(text(u"connectionEditor.urlMessage"_s).startsWith(u"Parsed - "_s));
    EXPECT_TRUE(find<OutcomeText>(u"connectionEditor.urlMessage"_s)->isSuccess());
    EXPECT_TRUE(shown(u"connectionEditor.urlBlock"_s)) << "the mode stays URL";
    EXPECT_EQ(field(u"username"_s)->text(), u"bob"_s);
    EXPECT_EQ(field(u"password"_s)->text(), u"pw"_s);

    clickEditor(u"input.fields"_s);
    EXPECT_EQ(field(u"host"_s)->text(), u"pg.example"_s);
    EXPECT_EQ(field(u"port"_s)->text(), u"6000"_s);
    EXPECT_EQ(field(u"database"_s)->text(), u"stock"_s);
    clickEditor(u"save"_s);
    EXPECT_EQ(text(row(0, u"detail"_s)), u"PostgreSQL - pg.example:6000/stock"_s);
    EXPECT_EQ(connections->password(a.id), u"pw"_s);
}

TEST_F(ConnectionsCardTest,
       ThePortShowsWithoutSeparatorsReadsAsAnIntegerOfTheLocaleAndIgnoresOtherText)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    connections->add(preset(u"Alpha"_s), QString());
    click(row(0, u"edit"_s));
    QLineEdit *port = field(u"port"_s);
    EXPECT_EQ(port->text(), u"5432"_s) << "a port is never shown with a thousands separator";
    EXPECT_EQ(port->width(), 80);

    typeIn(u"port"_s, u"abc"_s);
    EXPECT_EQ(editor().connection().port, 5432) << "letters leave the port alone";
    EXPECT_EQ(port->text(), u"abc"_s);
    field(u"username"_s)->setFocus(); // leaving the field shows the port again
    EXPECT_EQ(port->text(), u"5432"_s);

    typeIn(u"port"_s, u"6.543"_s);
    EXPECT_EQ(editor().connection().port, 6543);
    typeIn(u"port"_s, u"15432"_s);
    EXPECT_EQ(editor().connection().port, 15432);
    EXPECT_EQ(port->text(), u"15432"_s) << "what the user types stays as typed";
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->connections().first().port, 15432);
    EXPECT_EQ(text(row(0, u"detail"_s)), u"PostgreSQL - pg.local:15432/db"_s)
        << "the detail line never groups digits";
}

TEST_F(ConnectionsCardTest, ARowsTestShowsItsSpinnerThenItsOutcomeUnderThatRowOnly)
{
    const DatabaseConnection a = preset(u"Alpha"_s), b = preset(u"Beta"_s);
    connections->add(a, u"pa"_s);
    connections->add(b, QString());
    script({connected, refused});

    click(row(0, u"test"_s));
    EXPECT_TRUE(shown(row(0, u"spinner"_s)));
    EXPECT_FALSE(shown(row(1, u"spinner"_s)));
    EXPECT_FALSE(find<QPushButton>(row(0, u"test"_s))->isEnabled()) << "one test at a time";
    EXPECT_FALSE(find<QPushButton>(row(1, u"test"_s))->isEnabled());
    EXPECT_TRUE(find<QPushButton>(row(1, u"edit"_s))->isEnabled());
    ASSERT_TRUE(waitForTest());
    EXPECT_FALSE(shown(row(0, u"spinner"_s)));
    EXPECT_TRUE(shown(row(0, u"result"_s)));
    EXPECT_EQ(text(row(0, u"result"_s)), u"Connected to PostgreSQL 15.4"_s);
    EXPECT_TRUE(find<OutcomeText>(row(0, u"result"_s))->isSuccess());
    EXPECT_FALSE(shown(row(1, u"result"_s)));
    EXPECT_EQ(sentConnection(0)[u"password"_s], u"pa"_s);
    EXPECT_EQ(sentConnection(0)[u"host"_s], u"pg.local"_s);

    click(row(1, u"test"_s));
    EXPECT_FALSE(shown(row(0, u"result"_s))) << "starting a test clears the last outcome";
    ASSERT_TRUE(waitForTest());
    EXPECT_FALSE(shown(row(0, u"result"_s)));
    EXPECT_TRUE(shown(row(1, u"result"_s)));
    EXPECT_TRUE(text(row(1, u"result"_s)).startsWith(u"Failed: password authentication failed"_s));
    EXPECT_FALSE(find<OutcomeText>(row(1, u"result"_s))->isSuccess());
    EXPECT_EQ(sentConnection(1)[u"password"_s], QString()) << "no stored password is empty";
    EXPECT_TRUE(find<QPushButton>(row(0, u"test"_s))->isEnabled());

    // The outcome keeps its colour through a switch of appearance, and is red, not green.
    view->setPalette(AppPalettes::light());
    const QColor light = colour(row(1, u"result"_s));
    view->setPalette(AppPalettes::dark());
    const QColor dark = colour(row(1, u"result"_s));
    EXPECT_NE(dark, light);
    for (const QColor &red : {light, dark}) {
        EXPECT_GT(red.red(), 200);
        EXPECT_LT(red.green(), 100);
    }

    // Reopening the panel shows the engine's last outcome under its row again.
    openPanel();
    EXPECT_TRUE(shown(row(1, u"result"_s)));
}

TEST_F(ConnectionsCardTest, KeychainCallsWaitWithTheButtonsThatCouldReenterDisabled)
{
    const DatabaseConnection a = preset(u"Alpha"_s);
    connections->add(a, u"pa"_s);
    script({connected});
    QStringList enabledDuringCalls;
    int calls = 0;
    // While the editor is up it covers the card, so its own buttons are the ones to hold.
    keychain.onCall = [&] {
        const bool editorUp = editorDialog() && editorDialog()->isVisible();
        const QStringList names =
            editorUp
                ? QStringList{u"connectionEditor.save"_s, u"connectionEditor.cancel"_s,
                              u"connectionEditor.test"_s}
                : QStringList{row(0, u"test"_s), row(0, u"edit"_s), row(0, u"remove"_s),
                              u"datapanel.connections.add"_s, u"datapanel.connections.active"_s};
        for (const QString &name : names)
            if (QWidget *widget = find(name); widget && widget->isEnabled())
                enabledDuringCalls << name;
        ++calls;
    };

    click(row(0, u"edit"_s)); // reads the password
    typeIn(u"password"_s, u"new"_s);
    clickEditor(u"save"_s);   // writes it
    click(row(0, u"test"_s)); // reads it
    ASSERT_TRUE(waitForTest());
    click(row(0, u"remove"_s)); // deletes it
    EXPECT_EQ(calls, 4);
    EXPECT_TRUE(enabledDuringCalls.isEmpty()) << enabledDuringCalls.join(u", ").toStdString();
    EXPECT_TRUE(find<QPushButton>(u"datapanel.connections.add"_s)->isEnabled()) << "and after";
    EXPECT_EQ(sentConnection(0)[u"password"_s], u"new"_s);
}

// The keyring holds back its answer. A row's Test whose wait is called off sends nothing to the
// engine; Edit past the wait's deadline opens the editor without the password, saying that the
// keyring did not answer; once the keyring answers, Test sends the stored password.
TEST_F(ConnectionsCardTest, AKeyringWaitCalledOffTestsNothingAndOnePastItsDeadlineSaysSo)
{
    const DatabaseConnection a = preset(u"Alpha"_s);
    connections->add(a, u"pa"_s);
    script({connected});
    keychain.inner.holdAnswers();
    QTimer::singleShot(0, &KeychainWait::cancelAll);
    click(row(0, u"test"_s));
    EXPECT_FALSE(model.isTestingConnection());
    EXPECT_FALSE(shown(row(0, u"result"_s)));
    EXPECT_TRUE(find<QPushButton>(row(0, u"test"_s))->isEnabled());

    KeychainWait::setDeadline(std::chrono::seconds(1));
    click(row(0, u"edit"_s));
    KeychainWait::setDeadline({});
    ASSERT_TRUE(editorDialog() && editorDialog()->isVisible());
    EXPECT_EQ(field(u"password"_s)->text(), QString());
    EXPECT_EQ(editor().keychainMessage(),
              u"The stored password could not be read: the keyring did not answer within 1 "
              u"second. "_s +
                  ConnectionEditorState::keyringAdvice);
    clickEditor(u"cancel"_s);

    keychain.inner.answer();
    click(row(0, u"test"_s));
    ASSERT_TRUE(waitForTest());
    EXPECT_EQ(engine.requests().size(), 1) << "the called-off test sent nothing";
    EXPECT_EQ(sentConnection(0)[u"password"_s], u"pa"_s);
}

// A successful test stores nothing: the tested password stays in the editor until Save, so Cancel
// leaves no password behind for a new preset and keeps the stored one of an existing preset.
TEST_F(ConnectionsCardTest, ATestedPasswordIsStoredOnlyBySave)
{
    script({connected, connected, connected});
    click(u"datapanel.connections.add"_s);
    typeIn(u"database"_s, u"sample"_s);
    typeIn(u"password"_s, u"tested"_s);
    const QUuid id = editor().connection().id;
    clickEditor(u"test"_s);
    EXPECT_TRUE(shown(u"connectionEditor.spinner"_s));
    EXPECT_FALSE(find<QPushButton>(u"connectionEditor.test"_s)->isEnabled());
    ASSERT_TRUE(waitForTest());
    EXPECT_FALSE(shown(u"connectionEditor.spinner"_s));
    EXPECT_EQ(text(u"connectionEditor.result"_s), u"Connected to PostgreSQL 15.4"_s);
    EXPECT_TRUE(find<OutcomeText>(u"connectionEditor.result"_s)->isSuccess());
    EXPECT_EQ(sentConnection(0)[u"database"_s], u"sample"_s) << "the unsaved edits are tested";
    EXPECT_EQ(sentConnection(0)[u"password"_s], u"tested"_s);
    EXPECT_TRUE(keychain.inner.accounts().isEmpty()) << "nothing is stored before Save";
    EXPECT_EQ(field(u"password"_s)->text(), u"tested"_s) << "the editor keeps it";

    clickEditor(u"cancel"_s);
    EXPECT_TRUE(connections->connections().isEmpty());
    EXPECT_TRUE(keychain.inner.accounts().isEmpty()) << "no password of a preset never saved";
    EXPECT_EQ(connections->password(id), QString());

    click(u"datapanel.connections.add"_s);
    EXPECT_FALSE(shown(u"connectionEditor.result"_s)) << "a new opening clears the outcome";
    clickEditor(u"cancel"_s);

    // An existing preset: a new password tested, then cancelled, leaves the stored one.
    const DatabaseConnection a = preset(u"Alpha"_s);
    connections->add(a, u"stored"_s);
    click(row(0, u"edit"_s));
    typeIn(u"password"_s, u"new"_s);
    clickEditor(u"test"_s);
    ASSERT_TRUE(waitForTest());
    EXPECT_EQ(sentConnection(1)[u"password"_s], u"new"_s);
    EXPECT_EQ(connections->password(a.id), u"stored"_s);
    clickEditor(u"cancel"_s);
    EXPECT_EQ(connections->password(a.id), u"stored"_s);

    // Save stores the tested password.
    click(row(0, u"edit"_s));
    typeIn(u"password"_s, u"new"_s);
    clickEditor(u"test"_s);
    ASSERT_TRUE(waitForTest());
    EXPECT_EQ(connections->password(a.id), u"stored"_s);
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->password(a.id), u"new"_s);
}

// The editor tests its edits, not the stored preset: an edit closed without Save, whether its
// test has answered or not, leaves no outcome under the stored preset's row, which does not have
// the tested host; a saved edit's outcome stays there.
TEST_F(ConnectionsCardTest, ACancelledEditLeavesNoTestOutcomeUnderTheStoredConnection)
{
    const DatabaseConnection a = preset(u"Alpha"_s);
    connections->add(a, u"pw"_s);
    script({refused, refused, refused, connected, connected});
    const auto editAndTest = [this](bool waitForTheAnswer) {
        click(row(0, u"edit"_s));
        typeIn(u"host"_s, u"elsewhere.local"_s);
        auto *test = find<QAbstractButton>(u"connectionEditor.test"_s);
        ASSERT_TRUE(test && test->isEnabled());
        test->click();
        if (waitForTheAnswer) {
            ASSERT_TRUE(waitForTest());
            EXPECT_TRUE(text(u"connectionEditor.result"_s).startsWith(u"Failed: "_s));
        }
    };
    // Answered, then cancelled; cancelled before the answer; and the sheet dismissed otherwise
    // (Escape, the window's close button).
    for (const QString &close : {u"cancel"_s, u"cancelEarly"_s, u"dismiss"_s}) {
        SCOPED_TRACE(close.toStdString());
        editAndTest(close != u"cancelEarly"_s);
        if (close == u"dismiss"_s)
            editorDialog()->reject();
        else
            clickEditor(u"cancel"_s);
        ASSERT_FALSE(editorDialog()->isVisible());
        ASSERT_TRUE(waitForTest());
        QApplication::processEvents();
        EXPECT_FALSE(shown(row(0, u"result"_s)));
        EXPECT_FALSE(shown(row(0, u"spinner"_s)));
        EXPECT_EQ(model.connectionTestResult(), std::nullopt);
        EXPECT_EQ(connections->connections().first().host, u"pg.local"_s);
    }
    EXPECT_EQ(engine.requests().value(1)[u"params"_s][u"connection"_s][u"host"_s],
              u"elsewhere.local"_s);

    // Saved: the tested edits are the stored preset, and the outcome shows under it.
    click(row(0, u"edit"_s));
    typeIn(u"host"_s, u"db.local"_s);
    clickEditor(u"test"_s);
    ASSERT_TRUE(waitForTest());
    clickEditor(u"save"_s);
    EXPECT_EQ(connections->connections().first().host, u"db.local"_s);
    EXPECT_EQ(text(row(0, u"result"_s)), u"Connected to PostgreSQL 15.4"_s);

    // A row's own test tests the stored preset: closing an editor does not take it back.
    click(row(0, u"test"_s));
    ASSERT_TRUE(waitForTest());
    EXPECT_EQ(text(row(0, u"result"_s)), u"Connected to PostgreSQL 15.4"_s);
}

TEST_F(ConnectionsCardTest, AnEditorTestAnsweredAfterTheEditorClosedIsDroppedSafely)
{
    script({connected, connected, connected});
    // Pressed without running the event loop, so that no answer can arrive before the editor
    // or the panel goes.
    const auto pressTest = [this] {
        auto *test = find<QAbstractButton>(u"connectionEditor.test"_s);
        ASSERT_TRUE(test && test->isEnabled());
        test->click();
    };

    // Cancelled before the answer: nothing is stored for a preset that was never saved.
    click(u"datapanel.connections.add"_s);
    typeIn(u"password"_s, u"late"_s);
    const QUuid cancelled = editor().connection().id;
    pressTest();
    clickEditor(u"cancel"_s);
    ASSERT_TRUE(waitForTest());
    QApplication::processEvents();
    EXPECT_EQ(model.connectionTestResult(), std::nullopt) << "a cancelled edit's test is void";
    EXPECT_TRUE(keychain.inner.accounts().isEmpty());
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(editorDialog()->isVisible());

    // Saved with another password before the answer: the late answer does not put the tested
    // one back over it.
    click(u"datapanel.connections.add"_s);
    typeIn(u"password"_s, u"tested"_s);
    const QUuid saved = editor().connection().id;
    pressTest();
    typeIn(u"password"_s, u"saved"_s);
    clickEditor(u"save"_s);
    ASSERT_TRUE(waitForTest());
    QApplication::processEvents();
    EXPECT_EQ(connections->password(saved), u"saved"_s);
    EXPECT_EQ(connections->password(cancelled), QString());
    EXPECT_TRUE(shown(row(0, u"result"_s))) << "the outcome belongs to the engine";

    // The whole panel closed while the engine works.
    click(row(0, u"edit"_s));
    typeIn(u"password"_s, u"gone"_s);
    pressTest();
    view.reset();
    ASSERT_TRUE(waitForTest());
    QApplication::processEvents();
    EXPECT_EQ(connections->password(saved), u"saved"_s);
}

// Without a keyring service Save closes the editor all the same; the row says that the password
// is kept until the program quits, and Test sends it.
TEST_F(ConnectionsCardTest, APasswordTheKeychainRefusesIsUsedAndTheRowSaysItIsForThisSession)
{
    keychain.inner.setUnavailable(u"No keyring service is running"_s);
    click(u"datapanel.connections.add"_s);
    ASSERT_TRUE(editorDialog());
    typeIn(u"name"_s, u"Warehouse"_s);
    typeIn(u"username"_s, u"sa"_s);
    typeIn(u"password"_s, u"hunter2"_s);
    clickEditor(u"save"_s);
    EXPECT_FALSE(editorDialog()->isVisible()) << "Save closes the editor";
    ASSERT_EQ(rowCount(), 1);
    EXPECT_TRUE(shown(row(0, u"sessionOnly"_s)));
    EXPECT_EQ(text(row(0, u"sessionOnly"_s)),
              ConnectionPresetStore::sessionOnlyNote(u"No keyring service is running"_s));

    engine.script({ScriptedEngine::ok(R"({"productName":"PostgreSQL","productVersion":"15"})")});
    click(row(0, u"test"_s));
    ASSERT_TRUE(waitForTest());
    EXPECT_EQ(engine.requests().value(0)[u"params"_s][u"connection"_s][u"password"_s],
              u"hunter2"_s);
}

// A connection added beside "New Connection" is named with the first free number after it.
TEST_F(ConnectionsCardTest, AnAddedConnectionTakesAFreeName)
{
    connections->add(preset(u"New Connection"_s), u"pw"_s);
    click(u"datapanel.connections.add"_s);
    ASSERT_TRUE(editorDialog());
    EXPECT_EQ(field(u"name"_s)->text(), u"New Connection 2"_s);
    clickEditor(u"save"_s);
    click(u"datapanel.connections.add"_s);
    EXPECT_EQ(field(u"name"_s)->text(), u"New Connection 3"_s);
}
