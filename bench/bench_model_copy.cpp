// Copying a document for an undo snapshot and then changing one element, against a copy that
// shares nothing.
#include "ModelFixtures.h"

#include <benchmark/benchmark.h>

namespace {

QString own(const QString &s)
{
    return QString(s.constData(), s.size());
}

std::optional<QString> own(const std::optional<QString> &s)
{
    return s ? std::optional<QString>(own(*s)) : std::nullopt;
}

ReportElement deepElement(const ReportElement &source);

QList<ReportElement> deepElements(const QList<ReportElement> &elements)
{
    QList<ReportElement> out;
    out.reserve(elements.size());
    for (const ReportElement &e : elements)
        out.append(deepElement(e));
    return out;
}

ReportElement deepElement(const ReportElement &source)
{
    ReportElement e = source;
    e.fontName = own(source.fontName);
    e.evaluationTime = own(source.evaluationTime);
    e.styleName = own(source.styleName);
    e.pattern = own(source.pattern);
    e.printWhenExpression = own(source.printWhenExpression);
    if (auto *field = e.kind.as<ElementKind::TextField>())
        field->expression = own(field->expression);
    if (auto *children = e.kind.children())
        *children = deepElements(*children);
    return e;
}

} // namespace

ReportDocument deepCopy(const ReportDocument &doc)
{
    ReportDocument copy = doc;
    copy.name = own(doc.name);
    QList<ReportBand> bands;
    for (const ReportBand &b : doc.bands) {
        ReportBand band = b;
        band.elements = deepElements(b.elements);
        bands.append(band);
    }
    copy.bands = bands;
    QList<ReportBand> details;
    for (const ReportBand &b : doc.detailBands) {
        ReportBand band = b;
        band.elements = deepElements(b.elements);
        details.append(band);
    }
    copy.detailBands = details;
    return copy;
}

static void BM_SnapshotThenEditOneElement(benchmark::State &state)
{
    const ReportDocument doc = largeDocument(int(state.range(0)));
    for (auto _ : state) {
        ReportDocument copy = doc;
        copy.bands[3].elements[10].x += 1;
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_SnapshotThenEditOneElement)->Arg(5000)->Unit(benchmark::kMicrosecond);

static void BM_DeepCopy(benchmark::State &state)
{
    const ReportDocument doc = largeDocument(int(state.range(0)));
    for (auto _ : state) {
        ReportDocument copy = deepCopy(doc);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_DeepCopy)->Arg(5000)->Unit(benchmark::kMicrosecond);

static void BM_CompareEqualCopies(benchmark::State &state)
{
    const ReportDocument doc = largeDocument(int(state.range(0)));
    const ReportDocument copy = deepCopy(doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc == copy);
}
BENCHMARK(BM_CompareEqualCopies)->Arg(5000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
