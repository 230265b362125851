#include "widgets/WheelGuard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// Marks a panel whose controls are guarded.
constexpr char panelProperty[] = "wheelGuardedPanel";

// Hands the wheel to the nearest panel around `control` that can scroll in the wheel's
// direction, as if it had been turned over the panel's background. Always takes the event.
bool scrollPanelAround(QWidget *control, QWheelEvent *event)
{
    const bool sideways = qAbs(event->angleDelta().x()) > qAbs(event->angleDelta().y());
    for (QWidget *above = control->parentWidget(); above && !above->isWindow();
         above = above->parentWidget()) {
        auto *area = qobject_cast<QAbstractScrollArea *>(above);
        if (!area)
            continue;
        QScrollBar *bar = sideways ? area->horizontalScrollBar() : area->verticalScrollBar();
        if (bar->maximum() > bar->minimum()) {
            QCoreApplication::sendEvent(bar, event);
            return true;
        }
    }
    event->ignore();
    return true;
}

class Guard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *control = static_cast<QWidget *>(watched);
        if (event->type() != QEvent::Wheel || control->hasFocus())
            return false;
        return scrollPanelAround(control, static_cast<QWheelEvent *>(event));
    }
};

// A control whose value the wheel changes. A scroll bar scrolls, which is what the wheel is for.
bool takesTheWheel(const QObject *object)
{
    if (qobject_cast<const QComboBox *>(object) || qobject_cast<const QAbstractSpinBox *>(object))
        return true;
    return qobject_cast<const QAbstractSlider *>(object) &&
           !qobject_cast<const QScrollBar *>(object);
}

bool insideGuardedPanel(const QWidget *widget)
{
    for (const QWidget *above = widget; above; above = above->parentWidget()) {
        if (above->property(panelProperty).toBool())
            return true;
        if (above->isWindow())
            return false;
    }
    return false;
}

// A control with wheel focus would be given the focus by the very wheel turn that passes over
// it, and then take it: it keeps the focus by click and tab only.
void keepFocusFromTheWheel(QWidget *control)
{
    if ((control->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
        control->setFocusPolicy(Qt::StrongFocus);
}

// One filter on the application for every guarded panel, so that the controls a panel builds at
// any time are covered: each is set up when it is first polished, and its wheel turns are seen
// before it gets them.
class PanelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Wheel && type != QEvent::Polish) || !takesTheWheel(watched))
            return false;
        auto *control = static_cast<QWidget *>(watched);
        if (!insideGuardedPanel(control))
            return false;
        if (type == QEvent::Polish) {
            keepFocusFromTheWheel(control);
            return false;
        }
        if (control->hasFocus())
            return false;
        return scrollPanelAround(control, static_cast<QWheelEvent *>(event));
    }
};

} // namespace

namespace WheelGuard {

void ignoreUnlessFocused(QWidget *control)
{
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(new Guard(control));
}

void guardPanel(QWidget *panel)
{
    static QPointer<PanelGuard> guard;
    if (!guard) {
        guard = new PanelGuard(qApp);
        qApp->installEventFilter(guard);
    }
    panel->setProperty(panelProperty, true);
    // Controls the panel already shows were polished before it was marked.
    for (QWidget *child : panel->findChildren<QWidget *>())
        if (takesTheWheel(child) && insideGuardedPanel(child))
            keepFocusFromTheWheel(child);
}

} // namespace WheelGuard
