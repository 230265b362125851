// The grammar is made from its facts (DocumentTypeFacts) once, on first use: each element name
// gets a character of its own, each element's content becomes a regular expression over the
// characters of its children, and its attributes a table of names, whether each holds a token,
// the values it takes and whether it is needed.

#include "DocumentTypeGrammar.h"

#include "DocumentTypeFacts.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <vector>

using namespace Qt::StringLiterals;

namespace DocumentTypeGrammar {

namespace {

struct AttributeRule {
    bool isToken = false;     // one token, blanks around it collapsed
    QList<QByteArray> values; // an enumeration's; empty for a free text
};

struct ElementRule {
    QRegularExpression content;
    bool takesNoChildren = false; // whether the content model takes an element without children
    QSet<QByteArray> children;    // the names the content model names
    QHash<QByteArray, AttributeRule> attributes;
    QList<QByteArray> required;
};

struct Grammar {
    QHash<QByteArray, ElementRule> elements;
    QHash<QByteArray, QChar> codes;

    // The character of an element name in a content model, from the private use area.
    QChar code(const QByteArray &name)
    {
        const auto found = codes.constFind(name);
        if (found != codes.cend())
            return *found;
        const QChar next(char16_t(0xE000 + codes.size()));
        codes.insert(name, next);
        return next;
    }
    // The same for an element of a report: one of no model for a name the grammar lacks.
    QChar code(QByteArrayView name) const
    {
        return codes.value(QByteArray::fromRawData(name.data(), name.size()), unknown);
    }
    static constexpr QChar unknown = QChar(char16_t(0xF8FF));
};

// The regular expression of an element's content: the steps `maybe(printWhenExpression),
// many({line, frame})` become `(?:\x{e001})?(?:\x{e002}|\x{e003})*` with the characters of those
// names; text and nothing match no child.
void readContent(const Content &content, ElementRule &rule, Grammar &grammar)
{
    QString pattern;
    for (const Step &step : content.steps) {
        pattern += "(?:"_L1;
        for (size_t i = 0; i < step.anyOf.size(); ++i) {
            const QByteArray name(step.anyOf[i]);
            rule.children.insert(name);
            if (i > 0)
                pattern += u'|';
            pattern += "\\x{"_L1 + QString::number(grammar.code(name).unicode(), 16) + u'}';
        }
        pattern += u')';
        switch (step.times) {
        case Times::once:
            break;
        case Times::maybe:
            pattern += u'?';
            break;
        case Times::many:
            pattern += u'*';
            break;
        case Times::some:
            pattern += u'+';
            break;
        }
    }
    rule.content.setPattern(QRegularExpression::anchoredPattern(pattern));
    rule.content.optimize();
    rule.takesNoChildren = rule.content.match(QString()).hasMatch();
}

void readAttributes(const std::vector<AttributeFact> &facts, ElementRule &rule)
{
    for (const AttributeFact &fact : facts) {
        AttributeRule attribute;
        attribute.isToken = fact.isToken;
        for (const char *value : fact.values)
            attribute.values.append(QByteArray(value));
        if (fact.use == Use::required)
            rule.required.append(QByteArray(fact.name));
        rule.attributes.insert(QByteArray(fact.name), attribute);
    }
}

Grammar readGrammar()
{
    Grammar grammar;
    for (const ElementFact &fact : elementFacts()) {
        ElementRule &rule = grammar.elements[QByteArray(fact.name)];
        readContent(fact.content, rule, grammar);
        readAttributes(fact.attributes, rule);
    }
    return grammar;
}

const Grammar &grammar()
{
    static const Grammar read = readGrammar();
    return read;
}

QString tag(QByteArrayView name)
{
    return u'<' + QString::fromUtf8(name) + u'>';
}

// An element that its parent does not take at its place; `named`: the parent's content model
// names it (so there is one too many of it, or it stands out of order).
QString childWords(QByteArrayView parent, QByteArrayView child, bool named)
{
    if (child == "componentElement")
        return u"a list, a table or another component"_s;
    if (child == "genericElement")
        return u"a generic element"_s;
    if (child == "scriptlet")
        return u"a scriptlet"_s;
    if (child == "band" && named) {
        if (parent == "detail")
            return u"more than one detail band"_s;
        if (parent == "groupHeader" || parent == "groupFooter")
            return u"more than one band in a group's "_s +
                   (parent == "groupHeader" ? u"header"_s : u"footer"_s);
    }
    return tag(child) + (named ? u" at that place in "_s : u" inside "_s) + tag(parent);
}

QString attributeWords(QByteArrayView element, QByteArrayView name)
{
    if (element == "sortField" && name == "type")
        return u"a sort field on a variable"_s;
    return u"the attribute "_s + QString::fromUtf8(name) + u" of "_s + tag(element);
}

bool isToken(QByteArrayView token)
{
    if (token.isEmpty())
        return false;
    for (const char c : token) {
        const auto u = static_cast<unsigned char>(c);
        // Characters outside ASCII are taken: the grammar's name characters include most of them.
        if (u < 0x80 && !std::isalnum(u) && std::strchr("_.:-", c) == nullptr)
            return false;
    }
    return true;
}

// Namespace declarations and the schema instance's attributes, which the grammar leaves alone.
bool isOutsideGrammar(QByteArrayView name)
{
    return name == "xmlns" || name.startsWith("xmlns:") || name.startsWith("xsi:");
}

// Whether the attribute's value is one the rule refuses. The value of a token or of an
// enumeration counts with its blanks collapsed, as the document type reads it.
bool refusesValue(const AttributeRule &rule, QByteArrayView value)
{
    if (!rule.isToken && rule.values.isEmpty())
        return false;
    const QByteArrayView trimmed = value.trimmed();
    if (rule.isToken)
        return !isToken(trimmed);
    for (const QByteArray &allowed : rule.values) {
        if (allowed == trimmed)
            return false;
    }
    return !rule.values.contains(QByteArray(trimmed.data(), trimmed.size()).simplified());
}

// The refusals found, each key once: a key is made of the names as they stand, and the words
// only for a key not found before.
class Found {
public:
    template <typename Words>
    void add(std::initializer_list<QByteArrayView> keyParts, const Words &words)
    {
        key_.resize(0);
        for (const QByteArrayView part : keyParts)
            key_.append(part);
        if (keys_.contains(key_))
            return;
        keys_.insert(key_);
        list_.append({QString::fromUtf8(key_), words()});
    }
    QList<Refusal> take() { return std::move(list_); }

private:
    QByteArray key_;
    QSet<QByteArray> keys_;
    QList<Refusal> list_;
};

void checkAttributes(pugi::xml_node node, QByteArrayView element, const ElementRule &rule,
                     Found &found)
{
    for (const pugi::xml_attribute attribute : node.attributes()) {
        const QByteArrayView name(attribute.name());
        if (isOutsideGrammar(name))
            continue;
        const auto declared =
            rule.attributes.constFind(QByteArray::fromRawData(name.data(), name.size()));
        if (declared == rule.attributes.cend()) {
            found.add({element, "@", name},
                      [&]() -> QString { return attributeWords(element, name); });
            continue;
        }
        const QByteArrayView value(attribute.value());
        if (refusesValue(*declared, value)) {
            found.add({element, "@", name, "=", value}, [&]() -> QString {
                return QString::fromUtf8(name) + u"=\""_s + QString::fromUtf8(value) + u"\" on "_s +
                       tag(element);
            });
        }
    }
    for (const QByteArray &name : rule.required) {
        if (!node.attribute(name.constData())) {
            found.add({element, "@", name, "!"}, [&]() -> QString {
                return tag(element) + u" without "_s + QString::fromLatin1(name);
            });
        }
    }
}

void checkContent(const std::vector<pugi::xml_node> &children, QByteArrayView element,
                  const ElementRule &rule, const Grammar &grammar, Found &found)
{
    if (children.empty() && rule.takesNoChildren)
        return;
    QString names;
    names.reserve(qsizetype(children.size()));
    for (const pugi::xml_node child : children)
        names += grammar.code(QByteArrayView(child.name()));
    if (rule.content.match(names).hasMatch())
        return;
    // The first child that the model cannot take at its place; when each can, what the element
    // needs after them is missing.
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QRegularExpressionMatch prefix = rule.content.match(
            names.left(i + 1), 0, QRegularExpression::PartialPreferCompleteMatch);
        if (!prefix.hasMatch() && !prefix.hasPartialMatch()) {
            const QByteArrayView name(children[size_t(i)].name());
            found.add({element, ">", name}, [&]() -> QString {
                return childWords(
                    element, name,
                    rule.children.contains(QByteArray::fromRawData(name.data(), name.size())));
            });
            return;
        }
    }
    found.add({element, ">"},
              [&]() -> QString { return tag(element) + u" without the elements it needs"_s; });
}

} // namespace

QList<Refusal> refusals(pugi::xml_node element)
{
    const Grammar &rules = grammar();
    Found found;
    // Depth first in document order, without recursion: frames nest as deep as a file likes.
    std::vector<pugi::xml_node> pending{element};
    std::vector<pugi::xml_node> children;
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        const QByteArrayView name(node.name());
        const auto rule =
            rules.elements.constFind(QByteArray::fromRawData(name.data(), name.size()));
        // An element the grammar does not declare is refused where it stands, by its parent.
        if (rule == rules.elements.cend())
            continue;
        checkAttributes(node, name, *rule, found);
        children.clear();
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element)
                children.push_back(child);
        }
        checkContent(children, name, *rule, rules, found);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return found.take();
}

} // namespace DocumentTypeGrammar
