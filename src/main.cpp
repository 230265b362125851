#include "app/ApplicationIdentity.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    quillmark::applyApplicationIdentity();
    QMainWindow window;
    window.setWindowTitle(quillmark::applicationName);
    window.resize(1200, 800);
    window.show();
    return app.exec();
}
