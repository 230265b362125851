// The sample data test of the Report Data sheet with a CSV file of 100 MB (memory: Linux).
//
// BM_SampleFileLoad: from attaching the file in the sheet's query pane until its preview of the
// header and ten rows is drawn. "blockedMs" is how long the window's thread is held by the
// attach itself; "rssBeforeMB" and "rssAfterMB" are the process's resident memory before the
// first attach and after the last one, "peakMB" the process's peak.
//
// BM_WideSampleLoad/<columns>: a sample of that many columns and 20 rows (5,000 columns make
// about 0.9 MB) attached in the sheet, timed from the attach until the sheet has drawn its
// preview, less the read of the file off the window's thread: how long the window is held
// (goal: 100 ms at any width).
// "rssGrowthMB" is what the process's resident memory grew by over the runs.

#include "GuiBenchMain.h"
#include "datapanel/DataPanelView.h"
#include "datapanel/QueryTestState.h"
#include "document/DocumentStore.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 sampleBytes = 100 * 1000 * 1000;

// A customer list with a header: ids, names, addresses with quoted commas, amounts and dates.
void writeSample(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray block = "id,name,email,address,amount,date\n";
    qint64 written = 0;
    for (int row = 1; written < sampleBytes; ++row) {
        const QByteArray n = QByteArray::number(row);
        block += n + ",Customer " + n + ",customer" + n + "@example.com,\"" + n +
                 " High Street, Springfield\"," + QByteArray::number(row % 9973) + "." +
                 QByteArray::number(10 + row % 90) + ",2026-" + QByteArray::number(10 + row % 3) +
                 "-" + QByteArray::number(10 + row % 19) + "\n";
        if (block.size() >= 1024 * 1024 || written + block.size() >= sampleBytes) {
            written += file.write(block);
            block.clear();
        }
    }
}

double residentMegabytes()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.size() > 1 ? double(pages[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / 1e6
                            : 0;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024 / 1e6;
}

// The Report Data sheet of an empty report, shown at its size, and how often its sample data
// test has changed.
struct SampleSheet {
    explicit SampleSheet(const QTemporaryDir &dir)
        : settings(dir.filePath(u"settings"_s)),
          view(
              &store, settings, nullptr, nullptr, [] {}, nullptr, &dialogs)
    {
        view.resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
        view.show();
        QCoreApplication::processEvents();
        sample = view.findChild<QueryTestState *>(u"datapanel.query.testState"_s);
        if (sample)
            QObject::connect(sample, &QueryTestState::changed, &view, [this] { ++shown; });
    }

    DocumentStore store;
    AppSettings settings;
    ScriptedDialogs dialogs;
    DataPanelView view;
    QueryTestState *sample = nullptr;
    int shown = 0;
};

void BM_SampleFileLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"customers.csv"_s);
    writeSample(path);
    SampleSheet sheet(dir);
    QueryTestState *sample = sheet.sample;
    if (!sample) {
        state.SkipWithError("no sample data test in the sheet");
        return;
    }
    int &shown = sheet.shown;

    const double before = residentMegabytes();
    double blocked = 0;
    for (auto _ : state) {
        const int expected = shown + 1;
        QElapsedTimer attach;
        attach.start();
        sample->load(path);
        blocked += double(attach.nsecsElapsed()) / 1e6;
        while (shown < expected)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        sheet.view.repaint();
    }
    QCoreApplication::processEvents();
    if (sample->headerRow().size() != 6 || sample->previewRows().size() != 10)
        state.SkipWithError("the preview does not show the header and ten rows");
    state.counters["blockedMs"] = benchmark::Counter(blocked, benchmark::Counter::kAvgIterations);
    state.counters["rssBeforeMB"] = before;
    state.counters["rssAfterMB"] = residentMegabytes();
    state.counters["peakMB"] = peakMegabytes();
}
BENCHMARK(BM_SampleFileLoad)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WideSampleLoad(benchmark::State &state)
{
    const int columns = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wide.csv"_s);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        QByteArray text;
        for (int row = 0; row <= 20; ++row) {
            for (int column = 0; column < columns; ++column) {
                if (column > 0)
                    text += ',';
                text += row == 0 ? "measurement_" + QByteArray::number(column)
                                 : QByteArray::number(row * 1000003LL + column * 7919LL);
            }
            text += '\n';
        }
        file.write(text);
    }
    SampleSheet sheet(dir);
    QueryTestState *sample = sheet.sample;
    if (!sample) {
        state.SkipWithError("no sample data test in the sheet");
        return;
    }
    int &shown = sheet.shown;
    const double before = residentMegabytes();
    for (auto _ : state) {
        sample->clear();
        QCoreApplication::processEvents();
        const int expected = shown + 1;
        QElapsedTimer held;
        held.start();
        sample->load(path);
        double heldMs = double(held.nsecsElapsed()) / 1e6;
        // The file is read off the window's thread: that wait does not hold the window.
        QThreadPool::globalInstance()->waitForDone();
        held.restart();
        while (shown < expected)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        sheet.view.repaint();
        heldMs += double(held.nsecsElapsed()) / 1e6;
        state.SetIterationTime(heldMs / 1e3);
    }
    if (sample->headerRow().size() != columns)
        state.SkipWithError("the preview does not show every column");
    state.counters["rssGrowthMB"] = residentMegabytes() - before;
}
BENCHMARK(BM_WideSampleLoad)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN();
