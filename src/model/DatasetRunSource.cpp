#include "DatasetRunSource.h"

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

namespace DatasetRunSource {

namespace {

int dataSourceRank()
{
    return JrxmlCodec::rankOf(JrxmlCodec::tagOrder::datasetRun, "dataSourceExpression");
}

} // namespace

std::optional<QString> dataSourceExpression(const KeptXml &run)
{
    for (const KeptXml::Child &child : run.children) {
        if (child.rank != dataSourceRank())
            continue;
        pugi::xml_document tree;
        if (JrxmlCodec::loadKept(tree, child.xml))
            return JrxmlText::textValue(tree.document_element());
        return child.xml;
    }
    return std::nullopt;
}

void removeDataSourceExpression(KeptXml &run)
{
    run.children.removeIf([](const KeptXml::Child &c) { return c.rank == dataSourceRank(); });
}

} // namespace DatasetRunSource
