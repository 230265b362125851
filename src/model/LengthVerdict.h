#pragma once

#include <QString>
#include <optional>

// What a length field makes of a length the user typed: the length to store (the typed one, or
// the nearest one the report can hold) or none when it is refused, and the message the field
// shows under itself (empty when the length is taken as typed).
struct LengthVerdict {
    std::optional<double> points;
    QString message;

    static LengthVerdict accept(double points) { return {points, {}}; }
    static LengthVerdict refuse(const QString &message) { return {std::nullopt, message}; }
    static LengthVerdict adjust(double points, const QString &message) { return {points, message}; }

    bool operator==(const LengthVerdict &) const = default;
};
