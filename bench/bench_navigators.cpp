// The navigators of the left column on big inputs: the outline switching to a tab of a large
// report and following one edit in it, and the project explorer listing and drawing a folder of
// thousands of files. Each measurement includes the paint of what is on screen.

#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "document/DocumentStore.h"
#include "navigators/ExplorerListing.h"
#include "navigators/OutlineView.h"
#include "navigators/ProjectExplorerState.h"
#include "navigators/ProjectExplorerView.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Lays out and paints what the widget shows now.
void drawNow(QWidget &widget)
{
    QCoreApplication::processEvents();
    widget.repaint();
}

// From a small tab to one of `count` elements, as a click on its tab does.
void BM_OutlineTabSwitch(benchmark::State &state)
{
    DocumentStore small;
    DocumentStore large;
    large.setDocument(largeDocument(int(state.range(0))));
    OutlineView outline;
    outline.resize(260, 700);
    outline.show();
    outline.setStore(&small);
    drawNow(outline);
    for (auto _ : state) {
        outline.setStore(&large);
        drawNow(outline);
        state.PauseTiming();
        outline.setStore(&small);
        drawNow(outline);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OutlineTabSwitch)->Arg(1500)->Arg(3000)->Unit(benchmark::kMillisecond);

// One element of a large report moves and is selected: the outline follows both changes.
void BM_OutlineFollowsOneEdit(benchmark::State &state)
{
    DocumentStore store;
    store.setDocument(largeDocument(int(state.range(0))));
    OutlineView outline;
    outline.resize(260, 700);
    outline.show();
    outline.setStore(&store);
    drawNow(outline);
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
    const QUuid id = store.elements(detail).first().id;
    double x = 0;
    for (auto _ : state) {
        x = x > 100 ? 0 : x + 1;
        store.updateElement(id, [x](ReportElement &element) { element.x = x; });
        store.setSelectedElementIDs({id});
        drawNow(outline);
        store.setSelectedElementIDs({});
    }
}
BENCHMARK(BM_OutlineFollowsOneEdit)->Arg(3000)->Unit(benchmark::kMillisecond);

// A project whose folder "big" holds `count` files, a third of them reports; made once per count
// and kept for the program's run. Answers the project's root.
QString projectWithFiles(int count)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> made;
    std::unique_ptr<QTemporaryDir> &dir = made[count];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const QString big = dir->filePath(u"project/big"_s);
        QDir().mkpath(big);
        QDir().mkpath(dir->filePath(u"project/other"_s));
        for (int i = 0; i < count; ++i) {
            QFile file(big + (i % 3 == 0 ? u"/Report %1.jrxml"_s : u"/data-%1.csv"_s).arg(i));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write a file of the project");
        }
    }
    return dir->filePath(u"project"_s);
}

// What every refresh reads of the file system: the folder's listing in the file browser's order.
void BM_ExplorerListFolder(benchmark::State &state)
{
    const QUrl big = QUrl::fromLocalFile(projectWithFiles(int(state.range(0))) + u"/big"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(ExplorerListing::children(big));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExplorerListFolder)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The explorer on a project of `count` files with its folder "big" expanded, listed and drawn.
struct ExplorerOnBigFolder {
    explicit ExplorerOnBigFolder(int count) : root(projectWithFiles(count))
    {
        settings.setProjectRootPath(root);
        explorer.resize(260, 400);
        explorer.show();
        explorer.explorerState().expand(QDir::cleanPath(root + u"/big"_s));
        refresh();
    }
    // One refresh, as after a tab switch, an open or a compile: the folders are listed and the
    // tree drawn again.
    void refresh()
    {
        explorer.refreshNow();
        drawNow(explorer);
    }

    QString root;
    QTemporaryDir documents;
    AppSettings settings{std::optional<QString>(documents.path())};
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    ProjectExplorerView explorer{workspace, settings, dialogs};
};

void BM_ExplorerRefresh(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    ExplorerOnBigFolder project(int(state.range(0)));
    for (auto _ : state)
        project.refresh();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExplorerRefresh)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same refresh after a file appeared in the big folder or went away again: its listing is
// put in order anew and a row is inserted or removed.
void BM_ExplorerRefreshAfterAChange(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    ExplorerOnBigFolder project(int(state.range(0)));
    QFile appearing(project.root + u"/big/Appearing.jrxml"_s);
    for (auto _ : state) {
        state.PauseTiming();
        if (appearing.exists())
            appearing.remove();
        else if (!appearing.open(QIODevice::WriteOnly))
            qFatal("cannot write a file of the project");
        appearing.close();
        state.ResumeTiming();
        project.refresh();
    }
    appearing.remove();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExplorerRefreshAfterAChange)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
