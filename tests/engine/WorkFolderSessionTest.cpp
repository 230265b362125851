#include "EngineTestSupport.h"
#include "engine/PrivateWorkFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One designer process previewing a report named "ReportBook" that prints `title`.
struct Designer {
    Designer(const SidecarClient::Location &engine, const QString &parent, const QString &title)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(QUILLMARK_WORK_FOLDER_PROBE),
                      {engine.javaPath, engine.jarPath, parent, title});
    }
    ~Designer()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // The PDF of its preview, once it is written; empty when it failed.
    QString waitForPreview()
    {
        while (!output.contains('\n') && process.waitForReadyRead(120000))
            output += process.readAllStandardOutput();
        EXPECT_TRUE(output.startsWith("rendered ")) << output.toStdString();
        return output.startsWith("rendered ") ? QString::fromLocal8Bit(output.mid(9).trimmed())
                                              : QString();
    }
    void quit()
    {
        process.write("quit\n");
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    }

    QProcess process;
    QByteArray output;
};

QString pdfText(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_s, {pdf, u"-"_s});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
}

} // namespace

// Two designers of one user preview reports of one name at the same time: each sees its own,
// since each works in a folder of its own. A designer that quits takes its folder with it; one
// that is killed leaves it, and the next designer to start removes it.
TEST(PrivateWorkFolder, TwoDesignersPreviewingReportsOfOneNameEachSeeTheirOwn)
{
    QUILLMARK_REQUIRE_ENGINE();
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        GTEST_SKIP() << "needs pdftotext to read the previews";
    QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    auto one = std::make_unique<Designer>(*location, parent.path(), u"Designer One"_s);
    auto two = std::make_unique<Designer>(*location, parent.path(), u"Designer Two"_s);
    const QString pdfOne = one->waitForPreview();
    const QString pdfTwo = two->waitForPreview();
    ASSERT_FALSE(pdfOne.isEmpty());
    ASSERT_FALSE(pdfTwo.isEmpty());
    EXPECT_NE(pdfOne, pdfTwo);
    EXPECT_EQ(QFileInfo(pdfOne).fileName(), u"ReportBook.pdf"_s);
    EXPECT_EQ(pdfText(pdfOne), u"Designer One"_s);
    EXPECT_EQ(pdfText(pdfTwo), u"Designer Two"_s);

    const QString folderOne = QFileInfo(pdfOne).absolutePath();
    const QString folderTwo = QFileInfo(pdfTwo).absolutePath();
    const QString shared = QFileInfo(folderOne).absolutePath();
    EXPECT_EQ(QFileInfo(shared).fileName(), PrivateWorkFolder::folderName);

    one->process.kill(); // as a crash ends it
    ASSERT_TRUE(one->process.waitForFinished(60000));
    one.reset();
    two->quit();
    two.reset();
    EXPECT_TRUE(QFileInfo::exists(folderOne)) << "nobody removed the folder of the killed one";
    EXPECT_FALSE(QFileInfo::exists(folderTwo)) << "the one that quit removed its folder";

    Designer three(*location, parent.path(), u"Designer Three"_s);
    const QString pdfThree = three.waitForPreview();
    EXPECT_EQ(pdfText(pdfThree), u"Designer Three"_s);
    EXPECT_FALSE(QFileInfo::exists(folderOne)) << "the next start removed the killed one's folder";
    EXPECT_EQ(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QFileInfo(pdfThree).absoluteDir().dirName()});
    three.quit();
    EXPECT_EQ(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}
