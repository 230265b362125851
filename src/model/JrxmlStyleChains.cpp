// The values elements inherit from the report's styles: a style's own attributes over those of
// the style it names as its parent (the report's default style where it names none), up the
// chain, as the engine resolves them.

#include "JrxmlCodec.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"
#include "StyleChain.h"

#include <QHash>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

std::optional<bool> flagValue(pugi::xml_attribute attr)
{
    if (!attr)
        return std::nullopt;
    return is(attr.value(), "true");
}

VerticalTextAlignment verticalAlignmentText(const char *text)
{
    return is(text, "Middle")   ? VerticalTextAlignment::middle
           : is(text, "Bottom") ? VerticalTextAlignment::bottom
                                : VerticalTextAlignment::top;
}

// The style's own values over `s` (its parent's).
void setOwnValues(InheritedStyle &s, pugi::xml_node node)
{
    if (const pugi::xml_attribute mode = attribute(node, "mode"))
        s.isOpaque = is(mode.value(), "Opaque");
    if (const pugi::xml_attribute a = attribute(node, "forecolor"))
        s.foreColor = colorValue(a);
    if (const pugi::xml_attribute a = attribute(node, "backcolor"))
        s.backColor = colorValue(a);
    if (const pugi::xml_attribute a = attribute(node, "fontName"))
        s.fontName = valueText(a.value());
    if (const std::optional<double> size = doubleAttr(node, "fontSize"))
        s.fontSize = size;
    const auto flag = [&](std::optional<bool> &value, const char *name) {
        if (const std::optional<bool> read = flagValue(attribute(node, name)))
            value = read;
    };
    flag(s.isBold, "isBold");
    flag(s.isItalic, "isItalic");
    flag(s.isUnderline, "isUnderline");
    flag(s.isPdfEmbedded, "isPdfEmbedded");
    if (const pugi::xml_attribute a = attribute(node, "pdfFontName"))
        s.pdfFontName = valueText(a.value());
    if (const pugi::xml_attribute a = attribute(node, "pdfEncoding"))
        s.pdfEncoding = valueText(a.value());
    // The newer name wins where a style has both.
    pugi::xml_attribute horizontal = attribute(node, "hTextAlign");
    if (!horizontal)
        horizontal = attribute(node, "hAlign");
    if (horizontal)
        s.textAlignment = textAlignmentText(horizontal.value());
    pugi::xml_attribute vertical = attribute(node, "vTextAlign");
    if (!vertical)
        vertical = attribute(node, "vAlign");
    if (vertical)
        s.verticalAlignment = verticalAlignmentText(vertical.value());
    setPenParts(s.linePen, {childNamed(node, "pen")});
    const pugi::xml_node box = childNamed(node, "box");
    if (!box)
        return;
    s.hasBox = true;
    const pugi::xml_node boxPen = childNamed(box, "pen");
    for (int i = 0; i < 4; ++i)
        setPenParts(s.sides[i], {childNamed(box, boxPenTags[i].data()), boxPen});
    static constexpr const char *paddings[] = {"leftPadding", "rightPadding", "topPadding",
                                               "bottomPadding"};
    const std::optional<double> padding = doubleAttr(box, "padding");
    for (int i = 0; i < 4; ++i) {
        if (const std::optional<double> side = doubleAttr(box, paddings[i]))
            s.paddings[i] = side;
        else if (padding)
            s.paddings[i] = padding;
    }
}

class Resolver {
public:
    explicit Resolver(const std::vector<pugi::xml_node> &styles) : styles_(styles)
    {
        resolved_.resize(styles.size());
        state_.assign(styles.size(), State::open);
        for (size_t i = 0; i < styles.size(); ++i) {
            const QString name = QString::fromUtf8(attribute(styles[i], "name").value());
            if (!index_.contains(name))
                index_.insert(name, i);
            if (is(attribute(styles[i], "isDefault").value(), "true"))
                defaultStyle_ = i;
        }
    }

    // Follows the chain of parents up to a resolved style (or the top, or a circle), then
    // resolves downwards; no length of chain exhausts the stack.
    const InheritedStyle &resolve(size_t i)
    {
        std::vector<size_t> chain;
        for (std::optional<size_t> at = i; at && state_[*at] == State::open; at = parentOf(*at)) {
            state_[*at] = State::visiting;
            chain.push_back(*at);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            InheritedStyle s;
            // A parent still being visited closes a circle: nothing is inherited from it.
            if (const std::optional<size_t> parent = parentOf(*it);
                parent && state_[*parent] == State::done)
                s = resolved_[*parent];
            setOwnValues(s, styles_[*it]);
            if (!s.penFallbackColor)
                s.penFallbackColor = s.foreColor;
            resolved_[*it] = std::move(s);
            state_[*it] = State::done;
        }
        return resolved_[i];
    }

private:
    enum class State { open, visiting, done };
    const std::vector<pugi::xml_node> &styles_;
    QHash<QString, size_t> index_;
    std::vector<InheritedStyle> resolved_;
    std::vector<State> state_;
    std::optional<size_t> defaultStyle_; // the last marked as the default, as the engine takes

