// The checks that make the reader refuse what a strict XML parser refuses but the tree parser
// takes: bytes that are not UTF-8, characters and character references that XML forbids, an
// attribute given twice, more than one root element, and a namespace prefix never declared.

#include "JrxmlCodec.h"
#include "JrxmlCodecInternal.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Qt::StringLiterals;

namespace JrxmlCodec {

namespace {

bool isXmlChar(char32_t c)
{
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    if (c < 0xD800)
        return true;
    if (c < 0xE000)
        return false;
    if (c < 0xFFFE)
        return true;
    return c >= 0x10000 && c <= 0x10FFFF;
}

[[noreturn]] void refuse(const QString &what, qsizetype at)
{
    throw JrxmlCodecError::malformed(what + u" at byte "_s + QString::number(at));
}

// The end of a construct whose content holds no references (character data, a comment, a
// processing instruction), or npos when `at` opens none.
size_t skipLiteral(std::string_view text, size_t at)
{
    static constexpr std::pair<std::string_view, std::string_view> literals[] = {
        {"<![CDATA[", "]]>"}, {"<!--", "-->"}, {"<?", "?>"}};
    for (const auto &[open, close] : literals) {
        if (text.substr(at, open.size()) == open) {
            const size_t end = text.find(close, at + open.size());
            return end == std::string_view::npos ? text.size() : end + close.size();
        }
    }
    return std::string_view::npos;
}

// What is wrong with the character reference at `at` ("&#...;"), or null when it names a
// character XML allows.
const char16_t *referenceFault(std::string_view text, size_t at)
{
    size_t i = at + 2;
    const bool hex = i < text.size() && text[i] == 'x';
    if (hex)
        ++i;
    char32_t value = 0;
    bool any = false;
    for (; i < text.size() && text[i] != ';'; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return u"a malformed character reference";
        value = value * (hex ? 16 : 10) + char32_t(digit);
        any = true;
        if (value > 0x10FFFF)
            return u"a character reference beyond Unicode";
    }
    if (!any || i == text.size())
        return u"a malformed character reference";
    if (!isXmlChar(value))
        return u"a reference to a character XML does not allow";
    return nullptr;
}

// The bytes the scan looks at: control characters other than tab, line feed and carriage return;
// '&'; '!' and '?', which follow the '<' that opens character data, a comment or an instruction;
// and 0xEF, the first byte of U+FFFE and U+FFFF. A '<' alone needs no look, so ordinary tags,
// text and indentation pass sixteen bytes at a time.
constexpr std::array<bool, 256> stopBytes = [] {
    std::array<bool, 256> stops{};
    for (int b = 0; b < 0x20; ++b)
        stops[size_t(b)] = b != '\t' && b != '\n' && b != '\r';
    stops['&'] = stops['!'] = stops['?'] = stops[0xEF] = true;
    return stops;
}();

#if defined(__SSE2__)
// One bit for each of the sixteen bytes that is one the scan looks at.
inline unsigned stopMask(__m128i x)
{
    const auto eq = [&](char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(0x1F)), x);
    const __m128i blank = _mm_or_si128(_mm_or_si128(eq('\t'), eq('\n')), eq('\r'));
    const __m128i marks =
        _mm_or_si128(_mm_or_si128(eq('&'), eq('!')), _mm_or_si128(eq('?'), eq(char(0xEF))));
    return unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_andnot_si128(blank, control), marks)));
}
#endif

// The end of the UTF-8 sequence that starts with the byte at `at` (0x80 or above), or npos when
// the bytes there are none: a stray or overlong form, a surrogate, a code point beyond Unicode, or
// a sequence cut short.
size_t utf8SequenceEnd(const unsigned char *bytes, size_t size, size_t at)
{
    const unsigned char lead = bytes[at];
    size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong below
        else if (lead == 0xED)
            high = 0x9F; // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong below
        else if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF above
    } else {
        return std::string_view::npos;
    }
    if (length > size - at || bytes[at + 1] < low || bytes[at + 1] > high)
        return std::string_view::npos;
    for (size_t k = 2; k < length; ++k) {
        if ((bytes[at + k] & 0xC0) != 0x80)
            return std::string_view::npos;
    }
    return at + length;
}

