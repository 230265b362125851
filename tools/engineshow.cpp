// Shows the engine's windows for looking at them by eye:
//   engineshow sheet [--dark] [--size WxH]        the parameter sheet, a parameter of each kind
//   engineshow preview [PDF] [--dark] [--size WxH]  the PDF preview (a two-page sample by default)

#include "document/DocumentStore.h"
#include "engine/PDFPreviewView.h"
#include "engine/ParameterValuesSheet.h"
#include "widgets/AppPalettes.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMainWindow>
#include <QPainter>
#include <QPdfWriter>
#include <QStyleFactory>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

ReportParameter parameter(const QString &name, const QString &className, const QString &fallback,
                          const QString &description)
{
    return {.name = name,
            .className = className,
            .defaultValueExpression = fallback,
            .isForPrompting = true,
            .parameterDescription = description};
}

// A two-page A4 sample with a heading and a box on each page.
void writeSample(const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int page = 1; page <= 2; ++page) {
        if (page > 1)
            writer.newPage();
        painter.setFont(QFont(u"DejaVu Sans"_s, 24));
        painter.drawText(QRectF(40, 40, 500, 40), u"Sample report, page %1"_s.arg(page));
        painter.setPen(QPen(Qt::darkBlue, 2));
        painter.drawRect(QRectF(40, 100, 515, 300));
        painter.fillRect(QRectF(60, 120, 200 * page, 40), QColor(0x4A, 0x90, 0xD9));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(u"what"_s, u"sheet or preview"_s);
    parser.addPositionalArgument(u"pdf"_s, u"The PDF file for the preview."_s, u"[pdf]"_s);
    parser.addOption({u"dark"_s, u"Dark appearance."_s});
    parser.addOption({u"size"_s, u"Window size."_s, u"WIDTHxHEIGHT"_s, u"900x700"_s});
    parser.addHelpOption();
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        parser.showHelp(2);
    app.setStyle(QStyleFactory::create(u"Fusion"_s));
    AppPalettes::apply(parser.isSet(u"dark"_s) ? AppAppearance::dark : AppAppearance::light);

    QMainWindow window;
    const QStringList size = parser.value(u"size"_s).split(u'x');
    window.resize(size.value(0).toInt(), size.value(1).toInt());
    if (arguments.first() == "preview"_L1) {
        QTemporaryDir dir;
        QString path = arguments.value(1);
        if (path.isEmpty()) {
            path = dir.filePath(u"Sample.pdf"_s);
            writeSample(path);
        }
        auto *preview = new PDFPreviewView(&window);
        preview->setUrl(QUrl::fromLocalFile(path));
        window.setCentralWidget(preview);
        window.show();
        return app.exec();
    }

    WorkspaceModel workspace;
    DocumentStore *store = workspace.activeStore();
    ReportDocument document = store->document();
    document.parameters = {
        parameter(u"ShowTotals"_s, u"java.lang.Boolean"_s, u"true"_s, u"Print the totals band"_s),
        parameter(u"FromDate"_s, u"java.util.Date"_s, u"\"2024-01-31\""_s, QString()),
        parameter(u"Stamp"_s, u"java.sql.Timestamp"_s, u"\"2024-03-05 14:30:00\""_s, QString()),
        parameter(u"MinAmount"_s, u"java.lang.Integer"_s, u"\"1,000\""_s,
                  u"Smallest order amount to list"_s),
        parameter(u"Rate"_s, u"java.lang.Double"_s, u"0.25"_s, QString()),
        parameter(u"Region"_s, u"java.lang.String"_s, QString(), u"Sales region code"_s)};
    store->setDocument(document);
    window.show();
    ParameterValuesSheet sheet(&workspace, &window);
    workspace.promptForParameterValues(store, [](const WorkspaceModel::ParameterValues &) {});
    return app.exec();
}
