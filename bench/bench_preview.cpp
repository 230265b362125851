// From a press of the window's Preview button to the first page of the PDF shown in the preview
// sheet, with a warm engine, beside the engine's own compile and fill times for the same run
// ("compileMs", "fillMs"). "loadedMs" is the time until the sheet holds the loaded PDF; the rest
// is drawing the first page at the view's width.
//
// Needs Java, sidecar/target/sidecar.jar and the corpus (QUILLMARK_CORPUS, else ../shared/corpus);
// QUILLMARK_BENCH_REPORT names another corpus report.
//
// How responsive the window stays while the preview loads a runaway report's 50 MB PDF: the
// longest wait of a 1 ms timer on the main thread ("maxEventLoopGapMs") while the preview view
// loads the file until it shows it ("loadedMs").

#include "EngineLocation.h"
#include "GuiBenchMain.h"
#include "WindowStalls.h"
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
#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
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
        // Waits as the window's event loop does, asleep until something happens: a loop that
        // polls keeps a core busy that the engine would otherwise have. The timer only makes
        // sure the conditions are looked at again.
        QTimer wake;
        wake.start(5);
        while (engine.isRendering() || !pdf->document() ||
               pdf->document()->status() != QPdfDocument::Status::Ready) {
            if (engine.errorMessage())
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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

// A PDF of `pages` pages of plain text, about 2 KB each, written directly: what a report that
// runs away with its detail band produces.
bool writeLargePdf(const QString &path, int pages)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QList<qint64> offsets; // of objects 1, 2, ...
    const auto object = [&](const QByteArray &body) {
        offsets.append(file.pos());
        file.write(QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n");
    };
    file.write("%PDF-1.4\n");
    // 1: catalog, 2: pages, 3: font, then a page and its content per page.
    object("<< /Type /Catalog /Pages 2 0 R >>");
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(4 + 2 * i) + " 0 R ";
    object("<< /Type /Pages /Count " + QByteArray::number(pages) + " /Kids [" + kids + "] >>");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (int i = 0; i < pages; ++i) {
        QByteArray text = "BT /F1 9 Tf 12 TL 40 800 Td\n";
        for (int line = 0; line < 40; ++line)
            text += "(Row " + QByteArray::number(i * 40 + line) +
                    ": the detail band of a report that never stops printing) '\n";
        text += "ET";
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 "
               "3 0 R >> >> /Contents " +
               QByteArray::number(5 + 2 * i) + " 0 R >>");
        object("<< /Length " + QByteArray::number(text.size()) + " >>\nstream\n" + text +
               "\nendstream");
    }
    const qint64 xref = file.pos();
    QByteArray table =
        "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const qint64 offset : offsets)
        table += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    file.write(table + "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) +
               " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
    return file.error() == QFileDevice::NoError;
}

void BM_PreviewLoadsA50MBPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Runaway.pdf"_s);
    if (!writeLargePdf(path, 16300)) { // 50 MB
        state.SkipWithError("could not write the PDF");
        return;
    }
    PDFPreviewView view;
    view.resize(900, 1000);
    view.show();
    // Every run replaces the document shown, as a new render does.
    view.setUrl(QUrl::fromLocalFile(path));
    while (!view.pdfView()->document())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);

    double gapSum = 0, gapMax = 0, loadedSum = 0;
    for (auto _ : state) {
        QElapsedTimer loading;
        // The load starts from inside the event loop, as a finished render starts it; the wait
        // lasts until the run's own load has shown its document.
        const double longestGap = windowstalls::longestStall(
            [&] {
                loading.start();
                view.setUrl(QUrl::fromLocalFile(path));
            },
            [&] {
                return loading.isValid() && view.pdfView()->document() &&
                       view.pdfView()->document()->status() == QPdfDocument::Status::Ready;
            });
        const double loadedMs = double(loading.nsecsElapsed()) / 1e6;
        state.SetIterationTime(loadedMs / 1e3);
        loadedSum += loadedMs;
        gapSum += longestGap;
        gapMax = std::max(gapMax, longestGap);
    }
    const double n = double(state.iterations());
    state.counters["loadedMs"] = loadedSum / n;
    state.counters["maxEventLoopGapMs"] = gapSum / n;
    state.counters["worstEventLoopGapMs"] = gapMax;
    state.counters["fileMB"] = double(QFileInfo(path).size()) / 1e6;
}

} // namespace

BENCHMARK(BM_PreviewLoadsA50MBPdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PreviewPressToFirstPage)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5);

QUILLMARK_GUI_BENCHMARK_MAIN()
