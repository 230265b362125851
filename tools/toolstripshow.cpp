// Shows the tool strip for one report file, for looking at it by eye:
//   toolstripshow REPORT.jrxml [--select N] [--width W] [--snippet NAME]
// The element palette, the format toolbar and the align and distribute toolbar stand in one
// row when the window is wide enough for the three, else in two rows (format and align above,
// palette below), with the canvas under them. --select selects the first N elements of the
// first detail band; --snippet saves the first selected element as a snippet. Settings and
// snippets live in a temporary folder.

#include "canvas/AlignDistributeToolbar.h"
#include "canvas/CanvasView.h"
#include "canvas/FormatToolbar.h"
#include "canvas/PaletteView.h"
#include "canvas/SnippetLibrary.h"
#include "document/DocumentStore.h"
#include "engine/SidecarModel.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    SymbolIcons::useIconTheme(false);
    QCommandLineParser parser;
    parser.addPositionalArgument(u"report"_s, u"The JRXML file."_s);
    parser.addOption({u"select"_s, u"Elements to select."_s, u"n"_s});
    parser.addOption({u"width"_s, u"Window width."_s, u"w"_s});
    parser.addOption({u"snippet"_s, u"Save the selection as a snippet."_s, u"name"_s});
    parser.addHelpOption();
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    QTemporaryDir dir;
    DocumentStore store;
    try {
        store.load(QUrl::fromLocalFile(parser.positionalArguments().first()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "toolstripshow: %s\n", error.what());
        return 1;
    }
    if (parser.isSet(u"select"_s) && !store.document().detailBands.isEmpty()) {
        const BandTarget detail = BandTarget::detailBand(store.document().detailBands[0].id);
        QSet<QUuid> ids;
        for (const ReportElement &e :
             store.elements(detail).mid(0, parser.value(u"select"_s).toInt()))
            ids.insert(e.id);
        store.setActiveBandTarget(detail);
        store.setSelectedElementIDs(ids);
    }

    AppSettings settings(dir.path());
    QSettings snippetSettings(dir.filePath(u"snippets.ini"_s), QSettings::IniFormat);
    SnippetLibrary library(snippetSettings);
    if (parser.isSet(u"snippet"_s) && !store.selectedElementIDs().isEmpty()) {
        library.save(*store.element(*store.selectedElementIDs().begin()),
                     parser.value(u"snippet"_s));
    }
    SidecarModel sidecar;

    auto *palette = new PaletteView(settings, library, sidecar);
    auto *format = new FormatToolbar(settings);
    auto *align = new AlignDistributeToolbar;
    palette->setStore(&store);
    format->setStore(&store);
    align->setStore(&store);

    const int width = parser.isSet(u"width"_s) ? parser.value(u"width"_s).toInt() : 1500;
    const bool twoRows =
        palette->sizeHint().width() + format->sizeHint().width() + align->sizeHint().width() >
        width;
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *strip = new QGridLayout;
    strip->setSpacing(0);
    if (twoRows) {
        strip->addWidget(format, 0, 0);
        strip->addWidget(align, 0, 2);
        strip->addWidget(palette, 1, 0, 1, 2);
    } else {
        strip->addWidget(palette, 0, 0);
        strip->addWidget(format, 0, 1);
        strip->addWidget(align, 0, 3);
    }
    strip->setColumnStretch(twoRows ? 1 : 2, 1);
    column->addLayout(strip);
    auto *canvas = new CanvasView;
    canvas->setStore(&store);
    column->addWidget(canvas, 1);
    window.resize(width, 700);
    window.setWindowTitle(store.windowTitle());
    window.show();
    return app.exec();
}
