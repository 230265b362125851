#include "XmlFragment.h"

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <QStringList>
#include <algorithm>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace XmlFragment {

struct Changes {
    // The element that holds what the fragment holds (a wrapper of the parse's own), if any.
    pugi::xml_node_struct *wrapper = nullptr;
    bool changed = false;
    // What remove() took out, to go once the visit is over.
    std::vector<pugi::xml_node_struct *> removed;

    bool isRemoved(pugi::xml_node node) const
    {
        if (removed.empty())
            return false;
        for (pugi::xml_node up = node; up; up = up.parent()) {
            if (std::find(removed.cbegin(), removed.cend(), up.internal_object()) != removed.cend())
                return true;
        }
        return false;
    }

    // Takes out what remove() noted: each element once, none held by another taken out.
    void takeOut()
    {
        std::vector<pugi::xml_node> outermost;
        for (pugi::xml_node_struct *node : removed) {
            const pugi::xml_node element(node);
            if (!element.parent() || isRemoved(element.parent()))
                continue;
            if (std::find(outermost.cbegin(), outermost.cend(), element) == outermost.cend())
                outermost.push_back(element);
        }
        for (pugi::xml_node element : outermost)
            element.parent().remove_child(element);
    }
};

namespace {

QString localNameOf(pugi::xml_node node)
{
    return QString::fromUtf8(JrxmlText::localName(node.name()));
}

// Visits the element and every element inside it, each before its children, without recursion.
void visitTree(pugi::xml_node root, Changes &changes, const Visit &visit)
{
    std::vector<pugi::xml_node> open{root};
    while (!open.empty()) {
        pugi::xml_node node = open.back();
        open.pop_back();
        Element element(node.internal_object(), &changes);
        visit(element);
        if (element.skipsChildren() || changes.isRemoved(node))
            continue;
        // Pushed last first, so that they come off the stack in document order.
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
            if (child.type() == pugi::node_element)
                open.push_back(child);
        }
    }
}

} // namespace

QString Element::localName() const
{
    return localNameOf(pugi::xml_node(node_));
}

std::optional<QString> Element::attribute(const char *name) const
{
    const pugi::xml_attribute attr = pugi::xml_node(node_).attribute(name);
    if (!attr)
        return std::nullopt;
    return QString::fromUtf8(attr.value());
}

QString Element::text() const
{
    QString out;
    std::vector<pugi::xml_node> open{pugi::xml_node(node_)};
    while (!open.empty()) {
        const pugi::xml_node node = open.back();
        open.pop_back();
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            out += QString::fromUtf8(node.value());
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling())
            open.push_back(child);
    }
    return out;
}

bool Element::isInside(QStringView localName) const
{
    for (std::optional<Element> up = parent(); up; up = up->parent()) {
        if (up->localName() == localName)
            return true;
    }
    return false;
}

std::optional<Element> Element::parent() const
{
    const pugi::xml_node up = pugi::xml_node(node_).parent();
    if (up.type() != pugi::node_element || up.internal_object() == changes_->wrapper)
        return std::nullopt;
    return Element(up.internal_object(), changes_);
}

std::optional<Element> Element::child(QStringView localName) const
{
    for (pugi::xml_node child = pugi::xml_node(node_).first_child(); child;
         child = child.next_sibling()) {
        if (child.type() == pugi::node_element && localNameOf(child) == localName)
            return Element(child.internal_object(), changes_);
    }
    return std::nullopt;
}

bool Element::holds(QStringView localName) const
{
    return holds([&](const Element &element) { return element.localName() == localName; });
}

bool Element::holds(const std::function<bool(const Element &)> &test) const
{
    const pugi::xml_node root(node_);
    std::vector<pugi::xml_node> open;
    for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling())
        open.push_back(child);
    while (!open.empty()) {
        const pugi::xml_node node = open.back();
        open.pop_back();
        if (node.type() != pugi::node_element)
            continue;
        if (test(Element(node.internal_object(), changes_)))
            return true;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
            open.push_back(child);
    }
    return false;
}

QString Element::place() const
{
    QStringList places;
    for (std::optional<Element> at = *this; at; at = at->parent()) {
        int index = 0;
        for (pugi::xml_node before = pugi::xml_node(at->node_).previous_sibling(); before;
             before = before.previous_sibling()) {
            if (before.type() == pugi::node_element)
                ++index;
        }
        places.prepend(QString::number(index));
    }
    return places.join(u'/');
}

void Element::setAttribute(const char *name, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    pugi::xml_node node(node_);
    pugi::xml_attribute attr = node.attribute(name);
    if (attr && utf8 == attr.value())
        return;
    if (!attr)
        attr = node.append_attribute(name);
    attr.set_value(utf8.constData());
    changes_->changed = true;
}

void Element::removeAttribute(const char *name)
{
    if (pugi::xml_node(node_).remove_attribute(name))
        changes_->changed = true;
}

void Element::remove()
{
    changes_->removed.push_back(node_);
    changes_->changed = true;
}

std::optional<QString> editedNodes(const QString &elements,
                                   const std::function<bool(pugi::xml_node holder)> &edit)
{
    pugi::xml_document tree;
    const QString wrapped = QStringLiteral("<f>") + elements + QStringLiteral("</f>");
    if (!JrxmlCodec::loadKept(tree, wrapped))
        return std::nullopt;
    const pugi::xml_node wrapper = tree.document_element();
    if (!edit(wrapper))
        return std::nullopt;
    std::string text;
    for (pugi::xml_node child = wrapper.first_child(); child; child = child.next_sibling())
        text += JrxmlCodec::printedXml(child);
    return QString::fromStdString(text);
}

std::optional<QString> edited(const QString &elements, const Visit &visit)
{
    return editedNodes(elements, [&](pugi::xml_node wrapper) {
        Changes changes;
        changes.wrapper = wrapper.internal_object();
        for (pugi::xml_node child = wrapper.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element)
                visitTree(child, changes, visit);
        }
        if (!changes.changed)
            return false;
        changes.takeOut();
        return true;
    });
}

std::optional<QString> editedAttributes(const QString &attributes, const char *tag,
                                        const Visit &visit)
{
    pugi::xml_document tree;
    const QString element = u'<' + QString::fromUtf8(tag) + attributes + QStringLiteral("/>");
    if (!JrxmlCodec::loadKept(tree, element))
        return std::nullopt;
    pugi::xml_node node = tree.document_element();
    Changes changes;
    Element visited(node.internal_object(), &changes);
    visit(visited);
    if (!changes.changed)
        return std::nullopt;
    return JrxmlCodec::attributeText(node);
}

bool mayHold(const QString &text, const QString &value)
{
    return text.contains(value) ||
           (JrxmlText::needsEscaping(value) && text.contains(JrxmlText::escaped(value)));
}

} // namespace XmlFragment
