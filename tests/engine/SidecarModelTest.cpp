#include "engine/SidecarModel.h"
#include "EngineTestSupport.h"
#include "ScriptedEngine.h"
#include "TestSupport.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using testsupport::reportWithSubreports;
using testsupport::waitFor;

inline void PrintTo(const QJsonObject &object, std::ostream *os)
{
    *os << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

QByteArray ok(const QByteArray &result = "{}")
{
    return testsupport::ScriptedEngine::ok(result);
}

QByteArray failure(const QByteArray &message)
{
    return testsupport::ScriptedEngine::failure(message);
}

// A model driving the scripted fake engine in a temporary folder.
struct FakeModel : testsupport::ScriptedEngine {
    explicit FakeModel(const QList<QByteArray> &actions)
    {
        setScript(actions);
        model.setLocationProvider([this] { return location; });
        model.setOnArtifactsWritten([this] { ++hookRuns; });
    }
    void setScript(const QList<QByteArray> &actions) { script(actions); }
    QStringList commands() const
    {
        QStringList names;
        for (const QJsonObject &request : requests())
            names.append(request[u"cmd"_s].toString());
        return names;
    }
    QJsonObject params(qsizetype index) const
    {
        return requests().value(index)[u"params"_s].toObject();
    }
    QString work(const QString &name) const { return QDir(workFolder.path()).filePath(name); }
    bool idle() const { return !model.isBusy(); }

    PrivateWorkFolder workFolder{dir.path()};
    SidecarModel model{workFolder};
    int hookRuns = 0;
};

const DatabaseConnection preset{
    QUuid::createUuid(), u"Sales"_s, DatabaseType::sqlserver, u"db.local"_s, 1433,
    u"sales"_s,          u"ann"_s};
const QJsonObject presetWire{{u"type"_s, u"sqlserver"_s}, {u"host"_s, u"db.local"_s},
                             {u"port"_s, 1433},           {u"database"_s, u"sales"_s},
                             {u"user"_s, u"ann"_s},       {u"password"_s, u"pw"_s}};

} // namespace

TEST(SidecarModel, RenderPublishesItsOutcomeAndKeepsTheStatsOfTheLastSuccess)
{
    FakeModel fake(
        {ok(R"({"pageCount":3,"compileMs":12})"), failure("Field not found : x"), "silent"});
    ReportDocument report; // no name: the work files are called "report"
    report.queryString = u"select 1"_s;
    fake.model.compileAndPreview(report, std::nullopt, {}, {{u"Title"_s, u"Q1"_s}}, std::nullopt);
    EXPECT_TRUE(fake.model.isRendering());
    fake.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt); // refused
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));

    EXPECT_EQ(fake.commands(), QStringList{u"render"_s});
    EXPECT_EQ(fake.params(0), (QJsonObject{{u"jrxmlPath"_s, fake.work(u"report.jrxml"_s)},
                                           {u"pdfPath"_s, fake.work(u"report.pdf"_s)},
                                           {u"jasperPath"_s, fake.work(u"report.jasper"_s)},
                                           {u"jrprintPath"_s, fake.work(u"report.jrprint"_s)},
                                           {u"paramValues"_s, QJsonObject{{u"Title"_s, u"Q1"_s}}}}))
        << "no data source without a live connection";
    EXPECT_EQ(fake.model.pdfURL(), QUrl::fromLocalFile(fake.work(u"report.pdf"_s)));
    EXPECT_EQ(fake.model.lastRenderStats(), (RenderStats{3, 12, 0}));
    EXPECT_EQ(fake.model.errorMessage(), std::nullopt);
    EXPECT_EQ(fake.hookRuns, 1);
    EXPECT_EQ(testsupport::readFile(fake.work(u"report.jrxml"_s)), JrxmlCodec::serialize(report));
    EXPECT_EQ(QFile::permissions(fake.workFolder.privateDir()) & 0x0077, 0)
        << "the work folder is closed to group and others";

    // A failure keeps the stats, leaves no PDF and runs no hook; a live connection adds the data
    // source with the report's query.
    fake.model.compileAndPreview(report, std::nullopt, {}, {}, LiveConnection{preset, u"pw"_s, {}});
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.params(1)[u"dataSource"_s].toObject(),
              (QJsonObject{{u"type"_s, u"jdbc"_s},
                           {u"connection"_s, presetWire},
                           {u"query"_s, u"select 1"_s}}));
    EXPECT_EQ(fake.model.errorMessage(), u"Field not found : x\nwhy"_s);
    EXPECT_EQ(fake.model.pdfURL(), std::nullopt);
    EXPECT_EQ(fake.model.lastRenderStats(), (RenderStats{3, 12, 0}));
    EXPECT_EQ(fake.hookRuns, 1);

    // A time-out ends the engine; the next render starts a new one.
    fake.model.setRequestTimeout(300ms);
    fake.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.errorMessage(), SidecarError::timedOut().message());
    EXPECT_FALSE(fake.model.sidecar().isRunning());
    fake.setScript({ok()});
    fake.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.errorMessage(), std::nullopt);
    EXPECT_EQ(fake.model.lastRenderStats(), (RenderStats{0, 0, 0}));
    EXPECT_EQ(fake.hookRuns, 2);
    // The engine was told to leave a crash log in the private work folder.
    const QJsonArray arguments = fake.model.sidecar().send(u"ping"_s, {})[u"args"_s].toArray();
    EXPECT_TRUE(
        arguments.contains(QString(u"-XX:ErrorFile="_s + fake.work(u"engine-crash-%p.log"_s))))
        << QJsonDocument(arguments).toJson().toStdString();
}

