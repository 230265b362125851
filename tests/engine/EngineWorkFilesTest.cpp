#include "engine/EngineWorkFiles.h"
#include "engine/PrivateWorkFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

} // namespace

TEST(PrivateWorkFolder, IsMadeOursAndAvoidsWhatOthersCouldHavePlanted)
{
    struct Case {
        const char *name;
        std::function<void(const PrivateWorkFolder &, const QString &elsewhere)> plant;
        bool usual; // the usual name is kept, else a fresh folder is made
    };
    const auto mkdirMode = [](const QString &path, mode_t mode) {
        ::mkdir(QFile::encodeName(path).constData(), 0700);
        ::chmod(QFile::encodeName(path).constData(), mode);
    };
    const QList<Case> cases{
        {"nothing there", [](auto &, auto &) {}, true},
        {"our folder open to all",
         [&](auto &folder, auto &) { mkdirMode(folder.privateDir(), 0777); }, true},
        {"a link to another folder",
         [](auto &folder, auto &elsewhere) { QFile::link(elsewhere, folder.privateDir()); }, false},
        {"a file",
         [](auto &folder, auto &) {
             QFile file(folder.privateDir());
             (void)file.open(QIODevice::WriteOnly);
         },
         false},
        {"a link inside our open folder",
         [&](auto &folder, auto &elsewhere) {
             mkdirMode(folder.privateDir(), 0777);
             QFile::link(elsewhere, folder.sharedDir());
         },
         false},
        {"a folder of another user",
         [](auto &folder, auto &) {
             QDir().mkdir(folder.privateDir());
             // Only the superuser can give it away; for others this case is the first one.
             (void)::chown(QFile::encodeName(folder.privateDir()).constData(), 65534, 65534);
         },
         ::geteuid() != 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir parent;
        PrivateWorkFolder folder(parent.path());
        const QString usual = folder.path();
        const QString elsewhere = parent.filePath(u"elsewhere"_s);
        ASSERT_TRUE(QDir().mkdir(elsewhere));
        c.plant(folder, elsewhere);
        const QString path = folder.ensure();
        EXPECT_EQ(path, folder.path());
        EXPECT_EQ(path == usual, c.usual) << path.toStdString();
        EXPECT_TRUE(path.startsWith(parent.path() + u"/quillmark-"_s));
        EXPECT_EQ(QFileInfo(path).absolutePath(), folder.privateDir() + u"/Quillmark"_s);
        EXPECT_EQ(modeOf(folder.sharedDir()), 0700u);
        EXPECT_EQ(modeOf(folder.privateDir()), 0700u);
        EXPECT_EQ(modeOf(path), 0700u);
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "nothing is made through a link";
        EXPECT_EQ(folder.ensure(), path) << "the folder stays the same";
    }

    PrivateWorkFolder nowhere(u"/nonexistent/parent"_s);
    EXPECT_THROW(nowhere.ensure(), PrivateWorkFolder::Error);
}

TEST(EngineWorkFiles, PathsFollowTheReportNameAndTheSavedFile)
{
    ReportDocument unnamed;
    ReportDocument invoice;
    invoice.name = u"Invoice"_s;
    EXPECT_EQ(resolvePaths(unnamed, std::nullopt, u"/w"_s),
              (ResolvedPaths{u"/w/report.jrxml"_s, u"/w/report.jasper"_s, u"/w/report.jrprint"_s,
                             u"/w/report"_s}));
    EXPECT_EQ(resolvePaths(invoice, QUrl::fromLocalFile(u"/home/a.b/Invoice.v2.jrxml"_s), u"/w"_s),
              (ResolvedPaths{u"/w/Invoice.jrxml"_s, u"/home/a.b/Invoice.v2.jasper"_s,
                             u"/w/Invoice.jrprint"_s, u"/w/Invoice"_s}));
    ReportDocument climbing;
    climbing.name = u"../../etc/x"_s;
    EXPECT_EQ(resolvePaths(climbing, std::nullopt, u"/w"_s),
              (ResolvedPaths{u"/w/.._.._etc_x.jrxml"_s, u"/w/.._.._etc_x.jasper"_s,
                             u"/w/.._.._etc_x.jrprint"_s, u"/w/.._.._etc_x"_s}));
}
