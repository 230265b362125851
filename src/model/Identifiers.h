#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QUuid>
#include <cstring>

// Identifiers of model items: random (version 4) UUIDs, shown and stored as upper-case text
// without braces. They live only in memory, so they come from the shared, once-seeded generator
// rather than from the system's random source on every call: a large report gives thousands.
inline QUuid newId()
{
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    uchar bytes[16];
    std::memcpy(bytes, words, sizeof bytes);
    bytes[6] = uchar((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = uchar((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char *>(bytes), 16));
}

inline QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}
