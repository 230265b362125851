// How long large pictures hold the designer's window, in the full window: a report whose one
// image element shows a 10000 x 10000 PNG, an 8000 x 6000 JPEG or a 4032 x 3024 HEIC (written
// through libheif's HEVC encoder; skipped where it has none) is opened, then another report, then
// the picture's tab again; and, once the canvas shows it, the "Add Image" sheet resizes each
// picture (its defaults: longest side 800, aspect kept).
//
// A timer ticks on the window's event loop every millisecond; the longest gap between two ticks
// is the longest time the window did not answer. "openStallMs" runs from the open until the
// canvas has drawn the picture (not its frame), "switchStallMs" from the switch back until it is
// drawn again, "resizeStallMs" from the sheet's Import until the import has ended. Each is the
// longest stall of all runs, printed beside "goal_ms" (100). "drawnMs" is the median time from
// the open until the picture was drawn, "resizeMs" the median time of the import, "peakMB" the
// process's peak resident memory over the open (Linux).

#include "BigPictures.h"
#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "WindowStalls.h"
#include "app/ContentView.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/ElementView.h"
#include "setup/ImageImportCoordinator.h"

#include <QElapsedTimer>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using windowstalls::longestStall;

namespace {

constexpr double goalMs = 100;

// A report whose title holds one picture filling an element of 400 by 300 points.
QByteArray reportShowing(const QString &picture)
{
    return u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
           "name=\"Pictures\" pageWidth=\"595\" pageHeight=\"842\" columnWidth=\"555\" "
           "leftMargin=\"20\" rightMargin=\"20\" topMargin=\"20\" bottomMargin=\"20\">\n"
           "<title><band height=\"320\">\n"
           "<image scaleImage=\"FillFrame\"><reportElement x=\"10\" y=\"10\" width=\"400\" "
           "height=\"300\"/><imageExpression><![CDATA[\"%1\"]]></imageExpression></image>\n"
           "</band></title>\n</jasperReport>\n"_s.arg(picture)
               .toUtf8();
}

// The designer window with the picture's report: whether the canvas shows the picture itself, as
// the window last drew it.
class PictureWindow {
public:
    explicit PictureWindow(const QString &picture) : picture_(picture)
    {
        canvas()->graphicsView()->viewport()->installEventFilter(&paints_);
    }

    ContentView *content() const { return window_.app().mainWindow()->content(); }
    CanvasView *canvas() const { return content()->canvas(); }
    DesignerWindow &window() { return window_; }

