#include "SidecarTestSupport.h"
#include "TestSupport.h"
#include "engine/EngineEnvironment.h"
#include "engine/SidecarClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using sidecartest::children, sidecartest::inProcessTable, sidecartest::outcome;
using testing::AllOf, testing::HasSubstr, testing::StartsWith;

namespace {

// The built engine, or no value when it or Java is missing.
std::optional<SidecarClient::Location> realEngine()
{
    const QString workingDir = QDir::currentPath();
    QDir::setCurrent(testsupport::sourceDir());
    const SidecarClient::Location location = SidecarClient::defaultLocation();
    QDir::setCurrent(workingDir);
    if (!QFileInfo::exists(location.jarPath) || !QFileInfo(location.javaPath).isExecutable())
        return std::nullopt;
    testsupport::holdEngineSlot();
    return location;
}

#define REQUIRE_ENGINE(location)                                                                   \
    const std::optional<SidecarClient::Location> location = realEngine();                          \
    if (!location)                                                                                 \
        GTEST_SKIP() << "needs the engine built (mvn package in sidecar/) and Java";

QString testReport(const char *name)
{
    return testsupport::sourceDir() + u"/sidecar/src/test/resources/reports/" +
           QString::fromUtf8(name);
}

// While it lives, this process has no environment at all, as under `env -i`, and the umask given.
struct BareSurroundings {
    explicit BareSurroundings(mode_t mask) : oldMask(::umask(mask)) { ::clearenv(); }
    ~BareSurroundings()
    {
        ::umask(oldMask);
        ::clearenv();
        for (const QByteArray &entry : saved) {
            const qsizetype equals = entry.indexOf('=');
            ::setenv(entry.left(equals).constData(), entry.mid(equals + 1).constData(), 1);
        }
    }
    const QList<QByteArray> saved = EngineEnvironment::current();
    const mode_t oldMask;
};

mode_t modeOf(const QString &path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

} // namespace

TEST(SidecarEngine, WritesAtLongAndNonAsciiPathsUnderAnEmptyEnvironmentWithTheUmasksMode)
{
    REQUIRE_ENGINE(location);
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"Berichte-äöü-報告"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString jrxml = folder + u"/Grüße.jrxml";
    ASSERT_TRUE(QFile::copy(testReport("hello.jrxml"), jrxml));
    const QString jasper = folder + u"/Grüße.jasper";
    const QString jrprint = folder + u"/Grüße.jrprint";
    const QString preview = folder + u"/Grüße.pdf";
    const QString pdf = folder + u'/' + QString(236, u'r') + u".pdf"; // 240 bytes
    const auto request = [](SidecarClient &client, const QString &cmd, const QJsonObject &params) {
        return outcome([&] { return client.send(cmd, params); });
    };
    {
        BareSurroundings bare(027);
        SidecarClient client;
        client.start(*location);
        EXPECT_THAT(request(client, u"render"_s,
                            QJsonObject{{u"jrxmlPath"_s, jrxml},
                                        {u"jasperPath"_s, jasper},
                                        {u"jrprintPath"_s, jrprint},
                                        {u"pdfPath"_s, preview}})
                        .toStdString(),
                    StartsWith("ok {"));
        EXPECT_THAT(
            request(client, u"export"_s,
                    {{u"jrprintPath"_s, jrprint}, {u"outputPath"_s, pdf}, {u"format"_s, u"pdf"_s}})
                .toStdString(),
            StartsWith("ok {"));
        EXPECT_THAT(request(client, u"compile"_s,
                            QJsonObject{{u"jrxmlPath"_s, testReport("missing-field.jrxml")},
                                        {u"jasperPath"_s, dir.filePath(u"Missing.jasper"_s)}})
                        .toStdString(),
                    StartsWith("rpcError: "));
    }
    EXPECT_THAT(testsupport::readFile(pdf).toStdString(), StartsWith("%PDF"));
    for (const QString &written : {pdf, preview, jasper, jrprint})
        EXPECT_EQ(modeOf(written), mode_t(0640)) << written.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 5)
        << "no temporary file is left";
}

TEST(SidecarEngine, AnExpressionThatNeverEndsEndsWithTheClient)
{
    REQUIRE_ENGINE(location);
    auto client = std::make_unique<SidecarClient>();
    client->setTerminationGrace(500ms);
    client->start(*location);
    const QJsonObject warmUp{{u"expression"_s, u"1 + 1"_s}, {u"language"_s, u"java"_s}};
    EXPECT_EQ(outcome([&] { return client->send(u"evaluateExpression"_s, warmUp); }),
              uR"(ok {"value":"2"})"_s);
    const QList<qint64> engines = sidecartest::children();
    ASSERT_EQ(engines.size(), 1);

    QString waiting;
    std::thread request([&, c = client.get()] {
        const QJsonObject endless{{u"expression"_s, u"{ while (true) {} }()"_s},
                                  {u"language"_s, u"groovy"_s}};
        waiting = outcome([&] { return c->send(u"evaluateExpression"_s, endless); });
    });
    std::this_thread::sleep_for(500ms);
    client.reset();
    request.join();
    EXPECT_EQ(waiting, sidecartest::exited);
    EXPECT_FALSE(inProcessTable(engines.first()));
}

