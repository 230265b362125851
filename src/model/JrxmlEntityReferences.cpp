// Entity references the reader does not expand: those of a document type's entities, and those
// of no declared entity at all. The tree parser leaves them in the text as they are written, and
// drops those that stand between elements with the rest of the text there.

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

// Where the start tag whose '<' is at `open` ends: at its '>', quotes heeded.
size_t tagEnd(std::string_view text, size_t open)
{
    char quote = 0;
    for (size_t i = open + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            return i;
    }
    return none;
}

// The elements whose own text the reader never takes: what stands directly in them is between
// elements even where they hold nothing else.
bool holdsOnlyElements(std::string_view tag)
{
    const size_t colon = tag.find(':');
    const std::string_view local = colon == none ? tag : tag.substr(colon + 1);
    return local == "band" || local == "frame" || local == "elementGroup" ||
           local == "cellContents" || local == "listContents" || local == "jasperReport";
}

// Whether the reference at `at`, outside any literal, stands between elements: beside an element
// (after one ends, or before one starts) or alone in an element that holds only elements. `tag` is
// the '<' of the last tag before it. A reference inside a tag stands in an attribute value.
bool standsBetweenElements(std::string_view text, size_t tag, size_t at)
{
    if (tag == none)
        return false;
    const size_t end = tagEnd(text, tag);
    if (end == none || end > at)
        return false; // in an attribute value
    const bool afterEnd = text[tag + 1] == '/' || text[end - 1] == '/';
    // The next tag after it, past comments and instructions.
    size_t next = text.find('<', at);
    while (next != none && (text.substr(next, 4) == "<!--" || text.substr(next, 2) == "<?")) {
        const size_t close = text.find(text[next + 1] == '!' ? "-->" : "?>", next);
        next = close == none ? none : text.find('<', close);
    }
    if (next == none || text.substr(next, 9) == "<![CDATA[")
        return false;
    const bool beforeStart = text[next + 1] != '/';
    if (afterEnd || beforeStart)
        return true;
    const size_t nameEnd = text.find_first_of(" \t\r\n/>", tag + 1);
    return holdsOnlyElements(text.substr(tag + 1, nameEnd - tag - 1));
}

bool isPredefined(std::string_view name)
{
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
}

} // namespace

EntityReferences unexpandedEntityReferences(const QByteArray &data, pugi::xml_encoding encoding)
{
    if (encoding != pugi::encoding_utf8 && encoding != pugi::encoding_latin1)
        return {};
    const std::string_view text(data.constData(), size_t(data.size()));
    EntityReferences found;
    QSet<QString> seenInText, seenBetween;
    size_t cursor = 0;       // the constructs before it are known
    size_t literalUntil = 0; // the positions before it stand inside one that holds no references
    size_t lastTag = none;   // the '<' of the last tag before the position asked about
    const auto insideLiteral = [&](size_t at) {
        while (at >= literalUntil) {
            const size_t open = text.find('<', std::max(cursor, literalUntil));
            if (open == none || open > at) {
                cursor = at;
                return false;
            }
            const size_t end = literalEnd(text, open);
            if (end == none) {
                lastTag = open;
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
        const QString reference = QString::fromUtf8(name.data(), qsizetype(name.size()));
        const bool between = standsBetweenElements(text, lastTag, at);
        QSet<QString> &seen = between ? seenBetween : seenInText;
        if (!seen.contains(reference)) {
            seen.insert(reference);
            (between ? found.betweenElements : found.inText).append(reference);
        }
    }
    return found;
}

} // namespace JrxmlCodec