// Checks that the bytes from `from` on, up to `to` or the end of a sequence that goes past it, are
// UTF-8: gives the end of what it checked, or where the first bytes that are not UTF-8 start.
struct Utf8Check {
    size_t at;
    bool valid;
};
Utf8Check utf8CheckedTo(const unsigned char *bytes, size_t size, size_t from, size_t to)
{
    size_t at = from;
    while (at < to) {
        if (bytes[at] < 0x80) {
            ++at;
        } else if (const size_t end = utf8SequenceEnd(bytes, size, at);
                   end == std::string_view::npos) {
            return {at, false};
        } else {
            at = end;
        }
    }
    return {at, true};
}

// A document in UTF-16 is whole units, and each surrogate has its other half beside it; the
// first unit that breaks that is refused at its byte.
void checkUtf16(const QByteArray &data, bool bigEndian)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    const auto unit = [&](qsizetype at) {
        return bigEndian ? char16_t(bytes[at] << 8 | bytes[at + 1])
                         : char16_t(bytes[at + 1] << 8 | bytes[at]);
    };
    for (qsizetype at = 0; at < size; at += 2) {
        if (at + 1 >= size)
            refuse(u"bytes that are not UTF-16"_s, at);
        const char16_t u = unit(at);
        if (QChar::isLowSurrogate(u))
            refuse(u"bytes that are not UTF-16"_s, at);
        if (!QChar::isHighSurrogate(u))
            continue;
        if (at + 3 >= size || !QChar::isLowSurrogate(unit(at + 2)))
            refuse(u"bytes that are not UTF-16"_s, at);
        at += 2;
    }
}

// A document in UTF-32 is whole units, each a Unicode scalar value (no surrogate, nothing beyond
// U+10FFFF).
void checkUtf32(const QByteArray &data, bool bigEndian)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    for (qsizetype at = 0; at < size; at += 4) {
        if (at + 3 >= size)
            refuse(u"bytes that are not UTF-32"_s, at);
        const unsigned char *b = bytes + at;
        const char32_t u = bigEndian ? char32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3]
                                     : char32_t(b[3]) << 24 | b[2] << 16 | b[1] << 8 | b[0];
        if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF))
            refuse(u"bytes that are not UTF-32"_s, at);
    }
}

// The declared prefixes in scope, innermost last.
struct Scope {
    std::vector<std::string_view> prefixes;
    std::vector<size_t> marks;
    bool has(std::string_view prefix) const
    {
        for (std::string_view p : prefixes) {
            if (p == prefix)
                return true;
        }
        return false;
    }
};

// A name's length and the length of its prefix (npos without one). Two words, so that it comes
// back in registers.
struct NameShape {
    size_t size;
    size_t prefixSize;
};

// The shape found one byte at a time.
NameShape shapeBytewise(const char *name)
{
    size_t prefixSize = std::string_view::npos;
    size_t i = 0;
    for (; name[i]; ++i) {
        if (name[i] == ':' && prefixSize == std::string_view::npos)
            prefixSize = i;
    }
    return {i, prefixSize};
}

#if defined(__SSE2__)
// The address checker is told that the load below may read past a name (GCC and Clang say that it
// is on in different ways).
#if defined(__SANITIZE_ADDRESS__)
#define NAME_LOAD_UNCHECKED __attribute__((no_sanitize_address))
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NAME_LOAD_UNCHECKED __attribute__((no_sanitize_address))
#endif
#endif
#ifndef NAME_LOAD_UNCHECKED
#define NAME_LOAD_UNCHECKED
#endif

