// The codec over the real report definitions of the shared corpus, and the jrxmlcat tool.

#include "CanonicalDiff.h"
#include "CodecTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

QString jrxmlcat()
{
    return QStringLiteral(QUILLMARK_BINARY_DIR "/tools/jrxmlcat");
}

// A unique file name for each corpus report: its sample folder and its name.
QString outputName(const QString &report)
{
    const QFileInfo info(report);
    return info.dir().dirName() + QLatin1Char('-') + info.fileName();
}

// The files xmllint names as valid against the corpus schemas.
QSet<QString> validFiles(const QStringList &files)
{
    const QString schema = testsupport::corpusDir() + QStringLiteral("/jrxml-all.xsd");
    const ToolResult result =
        runTool(QStringLiteral("xmllint"), QStringList{"--noout", "--schema", schema} + files);
    QSet<QString> valid;
    for (const QByteArray &line : result.err.split('\n')) {
        if (line.endsWith(" validates"))
            valid.insert(QFileInfo(QString::fromUtf8(line.chopped(10))).fileName());
    }
    return valid;
}

} // namespace

// Every report reads; its output is a fixed point, well-formed for a namespace-aware reader, and
// valid against the schemas whenever the report was.
TEST(JrxmlCorpus, RoundTripIsAFixedPointWellFormedAndValid)
{
    QUILLMARK_REQUIRE_CORPUS();
    const QStringList reports = testsupport::corpusReports();
    ASSERT_EQ(reports.size(), 145);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList originals;
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
        // Copies of the originals under the same unique names, to compare validity by name.
        QFile::copy(report, dir.filePath(QStringLiteral("in-") + outputName(report)));
        originals << dir.filePath(QStringLiteral("in-") + outputName(report));
        QFile out(dir.filePath(QStringLiteral("out-") + outputName(report)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(once);
        written << out.fileName();
    }
    if (!haveXmllint())
        GTEST_SKIP() << "xmllint is absent; well-formedness and validity not checked";
    const ToolResult lint = runTool(QStringLiteral("xmllint"), QStringList{"--noout"} + written);
    EXPECT_EQ(lint.exitCode, 0);
    EXPECT_EQ(lint.err.toStdString(), "");

    const QSet<QString> validBefore = validFiles(originals);
    const QSet<QString> validAfter = validFiles(written);
    EXPECT_EQ(validBefore.size(), 135);
    for (const QString &name : validBefore)
        EXPECT_TRUE(validAfter.contains(QStringLiteral("out-") + name.mid(3)))
            << name.toStdString();
}

// A no-edit save gives every report back canonically unchanged: the same elements in the same
// order, with the same attributes and texts (attribute order and indentation aside).
TEST(JrxmlCorpus, NoEditSaveChangesNothingCanonically)
{
    QUILLMARK_REQUIRE_CORPUS();
    canonicaldiff::Counts total;
    int unchanged = 0;
    const QStringList reports = testsupport::corpusReports();
    for (const QString &report : reports) {
        const QByteArray source = testsupport::readFile(report);
        const QList<canonicaldiff::Difference> differences =
            canonicaldiff::compare(source, roundTrip(source));
        total += canonicaldiff::count(differences);
        if (differences.isEmpty())
            ++unchanged;
        for (const canonicaldiff::Difference &d : differences)
            ADD_FAILURE() << report.toStdString() << ": "
                          << canonicaldiff::describe(d).toStdString();
    }
    EXPECT_EQ(unchanged, reports.size()) << canonicaldiff::describe(total).toStdString();
}

// Charts, crosstabs, other components and generic elements come back with the same content.
TEST(JrxmlCorpus, PassThroughContentIsKept)
{
    QUILLMARK_REQUIRE_CORPUS();
    if (!haveXmllint())
        GTEST_SKIP() << "xmllint is absent";
    int compared = 0;
    for (const QString &report : testsupport::corpusReports()) {
        const QByteArray source = testsupport::readFile(report);
        const QByteArray before = canonicalPassThrough(source);
        QStringList warnings;
        const QByteArray after = canonicalPassThrough(roundTrip(source, &warnings));
        // A group section holds one band in the model: the elements of further bands are not
        // kept (and are named in the warnings).
        if (before == "<all></all>" || !warnings.filter(QStringLiteral("<band>")).isEmpty())
            continue;
        ++compared;
        EXPECT_EQ(after.toStdString(), before.toStdString()) << report.toStdString();
    }
    EXPECT_GE(compared, 30);
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

TEST(JrxmlCorpus, JrxmlcatWarningsAndSnippets)
{
    const QString fixture =
        testsupport::sourceDir() + QStringLiteral("/tests/model/golden/everything.in.jrxml");
    QStringList warnings;
    JrxmlCodec::parse(testsupport::readFile(fixture), &warnings);
    const ToolResult listed = runTool(jrxmlcat(), {QStringLiteral("warnings"), fixture});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(listed.out), warnings.join(u'\n') + u'\n');

    // Every top-level element as a fragment; reading them gives the first, the group's field.
    const ToolResult fragments = runTool(jrxmlcat(), {QStringLiteral("snippet-out"), fixture});
    EXPECT_EQ(fragments.exitCode, 0);
    const ToolResult first = runTool(jrxmlcat(), {QStringLiteral("snippet-in")}, fragments.out);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains("\"expression\": \"$F{f1}\"")) << first.out.toStdString();
    const ToolResult cut =
        runTool(jrxmlcat(), {QStringLiteral("snippet-in")}, fragments.out.left(100));
    EXPECT_EQ(cut.exitCode, 1);
}

// jrxmlcat names the values the reader changed and the entity references it keeps as text.
TEST(JrxmlCorpus, JrxmlcatWarningsNameChangedValues)
{
    const QByteArray hostile =
        "<!DOCTYPE jasperReport [<!ENTITY lol9 \"lol\">]>"
        "<jasperReport name=\"&lol9;\" pageWidth=\"1e308\" rightMargin=\"-1e300\" "
        "topMargin=\"inf\" bottomMargin=\"NaN\"><detail><band "
        "height=\"99999999999999999999\"><line><reportElement x=\"0\" y=\"0\" width=\"9\" "
        "height=\"NaN\"/></line></band></detail></jasperReport>";
    const ToolResult listed = runTool(jrxmlcat(), {QStringLiteral("warnings"), "-"}, hostile);
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QString tail =
        QStringLiteral(" is not a whole number the engine can read; the report now holds ");
    EXPECT_EQ(
        QString::fromUtf8(listed.out).split(u'\n', Qt::SkipEmptyParts),
        (QStringList{u"The entity reference &lol9; is kept as literal text: the reader does not "
                     u"expand entities, and a save writes the reference itself as text, which the "
                     u"engine then takes as it stands"_s,
                     u"pageWidth=\"1e308\" on <jasperReport>"_s + tail + u"2147483647"_s,
                     u"rightMargin=\"-1e300\" on <jasperReport>"_s + tail + u"-2147483647"_s,
                     u"topMargin=\"inf\" on <jasperReport>"_s + tail + u"30"_s,
                     u"bottomMargin=\"NaN\" on <jasperReport>"_s + tail + u"30"_s,
                     u"height=\"99999999999999999999\" on <band>"_s + tail + u"2147483647"_s,
                     u"height=\"NaN\" on <reportElement>"_s + tail + u"20"_s}));
}
