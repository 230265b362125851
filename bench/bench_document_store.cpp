// The document store's undo on a 5,000-element report: the cost of one coalesced element edit
// with a discrete snapshot, the memory that 50 snapshots hold against one document, one
// keystroke of a style's rename, which takes the elements that name the style along, and one
// keystroke of the default style's size, which reaches every style and text that inherits it.
#include "ModelFixtures.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

#include <QRegularExpression>

#include <benchmark/benchmark.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Bytes the allocator has handed out and not taken back; 0 where the C library cannot tell.
size_t allocatedBytes()
{
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

// Ids of elements spread over the report, for edits that touch different bands.
QList<QUuid> sampleIds(const ReportDocument &doc, int count)
{
    QList<QUuid> ids;
    for (int i = 0; ids.size() < count; ++i) {
        const ReportBand &band = doc.bands[i % doc.bands.size()];
        ids.append(band.elements[(i * 7) % band.elements.size()].id);
    }
    return ids;
}

} // namespace

static void BM_CoalescedEditPlusSnapshot(benchmark::State &state)
{
    DocumentStore store;
    qint64 clock = 0;
    store.setClock([&] { return clock; });
    store.setDocument(largeDocument(int(state.range(0))));
    const QUuid id = store.document().bands[3].elements[10].id;
    for (auto _ : state) {
        clock += 100;
        store.updateElement(id, [](ReportElement &e) { e.x += 1; });
        store.flushPendingUndoSnapshot();
        store.pushUndo(store.document());
    }
    state.counters["undo depth"] = double(store.undoStack().size());
}
BENCHMARK(BM_CoalescedEditPlusSnapshot)->Arg(5000)->Unit(benchmark::kMicrosecond);

static void BM_FiftySnapshotsMemory(benchmark::State &state)
{
    for (auto _ : state) {
        const size_t start = allocatedBytes();
        auto store = std::make_unique<DocumentStore>();
        store->setDocument(largeDocument(int(state.range(0))));
        const size_t oneDocument = allocatedBytes() - start;

        const QList<QUuid> ids = sampleIds(store->document(), 50);
        const size_t beforeSnapshots = allocatedBytes();
        for (const QUuid &id : ids) {
            store->setSelectedElementIDs({id, newId()}); // two ids: one discrete step each
            store->updateSelectedElements([](ReportElement &e) { e.y += 1; });
        }
        const size_t fiftySnapshots = allocatedBytes() - beforeSnapshots;

        state.counters["document KiB"] = double(oneDocument) / 1024;
        state.counters["50 snapshots KiB"] = double(fiftySnapshots) / 1024;
        state.counters["snapshots/document"] = double(fiftySnapshots) / double(oneDocument);
        state.counters["undo depth"] = double(store->undoStack().size());
    }
}
BENCHMARK(BM_FiftySnapshotsMemory)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One keystroke in a style's name field while its run lasts: the run's report renamed again from
// where it began (a 7th of the elements name the style), and checked against the current one.
static void BM_StyleRenameKeystroke(benchmark::State &state)
{
    DocumentStore store;
    qint64 clock = 0;
    store.setClock([&] { return clock; });
    ReportDocument document = largeDocument(int(state.range(0)));
    for (int i = 0; i < 7; ++i)
        document.styles.append(ReportStyle{.name = QStringLiteral("Style") + QString::number(i)});
    store.setDocument(document);
    const QUuid id = store.document().styles[3].id;
    int keystroke = 0;
    for (auto _ : state) {
        clock += 100;
        const QString name = QStringLiteral("Style3") + QString::number(++keystroke % 2);
        store.editStyle(id, [&](ReportStyle &style) { style.name = name; });
    }
}
BENCHMARK(BM_StyleRenameKeystroke)->Arg(5000)->Unit(benchmark::kMillisecond);

// One keystroke in the default style's size field: the report read from a file whose texts and
// other styles leave their font to the default style, so that every one of them takes the new
// size.
static void BM_DefaultStyleSizeKeystroke(benchmark::State &state)
{
    DocumentStore store;
    qint64 clock = 0;
    store.setClock([&] { return clock; });
    ReportDocument document = largeDocument(int(state.range(0)));
    for (int i = 0; i < 7; ++i)
        document.styles.append(
            ReportStyle{.name = QStringLiteral("Style") + QString::number(i), .isDefault = i == 0});
    QString text = QString::fromUtf8(JrxmlCodec::serialize(document));
    // Only the default style sets a size; no text sets a font of its own.
    text.replace(
        QRegularExpression(QStringLiteral(R"((<style name="Style[1-6]"[^>]*) fontSize="10")")),
        QStringLiteral("\\1"));
    text.remove(QRegularExpression(QStringLiteral(R"(\s*<font [^>]*/>)")));
    store.setDocument(JrxmlCodec::parse(text.toUtf8()));
    const QUuid id = store.document().styles[0].id;
    int keystroke = 0;
    for (auto _ : state) {
        clock += 100;
        const double size = 12 + ++keystroke % 2;
        store.editStyle(id, [&](ReportStyle &style) { style.fontSize = size; });
    }
    int following = 0;
    store.forEveryElementInDocument([&](const ReportElement &e) {
        following += e.fontSize == store.document().styles[0].fontSize;
    });
    state.counters["texts that follow"] = following;
}
BENCHMARK(BM_DefaultStyleSizeKeystroke)->Arg(5000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
