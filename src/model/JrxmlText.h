#pragma once

#include "RawEnum.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <span>

// The text rules that the JRXML writer and reader follow everywhere: how values become attribute
// and element text, and how the reader takes them back from the XML tree.
namespace JrxmlText {

inline constexpr char namespaceUri[] = "http://jasperreports.sourceforge.net/jasperreports";
inline constexpr char componentsNamespaceUri[] =
    "http://jasperreports.sourceforge.net/jasperreports/components";
inline constexpr char schemaInstanceUri[] = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr char schemaLocation[] =
    "http://jasperreports.sourceforge.net/jasperreports "
    "http://jasperreports.sourceforge.net/xsd/jasperreport.xsd";

// --- writing ---

// A run of spaces (at most 40).
QLatin1StringView indent(int spaces);

// Attribute escaping: & then " then < then > are replaced, and tab, line feed and carriage return
// become character references. Characters XML cannot carry are left out first.
void appendEscaped(QString &out, QStringView text);
QString escaped(QStringView text);
// Whether escaping changes the text: it holds a character below U+0020, &, ", <, > or one above
// U+D7FF (which XML may not carry).
bool needsEscaping(QStringView text);

// The '>' that ends the tag `text` holds from `from` on, the first that no quoted value holds;
// the text's size when there is none.
qsizetype tagEnd(QStringView text, qsizetype from = 0);

// A character data section holding the text. Characters XML cannot carry are left out first;
// then a "]]>" inside the text ends the section and opens another, and a carriage return stands
// between two sections as a character reference, so the text reads back whole.
void appendCData(QString &out, QStringView text);

// One line: the indentation, <tag>, the text as a character data section, </tag>, line feed.
void appendCDataLine(QString &out, int spaces, QLatin1StringView tag, QStringView text);

// Whether the text keeps a character once those XML cannot carry are left out.
bool hasWritableText(QStringView text);

// Whether an optional text has no value or nothing that can be written (blanks count as
// characters).
inline bool isAbsentOrEmpty(const std::optional<QString> &text)
{
    return !text || text->isEmpty() || !hasWritableText(*text);
}

// How many characters XML cannot carry the escaping and character data helpers left out on this
// thread since the last call; the count starts again from zero.
qsizetype takeRemovedCharacterCount();

// A length held as a whole number: rounded half away from zero. Not-a-number gives 0; values
// beyond the signed 64-bit range are clamped to it.
QString wholeNumber(double value);

// A font size: a whole size as a whole number ("10"), any other in the shortest decimal text
// that reads back as the same double ("11.5", "1e30"), as the engine takes fractional sizes.
QString sizeNumber(double value);

// The shortest decimal text that reads back as the same double; a whole value keeps one decimal
// place ("1.0"), an exponent has no plus sign ("1e30"), which the engine would refuse.
// Not-a-number gives "0.0", infinities the largest finite double.
QString decimalNumber(double value);

// ` name="value"`: the value escaped, or (raw) written as it is, for numbers and fixed words.
void appendAttr(QString &out, QLatin1StringView name, QStringView value);
void appendRawAttr(QString &out, QLatin1StringView name, QStringView value);
void appendRawAttr(QString &out, QLatin1StringView name, QLatin1StringView value);
// ` name="value"` for a length held as a whole number, as wholeNumber writes it; with
// `unlessZero`, nothing when that number is 0.
void appendWholeNumberAttr(QString &out, QLatin1StringView name, double value,
                           bool unlessZero = false);
// ` name="value"` for a font size, as sizeNumber writes it.
void appendSizeAttr(QString &out, QLatin1StringView name, double value);

// ` name="true"` when the flag is set; nothing otherwise (false is the format's default).
void appendTrueFlag(QString &out, QLatin1StringView name, bool set);

// The text without the characters XML 1.0 cannot carry (control characters other than tab, line
// feed and carriage return, U+FFFE, U+FFFF and unpaired surrogates); `removed` counts them.
QString withXmlCharactersOnly(const QString &text, qsizetype *removed);

// --- reading ---

// The whole text as a double in the C locale (decimal or hexadecimal, optional sign); no value
// for an empty text, blanks, trailing characters, or a value that is not finite.
std::optional<double> toDouble(const char *text);

// The text as the engine reads a length or a count, a 32-bit whole number: decimal digits (of any
// script XML names may hold) with an optional minus sign, blanks around them allowed; no value for
// any other text (a plus sign, a fraction, an exponent, a number beyond that range), which the
// engine refuses.
std::optional<double> engineLength(const char *text);

// The text as the engine reads a number it holds as a float (a pen width, a font size): a decimal
// number with an optional minus sign, fraction and exponent, or a hexadecimal one with a binary
// exponent, blanks around it allowed and one of the letters f, F, d and D after it, or the words
// NaN and Infinity. A number beyond the float's range is infinite. No value for any other text
// (a plus sign, the C library's "inf", a hexadecimal number without an exponent), which the
// engine refuses.
std::optional<double> engineFloat(const char *text);

// A decimal integer with an optional sign and nothing else, within the signed 64-bit range.
std::optional<qint64> toInteger(const char *text);

// Whether two texts are the same, exactly. The texts compared are short names, most of which
// differ in the first character: a plain loop here costs less time than the library's vector
// comparison, which has to be set up on every call.
inline bool is(const char *text, const char *word)
{
    while (*text == *word) {
        if (!*text)
            return true;
        ++text;
        ++word;
    }
    return false;
}

// The first child of that name, as pugi::xml_node::child gives it (any node with a name, most
// often an element). Names are compared on their first byte before the call, which settles most
// of the siblings passed over.
inline pugi::xml_node childNamed(pugi::xml_node node, const char *name)
{
    if (!*name)
        return {}; // no node that has a name has an empty one
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (is(child.name(), name))
            return child;
    }
    return {};
}

