// The design canvas: building the scene for a large report, and the scene's update after the
// store moves one element (items are updated in place, never rebuilt).

#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "canvas/CanvasScene.h"
#include "document/DocumentStore.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

qsizetype elementItemCount(const CanvasScene &scene)
{
    qsizetype count = 0;
    for (const BandTarget &target : scene.targets())
        count += scene.bandItem(target)->elementItems().size();
    return count;
}

void BM_CanvasBuildScene(benchmark::State &state)
{
    DocumentStore store;
    store.setDocument(largeDocument(int(state.range(0))));
    for (auto _ : state) {
        CanvasScene scene;
        scene.setStore(&store);
        benchmark::DoNotOptimize(elementItemCount(scene));
    }
}
BENCHMARK(BM_CanvasBuildScene)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_CanvasMoveOneElement(benchmark::State &state)
{
    DocumentStore store;
    store.setDocument(largeDocument(int(state.range(0))));
    CanvasScene scene;
    scene.setStore(&store);
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
    const QUuid id = store.elements(detail).first().id;
    BandItem *band = scene.bandItem(detail);
    const ElementView *item = band->elementItems().value(id);
    for (auto _ : state)
        store.updateElement(id, [](ReportElement &e) { e.x = e.x < 200 ? e.x + 1 : 0; });
    if (scene.bandItem(detail) != band || band->elementItems().value(id) != item)
        state.SkipWithError("the canvas rebuilt its items");
}
BENCHMARK(BM_CanvasMoveOneElement)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The same move with no canvas watching: the store's own share of the figure above.
void BM_StoreMoveOneElementWithoutCanvas(benchmark::State &state)
{
    DocumentStore store;
    store.setDocument(largeDocument(int(state.range(0))));
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
    const QUuid id = store.elements(detail).first().id;
    for (auto _ : state)
        store.updateElement(id, [](ReportElement &e) { e.x = e.x < 200 ? e.x + 1 : 0; });
}
BENCHMARK(BM_StoreMoveOneElementWithoutCanvas)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
