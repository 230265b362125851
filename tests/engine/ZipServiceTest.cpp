#include "engine/ZipService.h"
#include "TestSupport.h"
#include "engine/PrivateWorkFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// The entry names of an archive, as unzip lists them, sorted.
QStringList entries(const QString &archive)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-Z1"_s, archive});
    EXPECT_TRUE(unzip.waitForFinished()) << unzip.errorString().toStdString();
    QStringList names = QString::fromUtf8(unzip.readAllStandardOutput()).split(u'\n');
    names.removeAll(QString());
    names.sort();
    return names;
}

// The outcome of a zip as one text: "ok" or the error's text.
QString zipOutcome(const QString &folder, const QString &destination,
                   const QString &tool = QString::fromLatin1(ZipService::zipTool))
{
    try {
        ZipService::zipContents(folder, destination, tool);
        return u"ok"_s;
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
}

// While it lives, the temporary directory is `path`.
struct TemporaryDirectory {
    explicit TemporaryDirectory(const QString &path) { qputenv("TMPDIR", QFile::encodeName(path)); }
    ~TemporaryDirectory() { saved.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", saved); }
    const QByteArray saved = qgetenv("TMPDIR");
};

} // namespace

TEST(ZipService, ArchivesTheContentsWithoutHiddenEntriesAndReplacesOnlyWhenDone)
{
    if (!QFileInfo::exists(QString::fromLatin1(ZipService::zipTool)))
        GTEST_SKIP() << "needs " << ZipService::zipTool;
    QTemporaryDir dir;
    const QString report = dir.filePath(u"Report Folder"_s);
    for (const char *name :
         {"Main.jrxml", "images/logo.png", ".hidden", ".git/config", "images/.DS_Store",
          "__MACOSX/._Main.jrxml", "sub/__MACOSX/x", "sub/Child.jrxml"})
        writeFile(report + u'/' + QString::fromUtf8(name), name);
    QDir().mkpath(dir.filePath(u"empty"_s));

    // The work file goes to the temporary directory: on another file system here where one is
    // at hand, so that the archive has to be copied beside the destination before the rename.
    QTemporaryDir work(QDir(u"/dev/shm"_s).exists() ? u"/dev/shm/zipwork-XXXXXX"_s : QString());
    const TemporaryDirectory temporary(work.path());

    const QString destination = dir.filePath(u"out/Report Folder.zip"_s);
    writeFile(destination, "the previous archive");
    EXPECT_EQ(zipOutcome(report, destination), u"ok");
    EXPECT_EQ(entries(destination),
              (QStringList{u"Main.jrxml"_s, u"images/"_s, u"images/logo.png"_s, u"sub/"_s,
                           u"sub/Child.jrxml"_s}));

    // A failing run leaves the destination as it was and nothing behind.
    const QByteArray before = testsupport::readFile(destination);
    EXPECT_EQ(zipOutcome(dir.filePath(u"empty"_s), destination).left(27),
              u"zip exited with status 12: "_s);
    EXPECT_EQ(testsupport::readFile(destination), before);
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(QDir(PrivateWorkFolder(work.path()).path()).entryList(QDir::Files | QDir::Hidden),
              QStringList());
    EXPECT_EQ(QDir(dir.filePath(u"out"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"Report Folder.zip"_s});

    EXPECT_EQ(zipOutcome(report, destination, dir.filePath(u"no-zip"_s)),
              u"The system zip tool (/usr/bin/zip) was not found.");
    EXPECT_EQ(ZipService::ZipError::processFailed(3, {}).description(),
              u"zip exited with status 3");
}

TEST(ZipService, FollowsLinksThatStayInsideAndRefusesLinksThatLeaveOrLoop)
{
    if (!QFileInfo::exists(QString::fromLatin1(ZipService::zipTool)))
        GTEST_SKIP() << "needs " << ZipService::zipTool;
    QTemporaryDir temporaryDir;
    const QDir dir(QFileInfo(temporaryDir.path()).canonicalFilePath());
    const TemporaryDirectory temporary(dir.filePath(u"tmp"_s));
    QDir().mkpath(dir.filePath(u"tmp"_s));
    const QString report = dir.filePath(u"report"_s);
    writeFile(report + u"/Main.jrxml"_s, "main");
    writeFile(report + u"/images/logo.png"_s, "logo");
    writeFile(dir.filePath(u"secret.txt"_s), "not for upload");
    // Links that stay inside are followed; dangling ones and those in left-out folders are
    // passed over, as the tool passes them over.
    ASSERT_TRUE(QFile::link(u"images/logo.png"_s, report + u"/logo-alias.png"_s));
    ASSERT_TRUE(QFile::link(u"images"_s, report + u"/pictures"_s));
    ASSERT_TRUE(QFile::link(u"nowhere"_s, report + u"/dangling"_s));
    QDir().mkpath(report + u"/.git"_s);
    ASSERT_TRUE(QFile::link(u"../.."_s, report + u"/.git/up"_s));
    const QString destination = dir.filePath(u"out.zip"_s);
    ASSERT_EQ(zipOutcome(report, destination), u"ok");
    EXPECT_EQ(entries(destination),
              (QStringList{u"Main.jrxml"_s, u"images/"_s, u"images/logo.png"_s, u"logo-alias.png"_s,
                           u"pictures/"_s, u"pictures/logo.png"_s}));
    const QByteArray archive = testsupport::readFile(destination);

    // A link out of the folder, to a file or to a folder, or back up into it: nothing is zipped
    // and the previous archive stays.
    const struct {
        QString link;
        QString target;
        QString expected;
    } refused[] = {
        {u"/images/secret"_s, u"../../secret.txt"_s,
         u"The folder was not zipped: the link \"images/secret\" leads out of it, to \"%1\". "
         "Put a copy of what it leads to in the folder instead of the link, or remove the "
         "link."_s.arg(dir.filePath(u"secret.txt"_s))},
        {u"/home"_s, dir.path(),
         u"The folder was not zipped: the link \"home\" leads out of it, to \"%1\". Put a copy "
         "of what it leads to in the folder instead of the link, or remove the link."_s.arg(
             dir.path())},
        {u"/images/up"_s, u".."_s,
         u"The folder was not zipped: the link \"images/up\" leads back to \"%1\", a folder that "
         "contains it, so the archive would never end. Remove the link."_s.arg(report)},
        {u"/self"_s, u"."_s,
         u"The folder was not zipped: the link \"self\" leads back to \"%1\", a folder that "
         "contains it, so the archive would never end. Remove the link."_s.arg(report)},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.link.toStdString());
        ASSERT_TRUE(QFile::link(c.target, report + c.link));
        EXPECT_EQ(zipOutcome(report, destination), c.expected);
        EXPECT_EQ(testsupport::readFile(destination), archive);
        QFile::remove(report + c.link);
    }

    // Two links that lead into each other's folders loop as well.
    QDir().mkpath(report + u"/a"_s);
    QDir().mkpath(report + u"/b"_s);
    ASSERT_TRUE(QFile::link(u"../b"_s, report + u"/a/to-b"_s));
    ASSERT_TRUE(QFile::link(u"../a"_s, report + u"/b/to-a"_s));
    EXPECT_EQ(zipOutcome(report, destination),
              u"The folder was not zipped: the link \"a/to-b/to-a\" leads back to \"%1\", a folder "
              "that contains it, so the archive would never end. Remove the link."_s.arg(report +
                                                                                         u"/a"_s));
    EXPECT_EQ(testsupport::readFile(destination), archive);
}

TEST(ZipService, BuildsTheArchiveInThePrivateWorkFolder)
{
    // A stand-in for the tool that notes where it was asked to write and who may enter there.
    QTemporaryDir dir;
    const TemporaryDirectory temporary(dir.filePath(u"tmp"_s));
    QDir().mkpath(dir.filePath(u"tmp"_s));
    const QString tool = dir.filePath(u"zip"_s);
    writeFile(tool, "#!/bin/sh\n"
                    "echo \"$4\" > \"$(dirname \"$0\")/log\"\n"
                    "stat -c %a \"$(dirname \"$4\")\" \"$(dirname \"$(dirname \"$4\")\")\" "
                    ">> \"$(dirname \"$0\")/log\"\n"
                    "echo archive > \"$4\"\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(dir.filePath(u"report/Main.jrxml"_s), "main");

    ASSERT_EQ(zipOutcome(dir.filePath(u"report"_s), dir.filePath(u"out.zip"_s), tool), u"ok");
    const QStringList log =
        QString::fromUtf8(testsupport::readFile(dir.filePath(u"log"_s))).split(u'\n');
    const PrivateWorkFolder expected(dir.filePath(u"tmp"_s));
    ASSERT_GE(log.size(), 3);
    // in a folder of its own (where the tool's own temporary file goes too) in the work folder
    EXPECT_EQ(QFileInfo(QFileInfo(log[0]).path()).path(), expected.path());
    EXPECT_EQ(log[1], u"700"_s);
    EXPECT_EQ(log[2], u"700"_s);
    EXPECT_EQ(testsupport::readFile(dir.filePath(u"out.zip"_s)), "archive\n");
    EXPECT_EQ(
        QDir(expected.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList())
        << "the work file is moved away and its folder removed";
}

// A zip that is cancelled ends its tool at once and writes nothing to the destination.
TEST(ZipService, ACancelledZipEndsTheToolAndLeavesNoArchive)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const TemporaryDirectory temporary(dir.path());
    // a tool that starts its archive and then takes its time
    const QString tool = dir.filePath(u"slowzip"_s);
    QFile script(tool);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho partial > \"$4\"\nexec sleep 60\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(dir.path()).mkpath(u"folder"_s);
    const QString destination = dir.filePath(u"out.zip"_s);

    std::atomic<bool> cancelled = false;
    QString outcome;
    std::thread zipping([&] {
        try {
            ZipService::zipContents(dir.filePath(u"folder"_s), destination, tool, &cancelled);
            outcome = u"ok"_s;
        } catch (const ZipService::ZipError &error) {
            outcome = error.description();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QElapsedTimer clock;
    clock.start();
    cancelled = true;
    zipping.join();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(outcome, u"The zip was cancelled."_s);
    EXPECT_FALSE(QFileInfo::exists(destination));
}

// The tool writes the archive to a temporary file of its own ("zi…" beside the archive) and
// renames it at the end; a zip cancelled while that file is being written leaves nothing behind.
TEST(ZipService, ACancelledZipLeavesNoTemporaryFileOfTheTool)
{
    if (!QFileInfo::exists(QString::fromLatin1(ZipService::zipTool)))
        GTEST_SKIP() << "needs " << ZipService::zipTool;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const TemporaryDirectory temporary(dir.path());
    const QString folder = dir.filePath(u"folder"_s);
    // Data that does not compress keeps the tool busy for a while.
    QByteArray block(8 << 20, Qt::Uninitialized);
    for (int file = 0; file < 6; ++file) {
        QRandomGenerator(file + 1).fillRange(reinterpret_cast<quint32 *>(block.data()),
                                             block.size() / 4);
        writeFile(folder + u"/part" + QString::number(file) + u".bin", block);
    }
    const QString workFolder = PrivateWorkFolder(dir.path()).path();
    const auto toolFiles = [&] {
        QStringList found;
        QDirIterator it(workFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QFileInfo(it.next()).fileName());
        return found;
    };

    std::atomic<bool> cancelled = false;
    std::atomic<bool> finished = false;
    QString outcome;
    std::thread zipping([&] {
        try {
            ZipService::zipContents(folder, dir.filePath(u"out.zip"_s),
                                    QString::fromLatin1(ZipService::zipTool), &cancelled);
            outcome = u"ok"_s;
        } catch (const std::exception &error) {
            outcome = QString::fromUtf8(error.what());
        }
        finished = true;
    });
    const bool toolFileSeen = testsupport::waitFor(
        [&] { return finished || toolFiles().filter(QRegularExpression(u"^zi"_s)).size() > 0; },
        std::chrono::seconds(60));
    cancelled = true;
    zipping.join();
    ASSERT_TRUE(toolFileSeen);
    ASSERT_EQ(outcome, u"The zip was cancelled."_s) << "the zip ended before it was cancelled";
    EXPECT_EQ(toolFiles(), QStringList());
    EXPECT_EQ(QDir(workFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"out.zip"_s)));
}