TEST(SidecarModel, ReportNamesThatLookLikePathsStayInTheWorkFolder)
{
    FakeModel fake({ok(), ok(), ok(), ok(), ok(), ok()});
    const QDir outside(fake.workFolder.privateDir());
    for (const QString &name : {u"../x"_s, u"Sales/Q1"_s, u"../../y"_s}) {
        SCOPED_TRACE(name.toStdString());
        ReportDocument report;
        report.name = name;
        fake.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
        ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
        EXPECT_EQ(fake.model.errorMessage(), std::nullopt);
        const QJsonObject params = fake.requests().last()[u"params"_s].toObject();
        for (const QString &key :
             {u"jrxmlPath"_s, u"pdfPath"_s, u"jasperPath"_s, u"jrprintPath"_s}) {
            const QFileInfo file(params[key].toString());
            EXPECT_EQ(file.absolutePath(), QDir(fake.workFolder.path()).absolutePath())
                << key.toStdString();
        }
        EXPECT_EQ(testsupport::readFile(params[u"jrxmlPath"_s].toString()),
                  JrxmlCodec::serialize(report));
    }
    EXPECT_EQ(fake.model.pdfURL(), QUrl::fromLocalFile(fake.work(u".._.._y.pdf"_s)));
    EXPECT_TRUE(QFileInfo::exists(fake.work(u"Sales_Q1.jrxml"_s)));
    EXPECT_TRUE(QFileInfo::exists(fake.work(u".._x.jrxml"_s)));
    // Nothing beside or above the work folder.
    EXPECT_EQ(outside.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{PrivateWorkFolder::folderName});
    EXPECT_FALSE(QFileInfo::exists(QDir(fake.dir.path()).filePath(u"x.jrxml"_s)));
    EXPECT_FALSE(QFileInfo::exists(QDir(fake.dir.path()).filePath(u"y.jrxml"_s)));

    // An export takes the same names.
    ReportDocument report;
    report.name = u"../x"_s;
    fake.model.exportReport(report, ExportFormat::pdf,
                            QUrl::fromLocalFile(fake.dir.filePath(u"out.pdf"_s)), std::nullopt, {},
                            {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.params(3)[u"jrxmlPath"_s].toString(), fake.work(u".._x.jrxml"_s));
    EXPECT_EQ(fake.params(4)[u"jrprintPath"_s].toString(), fake.work(u".._x.jrprint"_s));
}

TEST(SidecarModel, FailuresBeforeTheRequestArePublished)
{
    // Without a private work folder nothing is written or sent.
    {
        FakeModel fake({ok()});
        SidecarModel homeless{PrivateWorkFolder(u"/nonexistent/parent"_s)};
        homeless.setLocationProvider([&] { return fake.location; });
        homeless.compileAndPreview(ReportDocument(), std::nullopt, {}, {}, std::nullopt);
        ASSERT_TRUE(waitFor([&] { return !homeless.isBusy(); }));
        EXPECT_TRUE(homeless.errorMessage().value_or(QString()).startsWith(u"The work folder "_s));
        EXPECT_EQ(fake.requests().size(), 0);
    }
    // A start failure is shown at once, and the request that needed the engine fails with it
    // too; every operation tries the start again.
    FakeModel fake({ok(R"({"pageCount":1})")});
    const QString script = fake.location.jarPath;
    fake.location.jarPath = fake.dir.filePath(u"missing.jar"_s);
    const QString missing = SidecarError::jarNotFound(fake.location.jarPath).message();
    QStringList shown;
    QObject::connect(&fake.model, &SidecarModel::errorMessageChanged, &fake.model,
                     [&] { shown.append(fake.model.errorMessage().value_or(u"-"_s)); });
    fake.model.compileAndPreview(ReportDocument(), std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(shown, QStringList{missing});
    fake.model.testConnection(preset, u"pw"_s);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.connectionTestResult(), u"Failed: "_s + missing);

    fake.location.jarPath = script; // built meanwhile
    fake.model.compileAndPreview(ReportDocument(), std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.errorMessage(), std::nullopt);
    EXPECT_EQ(fake.model.lastRenderStats(), (RenderStats{1, 0, 0}));
    EXPECT_EQ(fake.commands(), QStringList{u"render"_s});
}

TEST(SidecarModel, ReferencedSubreportsOpenInOtherTabsAreCompiledFirstInOrder)
{
    QTemporaryDir saved;
    const auto url = [&](const QString &name) { return QUrl::fromLocalFile(saved.filePath(name)); };
    const ReportDocument main = reportWithSubreports(
        u"Main"_s, {uR"($P{DIR} + "Orders_Sub.jasper")"_s, uR"("a/Totals.jasper")"_s});
    const QList<OpenTab> tabs{{reportWithSubreports(u"x"_s, {}), url(u"Totals.jrxml"_s)},
                              {reportWithSubreports(u"y"_s, {}), std::nullopt},
                              {reportWithSubreports(u"z"_s, {}), url(u"Unrelated.jrxml"_s)},
                              {reportWithSubreports(u"w"_s, {}), url(u"ORDERS_sub.jrxml"_s)}};

    FakeModel fake({ok(), failure("broken subreport")});
    fake.model.exportReport(main, ExportFormat::csv, url(u"out.csv"_s), url(u"Main.jrxml"_s), tabs,
                            {}, std::nullopt);
    EXPECT_TRUE(fake.model.isExporting());
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    // The second subreport fails: the export stops there, and says why, naming it by its file.
    EXPECT_EQ(fake.commands(), (QStringList{u"compile"_s, u"compile"_s}));
    EXPECT_EQ(fake.params(0), EngineRequests::compileParams(fake.work(u"Totals.jrxml"_s),
                                                            saved.filePath(u"Totals.jasper"_s)));
    EXPECT_EQ(fake.params(1),
              EngineRequests::compileParams(fake.work(u"ORDERS_sub.jrxml"_s),
                                            saved.filePath(u"ORDERS_sub.jasper"_s)));
    EXPECT_EQ(testsupport::readFile(fake.work(u"ORDERS_sub.jrxml"_s)),
              JrxmlCodec::serialize(tabs[3].document));
    EXPECT_EQ(fake.model.exportErrorMessage(),
              u"The subreport \"ORDERS_sub.jrxml\", open in another tab, does not compile: "
              u"broken subreport\nwhy"_s);
    EXPECT_EQ(fake.hookRuns, 0);

    // Without other tabs the export compiles beside the saved file, fills and exports.
    fake.model.exportReport(main, ExportFormat::csv, url(u"out.csv"_s), url(u"Main.jrxml"_s), {},
                            {{u"P"_s, u"1"_s}}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.commands().mid(2), (QStringList{u"compile"_s, u"fill"_s, u"export"_s}));
    EXPECT_EQ(fake.params(2), EngineRequests::compileParams(fake.work(u"Main.jrxml"_s),
                                                            saved.filePath(u"Main.jasper"_s)));
    EXPECT_EQ(fake.params(3), (QJsonObject{{u"jasperPath"_s, saved.filePath(u"Main.jasper"_s)},
                                           {u"jrprintPath"_s, fake.work(u"Main.jrprint"_s)},
                                           {u"paramValues"_s, QJsonObject{{u"P"_s, u"1"_s}}}}));
    EXPECT_EQ(fake.params(4), (QJsonObject{{u"jrprintPath"_s, fake.work(u"Main.jrprint"_s)},
                                           {u"outputPath"_s, saved.filePath(u"out.csv"_s)},
                                           {u"format"_s, u"csv"_s}}));
    EXPECT_EQ(fake.model.exportErrorMessage(), std::nullopt);
    EXPECT_EQ(fake.hookRuns, 1);
}

TEST(SidecarModel, ExportStopsAtTheFirstFailureAndRefusesASecondStart)
{
    FakeModel fake({ok(), failure("fill failed")});
    ReportDocument invoice;
    invoice.name = u"Invoice"_s;
    fake.model.exportReport(invoice, ExportFormat::pdf,
                            QUrl::fromLocalFile(fake.dir.filePath(u"o"_s)), std::nullopt, {}, {},
                            std::nullopt);
    fake.model.exportReport(invoice, ExportFormat::xml,
                            QUrl::fromLocalFile(fake.dir.filePath(u"o"_s)), std::nullopt, {}, {},
                            std::nullopt);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.commands(), (QStringList{u"compile"_s, u"fill"_s}));
    EXPECT_EQ(fake.params(0)[u"jasperPath"_s].toString(), fake.work(u"Invoice.jasper"_s));
    EXPECT_EQ(fake.model.exportErrorMessage(), u"fill failed\nwhy"_s);
    EXPECT_EQ(fake.hookRuns, 0);
}

