#pragma once

#include "CodeSyntaxHighlighting.h"

#include <vector>

// Keeps the colouring of one text up to date across edits. The result is always exactly what
// colouring the whole text afresh gives, but an edit rescans each pass only from its last match
// before the edit until its matches fall back into step with the old ones after it, and resolves
// styles only where a match came or went.
class IncrementalHighlighter {
public:
    explicit IncrementalHighlighter(const CodeSyntaxHighlighting &scheme);

    // Takes the new whole text, works out what changed since the last call and recolours. Returns
    // the range [first, second) of characters whose style changed (empty when none did).
    std::pair<qsizetype, qsizetype> update(const QString &given);

    const QString &text() const { return text_; }
    // The style of each character, as in `syntaxstyle`.
    const std::vector<quint8> &styles() const { return styles_; }
    // The coloured runs inside [start, end).
    QList<HighlightSpan> spans(qsizetype start, qsizetype end) const;

private:
    struct Range {
        qsizetype start;
        qsizetype end;
    };
    struct Edit {
        qsizetype from;   // first changed character, in both texts
        qsizetype oldEnd; // end of the changed part of the old text
        qsizetype newEnd; // end of the changed part of the new text
        // Matches that end before this position read no changed character, not even through
        // the one-character look-ahead of \b or a look-ahead over white space.
        qsizetype safeFrom;
    };
    static Edit difference(const QString &before, const QString &after);
    // Rescans one pass after an edit and widens [dirtyFrom, dirtyTo) over every match that came
    // or went.
    void rescan(int pass, const Edit &edit, qsizetype &dirtyFrom, qsizetype &dirtyTo);
    void resolve(qsizetype from, qsizetype to);

    const CodeSyntaxHighlighting &scheme_;
    QString text_;
    std::vector<std::vector<Range>> matches_;
    std::vector<quint8> styles_;
};
