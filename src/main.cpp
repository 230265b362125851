#include "app/CrashDetection.h"
#include "app/CrashSignalHandler.h"
#include "app/MainWindow.h"
#include "app/QuillmarkApp.h"
#include "document/DocumentStore.h"
#include "widgets/AppStyle.h"
#include "workspace/ApplicationIdentity.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    quillmark::applyApplicationIdentity();
    QApplication::setStyle(new AppStyle);
    CrashSignalHandler::install(CrashDetection::crashLogFolder(),
                                VersionInfo::current().shortVersion);
    QuillmarkApp app;
    // For start-up measurements: end as soon as the window has been painted once, as a quit at
    // the end of a session does, so that the next start follows a clean end.
    if (qEnvironmentVariableIsSet("QUILLMARK_EXIT_AFTER_FIRST_PAINT")) {
        app.setLaunchChecks({}, {});
        QObject::connect(app.mainWindow(), &MainWindow::firstPainted, &app, [&] {
            const ReportDocument &report = app.store()->document();
            qsizetype elements = 0;
            for (const QList<ReportBand> *bands : {&report.bands, &report.detailBands}) {
                for (const ReportBand &band : *bands)
                    elements += band.elements.size();
            }
            std::printf("first paint after %lld ms, %lld top-level elements in the active tab\n",
                        sinceStart.elapsed(), qlonglong(elements));
            std::fflush(stdout);
            app.quitAtSessionEnd();
        });
    }
    QStringList files = application.arguments().mid(1);
    files.removeIf([](const QString &argument) { return argument.startsWith(u'-'); });
    app.setLaunchFiles(files);
    return app.run();
}
