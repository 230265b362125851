#include "SidecarTestHelpers.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace sidecartest;

namespace {

// Sets or removes an environment variable for the life of the guard.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const std::optional<QByteArray> &value)
        : name_(name),
          saved_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        apply(value);
    }
    ~ScopedEnvironment() { apply(saved_); }

private:
    void apply(const std::optional<QByteArray> &value)
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }
    const char *name_;
    std::optional<QByteArray> saved_;
};

// Makes `path` the working directory for the life of the guard.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const QString &path) : saved_(QDir::currentPath())
    {
        EXPECT_TRUE(QDir::setCurrent(path));
    }
    ~ScopedWorkingDirectory() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(SidecarLocation, LooksInTheResourcesThenBesideTheWorkingDirectory)
{
    QTemporaryDir dir;
    const QString both = dir.filePath(QStringLiteral("both"));
    const QString javaOnly = dir.filePath(QStringLiteral("java-only"));
    const QString jarOnly = dir.filePath(QStringLiteral("jar-only"));
    touch(both + QStringLiteral("/jre/bin/java"));
    touch(both + QStringLiteral("/sidecar.jar"));
    touch(javaOnly + QStringLiteral("/jre/bin/java"));
    touch(jarOnly + QStringLiteral("/sidecar.jar"));
    const QString bundledJava = both + QStringLiteral("/jre/bin/java");
    const QString bundledJar = both + QStringLiteral("/sidecar.jar");
    const QString java = QStringLiteral("/usr/bin/java");
    const QString projectJar = QStringLiteral("/w/proj/sidecar/target/sidecar.jar");
    const std::optional<QString> none;

    const struct {
        QString resources;
        std::optional<QString> javaOverride, jarOverride;
        QString workingDir;
        SidecarClient::Location expected;
    } cases[] = {
        {QString(), none, none, QStringLiteral("/w/proj"), {java, projectJar}},
        {QString(),
         none,
         none,
         QStringLiteral("/w/app"),
         {java, QStringLiteral("/w/sidecar/target/sidecar.jar")}},
        {QString(),
         none,
         none,
         QStringLiteral("/w/webapp"),
         {java, QStringLiteral("/w/webapp/sidecar/target/sidecar.jar")}},
        {both, none, none, QStringLiteral("/w/proj"), {bundledJava, bundledJar}},
        {both,
         QString(),
         QStringLiteral("/missing.jar"),
         QStringLiteral("/w/proj"),
         {QString(), QStringLiteral("/missing.jar")}},
        {javaOnly, none, none, QStringLiteral("/w/proj"), {java, projectJar}},
        {javaOnly,
         QStringLiteral("/j"),
         none,
         QStringLiteral("/w/app"),
         {QStringLiteral("/j"), QStringLiteral("/w/sidecar/target/sidecar.jar")}},
        {jarOnly, none, none, QStringLiteral("/w/proj"), {java, projectJar}},
    };
    for (const auto &each : cases) {
        const SidecarClient::Location found = SidecarClient::defaultLocation(
            {each.javaOverride, each.jarOverride, each.resources, each.workingDir});
        EXPECT_EQ(found.javaPath, each.expected.javaPath) << each.resources.toStdString();
        EXPECT_EQ(found.jarPath, each.expected.jarPath) << each.workingDir.toStdString();
    }
}

TEST(SidecarLocation, EnvironmentOverridesEvenWhenEmptyAndAMissingJarIsNamedExactly)
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QDir(base).mkpath(QStringLiteral("app"));
    const ScopedWorkingDirectory inApp(base + QStringLiteral("/app"));
    const ScopedEnvironment java("QUILLMARK_JAVA", QByteArray());
    {
        const ScopedEnvironment jar("QUILLMARK_SIDECAR_JAR", std::nullopt);
        const SidecarClient::Location found = SidecarClient::defaultLocation();
        EXPECT_EQ(found.javaPath, QString());
        EXPECT_EQ(found.jarPath, base + QStringLiteral("/sidecar/target/sidecar.jar"));
    }
    const QString missing = base + QStringLiteral("/elsewhere/engine.jar");
    const ScopedEnvironment jar("QUILLMARK_SIDECAR_JAR", missing.toLocal8Bit());
    SidecarClient client;
    EXPECT_EQ(outcome([&] {
                  client.start(SidecarClient::defaultLocation());
                  return QJsonObject();
              }),
              QStringLiteral("jarNotFound: Could not find sidecar.jar at expected path: ") +
                  missing + QStringLiteral(". Run `mvn package` in sidecar/ first."));
    EXPECT_FALSE(client.isRunning());
}

TEST(SidecarEngine, CompilesAReportThroughTheRealEngine)
{
    SidecarClient::Location location;
    {
        const ScopedWorkingDirectory inRepository(testsupport::sourceDir());
        location = SidecarClient::defaultLocation();
    }
    if (!QFileInfo::exists(location.jarPath))
        GTEST_SKIP() << location.jarPath.toStdString() << " is absent; build the engine first";
    if (!QFileInfo(location.javaPath).isExecutable())
        GTEST_SKIP() << location.javaPath.toStdString() << " is absent; Java is needed";

    QTemporaryDir dir;
    const QString jrxml = dir.filePath(QStringLiteral("Tiny.jrxml"));
    const QString jasper = dir.filePath(QStringLiteral("Tiny.jasper"));
    QFile file(jrxml);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Tiny" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
  <title>
    <band height="40">
      <staticText>
        <reportElement x="0" y="0" width="200" height="20"/>
        <text><![CDATA[Hello]]></text>
      </staticText>
    </band>
  </title>
</jasperReport>
)");
    file.close();

    SidecarClient client;
    client.start(location);
    const auto compile = [&](const QString &source) {
        return outcome([&] {
            return client.send(QStringLiteral("compile"), {{QStringLiteral("jrxmlPath"), source},
                                                           {QStringLiteral("jasperPath"), jasper}});
        });
    };
    const QString compiled = compile(jrxml);
    EXPECT_TRUE(compiled.startsWith(QStringLiteral("ok {"))) << compiled.toStdString();
    EXPECT_GT(QFileInfo(jasper).size(), 0);
    const QString failed = compile(dir.filePath(QStringLiteral("Missing.jrxml")));
    EXPECT_TRUE(failed.startsWith(QStringLiteral("rpcError: "))) << failed.toStdString();
}
