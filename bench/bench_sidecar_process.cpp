// Starting and ending the engine's process, as the designer does at every start and quit: the
// client starts the stand-in engine (tools/fakesidecar), which answers one request, and ends it.
// The argument is how many megabytes this process holds written, as the designer holds its window
// and report when it starts the engine after the first paint. `start_ms` is the time to a running
// engine that has answered, `end_ms` the time its end takes (the engine ends on the signal at
// once), and `faults_after_start` the page faults of writing that memory again after the start.

#include "CoreBenchMain.h"
#include "engine/SidecarClient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

long minorFaults()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void BM_EngineStartAndEnd(benchmark::State &state)
{
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t size = std::size_t(state.range(0)) << 20;
    void *mapped =
        size > 0 ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                 : nullptr;
    if (mapped == MAP_FAILED) {
        state.SkipWithError("no memory to hold");
        return;
    }
    auto *bytes = static_cast<volatile char *>(mapped);
    const auto writeAll = [&](char value) {
        for (std::size_t at = 0; at < size; at += page)
            bytes[at] = value;
    };
    writeAll(1);

    QTemporaryDir dir;
    const SidecarClient::Location location{QStringLiteral(QUILLMARK_FAKE_SIDECAR),
                                           dir.filePath(QStringLiteral("script"))};
    QFile script(location.jarPath);
    if (!script.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the engine's script");
        return;
    }
    script.close();

    double startMs = 0;
    double endMs = 0;
    long faults = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto client = std::make_unique<SidecarClient>();
        client->setWorkFolder(dir.path());
        try {
            client->start(location);
            client->send(QStringLiteral("ping"), {});
        } catch (const std::exception &error) {
            state.SkipWithError(error.what());
            break;
        }
        const double started = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        client.reset();
        const double ended = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime((started + ended) / 1e3);
        startMs += started;
        endMs += ended;
        const long before = minorFaults();
        writeAll(2);
        faults += minorFaults() - before;
    }
    if (mapped)
        ::munmap(mapped, size);
    const auto average = [](double sum) {
        return benchmark::Counter(sum, benchmark::Counter::kAvgIterations);
    };
    state.counters["start_ms"] = average(startMs);
    state.counters["end_ms"] = average(endMs);
    state.counters["faults_after_start"] = average(double(faults));
}
BENCHMARK(BM_EngineStartAndEnd)
    ->Arg(0)
    ->Arg(256)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

QUILLMARK_CORE_BENCHMARK_MAIN()
