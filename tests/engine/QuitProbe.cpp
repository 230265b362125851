// Quits the way the program does while engine requests are still on their way:
//
//   engine_quitprobe <engine executable> <script> <parent folder of the work folder> <request log>
//
// An application object, and after it an owner of the engine model (the program's application
// object owns it the same way). A render, an export and an evaluation are started; once the
// engine has read the first request, "ready" is printed, and once a line arrives on standard
// input the event loop ends. The process then ends as the program does: the owner goes, then
// the application object, which waits for every background task.

#include "engine/SidecarModel.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: engine_quitprobe ENGINE SCRIPT FOLDER REQUEST-LOG\n");
        return 2;
    }
    const SidecarClient::Location location{arguments[1], arguments[2]};
    const QString requestLog = arguments[4];

    QObject owner;
    auto *engine = new SidecarModel(PrivateWorkFolder(arguments[3]), &owner);
    engine->setLocationProvider([location] { return location; });
    ReportDocument report;
    report.name = QStringLiteral("Probe");
    engine->compileAndPreview(report, std::nullopt, {}, {}, std::nullopt);
    engine->exportReport(report, ExportFormat::pdf,
                         QUrl::fromLocalFile(arguments[3] + QStringLiteral("/out.pdf")),
                         std::nullopt, {}, {}, std::nullopt);
    engine->evaluateExpression(QStringLiteral("1"), QStringLiteral("java"), {}, {}, nullptr,
                               [](const auto &) {});

    // Quits once the engine has taken the first request, so that one is truly pending.
    auto *poll = new QTimer(&owner);
    QObject::connect(poll, &QTimer::timeout, &owner, [&] {
        QFile log(requestLog);
        if (!log.open(QIODevice::ReadOnly) || !log.readAll().contains('\n'))
            return;
        poll->stop();
        std::printf("ready\n");
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            return;
        QCoreApplication::quit();
    });
    poll->start(10);
    return QCoreApplication::exec();
}
