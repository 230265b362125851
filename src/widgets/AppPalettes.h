#pragma once

#include "workspace/AppAppearance.h"

#include <QPalette>

// The program's colours: the Fusion style with a light and a dark palette of our own; "System"
// keeps the palette the platform gave the application. Views take every colour from the
// palette (the accent is QPalette::Highlight), so switching repaints everything.
namespace AppPalettes {

QPalette light();
QPalette dark();

// Sets the application's palette and matching icons for the appearance. The first call
// remembers the platform's palette for "System".
void apply(AppAppearance appearance);

} // namespace AppPalettes