// The children of that name in document order, as pugi::xml_node::children(name) gives them,
// found as childNamed finds one.
class ChildrenNamed {
public:
    ChildrenNamed(pugi::xml_node node, const char *name)
        : first_(childNamed(node, name)), name_(name)
    {
    }
    class Iterator {
    public:
        Iterator(pugi::xml_node node, const char *name) : node_(node), name_(name) {}
        pugi::xml_node operator*() const { return node_; }
        Iterator &operator++()
        {
            do
                node_ = node_.next_sibling();
            while (node_ && !is(node_.name(), name_));
            return *this;
        }
        bool operator!=(const Iterator &other) const { return node_ != other.node_; }

    private:
        pugi::xml_node node_;
        const char *name_;
    };
    Iterator begin() const { return {first_, name_}; }
    Iterator end() const { return {{}, name_}; }

private:
    pugi::xml_node first_;
    const char *name_;
};
inline ChildrenNamed childrenNamed(pugi::xml_node node, const char *name)
{
    return {node, name};
}

// The attribute of that name, or a null attribute. While an AttributeTable is open on the thread,
// the attributes of the elements looked at last are held in it, so that the many lookups the
// reader makes on one element walk the element's attribute list once.
pugi::xml_attribute attribute(pugi::xml_node node, const char *name);

// The attributes of an element that carry the given names, found in one walk over its
// attributes, for an element whose attributes are each asked for several times (a font). Each is
// the first of its name, as attribute() finds it; null for a name the element lacks.
template <std::size_t N> class NamedAttributes {
public:
    NamedAttributes(pugi::xml_node node, const char *const (&names)[N])
    {
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            const char *name = a.name();
            for (std::size_t i = 0; i < N; ++i) {
                if (!found_[i] && is(name, names[i])) {
                    found_[i] = a;
                    break;
                }
            }
        }
    }
    pugi::xml_attribute operator[](std::size_t i) const { return found_[i]; }

private:
    std::array<pugi::xml_attribute, N> found_{};
};

// An attribute with its name, as the table below holds it.
struct AttributeEntry {
    const char *name;
    pugi::xml_attribute attribute;
};

// The element's attributes in document order as the open table holds them; no value when no
// table is open or the element has more than it holds.
std::optional<std::span<const AttributeEntry>> heldAttributes(pugi::xml_node node);

// Holds the attributes of the elements looked at last for the lookups above, for its lifetime and
// on its thread. Elements are known by their address: meanwhile the lookups concern one document,
// which outlives the table and gains or loses no attribute (see attributesChanged).
class AttributeTable {
public:
    AttributeTable();
    ~AttributeTable();
    AttributeTable(const AttributeTable &) = delete;
    AttributeTable &operator=(const AttributeTable &) = delete;

    struct Elements;

private:
    friend pugi::xml_attribute attribute(pugi::xml_node node, const char *name);
    friend void attributesChanged();
    friend std::optional<std::span<const AttributeEntry>> heldAttributes(pugi::xml_node node);

    std::unique_ptr<Elements> elements_;
    AttributeTable *outer_;
};

// Drops what the open table holds, after an element gained an attribute.
void attributesChanged();

// A tag or attribute name (UTF-8) as text. The few names a document uses over and over share one
// text each, so that keeping a name costs no allocation.
QString nameText(const char *name);
// The same for a name the reader spells out itself (a literal), found by its address first.
QString literalText(const char *name);
// An attribute value (UTF-8) as text. Short values repeat a great deal (classes, colours, fonts,
// styles): the last ones made on the thread are shared, so that most cost no allocation.
QString valueText(const char *value);

// The name without its namespace prefix.
const char *localName(const char *qualifiedName);
bool hasLocalName(pugi::xml_node node, const char *name);

// All text beneath the element, character data included, unchanged.
QString textValue(pugi::xml_node node);

// While one is open on the thread, textValue() hands it every element it finds directly inside
// the element whose text it reads: the text takes what such an element holds as text, but not
// the element itself.
class ElementsInTextWatch {
public:
    explicit ElementsInTextWatch(std::function<void(pugi::xml_node)> found);
    ~ElementsInTextWatch();
    ElementsInTextWatch(const ElementsInTextWatch &) = delete;
    ElementsInTextWatch &operator=(const ElementsInTextWatch &) = delete;

private:
    friend QString textValue(pugi::xml_node node);

    std::function<void(pugi::xml_node)> found_;
    ElementsInTextWatch *outer_;
};

// The attribute's text when it is present.
std::optional<QString> attrText(pugi::xml_node node, const char *name);
QString attrTextOr(pugi::xml_node node, const char *name, const QString &fallback);

// Whether the attribute is present and exactly "true".
bool isTrue(pugi::xml_node node, const char *name);

// The text value of the first child of that name, when there is one.
std::optional<QString> childText(pugi::xml_node node, const char *name);
QString childTextOrEmpty(pugi::xml_node node, const char *name);

// The case whose JRXML text the attribute holds exactly; no value otherwise.
template <typename E> std::optional<E> enumValue(pugi::xml_attribute attr)
{
    if (!attr)
        return std::nullopt;
    return enumFromUtf8<E>(attr.value());
}
// The same for the element's attribute of that name.
template <typename E> std::optional<E> enumAttr(pugi::xml_node node, const char *name)
{
    return enumValue<E>(attribute(node, name));
}

} // namespace JrxmlText
