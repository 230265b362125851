#include "JrxmlText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Qt::StringLiterals;

namespace JrxmlText {

QLatin1StringView indent(int spaces)
{
    static constexpr char blanks[] = "                                        ";
    constexpr int most = int(sizeof(blanks)) - 1;
    return QLatin1StringView(blanks, qBound(0, spaces, most));
}

namespace {

// Room for `size` more characters at the end of the text; where they go. One call makes the
// room for what would otherwise be several appends.
char16_t *grow(QString &out, qsizetype size)
{
    const qsizetype at = out.size();
    out.resize(at + size);
    return reinterpret_cast<char16_t *>(out.data()) + at;
}

char16_t *put(char16_t *to, QLatin1StringView text)
{
    for (const char c : text)
        *to++ = char16_t(static_cast<unsigned char>(c));
    return to;
}

char16_t *put(char16_t *to, QStringView text)
{
    std::copy(text.utf16(), text.utf16() + text.size(), to);
    return to + text.size();
}

// The whole number wholeNumber writes, as digits in `buffer`; gives their end.
char *wholeDigits(double value, char (&buffer)[24])
{
    qint64 number = 0;
    if (!std::isnan(value)) {
        const double rounded = std::round(value);
        // 2^63 is exactly representable; everything at or beyond it is clamped.
        constexpr double limit = 9223372036854775808.0;
        if (rounded >= limit)
            number = std::numeric_limits<qint64>::max();
        else if (rounded < -limit)
            number = std::numeric_limits<qint64>::min();
        else
            number = qint64(rounded);
    }
    return std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
}

qsizetype &removedCount()
{
    thread_local qsizetype count = 0;
    return count;
}

// The text with only the characters XML can carry; the others are counted.
QString carriable(QStringView text)
{
    qsizetype removed = 0;
    QString out = withXmlCharactersOnly(text.toString(), &removed);
    removedCount() += removed;
    return out;
}

// Whether the character at `i` (with its low surrogate) is one XML cannot carry.
bool isUncarriableSlow(QStringView text, qsizetype i)
{
    const char16_t u = text[i].unicode();
    if (u < 0x20)
        return u != u'\t' && u != u'\n' && u != u'\r';
    if (QChar::isHighSurrogate(u))
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (QChar::isLowSurrogate(u))
        return i == 0 || !text[i - 1].isHighSurrogate();
    return u >= 0xFFFE;
}

// The same, deciding at once for the characters nearly every text consists of.
inline bool isUncarriable(QStringView text, qsizetype i)
{
    const char16_t u = text[i].unicode();
    if (u >= 0x20 && u < 0xD800)
        return false;
    return isUncarriableSlow(text, i);
}

#if defined(__SSE2__)
// Eight characters from `chars`.
__m128i loadEight(const char16_t *chars)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars));
}

// A lane of ones for each of the eight characters outside U+0020..U+D7FF.
__m128i outsideCommon(__m128i block)
{
    // Unsigned order, as signed order after flipping the top bit.
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    const __m128i flipped = _mm_xor_si128(block, flip);
    return _mm_or_si128(_mm_cmplt_epi16(flipped, _mm_set1_epi16(short(0x20 ^ 0x8000))),
                        _mm_cmpgt_epi16(flipped, _mm_set1_epi16(short(0xD7FF ^ 0x8000))));
}
#endif

// Calls `visit` with the place of each character XML cannot carry, in order, until it returns
// false. Nearly every character lies between U+0020 and U+D7FF and is carried; eight at a time
// are compared with those bounds, and only the others (line breaks mostly) are looked at.
template <typename Visit> void forEachUncarriable(QStringView text, Visit &&visit)
{
    const char16_t *chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        const __m128i rare = outsideCommon(loadEight(chars + i));
        // Two bits for each character that is not common; the lower one is kept.
        for (unsigned mask = unsigned(_mm_movemask_epi8(rare)) & 0x5555u; mask != 0;
             mask &= mask - 1) {
            const qsizetype at = i + qsizetype(std::countr_zero(mask) / 2);
            if (isUncarriableSlow(text, at) && !visit(at))
                return;
        }
    }
