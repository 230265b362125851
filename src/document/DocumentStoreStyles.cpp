#include "document/DocumentStoreListItems.h"
#include "document/ExpressionUses.h"
#include "document/ReportReferences.h"
#include "document/StyleHeirs.h"
#include "model/FreshName.h"
#include "model/JrxmlCodec.h"
#include "model/KeptBands.h"
#include "model/StyleChain.h"

namespace {

// What the style gives an element as the engine reads the report's styles with this one among
// them (in the place of the one of its id, else after them) and its report fonts, and what its
// conditions may set.
struct StyleGives {
    InheritedStyle given;
    InheritedStyle conditioned;
};

StyleGives givenBy(const ReportStyle &style, const QList<ReportStyle> &styles,
                   const QStringList &reportFonts = {})
{
    QList<ReportStyle> with = styles;
    const auto same = std::find_if(with.cbegin(), with.cend(),
                                   [&](const ReportStyle &s) { return s.id == style.id; });
    const qsizetype at = same - with.cbegin();
    if (same == with.cend())
        with.append(style);
    else
        with[at] = style;
    return {JrxmlCodec::styleSources(with, reportFonts).styleChains.at(at),
            JrxmlCodec::conditionedStyles(with).at(at)};
}

StyleGives givenBy(const ReportStyle &style, const ReportDocument &document)
{
    return givenBy(style, document.styles, JrxmlCodec::reportFonts(document));
}

// The style's values copied into the element's own fields; a colour only where the style has
// one, so an element colour is never cleared by a style without one. With `gives`, only what the
// style sets, itself or through the styles it inherits from: what no style of its chain sets
// stays the element's (the engine prints the element's own there), and the pen width only where
// the style's own box sets one; and what a condition of the style may set is left to the style,
// for an element's own value would win over the condition's.
void copyStyleValues(ReportElement &element, const ReportStyle &style, const StyleGives *gives)
{
    const InheritedStyle *given = gives ? &gives->given : nullptr;
    const auto sets = [&](auto InheritedStyle::*value) {
        return !given || (given->*value).has_value();
    };
    if (sets(&InheritedStyle::fontName))
        element.fontName = style.fontName;
    if (sets(&InheritedStyle::fontSize))
        element.fontSize = style.fontSize;
    if (sets(&InheritedStyle::isBold))
        element.isBold = style.isBold;
    if (sets(&InheritedStyle::isItalic))
        element.isItalic = style.isItalic;
    if (sets(&InheritedStyle::isUnderline))
        element.isUnderline = style.isUnderline;
    if (sets(&InheritedStyle::textAlignment))
        element.textAlignment = style.textAlignment;
    if (style.foreColor)
        element.foreColor = style.foreColor;
    if (style.backColor)
        element.backColor = style.backColor;
    if (!given || style.penWidth != 1.0 || style.kept.part(u"box/pen").attribute(u"lineWidth"))
        element.penWidth = style.penWidth;
    if (gives)
        JrxmlCodec::leaveToConditions(element, gives->conditioned, gives->given);
}

} // namespace

void DocumentStore::applyStyleProperties(ReportElement &element, const ReportStyle &style,
                                         const QList<ReportStyle> &styles)
{
    copyStyleValues(element, style, nullptr);
    const StyleGives gives = givenBy(style, styles);
    JrxmlCodec::leaveToConditions(element, gives.conditioned, gives.given);
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
            // Elements without a style of their own inherit from the default style.
            const ReportStyle *defaultStyle = StyleChain::defaultStyle(d.styles);
            const bool wasDefault = defaultStyle && defaultStyle->id == id;
            const QList<ReportStyle> before = d.styles;
            const QStringList names = removeNamed(d, &ReportDocument::styles, id);
            for (const QString &name : names)
                ReportReferences::dropStyle(d, name, wasDefault);
            // What inherited from it through the styles that remain follows too.
            StyleHeirs::follow(d, before);
        });
    });
}

void DocumentStore::applyStyle(const ReportStyle &style, const QUuid &elementID)
{
    const StyleGives gives = givenBy(style, document_);
    updateElement(elementID, [&](ReportElement &element) {
        element.styleName = style.name;
        copyStyleValues(element, style, &gives);
        // What it left to its former style it now takes from this one.
        JrxmlCodec::inheritStyle(element, &gives.given);
    });
}

void DocumentStore::clearStyle(const QUuid &elementID)
{
    // What it left to its style it now takes from the report font its font names, else from the
    // report's default style.
    const JrxmlCodec::StyleSources sources =
        JrxmlCodec::styleSources(document_.styles, JrxmlCodec::reportFonts(document_));
    updateElement(elementID, [&](ReportElement &element) {
        element.styleName.reset();
        JrxmlCodec::inheritStyle(element, sources.of(element, document_.styles));
    });
}

void DocumentStore::reapplyStyle(const ReportStyle &reapplied)
{
    const ReportStyle style = reapplied;
    const StyleGives gives = givenBy(style, document_);
    const auto reapply = [&](ReportElement &element) {
        if (element.styleName != style.name)
            return false;
        const ReportElement before = element;
        copyStyleValues(element, style, &gives);
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
        if (ExpressionUses::elementHolds(element, text))
            ++count;
    });
    return count +
           KeptBands::elementCount(document_, text, [&](const XmlFragment::Element &element) {
               return ExpressionUses::keptElementHolds(element, text);
           });
}
