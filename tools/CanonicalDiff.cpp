#include "CanonicalDiff.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <optional>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace canonicaldiff {

namespace {

using Kind = Difference::Kind;

QString text(const char *value)
{
    return QString::fromUtf8(value);
}

bool isBlank(const QString &value)
{
    return std::all_of(value.cbegin(), value.cend(),
                       [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
}

// The element's own text, as XML gives it: its text and character data children, one after
// another. Text of blanks alone is indentation: among child elements, and in an element that
// holds nothing else. Character data is never indentation.
QString ownText(pugi::xml_node node)
{
    const bool hasElements = bool(
        node.find_child([](pugi::xml_node child) { return child.type() == pugi::node_element; }));
    QString out;
    bool isIndentation = true;
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata)
            continue;
        const QString piece = text(child.value());
        const bool blank = child.type() == pugi::node_pcdata && isBlank(piece);
        if (hasElements && blank)
            continue;
        isIndentation = isIndentation && blank;
        out += piece;
    }
    return isIndentation ? QString() : out;
}

bool isNamespaceDeclaration(const char *name)
{
    return std::strcmp(name, "xmlns") == 0 || std::strncmp(name, "xmlns:", 6) == 0;
}

// The prefix of a qualified name ("" without one).
std::string_view prefixOf(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? std::string_view(name, size_t(colon - name)) : std::string_view();
}

// The prefixes the element's name and attributes use, each once.
std::vector<std::string_view> usedPrefixes(pugi::xml_node node)
{
    std::vector<std::string_view> prefixes{prefixOf(node.name())};
    for (pugi::xml_attribute attr : node.attributes()) {
        const std::string_view prefix = prefixOf(attr.name());
        if (prefix.empty() || prefix == "xmlns" || prefix == "xml")
            continue;
        if (std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end())
            prefixes.push_back(prefix);
    }
    return prefixes;
}

QString shortened(const QString &value)
{
    return value.size() > 80 ? value.left(77) + QStringLiteral("...") : value;
}

// The namespaces declared on the open elements of one document, innermost last for each prefix.
class NamespaceScope {
public:
    void enter(pugi::xml_node node)
    {
        std::vector<std::string_view> &declared = opened_.emplace_back();
        for (pugi::xml_attribute attr : node.attributes()) {
            const char *name = attr.name();
            if (!isNamespaceDeclaration(name))
                continue;
            const std::string_view prefix =
                name[5] ? std::string_view(name + 6) : std::string_view();
            uris_[prefix].push_back(attr.value());
            declared.push_back(prefix);
        }
    }
    void leave()
    {
        for (const std::string_view prefix : opened_.back()) {
            const auto found = uris_.find(prefix);
            found->second.pop_back();
            if (found->second.empty())
                uris_.erase(found);
        }
        opened_.pop_back();
    }
    // The namespace the prefix stands for ("" when none is declared).
    const char *uri(std::string_view prefix) const
    {
        const auto found = uris_.find(prefix);
        return found == uris_.end() ? "" : found->second.back();
    }

private:
    std::unordered_map<std::string_view, std::vector<const char *>> uris_;
    std::vector<std::vector<std::string_view>> opened_;
};

// The attributes of an element by name, the first of each name.
std::unordered_map<std::string_view, pugi::xml_attribute> attributesOf(pugi::xml_node node)
{
    std::unordered_map<std::string_view, pugi::xml_attribute> out;
    for (pugi::xml_attribute attr : node.attributes())
        out.emplace(attr.name(), attr);
    return out;
}

// The element children of a node, each with the step of the path that names it among its
// siblings: its name, numbered when several siblings have that name.
struct Children {
    std::vector<pugi::xml_node> nodes;
    std::vector<int> numbers; // 1 for the first of a name, 2 for the second ...
    std::unordered_map<std::string_view, int> counts;

