#include "canvas/PrintFaces.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace PrintFaces {

namespace {

// A family the engine maps: the face that stands for it when the named face itself is not
// installed (none: the substitute always stands for it).
struct Mapped {
    QString name;
    QString substitute;
    bool installedFaceWins;
};

// The engine's font families for the designer's faces: the named face where it is installed,
// else a twin with the same metrics or the system's own substitute; the logical families always
// take their substitute. The free faces are families of their own too.
const QList<Mapped> &mappedFamilies()
{
    static const QList<Mapped> families = {
        {u"DejaVu Sans"_s, u"DejaVu Sans"_s, false},
        {u"DejaVu Serif"_s, u"DejaVu Serif"_s, false},
        {u"DejaVu Sans Mono"_s, u"DejaVu Sans Mono"_s, false},
        {u"Liberation Sans"_s, u"Liberation Sans"_s, false},
        {u"Liberation Serif"_s, u"Liberation Serif"_s, false},
        {u"Liberation Mono"_s, u"Liberation Mono"_s, false},
        {u"Carlito"_s, u"Carlito"_s, false},
        {u"SansSerif"_s, u"DejaVu Sans"_s, false},
        {u"Serif"_s, u"DejaVu Serif"_s, false},
        {u"Monospaced"_s, u"DejaVu Sans Mono"_s, false},
        {u"Helvetica"_s, u"Liberation Sans"_s, false},
        {u"Arial"_s, u"Liberation Sans"_s, true},
        {u"Times New Roman"_s, u"Liberation Serif"_s, true},
        {u"Courier New"_s, u"Liberation Mono"_s, true},
        {u"Calibri"_s, u"Carlito"_s, true},
        {u"Verdana"_s, u"DejaVu Sans"_s, true},
    };
    return families;
}

bool isInstalled(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The engine's family of that name (compared as the engine compares, letter case included), or
// null.
const Mapped *mapped(const QString &family)
{
    for (const Mapped &m : mappedFamilies()) {
        if (m.name == family)
            return &m;
    }
    return nullptr;
}

// The face a PDF standard font prints in: its twin with the same metrics, bold and slanted as its
// name says. Names of no standard font print as Helvetica.
TextFaces standardFace(const QString &pdfFontName)
{
    const QString name = pdfFontName.trimmed();
    QString family = u"Liberation Sans"_s;
    if (name.startsWith(u"Times"))
        family = u"Liberation Serif"_s;
    else if (name.startsWith(u"Courier"))
        family = u"Liberation Mono"_s;
    const bool known =
        name.startsWith(u"Times") || name.startsWith(u"Courier") || name.startsWith(u"Helvetica");
    return {family, known && name.contains(u"Bold"),
            known && (name.contains(u"Italic") || name.contains(u"Oblique")), std::nullopt};
}

// The face the system gives a family it has not installed, as the engine's runtime asks the
// system for it: its monospaced face for DialogInput and for Courier (an old name, in any letter
// case, that the runtime takes for its monospaced font), its sans-serif face (for its Dialog
// font) for every other name.
QString systemSubstitute(const QString &family)
{
    static QHash<QString, QString> known;
    const bool monospaced = family.compare(u"DialogInput", Qt::CaseInsensitive) == 0 ||
                            family.compare(u"Courier", Qt::CaseInsensitive) == 0;
    const QString generic = monospaced ? u"monospace"_s : u"sans-serif"_s;
    if (const auto found = known.constFind(generic); found != known.cend())
        return *found;
    return *known.insert(generic, QFontInfo(QFont(generic)).family());
}

} // namespace

QStringList engineFamilies()
{
    QStringList names;
    for (const Mapped &m : mappedFamilies())
        names.append(m.name);
    return names;
}

QString drawnFamily(const QString &family)
{
    // Looked up once per name: the font database answers slowly, and the canvas asks for every
    // text it paints.
    static QHash<QString, QString> drawn;
    const auto known = drawn.constFind(family);
    if (known != drawn.cend())
        return *known;
    QString face = family;
    if (const Mapped *m = mapped(family)) {
        if (!(m->installedFaceWins && isInstalled(family)))
            face = m->substitute;
    }
    drawn.insert(family, face);
    return face;
}

TextFaces textFaces(const QString &family, const std::optional<QString> &pdfFontName, bool bold,
                    bool italic)
{
    if (mapped(family))
        return {drawnFamily(family), bold, italic, std::nullopt};
    // The engine measures the text in the face the system has under that name (any letter case),
    // and prints it in the PDF's standard font.
    static QHash<QString, QString> measured;
    auto found = measured.constFind(family);
    if (found == measured.cend())
        found = measured.insert(family, isInstalled(family) ? family : systemSubstitute(family));
    TextFaces faces = standardFace(pdfFontName.value_or(u"Helvetica"_s));
    faces.measuredFamily = *found;
    return faces;
}

} // namespace PrintFaces