// What real Java says of a jar it cannot run, and of a Java too old for the engine, is told in
// words that name the path, and the environment variable that named it, and say what to do;
// Java's own words follow.
TEST(SidecarEngine, AJarOrAJavaThatCannotRunTheEngineIsNamedWithWhatToDo)
{
    const QString java = qEnvironmentVariable("QUILLMARK_JAVA", u"/usr/bin/java"_s);
    if (!QFileInfo(java).isExecutable())
        GTEST_SKIP() << "needs Java";
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    };
    const QString damaged = write(u"damaged.jar"_s, "not a zip file\n");
    // A zip holding a manifest that names no program.
    const QString noMain = dir.filePath(u"library.jar"_s);
    QDir().mkpath(dir.filePath(u"lib/META-INF"_s));
    write(u"lib/META-INF/MANIFEST.MF"_s, "Manifest-Version: 1.0\n");
    ASSERT_EQ(std::system(QStringLiteral("cd '%1' && zip -q -r '%2' META-INF")
                              .arg(dir.filePath(u"lib"_s), noMain)
                              .toLocal8Bit()
                              .constData()),
              0);
    // What Java 8 says of a class built for a later Java.
    const QString oldJava =
        write(u"java8"_s,
              "#!/bin/sh\necho 'Error: A JNI error has occurred, please check your "
              "installation and try again' >&2\necho 'Exception in thread \"main\" "
              "java.lang.UnsupportedClassVersionError: com/quillmark/sidecar/Main has been "
              "compiled by a more recent version of the Java Runtime (class file version "
              "61.0), this version of the Java Runtime only recognizes class file versions up "
              "to 52.0' >&2\nexit 1\n");
    const QString engineJar = dir.filePath(u"sidecar.jar"_s);
    write(u"sidecar.jar"_s, "");
    const QString quit = write(u"quits"_s, "#!/bin/sh\nexit 3\n");
    const QString setJar = u"Set QUILLMARK_SIDECAR_JAR to the report engine's sidecar.jar, or "
                           u"unset it to use the one that comes with Quillmark."_s;
    const QString setJava = u"Set QUILLMARK_JAVA to the path of a java program (Java 17 or "
                            u"later), or unset it to use /usr/bin/java."_s;
    const struct {
        SidecarClient::Location location;
        QString says;
        QString javaSaid;
    } cases[] = {
        {{java, damaged, {}, {}, u"QUILLMARK_SIDECAR_JAR"_s},
         u"The jar "_s + damaged +
             u", the path that QUILLMARK_SIDECAR_JAR names, is damaged or is not a jar: Java "
             u"cannot open it. "_s +
             setJar,
         u"Invalid or corrupt jarfile "_s + damaged},
        {{java, damaged},
         u"The jar "_s + damaged +
             u" is damaged or is not a jar: Java cannot open it. Build the engine again with "
             u"sidecar/build.sh."_s,
         u"Invalid or corrupt jarfile"_s},
        {{java, noMain, {}, {}, u"QUILLMARK_SIDECAR_JAR"_s},
         u"The jar "_s + noMain +
             u", the path that QUILLMARK_SIDECAR_JAR names, is not the report engine: it names no "
             u"program that Java can run. "_s +
             setJar,
         u"no main manifest attribute"_s},
        {{oldJava, engineJar, {}, u"QUILLMARK_JAVA"_s},
         u"The Java program "_s + oldJava +
             u", the path that QUILLMARK_JAVA names, is too old for the report engine, which "
             u"needs Java 17 or later. "_s +
             setJava,
         u"UnsupportedClassVersionError"_s},
        {{quit, engineJar, {}, u"QUILLMARK_JAVA"_s},
         u"The report engine ended before its first reply: "_s + quit +
             u", the path that QUILLMARK_JAVA names, may be no Java program (17 or later). "_s +
             setJava,
         {}},
    };
    for (const auto &run : cases) {
        SCOPED_TRACE(run.says.toStdString());
        SidecarClient client;
        client.setWorkFolder(dir.path());
        client.start(run.location);
        const QString said = outcome([&] { return client.send(u"compile"_s, {}); });
        EXPECT_TRUE(said.startsWith(u"engineUnusable: "_s + run.says)) << said.toStdString();
        EXPECT_TRUE(said.contains(u"\nJava reported:\n"_s) == !run.javaSaid.isEmpty() &&
                    said.contains(run.javaSaid))
            << said.toStdString();
    }
}

TEST(EngineEnvironment, GivesTheEngineUtf8FileNamesAndAPrivateFolder)
{
    using Env = QList<QByteArray>;
    const std::pair<Env, Env> cases[] = {
        {{}, {"LC_CTYPE=C.UTF-8"}},
        {{"PATH=/bin", "LANG=C"}, {"PATH=/bin", "LANG=C", "LC_CTYPE=C.UTF-8"}},
        {{"LC_CTYPE=POSIX", "LANG=C.UTF-8"}, {"LC_CTYPE=C.UTF-8", "LANG=C.UTF-8"}},
        {{"LC_ALL=C", "LC_CTYPE=C.UTF-8"}, {"LC_ALL=C.UTF-8", "LC_CTYPE=C.UTF-8"}},
        {{"LANG=xx_YY.UTF-8"}, {"LANG=xx_YY.UTF-8", "LC_CTYPE=C.UTF-8"}}, // not installed
        {{"LANG=C.UTF-8"}, {"LANG=C.UTF-8"}},
        {{"LC_ALL=C.utf8", "LANG=C"}, {"LC_ALL=C.utf8", "LANG=C"}},
    };
    for (const auto &[given, expected] : cases)
        EXPECT_EQ(EngineEnvironment::withUtf8FileNames(given), expected) << given.join(' ').data();

    const QString folder = EngineEnvironment::privateFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(modeOf(folder), mode_t(0700));
    EXPECT_EQ(EngineEnvironment::privateFolder(), folder);
}