// Most names are shorter than sixteen bytes: one load finds both the end and the colon. The load
// may read past the name's end, never past the memory page the name starts on, as a string length
// function does; the bytes it reads beyond the name are not used.
NAME_LOAD_UNCHECKED inline NameShape shapeOf(const char *name)
{
    constexpr uintptr_t pageSize = 4096;
    if ((reinterpret_cast<uintptr_t>(name) & (pageSize - 1)) <= pageSize - 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(name));
        const auto zeros = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_setzero_si128())));
        if (zeros != 0) {
            const auto size = unsigned(std::countr_zero(zeros));
            const unsigned colons =
                unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(':')))) &
                ((1u << size) - 1);
            return {size, colons != 0 ? size_t(std::countr_zero(colons)) : std::string_view::npos};
        }
    }
    return shapeBytewise(name);
}
#else
NameShape shapeOf(const char *name)
{
    return shapeBytewise(name);
}
#endif

// The names of one element's attributes with their shapes, kept side by side in lists that are
// reused from element to element (copying whole records made the processor wait on its stores).
struct AttributeNames {
    std::vector<const char *> texts;
    std::vector<NameShape> shapes;
    // The names by hash, once an element has more than a few: comparing each with all before it
    // would take time in the square of their number.
    std::unordered_set<std::string_view> hashed;
    static constexpr size_t compared = 16;
    void clear()
    {
        texts.clear();
        shapes.clear();
        // Clearing costs as much as the room the set took: a large one is let go instead.
        if (!hashed.empty())
            hashed = {};
    }
    // Whether an attribute before it has the name (the caller adds it to `texts` then).
    bool repeats(const char *name, NameShape shape)
    {
        if (texts.size() < compared) {
            for (size_t i = 0; i < texts.size(); ++i) {
                const char *before = texts[i];
                if (shapes[i].size == shape.size && before[0] == name[0] &&
                    std::memcmp(before, name, shape.size) == 0)
                    return true;
            }
            return false;
        }
        if (hashed.empty()) {
            for (size_t i = 0; i < texts.size(); ++i)
                hashed.insert(std::string_view(texts[i], shapes[i].size));
        }
        return !hashed.insert(std::string_view(name, shape.size)).second;
    }
};

// The first attribute that a later one repeats (the one the message names), or `fallback`.
const char *firstRepeated(pugi::xml_node node, const char *fallback)
{
    std::unordered_map<std::string_view, int> counts;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        ++counts[a.name()];
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (counts[a.name()] > 1)
            return a.name();
    }
    return fallback;
}

void checkElement(pugi::xml_node node, Scope &scope, AttributeNames &attributes)
{
    attributes.clear();
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        const char *name = a.name();
        const NameShape shape = shapeOf(name);
        if (attributes.repeats(name, shape))
            refuse(u"the attribute "_s + QString::fromUtf8(firstRepeated(node, name)) +
                       u" given twice"_s,
                   node.offset_debug());
        attributes.texts.push_back(name);
        attributes.shapes.push_back(shape);
        if (shape.prefixSize == 5 && std::memcmp(name, "xmlns", 5) == 0)
            scope.prefixes.push_back(std::string_view(name + 6));
    }
    const auto check = [&](const char *name, NameShape shape) {
        if (shape.prefixSize == std::string_view::npos || shape.prefixSize == 0)
            return;
        const std::string_view prefix(name, shape.prefixSize);
        if (prefix == "xml" || prefix == "xmlns" || scope.has(prefix))
            return;
        refuse(u"the namespace prefix "_s + QString::fromUtf8(prefix.data(), prefix.size()) +
                   u" is not declared"_s,
               node.offset_debug());
    };
    check(node.name(), shapeOf(node.name()));
    for (size_t i = 0; i < attributes.texts.size(); ++i)
        check(attributes.texts[i], attributes.shapes[i]);
}

} // namespace

