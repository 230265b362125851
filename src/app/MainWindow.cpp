#include "app/MainWindow.h"

#include "app/ContentView.h"
#include "workspace/ApplicationIdentity.h"

#include <QCloseEvent>

MainWindow::MainWindow(ContentView *content, QWidget *parent)
    : QMainWindow(parent), content_(content)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(quillmark::applicationName);
    setCentralWidget(content);
    content->installEventFilter(this);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        emit firstShown();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (shouldClose_ && !shouldClose_()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == content_ && event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        // After this paint has been handled.
        QMetaObject::invokeMethod(this, &MainWindow::firstPainted, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}
