#include "KeptXml.h"

const QString *KeptXml::attribute(QStringView name) const
{
    for (const Attribute &attribute : attributes) {
        if (attribute.name == name)
            return &attribute.value;
    }
    return nullptr;
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
    if (!xml.isEmpty())
        parts_.append({key, std::move(xml)});
}