void checkWellFormedBytes(const QByteArray &data, pugi::xml_encoding encoding)
{
    switch (encoding) {
    case pugi::encoding_utf16_le:
    case pugi::encoding_utf16_be:
        checkUtf16(data, encoding == pugi::encoding_utf16_be);
        return;
    case pugi::encoding_utf32_le:
    case pugi::encoding_utf32_be:
        checkUtf32(data, encoding == pugi::encoding_utf32_be);
        return;
    case pugi::encoding_utf8:
        break;
    default:
        return;
    }
    // One pass finds bytes that are not UTF-8, forbidden characters and bad character references.
    // Bytes that are not UTF-8 anywhere are reported first, then a forbidden character, then the
    // first bad reference, which therefore waits until the end of the scan.
    const std::string_view text(data.constData(), size_t(data.size()));
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const size_t size = text.size();
    size_t utf8To = 0; // the bytes before it are UTF-8
    const auto checkUtf8 = [&](size_t from, size_t to) {
        if (to <= utf8To)
            return;
        const Utf8Check checked = utf8CheckedTo(bytes, size, std::max(from, utf8To), to);
        if (!checked.valid)
            refuse(u"bytes that are not UTF-8"_s, qsizetype(checked.at));
        utf8To = checked.at;
    };
    size_t blockStart = 0; // the bytes looked at come from here on, checked as UTF-8 up to utf8To
    const auto forbidden = [&](size_t at) {
        checkUtf8(blockStart, size);
        refuse(u"a character XML does not allow"_s, qsizetype(at));
    };
    const char16_t *referenceFaultText = nullptr;
    size_t referenceFaultAt = 0;
    size_t skipTo = 0; // references inside character data, comments and instructions count not
    const auto look = [&](size_t i) {
        const unsigned char byte = bytes[i];
        if (byte < 0x20)
            forbidden(i);
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (byte == 0xEF && i + 2 < size && bytes[i + 1] == 0xBF && bytes[i + 2] >= 0xBE)
            forbidden(i);
        if (i < skipTo || referenceFaultText)
            return;
        if (byte == '!' || byte == '?') {
            if (i > skipTo && bytes[i - 1] == '<') {
                if (const size_t end = skipLiteral(text, i - 1); end != std::string_view::npos)
                    skipTo = end;
            }
        } else if (byte == '&' && i + 1 < size && bytes[i + 1] == '#') {
            referenceFaultText = referenceFault(text, i);
            referenceFaultAt = i;
        }
    };
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a block with no byte of 0x80 or above needs no UTF-8 check.
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        blockStart = i;
        if (_mm_movemask_epi8(block) != 0)
            checkUtf8(i, i + 16);
        for (unsigned mask = stopMask(block); mask != 0; mask &= mask - 1)
            look(i + size_t(std::countr_zero(mask)));
    }
#endif
    blockStart = i;
    checkUtf8(i, size);
    for (; i < size; ++i) {
        if (stopBytes[bytes[i]])
            look(i);
    }
    if (referenceFaultText)
        refuse(QString::fromUtf16(referenceFaultText), qsizetype(referenceFaultAt));
}

void checkWellFormedTree(const pugi::xml_document &xml)
{
    int roots = 0;
    for (pugi::xml_node child : xml.children()) {
        if (child.type() == pugi::node_element && ++roots > 1)
            refuse(u"a second root element"_s, child.offset_debug());
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            const char *v = child.value();
            if (v[std::strspn(v, " \t\r\n")] != '\0')
                refuse(u"text outside the root element"_s, child.offset_debug());
        }
    }
    // The elements in document order, without recursion; text and other nodes are passed over.
    const auto elementFrom = [](pugi::xml_node node) {
        while (node && node.type() != pugi::node_element)
            node = node.next_sibling();
        return node;
    };
    Scope scope;
    AttributeNames attributes;
    const pugi::xml_node root = xml.document_element();
    pugi::xml_node node = root;
    while (node) {
        scope.marks.push_back(scope.prefixes.size());
        checkElement(node, scope, attributes);
        if (const pugi::xml_node child = elementFrom(node.first_child())) {
            node = child;
            continue;
        }
        // Leave every element that is finished, then go on with the next sibling.
        for (;;) {
            scope.prefixes.resize(scope.marks.back());
            scope.marks.pop_back();
            if (node == root)
                return;
            if (const pugi::xml_node next = elementFrom(node.next_sibling())) {
                node = next;
                break;
            }
            node = node.parent();
        }
    }
}

} // namespace JrxmlCodec