    explicit Children(pugi::xml_node parent)
    {
        for (pugi::xml_node child : parent.children()) {
            if (child.type() != pugi::node_element)
                continue;
            nodes.push_back(child);
            numbers.push_back(++counts[child.name()]);
        }
    }
    size_t size() const { return nodes.size(); }
    const char *name(size_t i) const { return nodes[i].name(); }
    QString step(size_t i) const
    {
        const QString name = text(nodes[i].name());
        return counts.at(nodes[i].name()) > 1 ? name + u'[' + QString::number(numbers[i]) + u']'
                                              : name;
    }
};

// How the children of two elements pair up: both, only the first's (missing) or only the
// second's (added), in the order the comparison reports them.
struct Pair {
    enum class Kind { both, missing, added };
    Kind kind;
    size_t first;  // a child of the first element (both, missing)
    size_t second; // a child of the second (both, added)
};

// The children pair up by the longest common sequence of their names; where several are longest,
// a child of the first is left out before one of the second. The table of that choice grows with
// the product of the two counts: past this many entries, which a no-edit save does not reach
// (their children pair up from the start), the names pair up by a linear rule instead.
constexpr size_t largestTable = size_t(1) << 26;

void pairByTable(const Children &a, const Children &b, size_t i, size_t j, size_t n, size_t m,
                 std::vector<Pair> &out)
{
    // leftFirst[i][j]: whether the sequence of a[i+1..] and b[j..] is at least as long as that of
    // a[i..] and b[j+1..]. Computed from the ends, a row of lengths at a time.
    const size_t rows = n - i;
    const size_t columns = m - j;
    std::vector<bool> leftFirst(rows * columns);
    std::vector<int> below(columns + 1, 0);
    std::vector<int> row(columns + 1, 0);
    for (size_t r = rows; r-- > 0;) {
        row[columns] = 0;
        for (size_t c = columns; c-- > 0;) {
            if (std::strcmp(a.name(i + r), b.name(j + c)) == 0) {
                row[c] = below[c + 1] + 1;
            } else {
                leftFirst[r * columns + c] = below[c] >= row[c + 1];
                row[c] = std::max(below[c], row[c + 1]);
            }
        }
        std::swap(row, below);
    }
    size_t r = 0;
    size_t c = 0;
    while (r < rows || c < columns) {
        if (r < rows && c < columns && std::strcmp(a.name(i + r), b.name(j + c)) == 0) {
            out.push_back({Pair::Kind::both, i + r++, j + c++});
        } else if (c == columns || (r < rows && leftFirst[r * columns + c])) {
            out.push_back({Pair::Kind::missing, i + r++, 0});
        } else {
            out.push_back({Pair::Kind::added, 0, j + c++});
        }
    }
}

// Names paired in one pass: at two differing names, the child whose name comes again sooner on
// the other side waits for it; a name that does not come again is left out.
void pairGreedily(const Children &a, const Children &b, size_t i, size_t j, size_t n, size_t m,
                  std::vector<Pair> &out)
{
    struct Places {
        std::vector<size_t> at;
        size_t next = 0;
        // The first place at or after `from`; none when there is none.
        std::optional<size_t> from(size_t from)
        {
            while (next < at.size() && at[next] < from)
                ++next;
            return next < at.size() ? std::optional<size_t>(at[next]) : std::nullopt;
        }
    };
    std::unordered_map<std::string_view, Places> inFirst, inSecond;
    for (size_t k = i; k < n; ++k)
        inFirst[a.name(k)].at.push_back(k);
    for (size_t k = j; k < m; ++k)
        inSecond[b.name(k)].at.push_back(k);
    while (i < n || j < m) {
        if (i < n && j < m && std::strcmp(a.name(i), b.name(j)) == 0) {
            out.push_back({Pair::Kind::both, i++, j++});
            continue;
        }
        if (j == m) {
            out.push_back({Pair::Kind::missing, i++, 0});
            continue;
        }
        if (i == n) {
            out.push_back({Pair::Kind::added, 0, j++});
            continue;
        }
        const std::optional<size_t> firstAgain = inSecond[a.name(i)].from(j);
        const std::optional<size_t> secondAgain = inFirst[b.name(j)].from(i);
        if (firstAgain && (!secondAgain || *firstAgain - j < *secondAgain - i))
            out.push_back({Pair::Kind::added, 0, j++});
        else
            out.push_back({Pair::Kind::missing, i++, 0});
    }
}

std::vector<Pair> pairChildren(const Children &a, const Children &b)
{
    std::vector<Pair> out;
    const size_t n = a.size();
    const size_t m = b.size();
    // Children that start alike pair up as the table would pair them.
    size_t start = 0;
    while (start < n && start < m && std::strcmp(a.name(start), b.name(start)) == 0) {
        out.push_back({Pair::Kind::both, start, start});
        ++start;
    }
    if ((n - start) * (m - start) <= largestTable) {
        pairByTable(a, b, start, start, n, m, out);
        return out;
    }
    // So do children that end alike, after a longest sequence of those between.
    size_t end = 0;
    while (end < n - start && end < m - start &&
           std::strcmp(a.name(n - 1 - end), b.name(m - 1 - end)) == 0)
        ++end;
    if ((n - start - end) * (m - start - end) <= largestTable)
        pairByTable(a, b, start, start, n - end, m - end, out);
    else
        pairGreedily(a, b, start, start, n - end, m - end, out);
    for (size_t k = 0; k < end; ++k)
        out.push_back({Pair::Kind::both, n - end + k, m - end + k});
    return out;
}

// The comparison walks the two trees together without recursion, so that no depth of nesting
// exhausts the stack, and spells out an element's path only for a difference it finds.
class Comparison {
public:
    QList<Difference> differences;

