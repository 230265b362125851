// Opening a report that holds one huge value (a static text or the report's name of 100 MB) in
// the designer's path: the tab, the canvas, the outline and the inspector with the element
// selected. The figures are the time until the window has drawn it, of which the selection takes
// `select_ms`, and the process's peak memory (each size runs best in a process of its own: the
// peak never goes down). Goal: a few seconds at most for 100 MB.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

QByteArray huge(qsizetype length)
{
    QByteArray text(length, 'x');
    for (qsizetype i = 7; i < length; i += 8)
        text[i] = ' ';
    return text;
}

QByteArray reportWith(qsizetype length, bool inName)
{
    const QByteArray value = huge(length);
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name=")") +
           (inName ? value : QByteArray("Large")) + QByteArray(R"("
    pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
    topMargin="20" bottomMargin="20">
  <detail>
    <band height="60">
      <staticText>
        <reportElement x="0" y="0" width="300" height="40"/>
        <text><![CDATA[)") +
           (inName ? QByteArray("Short") : value) + QByteArray(R"(]]></text>
      </staticText>
    </band>
  </detail>
</jasperReport>
)");
}

void BM_OpenHugeValue(benchmark::State &state)
{
    const bool inName = state.range(1) != 0;
    const QByteArray file = reportWith(state.range(0), inName);
    for (auto _ : state) {
        DesignerWindow window;
        if (!window.checkSize(state))
            return;
        QElapsedTimer clock;
        clock.start();
        window.open(file);
        DocumentStore *store = window.store();
        if (!store || store->document().detailBands.isEmpty() ||
            store->document().detailBands.first().elements.isEmpty()) {
            state.SkipWithError("the report did not open");
            return;
        }
        DesignerWindow::settle();
        const qint64 opened = clock.nsecsElapsed();
        // The inspector shows the element: its text in the Text card's editor.
        store->setSelectedElementIDs({store->document().detailBands.first().elements.first().id});
        DesignerWindow::settle();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["select_ms"] = double(clock.nsecsElapsed() - opened) / 1e6;
        state.counters["peak_MB"] = peakMegabytes();
    }
}
BENCHMARK(BM_OpenHugeValue)
    ->Args({10 << 20, 0})
    ->Args({100 << 20, 0})
    ->Args({100 << 20, 1})
    ->ArgNames({"bytes", "inName"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
