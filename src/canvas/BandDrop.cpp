#include "canvas/BandDrop.h"

BandDrop BandDrop::parse(const QString &text)
{
    BandDrop drop;
    if (text.startsWith(QLatin1String("fields:"))) {
        drop.kind = Kind::fields;
        drop.names = text.mid(7).split(QLatin1Char(','), Qt::SkipEmptyParts);
    } else if (text.startsWith(QLatin1String("field:"))) {
        drop.kind = Kind::field;
        drop.expression = QStringLiteral("$F{") + text.mid(6) + QLatin1Char('}');
    } else if (text.startsWith(QLatin1String("param:"))) {
        drop.kind = Kind::parameter;
        drop.expression = QStringLiteral("$P{") + text.mid(6) + QLatin1Char('}');
    }
    return drop;
}
