// Shows the design canvas for one report file, for looking at it by eye:
//   canvasshow REPORT.jrxml [--zoom LEVEL] [--unit Pixels|Inches|Millimeters|Centimeters|Meters]

#include "canvas/CanvasView.h"
#include "document/DocumentStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QUrl>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("report"), QStringLiteral("The JRXML file."));
    parser.addOption({QStringLiteral("zoom"), QStringLiteral("Zoom level."), QStringLiteral("z")});
    parser.addOption({QStringLiteral("unit"), QStringLiteral("Ruler unit."), QStringLiteral("u")});
    parser.addHelpOption();
    parser.process(app);
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

    CanvasView canvas;
    canvas.setStore(&store);
    if (const auto unit = enumFromRaw<MeasurementUnit>(parser.value(QStringLiteral("unit"))))
        canvas.setMeasurementUnit(*unit);
    canvas.resize(1200, 900);
    canvas.setWindowTitle(store.windowTitle());
    canvas.show();
    return app.exec();
}
