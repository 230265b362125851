#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>

namespace apptest {

// Makes the window the active one and waits until the widgets know it: keys go to the active
// window, and QTest's own wait looks only at the platform window, which is told first.
inline bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

// Presses `key` in the next alert the program shows, as a user would, once it is the active
// window; its message goes to `message`. An alert does not return to the test before it is
// answered, so the key is sent from inside its own event loop. Stops looking when dropped.
[[nodiscard]] inline std::unique_ptr<QTimer> pressInNextAlert(Qt::Key key,
                                                              QString *message = nullptr)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(20);
    QTimer *watch = timer.get();
    QObject::connect(watch, &QTimer::timeout, watch, [watch, key, message] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watch->stop();
        if (message)
            *message = box->text();
        if (activate(box))
            QTest::keyClick(box->windowHandle(), key);
        else
            box->reject(); // answered by nobody: the test sees -1 instead of hanging
    });
    timer->start();
    return timer;
}

} // namespace apptest
