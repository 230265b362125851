#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStringList>

// The program names its icons by symbol ("play.fill", "trash", "align.horizontal.left"); one
// table maps each symbol onto a freedesktop icon name, looked up in the icon theme with Breeze
// as the fallback theme.
namespace SymbolIcons {

// The name of the dynamic property that holds a widget's symbol, so tests can read which icon
// a widget shows.
inline constexpr char symbolProperty[] = "symbolName";

// Every symbol of the table.
QStringList symbols();
// The freedesktop name for a symbol; empty for a symbol the table does not hold.
QString themeName(const QString &symbol);
// The theme's icon for a symbol; a null icon for an unknown symbol.
QIcon icon(const QString &symbol);
// The icon drawn in one colour, as symbols are (for on/off looks and accent colours).
QPixmap tintedPixmap(const QString &symbol, const QSize &size, qreal devicePixelRatio,
                     const QColor &color);

// Uses Breeze, light or dark, when the platform names no icon theme of its own, and as the
// fallback theme in every case.
void useIconTheme(bool dark);

} // namespace SymbolIcons
