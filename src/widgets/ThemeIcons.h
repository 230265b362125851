#pragma once

#include <QIcon>
#include <QString>

// Icons of the icon theme the program chose itself, drawn from their SVG files with each file
// read once. The toolkit's own theme icons read a file three times before its first picture and
// again for every further size and look, which at start-up costs more than drawing the window.
// The files are the ones the toolkit's lookup picks for each size, and the pictures are the
// ones it draws; an icon the toolkit finds otherwise (in a theme of the platform's, as a PNG,
// or under a shorter name) is the toolkit's own.
namespace ThemeIcons {

// Whether icons are read here: the program set the theme itself.
void setOwnTheme(bool own);

// The themed icon `name`; follows later changes of the theme as the toolkit's icons do.
QIcon icon(const QString &name);

// Whether icon `name` is read here from its files, not left to the toolkit.
bool readsFiles(const QString &name);

// The toolkit's own icon for `name`, for comparisons.
QIcon toolkitIcon(const QString &name);

} // namespace ThemeIcons
