// Editing thousands of elements at once in the whole designer window, 1600 x 1000 points large,
// through the menu items the user picks: Edit > Select All, Delete and Undo, and View > Zoom In,
// on a report whose detail band holds `range(0)` texts. Each figure is one action until the
// window has taken its events and drawn the result (canvas, outline, inspector and toolbars):
// the time is the mean, "medianMs" the median and "longestMs" the longest of the runs, beside
// "goal_ms" (50 at 3,000 elements; at 100,000, 1,000 for Delete and 2,000 for the others). "cpuMs"
// is the median processor time of the window's thread over the action, which a busy machine
// stretches less than the time on the clock.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "OnePageReports.h"
#include "WindowStalls.h"
#include "app/AppMenus.h"

#include <QAction>
#include <QMenu>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// `count` static texts and text fields, the rows overlapping, in one detail band.
QByteArray reportOf(int count)
{
    return onepage::report(count, onepage::Kinds::texts, 4, 170, 700);
}

enum class Action { selectAll, deleteAll, undoDelete, zoomIn };

// The state each action starts from, reached outside the timing.
void prepare(DesignerWindow &window, Action action)
{
    DocumentStore *store = window.store();
    store->setZoomLevel(1.0);
    store->setSelectedElementIDs({});
    if (action == Action::deleteAll || action == Action::undoDelete)
        store->selectAllInActiveBand();
    if (action == Action::undoDelete)
        store->deleteSelectedElement();
    DesignerWindow::settle();
}

// Back to the report as it was opened: nothing deleted, nothing left to undo.
void restore(DesignerWindow &window, Action action)
{
    DocumentStore *store = window.store();
    if (action == Action::deleteAll)
        store->undo();
    store->setSelectedElementIDs({});
    store->setZoomLevel(1.0);
    DesignerWindow::settle();
}

void BM_BulkEdit(benchmark::State &state, Action action)
{
    const int count = int(state.range(0));
    DesignerWindow window;
    if (!window.checkSize(state))
        return;
    window.open(reportOf(count));
    DocumentStore *store = window.store();
    if (!store || store->document().detailBands.value(0).elements.size() != count) {
        state.SkipWithError("the report did not open");
        return;
    }
    store->setActiveBandTarget(BandTarget::detailBand(store->document().detailBands[0].id));
    const AppMenus &menus = window.app().menus();
    QAction *item = nullptr;
    switch (action) {
    case Action::selectAll:
        item = AppMenus::action(menus.editMenu(), u"Select All"_s);
        break;
    case Action::deleteAll:
        item = AppMenus::action(menus.editMenu(), u"Delete"_s);
        break;
    case Action::undoDelete:
        item = AppMenus::action(menus.editMenu(), u"Undo"_s);
        break;
    case Action::zoomIn:
        item = AppMenus::action(menus.viewMenu(), u"Zoom In"_s);
        break;
    }
    QList<double> times, processor;
    for (auto _ : state) {
        prepare(window, action);
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = windowstalls::threadCpuMs();
        item->trigger();
        DesignerWindow::settle();
        const qint64 took = clock.nsecsElapsed();
        processor.append(windowstalls::threadCpuMs() - cpuBefore);
        state.SetIterationTime(double(took) / 1e9);
        times.append(double(took) / 1e6);
        const qsizetype shown = store->document().detailBands[0].elements.size();
        const bool done =
            (action == Action::selectAll && store->selectedElementIDs().size() == count) ||
            (action == Action::deleteAll && shown == 0) ||
            (action == Action::undoDelete && shown == count) ||
            (action == Action::zoomIn && store->zoomLevel() > 1.0);
        restore(window, action);
        if (!done) {
            state.SkipWithError("the action did not do what the user asked");
            return;
        }
    }
    state.counters["medianMs"] = windowstalls::median(times);
    state.counters["longestMs"] = windowstalls::longest(times);
    state.counters["cpuMs"] = windowstalls::median(processor);
    state.counters["goal_ms"] = count < 100000 ? 50 : action == Action::deleteAll ? 1000 : 2000;
}
BENCHMARK_CAPTURE(BM_BulkEdit, selectAll, Action::selectAll)
    ->Arg(3000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, delete, Action::deleteAll)
    ->Arg(3000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, undo, Action::undoDelete)
    ->Arg(3000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, zoomIn, Action::zoomIn)
    ->Arg(3000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
