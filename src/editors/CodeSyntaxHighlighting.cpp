#include "CodeSyntaxHighlighting.h"

#include <QFontDatabase>
#include <QPalette>
#include <vector>

CodeSyntaxHighlighting::CodeSyntaxHighlighting(qreal pointSize, const QList<HighlightPass> &passes)
    : pointSize_(pointSize)
{
    for (const HighlightPass &pass : passes) {
        // Unicode classes, as \w, \d and \b have in the platform's usual regex dialect.
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (pass.caseInsensitive)
            options |= QRegularExpression::CaseInsensitiveOption;
        QRegularExpression regex(pass.pattern, options);
        if (!regex.isValid())
            continue;
        regex.optimize();
        passes_.append({regex, pass.color, pass.bold});
    }
}

QFont CodeSyntaxHighlighting::font() const
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(pointSize_);
    font.setWeight(QFont::Normal);
    return font;
}

QFont CodeSyntaxHighlighting::boldFont() const
{
    QFont font = this->font();
    font.setWeight(QFont::DemiBold);
    return font;
}

QList<HighlightSpan> CodeSyntaxHighlighting::highlight(QStringView text) const
{
    if (text.isEmpty())
        return {};
    std::vector<quint8> styles(size_t(text.size()), 0);
    for (const CompiledPass &pass : passes_) {
        auto it = pass.regex.globalMatch(text);
        while (it.hasNext()) {
            const auto match = it.next();
            const qsizetype end = match.capturedEnd(0);
            for (qsizetype i = match.capturedStart(0); i < end; ++i)
                styles[size_t(i)] = syntaxstyle::overlay(styles[size_t(i)], pass.color, pass.bold);
        }
    }
    return syntaxstyle::runs(styles.data(), qsizetype(styles.size()));
}

QList<HighlightSpan> syntaxstyle::runs(const quint8 *styles, qsizetype count, qsizetype base)
{
    QList<HighlightSpan> spans;
    qsizetype i = 0;
    while (i < count) {
        const quint8 style = styles[i];
        qsizetype end = i + 1;
        while (end < count && styles[end] == style)
            ++end;
        if (style != 0)
            spans.append({base + i, end - i, color(style), (style & boldBit) != 0});
        i = end;
    }
    return spans;
}

QColor syntaxColor(SyntaxColor color, const QPalette &palette)
{
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    switch (color) {
    case SyntaxColor::label:
        return palette.color(QPalette::Text);
    case SyntaxColor::purple:
        return dark ? QColor(0xC7, 0x92, 0xEA) : QColor(0x8E, 0x3F, 0xB0);
    case SyntaxColor::red:
        return dark ? QColor(0xFF, 0x7B, 0x72) : QColor(0xC4, 0x29, 0x1C);
    case SyntaxColor::blue:
        return dark ? QColor(0x6C, 0xB6, 0xFF) : QColor(0x1A, 0x5F, 0xB4);
    case SyntaxColor::orange:
        return dark ? QColor(0xFF, 0xA6, 0x57) : QColor(0xB3, 0x59, 0x00);
    case SyntaxColor::teal:
        return dark ? QColor(0x4F, 0xD1, 0xC5) : QColor(0x00, 0x7C, 0x85);
    case SyntaxColor::green:
        return dark ? QColor(0x7E, 0xE7, 0x87) : QColor(0x2E, 0x7D, 0x32);
    case SyntaxColor::gray:
        return dark ? QColor(0xA0, 0xA0, 0xA8) : QColor(0x6E, 0x6E, 0x73);
    }
    return palette.color(QPalette::Text);
}
