#include "XmlFragment.h"

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <pugixml.hpp>
#include <string>
#include <vector>

namespace XmlFragment {

namespace {

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void *data, size_t size) override
    {
        text.append(static_cast<const char *>(data), size);
    }
};

// Visits the element and every element inside it, each before its children, without recursion.
bool visitTree(pugi::xml_node root, const Visit &visit)
{
    bool changed = false;
    std::vector<pugi::xml_node> open{root};
    while (!open.empty()) {
        pugi::xml_node node = open.back();
        open.pop_back();
        Element element(&node);
        visit(element);
        changed = element.isChanged() || changed;
        if (element.isRemoved()) {
            node.parent().remove_child(node);
            changed = true;
            continue;
        }
        if (element.skipsChildren())
            continue;
        // Pushed last first, so that they come off the stack in document order.
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
            if (child.type() == pugi::node_element)
                open.push_back(child);
        }
    }
    return changed;
}

} // namespace

QString Element::localName() const
{
    return QString::fromUtf8(JrxmlText::localName(node_->name()));
}

std::optional<QString> Element::attribute(const char *name) const
{
    const pugi::xml_attribute attr = node_->attribute(name);
    if (!attr)
        return std::nullopt;
    return QString::fromUtf8(attr.value());
}

QString Element::text() const
{
    QString out;
    std::vector<pugi::xml_node> open{*node_};
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
    for (pugi::xml_node up = node_->parent(); up; up = up.parent()) {
        if (QString::fromUtf8(JrxmlText::localName(up.name())) == localName)
            return true;
    }
    return false;
}

void Element::setAttribute(const char *name, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    pugi::xml_attribute attr = node_->attribute(name);
    if (attr && utf8 == attr.value())
        return;
    if (!attr)
        attr = node_->append_attribute(name);
    attr.set_value(utf8.constData());
    changed_ = true;
}

void Element::removeAttribute(const char *name)
{
    changed_ = node_->remove_attribute(name) || changed_;
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
    StringWriter writer;
    for (pugi::xml_node child = wrapper.first_child(); child; child = child.next_sibling())
        child.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return QString::fromStdString(writer.text);
}

std::optional<QString> edited(const QString &elements, const Visit &visit)
{
    return editedNodes(elements, [&](pugi::xml_node wrapper) {
        bool changed = false;
        for (pugi::xml_node child = wrapper.first_child(), next; child; child = next) {
            // Read first: the visit may remove the element.
            next = child.next_sibling();
            if (child.type() == pugi::node_element)
                changed = visitTree(child, visit) || changed;
        }
        return changed;
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
    Element visited(&node);
    visit(visited);
    if (!visited.isChanged())
        return std::nullopt;
    return JrxmlCodec::attributeText(node);
}

bool mayHold(const QString &text, const QString &value)
{
    return text.contains(value) ||
           (JrxmlText::needsEscaping(value) && text.contains(JrxmlText::escaped(value)));
}

} // namespace XmlFragment