TEST(SidecarModel, CompilesCompleteWhileTheirContextExistsAndOnlyTheTabCompileRunsTheHook)
{
    FakeModel fake({ok(), ok(), failure("bad"), ok()});
    QList<std::optional<QString>> outcomes;
    const auto record = [&](const std::optional<QString> &error) { outcomes.append(error); };
    QObject context;
    // One after the other: requests started together reach the engine in no fixed order.
    fake.model.compileTab(reportWithSubreports(u"T"_s, {u"\"S.jasper\""_s}), std::nullopt, &context,
                          record);
    ASSERT_TRUE(waitFor([&] { return outcomes.size() == 1; }));
    fake.model.compileOnly(u"/in.jrxml"_s, u"/out.jasper"_s, &context, record);
    ASSERT_TRUE(waitFor([&] { return outcomes.size() == 2; }));
    fake.model.compileTab(ReportDocument(), std::nullopt, &context, record);
    ASSERT_TRUE(waitFor([&] { return outcomes.size() == 3; }));
    EXPECT_EQ(outcomes, (QList<std::optional<QString>>{std::nullopt, std::nullopt, u"bad\nwhy"_s}));
    EXPECT_EQ(fake.hookRuns, 1);
    EXPECT_EQ(fake.params(1), EngineRequests::compileParams(u"/in.jrxml"_s, u"/out.jasper"_s));

    // A completion whose context is gone is dropped; the model's own state is still published.
    auto gone = std::make_unique<QObject>();
    fake.model.compileTab(ReportDocument(), std::nullopt, gone.get(), record);
    gone.reset();
    ASSERT_TRUE(waitFor([&] { return fake.hookRuns == 2; }));
    EXPECT_EQ(outcomes.size(), 3);
}

