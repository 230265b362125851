#pragma once

#include "workspace/AppAppearance.h"

#include <QPalette>

class QWidget;

// The program's colours: the Fusion style with a light and a dark palette of our own; "System"
// keeps the palette the platform gave the application. Views take every colour from the
// palette (the accent is QPalette::Highlight), so switching repaints everything.
namespace AppPalettes {

QPalette light();
QPalette dark();

// Sets the application's palette and matching icons for the appearance. The first call
// remembers the platform's palette for "System".
void apply(AppAppearance appearance);

// Gives `column` the panel's palette with the mid colour as the window colour. Text fields and
// pickers draw their outline a shade darker than the window colour, which vanishes on a
// base-coloured background in a dark appearance; the mid colour keeps it visible in both. Call
// again when the palette changes.
void outlineControlsOnBase(QWidget *column, QPalette panelPalette);

} // namespace AppPalettes
