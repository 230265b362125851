// Importing large pictures: an 8000 x 6000 JPEG, a 10000 x 10000 PNG and a 4032 x 3024 HEIC
// (skipped where libheif has no HEVC encoder to write it) resized with the import sheet's
// defaults (longest side 800, aspect kept), and the JPEG converted to PNG at its own size.
// "peakMB" is the process's peak resident memory during the imports (Linux). The pictures are
// those of BigPictures.h.
//
// BM_ReadSvgzBomb: a compressed SVG of 1 MB that inflates to a document of 1 GB, read as the
// canvas reads a picture. It is refused once it has inflated past what a read may hold: goal
// peakMB under 256 (PictureReader::largestHeldMB) and a refusal within a second. Qt's own reader
// takes 2.6 to 4 GB and many seconds for it.

#include "BigPictures.h"
#include "CoreBenchMain.h"
#include "HostilePictures.h"
#include "setup/ImageImportService.h"
#include "setup/PictureReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

using bigpictures::picture;

// Imports `source` into a fresh report folder with `options`, once per iteration.
void importEach(benchmark::State &state, const QString &source, const ImageImportOptions &options)
{
    bigpictures::resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir reportFolder;
        const QUrl report = QUrl::fromLocalFile(reportFolder.filePath(u"report.jrxml"_s));
        state.ResumeTiming();
        try {
            benchmark::DoNotOptimize(
                ImageImportService::importImage(QUrl::fromLocalFile(source), report, options));
        } catch (const ImageImportError &error) {
            state.SkipWithError(error.what());
            return;
        }
    }
    state.counters["peakMB"] = bigpictures::peakMegabytes();
}

ImageImportOptions resized()
{
    ImageImportOptions options;
    options.sizeMode = ImageImportOptions::SizeMode::resize;
    return options;
}

void BM_ResizeJpeg8000x6000(benchmark::State &state)
{
    importEach(state, picture(QSize(8000, 6000), "jpeg"), resized());
}
BENCHMARK(BM_ResizeJpeg8000x6000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ResizePng10000x10000(benchmark::State &state)
{
    importEach(state, picture(QSize(10000, 10000), "png"), resized());
}
BENCHMARK(BM_ResizePng10000x10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ResizeHeic4032x3024(benchmark::State &state)
{
    const QString heic = bigpictures::heicPicture(QSize(4032, 3024));
    if (heic.isEmpty())
        state.SkipWithError("libheif has no HEVC encoder here to write the picture");
    else
        importEach(state, heic, resized());
}
BENCHMARK(BM_ResizeHeic4032x3024)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ConvertJpeg8000x6000ToPng(benchmark::State &state)
{
    ImageImportOptions options;
    options.formatMode = ImageImportOptions::FormatMode::png;
    importEach(state, picture(QSize(8000, 6000), "jpeg"), options);
}
BENCHMARK(BM_ConvertJpeg8000x6000ToPng)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadSvgzBomb(benchmark::State &state)
{
    const QString bomb = bigpictures::folder().filePath(u"bomb.svgz"_s);
    QFile file(bomb);
    if (!file.open(QIODevice::WriteOnly) || file.write(hostilepictures::svgzBomb(1024)) <= 0) {
        state.SkipWithError("cannot write the bomb");
        return;
    }
    file.close();
    bigpictures::resetPeakMemory();
    for (auto _ : state) {
        const PictureReader::Picture read = PictureReader::readWithin(bomb, 2400);
        if (!read.image.isNull() || read.failure.isEmpty()) {
            state.SkipWithError("the bomb was not refused with words");
            return;
        }
    }
    state.counters["peakMB"] = bigpictures::peakMegabytes();
    state.counters["goal_peakMB"] = PictureReader::largestHeldMB;
}
BENCHMARK(BM_ReadSvgzBomb)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

QUILLMARK_CORE_BENCHMARK_MAIN()
