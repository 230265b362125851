#include "EngineTestSupport.h"
#include "PrintedFonts.h"
#include "TestSupport.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFileInfo>
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
    const ReportDocument report = JrxmlCodec::parse(testsupport::reportOfTexts({
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
    EXPECT_EQ(testsupport::pdfFonts(real.model.pdfURL()->toLocalFile()), expected) << "preview";

    const QString exported = real.dir.filePath(u"Faces.pdf"_s);
    real.model.exportReport(report, ExportFormat::pdf, QUrl::fromLocalFile(exported), std::nullopt,
                            {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_EQ(real.model.exportErrorMessage(), std::nullopt);
    EXPECT_EQ(testsupport::pdfFonts(exported), expected) << "export";

    // Without any text the PDF holds only the face of text without a font, which the PDF writer
    // sets up for every page.
    real.model.compileAndPreview(JrxmlCodec::parse(testsupport::reportOfTexts({})), std::nullopt,
                                 {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !real.model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_TRUE(real.model.pdfURL());
    EXPECT_EQ(testsupport::pdfFonts(real.model.pdfURL()->toLocalFile()),
              QStringList{u"DejaVuSans embedded"_s});
}
