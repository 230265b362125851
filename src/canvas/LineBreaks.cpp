#include "canvas/LineBreaks.h"

#include <QChar>
#include <array>
#include <cstdint>

namespace LineBreaks {

namespace {

// The classes of characters the line rules tell apart.
enum Class : std::uint8_t {
    digit,      // decimal digits and other numbers
    openParen,  // "("
    quote,      // '"': closes a word, or opens one
    carriage,   // carriage return
    dash,       // dash punctuation and the soft hyphen
    point,      // "." and ",": inside a number, else closing a word
    mark,       // non-spacing and enclosing marks
    letter,     // everything not named here: letters, "/", "#", "&", "+", "@"…
    kanaMark,   // the combining kana voiced sound marks
    joiner,     // "$" and "'": join the words on either side
    closeParen, // ")"
    space,      // space separators and control characters
    glue,       // no-break spaces and the non-breaking hyphen
    breaking,   // tab, line feed, form feed, ETX and the line and paragraph separators
    closing,    // closing punctuation: ")]}", "!%:;?", closing quotes, small kana…
    opening,    // opening punctuation, currency signs and opening quotes
    ideograph,  // CJK ideographs, kana and Hangul syllables: a piece each
    classCount,
    ends,   // the Devanagari dandas: a piece of their own
    ignored // format characters: part of whatever they follow
};

constexpr char16_t breakingChars[] = {0x0003, 0x0009, 0x000A, 0x000C, 0x2028, 0x2029};
constexpr char16_t glueChars[] = {0x00A0, 0x0F0C, 0x2007, 0x2011, 0x202F, 0xFEFF};
// Besides the closing punctuation and final quotes.
constexpr char16_t closingChars[] = {
    u'!',   u'%',   u':',   u';',   u'?',   0x00A2, 0x00B0, 0x066A, 0x2030, 0x2031, 0x2032,
    0x2033, 0x2034, 0x2103, 0x2105, 0x2109, 0x3001, 0x3002, 0x3005, 0x3041, 0x3043, 0x3045,
    0x3047, 0x3049, 0x3063, 0x3083, 0x3085, 0x3087, 0x308E, 0x309B, 0x309C, 0x309D, 0x309E,
    0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30C3, 0x30E3, 0x30E5, 0x30E7, 0x30EE, 0x30F5,
    0x30F6, 0x30FC, 0x30FD, 0x30FE, 0xFF01, 0xFF05, 0xFF0C, 0xFF0E, 0xFF1A, 0xFF1B, 0xFF1F};

template <size_t N> bool among(const char16_t (&chars)[N], char32_t c)
{
    for (const char16_t listed : chars) {
        if (listed == c)
            return true;
    }
    return false;
}

bool isIdeograph(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FA5) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFA2D) || (c >= 0xFA30 && c <= 0xFA6A) ||
           (c >= 0x3041 && c <= 0x3094) || (c >= 0x30A1 && c <= 0x30FA);
}

Class classOf(char32_t c)
{
    switch (c) {
    case u'(':
        return openParen;
    case u')':
        return closeParen;
    case u'"':
        return quote;
    case u'$':
    case u'\'':
        return joiner;
    case u'.':
    case u',':
        return point;
    case u'\r':
        return carriage;
    case 0x00AD:
        return dash;
    case 0x0964:
    case 0x0965:
        return ends;
    case 0x3099:
    case 0x309A:
        return kanaMark;
    default:
        break;
    }
    if (among(breakingChars, c))
        return breaking;
    if (among(glueChars, c))
        return glue;
    switch (QChar::category(c)) {
    case QChar::Other_Format:
        return ignored;
    case QChar::Other_Control:
    case QChar::Separator_Space:
        return space;
    case QChar::Punctuation_Dash:
        return dash;
    case QChar::Punctuation_Close:
    case QChar::Punctuation_FinalQuote:
        return closing;
    case QChar::Symbol_Currency:
        return c == 0x00A2 ? closing : opening;
    case QChar::Punctuation_Open:
    case QChar::Punctuation_InitialQuote:
        return opening;
    case QChar::Number_DecimalDigit:
    case QChar::Number_Other:
        return digit;
    default:
        break;
    }
    if (among(closingChars, c))
        return closing;
    if (QChar::category(c) == QChar::Mark_NonSpacing || QChar::category(c) == QChar::Mark_Enclosing)
        return mark;
    return isIdeograph(c) ? ideograph : letter;
}

