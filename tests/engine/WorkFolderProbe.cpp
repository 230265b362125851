// A designer previewing a new report book, as the program does it:
//
//   engine_workfolderprobe <java> <engine jar> <parent folder of the work folder> <title>
//
// Renders a report named "ReportBook" whose title band prints <title>, through an engine model
// whose work folder is made in <parent folder>. Prints "rendered <PDF path>" (or "failed <error>")
// and ends once a line arrives on standard input, as the program ends.

#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: engine_workfolderprobe JAVA JAR FOLDER TITLE\n");
        return 2;
    }
    const SidecarClient::Location location{arguments[1], arguments[2]};
    const QString title = arguments[4].toHtmlEscaped();
    const QString jrxml =
        u"<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
        u"name=\"ReportBook\" pageWidth=\"595\" pageHeight=\"842\" columnWidth=\"555\" "
        u"leftMargin=\"20\" rightMargin=\"20\" topMargin=\"20\" bottomMargin=\"20\" "
        u"whenNoDataType=\"AllSectionsNoDetail\"><title><band height=\"40\"><staticText>"
        u"<reportElement x=\"0\" y=\"0\" width=\"500\" height=\"30\"/><text><![CDATA[" +
        title + u"]]></text></staticText></band></title></jasperReport>";

    auto *engine = new SidecarModel(PrivateWorkFolder(arguments[3]), &application);
    engine->setLocationProvider([location] { return location; });
    QObject::connect(engine, &SidecarModel::isRenderingChanged, engine, [engine] {
        if (engine->isRendering())
            return;
        if (engine->pdfURL())
            std::printf("rendered %s\n", qPrintable(engine->pdfURL()->toLocalFile()));
        else
            std::printf("failed %s\n", qPrintable(engine->errorMessage().value_or(QString())));
        std::fflush(stdout);
        char line[16];
        if (std::fgets(line, sizeof line, stdin))
            QCoreApplication::quit();
    });
    engine->compileAndPreview(JrxmlCodec::parse(jrxml.toUtf8()), std::nullopt, {}, {},
                              std::nullopt);
    return QCoreApplication::exec();
}
