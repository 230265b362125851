// A warm render of a corpus report through the engine model (serialising the report, writing the
// work file, the background task, the pipe and the publication on the main thread) against the
// engine's own compile, fill and export time for the same render. "overheadPct" is the model's
// wall time beyond the engine's own time.
//
// Needs Java, sidecar/target/sidecar.jar and the corpus (QUILLMARK_CORPUS, else ../shared/corpus);
// QUILLMARK_BENCH_REPORT names another corpus report.

#include "CoreBenchMain.h"
#include "EngineLocation.h"
#include "engine/EngineRequests.h"
#include "engine/EngineWorkFiles.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int warmUpRenders = 5;

std::optional<ReportDocument> benchReport()
{
    const QString corpus = qEnvironmentVariable(
        "QUILLMARK_CORPUS", QStringLiteral(QUILLMARK_SOURCE_DIR "/../shared/corpus"));
    QFile file(corpus + u"/jrxml-samples/"_s +
               qEnvironmentVariable("QUILLMARK_BENCH_REPORT", u"barbecue/BarbecueReport.jrxml"_s));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return JrxmlCodec::parse(file.readAll());
}

// Renders once and waits on the event loop for the outcome; false on failure.
bool renderThroughModel(SidecarModel &model, const ReportDocument &report)
{
    QEventLoop loop;
    QObject::connect(&model, &SidecarModel::isRenderingChanged, &loop, [&] {
        if (!model.isRendering())
            loop.quit();
    });
    model.compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    if (model.isRendering())
        loop.exec();
    return !model.errorMessage().has_value();
}

// Each iteration renders through the model (the measured time), then sends the same render to the
// same engine directly: its reply gives the engine's own compile + fill + export time
// ("engineMs"), and its wall time ("clientMs") the cost of the process and pipe alone.
void BM_WarmRender(benchmark::State &state)
{
    const std::optional<ReportDocument> report = benchReport();
    if (!report) {
        state.SkipWithError("the corpus report is missing");
        return;
    }
    QTemporaryDir dir;
    SidecarModel model{PrivateWorkFolder(dir.path())};
    model.setLocationProvider(benchEngineLocation);
    const ResolvedPaths paths = resolvePaths(*report, std::nullopt, model.workFolder().path());
    const QJsonObject direct =
        EngineRequests::renderParams(paths.jrxmlPath, paths.tempBase + u".pdf"_s, paths.jasperPath,
                                     paths.jrprintPath, {}, std::nullopt, report->queryString);
    for (int i = 0; i < warmUpRenders; ++i) {
        if (!renderThroughModel(model, *report)) {
            state.SkipWithError(model.errorMessage().value_or(QString()).toStdString().c_str());
            return;
        }
        model.sidecar().send(u"render"_s, direct);
    }
    double engineMs = 0;
    double clientMs = 0;
    double modelMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!renderThroughModel(model, *report)) {
            state.SkipWithError("render failed");
            return;
        }
        const double modelSeconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(modelSeconds);
        modelMs += modelSeconds * 1e3;
        timer.restart();
        const QJsonObject result = model.sidecar().send(u"render"_s, direct);
        clientMs += double(timer.nsecsElapsed()) / 1e6;
        engineMs += result[u"compileMs"_s].toDouble() + result[u"fillMs"_s].toDouble() +
                    result[u"exportMs"_s].toDouble();
    }
    const double n = double(state.iterations());
    state.counters["engineMs"] = engineMs / n;
    state.counters["clientMs"] = clientMs / n;
    state.counters["overheadPct"] = 100.0 * (modelMs - engineMs) / engineMs;
}

} // namespace

BENCHMARK(BM_WarmRender)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5);

QUILLMARK_CORE_BENCHMARK_MAIN()
