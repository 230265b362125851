#include "EnteredText.h"

namespace {

// A line break of another program: it enters as a line feed.
bool isForeignBreak(char16_t u)
{
    return u == u'\r' || u == 0x0B || u == 0x0C || u == 0x2028 || u == 0x2029;
}

// Whether the character at `i` enters as it is: XML carries it and it is no foreign break. A
// surrogate pair is judged by its first half.
bool entersAsIs(QStringView text, qsizetype i)
{
    const char16_t u = text[i].unicode();
    if (u >= 0x20 && u < 0xD800)
        return u != 0x2028 && u != 0x2029;
    if (u < 0x20)
        return u == u'\t' || u == u'\n';
    if (QChar::isHighSurrogate(u))
        return i + 1 < text.size() && text[i + 1].isLowSurrogate();
    if (QChar::isLowSurrogate(u))
        return i > 0 && text[i - 1].isHighSurrogate();
    return u < 0xFFFE;
}

} // namespace

bool EnteredText::needsCleaning(QStringView text)
{
    const char16_t *chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Nearly every character lies between the controls and the separators.
        if (chars[i] >= 0x20 && chars[i] < 0x2028)
            continue;
        if (!entersAsIs(text, i))
            return true;
    }
    return false;
}

QString EnteredText::cleaned(const QString &text)
{
    if (!needsCleaning(text))
        return text;
    QString out;
    out.reserve(text.size());
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size(); ++i) {
        const char16_t u = view[i].unicode();
        if (isForeignBreak(u)) {
            out.append(u'\n');
            if (u == u'\r' && i + 1 < view.size() && view[i + 1] == u'\n')
                ++i;
        } else if (entersAsIs(view, i)) {
            out.append(view[i]);
        }
    }
    return out;
}