// The automaton the runtime's line rules make: from the start of a piece it reads character
// after character, and the piece ends after the last character that left it in an accepting
// state, where the next character leads nowhere (state 0). A word is an optional run of opening
// characters, then letters and digits or a number ("-12.50", "$5") or one ideograph, then a
// closing run or dashes; words joined by glue or a joiner stay one; the spaces after it, a "()"
// pair, marks, a carriage return and one breaking character join it. A row per state, a column
// per class in the order of Class; the tests hold it against the runtime's own breaks.
constexpr int stateCount = 42;
constexpr int start = 1;
constexpr std::array<std::array<std::uint8_t, classCount>, stateCount> transitions{{
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    // 1: at the start, or after opening characters.
    {6, 1, 1, 40, 8, 9, 2, 2, 9, 14, 9, 34, 11, 41, 9, 1, 3},
    // 2: in a word of letters (and digits).
    {2, 35, 9, 40, 7, 9, 2, 2, 9, 12, 9, 34, 11, 41, 9, 0, 0},
    // 3: after an ideograph.
    {0, 35, 9, 40, 7, 9, 39, 0, 9, 12, 9, 34, 11, 41, 9, 0, 0},
    // 4: opening characters and dashes that wait for a digit.
    {5, 4, 4, 0, 4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 4, 0},
    // 5: in the digits after a number's point or comma.
    {5, 35, 9, 40, 7, 10, 39, 0, 9, 12, 9, 34, 11, 41, 9, 0, 0},
    // 6: in the digits of a number.
    {6, 35, 9, 40, 7, 10, 2, 2, 9, 12, 9, 34, 11, 41, 9, 0, 0},
    // 7: after the dashes that end a word.
    {0, 35, 0, 40, 7, 0, 39, 0, 39, 12, 0, 34, 11, 41, 0, 0, 0},
    // 8: after leading dashes.
    {5, 36, 4, 40, 8, 0, 39, 0, 39, 13, 0, 34, 11, 41, 0, 4, 0},
    // 9: after closing characters.
    {0, 35, 9, 40, 0, 9, 39, 0, 9, 12, 9, 34, 11, 41, 9, 0, 0},
    // 10: after a number's point or comma.
    {5, 35, 9, 40, 0, 9, 39, 0, 9, 12, 9, 34, 11, 41, 9, 0, 0},
    // 11 to 32: words joined by glue or a joiner, with the prefixes that may follow them.
    {6, 12, 12, 40, 15, 9, 2, 2, 9, 27, 9, 12, 11, 41, 9, 12, 3},
    {6, 12, 12, 40, 15, 9, 2, 2, 9, 27, 9, 34, 11, 41, 9, 12, 3},
    {6, 13, 13, 40, 16, 9, 2, 2, 9, 25, 9, 34, 11, 41, 9, 13, 3},
    {6, 14, 14, 40, 17, 9, 2, 2, 9, 28, 9, 34, 11, 41, 9, 14, 3},
    {5, 36, 4, 40, 15, 0, 39, 0, 39, 20, 0, 34, 11, 41, 0, 4, 0},
    {5, 36, 4, 40, 16, 0, 39, 0, 39, 21, 0, 34, 11, 41, 0, 4, 0},
    {5, 36, 4, 40, 18, 0, 39, 0, 39, 24, 0, 34, 11, 41, 0, 4, 0},
    {5, 36, 19, 40, 18, 10, 39, 0, 9, 24, 9, 34, 11, 41, 9, 4, 0},
    {5, 36, 19, 40, 4, 9, 39, 0, 9, 21, 9, 34, 11, 41, 9, 4, 0},
    {6, 12, 20, 40, 15, 9, 2, 2, 9, 12, 9, 33, 0, 41, 9, 12, 3},
    {6, 21, 21, 40, 22, 9, 2, 2, 9, 21, 9, 33, 0, 41, 9, 21, 3},
    {5, 36, 4, 40, 23, 0, 39, 0, 39, 21, 0, 33, 0, 41, 0, 4, 0},
    {5, 36, 4, 40, 23, 0, 39, 0, 39, 4, 0, 33, 0, 41, 0, 4, 0},
    {6, 25, 25, 40, 26, 10, 2, 2, 9, 25, 9, 33, 0, 41, 9, 25, 3},
    {6, 25, 25, 40, 26, 9, 2, 2, 9, 25, 9, 33, 0, 41, 9, 25, 3},
    {5, 36, 4, 40, 23, 0, 39, 0, 39, 21, 0, 33, 0, 41, 0, 4, 0},
    {6, 12, 12, 40, 15, 9, 2, 2, 9, 12, 9, 33, 0, 41, 9, 12, 3},
    {6, 28, 28, 40, 29, 9, 2, 2, 9, 28, 9, 34, 11, 41, 9, 28, 3},
    {5, 36, 4, 40, 30, 0, 39, 0, 39, 32, 0, 34, 11, 41, 0, 4, 0},
    {5, 36, 31, 40, 30, 10, 39, 0, 9, 32, 9, 34, 11, 41, 9, 4, 0},
    {5, 36, 31, 40, 4, 9, 39, 0, 9, 4, 9, 33, 0, 41, 9, 4, 0},
    {6, 25, 25, 40, 26, 10, 2, 2, 9, 25, 9, 33, 0, 41, 9, 25, 3},
    // 33, 34: the spaces after a word (after glue, no glue may join another word).
    {0, 35, 0, 40, 0, 0, 39, 0, 39, 0, 0, 33, 0, 41, 0, 0, 0},
    {0, 35, 0, 40, 0, 0, 39, 0, 39, 0, 0, 34, 11, 41, 0, 0, 0},
    // 35, 36: after "(", waiting for ")" (or for a digit, when it opened the word).
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 37, 0, 0, 0, 0, 0, 0},
    {5, 4, 4, 0, 4, 0, 0, 0, 0, 4, 37, 0, 0, 0, 0, 4, 0},
    // 37, 38: after "()", and marks after that.
    {0, 0, 37, 40, 0, 37, 38, 0, 37, 0, 37, 0, 0, 41, 37, 0, 0},
    {0, 0, 0, 40, 0, 0, 38, 0, 38, 0, 0, 0, 0, 41, 0, 0, 0},
    // 39: marks after a word.
    {0, 35, 0, 40, 0, 0, 39, 0, 39, 0, 0, 0, 0, 41, 0, 0, 0},
    // 40: after a carriage return; 41: after a breaking character.
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 41, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

// States 0 (nowhere), 4, 35 and 36 (waiting) do not accept.
bool accepts(int state)
{
    return state != 0 && state != 4 && state != 35 && state != 36;
}

} // namespace

qsizetype next(QStringView text, qsizetype from)
{
    const qsizetype size = text.size();
    const auto codePointAt = [&](qsizetype i, qsizetype &length) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            length = 2;
            return QChar::surrogateToUcs4(c, text[i + 1]);
        }
        length = 1;
        return char32_t(c.unicode());
    };
    // Never less than one character.
    qsizetype length = 0;
    codePointAt(from, length);
    qsizetype end = from + length;
    int state = start;
    for (qsizetype i = from; i < size && state != 0; i += length) {
        const Class c = classOf(codePointAt(i, length));
        if (c == ends)
            state = 0;
        else if (c != ignored)
            state = transitions[state][c];
        if (accepts(state))
            end = i + length;
    }
    return end;
}

} // namespace LineBreaks