#endif
    for (; i < size; ++i) {
        if (isUncarriable(text, i) && !visit(i))
            return;
    }
}

// Where the first "]]>" at `from` or later begins; -1 when nowhere. Its ">" is looked for: most
// texts hold none.
qsizetype endMarkerAt(QStringView text, qsizetype from)
{
    for (qsizetype at = text.indexOf(u'>', from + 2); at >= 0; at = text.indexOf(u'>', at + 1)) {
        if (text[at - 1] == u']' && text[at - 2] == u']')
            return at - 2;
    }
    return -1;
}

bool needsCleaning(QStringView text)
{
    bool found = false;
    forEachUncarriable(text, [&](qsizetype) {
        found = true;
        return false;
    });
    return found;
}

} // namespace

qsizetype takeRemovedCharacterCount()
{
    return std::exchange(removedCount(), 0);
}

// Whether the text holds a character that is escaped or that XML may not carry: one below
// U+0020, &, ", <, > or one above U+D7FF. Most values hold none; eight at a time are looked at.
qsizetype tagEnd(QStringView text, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i;
        }
    }
    return text.size();
}

bool needsEscaping(QStringView text)
{
    const char16_t *chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        const __m128i raw = loadEight(chars + i);
        const __m128i marks =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(raw, _mm_set1_epi16(u'&')),
                                      _mm_cmpeq_epi16(raw, _mm_set1_epi16(u'"'))),
                         _mm_or_si128(_mm_cmpeq_epi16(raw, _mm_set1_epi16(u'<')),
                                      _mm_cmpeq_epi16(raw, _mm_set1_epi16(u'>'))));
        if (_mm_movemask_epi8(_mm_or_si128(outsideCommon(raw), marks)) != 0)
            return true;
    }
#endif
    for (; i < size; ++i) {
        const char16_t u = chars[i];
        if (u < 0x20 || u > 0xD7FF || u == u'&' || u == u'"' || u == u'<' || u == u'>')
            return true;
    }
    return false;
}

void appendEscaped(QString &out, QStringView text)
{
    if (!needsEscaping(text)) {
        out.append(text);
        return;
    }
    if (needsCleaning(text)) {
        appendEscaped(out, carriable(text));
        return;
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QLatin1StringView entity;
        switch (text[i].unicode()) {
        case u'&':
            entity = "&amp;"_L1;
            break;
        case u'"':
            entity = "&quot;"_L1;
            break;
        case u'<':
            entity = "&lt;"_L1;
            break;
        case u'>':
            entity = "&gt;"_L1;
            break;
        // Written raw, these would read back as spaces.
        case u'\t':
            entity = "&#9;"_L1;
            break;
        case u'\n':
            entity = "&#10;"_L1;
            break;
        case u'\r':
            entity = "&#13;"_L1;
            break;
        default:
            continue;
        }
        out.append(text.mid(start, i - start));
        out.append(entity);
        start = i + 1;
    }
    out.append(text.mid(start));
}

QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

namespace {

// A character data section holding the text, which holds no carriage return.
void appendSection(QString &out, QStringView text)
{
    out.append("<![CDATA["_L1);
    qsizetype start = 0;
    for (qsizetype at = endMarkerAt(text, 0); at >= 0; at = endMarkerAt(text, start)) {
        // "]]" closes this section after the two brackets; ">" opens the next one.
        out.append(text.mid(start, at + 2 - start));
        out.append("]]><![CDATA["_L1);
        start = at + 2;
    }
    out.append(text.mid(start));
    out.append("]]>"_L1);
}

} // namespace

void appendCData(QString &out, QStringView text)
{
    // The characters XML cannot carry go first: removed later, they could join "]]" and ">"
    // into an end marker that the split below has not seen.
    if (needsCleaning(text)) {
        appendCData(out, carriable(text));
        return;
    }
    // XML reads every line end as a line feed, inside a section too: a carriage return stands
    // between sections as a character reference, which reads back as the character.
    qsizetype start = 0;
    for (qsizetype at = text.indexOf(u'\r'); at >= 0; at = text.indexOf(u'\r', start)) {
        if (at > start)
            appendSection(out, text.sliced(start, at - start));
        out.append("&#13;"_L1);
        start = at + 1;
    }
    if (start == 0 || start < text.size())
        appendSection(out, text.sliced(start));
}

