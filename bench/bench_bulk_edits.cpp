// Editing thousands of elements at once in the whole designer window, 1600 x 1000 points large,
// through the menu items the user picks: Edit > Select All, Delete, Undo (of the Delete), Redo
// (of it again) and Duplicate, and View > Zoom In, and with the pointer: the whole selection
// dragged a little within its band, from the press to the release. The report's detail band
// holds `range(0)` texts. Each figure is one action until the window has taken its events and
// drawn the result (canvas, outline, inspector and toolbars): the time is the mean, "medianMs"
// the median and "longestMs" the longest of the runs, beside "goal_ms" (50 at 3,000 elements; at
// 100,000, 1,000 for Delete and 2,000 for the others). "cpuMs" is the median processor time of
// the window's thread over the action, which a busy machine stretches less than the time on the
// clock.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "OnePageReports.h"
#include "WindowStalls.h"
#include "app/AppMenus.h"
#include "canvas/CanvasScene.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// `count` static texts and text fields, the rows overlapping, in one detail band.
QByteArray reportOf(int count)
{
    return onepage::report(count, onepage::Kinds::texts, 4, 170, 700);
}

enum class Action { selectAll, deleteAll, undoDelete, redoDelete, duplicate, dragAll, zoomIn };

// The state each action starts from, reached outside the timing.
void prepare(DesignerWindow &window, Action action)
{
    DocumentStore *store = window.store();
    store->setZoomLevel(1.0);
    store->setSelectedElementIDs({});
    if (action != Action::selectAll && action != Action::zoomIn)
        store->selectAllInActiveBand();
    if (action == Action::undoDelete || action == Action::redoDelete)
        store->deleteSelectedElement();
    if (action == Action::redoDelete)
        store->undo();
    DesignerWindow::settle();
}

// Back to the report as it was opened: nothing deleted, duplicated or moved.
void restore(DesignerWindow &window, Action action)
{
    DocumentStore *store = window.store();
    if (action == Action::deleteAll || action == Action::redoDelete ||
        action == Action::duplicate || action == Action::dragAll)
        store->undo();
    store->setSelectedElementIDs({});
    store->setZoomLevel(1.0);
    DesignerWindow::settle();
}

void sendMouse(QWidget *viewport, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

// The selection pressed inside the second text (clear of the corner handles) and dragged 10 points
// right and 8 down in a few moves, the window drawing after each, then released there.
void dragSelection(DesignerWindow &window)
{
    DocumentStore *store = window.store();
    CanvasView *canvas = window.app().contentView()->canvas();
    const BandTarget band = BandTarget::detailBand(store->document().detailBands[0].id);
    const QPointF corner = canvas->scene()->bodySceneRect(band).topLeft();
    const QPoint from = canvas->graphicsView()->mapFromScene(corner + QPointF(40, 2));
    QWidget *viewport = window.canvasViewport();
    sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) {
        sendMouse(viewport, QEvent::MouseMove, from + QPoint(10, 8) * step / 4, Qt::LeftButton);
        DesignerWindow::settle();
    }
    sendMouse(viewport, QEvent::MouseButtonRelease, from + QPoint(10, 8), Qt::NoButton);
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
    case Action::redoDelete:
        item = AppMenus::action(menus.editMenu(), u"Redo"_s);
        break;
    case Action::duplicate:
        item = AppMenus::action(menus.editMenu(), u"Duplicate"_s);
        break;
    case Action::dragAll:
        break;
    case Action::zoomIn:
        item = AppMenus::action(menus.viewMenu(), u"Zoom In"_s);
        break;
    }
    const ReportElement first = store->document().detailBands[0].elements.first();
    QList<double> times, processor;
    for (auto _ : state) {
        prepare(window, action);
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = windowstalls::threadCpuMs();
        if (item)
            item->trigger();
        else
            dragSelection(window);
        DesignerWindow::settle();
        const qint64 took = clock.nsecsElapsed();
        processor.append(windowstalls::threadCpuMs() - cpuBefore);
        state.SetIterationTime(double(took) / 1e9);
        times.append(double(took) / 1e6);
        const ElementList &shown = store->document().detailBands[0].elements;
        const std::optional<ReportElement> moved = store->element(first.id);
        const bool done =
            (action == Action::selectAll && store->selectedElementIDs().size() == count) ||
            (action == Action::deleteAll && shown.isEmpty()) ||
            (action == Action::undoDelete && shown.size() == count) ||
            (action == Action::redoDelete && shown.isEmpty()) ||
            (action == Action::duplicate && shown.size() == 2 * count &&
             store->selectedElementIDs().size() == count) ||
            (action == Action::dragAll && moved && moved->x > first.x && moved->y > first.y) ||
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
BENCHMARK_CAPTURE(BM_BulkEdit, redo, Action::redoDelete)
    ->Arg(3000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, duplicate, Action::duplicate)
    ->Arg(3000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, drag, Action::dragAll)
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
