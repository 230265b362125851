#pragma once

class QWidget;

namespace WheelGuard {

// Keeps the mouse wheel from changing a picker or spin box unless the user is in it: a wheel
// turned to scroll a panel would otherwise change every control that passes under the pointer.
// The wheel scrolls the nearest scrolling panel that holds the control instead.
void ignoreUnlessFocused(QWidget *control);

// The same for every control inside `panel` that the wheel would change (pickers, spin boxes,
// sliders), also for those its cards build later: such a control takes the wheel only while it
// has the focus, and the wheel never gives it the focus. Controls in windows of their own that
// the panel opens are guarded when those windows guard themselves.
void guardPanel(QWidget *panel);

} // namespace WheelGuard
