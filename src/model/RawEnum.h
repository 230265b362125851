#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <string_view>
#include <utility>

// Enumerations that reach JRXML carry the JRXML text of each case. An enumeration opts in by
// specialising EnumTexts with its cases in declaration order; rawValue, enumFromRaw and allCases
// then serve every enumeration alike.
template <typename E> struct EnumTexts;

#define QUILLMARK_ENUM_TEXTS(E, ...)                                                               \
    template <> struct EnumTexts<E> {                                                              \
        static constexpr std::pair<E, std::string_view> table[] = {__VA_ARGS__};                   \
    }

template <typename E> QString rawValue(E value)
{
    for (const auto &[v, text] : EnumTexts<E>::table) {
        if (v == value)
            return QString::fromLatin1(text.data(), qsizetype(text.size()));
    }
    return {};
}

// The case whose text equals the given one exactly (case counts); no value for any other text.
template <typename E> std::optional<E> enumFromRaw(QStringView text)
{
    for (const auto &[v, t] : EnumTexts<E>::table) {
        if (text == QLatin1StringView(t.data(), qsizetype(t.size())))
            return v;
    }
    return std::nullopt;
}

template <typename E> QList<E> allCases()
{
    QList<E> cases;
    for (const auto &entry : EnumTexts<E>::table)
        cases.append(entry.first);
    return cases;
}
