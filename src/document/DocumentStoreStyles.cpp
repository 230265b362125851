#include "document/DocumentStoreListItems.h"
#include "document/ReportReferences.h"
#include "model/FreshName.h"
#include "model/KeptBands.h"

// Colours only where the style has them, so an element colour is never cleared by a style
// without one.
void DocumentStore::applyStyleProperties(ReportElement &element, const ReportStyle &style)
{
    element.fontName = style.fontName;
    element.fontSize = style.fontSize;
    element.isBold = style.isBold;
    element.isItalic = style.isItalic;
    element.isUnderline = style.isUnderline;
    element.textAlignment = style.textAlignment;
    if (style.foreColor)
        element.foreColor = style.foreColor;
    if (style.backColor)
        element.backColor = style.backColor;
    element.penWidth = style.penWidth;
}

void DocumentStore::addStyle()
{
    ReportStyle style;
    style.name = firstFreeName(QStringLiteral("Style"), document_.styles);
    addListItem(&ReportDocument::styles, style);
}

void DocumentStore::moveStyle(int index, int offset)
{
    moveListItem(&ReportDocument::styles, index, offset);
}

void DocumentStore::removeStyle(const QUuid &styleID)
{
    const QUuid id = styleID;
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            // Elements without a style of their own inherit from the first default style.
            const auto isDefault = [](const ReportStyle &style) { return style.isDefault; };
            const auto firstDefault = std::find_if(d.styles.cbegin(), d.styles.cend(), isDefault);
            const bool wasDefault = firstDefault != d.styles.cend() && firstDefault->id == id;
            const QStringList names = removeNamed(d, &ReportDocument::styles, id);
            for (const QString &name : names)
                ReportReferences::dropStyle(d, name, wasDefault);
        });
    });
}

void DocumentStore::applyStyle(const ReportStyle &style, const QUuid &elementID)
{
    updateElement(elementID, [&](ReportElement &element) {
        element.styleName = style.name;
        applyStyleProperties(element, style);
    });
}

void DocumentStore::clearStyle(const QUuid &elementID)
{
    updateElement(elementID, [](ReportElement &element) { element.styleName.reset(); });
}

void DocumentStore::reapplyStyle(const ReportStyle &reapplied)
{
    const ReportStyle style = reapplied;
    const auto reapply = [&](ReportElement &element) {
        if (element.styleName != style.name)
            return false;
        const ReportElement before = element;
        applyStyleProperties(element, style);
        return !(element == before);
    };
    applyDiscreteEdit([&] {
        editTree(
            [&](ElementList &list) {
                return changeEveryElement(list, reapply) ? Found::changed : Found::no;
            },
            false);
    });
}

// Both counts take in the bands of a group's header or footer kept as written.
int DocumentStore::elementCountReferencingStyle(const QString &styleName) const
{
    int count = 0;
    forEveryElementInDocument([&](const ReportElement &element) {
        if (element.styleName == styleName)
            ++count;
    });
    return count +
           KeptBands::elementCount(document_, styleName, [&](const XmlFragment::Element &element) {
               return KeptBands::reportElementOf(element)->attribute("style") == styleName;
           });
}

int DocumentStore::elementCountReferencing(const QString &text) const
{
    int count = 0;
    forEveryElementInDocument([&](const ReportElement &element) {
        const auto *field = element.kind.as<ElementKind::TextField>();
        if ((field && field->expression.contains(text)) ||
            (element.printWhenExpression && element.printWhenExpression->contains(text)))
            ++count;
    });
    return count +
           KeptBands::elementCount(document_, text, [&](const XmlFragment::Element &element) {
               const auto holds = [&](const std::optional<XmlFragment::Element> &expression) {
                   return expression && expression->text().contains(text);
               };
               return (element.localName() == u"textField" &&
                       holds(element.child(u"textFieldExpression"))) ||
                      holds(KeptBands::reportElementOf(element)->child(u"printWhenExpression"));
           });
}
