#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QUuid>
#include <bit>
#include <cstring>

namespace IdentifierDetail {

// A small, fast generator (xoshiro256**) of each thread's own, seeded once from the system's
// random source. Identifiers need to be unique, not secret; the shared generator costs more per
// identifier than the rest of making one.
class Generator {
public:
    Generator()
    {
        do
            QRandomGenerator::system()->fillRange(state_);
        while ((state_[0] | state_[1] | state_[2] | state_[3]) == 0);
    }
    quint64 next()
    {
        const quint64 result = std::rotl(state_[1] * 5, 7) * 9;
        const quint64 t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = std::rotl(state_[3], 45);
        return result;
    }

private:
    quint64 state_[4];
};

} // namespace IdentifierDetail

// Identifiers of model items: random (version 4) UUIDs, shown and stored as upper-case text
// without braces. A large report gives thousands, several for each element it reads, so they
// come from a generator of each thread's own rather than from the system's source on every call.
inline QUuid newId()
{
    thread_local IdentifierDetail::Generator generator;
    const quint64 words[2] = {generator.next(), generator.next()};
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
