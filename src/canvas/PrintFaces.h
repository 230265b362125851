#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The faces the engine prints text in, for the canvas to draw the same: the engine's logical
// families (SansSerif, Serif, Monospaced) and the families its font mapping names stand for
// fixed faces that it embeds in the PDF (SansSerif for DejaVu Sans, Arial for Liberation Sans
// where Arial itself is not installed, and so on). A family the engine does not have prints in
// the PDF's standard face the text names (Helvetica unless it names another), in its regular
// style whatever the text's weight and slant, while the engine measures the text in the face the
// system gives that name (Java's Dialog, the system's sans-serif face, where it has none; the
// system's monospaced face for Courier, which Java takes for its monospaced font).
namespace PrintFaces {

// The family the canvas draws text of the report's font family `family` with, where the engine
// has that family; any other family as named.
QString drawnFamily(const QString &family);

// The families the engine has, as it spells them.
QStringList engineFamilies();

// The faces of a text in `family` (exactly as spelled: the engine tells families apart by case),
// bold and italic as given, whose PDF font is `pdfFontName`.
struct TextFaces {
    // The face the text prints in.
    QString family;
    bool isBold = false;
    bool isItalic = false;
    // The family the engine measures the text in, with the text's own weight and slant, where it
    // prints it in another face: how much of the text fits its box and how far apart its lines
    // are come from it.
    std::optional<QString> measuredFamily;
    bool operator==(const TextFaces &) const = default;
};
TextFaces textFaces(const QString &family, const std::optional<QString> &pdfFontName, bool bold,
                    bool italic);

} // namespace PrintFaces