TEST(SidecarModel, AnOutcomeArrivingAfterTheModelIsGoneIsDropped)
{
    FakeModel fake({"silent"});
    auto *model = new SidecarModel(fake.workFolder);
    model->setLocationProvider([&] { return fake.location; });
    model->setRequestTimeout(200ms);
    bool hookRan = false;
    model->setOnArtifactsWritten([&] { hookRan = true; });
    model->compileAndPreview(ReportDocument(), std::nullopt, {}, {}, std::nullopt);
    delete model;
    QThread::msleep(400);
    QCoreApplication::processEvents();
    EXPECT_FALSE(hookRan);
}

TEST(SidecarModel, ConnectionTestsAndQueriesPublishTheirOutcome)
{
    FakeModel fake({ok(R"({"productName":"PostgreSQL","productVersion":"15.4"})"), ok(),
                    failure("no route"), ok(R"({"columns":["a","b","c"],"rows":[["x",1,null]]})"),
                    ok(R"({"columns":["a"]})"), failure("syntax")});
    int successes = 0;
    fake.model.testConnection(preset, u"pw"_s, nullptr, [&] { ++successes; });
    EXPECT_EQ(fake.model.testedConnectionID(), preset.id);
    EXPECT_TRUE(fake.model.isBusy());
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.connectionTestResult(), u"Connected to PostgreSQL 15.4"_s);
    EXPECT_EQ(fake.requests()[0][u"params"_s].toObject(),
              (QJsonObject{{u"connection"_s, presetWire}}));
    const QStringList results{u"Connected to database "_s, u"Failed: no route\nwhy"_s};
    for (const QString &expected : results) {
        fake.model.testConnection(preset, u"pw"_s, nullptr, [&] { ++successes; });
        ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
        EXPECT_EQ(fake.model.connectionTestResult(), expected);
    }
    EXPECT_EQ(successes, 2);

    fake.model.executeQuery(std::nullopt, u"select a"_s);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.params(3), (QJsonObject{{u"query"_s, u"select a"_s}, {u"maxRows"_s, 200}}));
    const QueryResult first{{u"a"_s, u"b"_s, u"c"_s}, {{u"x"_s, std::nullopt, std::nullopt}}};
    EXPECT_EQ(fake.model.queryResult(), first);
    fake.model.executeQuery(LiveConnection{preset, u"pw"_s, {}}, u"select a"_s);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.params(4)[u"connection"_s].toObject(), presetWire);
    EXPECT_EQ(fake.model.queryResult(), (QueryResult{{u"a"_s}, {}}));
    fake.model.executeQuery(std::nullopt, u"select"_s);
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.queryErrorMessage(), u"syntax\nwhy"_s);
    EXPECT_EQ(fake.model.queryResult(), (QueryResult{{u"a"_s}, {}})) << "kept after a failure";
}

