// The reader's dispatch: which XML elements are report elements, of which kind.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <cstring>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

bool is(const char *name, const char *tag)
{
    return std::strcmp(name, tag) == 0;
}

ElementKind::Subreport readSubreport(pugi::xml_node node)
{
    ElementKind::Subreport subreport;
    subreport.expression = childTextOrEmpty(node, "subreportExpression");
    subreport.connectionExpression = childText(node, "connectionExpression");
    subreport.dataSourceExpression = childText(node, "dataSourceExpression");
    for (pugi::xml_node p : node.children("subreportParameter")) {
        subreport.parameters.append({newId(), attrTextOr(p, "name", {}),
                                     childTextOrEmpty(p, "subreportParameterExpression")});
    }
    return subreport;
}

// Children of element containers that are parts of the container, not report elements.
bool isContainerPart(const char *name)
{
    return is(name, "reportElement") || is(name, "box") || is(name, "printWhenExpression");
}

void appendBandElements(pugi::xml_node node, JrxmlReadContext &context,
                        QList<ReportElement> &elements)
{
    if (context.depth > JrxmlReadContext::maxNesting) {
        context.note(QStringLiteral("Elements nested more than %1 levels deep were not kept")
                         .arg(JrxmlReadContext::maxNesting));
        return;
    }
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const char *name = localName(child.name());
        if (is(name, "elementGroup")) {
            const JrxmlNesting nesting(context);
            appendBandElements(child, context, elements);
            continue;
        }
        if (std::optional<ElementKind> kind = elementKind(child, context))
            elements.append(makeElement(child, std::move(*kind), context));
        else if (!isContainerPart(name))
            context.dropped(child.name());
    }
}

} // namespace

QList<ReportElement> parseBandElements(pugi::xml_node node, JrxmlReadContext &context)
{
    QList<ReportElement> elements;
    appendBandElements(node, context, elements);
    return elements;
}

std::optional<ElementKind> elementKind(pugi::xml_node node, JrxmlReadContext &context)
{
    const char *name = localName(node.name());
    if (!*name)
        return std::nullopt;
    if (is(name, "staticText"))
        return ElementKind::StaticText{childTextOrEmpty(node, "text")};
    if (is(name, "textField"))
        return ElementKind::TextField{childTextOrEmpty(node, "textFieldExpression")};
    if (is(name, "rectangle"))
        return ElementKind::Rectangle{};
    if (is(name, "ellipse"))
        return ElementKind::Ellipse{};
    if (is(name, "line"))
        return ElementKind::Line{};
    if (is(name, "image"))
        return ElementKind::Image{childTextOrEmpty(node, "imageExpression")};
    if (is(name, "subreport"))
        return readSubreport(node);
    if (is(name, "frame")) {
        const JrxmlNesting nesting(context);
        return ElementKind::Frame{parseBandElements(node, context)};
    }
    if (is(name, "break")) {
        return ElementKind::ReportBreak{
            is(node.attribute("type").value(), "Column") ? BreakType::column : BreakType::page};
    }
    return std::nullopt;
}

} // namespace JrxmlCodec
