#pragma once

#include <QString>
#include <QStringList>

// What a text dropped on a band asks for: "fields:A,B" several report fields, "field:A" one
// field expression, "param:P" one parameter expression; anything else nothing.
struct BandDrop {
    enum class Kind { none, fields, field, parameter };

    Kind kind = Kind::none;
    // The field names of a "fields:" drop (empty pieces dropped, nothing trimmed).
    QStringList names;
    // The expression of a "field:" or "param:" drop.
    QString expression;

    static BandDrop parse(const QString &text);

    bool operator==(const BandDrop &) const = default;
};
