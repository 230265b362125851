// Load and save throughput of the JRXML codec over the shared corpus, next to pugixml's bare
// parse of the same bytes (the floor that the reader builds on).

#include "model/JrxmlCodec.h"
#include "model/JrxmlCodecInternal.h"

#include <QDirIterator>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

const QList<QByteArray> &corpus()
{
    static const QList<QByteArray> files = [] {
        QList<QByteArray> out;
        // QUILLMARK_CORPUS names the corpus elsewhere, as for the tests.
        const QString corpusDir = qEnvironmentVariable(
            "QUILLMARK_CORPUS", QStringLiteral(QUILLMARK_SOURCE_DIR "/../shared/corpus"));
        QDirIterator it(corpusDir + QStringLiteral("/jrxml-samples"), {QStringLiteral("*.jrxml")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                out.append(file.readAll());
        }
        return out;
    }();
    return files;
}

qint64 totalSize(const QList<QByteArray> &files)
{
    qint64 size = 0;
    for (const QByteArray &f : files)
        size += f.size();
    return size;
}

bool haveCorpus(benchmark::State &state)
{
    if (!corpus().isEmpty())
        return true;
    state.SkipWithError("the corpus is absent (../shared/corpus or QUILLMARK_CORPUS)");
    return false;
}

void BM_PugixmlParse(benchmark::State &state)
{
    if (!haveCorpus(state))
        return;
    for (auto _ : state) {
        for (const QByteArray &file : corpus()) {
            pugi::xml_document xml;
            benchmark::DoNotOptimize(
                xml.load_buffer(file.constData(), size_t(file.size()), JrxmlCodec::parseOptions));
        }
    }
    state.SetBytesProcessed(state.iterations() * totalSize(corpus()));
}
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond);

void BM_CodecLoad(benchmark::State &state)
{
    if (!haveCorpus(state))
        return;
    QStringList warnings;
    for (auto _ : state) {
        for (const QByteArray &file : corpus()) {
            warnings.clear();
            benchmark::DoNotOptimize(JrxmlCodec::parse(file, &warnings));
        }
    }
    state.SetBytesProcessed(state.iterations() * totalSize(corpus()));
}
BENCHMARK(BM_CodecLoad)->Unit(benchmark::kMillisecond);

// Measured in the bytes written.
void BM_CodecSave(benchmark::State &state)
{
    if (!haveCorpus(state))
        return;
    QList<ReportDocument> documents;
    QStringList warnings;
    for (const QByteArray &file : corpus())
        documents.append(JrxmlCodec::parse(file, &warnings));
    qint64 written = 0;
    for (auto _ : state) {
        for (const ReportDocument &document : documents) {
            const QByteArray out = JrxmlCodec::serialize(document);
            written += out.size();
            benchmark::DoNotOptimize(out.constData());
        }
    }
    state.SetBytesProcessed(written);
}
BENCHMARK(BM_CodecSave)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
