#pragma once

#include <QString>

// Text as it enters a report from the keyboard, a paste, a drop or an input method. The line
// breaks that other programs write (CR LF, CR, the Unicode line and paragraph separators, and the
// vertical tab and form feed that some of them put in copied text) become line feeds, and the
// other characters XML cannot carry (control characters other than tab and line feed, U+FFFE,
// U+FFFF, unpaired surrogates) are left out: what an editor shows is then what the file holds.
namespace EnteredText {

// Whether cleaned() changes the text.
bool needsCleaning(QStringView text);
// The text so made; the text itself, not copied, when nothing in it needs a change.
QString cleaned(const QString &text);

} // namespace EnteredText
