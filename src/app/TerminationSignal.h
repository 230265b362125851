#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns the signals that ask the program to end into a call on the main thread, so that it ends
// as a quit does rather than as a crash: SIGTERM, which a logout or a shutdown sends, SIGINT
// (Ctrl+C in the terminal that started it) and SIGHUP (that terminal closed). A signal that was
// ignored when the program started (nohup ignores SIGHUP) stays ignored. The handler only writes
// a byte to a pipe that the main thread watches, and sets an alarm: a program still there
// `endDeadlineSeconds` later (its main thread stuck) is ended by SIGALRM. While it lives the
// handler is installed; it is the one instance, and the handling found before comes back when it
// goes.
class TerminationSignal : public QObject {
    Q_OBJECT

public:
    static constexpr unsigned endDeadlineSeconds = 10;

    explicit TerminationSignal(std::function<void()> onTerminate, QObject *parent = nullptr);
    ~TerminationSignal() override;

private:
    std::function<void()> onTerminate_;
    QSocketNotifier *notifier_ = nullptr;
};
