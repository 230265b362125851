// Shows the design canvas for one report file, for looking at it by eye:
//   canvasshow REPORT.jrxml [--zoom LEVEL] [--unit Pixels|Inches|Millimeters|Centimeters|Meters]
//              [--select N] [--dark]
// with the align and distribute toolbar above it and a fixed 10-point snap grid; --select selects
// the first N elements of the first detail band.

#include "canvas/AlignDistributeToolbar.h"
#include "canvas/CanvasView.h"
#include "document/DocumentStore.h"
#include "workspace/BandSettings.h"

#include "ShowWindowPalette.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

namespace {

// The preferences' snap grid is not part of this tool: a plain 10-point grid stands in.
struct TenPointGrid : BandSettings {
    bool isSnapToGridEnabled() const override { return true; }
    double gridSize() const override { return 10; }
    double snapped(double value) const override { return std::round(value / 10) * 10; }
    double snapped(double value, double) const override { return snapped(value); }
    QString defaultFontName() const override { return QStringLiteral("SansSerif"); }
    double defaultFontSize() const override { return 10; }
    bool defaultBlankWhenNull() const override { return false; }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("report"), QStringLiteral("The JRXML file."));
    parser.addOption({QStringLiteral("zoom"), QStringLiteral("Zoom level."), QStringLiteral("z")});
    parser.addOption({QStringLiteral("unit"), QStringLiteral("Ruler unit."), QStringLiteral("u")});
    parser.addOption(
        {QStringLiteral("select"), QStringLiteral("Elements to select."), QStringLiteral("n")});
    parser.addOption({QStringLiteral("dark"), QStringLiteral("Dark appearance.")});
    parser.addHelpOption();
    parser.process(app);
    useShowWindowPalette(parser.isSet(QStringLiteral("dark")));
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    DocumentStore store;
    try {
        store.load(QUrl::fromLocalFile(parser.positionalArguments().first()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "canvasshow: %s\n", error.what());
        return 1;
    }
    if (parser.isSet(QStringLiteral("zoom")))
        store.setZoomLevel(parser.value(QStringLiteral("zoom")).toDouble());

    if (parser.isSet(QStringLiteral("select")) && !store.document().detailBands.isEmpty()) {
        const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
        QSet<QUuid> ids;
        for (const ReportElement &e :
             store.elements(detail).mid(0, parser.value(QStringLiteral("select")).toInt()))
            ids.insert(e.id);
        store.setActiveBandTarget(detail);
        store.setSelectedElementIDs(ids);
    }

    QWidget window;
    auto *column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *toolbar = new AlignDistributeToolbar;
    toolbar->setStore(&store);
    auto *canvas = new CanvasView;
    TenPointGrid grid;
    canvas->setBandSettings(&grid);
    canvas->setStore(&store);
    if (const auto unit = enumFromRaw<MeasurementUnit>(parser.value(QStringLiteral("unit"))))
        canvas->setMeasurementUnit(*unit);
    column->addWidget(toolbar);
    column->addWidget(canvas, 1);
    window.resize(1200, 900);
    window.setWindowTitle(store.windowTitle());
    window.show();
    return app.exec();
}