    void run(pugi::xml_node rootBefore, pugi::xml_node rootAfter)
    {
        enter(rootBefore, rootAfter, text(rootBefore.name()));
        while (!open_.empty()) {
            Open &at = open_.back();
            if (at.next == at.pairs.size()) {
                scopeBefore_.leave();
                scopeAfter_.leave();
                open_.pop_back();
                continue;
            }
            const Pair pair = at.pairs[at.next++];
            switch (pair.kind) {
            case Pair::Kind::both:
                // `at` moves when another element opens.
                enter(at.children.first.nodes[pair.first], at.children.second.nodes[pair.second],
                      at.children.first.step(pair.first));
                break;
            case Pair::Kind::missing:
                differences.append(
                    {Kind::missingChild, childPath(at.children.first.step(pair.first)), {}});
                break;
            case Pair::Kind::added:
                differences.append(
                    {Kind::addedChild, childPath(at.children.second.step(pair.second)), {}});
                break;
            }
        }
    }

private:
    struct Open {
        QString step;
        std::pair<Children, Children> children;
        std::vector<Pair> pairs;
        size_t next = 0;
    };
    std::vector<Open> open_;
    NamespaceScope scopeBefore_;
    NamespaceScope scopeAfter_;

    // The path of the element opened last.
    QString path() const
    {
        QString out;
        for (const Open &open : open_)
            out += u'/' + open.step;
        return out;
    }
    QString childPath(const QString &step) const { return path() + u'/' + step; }

    void enter(pugi::xml_node before, pugi::xml_node after, const QString &step)
    {
        open_.push_back({step, {Children(before), Children(after)}, {}, 0});
        scopeBefore_.enter(before);
        scopeAfter_.enter(after);
        attributes(before, after);
        const QString textBefore = ownText(before);
        const QString textAfter = ownText(after);
        if (textBefore != textAfter) {
            differences.append(
                {Kind::changedText, path(),
                 shortened(textBefore) + QStringLiteral(" -> ") + shortened(textAfter)});
        }
        Open &opened = open_.back();
        opened.pairs = pairChildren(opened.children.first, opened.children.second);
    }

    // Namespace declarations count where the element uses them: a prefix it uses must stand for
    // the same namespace on both sides, wherever that is declared.
    void namespaces(pugi::xml_node before)
    {
        for (const std::string_view prefix : usedPrefixes(before)) {
            const QString uriBefore = text(scopeBefore_.uri(prefix));
            const QString uriAfter = text(scopeAfter_.uri(prefix));
            if (uriBefore == uriAfter)
                continue;
            const QString at =
                path() + QStringLiteral("@xmlns") +
                (prefix.empty()
                     ? QString()
                     : u':' + QString::fromUtf8(prefix.data(), qsizetype(prefix.size())));
            if (uriAfter.isEmpty())
                differences.append({Kind::missingAttribute, at, uriBefore});
            else if (uriBefore.isEmpty())
                differences.append({Kind::addedAttribute, at, uriAfter});
            else
                differences.append(
                    {Kind::changedAttribute, at, uriBefore + QStringLiteral(" -> ") + uriAfter});
        }
    }