// Each report tab keeps the outcome of its own queries; a tab that goes is forgotten, and the
// answer to its query reaches no one but the model's last-query state.
TEST(SidecarModel, EachOwnerKeepsTheOutcomeOfItsOwnQueries)
{
    FakeModel fake({ok(R"({"columns":["a"],"rows":[["1"]]})"), failure("syntax"),
                    ok(R"({"columns":["b"],"rows":[]})")});
    QObject first;
    auto second = std::make_unique<QObject>();
    int changes = 0;
    QObject::connect(&fake.model, &SidecarModel::queryOutcomesChanged, &fake.model,
                     [&] { ++changes; });

    fake.model.executeQuery(std::nullopt, u"select a"_s, &first);
    EXPECT_TRUE(fake.model.queryOutcome(&first).isExecuting);
    EXPECT_EQ(fake.model.queryOutcome(second.get()), SidecarModel::QueryOutcome());
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    const QueryResult rows{{u"a"_s}, {{u"1"_s}}};
    EXPECT_EQ(fake.model.queryOutcome(&first), (SidecarModel::QueryOutcome{false, rows, {}}));

    fake.model.executeQuery(std::nullopt, u"select"_s, second.get());
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(fake.model.queryOutcome(second.get()),
              (SidecarModel::QueryOutcome{false, std::nullopt, u"syntax\nwhy"_s}));
    EXPECT_EQ(fake.model.queryOutcome(&first), (SidecarModel::QueryOutcome{false, rows, {}}));

    // The second tab closes while its next query runs.
    const int before = changes;
    fake.model.executeQuery(std::nullopt, u"select b"_s, second.get());
    second.reset();
    EXPECT_EQ(changes, before + 2) << "started, then forgotten";
    ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
    EXPECT_EQ(changes, before + 2) << "its answer reaches no one";
    EXPECT_EQ(fake.model.queryResult(), (QueryResult{{u"b"_s}, {}}));
    EXPECT_EQ(fake.model.queryOutcome(&first), (SidecarModel::QueryOutcome{false, rows, {}}));
}

