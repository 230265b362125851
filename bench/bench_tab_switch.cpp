// Switching tabs in the whole designer window, 1600 x 1000 points large, as a click on a tab chip
// does: the canvas, the outline, the inspector and the toolbars follow the other report, and the
// time runs until the window has drawn it. The large report is one of `elements` elements:
// spread over ten bands ("spread"), or all in one band of one page that the canvas shows whole,
// texts alone ("texts") or texts, shapes, pictures, frames and subreports in turn ("mixed").
//
// BM_TabSwitch: two reports are open, the large one and one of ten elements, and each has been
// shown once; the figure is a switch into the large one. The goal is 30 ms at 3,000 elements.
// "tabMB" is the resident memory the two open tabs hold once each has been shown.
//
// BM_FirstVisit: the designer starts with both reports reopened from the last session, the small
// one active, and the user clicks the large one's tab: its first visit, which builds its page.
// The figure is the longest time the window did not answer from the click until it had drawn
// the page and gone quiet; the goal is 100 ms at 3,000 elements. "cpuMs" is the median
// processor time of the window's thread over that span, which a busy machine stretches less.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "OnePageReports.h"
#include "WindowStalls.h"
#include "app/ContentView.h"
#include "app/TabBarView.h"
#include "app/TabChip.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/ElementView.h"
#include "model/JrxmlCodec.h"

#include <QGraphicsItem>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

enum Layout { spread, texts, mixed };

// The large report: the one-page ones fit the canvas of the window at 100 %.
QByteArray largeReport(int elements, Layout layout)
{
    if (layout == spread)
        return JrxmlCodec::serialize(largeDocument(elements));
    return onepage::report(
        elements, layout == texts ? onepage::Kinds::texts : onepage::Kinds::mixed, 3, 150, 460);
}

QString nameOf(Layout layout)
{
    static const char *names[] = {"spread", "texts", "mixed"};
    return QString::fromLatin1(names[layout]);
}

// Whether every element of the report shown lies in the part of the page the canvas shows.
bool allOnScreen(DesignerWindow &window)
{
    CanvasView *canvas = window.app().contentView()->canvas();
    CanvasGraphicsView *view = canvas->graphicsView();
    const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
    int elements = 0;
    for (QGraphicsItem *item : canvas->scene()->items()) {
        if (!dynamic_cast<ElementView *>(item))
            continue;
        ++elements;
        if (!shown.contains(item->sceneBoundingRect()))
            return false;
    }
    return elements > 0;
}

double residentMegabytes()
{
    malloc_trim(0);
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * double(getpagesize()) / (1 << 20);
}

void clickChip(TabChip *chip)
{
    const QPointF at(chip->width() / 2.0, chip->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, chip->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(chip, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, chip->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chip, &release);
    DesignerWindow::settle();
}

void BM_TabSwitch(benchmark::State &state)
{
    const int elements = int(state.range(0));
    const auto layout = Layout(state.range(1));
    DesignerWindow window;
    if (!window.checkSize(state, nameOf(layout)))
        return;
    const double before = residentMegabytes();
    window.open(largeReport(elements, layout), u"Large.jrxml"_s);
    window.open(JrxmlCodec::serialize(largeDocument(10)), u"Small.jrxml"_s);
    ContentView *content = window.app().contentView();
    const QList<TabChip *> chips = content->tabBar()->chips();
    if (chips.size() != 2) {
        state.SkipWithError("the two reports did not open in two tabs");
        return;
    }
    // Each tab shown once, as a user who has looked at both.
    clickChip(chips[0]);
    if (layout != spread && !allOnScreen(window)) {
        state.SkipWithError("the canvas does not show the whole one-page report");
        return;
    }
    clickChip(chips[1]);
    state.counters["tabMB"] = residentMegabytes() - before;
    windowstalls::PaintCounter counter;
    window.canvasViewport()->installEventFilter(&counter);
    QList<double> back;
    for (auto _ : state) {
        clickChip(chips[0]);
        state.PauseTiming();
        QElapsedTimer clock;
        clock.start();
        clickChip(chips[1]);
        back.append(double(clock.nsecsElapsed()) / 1e6);
        state.ResumeTiming();
    }
    if (window.app().workspace().activeTabIndex() != 1 ||
        counter.paints < 2 * int(state.iterations())) {
        state.SkipWithError("a click on a tab did not switch and draw the canvas");
        return;
    }
    state.counters["backToSmallMs"] = windowstalls::median(back);
    state.counters["goalMs"] = 30;
}
BENCHMARK(BM_TabSwitch)
    ->ArgNames({"elements", "layout"})
    ->Args({10, spread})
    ->Args({3000, spread})
    ->Args({3000, texts})
    ->Args({3000, mixed})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

void BM_FirstVisit(benchmark::State &state)
{
    const int elements = int(state.range(0));
    const auto layout = Layout(state.range(1));
    const DesignerWindow::Session session{
        {{u"Large.jrxml"_s, largeReport(elements, layout)},
         {u"Small.jrxml"_s, JrxmlCodec::serialize(largeDocument(10))}},
        1};
    QList<double> stalls, drawn, processor;
    for (auto _ : state) {
        DesignerWindow window(session);
        if (!window.checkSize(state, nameOf(layout)))
            return;
        WorkspaceModel &workspace = window.app().workspace();
        const QList<TabChip *> chips = window.app().contentView()->tabBar()->chips();
        if (chips.size() != 2 || workspace.activeTabIndex() != 1) {
            state.SkipWithError("the last session's two reports did not reopen");
            return;
        }
        // The window has drawn the small report and gone quiet before the user clicks.
        windowstalls::longestStall([] {}, [] { return true; }, 200);
        windowstalls::PaintCounter counter;
        window.canvasViewport()->installEventFilter(&counter);
        QElapsedTimer clock;
        qint64 drawnAt = 0;
        const double cpuBefore = windowstalls::threadCpuMs();
        const double stall = windowstalls::longestStall(
            [&] {
                clock.start();
                clickChip(chips[0]);
            },
            [&] {
                if (workspace.activeTabIndex() != 0 || counter.paints == 0)
                    return false;
                drawnAt = clock.nsecsElapsed();
                return true;
            },
            300);
        processor.append(windowstalls::threadCpuMs() - cpuBefore);
        state.SetIterationTime(stall / 1000);
        stalls.append(stall);
        drawn.append(double(drawnAt) / 1e6);
        if (layout != spread && !allOnScreen(window)) {
            state.SkipWithError("the canvas does not show the whole one-page report");
            return;
        }
    }
    state.counters["medianStallMs"] = windowstalls::median(stalls);
    state.counters["longestStallMs"] = windowstalls::longest(stalls);
    state.counters["drawnMs"] = windowstalls::median(drawn);
    state.counters["cpuMs"] = windowstalls::median(processor);
    state.counters["goalMs"] = 100;
}
BENCHMARK(BM_FirstVisit)
    ->ArgNames({"elements", "layout"})
    ->Args({3000, texts})
    ->Args({3000, mixed})
    ->Args({3000, spread})
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
