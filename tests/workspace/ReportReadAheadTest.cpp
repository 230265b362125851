#include "workspace/ReportReadAhead.h"
#include "AppTestSupport.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

using namespace Qt::StringLiterals;

namespace {

class ReportReadAheadTest : public apptest::SandboxTest {
protected:
    static QUrl url(const QString &filePath) { return QUrl::fromLocalFile(filePath); }
    // Lets every read under way finish.
    static void finishReads() { QThreadPool::globalInstance()->waitForDone(); }
    // The file's text with one report name put in place of another of the same length.
    void rename(const QString &filePath, const QByteArray &from, const QByteArray &to)
    {
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        ASSERT_TRUE(text.contains(from));
        writeText(QFileInfo(filePath).fileName(), text.replace(from, to));
    }
    static QByteArray written(const DocumentStore &store)
    {
        return JrxmlCodec::serialize(store.document());
    }
};

TEST_F(ReportReadAheadTest, TheRestoreOpensWhatWasReadAsTheFileItself)
{
    const QString a = writeReport(u"A.jrxml"_s, u"Alpha"_s);
    const QString b = writeReport(u"B.jrxml"_s, u"Bravo"_s);
    AppSettings settings(path(u"Docs"_s));
    settings.setLastOpenTabPaths({a, path(u"sub/../B.jrxml"_s)});
    settings.setLastActiveTabIndex(1);
    WorkspaceModel workspace;
    workspace.readLastSessionAhead(settings);
    workspace.restoreLastSession(settings);

    ASSERT_EQ(workspace.tabs().size(), 2);
    EXPECT_EQ(workspace.activeTabIndex(), 1);
    for (int tab = 0; tab < 2; ++tab) {
        const DocumentStore *restored = workspace.tabs().at(tab);
        DocumentStore opened;
        opened.load(url(tab == 0 ? a : b));
        EXPECT_EQ(written(*restored), written(opened));
        EXPECT_EQ(restored->fileURL(), opened.fileURL());
        EXPECT_EQ(restored->readerWarnings(), opened.readerWarnings());
        EXPECT_FALSE(restored->isDirty());
        EXPECT_FALSE(restored->hasFileChangedOnDisk());
    }
    EXPECT_EQ(workspace.tabs().at(0)->document().name, u"Alpha"_s);
}

TEST_F(ReportReadAheadTest, AFileChangedAfterItWasReadIsOpenedAsItIsNow)
{
    const QString a = writeReport(u"A.jrxml"_s, u"Alpha"_s);
    ReportReadAhead ahead;
    ahead.start({a});
    finishReads();
    // Same size, other bytes.
    rename(a, "Alpha", "Gamma");
    EXPECT_FALSE(ahead.take(a)) << "what was read no longer stands for the file";

    AppSettings settings(path(u"Docs"_s));
    settings.setLastOpenTabPaths({a});
    WorkspaceModel workspace;
    workspace.readLastSessionAhead(settings);
    finishReads();
    rename(a, "Gamma", "Delta");
    workspace.restoreLastSession(settings);
    const DocumentStore *restored = workspace.activeStore();
    EXPECT_EQ(restored->document().name, u"Delta"_s);
    EXPECT_FALSE(restored->hasFileChangedOnDisk());
}

TEST_F(ReportReadAheadTest, FilesThatCouldNotBeReadAheadAreReadAtTheRestore)
{
    const QString broken = writeText(u"broken.jrxml"_s, "not xml");
    const QString later = path(u"later.jrxml"_s);
    AppSettings settings(path(u"Docs"_s));
    settings.setLastOpenTabPaths({broken, later});
    WorkspaceModel workspace;
    workspace.readLastSessionAhead(settings);
    finishReads();
    writeReport(u"broken.jrxml"_s, u"Mended"_s);
    writeReport(u"later.jrxml"_s, u"Later"_s);
    workspace.restoreLastSession(settings);
    ASSERT_EQ(workspace.tabs().size(), 2);
    EXPECT_EQ(workspace.tabs().at(0)->document().name, u"Mended"_s);
    EXPECT_EQ(workspace.tabs().at(1)->document().name, u"Later"_s);

    ReportReadAhead ahead;
    EXPECT_FALSE(ahead.take(later)) << "nothing was read";
    ahead.start({later, path(u"x/../later.jrxml"_s)});
    EXPECT_TRUE(ahead.take(path(u"./later.jrxml"_s))) << "one read, under any spelling";
    EXPECT_FALSE(ahead.take(later)) << "and taken once";
}

} // namespace