TEST(SidecarModel, FieldReadingAndEvaluationCompleteWithValuesOrErrors)
{
    FakeModel fake({ok(R"({"fields":[{"name":"id","className":"java.lang.Integer"},{"name":"x"},)"
                       R"({"name":"n","className":"java.lang.String"}]})"),
                    ok(R"({"value":"42"})"), ok(), failure("cannot evaluate")});
    QObject context;
    EngineOutcome<QList<LiveField>> fields;
    fake.model.readFieldsLive(std::nullopt, u"select *"_s, &context,
                              [&](const auto &outcome) { fields = outcome; });
    ASSERT_TRUE(waitFor([&] { return fake.requests().size() == 1 && !fields.value.isEmpty(); }));
    EXPECT_EQ(fields.value, (QList<LiveField>{{u"id"_s, u"java.lang.Integer"_s},
                                              {u"n"_s, u"java.lang.String"_s}}));
    EXPECT_EQ(fake.params(0), (QJsonObject{{u"query"_s, u"select *"_s}}));

    QList<EngineOutcome<std::optional<QString>>> values;
    const QList<ExpressionBinding> bound{{u"F"_s, u"java.lang.Integer"_s, u"7"_s},
                                         {u"G"_s, u"java.lang.String"_s, std::nullopt}};
    for (int i = 0; i < 3; ++i) {
        fake.model.evaluateExpression(u"$F{F} * 6"_s, u"java"_s, bound, {bound[1]}, &context,
                                      [&](const auto &outcome) { values.append(outcome); });
        ASSERT_TRUE(waitFor([&] { return values.size() == i + 1; }));
    }
    const QJsonArray wireFields{
        QJsonObject{
            {u"name"_s, u"F"_s}, {u"class"_s, u"java.lang.Integer"_s}, {u"value"_s, u"7"_s}},
        QJsonObject{{u"name"_s, u"G"_s}, {u"class"_s, u"java.lang.String"_s}}};
    EXPECT_EQ(fake.params(1), (QJsonObject{{u"expression"_s, u"$F{F} * 6"_s},
                                           {u"language"_s, u"java"_s},
                                           {u"fields"_s, wireFields},
                                           {u"parameters"_s, QJsonArray{wireFields[1]}}}));
    EXPECT_EQ(values[0].value, u"42"_s);
    EXPECT_TRUE(values[1].ok());
    EXPECT_EQ(values[1].value, std::nullopt);
    EXPECT_EQ(values[2].error, u"cannot evaluate\nwhy"_s);
}

