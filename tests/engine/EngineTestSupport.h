#pragma once

#include "ModelBuilders.h"
#include "TestSupport.h"
#include "engine/DatabaseConnection.h"
#include "engine/SidecarModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace testsupport {

// Java and the built jar: the environment's overrides, else the system Java and the repository's
// jar. No value when either is missing. Once it has one, the program waits for its turn to run
// the engine (holdEngineSlot).
inline std::optional<SidecarClient::Location> realEngine()
{
    const SidecarClient::Location location{
        qEnvironmentVariable("QUILLMARK_JAVA", QStringLiteral("/usr/bin/java")),
        qEnvironmentVariable("QUILLMARK_SIDECAR_JAR",
                             sourceDir() + QStringLiteral("/sidecar/target/sidecar.jar"))};
    if (!QFileInfo(location.javaPath).isExecutable() || !QFileInfo::exists(location.jarPath))
        return std::nullopt;
    holdEngineSlot();
    return location;
}

#define QUILLMARK_REQUIRE_ENGINE()                                                                 \
    const std::optional<SidecarClient::Location> location = testsupport::realEngine();             \
    if (!location)                                                                                 \
        GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping the engine test";

// A test that has the real engine compile reports, through one engine process; skipped when
// Java or the jar is missing.
class RealEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const std::optional<SidecarClient::Location> engine = realEngine();
        if (!engine)
            GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping";
        client.start(*engine);
    }

    // The engine's message on compiling the file (the compiled report goes beside it); empty
    // when it compiled it.
    QString compileFile(const QString &jrxml)
    {
        QString jasper = jrxml;
        jasper.replace(QStringLiteral(".jrxml"), QStringLiteral(".jasper"));
        try {
            client.send(QStringLiteral("compile"),
                        QJsonObject{{QStringLiteral("jrxmlPath"), jrxml},
                                    {QStringLiteral("jasperPath"), jasper}});
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
        return {};
    }

    QTemporaryDir dir;
    SidecarClient client;
};

// The PostgreSQL server the test scripts start (QUILLMARK_TEST_PG_*): a preset "Sample" for its
// database, and the password. No value when none was started.
struct TestPostgres {
    DatabaseConnection connection;
    QString password;
};

inline std::optional<TestPostgres> testPostgres()
{
    const QString host = qEnvironmentVariable("QUILLMARK_TEST_PG_HOST");
    if (host.isEmpty())
        return std::nullopt;
    return TestPostgres{{QUuid::createUuid(), QStringLiteral("Sample"), DatabaseType::postgres,
                         host, qEnvironmentVariableIntValue("QUILLMARK_TEST_PG_PORT"),
                         qEnvironmentVariable("QUILLMARK_TEST_PG_DB"),
                         qEnvironmentVariable("QUILLMARK_TEST_PG_USER")},
                        qEnvironmentVariable("QUILLMARK_TEST_PG_PASSWORD")};
}

// Declares `postgres`, the server of testPostgres(); skips the test without one. `purpose` says
// what the test would do with it.
#define QUILLMARK_REQUIRE_POSTGRES(purpose)                                                        \
    const std::optional<testsupport::TestPostgres> postgres = testsupport::testPostgres();         \
    if (!postgres)                                                                                 \
        GTEST_SKIP() << "QUILLMARK_TEST_PG_HOST is not set; no PostgreSQL " purpose;

// A report named `name` whose detail band holds one subreport element per expression.
inline ReportDocument reportWithSubreports(const QString &name, const QStringList &expressions)
{
    ReportDocument report;
    report.name = name;
    for (const QString &expression : expressions) {
        ReportElement subreport = element(ElementKind{ElementKind::Subreport{expression}});
        report.detailBands[0].elements.append(subreport);
    }
    return report;
}

} // namespace testsupport
