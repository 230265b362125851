// The yardstick of the start-up benchmark: a bare Qt main window in the designer's style, ended
// after its first paint. Prints the time from process start as the designer does.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <cstdio>

namespace {

// Ends the program once the watched widget's first paint has been handled.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer &sinceStart) : sinceStart_(sinceStart) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("first paint after %lld ms\n", sinceStart_.elapsed());
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &sinceStart_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QMainWindow window;
    auto *content = new QLabel(QStringLiteral("Quillmark"), &window);
    window.setCentralWidget(content);
    window.resize(1280, 800);
    FirstPaint watcher(sinceStart);
    content->installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}