    // The style it names as its parent; a style that names none inherits from the report's
    // default style, as the engine fills (a style marked default, whether or not the report
    // takes it as its default, from nothing).
    std::optional<size_t> parentOf(size_t i) const
    {
        const pugi::xml_attribute parent = attribute(styles_[i], "style");
        if (!parent)
            return is(attribute(styles_[i], "isDefault").value(), "true") ? std::nullopt
                                                                          : defaultStyle_;
        const auto found = index_.constFind(QString::fromUtf8(parent.value()));
        if (found == index_.cend())
            return std::nullopt;
        return *found;
    }
};

} // namespace

void setPenParts(InheritedStyle::Pen &pen, std::initializer_list<pugi::xml_node> nodes)
{
    const auto first = [&](const char *name) {
        for (pugi::xml_node node : nodes) {
            if (const pugi::xml_attribute attr = attribute(node, name))
                return attr;
        }
        return pugi::xml_attribute();
    };
    if (const pugi::xml_attribute width = first("lineWidth"))
        pen.width = doubleValue(width);
    if (const pugi::xml_attribute style = first("lineStyle"))
        pen.style = enumValue<PenLineStyle>(style).value_or(PenLineStyle::solid);
    if (const pugi::xml_attribute color = first("lineColor"))
        pen.color = colorValue(color);
}

QList<InheritedStyle> resolveStyleChains(const std::vector<pugi::xml_node> &styles)
{
    Resolver resolver(styles);
    QList<InheritedStyle> out;
    out.reserve(qsizetype(styles.size()));
    for (size_t i = 0; i < styles.size(); ++i)
        out.append(resolver.resolve(i));
    return out;
}

InheritedStyle heldBy(const ReportStyle &style)
{
    InheritedStyle s;
    s.foreColor = style.foreColor;
    s.backColor = style.backColor;
    s.fontName = style.fontName;
    s.fontSize = style.fontSize;
    s.isBold = style.isBold;
    s.isItalic = style.isItalic;
    s.isUnderline = style.isUnderline;
    s.pdfFontName = style.pdfFontName;
    s.pdfEncoding = style.pdfEncoding;
    s.isPdfEmbedded = style.isPdfEmbedded;
    s.textAlignment = style.textAlignment;
    return s;
}

namespace {

// The report fonts and the styles as the file will hold them, read back as the engine reads
// them: one element for each, or none of either when they do not read back.
void readBack(const QList<ReportStyle> &styles, const QStringList &reportFonts,
              pugi::xml_document &xml, std::vector<pugi::xml_node> &fonts,
              std::vector<pugi::xml_node> &nodes)
{
    QString text = u"<styles>\n"_s;
    for (const QString &font : reportFonts)
        text += font + u'\n';
    for (const ReportStyle &style : styles)
        appendStyle(text, style);
    text += u"</styles>\n"_s;
    const QByteArray utf8 = text.toUtf8();
    if (xml.load_buffer(utf8.constData(), size_t(utf8.size()), parseOptions, pugi::encoding_utf8)) {
        for (pugi::xml_node node : childrenNamed(xml.document_element(), "reportFont"))
            fonts.push_back(node);
        for (pugi::xml_node node : childrenNamed(xml.document_element(), "style"))
            nodes.push_back(node);
    }
    if (nodes.size() != size_t(styles.size()) || fonts.size() != size_t(reportFonts.size())) {
        fonts.clear();
        nodes.clear();
    }
}

// What the rule's model values set, for a rule that does not read back.
void setRuleValues(InheritedStyle &s, const ConditionalStyleRule &rule)
{
    const auto take = [](auto &value, const auto &set) {
        if (set)
            value = set;
    };
    take(s.fontName, rule.fontName);
    take(s.fontSize, rule.fontSize);
    take(s.isBold, rule.isBold);
    take(s.isItalic, rule.isItalic);
    take(s.isUnderline, rule.isUnderline);
    take(s.foreColor, rule.foreColor);
    take(s.backColor, rule.backColor);
    if (rule.backColor)
        s.isOpaque = true; // the writer makes a rule's fill opaque
}

} // namespace

