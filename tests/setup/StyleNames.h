#pragma once

#include "model/ReportDocument.h"

#include <QStringList>

// The names of the styles, in their order.
inline QStringList styleNames(const QList<ReportStyle> &styles)
{
    QStringList names;
    for (const ReportStyle &style : styles)
        names.append(style.name);
    return names;
}
