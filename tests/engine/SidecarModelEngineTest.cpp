#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFileInfo>
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
