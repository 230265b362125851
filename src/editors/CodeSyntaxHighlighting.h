#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

class QPalette;

// The named colours of the colouring schemes; `label` is the plain text colour.
enum class SyntaxColor : quint8 { label, purple, red, blue, orange, teal, green, gray };

// One run of coloured text: UTF-16 start and length, colour, and whether it is bold.
struct HighlightSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    SyntaxColor color = SyntaxColor::label;
    bool bold = false;
    bool operator==(const HighlightSpan &) const = default;
};

// One pass of a scheme: every non-overlapping match of the pattern, left to right over the whole
// text, takes the colour (and the bold face for a bold pass).
struct HighlightPass {
    QString pattern;
    SyntaxColor color = SyntaxColor::label;
    bool bold = false;
    bool caseInsensitive = false;
};

// A colouring scheme: the monospaced font of the whole text and an ordered list of passes. A later
// pass overwrites the colour of an earlier one where their matches overlap; bold, once set, stays.
// A pattern that does not compile is skipped. The passes look back at most one character before a
// match (\b), which the incremental colouring relies on.
class CodeSyntaxHighlighting {
public:
    CodeSyntaxHighlighting(qreal pointSize, const QList<HighlightPass> &passes);

    QFont font() const;
    QFont boldFont() const;

    // The coloured runs of the whole text, in order, merged where neighbours look alike; plain
    // text (label colour, regular weight) gets no run.
    QList<HighlightSpan> highlight(QStringView text) const;

    struct CompiledPass {
        QRegularExpression regex;
        SyntaxColor color;
        bool bold;
    };
    // The passes whose pattern compiled, in order.
    const QList<CompiledPass> &passes() const { return passes_; }

private:
    qreal pointSize_;
    QList<CompiledPass> passes_;
};

// A resolved style of one character: the colour in the low bits, bold in the high bit.
namespace syntaxstyle {
inline constexpr quint8 boldBit = 0x80;
inline SyntaxColor color(quint8 style)
{
    return SyntaxColor(style & 0x7F);
}
// Overlays one pass onto a character's style: the colour is replaced, bold is kept or added.
inline quint8 overlay(quint8 style, SyntaxColor color, bool bold)
{
    return quint8((style & boldBit) | quint8(color) | (bold ? boldBit : 0));
}
// The runs of non-plain styles of `styles`, positions offset by `base`.
QList<HighlightSpan> runs(const quint8 *styles, qsizetype count, qsizetype base = 0);
} // namespace syntaxstyle

// The shade of a named colour for the palette in use: darker shades on a light base, lighter ones
// on a dark base; the label colour is the palette's text colour.
QColor syntaxColor(SyntaxColor color, const QPalette &palette);
