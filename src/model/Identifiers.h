#pragma once

#include <QString>
#include <QUuid>

// Identifiers of model items: random UUIDs, shown and stored as upper-case text without braces.
inline QUuid newId()
{
    return QUuid::createUuid();
}

inline QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}
