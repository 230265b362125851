#include "EngineJudge.h"
#include "EngineTestSupport.h"
#include "ScriptedEngine.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "datapanel/ReadFields.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using storetest::element;
using testsupport::waitFor;

namespace {

// Read Fields against the scripted fake engine (tools/fakesidecar), with the report's active
// connection a preset whose password is in the keychain. Each reply answers one request in turn.
class ReadFieldsLiveTest : public storetest::StoreTest, protected testsupport::ScriptedEngine {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        model.setLocationProvider([this] { return location; });
        settings =
            std::make_unique<QSettings>(dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
        connections = std::make_unique<ConnectionPresetStore>(*settings, keychain);
        connections->add(preset, u"secret"_s);
        store.setActiveConnectionID(preset.id);
        storetest::editDocument(store, [](ReportDocument &d) {
            d.queryString = u"select * from customers"_s;
            for (const QString &name : {u"id"_s, u"gone"_s, u"summed"_s}) {
                ReportField f;
                f.name = name;
                f.className = u"java.lang.String"_s;
                d.fields.append(f);
            }
            ReportVariable variable;
            variable.name = u"total"_s;
            variable.expression = u"$F{summed}"_s;
            d.variables.append(variable);
        });
    }

    QStringList declared() const
    {
        QStringList names;
        for (const ReportField &f : store.document().fields)
            names.append(f.name);
        return names;
    }
    // Reads and waits for the message to change from "Reading live schema...".
    void readAndWait()
    {
        ReadFields::read(&store, &model, connections.get(), &state);
        ASSERT_EQ(state.message(), u"Reading live schema..."_s);
        ASSERT_TRUE(waitFor([&] { return state.message() != u"Reading live schema..."_s; }));
    }

    PrivateWorkFolder workFolder{dir.path()};
    SidecarModel model{workFolder};
    InMemoryKeychain keychain;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<ConnectionPresetStore> connections;
    const DatabaseConnection preset{
        QUuid::createUuid(), u"Sales"_s, DatabaseType::postgres, u"db.local"_s, 5432,
        u"sales"_s,          u"ann"_s};
    ReadFieldsResultState state;
};

} // namespace

TEST_F(ReadFieldsLiveTest, ASuccessAddsTheColumnsAndSortsOutTheMissingFields)
{
    script({ok(R"({"fields":[{"name":"id","className":"java.lang.Integer"},)"
               R"({"name":"name","className":"java.lang.String"}]})")});
    state.set(u"before"_s, {u"earlier"_s});
    ReadFields::read(&store, &model, connections.get(), &state);
    EXPECT_EQ(state.message(), u"Reading live schema..."_s);
    EXPECT_EQ(state.staleFieldNames(), QStringList{u"earlier"_s}) << "kept while reading";
    EXPECT_EQ(declared(), (QStringList{u"id"_s, u"gone"_s, u"summed"_s})) << "nothing before";
    ASSERT_TRUE(waitFor([&] { return state.message() != u"Reading live schema..."_s; }));

    EXPECT_EQ(state.message(), u"Live: found 2 columns, added 1 new field. Auto-removed 1 unused "
                               u"field no longer in the query."_s);
    EXPECT_EQ(state.staleFieldNames(), QStringList{u"summed"_s});
    EXPECT_EQ(declared(), (QStringList{u"id"_s, u"summed"_s, u"name"_s}));
    EXPECT_EQ(store.document().fields.back().className, u"java.lang.String"_s);
    ASSERT_EQ(requests().size(), 1);
    const QJsonObject params = requests()[0][u"params"_s].toObject();
    EXPECT_EQ(params[u"query"_s], u"select * from customers"_s);
    EXPECT_EQ(params[u"connection"_s][u"password"_s], u"secret"_s);
    EXPECT_EQ(params[u"connection"_s][u"host"_s], u"db.local"_s);
}

TEST_F(ReadFieldsLiveTest, NewFieldsTakeTheClassesTheEngineReports)
{
    script({ok(R"({"fields":[{"name":"id","className":"java.lang.Long"},)"
               R"({"name":"total","className":"java.math.BigDecimal"},)"
               R"({"name":"day","className":"java.sql.Date"},)"
               R"({"name":"gone","className":"java.lang.Integer"}]})")});
    ReadFields::read(&store, &model, connections.get(), &state);
    ASSERT_TRUE(waitFor([&] { return state.message() != u"Reading live schema..."_s; }));
    QStringList classes;
    for (const ReportField &f : store.document().fields)
        classes.append(f.name + u':' + f.className);
    EXPECT_EQ(classes, (QStringList{u"id:java.lang.String"_s, u"gone:java.lang.String"_s,
                                    u"summed:java.lang.String"_s, u"total:java.math.BigDecimal"_s,
                                    u"day:java.sql.Date"_s}))
        << "declared fields keep their class; new ones take the engine's";
}

