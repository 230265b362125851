#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testing::HasSubstr;
using testsupport::waitFor;

namespace {

struct RealModel {
    explicit RealModel(const SidecarClient::Location &location)
    {
        model.setLocationProvider([location] { return location; });
    }
    QTemporaryDir dir;
    SidecarModel model{PrivateWorkFolder(dir.path())};
};

ReportDocument corpusReport()
{
    return JrxmlCodec::parse(testsupport::readFile(
        testsupport::corpusDir() + u"/jrxml-samples/barbecue/BarbecueReport.jrxml"_s));
}

} // namespace

TEST(SidecarModelEngine, RendersAndExportsACorpusReportToEveryFormat)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_CORPUS();
    RealModel real(*location);
    const ReportDocument report = corpusReport();
    real.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_EQ(real.model.errorMessage(), std::nullopt);
    ASSERT_TRUE(real.model.pdfURL());
    EXPECT_TRUE(testsupport::readFile(real.model.pdfURL()->toLocalFile()).startsWith("%PDF-"));
    const RenderStats stats = real.model.lastRenderStats().value_or(RenderStats{});
    EXPECT_GE(stats.pageCount, 1);
    EXPECT_GT(stats.compileMs, 0);
    EXPECT_GE(stats.fillMs, 0);

    for (const ExportFormat format : allCases<ExportFormat>()) {
        const QString output = real.dir.filePath(u"out/Barbecue."_s + rawValue(format));
        SCOPED_TRACE(output.toStdString());
        real.model.exportReport(report, format, QUrl::fromLocalFile(output), std::nullopt, {}, {},
                                std::nullopt);
        ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
        EXPECT_EQ(real.model.exportErrorMessage(), std::nullopt);
        EXPECT_GT(QFileInfo(output).size(), 0);
    }
}

TEST(SidecarModelEngine, ABadExpressionFailsWithItsCause)
{
    QUILLMARK_REQUIRE_ENGINE();
    RealModel real(*location);
    ReportDocument report = testsupport::reportWithSubreports(u"Broken"_s, {});
    report.detailBands[0].elements.append(
        testsupport::element(ElementKind{ElementKind::TextField{u"$F{missingField}"_s}}));
    real.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    EXPECT_THAT(real.model.errorMessage().value_or(QString()).toStdString(),
                HasSubstr("Field not found : missingField"));
    EXPECT_EQ(real.model.pdfURL(), std::nullopt);
}

namespace {

// The fonts of a PDF as pdffonts lists them, sorted: each font's name without its subset prefix,
// followed by " embedded" when it is.
QStringList pdfFonts(const QString &pdf)
{
    QProcess pdffonts;
    pdffonts.start(u"pdffonts"_s, {pdf});
    if (!pdffonts.waitForFinished(30000) || pdffonts.exitCode() != 0)
        return {u"(pdffonts failed)"_s};
    QStringList fonts;
    const QStringList lines = QString::fromUtf8(pdffonts.readAllStandardOutput()).split(u'\n');
    for (const QString &line : lines.mid(2)) {
        // name, type, encoding, then "emb sub uni" as yes/no and the object number
        static const QRegularExpression row(
            uR"(^(\S+)\s.*\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)"_s);
        const QRegularExpressionMatch match = row.match(line);
        if (!match.hasMatch())
            continue;
        QString name = match.captured(1);
        if (name.size() > 7 && name[6] == u'+')
            name = name.mid(7);
        fonts.append(match.captured(2) == u"yes"_s ? name + u" embedded"_s : name);
    }
    fonts.sort();
    return fonts;
}

QByteArray textsIn(const QList<std::pair<QByteArray, QByteArray>> &fonts)
{
    QByteArray band;
    int y = 0;
    for (const auto &[attributes, text] : fonts) {
        band += "<staticText><reportElement x=\"0\" y=\"" + QByteArray::number(y) +
                "\" width=\"400\" height=\"20\"/><textElement><font " + attributes +
                "/></textElement><text><![CDATA[" + text + "]]></text></staticText>";
        y += 20;
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Faces" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20"><title><band height="200">)" +
           band + "</band></title></jasperReport>";
}

} // namespace

// The faces the designer offers reach the PDF of a preview and of an export, embedded: the named
// face where it is installed, otherwise its metric twin (Liberation) that the program installs,
// and DejaVu Sans for text without a font, as the canvas draws it. Helvetica, the engine's
// fallback, is gone.
TEST(SidecarModelEngine, TextFacesReachThePdfEmbedded)
{
    QUILLMARK_REQUIRE_ENGINE();
    if (QStandardPaths::findExecutable(u"pdffonts"_s).isEmpty())
        GTEST_SKIP() << "needs pdffonts (poppler-utils)";
    if (!QFileInfo::exists(u"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"_s) ||
        !QFileInfo::exists(u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"_s))
        GTEST_SKIP() << "needs the Liberation and DejaVu fonts (fonts-liberation2, fonts-dejavu)";
    RealModel real(*location);
    const ReportDocument report = JrxmlCodec::parse(textsIn({
        {R"(fontName="Times New Roman" isBold="true")", "Times New Roman bold"},
        {R"(fontName="Arial")", "Arial"},
        {R"(fontName="Helvetica" isItalic="true")", "Helvetica italic"},
        {R"(fontName="Courier New")", "Courier New"},
        {R"(fontName="DejaVu Serif")", "DejaVu Serif"},
        {"", "The default face"},
    }));
    const QStringList expected{u"DejaVuSans embedded"_s,
                               u"DejaVuSerif embedded"_s,
                               u"LiberationMono embedded"_s,
                               u"LiberationSans embedded"_s,
                               u"LiberationSans-Italic embedded"_s,
                               u"LiberationSerif-Bold embedded"_s};

    real.model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_EQ(real.model.errorMessage(), std::nullopt);
    ASSERT_TRUE(real.model.pdfURL());
    EXPECT_EQ(pdfFonts(real.model.pdfURL()->toLocalFile()), expected) << "preview";

    const QString exported = real.dir.filePath(u"Faces.pdf"_s);
    real.model.exportReport(report, ExportFormat::pdf, QUrl::fromLocalFile(exported), std::nullopt,
                            {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_EQ(real.model.exportErrorMessage(), std::nullopt);
    EXPECT_EQ(pdfFonts(exported), expected) << "export";

    // Without any text the PDF holds only the face of text without a font, which the PDF writer
    // sets up for every page.
    real.model.compileAndPreview(JrxmlCodec::parse(textsIn({})), std::nullopt, {}, {},
                                 std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_TRUE(real.model.pdfURL());
    EXPECT_EQ(pdfFonts(real.model.pdfURL()->toLocalFile()), QStringList{u"DejaVuSans embedded"_s});
}
