#include "app/KeyMonitor.h"

#include "widgets/SheetDialog.h"
#include "widgets/SheetModality.h"
#include "widgets/TextInputFocus.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace {

// The top-level widget that the window shows, if any.
const QWidget *widgetOf(const QWindow *window)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *widget : windows) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

} // namespace

KeyMonitor::KeyMonitor(WorkspaceModel *workspace, QWidget *mainWindow, std::function<void()> quit,
                       std::function<void(bool undo)> step)
    : QObject(qApp), workspace_(workspace), mainWindow_(mainWindow), quit_(std::move(quit)),
      step_(std::move(step))
{
}

void KeyMonitor::install(WorkspaceModel *workspace, QWidget *mainWindow, std::function<void()> quit,
                         std::function<void(bool undo)> step)
{
    if (workspace->keyMonitor())
        return;
    auto *monitor = new KeyMonitor(workspace, mainWindow, std::move(quit), std::move(step));
    workspace->setKeyMonitor(monitor);
    qApp->installEventFilter(monitor);
}

bool KeyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    // Each key press reaches its window first and then the widgets, which would each show it
    // to this filter again: the window's delivery is the one looked at.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType() || !workspace_)
        return false;
    auto *window = static_cast<QWindow *>(watched);
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const QWidget *top = widgetOf(window);
    const QWidget *focus = top ? top->focusWidget() : QApplication::focusWidget();
    const bool isMainWindow = mainWindow_ && mainWindow_->windowHandle() == window;
    const auto *sheet = qobject_cast<const SheetDialog *>(top);
    // A sheet over the main window (the workspace's, the preview, or one opened from another
    // sheet) keeps its menu out of reach. Quitting still asks about unsaved reports, as from
    // the menu.
    if (quit_ && sheet &&
        keyEvent->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Q)) {
        quit_();
        return true;
    }
    const bool reachesStore =
        isMainWindow && !QApplication::activeModalWidget() && !SheetModality::covers(mainWindow_);
    // In a sheet that edits the report the keys' Undo and Redo are the window's, in a text field
    // too: the field's own would write its text back into the report as a new step, out of
    // order with the report's. So are they in a text field of the window's inspector.
    const bool windowsUndo = sheet ? sheet->editsActiveReport()
                                   : reachesStore && isTextInput(focus) && isInReportPanel(focus);
    if (step_ && windowsUndo) {
        // The menu's keys, and the platform's that a text field would take for its own.
        const QKeyCombination pressed(keyEvent->modifiers() & ~Qt::KeypadModifier,
                                      Qt::Key(keyEvent->key()));
        for (const bool undo : {true, false}) {
            const QKeyCombination menuKey(
                undo ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
            if (pressed == menuKey ||
                keyEvent->matches(undo ? QKeySequence::Undo : QKeySequence::Redo)) {
                step_(undo);
                return true;
            }
        }
    }
    const KeyDown key{Qt::Key(keyEvent->key()), keyEvent->modifiers(), isTextInput(focus)};
    return workspace_->handleKeyDown(key, reachesStore, sheet && sheet->isWorkspaceSheet());
}
