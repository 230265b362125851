// The reader of the data-definition sections.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

ReportGroup readGroup(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportGroup g;
    g.id = newId();
    g.name = attrTextOr(node, "name", {});
    g.isStartNewPage = isTrue(node, "isStartNewPage");
    g.isResetPageNumber = isTrue(node, "isResetPageNumber");
    g.isReprintHeaderOnEachPage = isTrue(node, "isReprintHeaderOnEachPage");
    g.isKeepTogether = isTrue(node, "keepTogether");
    g.isStartNewColumn = isTrue(node, "isStartNewColumn");
    g.footerPosition =
        enumAttr<GroupFooterPosition>(node, "footerPosition").value_or(GroupFooterPosition::normal);
    g.expression = childTextOrEmpty(node, "groupExpression");
    readGroupBands(node, g, context);
    return g;
}

} // namespace

void readDataDefinitions(pugi::xml_node root, ReportDocument &d, JrxmlReadContext &context)
{
    for (pugi::xml_node node : root.children("group"))
        d.groups.append(readGroup(node, context));
}

} // namespace JrxmlCodec
