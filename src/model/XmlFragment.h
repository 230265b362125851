#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace pugi {
class xml_node;
struct xml_node_struct;
} // namespace pugi

// Reading XML text that the model keeps as the file wrote it, changing its attributes and taking
// elements out of it: captured elements one after another (a chart's body, a kept child), or the
// attribute text of one tag (` evaluationTime="Group" evaluationGroup="Totals"`). Nothing else of
// the text changes, so a fragment an edit leaves alone comes back as it was.
namespace XmlFragment {

// What one visit of a fragment changed.
struct Changes;

// One element of a fragment as a visit sees it.
class Element {
public:
    Element(pugi::xml_node_struct *node, Changes *changes) : node_(node), changes_(changes) {}

    // The name without its prefix ("datasetRun" for "jr:datasetRun").
    QString localName() const;
    // The attribute's value, or no value when the element has none of that name.
    std::optional<QString> attribute(const char *name) const;
    // The text of the element's character data, its own and that of the elements inside it.
    QString text() const;
    // Whether an element of that local name holds this one, in the fragment.
    bool isInside(QStringView localName) const;
    // The element that holds this one in the fragment; none for one the fragment holds directly.
    std::optional<Element> parent() const;
    // The first element of that local name directly inside this one.
    std::optional<Element> child(QStringView localName) const;
    // Whether an element of that local name stands inside this one, at any depth.
    bool holds(QStringView localName) const;
    // Whether an element inside this one, at any depth, passes the test.
    bool holds(const std::function<bool(const Element &)> &test) const;
    // Where the element stands in the fragment: its place among the elements beside it, after
    // those of the elements that hold it ("0/3/1"). Attribute edits leave it as it is.
    QString place() const;
    void setAttribute(const char *name, const QString &value);
    void removeAttribute(const char *name);
    // Takes the element, and everything inside it, out of the fragment once the visit is over.
    // What stands inside it is not visited any more.
    void remove();
    // The elements inside this one are not visited.
    void skipChildren() { skipChildren_ = true; }

    bool skipsChildren() const { return skipChildren_; }
    bool operator==(const Element &other) const { return node_ == other.node_; }

private:
    pugi::xml_node_struct *node_;
    Changes *changes_;
    bool skipChildren_ = false;
};

using Visit = std::function<void(Element &)>;

// Parses the fragment (the elements one after another) and hands `edit` the element that holds
// them. The fragment as `edit` left it when it answers true (it changed something); no value when
// it answers false or the text is not XML.
std::optional<QString> editedNodes(const QString &elements,
                                   const std::function<bool(pugi::xml_node holder)> &edit);

// Visits each element of the fragment (the elements one after another), each before the
// elements inside it. The fragment with the changes the visit made, or no value when it made
// none or the text is not XML.
std::optional<QString> edited(const QString &elements, const Visit &visit);

// The same for the attribute text of one tag, visited as one element of that name, which
// cannot be taken out.
std::optional<QString> editedAttributes(const QString &attributes, const char *tag,
                                        const Visit &visit);

// Whether the text may name `value` in an attribute: it holds the value as it stands or as XML
// writes it. A quick test before a fragment is parsed.
bool mayHold(const QString &text, const QString &value);

} // namespace XmlFragment