TEST_F(ReadFieldsLiveTest, ZeroColumnsChangeNothingAndClearTheStaleList)
{
    script({ok(R"({"fields":[]})")});
    state.set(u"before"_s, {u"summed"_s});
    readAndWait();
    EXPECT_EQ(state.message(), u"Live: found 0 columns, added 0 new fields."_s);
    EXPECT_TRUE(state.staleFieldNames().isEmpty());
    EXPECT_EQ(declared(), (QStringList{u"id"_s, u"gone"_s, u"summed"_s}));
    EXPECT_FALSE(store.canUndo());
}

TEST_F(ReadFieldsLiveTest, AMalformedReplyOrAnErrorIsAFailureThatChangesNoField)
{
    script({ok(R"({"columns":["id"]})"), ok(R"({"fields":{"name":"id"}})"),
            ok(R"({"fields":["id"]})"),
            "send {\"id\":4,\"ok\":false,\"error\":{\"message\":\"relation does not exist\","
            "\"causes\":[\"why\"]}}\\n"});
    readAndWait();
    EXPECT_EQ(state.message(), u"Live Read Fields failed: Malformed response from sidecar: "
                               u"{\"columns\":[\"id\"]}"_s);
    for (int i = 0; i < 2; ++i) {
        readAndWait();
        EXPECT_TRUE(state.message()->startsWith(
            u"Live Read Fields failed: Malformed response from sidecar: "_s))
            << state.message()->toStdString();
    }
    readAndWait();
    EXPECT_EQ(state.message(), u"Live Read Fields failed: relation does not exist\nwhy"_s);
    EXPECT_TRUE(state.staleFieldNames().isEmpty());
    EXPECT_EQ(declared(), (QStringList{u"id"_s, u"gone"_s, u"summed"_s}));
    EXPECT_FALSE(store.canUndo());
}

TEST_F(ReadFieldsLiveTest, ALateAnswerStillReachesTheStoreButNotAClosedPanel)
{
    script({ok(R"({"fields":[{"name":"id","className":"java.lang.Integer"}]})")});
    auto *closing = new ReadFieldsResultState;
    ReadFields::read(&store, &model, connections.get(), closing);
    delete closing; // the sheet closes before the engine answers
    ASSERT_TRUE(waitFor([&] { return declared() == QStringList{u"id"_s, u"summed"_s}; }));
}

TEST_F(ReadFieldsLiveTest, AnAnswerForAClosedTabIsDropped)
{
    const QByteArray reply = ok(R"({"fields":[{"name":"id","className":"java.lang.Integer"}]})");
    script({reply, reply, reply});
    ReadFieldsResultState tabState;
    auto tab = std::make_unique<DocumentStore>();
    tab->setActiveConnectionID(preset.id);
    ReadFields::read(tab.get(), &model, connections.get(), &tabState);
    tab.reset();
    readAndWait();
    // Both requests are out; the answers come back in their order, so once a later request is
    // answered the closed tab's answer has come and gone.
    ASSERT_TRUE(waitFor([&] { return requests().size() == 2; }));
    readAndWait();
    EXPECT_EQ(requests().size(), 3);
    EXPECT_EQ(tabState.message(), u"Reading live schema..."_s);
    EXPECT_TRUE(state.message()->startsWith(u"Live: found 1 column, added 0 new fields."_s));
}

TEST_F(ReadFieldsLiveTest, AMissingPresetReadsTheQueryText)
{
    store.setActiveConnectionID(QUuid::createUuid());
    storetest::editDocument(store, [](ReportDocument &d) { d.queryString = u"SELECT id"_s; });
    ReadFields::read(&store, &model, connections.get(), &state);
    EXPECT_TRUE(state.message()->startsWith(u"No new fields"_s));
    EXPECT_TRUE(requests().isEmpty());
}

