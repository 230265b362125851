// The codec over the real report definitions of the shared corpus, and the jrxmlcat tool.

#include "CodecTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace codectest;

namespace {

QString jrxmlcat()
{
    return QStringLiteral(QUILLMARK_BINARY_DIR "/tools/jrxmlcat");
}

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolResult runTool(const QString &program, const QStringList &arguments,
                   const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// A unique file name for each corpus report: its sample folder and its name.
QString outputName(const QString &report)
{
    const QFileInfo info(report);
    return info.dir().dirName() + QLatin1Char('-') + info.fileName();
}

} // namespace

// Every report reads; its output is a fixed point and well-formed for a conforming XML reader.
TEST(JrxmlCorpus, RoundTripIsAFixedPointAndWellFormed)
{
    QUILLMARK_REQUIRE_CORPUS();
    const QStringList reports = testsupport::corpusReports();
    ASSERT_EQ(reports.size(), 145);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList written;
    for (const QString &report : reports) {
        SCOPED_TRACE(report.toStdString());
        QByteArray once;
        try {
            once = roundTrip(testsupport::readFile(report));
        } catch (const JrxmlCodecError &error) {
            ADD_FAILURE() << error.message().toStdString();
            continue;
        }
        EXPECT_EQ(roundTrip(once).toStdString(), once.toStdString());
        QFile out(dir.filePath(outputName(report)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(once);
        written << out.fileName();
    }
    if (QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty())
        GTEST_SKIP() << "xmllint is absent; well-formedness not checked";
    const ToolResult lint = runTool(QStringLiteral("xmllint"), QStringList{"--noout"} + written);
    EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
}

TEST(JrxmlCorpus, JrxmlcatRoundTrip)
{
    QUILLMARK_REQUIRE_CORPUS();
    const QString report = testsupport::corpusReports().first();
    const QByteArray source = testsupport::readFile(report);

    const ToolResult fromFile = runTool(jrxmlcat(), {QStringLiteral("roundtrip"), report});
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err.toStdString();
    EXPECT_EQ(fromFile.out, roundTrip(source));
    const ToolResult fromStdin = runTool(jrxmlcat(), {QStringLiteral("roundtrip"), "-"}, source);
    EXPECT_EQ(fromStdin.out, fromFile.out);

    const ToolResult missing =
        runTool(jrxmlcat(), {QStringLiteral("roundtrip"), QStringLiteral("/nonexistent.jrxml")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains("/nonexistent.jrxml")) << missing.err.toStdString();

    const ToolResult malformed = runTool(jrxmlcat(), {QStringLiteral("roundtrip"), "-"}, "<a>");
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_TRUE(malformed.err.startsWith("Malformed .jrxml: ")) << malformed.err.toStdString();

    // Two reads of one file dump the same text: identifiers are left out.
    const ToolResult dump = runTool(jrxmlcat(), {QStringLiteral("dump"), report});
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.out, runTool(jrxmlcat(), {QStringLiteral("dump"), report}).out);
    EXPECT_TRUE(dump.out.contains("\"detailBands\"")) << dump.out.left(200).toStdString();
}
