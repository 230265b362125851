#pragma once

#include <QString>

// The faces the engine prints text in, for the canvas to draw the same: the engine's logical
// families (SansSerif, Serif, Monospaced) and the families its font mapping names stand for
// fixed faces that it embeds in the PDF (SansSerif for DejaVu Sans, Arial for Liberation Sans
// where Arial itself is not installed, and so on). Any other family is drawn as named.
namespace PrintFaces {

// The family the canvas draws text of the report's font family `family` with.
QString drawnFamily(const QString &family);

} // namespace PrintFaces
