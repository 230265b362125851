#pragma once

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <functional>

// The mouse wheel turned over the controls of a panel the way the window system turns it.
namespace testsupport {

// The controls shown in `panel` whose value a turn of the wheel would change: pickers, spin
// boxes and sliders other than scroll bars.
inline QList<QWidget *> wheelControls(const QWidget *panel)
{
    QList<QWidget *> controls;
    for (QWidget *child : panel->findChildren<QWidget *>()) {
        const bool changesValue =
            qobject_cast<QComboBox *>(child) || qobject_cast<QAbstractSpinBox *>(child) ||
            (qobject_cast<QAbstractSlider *>(child) && !qobject_cast<QScrollBar *>(child));
        if (changesValue && child->isVisible())
            controls.append(child);
    }
    return controls;
}

// One notch of the wheel (`delta` 120 away from the user, -120 towards) over the middle of
// `control`, scrolled into view first: delivered as the window system delivers it, to the
// widget under that point, which may give it the focus and hand the turn on to its parents.
// False when the point is not over the control.
inline bool turnWheelOver(QWidget *control, int delta)
{
    // Laid out first, so that the control is scrolled to where it stands.
    QApplication::processEvents();
    for (QWidget *above = control->parentWidget(); above; above = above->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(above))
            area->ensureWidgetVisible(control, 0, 0);
    QApplication::processEvents();
    QWidget *window = control->window();
    const QPoint inWindow = control->mapTo(window, control->rect().center());
    QWidget *under = window->childAt(inWindow);
    if (!under || (under != control && !control->isAncestorOf(under)))
        return false;
    const QPointF local = under->mapFrom(window, inWindow);
    QWheelEvent wheel(local, under->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(under, &wheel);
    return true;
}

// What a control shows, to see whether the wheel changed it.
inline QString shownValue(const QWidget *control)
{
    if (const auto *picker = qobject_cast<const QComboBox *>(control))
        return picker->currentText();
    if (const auto *box = qobject_cast<const QAbstractSpinBox *>(control))
        return box->text();
    if (const auto *slider = qobject_cast<const QAbstractSlider *>(control))
        return QString::number(slider->value());
    return {};
}

// A state for controlsTakingTheWheel: whether what `current` reads still equals what it read
// when the state was made.
template <typename Read> std::function<QString()> stillAsItWas(Read current)
{
    return [current, before = current()] {
        return current() == before ? QStringLiteral("as it was") : QStringLiteral("changed");
    };
}

// Turns the wheel both ways over every control of `panel` that the wheel could change. Returns
// a line for each control that took the turn (changed what it shows, took the focus, or changed
// what `state` reads, for example the report), and counts the controls tried in `tried`.
inline QStringList controlsTakingTheWheel(QWidget *panel, const std::function<QString()> &state,
                                          int *tried = nullptr)
{
    QStringList taken;
    int count = 0;
    QList<QPointer<QWidget>> controls;
    for (QWidget *control : wheelControls(panel))
        controls.append(control);
    for (const QPointer<QWidget> &control : std::as_const(controls)) {
        // A turn that changed the report may have rebuilt the panel's cards.
        if (!control)
            continue;
        if (control->hasFocus())
            control->clearFocus();
        const QString before = shownValue(control);
        const QString modelBefore = state ? state() : QString();
        const QString name = control->objectName().isEmpty()
                                 ? QString::fromLatin1(control->metaObject()->className())
                                 : control->objectName();
        bool reached = true;
        for (const int delta : {-120, -120, 120})
            reached = control && turnWheelOver(control, delta) && reached;
        if (!control) {
            taken.append(name + QStringLiteral(": was rebuilt by the turn"));
            continue;
        }
        if (!reached) {
            taken.append(name + QStringLiteral(": not under the pointer"));
            continue;
        }
        ++count;
        if (shownValue(control) != before)
            taken.append(name + QStringLiteral(": shows ") + shownValue(control));
        else if (control->hasFocus())
            taken.append(name + QStringLiteral(": took the focus"));
        else if (state && state() != modelBefore)
            taken.append(name + QStringLiteral(": changed the model"));
    }
    if (tried)
        *tried = count;
    return taken;
}

} // namespace testsupport
