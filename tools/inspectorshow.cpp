// Shows the design canvas of one report file with the inspector beside it, for looking at it by
// eye:
//   inspectorshow REPORT.jrxml [--select N | --report] [--unit Pixels|Inches|Millimeters|...]
//                 [--dark]
// --select selects the first N elements of the first detail band, --report the report itself;
// without either the inspector shows the first detail band. The settings are kept in a folder
// of their own, apart from the user's.

#include "ShowWindowPalette.h"
#include "canvas/CanvasView.h"
#include "document/DocumentStore.h"
#include "inspector/InspectorView.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("report"), QStringLiteral("The JRXML file."));
    parser.addOption(
        {QStringLiteral("select"), QStringLiteral("Elements to select."), QStringLiteral("n")});
    parser.addOption({QStringLiteral("report"), QStringLiteral("Select the report itself.")});
    parser.addOption({QStringLiteral("unit"), QStringLiteral("Length unit."), QStringLiteral("u")});
    parser.addOption({QStringLiteral("dark"), QStringLiteral("Dark appearance.")});
    parser.addHelpOption();
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    useShowWindowPalette(parser.isSet(QStringLiteral("dark")));

    DocumentStore store;
    try {
        store.load(QUrl::fromLocalFile(parser.positionalArguments().first()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "inspectorshow: %s\n", error.what());
        return 1;
    }
    if (!store.document().detailBands.isEmpty()) {
        const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
        store.setActiveBandTarget(detail);
        QSet<QUuid> ids;
        for (const ReportElement &e :
             store.elements(detail).mid(0, parser.value(QStringLiteral("select")).toInt()))
            ids.insert(e.id);
        store.setSelectedElementIDs(ids);
    }
    store.setIsReportRootSelected(parser.isSet(QStringLiteral("report")));

    AppSettings settings;
    if (const auto unit = enumFromRaw<MeasurementUnit>(parser.value(QStringLiteral("unit"))))
        settings.setMeasurementUnit(*unit);

    QWidget window;
    auto *row = new QHBoxLayout(&window);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *canvas = new CanvasView;
    canvas->setBandSettings(&settings);
    canvas->setMeasurementUnit(settings.measurementUnit());
    canvas->setStore(&store);
    auto *inspector = new InspectorView(settings, nullptr);
    inspector->setFixedWidth(340);
    inspector->setStore(&store);
    row->addWidget(canvas, 1);
    row->addWidget(inspector);
    window.resize(1300, 900);
    window.setWindowTitle(store.windowTitle());
    window.show();
    return app.exec();
}
