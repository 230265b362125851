#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace pugi {
class xml_node;
}

// Reading and changing the attributes of XML text that the model keeps as the file wrote it:
// captured elements one after another (a chart's body, a kept child), or the attribute text of
// one tag (` evaluationTime="Group" evaluationGroup="Totals"`). Nothing else of the text changes,
// so a fragment an edit leaves alone comes back as it was.
namespace XmlFragment {

// One element of a fragment as a visit sees it.
class Element {
public:
    explicit Element(pugi::xml_node *node) : node_(node) {}

    // The name without its prefix ("datasetRun" for "jr:datasetRun").
    QString localName() const;
    // The attribute's value, or no value when the element has none of that name.
    std::optional<QString> attribute(const char *name) const;
    // The text of the element's character data, its own and that of the elements inside it.
    QString text() const;
    // Whether an element of that local name holds this one, in the fragment.
    bool isInside(QStringView localName) const;
    void setAttribute(const char *name, const QString &value);
    void removeAttribute(const char *name);
    // The elements inside this one are not visited.
    void skipChildren() { skipChildren_ = true; }
    // The element goes from the fragment, with what it holds.
    void remove() { removed_ = true; }

    bool isChanged() const { return changed_; }
    bool skipsChildren() const { return skipChildren_; }
    bool isRemoved() const { return removed_; }

private:
    pugi::xml_node *node_;
    bool changed_ = false;
    bool skipChildren_ = false;
    bool removed_ = false;
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

// The same for the attribute text of one tag, visited as one element of that name.
std::optional<QString> editedAttributes(const QString &attributes, const char *tag,
                                        const Visit &visit);

// Whether the text may name `value` in an attribute: it holds the value as it stands or as XML
// writes it. A quick test before a fragment is parsed.
bool mayHold(const QString &text, const QString &value);

} // namespace XmlFragment
