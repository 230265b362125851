// Switching tabs in the whole designer window, as a click on a tab chip does: the canvas, the
// outline, the inspector and the toolbars follow the other report, and the time runs until the
// window has drawn it. Two reports are open: one of `elements` elements and one of ten; the
// figure is a switch into the first. The goal is 30 ms at 3,000 elements.
//
// "tabMB" is the resident memory the two open tabs hold once each has been shown.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "app/ContentView.h"
#include "app/TabBarView.h"
#include "app/TabChip.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasView.h"
#include "model/JrxmlCodec.h"

#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

double residentMegabytes()
{
    malloc_trim(0);
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * double(getpagesize()) / (1 << 20);
}

// Counts the paints of the canvas's page, so that a switch is known to have drawn it.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void clickChip(TabChip *chip)
{
    const QPointF at(chip->width() / 2.0, chip->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, chip->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(chip, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, chip->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chip, &release);
    DesignerWindow::settle();
}

void BM_TabSwitch(benchmark::State &state)
{
    const int elements = int(state.range(0));
    DesignerWindow window;
    window.fillScreen();
    const double before = residentMegabytes();
    window.open(JrxmlCodec::serialize(largeDocument(elements)), u"Large.jrxml"_s);
    window.open(JrxmlCodec::serialize(largeDocument(10)), u"Small.jrxml"_s);
    ContentView *content = window.app().contentView();
    const QList<TabChip *> chips = content->tabBar()->chips();
    if (chips.size() != 2) {
        state.SkipWithError("the two reports did not open in two tabs");
        return;
    }
    // Each tab shown once, as a user who has looked at both.
    clickChip(chips[0]);
    clickChip(chips[1]);
    state.counters["tabMB"] = residentMegabytes() - before;
    PaintCounter counter;
    content->canvas()->graphicsView()->viewport()->installEventFilter(&counter);
    QList<double> back;
    for (auto _ : state) {
        clickChip(chips[0]);
        state.PauseTiming();
        QElapsedTimer clock;
        clock.start();
        clickChip(chips[1]);
        back.append(double(clock.nsecsElapsed()) / 1e6);
        state.ResumeTiming();
    }
    if (window.app().workspace().activeTabIndex() != 1 ||
        counter.paints < 2 * int(state.iterations())) {
        state.SkipWithError("a click on a tab did not switch and draw the canvas");
        return;
    }
    std::sort(back.begin(), back.end());
    state.counters["backToSmallMs"] = back.value(back.size() / 2);
    state.counters["goalMs"] = 30;
}
BENCHMARK(BM_TabSwitch)->Arg(10)->Arg(3000)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
