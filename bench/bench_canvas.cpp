// The design canvas: building the scene for a large report, the scene's update after the
// store moves one element (items are updated in place, never rebuilt), one step of an element
// dragged over another band with the page repainted, and the same for a large selected group
// dragged over another band and inside its own, and the faces of many texts laid out afresh and
// drawn from their kept layouts; and the marks of elements that name what their dataset lacks,
// followed after one element changed and after the declarations changed.

#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementPainter.h"
#include "canvas/FormatToolbar.h"
#include "canvas/LackMarks.h"
#include "document/DocumentStore.h"
#include "workspace/AppSettings.h"
#include "workspace/BandSettings.h"

#include <QApplication>
#include <QGraphicsSceneMouseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace Qt::StringLiterals;

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

// The canvas's marks of elements naming what their dataset lacks (every element of the large
// report names a field it does not declare): after one element changed, only its band's element
// is looked at again (range 1 = 0); after a field is declared or removed, every element is.
void BM_LackMarksFollow(benchmark::State &state)
{
    ReportDocument document = largeDocument(int(state.range(0)));
    const bool declarations = state.range(1) != 0;
    LackMarks marks;
    marks.follow(document);
    bool declared = false;
    for (auto _ : state) {
        if (declarations) {
            declared ? document.fields.removeLast()
                     : document.fields.append(ReportField{.name = u"field0"_s});
            declared = !declared;
        } else {
            ReportElement &first = document.detailBands.first().elements.first();
            first.x = first.x < 200 ? first.x + 1 : 0;
        }
        benchmark::DoNotOptimize(marks.follow(document).size());
    }
    if (marks.marks().size() < state.range(0) - 1)
        state.SkipWithError("the elements naming undeclared fields are not all marked");
}
BENCHMARK(BM_LackMarksFollow)->Args({5000, 0})->Args({5000, 1})->Unit(benchmark::kMillisecond);

