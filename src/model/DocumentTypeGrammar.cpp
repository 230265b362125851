// The grammar is read from the document type's declarations once, on first use: each element name
// gets a character of its own, each content model becomes a regular expression over the
// characters of an element's children, and each attribute list a table of names, types,
// enumerations and whether the attribute is needed.

#include "DocumentTypeGrammar.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace DocumentTypeGrammar {

namespace {

struct AttributeRule {
    bool isToken = false;     // NMTOKEN: one token, blanks around it collapsed
    QList<QByteArray> values; // an enumeration's; empty for a free text
    bool required = false;
    std::optional<QByteArray> fixed;
};

struct ElementRule {
    bool any = false;
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

// Reads a declaration's text: names, quoted values, single signs.
class Scanner {
public:
    explicit Scanner(const char *text) : at_(text) {}

    void skipBlanks()
    {
        while (*at_ == ' ' || *at_ == '\t' || *at_ == '\r' || *at_ == '\n')
            ++at_;
    }
    bool atEnd() const { return *at_ == '\0'; }
    char peek() const { return *at_; }
    void skip(qsizetype count) { at_ += count; }
    bool take(const char *literal)
    {
        const size_t size = std::strlen(literal);
        if (std::strncmp(at_, literal, size) != 0)
            return false;
        at_ += size;
        return true;
    }
    // A name or a keyword (#REQUIRED, #PCDATA).
    QByteArray word()
    {
        const char *start = at_;
        while (*at_ != '\0' && (std::isalnum(static_cast<unsigned char>(*at_)) ||
                                std::strchr("_.:-#", *at_) != nullptr))
            ++at_;
        return QByteArray(start, at_ - start);
    }
    // Up to (not including) `end`; the scanner stands after it.
    QByteArray upTo(char end)
    {
        const char *start = at_;
        while (*at_ != '\0' && *at_ != end)
            ++at_;
        QByteArray text(start, at_ - start);
        if (*at_ == end)
            ++at_;
        return text;
    }

private:
    const char *at_;
};

// The regular expression of a content model: `(printWhenExpression?, (line | frame)*)` becomes
// `(?:\x{e001}?(?:\x{e002}|\x{e003})*)` with the characters of those names; character data
// matches nothing.
void readContentModel(const QByteArray &model, ElementRule &rule, Grammar &grammar)
{
    const QByteArray trimmed = model.trimmed();
    if (trimmed == "ANY") {
        rule.any = true;
        return;
    }
    QString pattern;
    if (trimmed != "EMPTY") {
        Scanner scan(trimmed.constData());
        while (!scan.atEnd()) {
            scan.skipBlanks();
            const char sign = scan.peek();
            if (sign == '\0')
                break;
            if (std::strchr("()|,?*+", sign) != nullptr) {
                scan.skip(1);
                if (sign == '(')
                    pattern += "(?:"_L1;
                else if (sign != ',')
                    pattern += QLatin1Char(sign);
                continue;
            }
            const QByteArray name = scan.word();
            if (name.isEmpty())
                break; // not a model this reader knows; what it read so far stands
            if (name == "#PCDATA")
                continue;
            rule.children.insert(name);
            pattern += "\\x{"_L1 + QString::number(grammar.code(name).unicode(), 16) + u'}';
        }
    }
    rule.content.setPattern(QRegularExpression::anchoredPattern(pattern));
    rule.content.optimize();
    rule.takesNoChildren = rule.content.match(QString()).hasMatch();
}

void readAttributeList(Scanner &scan, ElementRule &rule)
{
    for (;;) {
        scan.skipBlanks();
        if (scan.atEnd() || scan.take(">"))
            return;
        const QByteArray name = scan.word();
        if (name.isEmpty())
            return;
        AttributeRule attribute;
        scan.skipBlanks();
        if (scan.take("(")) {
            for (const QByteArray &value : scan.upTo(')').split('|'))
                attribute.values.append(value.trimmed());
        } else {
            attribute.isToken = scan.word() == "NMTOKEN";
        }
        scan.skipBlanks();
        if (scan.take("#REQUIRED")) {
            attribute.required = true;
        } else if (scan.take("#IMPLIED")) {
        } else {
            const bool fixed = scan.take("#FIXED");
            scan.skipBlanks();
            const char quote = scan.peek();
            scan.skip(1);
            const QByteArray value = scan.upTo(quote);
            if (fixed)
                attribute.fixed = value;
        }
        if (attribute.required)
            rule.required.append(name);
        rule.attributes.insert(name, attribute);
    }
}

Grammar readGrammar()
{
    Grammar grammar;
    for (const char *piece : declarations()) {
        Scanner scan(piece);
        while (!scan.atEnd()) {
            scan.skipBlanks();
            if (scan.take("<!ELEMENT")) {
                scan.skipBlanks();
                const QByteArray name = scan.word();
                readContentModel(scan.upTo('>'), grammar.elements[name], grammar);
            } else if (scan.take("<!ATTLIST")) {
                scan.skipBlanks();
                const QByteArray name = scan.word();
                readAttributeList(scan, grammar.elements[name]);
            } else if (!scan.atEnd()) {
                scan.skip(1);
            }
        }
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
    if (rule.fixed)
        return *rule.fixed != value;
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
        if (!rule->any)
            checkContent(children, name, *rule, rules, found);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return found.take();
}

} // namespace DocumentTypeGrammar
