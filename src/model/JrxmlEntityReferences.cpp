// Entity references the reader does not expand: those of a document type's entities, and those
// of no declared entity at all. The tree parser leaves them in the text as they are written.

#include "JrxmlCodecInternal.h"

#include <QSet>
#include <string_view>

namespace JrxmlCodec {

namespace {

constexpr size_t none = std::string_view::npos;

// The end of the construct that opens at `at` (a '<') and holds no references the reader sees
// (character data, a comment, an instruction, the document type with its declarations), or none
// when `at` opens another.
size_t literalEnd(std::string_view text, size_t at)
{
    static constexpr std::pair<std::string_view, std::string_view> literals[] = {
        {"<![CDATA[", "]]>"}, {"<!--", "-->"}, {"<?", "?>"}};
    for (const auto &[open, close] : literals) {
        if (text.substr(at, open.size()) == open) {
            const size_t end = text.find(close, at + open.size());
            return end == none ? text.size() : end + close.size();
        }
    }
    if (text.substr(at, 9) != "<!DOCTYPE")
        return none;
    const size_t subset = text.find('[', at);
    const size_t close = text.find('>', at);
    if (close == none)
        return text.size();
    if (subset == none || subset > close)
        return close + 1;
    // The declarations end with ']', blanks and '>'.
    for (size_t end = text.find(']', subset); end != none; end = text.find(']', end + 1)) {
        size_t after = end + 1;
        while (after < text.size() && std::string_view(" \t\r\n").find(text[after]) != none)
            ++after;
        if (after < text.size() && text[after] == '>')
            return after + 1;
    }
    return text.size();
}

bool isPredefined(std::string_view name)
{
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
}

} // namespace

QStringList unexpandedEntityReferences(const QByteArray &data, pugi::xml_encoding encoding)
{
    if (encoding != pugi::encoding_utf8 && encoding != pugi::encoding_latin1)
        return {};
    const std::string_view text(data.constData(), size_t(data.size()));
    QStringList names;
    QSet<QString> seen;
    size_t cursor = 0;       // the constructs before it are known
    size_t literalUntil = 0; // the positions before it stand inside one that holds no references
    const auto insideLiteral = [&](size_t at) {
        while (at >= literalUntil) {
            const size_t open = text.find('<', std::max(cursor, literalUntil));
            if (open == none || open > at) {
                cursor = at;
                return false;
            }
            const size_t end = literalEnd(text, open);
            if (end == none) {
                cursor = open + 1;
                continue;
            }
            literalUntil = cursor = end;
        }
        return true;
    };
    for (size_t at = text.find('&'); at != none; at = text.find('&', at + 1)) {
        const size_t semicolon = text.find_first_of(";<&\"' \t\r\n", at + 1);
        if (semicolon == none || text[semicolon] != ';' || semicolon == at + 1 ||
            text[at + 1] == '#')
            continue;
        const std::string_view name = text.substr(at + 1, semicolon - at - 1);
        if (isPredefined(name) || insideLiteral(at))
            continue;
        const QString found = QString::fromUtf8(name.data(), qsizetype(name.size()));
        if (!seen.contains(found)) {
            seen.insert(found);
            names.append(found);
        }
    }
    return names;
}

} // namespace JrxmlCodec
