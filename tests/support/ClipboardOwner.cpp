// Another program on the display for the paste tests: it takes the clipboard and the primary
// selection with the text of its argument, says "owned" on its standard output once it holds
// both, serves them until its standard input closes, and then quits, leaving them without an
// owner.
#include <QClipboard>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: clipboardowner TEXT\n", stderr);
        return 2;
    }
    const QString text = QString::fromLocal8Bit(argv[1]);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    clipboard->setText(text, QClipboard::Selection);

    QTimer owned;
    QObject::connect(&owned, &QTimer::timeout, &app, [&] {
        if (clipboard->ownsClipboard() && clipboard->ownsSelection()) {
            owned.stop();
            std::puts("owned");
            std::fflush(stdout);
        }
    });
    owned.start(10);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    return app.exec();
}