namespace {

// Against the real engine and the PostgreSQL server the engine's own tests start (sidecar/test.sh
// exports where it listens); skipped without them.
class ReadFieldsPostgres : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = testsupport::realEngine();
        if (!engine)
            GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping";
        postgres = testsupport::testPostgres();
        if (!postgres)
            GTEST_SKIP() << "QUILLMARK_TEST_PG_HOST is not set; no PostgreSQL to read from";
        model.setLocationProvider([this] { return *engine; });
    }

    // Makes the database the report's connection.
    void connect()
    {
        connections.add(postgres->connection, postgres->password);
        store.setActiveConnectionID(postgres->connection.id);
    }
    void setQuery(const QString &query)
    {
        storetest::editDocument(store, [&](ReportDocument &d) { d.queryString = query; });
    }
    // Read Fields, and for a live read the wait for its answer.
    bool read()
    {
        ReadFields::read(&store, &model, &connections, &state);
        return waitFor([&] { return state.message() != u"Reading live schema..."_s; },
                       std::chrono::seconds(90));
    }
    QStringList declared(QString ReportField::*member = &ReportField::name) const
    {
        QStringList values;
        for (const ReportField &f : store.document().fields)
            values.append(f.*member);
        return values;
    }

    std::optional<SidecarClient::Location> engine;
    std::optional<testsupport::TestPostgres> postgres;
    QTemporaryDir dir;
    PrivateWorkFolder workFolder{dir.path()};
    SidecarModel model{workFolder};
    InMemoryKeychain keychain;
    QSettings settings{dir.filePath(u"settings.ini"_s), QSettings::IniFormat};
    ConnectionPresetStore connections{settings, keychain};
    DocumentStore store;
    ReadFieldsResultState state;
};

} // namespace

TEST_F(ReadFieldsPostgres, ALiveReadDeclaresTheTablesColumns)
{
    connect();
    setQuery(u"SELECT * FROM customers"_s);
    ASSERT_TRUE(read());
    EXPECT_EQ(state.message(), u"Live: found 6 columns, added 6 new fields."_s);
    EXPECT_EQ(declared(),
              (QStringList{u"id"_s, u"name"_s, u"city"_s, u"balance"_s, u"joined"_s, u"active"_s}));
    // each field is declared with the class the engine reads for its column
    EXPECT_EQ(declared(&ReportField::className),
              (QStringList{u"java.lang.Integer"_s, u"java.lang.String"_s, u"java.lang.String"_s,
                           u"java.math.BigDecimal"_s, u"java.sql.Date"_s, u"java.lang.Boolean"_s}));
}

// Fields read from the query's text before the report had a connection are the ones a live read
// of the same query finds: unquoted names are folded to lower case as PostgreSQL folds them.
TEST_F(ReadFieldsPostgres, FieldsReadWithoutAConnectionAreTheOnesALiveReadFinds)
{
    setQuery(u"SELECT ID, CITY, Name AS CustomerName, name AS \"Label\" FROM customers"_s);
    ASSERT_TRUE(read());
    const QStringList expected{u"id"_s, u"city"_s, u"customername"_s, u"Label"_s};
    EXPECT_EQ(declared(), expected);

    connect();
    ASSERT_TRUE(read());
    EXPECT_EQ(state.message(), u"Live: found 4 columns, added 0 new fields."_s);
    EXPECT_EQ(declared(), expected);
    EXPECT_TRUE(state.staleFieldNames().isEmpty());
}

// A binary column is declared by the name a report gives its class (byte[], not the JVM's [B),
// and the report so declared compiles. A field class the engine cannot load is reported by the
// field, not as a missing part of the designer.
TEST_F(ReadFieldsPostgres, ClassesAreDeclaredByNamesTheEngineLoads)
{
    connect();
    setQuery(u"SELECT id, decode('00ff', 'hex') AS picture FROM customers"_s);
    ASSERT_TRUE(read());
    ASSERT_EQ(store.document().fields.size(), 2) << state.message()->toStdString();
    EXPECT_EQ(store.document().fields[1].className, u"byte[]"_s);

    testsupport::EngineJudge judge(*engine);
    EXPECT_EQ(judge.compileError(store.document()), std::nullopt);

    storetest::editDocument(store, [](ReportDocument &d) { d.fields[1].className = u"[B"_s; });
    const std::optional<QString> error = judge.compileError(store.document());
    ASSERT_TRUE(error);
    EXPECT_EQ(FriendlyErrorTranslator::translate(*error),
              u"The field \"picture\" is declared with the class [B, which the engine cannot "
              u"load. Change the field's class in the Report Data sheet (the Data button); "
              u"java.lang.Object takes any value."_s)
        << error->toStdString();
}
