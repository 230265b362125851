#include "app/ApplicationIdentity.h"
#include "app/MainWindow.h"
#include "app/QuillmarkApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    quillmark::applyApplicationIdentity();
    QApplication::setStyle(QStringLiteral("Fusion"));
    QuillmarkApp app;
    // For start-up measurements: end as soon as the window has been painted once.
    if (qEnvironmentVariableIsSet("QUILLMARK_EXIT_AFTER_FIRST_PAINT")) {
        QObject::connect(app.mainWindow(), &MainWindow::firstPainted, &app, [&] {
            std::printf("first paint after %lld ms\n", sinceStart.elapsed());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    app.start();
    return QApplication::exec();
}
