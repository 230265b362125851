#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class WorkspaceModel;

// The application's one key monitor: an event filter on the application that sees each key
// press before any widget does and asks the workspace where it goes. A key reaches the report
// only while no modal window is active, no sheet covers the main window and the key belongs to
// it; Escape closes the workspace's sheets only when it was typed in one of them, and Undo and
// Redo typed anywhere in a sheet that edits the active report, its text fields included, or in a
// text field of the window's inspector, are the window's Undo and Redo. Installed once, when the
// main window is first shown, and never removed.
class KeyMonitor : public QObject {
    Q_OBJECT

public:
    // Does nothing when the workspace has a monitor already. `quit` is what Ctrl+Q does while a
    // sheet covers the main window, whose menu it cannot reach then; `step` is the window's Undo
    // (true) or Redo (false).
    static void install(WorkspaceModel *workspace, QWidget *mainWindow,
                        std::function<void()> quit = {}, std::function<void(bool undo)> step = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyMonitor(WorkspaceModel *workspace, QWidget *mainWindow, std::function<void()> quit,
               std::function<void(bool undo)> step);

    QPointer<WorkspaceModel> workspace_;
    QPointer<QWidget> mainWindow_;
    std::function<void()> quit_;
    std::function<void(bool undo)> step_;
};
