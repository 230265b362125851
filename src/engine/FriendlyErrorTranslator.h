#pragma once

#include <QString>
#include <optional>

// Turns the common errors of the report engine (compile, fill and database errors) into one
// sentence of plain advice.
class FriendlyErrorTranslator {
public:
    // The advice for the first recognised error in the text; no value when nothing is recognised.
    static std::optional<QString> translate(const QString &raw);
    // The advice followed by the raw text as technical details, or the raw text alone when
    // nothing is recognised.
    static QString annotate(const QString &raw);

private:
    // The captured groups 1 to groupCount of the pattern's first match (case-sensitive), joined
    // by U+0001 when there are several; no value without a match or when the pattern does not
    // compile.
    static std::optional<QString> firstMatch(const QString &text, const QString &pattern,
                                             int groupCount);
};