QList<InheritedStyle> inheritedStyles(const QList<ReportStyle> &styles)
{
    return styleSources(styles, {}).styleChains;
}

QStringList reportFonts(const ReportDocument &document)
{
    QStringList fonts;
    for (const KeptXml::Child &child : document.kept.part({}).children) {
        const QStringView xml = QStringView(child.xml).trimmed();
        if (xml.startsWith(u"<reportFont") && xml.size() > 11 &&
            (xml[11].isSpace() || xml[11] == u'/' || xml[11] == u'>'))
            fonts.append(child.xml);
    }
    return fonts;
}

StyleSources styleSources(const QList<ReportStyle> &styles, const QStringList &reportFonts)
{
    StyleSources sources;
    pugi::xml_document xml;
    std::vector<pugi::xml_node> fonts, nodes;
    readBack(styles, reportFonts, xml, fonts, nodes);
    if (nodes.size() != size_t(styles.size())) {
        // Styles that do not read back give what the model holds of each; report fonts nothing.
        for (const ReportStyle &style : styles)
            sources.styleChains.append(heldBy(style));
        return sources;
    }
    std::vector<pugi::xml_node> all = fonts;
    all.insert(all.end(), nodes.begin(), nodes.end());
    const QList<InheritedStyle> chains = resolveStyleChains(all);
    for (size_t i = 0; i < fonts.size(); ++i) {
        sources.fonts.append(styleValues(fonts[i], chains[qsizetype(i)]));
        sources.fontChains.append(chains[qsizetype(i)]);
    }
    sources.styleChains = chains.sliced(qsizetype(fonts.size()));
    return sources;
}

const InheritedStyle *StyleSources::of(const ReportElement &element,
                                       const QList<ReportStyle> &styles) const
{
    const auto chainOf = [&](const ReportStyle *style) -> const InheritedStyle * {
        return style ? &styleChains.at(style - styles.constData()) : nullptr;
    };
    if (element.styleName)
        return chainOf(StyleChain::named(styles, *element.styleName));
    // A text whose font names a report font (or a style) takes that one.
    if (const QString *name = element.kept.part(u"textElement/font").attribute(u"reportFont")) {
        for (qsizetype i = 0; i < fonts.size(); ++i) {
            if (fonts.at(i).name == *name)
                return &fontChains.at(i);
        }
        if (const ReportStyle *style = StyleChain::named(styles, *name))
            return chainOf(style);
    }
    if (const ReportStyle *style = StyleChain::defaultStyle(styles))
        return chainOf(style);
    const qsizetype font = defaultFont();
    return font >= 0 ? &fontChains.at(font) : nullptr;
}

qsizetype StyleSources::defaultFont() const
{
    for (qsizetype i = fonts.size() - 1; i >= 0; --i) {
        if (fonts.at(i).isDefault)
            return i;
    }
    return -1;
}

QList<InheritedStyle> conditionedStyles(const QList<ReportStyle> &styles)
{
    pugi::xml_document xml;
    std::vector<pugi::xml_node> fonts, nodes;
    readBack(styles, {}, xml, fonts, nodes);
    QHash<QString, qsizetype> index; // the first style of each name, as the engine finds it
    for (qsizetype i = 0; i < styles.size(); ++i) {
        if (!index.contains(styles.at(i).name))
            index.insert(styles.at(i).name, i);
    }
    QList<InheritedStyle> out;
    out.reserve(styles.size());
    for (qsizetype i = 0; i < styles.size(); ++i) {
        InheritedStyle s;
        // The engine collects the conditions of the style and of each parent it names, up to
        // one that names none (not on to the default style) or closes a circle.
        QList<qsizetype> seen;
        for (std::optional<qsizetype> at = i; at && !seen.contains(*at);) {
            seen.append(*at);
            if (nodes.empty()) {
                for (const ConditionalStyleRule &rule : styles.at(*at).conditionalStyles)
                    setRuleValues(s, rule);
            } else {
                for (pugi::xml_node rule : childrenNamed(nodes[size_t(*at)], "conditionalStyle"))
                    setOwnValues(s, childNamed(rule, "style"));
            }
            const QString *parent = styles.at(*at).kept.part({}).attribute(u"style");
            at = parent && index.contains(*parent) ? std::optional(index.value(*parent))
                                                   : std::nullopt;
        }
        out.append(std::move(s));
    }
    return out;
}

} // namespace JrxmlCodec
