// The checks that make the reader refuse what a strict XML parser refuses but the tree parser
// takes: bytes that are not UTF-8, characters and character references that XML forbids, an
// attribute given twice, more than one root element, and a namespace prefix never declared.

#include "JrxmlCodec.h"
#include "JrxmlCodecInternal.h"

#include <QUtf8StringView>
#include <cstring>
#include <string_view>
#include <vector>

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

// The end of a construct whose content holds no references, or npos when `at` opens none.
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

// A character reference at `at` ("&#...;"): the character it names must be one XML allows.
void checkReference(std::string_view text, size_t at)
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
            refuse(u"a malformed character reference"_s, qsizetype(at));
        value = value * (hex ? 16 : 10) + char32_t(digit);
        any = true;
        if (value > 0x10FFFF)
            refuse(u"a character reference beyond Unicode"_s, qsizetype(at));
    }
    if (!any || i == text.size())
        refuse(u"a malformed character reference"_s, qsizetype(at));
    if (!isXmlChar(value))
        refuse(u"a reference to a character XML does not allow"_s, qsizetype(at));
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

std::string_view prefixOf(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? std::string_view(name, size_t(colon - name)) : std::string_view();
}

void checkElement(pugi::xml_node node, Scope &scope)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute()) {
            if (std::strcmp(a.name(), b.name()) == 0)
                refuse(u"the attribute "_s + QString::fromUtf8(a.name()) + u" given twice"_s,
                       node.offset_debug());
        }
        if (std::strncmp(a.name(), "xmlns:", 6) == 0)
            scope.prefixes.push_back(std::string_view(a.name() + 6));
    }
    const auto check = [&](const char *name) {
        const std::string_view prefix = prefixOf(name);
        if (prefix.empty() || prefix == "xml" || prefix == "xmlns" || scope.has(prefix))
            return;
        refuse(u"the namespace prefix "_s + QString::fromUtf8(prefix.data(), prefix.size()) +
                   u" is not declared"_s,
               node.offset_debug());
    };
    check(node.name());
    for (pugi::xml_attribute a : node.attributes())
        check(a.name());
}

} // namespace

void checkWellFormedBytes(const QByteArray &data, pugi::xml_encoding encoding)
{
    if (encoding != pugi::encoding_utf8)
        return;
    if (!QUtf8StringView(data).isValidUtf8())
        refuse(u"bytes that are not UTF-8"_s, 0);
    const std::string_view text(data.constData(), size_t(data.size()));
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            refuse(u"a character XML does not allow"_s, qsizetype(i));
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (byte == 0xEF && i + 2 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            static_cast<unsigned char>(text[i + 2]) >= 0xBE)
            refuse(u"a character XML does not allow"_s, qsizetype(i));
    }
    for (size_t i = text.find_first_of("<&"); i != std::string_view::npos;
         i = text.find_first_of("<&", i)) {
        if (text[i] == '<') {
            const size_t end = skipLiteral(text, i);
            i = end == std::string_view::npos ? i + 1 : end;
            continue;
        }
        if (text.substr(i, 2) == "&#")
            checkReference(text, i);
        ++i;
    }
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
    Scope scope;
    walkTree(
        xml.document_element(),
        [&](pugi::xml_node node) {
            if (node.type() != pugi::node_element)
                return;
            scope.marks.push_back(scope.prefixes.size());
            checkElement(node, scope);
        },
        [&](pugi::xml_node) {
            scope.prefixes.resize(scope.marks.back());
            scope.marks.pop_back();
        });
}

} // namespace JrxmlCodec
