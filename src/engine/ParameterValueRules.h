#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// How the parameter prompt treats a parameter by its Java class: which control edits its value,
// the text forms of dates, and the advice for values that cannot be numbers. Values are always
// kept and passed on as typed; the advice never blocks a run.
namespace ParameterValueRules {

enum class Control {
    toggle,      // java.lang.Boolean: "true" or "false"
    date,        // java.util.Date, java.sql.Date: dateFormat
    dateAndTime, // java.sql.Timestamp: dateTimeFormat
    text,        // every other class: the text as typed
};

inline constexpr QStringView dateFormat = u"yyyy-MM-dd";
inline constexpr QStringView dateTimeFormat = u"yyyy-MM-dd HH:mm:ss";

Control controlFor(const QString &className);

// The warning for a value of the class, or none. An empty value never warns. Whole-number
// classes need an optional sign and decimal digits that fit 64 bits, nothing else; decimal
// classes need the whole text to read as a double (the C conversion's forms, including
// infinity and not-a-number).
std::optional<QString> validationWarning(const QString &className, const QString &value);

} // namespace ParameterValueRules
