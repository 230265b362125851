// Importing large pictures: an 8000 x 6000 JPEG and a 10000 x 10000 PNG resized with the import
// sheet's defaults (longest side 800, aspect kept), and the JPEG converted to PNG at its own size.
// "peakMB" is the process's peak resident memory during the imports (Linux). The pictures are
// written once into a temporary folder; their content is a smooth gradient under fine noise, which
// JPEG and PNG compress about as they do a photograph.

#include "CoreBenchMain.h"
#include "setup/ImageImportService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The picture of `size` pixels in `format`, written on first use.
QString picture(const QSize &size, const char *format)
{
    const QString path = folder().filePath(
        u"large-%1x%2.%3"_s.arg(size.width()).arg(size.height()).arg(QLatin1StringView(format)));
    if (QFile::exists(path))
        return path;
    QImage image(size, QImage::Format_RGB32);
    quint32 noise = 12345;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28);
            line[x] = qRgb((x * 255 / size.width() + grain) & 255,
                           (y * 255 / size.height() + grain) & 255, (x + y + grain) & 255);
        }
    }
    QImageWriter writer(path, format);
    writer.setQuality(85);
    if (!writer.write(image))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Starts a new peak of the process's resident memory (Linux; elsewhere nothing happens).
void resetPeakMemory()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The peak resident memory since the last reset, in megabytes; 0 where unknown.
double peakMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// Imports `source` into a fresh report folder with `options`, once per iteration.
void importEach(benchmark::State &state, const QString &source, const ImageImportOptions &options)
{
    resetPeakMemory();
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
    state.counters["peakMB"] = peakMegabytes();
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

void BM_ConvertJpeg8000x6000ToPng(benchmark::State &state)
{
    ImageImportOptions options;
    options.formatMode = ImageImportOptions::FormatMode::png;
    importEach(state, picture(QSize(8000, 6000), "jpeg"), options);
}
BENCHMARK(BM_ConvertJpeg8000x6000ToPng)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

QUILLMARK_CORE_BENCHMARK_MAIN()
