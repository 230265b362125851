#include "datapanel/FieldUses.h"

#include "model/JrxmlCodec.h"

#include <pugixml.hpp>

using namespace Qt::StringLiterals;

namespace FieldUses {
namespace {

// Every text and attribute value of the written report, decoded, one after another. Reading
// the written form sees the expressions the model keeps as XML text as well as its own.
class TextCollector : public pugi::xml_tree_walker {
public:
    QString texts;

    bool for_each(pugi::xml_node &node) override
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            add(node.value());
        for (const pugi::xml_attribute &attribute : node.attributes())
            add(attribute.value());
        return true;
    }

private:
    void add(const char *text)
    {
        texts += QString::fromUtf8(text);
        texts += u'\n';
    }
};

QString writtenTexts(const ReportDocument &document)
{
    QStringList diagnostics;
    const QByteArray xml = JrxmlCodec::serialize(document, &diagnostics);
    pugi::xml_document parsed;
    if (!parsed.load_buffer(xml.constData(), std::size_t(xml.size()),
                            pugi::parse_default | pugi::parse_ws_pcdata))
        return QString::fromUtf8(xml); // cannot happen: the writer's output is well-formed
    TextCollector collector;
    parsed.traverse(collector);
    return collector.texts;
}

} // namespace

QStringList used(const ReportDocument &document, const QStringList &names)
{
    if (names.isEmpty())
        return {};
    const QString texts = writtenTexts(document);
    QStringList found;
    for (const QString &name : names) {
        const bool sorted =
            std::any_of(document.sortFields.begin(), document.sortFields.end(),
                        [&](const ReportSortField &sort) {
                            return sort.type == SortFieldType::field && sort.name == name;
                        });
        if (sorted || texts.contains(u"$F{"_s + name + u'}'))
            found.append(name);
    }
    return found;
}

} // namespace FieldUses
