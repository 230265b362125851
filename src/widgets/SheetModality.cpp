#include "widgets/SheetModality.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>

namespace {

const char *const reachesPastSheets = "reachesPastSheets";

bool reachesPast(const QObject *object)
{
    return object && object->property(reachesPastSheets).toBool();
}

bool isPress(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

bool isMouseClick(QEvent::Type type)
{
    return isPress(type) || type == QEvent::MouseButtonRelease;
}

// What a window under a sheet never gets, as under Qt's own modality.
bool isInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Enter:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
        return true;
    case QEvent::Close:
        return event->spontaneous();
    default:
        return false;
    }
}

// The menu keys that only move through the open menu or close it.
bool movesInMenu(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

bool triggersInMenu(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

QPointer<SheetModality> &current()
{
    static QPointer<SheetModality> modality;
    return modality;
}

} // namespace

SheetModality::SheetModality() : QObject(qApp)
{
    qApp->installEventFilter(this);
}

SheetModality *SheetModality::instance()
{
    if (!current())
        current() = new SheetModality;
    return current();
}

void SheetModality::letThrough(QObject *object)
{
    object->setProperty(reachesPastSheets, true);
}

void SheetModality::sheetShown(QWidget *sheet)
{
    SheetModality *modality = instance();
    if (!modality->sheets_.contains(sheet))
        modality->sheets_.append(sheet);
}

void SheetModality::sheetHidden(QWidget *sheet)
{
    SheetModality *modality = current();
    if (!modality)
        return;
    modality->sheets_.removeAll(sheet);
    modality->sheets_.removeAll(nullptr);
    modality->pressPassed_ = false;
}

bool SheetModality::covers(const QWidget *window)
{
    return current() && current()->sheetOver(window);
}

QWidget *SheetModality::shownSheet()
{
    if (!current())
        return nullptr;
    for (const QPointer<QWidget> &sheet : current()->sheets_) {
        if (sheet && sheet->isVisible())
            return sheet;
    }
    return nullptr;
}

bool SheetModality::isShown(const QWidget *sheet)
{
    return current() && sheet->isVisible() &&
           std::any_of(current()->sheets_.cbegin(), current()->sheets_.cend(),
                       [sheet](const QPointer<QWidget> &shown) { return shown == sheet; });
}

QWidget *SheetModality::sheetOver(const QWidget *window) const
{
    for (const QPointer<QWidget> &sheet : sheets_) {
        if (sheet && sheet->isVisible() && sheet->parentWidget() &&
            sheet->parentWidget()->window() == window)
            return sheet;
    }
    return nullptr;
}

QWidget *SheetModality::coveredOwner(const QMenu *menu) const
{
    QWidget *owner = menu->parentWidget() ? menu->parentWidget()->window() : nullptr;
    return owner && sheetOver(owner) ? owner : nullptr;
}

bool SheetModality::gatedMenuIsOpen() const
{
    const auto *menu = qobject_cast<const QMenu *>(QApplication::activePopupWidget());
    return menu && coveredOwner(menu);
}

bool SheetModality::eventFilter(QObject *watched, QEvent *event)
{
    if (sheets_.isEmpty())
        return false;
    if (watched->isWindowType()) {
        for (const QPointer<QWidget> &sheet : sheets_) {
            if (!sheet || !sheet->isVisible() || !sheet->parentWidget())
                continue;
            QWidget *window = sheet->parentWidget()->window();
            if (window->windowHandle() == watched)
                return filterCoveredWindow(window, event);
            if (sheet->windowHandle() == watched && event->type() == QEvent::ShortcutOverride)
                return overridesShortcutOf(window, static_cast<QKeyEvent *>(event));
        }
        return false;
    }
    if (event->type() == QEvent::WindowActivate) {
        // A click on the covered window may activate it; the keys belong to the sheet.
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isWindow()) {
            if (QWidget *sheet = sheetOver(widget))
                QMetaObject::invokeMethod(sheet, &QWidget::activateWindow, Qt::QueuedConnection);
        }
        return false;
    }
    // An open menu of the covered window runs only its items that reach past the sheet; its
    // other items' shortcuts match while it is open.
    if (event->type() == QEvent::Shortcut && qobject_cast<QAction *>(watched))
        return gatedMenuIsOpen() && !reachesPast(watched);
    if (auto *menu = qobject_cast<QMenu *>(watched); menu && coveredOwner(menu))
        return filterMenu(menu, event);
    // The open menu hands the moves and presses that leave it to its menu bar, which would open
    // the menu under the pointer.
    if (auto *bar = qobject_cast<QMenuBar *>(watched); bar && sheetOver(bar->window())) {
        if (event->type() == QEvent::MouseMove || isMouseClick(event->type()))
            return !reachesPast(
                bar->actionAt(static_cast<QMouseEvent *>(event)->position().toPoint()));
    }
    return false;
}

bool SheetModality::filterCoveredWindow(QWidget *window, QEvent *event)
{
    if (!isInput(event))
        return false;
    // Refused, and said so: whoever asked the window to close learns that it is still open.
    if (event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    // While a menu or list pops up, Qt hands it every click and key, as it does under a modal
    // window: a click outside closes it.
    if (QApplication::activePopupWidget())
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease)
        return !std::exchange(pressPassed_, false);
    if (!isPress(type))
        return true;
    const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
    QWidget *target = window->childAt(at);
    bool passes = target && target->isEnabled() && reachesPast(target);
    if (auto *bar = qobject_cast<QMenuBar *>(target))
        passes = reachesPast(bar->actionAt(bar->mapFrom(window, at)));
    pressPassed_ = passes;
    return !passes;
}

bool SheetModality::overridesShortcutOf(const QWidget *window, QKeyEvent *event)
{
    // Qt matches the window's menu shortcuts, which apply to the whole application, as long as
    // no modal window shadows them: taken here, the key goes on to the sheet (and the key
    // monitor) as under a modal sheet.
    const QKeySequence pressed(
        QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())));
    const QList<QMenuBar *> bars = window->findChildren<QMenuBar *>(Qt::FindDirectChildrenOnly);
    for (const QMenuBar *bar : bars) {
        const QList<QAction *> actions = bar->findChildren<QAction *>();
        for (const QAction *action : actions) {
            if (action->shortcuts().contains(pressed)) {
                event->accept();
                return true;
            }
        }
    }
    return false;
}

bool SheetModality::filterMenu(QMenu *menu, QEvent *event) const
{
    const QEvent::Type type = event->type();
    if (isMouseClick(type)) {
        const QAction *item =
            menu->actionAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        return item && !reachesPast(item);
    }
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (movesInMenu(key))
            return false;
        return !(triggersInMenu(key) && reachesPast(menu->activeAction()));
    }
    return false;
}
