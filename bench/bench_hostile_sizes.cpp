// Reports whose size lies in one unusual place: one element with very many attributes, very
// many empty detail bands, and elements the format does not know nested very deep. Reading and
// writing must stay linear in the file's size. The figures are a load and save with the codec (as
// `jrxmlcat roundtrip` does), the canonical comparison of a file with its load and save (as
// `jrxmlcat canonical` does), and the time until the designer's window has drawn the report
// opened in a tab (the canvas, the outline and the inspector). Goal: under 2 s each for 100,000
// attributes, 100,000 bands and 100,000 nested elements.
//
// BM_WidePage: a report whose column or margin is as large as a file can carry, opened beside a
// small report in the window at a user's size: the time until the window has drawn it, scrolled
// it to its far right and bottom and drawn it again, and switched to the other tab and back.
// What the canvas draws depends on what it shows, not on the page: goal under 1 s, as for a page
// of A4.

#include "CanonicalDiff.h"
#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "model/JrxmlCodec.h"

#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

const QByteArray head = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Hostile"
    pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
    topMargin="20" bottomMargin="20">
)";

// A report whose one static text carries `count` attributes of its own on its position line.
QByteArray manyAttributes(qsizetype count)
{
    QByteArray attributes;
    for (qsizetype i = 0; i < count; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + '"';
    return head + R"(  <title>
    <band height="50">
      <staticText>
        <reportElement x="0" y="0" width="100" height="20")" +
           attributes + R"(/>
        <text><![CDATA[Text]]></text>
      </staticText>
    </band>
  </title>
</jasperReport>
)";
}

// A report with `count` empty detail bands.
QByteArray manyBands(qsizetype count)
{
    QByteArray bands;
    for (qsizetype i = 0; i < count; ++i)
        bands += "    <band height=\"0\"/>\n";
    return head + "  <detail>\n" + bands + "  </detail>\n</jasperReport>\n";
}

// A report whose root holds `count` elements the format does not know, each inside the last.
QByteArray manyNested(qsizetype count)
{
    return head + QByteArray("<unknown>").repeated(count) +
           QByteArray("</unknown>").repeated(count) + "\n</jasperReport>\n";
}

void roundTrip(benchmark::State &state, const QByteArray &file)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        QStringList warnings;
        const QByteArray written = JrxmlCodec::serialize(JrxmlCodec::parse(file, &warnings));
        benchmark::DoNotOptimize(written.size());
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_RoundTripManyAttributes(benchmark::State &state)
{
    roundTrip(state, manyAttributes(state.range(0)));
}
BENCHMARK(BM_RoundTripManyAttributes)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->ArgName("attributes")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_RoundTripManyBands(benchmark::State &state)
{
    roundTrip(state, manyBands(state.range(0)));
}
BENCHMARK(BM_RoundTripManyBands)
    ->Arg(100000)
    ->ArgName("bands")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_RoundTripManyNested(benchmark::State &state)
{
    roundTrip(state, manyNested(state.range(0)));
}
BENCHMARK(BM_RoundTripManyNested)
    ->Arg(100000)
    ->ArgName("nested")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The file compared with what a load and save writes; the comparison alone is timed.
void canonical(benchmark::State &state, const QByteArray &file)
{
    const QByteArray written = JrxmlCodec::serialize(JrxmlCodec::parse(file));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const QList<canonicaldiff::Difference> differences = canonicaldiff::compare(file, written);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (!differences.isEmpty()) {
            state.SkipWithError("a load and save changed the report");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_CanonicalManyAttributes(benchmark::State &state)
{
    canonical(state, manyAttributes(state.range(0)));
}
BENCHMARK(BM_CanonicalManyAttributes)
    ->Arg(100000)
    ->ArgName("attributes")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_CanonicalManyBands(benchmark::State &state)
{
    canonical(state, manyBands(state.range(0)));
}
BENCHMARK(BM_CanonicalManyBands)
    ->Arg(100000)
    ->ArgName("bands")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_CanonicalManyNested(benchmark::State &state)
{
    canonical(state, manyNested(state.range(0)));
}
BENCHMARK(BM_CanonicalManyNested)
    ->Arg(100000)
    ->ArgName("nested")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The processor time the process has taken, in seconds.
double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The time until the window has drawn the report, and (`cpu_ms`) the processor time it took,
// which a machine busy with other work changes less.
void openToFirstPaint(benchmark::State &state, const QByteArray &file)
{
    for (auto _ : state) {
        DesignerWindow window;
        const double before = processorSeconds();
        const double seconds = window.open(file);
        state.counters["cpu_ms"] = (processorSeconds() - before) * 1000;
        if (seconds < 0 || !window.store()) {
            state.SkipWithError("the report did not open");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_OpenManyAttributes(benchmark::State &state)
{
    openToFirstPaint(state, manyAttributes(state.range(0)));
}
BENCHMARK(BM_OpenManyAttributes)
    ->Arg(100000)
    ->ArgName("attributes")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_OpenManyNested(benchmark::State &state)
{
    openToFirstPaint(state, manyNested(state.range(0)));
}
BENCHMARK(BM_OpenManyNested)
    ->Arg(100000)
    ->ArgName("nested")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_OpenManyBands(benchmark::State &state)
{
    openToFirstPaint(state, manyBands(state.range(0)));
}
BENCHMARK(BM_OpenManyBands)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("bands")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A page of A4 whose one column is `column` points wide, or whose left margin is `leftMargin`,
// with a few bands holding an element each.
QByteArray widePage(qint64 column, qint64 leftMargin)
{
    QByteArray bands;
    for (const char *band : {"title", "pageHeader", "columnHeader", "detail", "summary"}) {
        const QByteArray tag(band);
        const QByteArray text = R"(
      <staticText>
        <reportElement x="10" y="5" width="200" height="20"/>
        <text><![CDATA[)" + tag +
                                R"(]]></text>
      </staticText>)";
        bands += "  <" + tag + ">\n    <band height=\"40\">" + text + "\n    </band>\n  </" + tag +
                 ">\n";
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Wide"
    pageWidth="595" pageHeight="842" columnWidth=")" +
           QByteArray::number(column) + R"(" leftMargin=")" + QByteArray::number(leftMargin) +
           R"(" rightMargin="20" topMargin="20" bottomMargin="20">
)" + bands +
           "</jasperReport>\n";
}

void BM_WidePage(benchmark::State &state)
{
    const QByteArray file = widePage(state.range(0), state.range(1));
    for (auto _ : state) {
        DesignerWindow window;
        if (!window.checkSize(state))
            return;
        window.open(head + "</jasperReport>\n", QStringLiteral("Small.jrxml"));
        const double before = processorSeconds();
        QElapsedTimer clock;
        clock.start();
        if (window.open(file) < 0 || window.app().workspace().tabs().size() != 2) {
            state.SkipWithError("the report did not open");
            return;
        }
        QWidget *canvas = window.canvasViewport();
        canvas->grab();
        auto *view = qobject_cast<QAbstractScrollArea *>(canvas->parentWidget());
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        DesignerWindow::settle();
        canvas->grab();
        window.app().workspace().setActiveTabIndex(0);
        DesignerWindow::settle();
        window.app().workspace().setActiveTabIndex(1);
        DesignerWindow::settle();
        window.app().mainWindow()->grab();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["cpu_ms"] = (processorSeconds() - before) * 1000;
    }
}
BENCHMARK(BM_WidePage)
    ->Args({555, 20})
    ->Args({1000000, 20})
    ->Args({2147483600, 20})
    ->Args({555, -2147483648LL})
    ->ArgNames({"column", "left"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
