#pragma once

#include <QString>
#include <optional>

struct ReportDocument;

// Turns the common errors of the report engine (compile, fill and database errors) into one
// sentence of plain advice.
class FriendlyErrorTranslator {
public:
    // The advice for the first recognised error in the text; no value when nothing is recognised.
    // With the report the error is about, a field a sub-dataset lacks is said to be that
    // dataset's.
    static std::optional<QString> translate(const QString &raw,
                                            const ReportDocument *report = nullptr);
    // The advice followed by the raw text as technical details, or the raw text alone when
    // nothing is recognised.
    static QString annotate(const QString &raw, const ReportDocument *report = nullptr);

private:
    // The captured groups 1 to groupCount of the pattern's first match (case-sensitive), joined
    // by U+0001 when there are several; no value without a match or when the pattern does not
    // compile.
    static std::optional<QString> firstMatch(const QString &text, const QString &pattern,
                                             int groupCount);
};