    void attributes(pugi::xml_node before, pugi::xml_node after)
    {
        namespaces(before);
        const auto ofBefore = attributesOf(before);
        const auto ofAfter = attributesOf(after);
        for (pugi::xml_attribute attr : before.attributes()) {
            if (isNamespaceDeclaration(attr.name()))
                continue;
            const auto other = ofAfter.find(attr.name());
            if (other == ofAfter.end()) {
                differences.append({Kind::missingAttribute, path() + u'@' + text(attr.name()),
                                    text(attr.value())});
            } else if (std::strcmp(attr.value(), other->second.value()) != 0) {
                differences.append({Kind::changedAttribute, path() + u'@' + text(attr.name()),
                                    shortened(text(attr.value())) + QStringLiteral(" -> ") +
                                        shortened(text(other->second.value()))});
            }
        }
        for (pugi::xml_attribute attr : after.attributes()) {
            if (!isNamespaceDeclaration(attr.name()) && !ofBefore.count(attr.name()))
                differences.append(
                    {Kind::addedAttribute, path() + u'@' + text(attr.name()), text(attr.value())});
        }
    }
};

void load(pugi::xml_document &tree, const QByteArray &xml, const char *which)
{
    const pugi::xml_parse_result result = tree.load_buffer(
        xml.constData(), size_t(xml.size()), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!result)
        throw std::runtime_error(std::string("the ") + which +
                                 " document does not parse: " + result.description());
}

} // namespace

Counts &Counts::operator+=(const Counts &other)
{
    missingAttributes += other.missingAttributes;
    addedAttributes += other.addedAttributes;
    changedAttributes += other.changedAttributes;
    missingChildren += other.missingChildren;
    addedChildren += other.addedChildren;
    changedTexts += other.changedTexts;
    return *this;
}

QList<Difference> compare(const QByteArray &before, const QByteArray &after)
{
    pugi::xml_document a;
    pugi::xml_document b;
    load(a, before, "first");
    load(b, after, "second");
    Comparison comparison;
    const pugi::xml_node rootA = a.document_element();
    const pugi::xml_node rootB = b.document_element();
    if (std::strcmp(rootA.name(), rootB.name()) != 0) {
        comparison.differences.append({Kind::missingChild, u'/' + text(rootA.name()), {}});
        comparison.differences.append({Kind::addedChild, u'/' + text(rootB.name()), {}});
    } else {
        comparison.run(rootA, rootB);
    }
    return comparison.differences;
}

Counts count(const QList<Difference> &differences)
{
    Counts counts;
    for (const Difference &d : differences) {
        switch (d.kind) {
        case Kind::missingAttribute:
            ++counts.missingAttributes;
            break;
        case Kind::addedAttribute:
            ++counts.addedAttributes;
            break;
        case Kind::changedAttribute:
            ++counts.changedAttributes;
            break;
        case Kind::missingChild:
            ++counts.missingChildren;
            break;
        case Kind::addedChild:
            ++counts.addedChildren;
            break;
        case Kind::changedText:
            ++counts.changedTexts;
            break;
        }
    }
    return counts;
}

QString describe(const Difference &d)
{
    switch (d.kind) {
    case Kind::missingAttribute:
        return QStringLiteral("missing attribute ") + d.path + QStringLiteral(" (") + d.detail +
               u')';
    case Kind::addedAttribute:
        return QStringLiteral("added attribute ") + d.path + QStringLiteral(" (") + d.detail + u')';
    case Kind::changedAttribute:
        return QStringLiteral("changed attribute ") + d.path + QStringLiteral(" (") + d.detail +
               u')';
    case Kind::missingChild:
        return QStringLiteral("missing child ") + d.path;
    case Kind::addedChild:
        return QStringLiteral("added child ") + d.path;
    case Kind::changedText:
        return QStringLiteral("changed text ") + d.path + QStringLiteral(" (") + d.detail + u')';
    }
    return {};
}

QString describe(const Counts &c)
{
    QStringList parts;
    const auto add = [&](int n, const char *one, const char *many) {
        if (n > 0)
            parts << QString::number(n) + u' ' + QString::fromLatin1(n == 1 ? one : many);
    };
    add(c.missingAttributes, "missing attribute", "missing attributes");
    add(c.addedAttributes, "added attribute", "added attributes");
    add(c.changedAttributes, "changed attribute", "changed attributes");
    add(c.missingChildren, "missing child", "missing children");
    add(c.addedChildren, "added child", "added children");
    add(c.changedTexts, "changed text", "changed texts");
    return parts.isEmpty() ? QStringLiteral("no difference") : parts.join(QStringLiteral(", "));
}

} // namespace canonicaldiff