bool hasWritableText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isUncarriable(text, i))
            return true;
    }
    return false;
}

void appendCDataLine(QString &out, int spaces, QLatin1StringView tag, QStringView text)
{
    out += indent(spaces) + u'<' + tag + u'>';
    appendCData(out, text);
    out += "</"_L1 + tag + ">\n"_L1;
}

QString wholeNumber(double value)
{
    char buffer[24];
    const char *end = wholeDigits(value, buffer);
    return QString::fromLatin1(buffer, end - buffer);
}

void appendWholeNumberAttr(QString &out, QLatin1StringView name, double value, bool unlessZero)
{
    char buffer[24];
    const char *end = wholeDigits(value, buffer);
    if (!unlessZero || end - buffer != 1 || buffer[0] != '0')
        appendRawAttr(out, name, QLatin1StringView(buffer, end));
}

namespace {

// Whether a size is written as a whole number: one that reads back as the same double. Beyond
// 2^53 a whole number is no longer exact, and beyond 2^63 none fits the writer's digits: such a
// size keeps its value in the shortest decimal form ("1e+30").
bool isWholeSize(double value)
{
    constexpr double exact = 9007199254740992.0; // 2^53
    return std::isfinite(value) && value == std::trunc(value) && std::abs(value) <= exact;
}

} // namespace

void appendSizeAttr(QString &out, QLatin1StringView name, double value)
{
    if (isWholeSize(value))
        appendWholeNumberAttr(out, name, value);
    else
        appendRawAttr(out, name, decimalNumber(value));
}

QString sizeNumber(double value)
{
    if (isWholeSize(value))
        return wholeNumber(value);
    return decimalNumber(value);
}

QString decimalNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("0.0");
    if (std::isinf(value))
        value = std::copysign(std::numeric_limits<double>::max(), value);
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(u'.') && !text.contains(u'e'))
        text.append(".0"_L1);
    // The engine reads a number only without a plus sign, in the exponent too.
    text.remove(u'+');
    return text;
}

void appendAttr(QString &out, QLatin1StringView name, QStringView value)
{
    char16_t *to = grow(out, 1 + name.size() + 2);
    *to++ = u' ';
    to = put(to, name);
    *to++ = u'=';
    *to = u'"';
    appendEscaped(out, value);
    out.append(u'"');
}

namespace {

template <typename Text> void appendRaw(QString &out, QLatin1StringView name, Text value)
{
    char16_t *to = grow(out, 1 + name.size() + 2 + value.size() + 1);
    *to++ = u' ';
    to = put(to, name);
    *to++ = u'=';
    *to++ = u'"';
    to = put(to, value);
    *to = u'"';
}

} // namespace

void appendRawAttr(QString &out, QLatin1StringView name, QStringView value)
{
    appendRaw(out, name, value);
}

void appendRawAttr(QString &out, QLatin1StringView name, QLatin1StringView value)
{
    appendRaw(out, name, value);
}

void appendTrueFlag(QString &out, QLatin1StringView name, bool set)
{
    if (set)
        appendRawAttr(out, name, u"true");
}

QString withXmlCharactersOnly(const QString &text, qsizetype *removed)
{
    *removed = 0;
    QString out;
    qsizetype start = 0; // the first character not yet copied to `out`
    forEachUncarriable(text, [&](qsizetype i) {
        if (*removed == 0)
            out.reserve(text.size());
        out.append(QStringView(text).sliced(start, i - start));
        start = i + 1;
        ++*removed;
        return true;
    });
    if (*removed == 0)
        return text;
    out.append(QStringView(text).sliced(start));
    return out;
}

