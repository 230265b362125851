#pragma once

class QWidget;

namespace WheelGuard {

// Keeps the mouse wheel from changing a picker or spin box unless the user is in it: a wheel
// turned to scroll a panel would otherwise change every control that passes under the pointer.
// The wheel scrolls the nearest scrolling panel that holds the control instead.
void ignoreUnlessFocused(QWidget *control);

} // namespace WheelGuard
