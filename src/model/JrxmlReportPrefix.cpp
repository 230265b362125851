// A report whose elements carry the report format's namespace on a prefix
// (<j:jasperReport xmlns:j="http://jasperreports.sourceforge.net/jasperreports">), which the engine
// reads as it reads the same report with the namespace as the default. The reader knows elements
// by their plain names, so the tree is brought to that form before it is read: each element whose
// prefix names the report namespace is renamed to its local name. The writer writes that form
// with the namespace as the default, and what is kept as it was written (elements the designer
// does not edit) is kept under the plain names too, so that it stays in the namespace.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace JrxmlCodec {

namespace {

constexpr std::string_view reportUri = JrxmlText::namespaceUri;

// Whether the bytes declare a prefix for the report namespace: `xmlns:` with a name, then the
// namespace as the value. Only UTF-8 and Latin-1 texts are looked at this way; other encodings
// are looked at in the tree.
bool mayDeclareReportPrefix(const QByteArray &data, pugi::xml_encoding encoding)
{
    if (encoding != pugi::encoding_utf8 && encoding != pugi::encoding_latin1)
        return true;
    const std::string_view text(data.constData(), size_t(data.size()));
    for (size_t at = text.find("xmlns:"); at != std::string_view::npos;
         at = text.find("xmlns:", at + 6)) {
        size_t quote = text.find('=', at);
        if (quote == std::string_view::npos)
            return false;
        ++quote;
        while (quote < text.size() && std::strchr(" \t\r\n", text[quote]) && text[quote] != '\0')
            ++quote;
        if (quote >= text.size() || (text[quote] != '"' && text[quote] != '\''))
            continue;
        if (text.substr(quote + 1, reportUri.size()) == reportUri &&
            text.substr(quote + 1 + reportUri.size(), 1) == text.substr(quote, 1))
            return true;
    }
    return false;
}

// One namespace declaration in scope: a prefix (empty for the default namespace) and its URI.
struct Binding {
    std::string_view prefix;
    std::string_view uri;
};

std::string_view boundTo(const std::vector<Binding> &scope, std::string_view prefix)
{
    for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
        if (it->prefix == prefix)
            return it->uri;
    }
    return {};
}

} // namespace

void unprefixReportElements(pugi::xml_node root, const QByteArray &data,
                            pugi::xml_encoding encoding)
{
    if (!root || !mayDeclareReportPrefix(data, encoding))
        return;
    // The declarations in scope, innermost last, and for each open element that declares some
    // how many there were before it.
    std::vector<Binding> scope;
    std::vector<std::pair<pugi::xml_node, size_t>> opened;
    const auto enter = [&](pugi::xml_node node) {
        if (node.type() != pugi::node_element)
            return;
        const size_t before = scope.size();
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            const std::string_view name = a.name();
            if (name == "xmlns")
                scope.push_back({{}, a.value()});
            else if (name.starts_with("xmlns:"))
                scope.push_back({name.substr(6), a.value()});
        }
        if (scope.size() != before)
            opened.emplace_back(node, before);
        const std::string_view name = node.name();
        const size_t colon = name.find(':');
        if (colon == std::string_view::npos || boundTo(scope, name.substr(0, colon)) != reportUri)
            return;
        // Without its prefix the element takes the default namespace: where that is another
        // one, the element keeps its prefix (the engine would not read it as a report's part).
        const std::string_view defaultUri = boundTo(scope, {});
        if (!defaultUri.empty() && defaultUri != reportUri)
            return;
        const std::string local(name.substr(colon + 1));
        node.set_name(local.c_str());
        // The root declares the namespace as the default, as the writer's header does, so that
        // the header is read as the writer's own.
        if (node == root && defaultUri.empty()) {
            node.prepend_attribute("xmlns").set_value(JrxmlText::namespaceUri);
            scope.push_back({{}, reportUri});
            if (opened.empty() || opened.back().first != node)
                opened.emplace_back(node, scope.size() - 1);
        }
    };
    const auto leave = [&](pugi::xml_node node) {
        if (!opened.empty() && opened.back().first == node) {
            scope.resize(opened.back().second);
            opened.pop_back();
        }
    };
    // Through the tree in document order without recursion: reports may nest very deep.
    for (pugi::xml_node node = root; node;) {
        enter(node);
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) {
            leave(node);
            node = node.parent();
        }
        leave(node);
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
}

} // namespace JrxmlCodec
