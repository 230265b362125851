#include "engine/ZipService.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    EXPECT_EQ(QDir(dir.filePath(u"out"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"Report Folder.zip"_s});

    EXPECT_EQ(zipOutcome(report, destination, dir.filePath(u"no-zip"_s)),
              u"The system zip tool (/usr/bin/zip) was not found.");
    EXPECT_EQ(ZipService::ZipError::processFailed(3, {}).description(),
              u"zip exited with status 3");
}