// A login the database refuses, in each run that sends a preset's stored password: the preview,
// the export, Execute Query, Read Fields and a row's Test. Each names what the keychain did,
// with the ways out: nothing came from it (none stored, or a cancelled unlock prompt, which the
// Secret Service cannot tell apart), or it refused because the keyring is locked.
TEST(SidecarModel, EveryRunWithAStoredPasswordSaysWhatTheKeychainDidWhenTheLoginIsRefused)
{
    const QByteArray refused = "FATAL: password authentication failed for user ann";
    const QString raw = QString::fromUtf8(refused) + u"\nwhy"_s;
    const struct {
        KeychainHelper::Read read;
        QString cause;
    } answers[] = {
        {{},
         u"No password came from the keychain for the connection \"Sales\" (none is stored for "
         u"it, or the keyring stayed locked), so none was sent for the user \"ann\". Type the "
         u"password in the connection's Edit sheet and Save, or unlock the keyring and try "
         u"again."_s},
        {{std::nullopt, u"Cannot get secret of a locked object"_s, KeychainHelper::Failure::locked},
         u"The keyring is locked or refused access (Cannot get secret of a locked object), so no "
         u"password came from it for the connection \"Sales\" and none was sent. Unlock the "
         u"keyring and try again, or type the password in the connection's Edit sheet and "
         u"Save."_s},
    };
    ReportDocument report;
    report.queryString = u"select 1"_s;
    for (const auto &answer : answers) {
        SCOPED_TRACE(answer.cause.toStdString());
        const QString expected = raw + u'\n' + answer.cause;
        FakeModel fake({failure(refused), ok(), failure(refused), failure(refused),
                        failure(refused), failure(refused)});
        const LiveConnection live{preset, QString(), answer.read.error, answer.read.failure};

        fake.model.compileAndPreview(report, std::nullopt, {}, {}, live);
        ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
        EXPECT_EQ(fake.model.errorMessage(), expected) << "the preview";

        fake.model.exportReport(report, ExportFormat::pdf,
                                QUrl::fromLocalFile(fake.work(u"out.pdf"_s)), std::nullopt, {}, {},
                                live);
        ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
        EXPECT_EQ(fake.model.exportErrorMessage(), expected) << "the export's fill";

        fake.model.executeQuery(live, u"select 1"_s);
        ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
        EXPECT_EQ(fake.model.queryErrorMessage(), expected) << "Execute Query";

        std::optional<QString> readFields;
        fake.model.readFieldsLive(live, u"select 1"_s, &fake.model,
                                  [&](const auto &outcome) { readFields = outcome.error; });
        ASSERT_TRUE(waitFor([&] { return readFields.has_value(); }));
        EXPECT_EQ(readFields, expected) << "Read Fields";

        fake.model.testConnection(preset, QString(), nullptr, {}, answer.read);
        ASSERT_TRUE(waitFor([&] { return fake.idle(); }));
        EXPECT_EQ(fake.model.connectionTestResult(), u"Failed: "_s + expected) << "a row's Test";
        EXPECT_EQ(fake.commands(),
                  (QStringList{u"render"_s, u"compile"_s, u"fill"_s, u"executeQuery"_s,
                               u"readFieldsLive"_s, u"testConnection"_s}));
    }
}

namespace {

// The live engines started with `jar`: processes whose command line holds "-jar" and then it.
QList<qint64> enginesOf(const QString &jar)
{
    QList<qint64> found;
    const QByteArray wanted = QByteArray("-jar\0", 5) + jar.toLocal8Bit() + '\0';
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile commandLine(u"/proc/"_s + entry + u"/cmdline"_s);
        if (isPid && commandLine.open(QIODevice::ReadOnly) &&
            commandLine.readAll().contains(wanted))
            found.append(pid);
    }
    return found;
}

} // namespace

// The program quits while a render, an export and an evaluation wait on an engine that answers
// nothing (with the real 45-second time-out): it ends within two seconds of leaving its event
// loop, and leaves no engine behind, also when the engine ignores the request to end.
TEST(SidecarModel, QuittingWithRequestsPendingEndsTheEngineAndExitsAtOnce)
{
    for (const QByteArray action : {"silent", "spin"}) {
        SCOPED_TRACE(action.toStdString());
        QTemporaryDir dir;
        const QString script = dir.filePath(u"script"_s);
        const QString log = dir.filePath(u"requests"_s);
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(action + '\n' + action + '\n' + action + '\n');
        file.close();

        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"FAKESIDECAR_REQUEST_LOG"_s, log);
        probe.setProcessEnvironment(environment);
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(QStringLiteral(QUILLMARK_QUIT_PROBE),
                    {QStringLiteral(QUILLMARK_FAKE_SIDECAR), script, dir.path(), log});
        ASSERT_TRUE(probe.waitForStarted());
        QByteArray output;
        while (!output.contains("ready\n") && probe.waitForReadyRead(20000))
            output += probe.readAllStandardOutput();
        ASSERT_TRUE(output.contains("ready\n")) << output.toStdString();
        EXPECT_EQ(enginesOf(script).size(), 1) << "the engine runs while the request waits";
        QElapsedTimer sinceQuit;
        sinceQuit.start();
        probe.write("quit\n");

        ASSERT_TRUE(probe.waitForFinished(60000));
        const qint64 exitMs = sinceQuit.elapsed();
        std::printf("[ measured ] %s engine: the program ended %lld ms after quitting\n",
                    action.constData(), qlonglong(exitMs));
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_LT(exitMs, 2000);
        EXPECT_EQ(enginesOf(script), QList<qint64>()) << "no engine is left running";
    }
}
