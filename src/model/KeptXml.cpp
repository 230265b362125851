#include "KeptXml.h"

#include "JrxmlCodecInternal.h"

#include <algorithm>
#include <pugixml.hpp>
#include <vector>

const QString *KeptXml::attribute(QStringView name) const
{
    for (const Attribute &attribute : attributes) {
        if (attribute.name == name)
            return &attribute.value;
    }
    return nullptr;
}

bool KeptXml::removeAttribute(QStringView name)
{
    return attributes.removeIf([&](const Attribute &a) { return a.name == name; }) > 0;
}

QString KeptXml::withoutUuids(const QString &xml)
{
    pugi::xml_document tree;
    if (!JrxmlCodec::loadKept(tree, xml))
        return xml;
    bool removed = false;
    std::vector<pugi::xml_node> open{tree.document_element()};
    while (!open.empty()) {
        pugi::xml_node node = open.back();
        open.pop_back();
        removed = node.remove_attribute("uuid") || removed;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element)
                open.push_back(child);
        }
    }
    if (!removed)
        return xml;
    return QString::fromStdString(JrxmlCodec::printedXml(tree.document_element()));
}

void KeptXml::removeUuids()
{
    removeAttribute(u"uuid");
    anchor = 0;
    for (Child &child : children)
        child.xml = withoutUuids(child.xml);
}

void KeptXml::squeeze()
{
    attributes.squeeze();
    children.squeeze();
    absent.squeeze();
    absentChildren.squeeze();
    emptyChildren.squeeze();
}

void KeptParts::squeeze()
{
    parts_.squeeze();
    for (Part &part : parts_)
        part.xml.squeeze();
}

void KeptParts::removeUuids()
{
    for (Part &part : parts_)
        part.xml.removeUuids();
    parts_.removeIf([](const Part &part) { return part.xml.isEmpty(); });
}

const KeptXml &KeptParts::part(QStringView key) const
{
    static const KeptXml none;
    for (const Part &part : parts_) {
        if (part.key == key)
            return part.xml;
    }
    return none;
}

QStringList KeptParts::keys() const
{
    QStringList out;
    out.reserve(parts_.size());
    for (const Part &part : parts_)
        out.append(part.key);
    return out;
}

void KeptParts::setPart(const QString &key, KeptXml xml)
{
    for (qsizetype i = 0; i < parts_.size(); ++i) {
        if (parts_.at(i).key != key)
            continue;
        if (xml.isEmpty())
            parts_.removeAt(i);
        else
            parts_[i].xml = std::move(xml);
        return;
    }
    addPart(key, std::move(xml));
}

void KeptParts::addPart(const QString &key, KeptXml &&xml)
{
    Q_ASSERT(std::none_of(parts_.cbegin(), parts_.cend(),
                          [&](const Part &part) { return part.key == key; }));
    if (xml.isEmpty())
        return;
    // An element read from a file keeps a few parts: room for most at once, in a block small
    // enough for the allocator's quick path.
    if (parts_.isEmpty())
        parts_.reserve(6);
    parts_.append(Part{key, std::move(xml)});
}
