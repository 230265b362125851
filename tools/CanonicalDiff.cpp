#include "CanonicalDiff.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
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

std::vector<pugi::xml_node> elementChildren(pugi::xml_node node)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element)
            out.push_back(child);
    }
    return out;
}

// The step of the path that names the child among its siblings.
QString step(pugi::xml_node child)
{
    int number = 0;
    int count = 0;
    for (pugi::xml_node sibling : child.parent().children(child.name())) {
        ++count;
        if (sibling == child)
            number = count;
    }
    const QString name = text(child.name());
    return count > 1 ? name + u'[' + QString::number(number) + u']' : name;
}

bool isNamespaceDeclaration(const char *name)
{
    return std::strcmp(name, "xmlns") == 0 || std::strncmp(name, "xmlns:", 6) == 0;
}

// The prefix of a qualified name ("" without one).
std::string prefixOf(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? std::string(name, colon) : std::string();
}

// The namespace the prefix stands for at the node ("" when none is declared).
QString namespaceOf(pugi::xml_node node, const std::string &prefix)
{
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    for (; node; node = node.parent()) {
        if (const pugi::xml_attribute attr = node.attribute(declaration.c_str()))
            return text(attr.value());
    }
    return {};
}

// The prefixes the element's name and attributes use, each once.
std::vector<std::string> usedPrefixes(pugi::xml_node node)
{
    std::vector<std::string> prefixes{prefixOf(node.name())};
    for (pugi::xml_attribute attr : node.attributes()) {
        const std::string prefix = prefixOf(attr.name());
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

class Comparison {
public:
    QList<Difference> differences;

    void element(pugi::xml_node before, pugi::xml_node after, const QString &path)
    {
        attributes(before, after, path);
        const QString textBefore = ownText(before);
        const QString textAfter = ownText(after);
        if (textBefore != textAfter) {
            differences.append(
                {Kind::changedText, path,
                 shortened(textBefore) + QStringLiteral(" -> ") + shortened(textAfter)});
        }
        children(before, after, path);
    }

private:
    // Namespace declarations count where the element uses them: a prefix it uses must stand for
    // the same namespace on both sides, wherever that is declared.
    void namespaces(pugi::xml_node before, pugi::xml_node after, const QString &path)
    {
        for (const std::string &prefix : usedPrefixes(before)) {
            const QString uriBefore = namespaceOf(before, prefix);
            const QString uriAfter = namespaceOf(after, prefix);
            if (uriBefore == uriAfter)
                continue;
            const QString at = path + QStringLiteral("@xmlns") +
                               (prefix.empty() ? QString() : u':' + text(prefix.c_str()));
            if (uriAfter.isEmpty())
                differences.append({Kind::missingAttribute, at, uriBefore});
            else if (uriBefore.isEmpty())
                differences.append({Kind::addedAttribute, at, uriAfter});
            else
                differences.append(
                    {Kind::changedAttribute, at, uriBefore + QStringLiteral(" -> ") + uriAfter});
        }
    }

    void attributes(pugi::xml_node before, pugi::xml_node after, const QString &path)
    {
        namespaces(before, after, path);
        for (pugi::xml_attribute attr : before.attributes()) {
            if (isNamespaceDeclaration(attr.name()))
                continue;
            const pugi::xml_attribute other = after.attribute(attr.name());
            const QString at = path + u'@' + text(attr.name());
            if (!other) {
                differences.append({Kind::missingAttribute, at, text(attr.value())});
            } else if (std::strcmp(attr.value(), other.value()) != 0) {
                differences.append({Kind::changedAttribute, at,
                                    shortened(text(attr.value())) + QStringLiteral(" -> ") +
                                        shortened(text(other.value()))});
            }
        }
        for (pugi::xml_attribute attr : after.attributes()) {
            if (!isNamespaceDeclaration(attr.name()) && !before.attribute(attr.name()))
                differences.append(
                    {Kind::addedAttribute, path + u'@' + text(attr.name()), text(attr.value())});
        }
    }

    // The children are paired by the longest common sequence of their names; the others are
    // missing or added.
    void children(pugi::xml_node before, pugi::xml_node after, const QString &path)
    {
        const std::vector<pugi::xml_node> a = elementChildren(before);
        const std::vector<pugi::xml_node> b = elementChildren(after);
        const size_t n = a.size();
        const size_t m = b.size();
        std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
        for (size_t i = n; i-- > 0;) {
            for (size_t j = m; j-- > 0;) {
                common[i][j] = std::strcmp(a[i].name(), b[j].name()) == 0
                                   ? common[i + 1][j + 1] + 1
                                   : std::max(common[i + 1][j], common[i][j + 1]);
            }
        }
        size_t i = 0;
        size_t j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && std::strcmp(a[i].name(), b[j].name()) == 0 &&
                common[i][j] == common[i + 1][j + 1] + 1) {
                element(a[i], b[j], path + u'/' + step(a[i]));
                ++i;
                ++j;
            } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
                differences.append({Kind::missingChild, path + u'/' + step(a[i]), {}});
                ++i;
            } else {
                differences.append({Kind::addedChild, path + u'/' + step(b[j]), {}});
                ++j;
            }
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
        comparison.element(rootA, rootB, u'/' + text(rootA.name()));
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
