#include "engine/ChapterCompiles.h"
#include "ScriptedEngine.h"
#include "engine/SidecarClient.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The chapters A and B of a book beside their compiled files, compiled through the scripted fake
// engine, which echoes every request (and writes no file: the compiled files are the test's).
class ChapterCompilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const QString &name : {u"A"_s, u"B"_s}) {
            write(name + u".jrxml"_s, "<jasperReport name=\"" + name.toUtf8() + "\"/>");
            write(name + u".jasper"_s, "compiled");
            chapters.append({dir.filePath(name + u".jrxml"_s), dir.filePath(name + u".jasper"_s)});
        }
        scripted.script({}); // every request echoed
        client.start(scripted.location);
    }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The chapters compiled by one run, by report file name.
    QStringList compiledByARun()
    {
        const qsizetype before = scripted.requests().size();
        compiles.compileChanged(chapters, client, std::chrono::seconds(20));
        QStringList names;
        for (const QJsonObject &request : scripted.requests().mid(before))
            names.append(QFileInfo(request[u"params"_s][u"jrxmlPath"_s].toString()).fileName());
        return names;
    }

    QTemporaryDir dir;
    testsupport::ScriptedEngine scripted;
    SidecarClient client;
    ChapterCompiles compiles;
    QList<ChapterFile> chapters;
};

} // namespace

TEST_F(ChapterCompilesTest, AChapterIsCompiledWhenItsReportOrItsCompiledFileChangedWhateverTheTimes)
{
    EXPECT_EQ(compiledByARun(), QStringList({u"A.jrxml"_s, u"B.jrxml"_s})) << "the first run";
    EXPECT_EQ(compiledByARun(), QStringList()) << "nothing changed";

    // A restored from a backup: other content, the same size, a time long before its compile.
    const QDateTime before = QFileInfo(chapters[0].jrxmlPath).lastModified();
    write(u"A.jrxml"_s, "<jasperReport name=\"Z\"/>");
    QFile restored(chapters[0].jrxmlPath);
    ASSERT_TRUE(restored.open(QIODevice::ReadWrite));
    ASSERT_TRUE(restored.setFileTime(before.addDays(-30), QFileDevice::FileModificationTime));
    restored.close();
    EXPECT_EQ(compiledByARun(), QStringList{u"A.jrxml"_s});

    write(u"B.jasper"_s, "written by another compile");
    EXPECT_EQ(compiledByARun(), QStringList{u"B.jrxml"_s});

    ASSERT_TRUE(QFile::remove(chapters[0].jasperPath));
    EXPECT_EQ(compiledByARun(), QStringList{u"A.jrxml"_s});
    write(u"A.jasper"_s, "compiled");
    EXPECT_EQ(compiledByARun(), QStringList{u"A.jrxml"_s}) << "its compile wrote no file";
    EXPECT_EQ(compiledByARun(), QStringList());

    ASSERT_TRUE(QFile::remove(chapters[1].jrxmlPath));
    try {
        compiles.compileChanged(chapters, client, std::chrono::seconds(20));
        ADD_FAILURE() << "a chapter that is gone is compiled from nothing";
    } catch (const std::exception &error) {
        EXPECT_TRUE(QString::fromUtf8(error.what())
                        .startsWith(u"The chapter \"B.jrxml\" of this book is no longer in "_s))
            << error.what();
    }
}
