// From a press of the window's Preview button to the first page of the PDF shown in the preview
// sheet, with a warm engine, beside the engine's own compile and fill times for the same run
// ("compileMs", "fillMs"). "loadedMs" is the time until the sheet holds the loaded PDF; the rest
// is drawing the first page at the view's width.
//
// Needs Java, sidecar/target/sidecar.jar and the corpus (QUILLMARK_CORPUS, else ../shared/corpus);
// QUILLMARK_BENCH_REPORT names another corpus report.

#include "EngineLocation.h"
#include "GuiBenchMain.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/PreviewSheet.h"
#include "canvas/SnippetLibrary.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/PDFPreviewView.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPdfDocument>
#include <QPdfView>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int warmUpRuns = 5;

struct Window {
    explicit Window(const QTemporaryDir &dir)
        : presetSettings(dir.filePath(u"presets.ini"_s), QSettings::IniFormat),
          connections(presetSettings, keychain), settings(dir.filePath(u"Docs"_s)),
          snippetSettings(dir.filePath(u"snippets.ini"_s), QSettings::IniFormat),
          snippets(snippetSettings), engine(PrivateWorkFolder(dir.path())),
          view(workspace, settings, dialogs, snippets, engine)
    {
        engine.setLocationProvider(benchEngineLocation);
        view.setEngine(&engine, connections);
        view.resize(1400, 900);
        view.show();
    }

    // Presses Preview and waits until the first page is drawn; the time until the PDF was loaded
    // goes to `loadedMs`. False when the run failed.
    bool preview(double &loadedMs)
    {
        QElapsedTimer timer;
        timer.start();
        view.trailingToolbar()->previewButton()->click();
        QPdfView *pdf = view.previewSheet()->pdfView()->pdfView();
        while (engine.isRendering() || !pdf->document() ||
               pdf->document()->status() != QPdfDocument::Status::Ready) {
            if (engine.errorMessage())
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        loadedMs = double(timer.nsecsElapsed()) / 1e6;
        const QSizeF page = pdf->document()->pagePointSize(0);
        const int width = pdf->viewport()->width();
        pdf->document()->render(0, QSize(width, qRound(width * page.height() / page.width())));
        QCoreApplication::processEvents();
        engine.setPreviewSession(std::nullopt);
        return true;
    }

    QSettings presetSettings;
    InMemoryKeychain keychain;
    ConnectionPresetStore connections;
    AppSettings settings;
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    QSettings snippetSettings;
    SnippetLibrary snippets;
    SidecarModel engine;
    ContentView view;
};

void BM_PreviewPressToFirstPage(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const QString corpus = qEnvironmentVariable(
        "QUILLMARK_CORPUS", QStringLiteral(QUILLMARK_SOURCE_DIR "/../shared/corpus"));
    const QString report = dir.filePath(u"report.jrxml"_s);
    if (!QFile::copy(
            corpus + u"/jrxml-samples/"_s +
                qEnvironmentVariable("QUILLMARK_BENCH_REPORT", u"shapes/ShapesReport.jrxml"_s),
            report)) {
        state.SkipWithError("the corpus report is missing");
        return;
    }
    Window window(dir);
    window.workspace.openTab(QUrl::fromLocalFile(report));
    double loadedMs = 0;
    for (int i = 0; i < warmUpRuns; ++i) {
        if (!window.preview(loadedMs)) {
            state.SkipWithError(
                window.engine.errorMessage().value_or(QString()).toStdString().c_str());
            return;
        }
    }
    double loadedSum = 0, compileSum = 0, fillSum = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!window.preview(loadedMs)) {
            state.SkipWithError("the preview failed");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        loadedSum += loadedMs;
        compileSum += double(window.engine.lastRenderStats()->compileMs);
        fillSum += double(window.engine.lastRenderStats()->fillMs);
    }
    const double n = double(state.iterations());
    state.counters["loadedMs"] = loadedSum / n;
    state.counters["compileMs"] = compileSum / n;
    state.counters["fillMs"] = fillSum / n;
}

} // namespace

BENCHMARK(BM_PreviewPressToFirstPage)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5);

QUILLMARK_GUI_BENCHMARK_MAIN()