namespace {

bool isXmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text without the blanks around it, which the engine's reader drops from a number (the
// format declares numbers as name tokens); empty when a blank stands inside, which it refuses.
std::string_view nameToken(const char *text)
{
    std::string_view token(text);
    while (!token.empty() && isXmlBlank(token.front()))
        token.remove_prefix(1);
    while (!token.empty() && isXmlBlank(token.back()))
        token.remove_suffix(1);
    if (std::any_of(token.begin(), token.end(), isXmlBlank))
        return {};
    return token;
}

// The decimal digits that a name token may hold (XML 1.0's digits) and the engine reads as the
// digits they are, each range with the value of its first: the ASCII digits and those of other
// scripts.
constexpr struct {
    char32_t first;
    char32_t last;
    int value;
} nameDigits[] = {{0x0030, 0x0039, 0}, {0x0660, 0x0669, 0}, {0x06F0, 0x06F9, 0},
                  {0x0966, 0x096F, 0}, {0x09E6, 0x09EF, 0}, {0x0A66, 0x0A6F, 0},
                  {0x0AE6, 0x0AEF, 0}, {0x0B66, 0x0B6F, 0}, {0x0BE7, 0x0BEF, 1},
                  {0x0C66, 0x0C6F, 0}, {0x0CE6, 0x0CEF, 0}, {0x0D66, 0x0D6F, 0},
                  {0x0E50, 0x0E59, 0}, {0x0ED0, 0x0ED9, 0}, {0x0F20, 0x0F29, 0}};

// The value of the digit at the start of `text` (UTF-8), which it steps past; -1 for anything
// else.
int takeDigit(std::string_view &text)
{
    if (text.empty())
        return -1;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    char32_t c = byte(0);
    size_t length = 1;
    if (c >= 0xE0 && c < 0xF0 && text.size() >= 3) {
        c = (c & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        length = 3;
    } else if (c >= 0xC0 && c < 0xE0 && text.size() >= 2) {
        c = (c & 0x1F) << 6 | (byte(1) & 0x3F);
        length = 2;
    }
    for (const auto &range : nameDigits) {
        if (c >= range.first && c <= range.last) {
            text.remove_prefix(length);
            return int(c - range.first) + range.value;
        }
    }
    return -1;
}

// Whether the text is one or more ASCII digits.
bool isDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// The part of a floating-point text from the start up to `stop`, and the rest.
std::pair<std::string_view, std::string_view> splitAt(std::string_view text, std::string_view stop)
{
    const size_t at = text.find_first_of(stop);
    if (at == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, at), text.substr(at)};
}

// Whether the text is an exponent's digits with an optional minus sign (a plus sign is no
// name token's character).
bool isExponent(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return isDigits(text);
}

} // namespace

std::optional<double> engineLength(const char *text)
{
    // Most lengths are a few ASCII digits, read here at once: nine stay within the range.
    const bool minus = *text == '-';
    const char *const first = text + (minus ? 1 : 0);
    int whole = 0;
    const char *digit = first;
    while (digit - first < 9 && static_cast<unsigned char>(*digit - '0') < 10)
        whole = whole * 10 + (*digit++ - '0');
    if (digit != first && !*digit)
        return double(minus ? -whole : whole);

    std::string_view digits = nameToken(text);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.remove_prefix(1);
    if (digits.empty())
        return std::nullopt;
    qint64 value = 0;
    while (!digits.empty()) {
        const int digit = takeDigit(digits);
        if (digit < 0)
            return std::nullopt;
        value = value * 10 + digit;
        if (value > qint64(2147483647) + 1)
            return std::nullopt;
    }
    if (value > qint64(2147483647) + (negative ? 1 : 0))
        return std::nullopt;
    return double(negative ? -value : value);
}

