#pragma once

#include <QString>

// A tooltip text that shows exactly as given. Qt guesses whether a tooltip is rich text, so a
// name such as "<b>Total</b>" would lose its brackets and turn bold; such a text is escaped, any
// other is left as it is (a plain tooltip keeps its line breaks and is not wrapped).
QString plainToolTip(const QString &text);
