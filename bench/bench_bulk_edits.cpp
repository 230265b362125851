// Editing thousands of elements at once in the whole designer window, through the menu items
// the user picks: Edit > Select All, Delete and Undo, and View > Zoom In, on a report whose
// detail band holds `range(0)` texts. Each figure is one action until the window has taken
// its events and drawn the result (canvas, outline, inspector and toolbars); the goal is 50 ms
// at 3,000 elements.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "app/AppMenus.h"

#include <QAction>
#include <QMenu>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// `count` static texts and text fields, 20 to a row, the rows overlapping, in one detail band.
QByteArray reportOf(int count)
{
    QByteArray elements;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray frame = "<reportElement x=\"" + QByteArray::number(27 * (i % 20)) +
                                 "\" y=\"" + QByteArray::number(4 * (i / 20 % 170)) +
                                 "\" width=\"26\" height=\"12\"/>";
        const QByteArray font = "<textElement><font size=\"7\"/></textElement>";
        if (i % 2 == 0)
            elements += "<staticText>" + frame + font + "<text><![CDATA[Text " + n +
                        "]]></text></staticText>\n";
        else
            elements += "<textField>" + frame + font + "<textFieldExpression><![CDATA[$F{f" + n +
                        "}]]></textFieldExpression></textField>\n";
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Bulk"
    pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
    topMargin="20" bottomMargin="20">
  <detail>
    <band height="700">
)" + elements +
           R"(    </band>
  </detail>
</jasperReport>
)";
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
    for (auto _ : state) {
        state.PauseTiming();
        prepare(window, action);
        state.ResumeTiming();
        item->trigger();
        DesignerWindow::settle();
        state.PauseTiming();
        const qsizetype shown = store->document().detailBands[0].elements.size();
        const bool done =
            (action == Action::selectAll && store->selectedElementIDs().size() == count) ||
            (action == Action::deleteAll && shown == 0) ||
            (action == Action::undoDelete && shown == count) ||
            (action == Action::zoomIn && store->zoomLevel() > 1.0);
        restore(window, action);
        state.ResumeTiming();
        if (!done) {
            state.SkipWithError("the action did not do what the user asked");
            return;
        }
    }
    state.counters["goal_ms"] = 50;
}
BENCHMARK_CAPTURE(BM_BulkEdit, selectAll, Action::selectAll)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, delete, Action::deleteAll)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, undo, Action::undoDelete)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BulkEdit, zoomIn, Action::zoomIn)->Arg(3000)->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