    void openPicture() { window_.app().workspace().openTab(reportFile(u"Pictures.jrxml"_s)); }
    QUrl reportFile(const QString &name)
    {
        const QString path = window_.path(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(reportShowing(picture_));
        return QUrl::fromLocalFile(path);
    }

    // Whether the window has drawn the picture (the element's green-leaning corner) since it last
    // painted the canvas; checked once a paint of the canvas has happened.
    bool pictureDrawn()
    {
        if (paints_.paints == checkedPaints_)
            return drawn_;
        checkedPaints_ = paints_.paints;
        drawn_ = false;
        for (QGraphicsItem *item : canvas()->scene()->items()) {
            auto *view = dynamic_cast<ElementView *>(item);
            if (!view || !view->element().kind.is<ElementKind::Image>())
                continue;
            const QRectF frame = view->sceneBoundingRect();
            QImage corner(8, 8, QImage::Format_RGB32);
            QPainter painter(&corner);
            // A corner near the bottom left: the gradient is green there, the frame grey.
            const QRectF source(frame.left() + frame.width() * 0.1,
                                frame.top() + frame.height() * 0.8, 8, 8);
            canvas()->scene()->render(&painter, QRectF(0, 0, 8, 8), source);
            painter.end();
            const QColor c = corner.pixelColor(4, 4);
            drawn_ = c.green() - c.red() > 60;
        }
        return drawn_;
    }
    void forgetDrawn()
    {
        drawn_ = false;
        checkedPaints_ = paints_.paints;
    }

private:
    DesignerWindow window_;
    QString picture_;
    windowstalls::PaintCounter paints_;
    int checkedPaints_ = 0;
    bool drawn_ = false;
};

void openAndSwitch(benchmark::State &state, QString (*make)())
{
    const QString picture = make();
    if (picture.isEmpty()) {
        state.SkipWithError("libheif has no HEVC encoder here to write the picture");
        return;
    }
    QList<double> openStalls, switchStalls, drawn;
    double peak = 0;
    for (auto _ : state) {
        PictureWindow window(picture);
        if (!window.window().checkSize(state))
            return;
        bigpictures::resetPeakMemory();
        QElapsedTimer clock;
        clock.start();
        openStalls.append(
            longestStall([&] { window.openPicture(); }, [&] { return window.pictureDrawn(); }));
        drawn.append(double(clock.nsecsElapsed()) / 1e6);
        peak = std::max(peak, bigpictures::peakMegabytes());

        WorkspaceModel &workspace = window.window().app().workspace();
        const int pictureTab = workspace.activeTabIndex();
        workspace.openTab(window.reportFile(u"Other.jrxml"_s));
        DesignerWindow::settle();
        window.forgetDrawn();
        switchStalls.append(longestStall([&] { workspace.setActiveTabIndex(pictureTab); },
                                         [&] { return window.pictureDrawn(); }));
    }
    state.counters["openStallMs"] = windowstalls::longest(openStalls);
    state.counters["switchStallMs"] = windowstalls::longest(switchStalls);
    state.counters["drawnMs"] = windowstalls::median(drawn);
    state.counters["peakMB"] = peak;
    state.counters["goal_ms"] = goalMs;
}

void resize(benchmark::State &state, QString (*make)())
{
    const QString picture = make();
    if (picture.isEmpty()) {
        state.SkipWithError("libheif has no HEVC encoder here to write the picture");
        return;
    }
    QList<double> stalls, times;
    for (auto _ : state) {
        PictureWindow window(picture);
        if (!window.window().checkSize(state))
            return;
        window.openPicture();
        // The canvas has drawn the picture before the user adds it again.
        while (!window.pictureDrawn())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        ImageImportCoordinator *coordinator = window.content()->imageImport();
        coordinator->begin(QUrl::fromLocalFile(picture), [](const QString &) {});
        ImageImportOptions options;
        options.sizeMode = ImageImportOptions::SizeMode::resize;
        coordinator->setOptions(options);
        DesignerWindow::settle();
        QElapsedTimer clock;
        clock.start();
        stalls.append(longestStall([&] { coordinator->performImport(*window.window().store()); },
                                   [&] { return clock.elapsed() > 2 && !coordinator->pending(); }));
        times.append(double(clock.nsecsElapsed()) / 1e6);
    }
    state.counters["resizeStallMs"] = windowstalls::longest(stalls);
    state.counters["resizeMs"] = windowstalls::median(times);
    state.counters["goal_ms"] = goalMs;
}

QString png()
{
    return bigpictures::picture(QSize(10000, 10000), "png");
}
QString jpeg()
{
    return bigpictures::picture(QSize(8000, 6000), "jpeg");
}
QString heic()
{
    return bigpictures::heicPicture(QSize(4032, 3024));
}

} // namespace

BENCHMARK_CAPTURE(openAndSwitch, Png10000x10000, &png)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(openAndSwitch, Jpeg8000x6000, &jpeg)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(openAndSwitch, Heic4032x3024, &heic)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(resize, Png10000x10000, &png)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(resize, Jpeg8000x6000, &jpeg)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(resize, Heic4032x3024, &heic)->Unit(benchmark::kMillisecond)->Iterations(3);

QUILLMARK_GUI_BENCHMARK_MAIN()
