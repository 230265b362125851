// Memory of the designer (Linux: resident memory and the heap).
//
// BM_WindowPeakMemory: the peak resident memory of a program that shows its window and ends
// after the first paint: a bare Qt main window (tools/barewindow) and the designer with an empty
// session and with a restored report of 3,000 elements.
// "perElementKB" is the designer's growth with the report, per element.
//
// BM_ReportMemoryPerElement: inside one process, the heap and resident memory that opening a
// report of 3,000 elements in the window's content adds once its first paint is done, per
// element, and the share of the report's model alone ("modelKB").

#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "app/ContentView.h"
#include "canvas/SnippetLibrary.h"
#include "document/DocumentStore.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace Qt::StringLiterals;

extern char **environ;

namespace {

constexpr int reportElements = 3000;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// Runs `program` with `arguments` and the environment `environment`, waits for its end and
// returns its peak resident memory in megabytes; a negative value when it failed.
double childPeakMegabytes(const QString &program, const QStringList &arguments,
                          const QStringList &environment)
{
    QList<QByteArray> storage;
    storage.append(program.toLocal8Bit());
    for (const QString &argument : arguments)
        storage.append(argument.toLocal8Bit());
    const qsizetype argumentCount = storage.size();
    for (const QString &variable : environment)
        storage.append(variable.toLocal8Bit());
    std::vector<char *> argv, envp;
    for (qsizetype i = 0; i < storage.size(); ++i)
        (i < argumentCount ? argv : envp).push_back(storage[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return double(usage.ru_maxrss) / 1024;
}

// The environment of a child: this one's, offscreen on a screen of a desktop's size, with a home
// and settings of its own.
QStringList childEnvironment(const QTemporaryDir &home)
{
    QStringList environment;
    for (char **variable = environ; *variable; ++variable) {
        const QString text = QString::fromLocal8Bit(*variable);
        if (!text.startsWith("HOME="_L1) && !text.startsWith("XDG_CONFIG_HOME="_L1) &&
            !text.startsWith("QT_QPA_PLATFORM="_L1))
            environment.append(text);
    }
    static const QTemporaryDir screenFolder;
    environment << u"QT_QPA_PLATFORM="_s +
                       QString::fromLocal8Bit(offscreenscreen::platform(screenFolder))
                << u"HOME="_s + home.path() << u"XDG_CONFIG_HOME="_s + home.filePath(u"config"_s)
                << u"QUILLMARK_EXIT_AFTER_FIRST_PAINT=1"_s;
    return environment;
}

// A home whose last session holds a report of `elements` elements (none: an empty session).
void prepareHome(const QTemporaryDir &home, int elements)
{
    QDir().mkpath(home.filePath(u"config/Quillmark"_s));
    QByteArray conf = "[General]\n";
    if (elements > 0) {
        const QString report = home.filePath(u"Large.jrxml"_s);
        writeFile(report, JrxmlCodec::serialize(largeDocument(elements)));
        conf += "lastOpenTabPaths=" + report.toUtf8() + "\nlastActiveTabIndex=0\n";
    }
    writeFile(home.filePath(u"config/Quillmark/Quillmark.conf"_s), conf);
}

void BM_WindowPeakMemory(benchmark::State &state)
{
    const QDir bench(QCoreApplication::applicationDirPath());
    const QString designer = bench.absoluteFilePath(u"../src/quillmark"_s);
    const QString bareWindow = bench.absoluteFilePath(u"../tools/barewindow"_s);
    QTemporaryDir emptyHome, reportHome;
    prepareHome(emptyHome, 0);
    prepareHome(reportHome, reportElements);
    double bare = 0, empty = 0, withReport = 0;
    for (auto _ : state) {
        const double b = childPeakMegabytes(bareWindow, {}, childEnvironment(emptyHome));
        const double e = childPeakMegabytes(designer, {}, childEnvironment(emptyHome));
        const double r = childPeakMegabytes(designer, {}, childEnvironment(reportHome));
        if (b < 0 || e < 0 || r < 0) {
            state.SkipWithError("a program did not start and paint");
            return;
        }
        bare += b;
        empty += e;
        withReport += r;
    }
    const double n = double(state.iterations());
    state.counters["bareWindowMB"] = bare / n;
    state.counters["emptyWindowMB"] = empty / n;
    state.counters["withReportMB"] = withReport / n;
    state.counters["perElementKB"] = (withReport - empty) / n * 1024 / reportElements;
}
BENCHMARK(BM_WindowPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// The heap in use and the resident memory, in bytes, after giving free memory back.
struct MemoryUse {
    double heap = 0;
    double resident = 0;

    static MemoryUse now()
    {
        malloc_trim(0);
        const struct mallinfo2 info = mallinfo2();
        MemoryUse use;
        use.heap = double(info.uordblks + info.hblkhd);
        QFile statm(u"/proc/self/statm"_s);
        if (statm.open(QIODevice::ReadOnly))
            use.resident = statm.readAll().split(' ').value(1).toDouble() * double(getpagesize());
        return use;
    }
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void BM_ReportMemoryPerElement(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const QString report = dir.filePath(u"Large.jrxml"_s);
    writeFile(report, JrxmlCodec::serialize(largeDocument(reportElements)));

    QSettings presetSettings(dir.filePath(u"presets.ini"_s), QSettings::IniFormat);
    InMemoryKeychain keychain;
    ConnectionPresetStore connections(presetSettings, keychain);
    AppSettings settings(dir.filePath(u"Docs"_s));
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    QSettings snippetSettings(dir.filePath(u"snippets.ini"_s), QSettings::IniFormat);
    SnippetLibrary snippets(snippetSettings);
    SidecarModel engine(PrivateWorkFolder(dir.path()));
    ContentView view(workspace, settings, dialogs, snippets, engine);
    view.resize(1400, 900);
    view.show();
    settle();
    // A first report pays for the caches every later one shares (fonts, glyphs, icons).
    workspace.openTab(QUrl::fromLocalFile(report));
    settle();
    workspace.closeTab(workspace.activeTabIndex());
    settle();

    double heap = 0, resident = 0, model = 0;
    for (auto _ : state) {
        const MemoryUse before = MemoryUse::now();
        workspace.openTab(QUrl::fromLocalFile(report));
        settle();
        const MemoryUse after = MemoryUse::now();
        heap += after.heap - before.heap;
        resident += after.resident - before.resident;

        const MemoryUse storeBefore = MemoryUse::now();
        {
            DocumentStore store;
            store.setDocument(JrxmlCodec::parse(readFile(report)));
            model += MemoryUse::now().heap - storeBefore.heap;
        }
        state.PauseTiming();
        workspace.closeTab(workspace.activeTabIndex());
        settle();
        state.ResumeTiming();
    }
    const double perElement = double(state.iterations()) * reportElements * 1024;
    state.counters["heapKB"] = heap / perElement;
    state.counters["residentKB"] = resident / perElement;
    state.counters["modelKB"] = model / perElement;
}
BENCHMARK(BM_ReportMemoryPerElement)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