std::optional<double> engineFloat(const char *text)
{
    // Most values are short whole numbers, read here at once: up to fifteen digits they stay
    // below 2^53, so the double is the number itself, as the general reading below gives it.
    std::uint64_t whole = 0;
    const char *digit = text;
    while (digit - text < 15 && static_cast<unsigned char>(*digit - '0') < 10)
        whole = whole * 10 + std::uint64_t(*digit++ - '0');
    if (digit != text && !*digit)
        return double(whole);

    std::string_view number = nameToken(text);
    const bool negative = !number.empty() && number.front() == '-';
    if (negative)
        number.remove_prefix(1);
    const double sign = negative ? -1 : 1;
    if (number == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    if (number == "Infinity")
        return sign * std::numeric_limits<double>::infinity();
    // A type letter may end the number.
    if (!number.empty() && std::strchr("fFdD", number.back()))
        number.remove_suffix(1);
    const bool isHex =
        number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X');
    double value = 0;
    if (isHex) {
        // Hexadecimal digits with an optional point, and a binary exponent, which it needs.
        const auto [mantissa, exponent] = splitAt(number.substr(2), "pP");
        const auto [whole, fraction] = splitAt(mantissa, ".");
        const std::string_view fractionDigits = fraction.empty() ? fraction : fraction.substr(1);
        if (exponent.empty() || !isExponent(exponent.substr(1)) || !isHexDigits(whole) ||
            !isHexDigits(fractionDigits) || whole.size() + fractionDigits.size() == 0)
            return std::nullopt;
        const std::string_view written = number.substr(2);
        const std::from_chars_result read = std::from_chars(
            written.data(), written.data() + written.size(), value, std::chars_format::hex);
        if (read.ec == std::errc::result_out_of_range)
            value = exponent[1] == '-' ? 0 : std::numeric_limits<double>::infinity();
        else if (read.ec != std::errc() || read.ptr != written.data() + written.size())
            return std::nullopt;
    } else {
        // Decimal digits with an optional point and an optional exponent.
        const auto [mantissa, exponent] = splitAt(number, "eE");
        const auto [whole, fraction] = splitAt(mantissa, ".");
        const std::string_view fractionDigits = fraction.empty() ? fraction : fraction.substr(1);
        if ((!whole.empty() && !isDigits(whole)) ||
            (!fractionDigits.empty() && !isDigits(fractionDigits)) ||
            whole.size() + fractionDigits.size() == 0 ||
            (!exponent.empty() && !isExponent(exponent.substr(1))))
            return std::nullopt;
        const std::from_chars_result read =
            std::from_chars(number.data(), number.data() + number.size(), value);
        if (read.ec == std::errc::result_out_of_range)
            value = exponent.size() > 1 && exponent[1] == '-'
                        ? 0
                        : std::numeric_limits<double>::infinity();
        else if (read.ec != std::errc() || read.ptr != number.data() + number.size())
            return std::nullopt;
    }
    // The engine holds the number as a float: one beyond its range is infinite.
    constexpr double floatOverflow = 340282356779733661637539395458142568448.0; // 2^128 - 2^103
    if (value >= floatOverflow)
        value = std::numeric_limits<double>::infinity();
    return sign * value;
}

std::optional<double> toDouble(const char *text)
{
    const char *begin = text;
    bool negative = false;
    if (*begin == '+' || *begin == '-') {
        negative = *begin == '-';
        ++begin;
    }
    // Most values are short whole numbers, read here at once. Up to fifteen digits they stay below
    // 2^53, so the double is the number itself, as the general reading below gives it.
    std::uint64_t whole = 0;
    const char *digit = begin;
    while (digit - begin < 15 && static_cast<unsigned char>(*digit - '0') < 10)
        whole = whole * 10 + std::uint64_t(*digit++ - '0');
    if (digit != begin && !*digit)
        return negative ? -double(whole) : double(whole);

    const char *end = begin + std::strlen(begin);
    // A second sign, a blank or an empty text do not convert.
    if (begin == end || *begin == '+' || *begin == '-')
        return std::nullopt;
    double value = 0;
    std::from_chars_result result;
    if (end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) {
        if (begin[2] == '+' || begin[2] == '-')
            return std::nullopt;
        result = std::from_chars(begin + 2, end, value, std::chars_format::hex);
    } else {
        result = std::from_chars(begin, end, value);
    }
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<qint64> toInteger(const char *text)
{
    const char *begin = text;
    const char *end = text + std::strlen(text);
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-')
            return std::nullopt;
    }
    qint64 value = 0;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    if (begin == end || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

namespace {

// The element a handle stands for, compared without a call into the library.
const void *identity(pugi::xml_node node)
{
    static_assert(sizeof(pugi::xml_node) == sizeof(void *));
    const void *p;
    std::memcpy(&p, &node, sizeof p);
    return p;
}

} // namespace

struct AttributeTable::Elements {
    struct Element {
        const void *node = nullptr;
        int count = 0; // -1: more attributes than an element holds here
        // A bit for each name's first byte (its low six bits): most lookups are for attributes
        // the element does not have, and most of those are settled here.
        std::uint64_t initials = 0;
        union { // set as the element is taken in, not before
            std::array<AttributeEntry, 24> entries;
        };
        Element() {}
    };
    // Two elements to a set, the set chosen by the element's address; the one used less lately
    // is replaced.
    static constexpr size_t sets = 32;
    std::array<Element, 2 * sets> elements;
    std::array<std::uint8_t, sets> older{}; // per set, the way replaced next

    static std::uint64_t initialBit(const char *name)
    {
        return std::uint64_t(1) << (static_cast<unsigned char>(*name) & 63);
    }

    void clear()
    {
        for (Element &element : elements)
            element.node = nullptr;
    }

    const Element &of(pugi::xml_node node)
    {
        const void *id = identity(node);
        const size_t set = (std::uintptr_t(id) * 0x9E3779B97F4A7C15ull) >> 59; // 0 .. sets - 1
        static_assert(sets == 32);
        Element *const ways = &elements[2 * set];
        if (ways[0].node == id) {
            older[set] = 1;
            return ways[0];
        }
        if (ways[1].node == id) {
            older[set] = 0;
            return ways[1];
        }
        const std::uint8_t way = older[set];
        older[set] = std::uint8_t(1 - way);
        Element &element = ways[way];
        element.node = id;
        element.count = 0;
        element.initials = 0;
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            if (element.count == int(element.entries.size())) {
                element.count = -1;
                break;
            }
            element.entries[size_t(element.count++)] = {a.name(), a};
            element.initials |= initialBit(a.name());
        }
        return element;
    }
};

namespace {

AttributeTable *&openTable()
{
    thread_local AttributeTable *table = nullptr;
    return table;
}

} // namespace

// Not value-initialised (which would clear the whole table first): each element sets its own.
AttributeTable::AttributeTable() : elements_(new Elements), outer_(openTable())
{
    openTable() = this;
}

AttributeTable::~AttributeTable()
{
    openTable() = outer_;
}

void attributesChanged()
{
    if (AttributeTable *table = openTable())
        table->elements_->clear();
}

std::optional<std::span<const AttributeEntry>> heldAttributes(pugi::xml_node node)
{
    AttributeTable *table = openTable();
    if (!table || !identity(node))
        return std::nullopt;
    const AttributeTable::Elements::Element &element = table->elements_->of(node);
    if (element.count < 0)
        return std::nullopt;
    return std::span<const AttributeEntry>(element.entries.data(), size_t(element.count));
}

pugi::xml_attribute attribute(pugi::xml_node node, const char *name)
{
    if (!identity(node))
        return {}; // no element, no attribute
    AttributeTable *table = openTable();
    if (!table)
        return node.attribute(name);
    const AttributeTable::Elements::Element &element = table->elements_->of(node);
    if (element.count < 0)
        return node.attribute(name);
    if (!(element.initials & AttributeTable::Elements::initialBit(name)))
        return {};
    for (int i = 0; i < element.count; ++i) {
        if (is(element.entries[size_t(i)].name, name))
            return element.entries[size_t(i)].attribute;
    }
    return {};
}

namespace {

// A cache of texts made from short UTF-8 strings on this thread, so that a string that repeats is
// converted and allocated once and then shared.
class HeldTexts {
public:
    // The text of `bytes`; a string longer than `longest` is rare and converted each time. The
    // slot is chosen by the length, the first eight bytes and the last one.
    QString text(const char *bytes, size_t longest)
    {
        const size_t size = std::strlen(bytes);
        if (size > longest || size == 0)
            return QString::fromUtf8(bytes, qsizetype(size));
        std::uint32_t hash = 2166136261u ^ std::uint32_t(size);
        for (size_t i = 0; i < size && i < 8; ++i)
            hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 16777619u;
        if (size > 8)
            hash = (hash ^ static_cast<unsigned char>(bytes[size - 1])) * 16777619u;
        Held &slot = held_[hash % held_.size()];
        if (slot.bytes.size() != size || std::memcmp(slot.bytes.data(), bytes, size) != 0 ||
            slot.text.isNull()) {
            slot.bytes.assign(bytes, size);
            slot.text = QString::fromUtf8(bytes, qsizetype(size));
        }
        return slot.text;
    }

private:
    struct Held {
        std::string bytes;
        QString text;
    };
    std::array<Held, 256> held_;
};

} // namespace

QString nameText(const char *name)
{
    thread_local HeldTexts held;
    return held.text(name, 48);
}

QString valueText(const char *value)
{
    // Identifiers (36 characters) are unique; shorter values are the ones that repeat.
    thread_local HeldTexts held;
    return held.text(value, 24);
}

QString literalText(const char *name)
{
    struct Held {
        const char *name = nullptr;
        QString text;
    };
    thread_local std::array<Held, 128> held;
    // The reader's literals are few and live as long as the program; their addresses spread
    // them over the slots. The bytes are compared too, so that any other name is still right.
    Held &slot = held[(reinterpret_cast<std::uintptr_t>(name) >> 2) % held.size()];
    if (slot.name != name || !is(slot.name, name)) {
        slot.name = name;
        slot.text = nameText(name);
    }
    return slot.text;
}

const char *localName(const char *qualifiedName)
{
    const char *colon = std::strchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

bool hasLocalName(pugi::xml_node node, const char *name)
{
    return is(localName(node.name()), name);
}

namespace {

ElementsInTextWatch *&openWatch()
{
    thread_local ElementsInTextWatch *watch = nullptr;
    return watch;
}

} // namespace

ElementsInTextWatch::ElementsInTextWatch(std::function<void(pugi::xml_node)> found)
    : found_(std::move(found)), outer_(openWatch())
{
    openWatch() = this;
}

ElementsInTextWatch::~ElementsInTextWatch()
{
    openWatch() = outer_;
}

QString textValue(pugi::xml_node node)
{
    // The common case, one text or character data child, needs no walk.
    const pugi::xml_node first = node.first_child();
    if (!first)
        return {};
    if (!first.next_sibling() &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata))
        return QString::fromUtf8(first.value());

    // A walk without recursion, so that no depth of nesting can exhaust the stack.
    std::string text;
    pugi::xml_node current = first;
    while (current && current != node) {
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata)
            text += current.value();
        if (current.type() == pugi::node_element && current.parent() == node && openWatch())
            openWatch()->found_(current);
        if (current.type() == pugi::node_element && current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current != node && !current.next_sibling())
            current = current.parent();
        if (current != node)
            current = current.next_sibling();
    }
    return QString::fromStdString(text);
}

std::optional<QString> attrText(pugi::xml_node node, const char *name)
{
    const pugi::xml_attribute attr = attribute(node, name);
    if (!attr)
        return std::nullopt;
    return valueText(attr.value());
}

QString attrTextOr(pugi::xml_node node, const char *name, const QString &fallback)
{
    const pugi::xml_attribute attr = attribute(node, name);
    return attr ? valueText(attr.value()) : fallback;
}

bool isTrue(pugi::xml_node node, const char *name)
{
    return is(attribute(node, name).value(), "true");
}

std::optional<QString> childText(pugi::xml_node node, const char *name)
{
    const pugi::xml_node child = childNamed(node, name);
    if (!child)
        return std::nullopt;
    return textValue(child);
}

QString childTextOrEmpty(pugi::xml_node node, const char *name)
{
    return textValue(childNamed(node, name));
}

} // namespace JrxmlText
