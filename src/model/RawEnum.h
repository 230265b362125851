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
        static_assert(isAsciiTable(table), "the texts are compared as UTF-8 bytes");               \
    }

// Whether every text of the table is ASCII, so that it reads the same in Latin-1 and UTF-8.
template <typename Table> constexpr bool isAsciiTable(const Table &table)
{
    for (const auto &entry : table) {
        for (const char c : entry.second) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        }
    }
    return true;
}

template <typename E> QString rawValue(E value)
{
    // Each text is made once; a copy shares it.
    static const QList<QString> texts = [] {
        QList<QString> out;
        for (const auto &entry : EnumTexts<E>::table)
            out.append(QString::fromLatin1(entry.second.data(), qsizetype(entry.second.size())));
        return out;
    }();
    qsizetype i = 0;
    for (const auto &entry : EnumTexts<E>::table) {
        if (entry.first == value)
            return texts.at(i);
        ++i;
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

// The same for a UTF-8 text, compared without making a string of it.
template <typename E> std::optional<E> enumFromUtf8(std::string_view text)
{
    for (const auto &[v, t] : EnumTexts<E>::table) {
        if (text == t)
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
