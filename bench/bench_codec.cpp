// Load and save throughput of the JRXML codec over the shared corpus, next to pugixml's bare
// parse of the same bytes (the floor that the reader builds on).

#include "model/JrxmlCodec.h"
#include "model/JrxmlCodecInternal.h"
#include "model/JrxmlText.h"

#include <QDirIterator>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstring>

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

// About the least that any reader into a model holding its texts as strings does: the parse, the
// two well-formedness checks, a number read from every attribute value that is one, and one string
// made (and dropped with the document) for every other value and every text that is not blank. The
// floor under BM_CodecLoad, to compare both with the parse.
void BM_ParseChecksAndValueStrings(benchmark::State &state)
{
    if (!haveCorpus(state))
        return;
    QList<QString> values;
    for (auto _ : state) {
        for (const QByteArray &file : corpus()) {
            pugi::xml_document xml;
            const pugi::xml_parse_result result =
                xml.load_buffer(file.constData(), size_t(file.size()), JrxmlCodec::parseOptions);
            JrxmlCodec::checkWellFormedBytes(file, result.encoding);
            JrxmlCodec::checkWellFormedTree(xml);
            values.clear();
            // Every node in document order, without recursion.
            pugi::xml_node node = xml.first_child();
            while (node) {
                for (const pugi::xml_attribute attribute : node.attributes()) {
                    if (const std::optional<double> number = JrxmlText::toDouble(attribute.value()))
                        benchmark::DoNotOptimize(*number);
                    else
                        values.append(QString::fromUtf8(attribute.value()));
                }
                if ((node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) &&
                    node.value()[std::strspn(node.value(), " \t\r\n")] != '\0')
                    values.append(QString::fromUtf8(node.value()));
                if (node.first_child()) {
                    node = node.first_child();
                    continue;
                }
                while (node && !node.next_sibling())
                    node = node.parent();
                if (node)
                    node = node.next_sibling();
            }
            benchmark::DoNotOptimize(values.size());
        }
    }
    state.SetBytesProcessed(state.iterations() * totalSize(corpus()));
}
BENCHMARK(BM_ParseChecksAndValueStrings)->Unit(benchmark::kMillisecond);

// The corpus in the older form: each report without the default namespace of its root, so that
// the reader checks it against the document type's grammar and the writer checks what it writes
// against it again.
const QList<QByteArray> &olderFormCorpus()
{
    static const QList<QByteArray> files = [] {
        QList<QByteArray> out;
        for (QByteArray file : corpus())
            out.append(
                file.replace(" xmlns=\"http://jasperreports.sourceforge.net/jasperreports\"", ""));
        return out;
    }();
    return files;
}

// The corpus as it is, or in the older form (the argument `olderForm`).
const QList<QByteArray> &files(const benchmark::State &state)
{
    return state.range(0) == 1 ? olderFormCorpus() : corpus();
}

void BM_CodecLoad(benchmark::State &state)
{
    if (!haveCorpus(state))
        return;
    QStringList warnings;
    for (auto _ : state) {
        for (const QByteArray &file : files(state)) {
            warnings.clear();
            benchmark::DoNotOptimize(JrxmlCodec::parse(file, &warnings));
        }
    }
    state.SetBytesProcessed(state.iterations() * totalSize(files(state)));
}
BENCHMARK(BM_CodecLoad)->ArgName("olderForm")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Measured in the bytes written. In the older form each save is written, parsed and checked
// against the grammar, and written again in the namespace form where an edit needs it (one
// detail band more in every report, `withDetailBand`).
void BM_CodecSave(benchmark::State &state)
{
    if (!haveCorpus(state))
        return;
    QList<ReportDocument> documents;
    QStringList warnings;
    for (const QByteArray &file : files(state)) {
        documents.append(JrxmlCodec::parse(file, &warnings));
        if (state.range(1) == 1)
            documents.last().detailBands.append(ReportBand::defaultDetailBand());
    }
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
BENCHMARK(BM_CodecSave)
    ->ArgNames({"olderForm", "withDetailBand"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
