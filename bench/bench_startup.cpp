// Start-up of the designer: process start to the first painted main window, with the last
// session holding one report of 1,000 elements, against a bare Qt main window (tools/barewindow)
// started the same way. Each iteration runs the real program (offscreen, on a screen of a
// desktop's size, where the designer's window takes most of the screen) with settings of its
// own; the program says when it has first painted its window and then ends itself, the designer
// as a quit at the end of a session does, so that every start follows a clean end of the last
// session, as a user's usual start does. A bare window starts after each start of the designer,
// so that both meet the same load of a shared machine: `times_bare` is the ratio of their times
// from process start to the first paint as seen from outside (the line that says so),
// `times_bare_to_exit` the ratio of their times to the end of the process, quit included, and
// `in_process_ms` and `bare_in_process_ms` the times each program reports from its own start to
// its first paint.

#include "CoreBenchMain.h"
#include "ModelFixtures.h"
#include "OffscreenScreen.h"
#include "model/JrxmlCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>

namespace {

QString programPath()
{
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../src/quillmark"));
}

QString bareWindowPath()
{
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../tools/barewindow"));
}

QProcessEnvironment offscreen()
{
    static const QTemporaryDir screenFolder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       QString::fromLocal8Bit(offscreenscreen::platform(screenFolder)));
    return environment;
}

// One run of a program that ends itself after its first paint.
struct Run {
    double toPaintMs = 0; // until it says it has painted
    double toExitMs = 0;
    double inProcessMs = 0; // from its own start to its first paint, as it says
    QString output;
};

// Runs `program` once; no value when it failed or did not say when it painted.
std::optional<Run> runOnce(const QString &program, const QProcessEnvironment &environment)
{
    static const QRegularExpression painted(QStringLiteral("first paint after (\\d+) ms"));
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    Run run;
    std::optional<QRegularExpressionMatch> match;
    while (!match && process.waitForReadyRead(30000)) {
        run.output += QString::fromUtf8(process.readAllStandardOutput());
        if (const QRegularExpressionMatch found = painted.match(run.output); found.hasMatch()) {
            run.toPaintMs = double(timer.nsecsElapsed()) / 1e6;
            match = found;
        }
    }
    if (!match || !process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    run.toExitMs = double(timer.nsecsElapsed()) / 1e6;
    run.output += QString::fromUtf8(process.readAllStandardOutput());
    run.inProcessMs = match->captured(1).toDouble();
    return run;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void BM_StartupToFirstPaint(benchmark::State &state)
{
    QTemporaryDir home;
    const QString report = home.filePath(QStringLiteral("Large.jrxml"));
    writeFile(report, JrxmlCodec::serialize(largeDocument(int(state.range(0)))));
    QDir().mkpath(home.filePath(QStringLiteral("config/Quillmark")));
    writeFile(home.filePath(QStringLiteral("config/Quillmark/Quillmark.conf")),
              "[General]\nlastOpenTabPaths=" + report.toUtf8() + "\nlastActiveTabIndex=0\n");

    QProcessEnvironment environment = offscreen();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QUILLMARK_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));

    // The first start is the first ever in these settings, and its quit stores the session that
    // every start measured here reopens.
    const std::optional<Run> first = runOnce(programPath(), environment);
    if (!first) {
        state.SkipWithError("the program did not start and paint");
        return;
    }
    double toPaintMs = 0;
    double toExitMs = 0;
    double inProcessMs = 0;
    double bareToPaintMs = 0;
    double bareToExitMs = 0;
    double bareInProcessMs = 0;
    for (auto _ : state) {
        const std::optional<Run> run = runOnce(programPath(), environment);
        if (!run) {
            state.SkipWithError("the program did not start and paint");
            return;
        }
        state.SetIterationTime(run->toPaintMs / 1e3);
        const auto match =
            QRegularExpression(QStringLiteral("(\\d+) top-level")).match(run->output);
        if (!match.hasMatch() || match.captured(1).toLongLong() != state.range(0)) {
            state.SkipWithError("the report of the last session was not restored");
            return;
        }
        if (run->output.contains(QStringLiteral("did not end with a quit"))) {
            state.SkipWithError("the start did not follow a clean end of the last session");
            return;
        }
        const std::optional<Run> bare = runOnce(bareWindowPath(), offscreen());
        if (!bare) {
            state.SkipWithError("the bare window did not start and paint");
            return;
        }
        toPaintMs += run->toPaintMs;
        toExitMs += run->toExitMs;
        inProcessMs += run->inProcessMs;
        bareToPaintMs += bare->toPaintMs;
        bareToExitMs += bare->toExitMs;
        bareInProcessMs += bare->inProcessMs;
    }
    const auto average = [](double sum) {
        return benchmark::Counter(sum, benchmark::Counter::kAvgIterations);
    };
    state.counters["in_process_ms"] = average(inProcessMs);
    state.counters["bare_in_process_ms"] = average(bareInProcessMs);
    state.counters["times_bare"] =
        benchmark::Counter(bareToPaintMs > 0 ? toPaintMs / bareToPaintMs : 0);
    state.counters["times_bare_to_exit"] =
        benchmark::Counter(bareToExitMs > 0 ? toExitMs / bareToExitMs : 0);
}
BENCHMARK(BM_StartupToFirstPaint)
    ->Arg(0)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The same measurement of a bare Qt main window: the designer's goal is at most 1.5 times this.
void BM_BareWindowToFirstPaint(benchmark::State &state)
{
    double toPaintMs = 0;
    for (auto _ : state) {
        const std::optional<Run> run = runOnce(bareWindowPath(), offscreen());
        if (!run) {
            state.SkipWithError("the program did not start and paint");
            return;
        }
        state.SetIterationTime(run->toPaintMs / 1e3);
        toPaintMs += run->inProcessMs;
    }
    state.counters["in_process_ms"] =
        benchmark::Counter(toPaintMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BareWindowToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace

QUILLMARK_CORE_BENCHMARK_MAIN()
