#include "app/KeyMonitor.h"

#include "widgets/TextInputFocus.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace {

// The widget of the window that takes its keys.
const QWidget *focusWidgetOf(const QWindow *window)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *widget : windows) {
        if (widget->windowHandle() == window)
            return widget->focusWidget();
    }
    return QApplication::focusWidget();
}

} // namespace

KeyMonitor::KeyMonitor(WorkspaceModel *workspace, QWidget *mainWindow)
    : QObject(qApp), workspace_(workspace), mainWindow_(mainWindow)
{
}

void KeyMonitor::install(WorkspaceModel *workspace, QWidget *mainWindow)
{
    if (workspace->keyMonitor())
        return;
    auto *monitor = new KeyMonitor(workspace, mainWindow);
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
    const QWidget *focus = focusWidgetOf(window);
    const bool isMainWindow = mainWindow_ && mainWindow_->windowHandle() == window;
    const KeyDown key{Qt::Key(keyEvent->key()), keyEvent->modifiers(), isTextInput(focus)};
    return workspace_->handleKeyDown(key, isMainWindow && !QApplication::activeModalWidget());
}
