#include "canvas/PrintFaces.h"

#include <QFontDatabase>
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
// take their substitute.
const QList<Mapped> &mappedFamilies()
{
    static const QList<Mapped> families = {
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

} // namespace

QString drawnFamily(const QString &family)
{
    // Looked up once per name: the font database answers slowly, and the canvas asks for every
    // text it paints.
    static QHash<QString, QString> drawn;
    const auto known = drawn.constFind(family);
    if (known != drawn.cend())
        return *known;
    QString face = family;
    for (const Mapped &m : mappedFamilies()) {
        if (m.name == family) {
            if (!(m.installedFaceWins && isInstalled(family)))
                face = m.substitute;
            break;
        }
    }
    drawn.insert(family, face);
    return face;
}

} // namespace PrintFaces
