// Shows the design canvas of one report file with the inspector beside it, for looking at it by
// eye:
//   inspectorshow REPORT.jrxml [--select N | --kind NAME | --report | --field NAME |
//                 --parameter NAME] [--open-colour] [--unit Pixels|Inches|Millimeters|...] [--dark]
// --select selects the first N elements of the first detail band, --kind the first element of
// that kind ("Static Text", "Image", "Line"…) in the page bands, detail bands and groups,
// frames included, --report the report itself, --field and --parameter the declaration of that
// name (as the outline selects it); without any the inspector shows the first
// detail band. --open-colour opens the colour dialog of the inspector's first colour row. The
// settings are kept in a folder of their own, apart from the user's.

#include "ShowWindowPalette.h"
#include "canvas/CanvasView.h"
#include "document/DocumentStore.h"
#include "inspector/ColorRow.h"
#include "inspector/InspectorView.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>

namespace {

// The first element of the kind, frames descended into.
std::optional<QUuid> firstOfKind(const ElementList &elements, const QString &kind)
{
    for (const ReportElement &e : elements) {
        if (e.kind.displayName() == kind)
            return e.id;
        if (const ElementList *children = e.kind.children()) {
            if (const auto found = firstOfKind(*children, kind))
                return found;
        }
    }
    return std::nullopt;
}

std::optional<QUuid> firstOfKind(const ReportDocument &document, const QString &kind)
{
    QList<ElementList> lists;
    for (const ReportBand &band : document.bands + document.detailBands)
        lists.append(band.elements);
    for (const ReportGroup &group : document.groups)
        lists << group.headerElements << group.footerElements;
    for (const ElementList &elements : std::as_const(lists)) {
        if (const auto found = firstOfKind(elements, kind))
            return found;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("report"), QStringLiteral("The JRXML file."));
    parser.addOption(
        {QStringLiteral("select"), QStringLiteral("Elements to select."), QStringLiteral("n")});
    parser.addOption({QStringLiteral("kind"), QStringLiteral("Select the first element of a kind."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("report"), QStringLiteral("Select the report itself.")});
    parser.addOption({QStringLiteral("field"), QStringLiteral("Select a declared field."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("parameter"), QStringLiteral("Select a declared parameter."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("open-colour"), QStringLiteral("Open a colour dialog.")});
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
    if (parser.isSet(QStringLiteral("kind"))) {
        const auto found = firstOfKind(store.document(), parser.value(QStringLiteral("kind")));
        if (!found) {
            std::fprintf(stderr, "inspectorshow: no element of that kind\n");
            return 1;
        }
        store.setSelectedElementIDs({*found});
    }
    store.setIsReportRootSelected(parser.isSet(QStringLiteral("report")));
    if (parser.isSet(QStringLiteral("field")) || parser.isSet(QStringLiteral("parameter"))) {
        const auto named = [](const auto &items, const QString &name) -> std::optional<QUuid> {
            for (const auto &item : items) {
                if (item.name == name)
                    return item.id;
            }
            return std::nullopt;
        };
        const bool isField = parser.isSet(QStringLiteral("field"));
        const QString name =
            parser.value(isField ? QStringLiteral("field") : QStringLiteral("parameter"));
        const std::optional<QUuid> id = isField ? named(store.document().fields, name)
                                                : named(store.document().parameters, name);
        if (!id) {
            std::fprintf(stderr, "inspectorshow: no declaration of that name\n");
            return 1;
        }
        store.setSelectedElementIDs({});
        store.setSelectedDataItem(isField ? InspectorDataSelection::field(*id)
                                          : InspectorDataSelection::parameter(*id));
    }

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
    if (parser.isSet(QStringLiteral("open-colour"))) {
        if (auto *colour = inspector->findChild<ColorRow *>())
            colour->openDialog();
    }
    return app.exec();
}
