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

KeyMonitor::KeyMonitor(WorkspaceModel *workspace, QWidget *mainWindow, std::function<void()> quit)
    : QObject(qApp), workspace_(workspace), mainWindow_(mainWindow), quit_(std::move(quit))
{
}

void KeyMonitor::install(WorkspaceModel *workspace, QWidget *mainWindow, std::function<void()> quit)
{
    if (workspace->keyMonitor())
        return;
    auto *monitor = new KeyMonitor(workspace, mainWindow, std::move(quit));
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
    const KeyDown key{Qt::Key(keyEvent->key()), keyEvent->modifiers(), isTextInput(focus)};
    const bool reachesStore =
        isMainWindow && !QApplication::activeModalWidget() && !SheetModality::covers(mainWindow_);
    return workspace_->handleKeyDown(key, reachesStore, sheet && sheet->isWorkspaceSheet(),
                                     sheet && sheet->editsActiveReport());
}