// A 10-point grid with snapping on.
struct GridSettings : BandSettings {
    bool isSnapToGridEnabled() const override { return true; }
    double gridSize() const override { return 10; }
    double snapped(double v) const override { return std::round(v / 10) * 10; }
    double snapped(double v, double axis) const override
    {
        const double step = axis / std::max(std::round(axis / 10), 1.0);
        return std::round(v / step) * step;
    }
    QString defaultFontName() const override { return QStringLiteral("DejaVu Sans"); }
    double defaultFontSize() const override { return 9; }
    bool defaultBlankWhenNull() const override { return true; }
};

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void sendMouse(QWidget *viewport, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

// A shown canvas with a 10-point grid on `store`'s report, and an element pressed at `grab`
// (points in the body of `from`) and dragged a little: each step() carries it on over `to`,
// one pointer move followed by the repaint the event loop does between two moves.
struct CanvasDrag {
    CanvasDrag(DocumentStore &store, const BandTarget &from, QPointF grab, const BandTarget &to,
               QPointF via = {100, 100}, int travel = 300)
        : to(to), via(via), travel(travel)
    {
        canvas.resize(1400, 1000);
        canvas.setBandSettings(&settings);
        canvas.setStore(&store);
        canvas.show();
        QCoreApplication::processEvents();
        start = onViewport(from, grab);
        sendMouse(viewport(), QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(viewport(), QEvent::MouseMove, start + QPoint(10, 0), Qt::LeftButton);
    }
    ~CanvasDrag() { sendMouse(viewport(), QEvent::MouseButtonRelease, start, Qt::NoButton); }

    QWidget *viewport() const { return canvas.graphicsView()->viewport(); }
    QPoint onViewport(const BandTarget &target, QPointF body) const
    {
        return canvas.graphicsView()->mapFromScene(canvas.scene()->bodySceneRect(target).topLeft() +
                                                   body);
    }
    void step()
    {
        sendMouse(viewport(), QEvent::MouseMove, onViewport(to, via + QPointF(steps % travel, 0)),
                  Qt::LeftButton);
        ++steps;
        QCoreApplication::processEvents();
    }
    const CrossBandDragState &ghost() const { return *canvas.crossBandDragState(); }

    GridSettings settings;
    CanvasView canvas;
    BandTarget to;
    // The pointer moves right from `via` (body points of `to`), `travel` points, then again.
    QPointF via;
    int travel;
    QPoint start;
    int steps = 0;
};

// One pointer move of an element dragged over another band of a 2,000-element page: the
// element's offset, the shared drag and ghost states and the ghost overlay follow, and the
// window repaints what changed.
void BM_CanvasDragStep(benchmark::State &state)
{
    DocumentStore store;
    store.setDocument(largeDocument(int(state.range(0))));
    const QList<BandTarget> targets = canvas::orderedTargets(store.document());
    CanvasDrag drag(store, targets.at(0), {5, 5}, targets.at(1));
    PaintCounter counter;
    drag.viewport()->installEventFilter(&counter);
    for (auto _ : state)
        drag.step();
    if (!drag.ghost().isShowingGhost())
        state.SkipWithError("the drag showed no ghost over the other band");
    // About one repaint of the page per step shows that the figure includes the drawing.
    state.counters["paintsPerStep"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CanvasDragStep)->Arg(2000)->Unit(benchmark::kMillisecond);

// The group of texts a user drags: `count` small static texts and text fields with text, 20
// to a row in the title band (made high enough to hold them), and a larger static text below
// them to be grabbed away from the corner handles of the others, at (240, 660), 60 by 30.
QSet<QUuid> addTextGroup(ReportDocument &document, int count)
{
    ReportBand &title =
        *std::find_if(document.bands.begin(), document.bands.end(),
                      [](const ReportBand &b) { return b.type == BandType::title; });
    title.height = 700;
    QSet<QUuid> group;
    for (int i = 0; i < count; ++i) {
        ReportElement e;
        e.id = newId();
        const QString n = QString::number(i);
        e.kind = i == 0       ? ElementKind(ElementKind::StaticText{u"Leader"_s})
                 : i % 2 == 0 ? ElementKind(ElementKind::StaticText{u"Text "_s + n})
                              : ElementKind(ElementKind::TextField{u"$F{f"_s + n + u"}"_s});
        e.fontSize = 7;
        e.x = i == 0 ? 240 : 27.0 * (i % 20);
        e.y = i == 0 ? 660 : 13.0 * (i / 20 % 50);
        e.width = i == 0 ? 60 : 26;
        e.height = i == 0 ? 30 : 12;
        title.elements.append(e);
        group.insert(e.id);
    }
    return group;
}

// One pointer move of a selected group of `range(1)` texts of a page of `range(0)` elements,
// dragged over another band (range(2) 1) or inside its own title band (0): the leader's ghost and
// the ghosts of the group follow the pointer over another band, the group itself inside its own
// (a few points to and fro, as a user places it), and the window repaints what changed.
void BM_CanvasGroupDragStep(benchmark::State &state)
{
    const int groupSize = int(state.range(1));
    const bool overOtherBand = state.range(2) != 0;
    ReportDocument document = largeDocument(int(state.range(0)) - groupSize);
    const QSet<QUuid> group = addTextGroup(document, groupSize);
    DocumentStore store;
    store.setDocument(document);
    const BandTarget from = BandTarget::standard(BandType::title);
    store.setActiveBandTarget(from);
    store.setSelectedElementIDs(group);
    // Pressed in the middle of the large text, which lies above the unselected elements there.
    CanvasDrag drag(
        store, from, {270, 675}, overOtherBand ? BandTarget::standard(BandType::pageHeader) : from,
        overOtherBand ? QPointF(100, 100) : QPointF(250, 670), overOtherBand ? 300 : 40);
    PaintCounter counter;
    drag.viewport()->installEventFilter(&counter);
    for (auto _ : state)
        drag.step();
    if (overOtherBand &&
        (!drag.ghost().isShowingGhost() || drag.ghost().groupElementIDs().size() != groupSize - 1))
        state.SkipWithError("the drag showed no group ghost over the other band");
    if (!overOtherBand && drag.ghost().isShowingGhost())
        state.SkipWithError("the drag inside its own band showed a ghost");
    state.counters["paintsPerStep"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CanvasGroupDragStep)
    ->Args({5000, 200, 1})
    ->Args({5000, 1000, 1})
    ->Args({5000, 200, 0})
    ->Args({5000, 1000, 0})
    ->Unit(benchmark::kMillisecond);

// The format toolbar following one edit of an unselected element of a 5,000-element page while
// 2,500 elements are selected: boxes, with the one text field whose values it shows last in
// the report's order.
void BM_FormatToolbarFollowsAnEdit(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const int selectedCount = int(state.range(1));
    ReportDocument document = largeDocument(int(state.range(0)) - selectedCount);
    QSet<QUuid> selected;
    ElementList &detail = document.detailBands.first().elements;
    for (int i = 0; i < selectedCount; ++i) {
        ReportElement e;
        e.id = newId();
        e.kind = i + 1 < selectedCount ? ElementKind(ElementKind::Rectangle{})
                                       : ElementKind(ElementKind::TextField{u"$F{a}"_s});
        e.x = i % 500;
        detail.append(e);
        selected.insert(e.id);
    }
    DocumentStore store;
    store.setDocument(document);
    store.setSelectedElementIDs(selected);
    AppSettings settings(dir.path());
    FormatToolbar toolbar(settings);
    toolbar.setStore(&store);
    const QUuid edited = store.elements(canvas::orderedTargets(document).first()).first().id;
    for (auto _ : state)
        store.updateElement(edited, [](ReportElement &e) { e.x = e.x < 200 ? e.x + 1 : 0; });
    if (!toolbar.textGroup()->isEnabled())
        state.SkipWithError("the toolbar found no text element in the selection");
}
BENCHMARK(BM_FormatToolbarFollowsAnEdit)->Args({5000, 2500})->Unit(benchmark::kMillisecond);

// The faces of `range(0)` static texts of one to three lines, as the canvas draws them: each
// laid out afresh (`range(1)` 1: every text new) or drawn again from its kept layout (0).
void BM_TextFaces(benchmark::State &state)
{
    const int count = int(state.range(0));
    const bool fresh = state.range(1) != 0;
    const QString words[] = {u"Total"_s,    u"Customer"_s,  u"reports/2024/final.pdf"_s,
                             u"Amount :"_s, u"12,345.50"_s, u"Quarterly"_s,
                             u"Sales"_s,    u"Summary"_s};
    QList<ReportElement> elements;
    for (int i = 0; i < count; ++i) {
        ReportElement e;
        QString text;
        for (int w = 0; w <= i % 7; ++w)
            text += words[(i + w * 3) % std::size(words)] + u' ';
        e.kind = ElementKind::StaticText{text};
        e.height = 40;
        e.fontName = u"DejaVu Sans"_s;
        e.fontSize = 9 + i % 3;
        e.textAlignment = TextAlignment(i % 3);
        elements.append(e);
    }
    QImage image(400, 400, QImage::Format_ARGB32_Premultiplied);
    int round = 0;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        // A box a hair wider each round is one the texts were never laid out in.
        const double width = fresh ? 90 + ++round * 1e-6 : 90;
        for (const ReportElement &e : elements)
            ElementPainter::paintContent(&painter, e, QRectF(0, 0, width, e.height),
                                         ElementFaceContext{});
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_TextFaces)->Args({2000, 1})->Args({2000, 0})->Unit(benchmark::kMillisecond);

// One repaint of the canvas's window over a detail band `range(0)` points high with the grid
// on: the band draws its grid over the part in view only, so a tall band's repaint stays well
// under a second.
void BM_CanvasPaintTallBand(benchmark::State &state)
{
    DocumentStore store;
    ReportDocument document = DocumentStore::defaultDocument();
    document.detailBands[0].height = double(state.range(0));
    store.setDocument(document);
    GridSettings settings;
    CanvasView canvas;
    canvas.resize(1000, 800);
    canvas.setBandSettings(&settings);
    canvas.setStore(&store);
    canvas.show();
    QCoreApplication::processEvents();
    QWidget *viewport = canvas.graphicsView()->viewport();
    for (auto _ : state) {
        // A repaint from scratch: the band's cached picture is dropped with its look.
        canvas.scene()->bandItem(BandTarget::detailBand(document.detailBands[0].id))->update();
        benchmark::DoNotOptimize(viewport->grab());
    }
}
BENCHMARK(BM_CanvasPaintTallBand)
    ->Arg(100)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
