// The values an element read from a file inherits from its style, and those a style inherits
// from its parent style: the reader took them from the style where the file left the attribute
// out, and noted each as absent so that the writer leaves it out again. When the style they
// inherit from changes (it is edited or deleted, or another becomes the report's default style),
// those values are taken again from the new source, so that the designer shows what the engine
// prints. A value changed since it was read is written, so it is the holder's own from then on.

#include "JrxmlCodec.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"
#include "RawEnum.h"

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

QString flag(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

KeptXml::AbsentAttribute *absentNamed(KeptXml &part, QStringView name)
{
    for (KeptXml::AbsentAttribute &absent : part.absent) {
        if (absent.name == name)
            return &absent;
    }
    return nullptr;
}

// One part of an element's or a style's kept content, changed and put back.
class InheritedPart {
public:
    InheritedPart(KeptParts &kept, const QString &key)
        : kept_(kept), key_(key), part_(kept.part(key))
    {
    }
    // Put back only when changed: the holder's kept content stays shared otherwise.
    ~InheritedPart()
    {
        if (!(part_ == kept_.part(key_)))
            kept_.setPart(key_, std::move(part_));
    }

    KeptXml &part() { return part_; }

    // A value the element inherits (the writer leaves it out: `held`, its text, is the one
    // noted) takes `value`, written as `text`; one it sets itself stays (also one kept as written
    // that the model has no case for, "Justified"), and so does one changed since, which is its
    // own from now on: then true.
    template <typename T>
    bool inherit(const char *name, T &field, const T &value, const QString &held, QString text)
    {
        const QString attr = literalText(name);
        KeptXml::AbsentAttribute *absent = absentNamed(part_, attr);
        if (!absent || part_.attribute(attr))
            return false;
        if (absent->value != held) {
            forget(attr);
            return true;
        }
        field = value;
        absent->value = std::move(text);
        return false;
    }

    // An optional value the element has none of is inherited too: the file could not have set
    // it. A new value stays out of the file as the reader's would.
    void inheritOptional(const char *name, std::optional<QString> &field,
                         const std::optional<QString> &value)
    {
        const QString attr = literalText(name);
        if (!inherits(attr, field))
            return;
        forget(attr);
        field = value;
        if (field)
            appendAbsent(part_, {attr, *field, {}});
    }

    // Whether the optional value `field`, written as it is, is inherited: it has none, or the
    // one noted. One changed since is the holder's own from now on.
    bool inherits(const QString &attr, const std::optional<QString> &field)
    {
        const KeptXml::AbsentAttribute *absent = absentNamed(part_, attr);
        if (!field)
            return true;
        if (absent && absent->value == *field)
            return true;
        forget(attr);
        return false;
    }

    void forget(const QString &attr)
    {
        part_.absent.removeIf([&](const KeptXml::AbsentAttribute &a) { return a.name == attr; });
    }

    // A value left to the style whatever the holder set: it takes `value`, noted as inherited
    // (written as `text`), and no attribute of that name of its own stays.
    template <typename T>
    void leave(const char *name, T &field, const T &value, const QString &text)
    {
        const QString attr = literalText(name);
        field = value;
        part_.removeAttribute(attr);
        note({attr, text, {}});
    }
    // The same for a colour; where the style gives none, the holder has none either.
    void leaveColor(const char *name, std::optional<ElementColor> &field,
                    const std::optional<ElementColor> &value)
    {
        const QString attr = literalText(name);
        field = value;
        part_.removeAttribute(attr);
        if (field)
            note({attr, field->hex, {}});
        else
            forget(attr);
    }
    // Notes the value, which the writer leaves out (`unwritten`), as inherited where the file
    // says nothing of it: neither it nor a note of it is kept.
    void leftOut(const char *name, const QString &held, bool unwritten)
    {
        const QString attr = literalText(name);
        if (unwritten && !part_.attribute(attr) && !absentNamed(part_, attr))
            appendAbsent(part_, {attr, held, {}});
    }
    // Notes the attribute as inherited, in the place of a note it has (so that a second note of
    // the same leaves the part as it is).
    void note(KeptXml::AbsentAttribute absent)
    {
        if (KeptXml::AbsentAttribute *held = absentNamed(part_, absent.name))
            *held = std::move(absent);
        else
            appendAbsent(part_, std::move(absent));
    }

private:
    KeptParts &kept_;
    QString key_;
    KeptXml part_;
};

// What a holder takes from the style it inherits from: the engine's defaults where that style
// (or its chain) sets nothing, and where there is none.
struct Given {
    std::optional<ElementColor> foreColor;
    std::optional<ElementColor> backColor;
    QString fontName = u"SansSerif"_s;
    double fontSize = 10;
    bool isBold = false;
    bool isItalic = false;
    bool isUnderline = false;
    std::optional<QString> pdfFontName;
    std::optional<QString> pdfEncoding;
    bool isPdfEmbedded = false;
    std::optional<bool> isOpaque; // the fill mode
    TextAlignment textAlignment = TextAlignment::left;
    VerticalTextAlignment verticalAlignment = VerticalTextAlignment::top;
    // The line pen of lines and shapes: its width, and the colour it draws in (none: the
    // element's own fore colour).
    double lineWidth = 1.0;
    std::optional<ElementColor> lineColor;
};

Given givenBy(const InheritedStyle *style)
{
    Given g;
    if (!style)
        return g;
    g.foreColor = style->foreColor;
    g.backColor = style->backColor;
    g.fontName = style->fontName.value_or(g.fontName);
    g.fontSize = style->fontSize.value_or(g.fontSize);
    g.isBold = style->isBold.value_or(false);
    g.isItalic = style->isItalic.value_or(false);
    g.isUnderline = style->isUnderline.value_or(false);
    g.pdfFontName = style->pdfFontName;
    g.pdfEncoding = style->pdfEncoding;
    g.isPdfEmbedded = style->isPdfEmbedded.value_or(false);
    g.isOpaque = style->isOpaque;
    g.textAlignment = style->textAlignment.value_or(g.textAlignment);
    g.verticalAlignment = style->verticalAlignment.value_or(g.verticalAlignment);
    g.lineWidth = style->linePen.width.value_or(g.lineWidth);
    g.lineColor = style->linePen.color ? style->linePen.color : style->penFallbackColor;
    return g;
}

// The colours in the kept part `key` (the fore colour only with `foreColor`); the fill's mode
// goes with the back colour. An element's fill (`kind` given) is, as the reader takes it, its back
// colour (its own, else its style's, else white) while it is opaque by its own mode, else by its
// style's, else by its kind, and none while it is transparent; a line or break fills nothing and
// keeps the colour as given. A back colour the reader kept as written, the element filling
// nothing then, is its own.
void inheritColors(KeptParts &kept, const QString &key, std::optional<ElementColor> *foreColor,
                   std::optional<ElementColor> &backColor, const Given &given,
                   const ElementKind *kind = nullptr)
{
    InheritedPart position(kept, key);
    KeptXml &part = position.part();
    const auto inherits = [&](const QString &attr, const std::optional<ElementColor> &field) {
        return position.inherits(attr, field ? std::optional(field->hex) : std::nullopt);
    };
    if (foreColor && inherits(u"forecolor"_s, *foreColor)) {
        position.forget(u"forecolor"_s);
        *foreColor = given.foreColor;
        if (*foreColor)
            appendAbsent(part, {u"forecolor"_s, (*foreColor)->hex, {}});
    }
    const QString back = u"backcolor"_s;
    const QString *keptBack = kind ? part.attribute(back) : nullptr;
    if (!(keptBack && (!backColor || backColor->hex == *keptBack)) && !inherits(back, backColor))
        return;
    position.forget(back);
    const QString mode = u"mode"_s;
    position.forget(mode);
    const QString *ownMode = part.attribute(mode);
    std::optional<ElementColor> color =
        keptBack ? std::optional(ElementColor{*keptBack}) : given.backColor;
    if (kind && !kind->is<ElementKind::Line>() && !kind->is<ElementKind::ReportBreak>()) {
        const bool opaque =
            ownMode ? *ownMode == u"Opaque" : given.isOpaque.value_or(isOpaqueByDefault(*kind));
        color = !opaque ? std::nullopt : color ? color : ElementColor{u"#FFFFFF"_s};
    }
    backColor = color;
    if (!backColor)
        return;
    if (!keptBack)
        appendAbsent(part, {back, backColor->hex, {}});
    // Without a mode of its own the fill goes with the inherited back colour, as on reading.
    if (!ownMode)
        appendAbsent(part, {mode, u"Opaque"_s, {{back, backColor->hex}}});
}

// The colour a line or shape shows is its pen's: its own, else the one its style chain gives,
// else the element's own fore colour, else none (black), as the reader takes it. Only the pen's
// colour follows the style: the fore colour the element writes stays what it was, so that a
// style edit changes no attribute of the element's. A pen colour changed since it was read is
// the pen's own, spelled out: the writer writes a pen colour only where it differs from the
// inherited one.
void inheritPenColor(ReportElement &e, const Given &given)
{
    InheritedPart pen(e.kept, u"graphicElement/pen"_s);
    const QString attr = u"lineColor"_s;
    if (pen.part().attribute(attr))
        return; // its own, which the writer writes as the element holds it
    if (const KeptXml::AbsentAttribute *absent = absentNamed(pen.part(), attr);
        absent && e.foreColor && absent->value != e.foreColor->hex) {
        pen.forget(attr);
        pen.part().attributes.prepend({attr, e.foreColor->hex});
        return;
    }
    // The fore colour the position line writes: one kept as written, else the one the element
    // holds unless that is noted as left out.
    InheritedPart position(e.kept, u"reportElement"_s);
    const QString fore = u"forecolor"_s;
    const QString *kept = position.part().attribute(fore);
    const KeptXml::AbsentAttribute *foreAbsent = absentNamed(position.part(), fore);
    const bool heldIsWritten =
        !kept && e.foreColor && !(foreAbsent && foreAbsent->value == e.foreColor->hex);
    const std::optional<ElementColor> own = kept            ? std::optional(ElementColor{*kept})
                                            : heldIsWritten ? e.foreColor
                                                            : std::nullopt;
    const std::optional<ElementColor> shown = given.lineColor ? given.lineColor : own;
    if (heldIsWritten && shown != own) {
        // The element's own fore colour stays written as it was.
        position.forget(fore);
        position.part().attributes.append({fore, own->hex});
    } else if (!kept && !heldIsWritten) {
        // No fore colour of its own: the one it shows stays out of the file.
        if (shown)
            position.note({fore, shown->hex, {}});
        else
            position.forget(fore);
    }
    if (shown)
        pen.note({attr, shown->hex, {}});
    else
        pen.forget(attr);
    e.foreColor = shown;
}

// The font a text element or a style inherits, in the kept part `key` (`size` names the font
// size there).
template <typename Holder>
void inheritFont(Holder &h, KeptParts &kept, const QString &key, const char *size,
                 const Given &given)
{
    InheritedPart font(kept, key);
    font.inherit("fontName", h.fontName, given.fontName, h.fontName, given.fontName);
    font.inherit(size, h.fontSize, given.fontSize, sizeNumber(h.fontSize),
                 sizeNumber(given.fontSize));
    font.inherit("isBold", h.isBold, given.isBold, flag(h.isBold), flag(given.isBold));
    font.inherit("isItalic", h.isItalic, given.isItalic, flag(h.isItalic), flag(given.isItalic));
    font.inherit("isUnderline", h.isUnderline, given.isUnderline, flag(h.isUnderline),
                 flag(given.isUnderline));
    font.inheritOptional("pdfFontName", h.pdfFontName, given.pdfFontName);
    font.inheritOptional("pdfEncoding", h.pdfEncoding, given.pdfEncoding);
    // Only a file without the flag has it noted: it stays out while it is true, and false is
    // never written, so it is inherited either way.
    const QString embedded = u"true"_s;
    font.inherit("isPdfEmbedded", h.isPdfEmbedded, given.isPdfEmbedded, embedded, embedded);
}

// The paddings: a side the element leaves to its style takes what the style now gives (0 where it
// gives none). A side is left to the style where the reader noted it inherited, or where the
// element's box never set it (0, with no side or box padding of its own).
void inheritPaddings(ReportElement &e, const InheritedStyle *style)
{
    static constexpr const char *names[] = {"leftPadding", "rightPadding", "topPadding",
                                            "bottomPadding"};
    double *const values[] = {&e.paddingLeft, &e.paddingRight, &e.paddingTop, &e.paddingBottom};
    InheritedPart box(e.kept, u"box"_s);
    if (box.part().attribute(u"padding"_s))
        return;
    for (int i = 0; i < 4; ++i) {
        const QString attr = literalText(names[i]);
        const double given = style && style->paddings[i] ? *style->paddings[i] : 0.0;
        if (absentNamed(box.part(), attr)) {
            box.inherit(names[i], *values[i], given, wholeNumber(*values[i]), wholeNumber(given));
        } else if (*values[i] == 0 && !box.part().attribute(attr) && given != 0) {
            *values[i] = given;
            appendAbsent(box.part(), {attr, wholeNumber(given), {}});
        }
    }
}

// The box's own pen, which the element keeps as written: what its sides take where they say
// nothing themselves.
InheritedStyle::Pen boxPenOf(const KeptXml &box)
{
    InheritedStyle::Pen pen;
    for (const KeptXml::Child &child : box.children) {
        pugi::xml_document xml;
        const QByteArray text = child.xml.toUtf8();
        if (!xml.load_buffer(text.constData(), size_t(text.size()), parseOptions,
                             pugi::encoding_utf8))
            continue;
        const pugi::xml_node node = xml.document_element();
        if (is(localName(node.name()), "pen"))
            setPenParts(pen, {node});
    }
    return pen;
}

// The box's sides: what a side says nothing of itself (noted as inherited) it takes from the
// box's own pen, else from its style chain's side, as the reader takes it; a side the file did
// not have that then takes nothing is none, and one it gains stays out of the file while it
// holds only what it inherits.
void inheritBoxPens(ReportElement &e, const InheritedStyle *style)
{
    if (!hasBox(e.kind))
        return;
    const InheritedStyle::Pen *given = style && style->hasBox ? style->sides : nullptr;
    InheritedPart box(e.kept, u"box"_s);
    const InheritedStyle::Pen boxPen = boxPenOf(box.part());
    std::optional<BoxSidePen> *const pens[] = {&e.topPen, &e.leftPen, &e.bottomPen, &e.rightPen};
    for (int i = 0; i < 4; ++i) {
        std::optional<BoxSidePen> &pen = *pens[i];
        InheritedPart side(e.kept, boxPenParts[i].toString());
        const QString tag = QString(boxPenTags[i]);
        const bool fileHadNone = !pen || box.part().absentChildren.contains(tag);
        // What the side sets itself: each part not noted as inherited.
        const auto noted = [&](const QString &attr, const QString &value) {
            const KeptXml::AbsentAttribute *absent = absentNamed(side.part(), attr);
            return absent && absent->with.isEmpty() && absent->value == value;
        };
        InheritedStyle::Pen own;
        if (pen) {
            if (!noted(u"lineWidth"_s, decimalNumber(pen->width)))
                own.width = pen->width;
            if (pen->color && !noted(u"lineColor"_s, pen->color->hex))
                own.color = pen->color;
            if (pen->style != PenLineStyle::solid ? !noted(u"lineStyle"_s, rawValue(pen->style))
                                                  : bool(side.part().attribute(u"lineStyle")))
                own.style = pen->style;
        }
        InheritedStyle::Pen taken = given ? given[i] : InheritedStyle::Pen{};
        const InheritedStyle::Pen *const overs[] = {&boxPen, &own};
        for (const InheritedStyle::Pen *over : overs) {
            if (over->width)
                taken.width = over->width;
            if (over->color)
                taken.color = over->color;
            if (over->style)
                taken.style = over->style;
        }
        if (fileHadNone && taken.isEmpty()) {
            pen.reset();
            side.part().absent.clear();
            box.part().absentChildren.removeAll(tag);
            continue;
        }
        pen = BoxSidePen{taken.width.value_or(0), taken.color,
                         taken.style.value_or(PenLineStyle::solid)};
        if (fileHadNone && !box.part().absentChildren.contains(tag))
            box.part().absentChildren.append(tag);
        if (!own.width)
            side.note({u"lineWidth"_s, decimalNumber(pen->width), {}});
        if (!own.color) {
            if (pen->color)
                side.note({u"lineColor"_s, pen->color->hex, {}});
            else
                side.forget(u"lineColor"_s);
        }
        if (!own.style) {
            if (pen->style != PenLineStyle::solid)
                side.note({u"lineStyle"_s, rawValue(pen->style), {}});
            else
                side.forget(u"lineStyle"_s);
        }
    }
    // The frame's border width stands on its top side, as read.
    if (e.kind.is<ElementKind::Frame>() && e.topPen)
        e.penWidth = e.topPen->width;
}

} // namespace

void inheritStyle(ReportElement &e, const InheritedStyle *style)
{
    inheritPaddings(e, style);
    inheritBoxPens(e, style);
    const Given given = givenBy(style);
    using K = ElementKind;
    const bool outlined =
        e.kind.is<K::Line>() || e.kind.is<K::Rectangle>() || e.kind.is<K::Ellipse>();
    inheritColors(e.kept, u"reportElement"_s, outlined ? nullptr : &e.foreColor, e.backColor, given,
                  &e.kind);
    if (outlined)
        inheritPenColor(e, given);
    if (e.kind.isTextKind()) {
        {
            InheritedPart text(e.kept, u"textElement"_s);
            text.inherit("textAlignment", e.textAlignment, given.textAlignment,
                         rawValue(e.textAlignment), rawValue(given.textAlignment));
            // Top is written only where it overrides an inherited alignment: once its own, it
            // is spelled out. Unwritten (an element the designer made), it is inherited.
            text.leftOut("verticalAlignment", rawValue(e.verticalAlignment),
                         e.verticalAlignment == VerticalTextAlignment::top &&
                             given.verticalAlignment != VerticalTextAlignment::top);
            if (text.inherit("verticalAlignment", e.verticalAlignment, given.verticalAlignment,
                             rawValue(e.verticalAlignment), rawValue(given.verticalAlignment)) &&
                e.verticalAlignment == VerticalTextAlignment::top)
                text.part().attributes.append(
                    {u"verticalAlignment"_s, rawValue(VerticalTextAlignment::top)});
        }
        inheritFont(e, e.kept, u"textElement/font"_s, "size", given);
    }
    InheritedPart pen(e.kept, u"graphicElement/pen"_s);
    pen.inherit("lineWidth", e.penWidth, given.lineWidth, decimalNumber(e.penWidth),
                decimalNumber(given.lineWidth));
}

void leaveToConditions(ReportElement &e, const InheritedStyle &conditioned,
                       const InheritedStyle &style)
{
    const Given given = givenBy(&style);
    if (e.kind.isTextKind()) {
        if (conditioned.textAlignment) {
            InheritedPart text(e.kept, u"textElement"_s);
            text.leave("textAlignment", e.textAlignment, given.textAlignment,
                       rawValue(given.textAlignment));
        }
        InheritedPart font(e.kept, u"textElement/font"_s);
        if (conditioned.fontName)
            font.leave("fontName", e.fontName, given.fontName, given.fontName);
        if (conditioned.fontSize)
            font.leave("size", e.fontSize, given.fontSize, sizeNumber(given.fontSize));
        if (conditioned.isBold)
            font.leave("isBold", e.isBold, given.isBold, flag(given.isBold));
        if (conditioned.isItalic)
            font.leave("isItalic", e.isItalic, given.isItalic, flag(given.isItalic));
        if (conditioned.isUnderline)
            font.leave("isUnderline", e.isUnderline, given.isUnderline, flag(given.isUnderline));
    }
    using K = ElementKind;
    const bool outlined =
        e.kind.is<K::Line>() || e.kind.is<K::Rectangle>() || e.kind.is<K::Ellipse>();
    InheritedPart position(e.kept, u"reportElement"_s);
    if (conditioned.foreColor) {
        // A line or shape shows its pen's colour: the one its style gives it, and its pen has
        // none of its own.
        position.leaveColor("forecolor", e.foreColor, outlined ? given.lineColor : given.foreColor);
        if (outlined) {
            InheritedPart pen(e.kept, u"graphicElement/pen"_s);
            pen.part().removeAttribute(u"lineColor");
            // A pen noted as inheriting its colour keeps the note; without one, the position
            // line's colour draws it.
            if (absentNamed(pen.part(), u"lineColor")) {
                if (e.foreColor)
                    pen.note({u"lineColor"_s, e.foreColor->hex, {}});
                else
                    pen.forget(u"lineColor"_s);
            }
        }
    }
    if (conditioned.backColor || conditioned.isOpaque) {
        // The fill's mode goes with the back colour, as on reading: out while that is.
        position.leaveColor("backcolor", e.backColor, given.backColor);
        position.part().removeAttribute(u"mode");
        if (e.backColor)
            position.note({u"mode"_s, u"Opaque"_s, {{u"backcolor"_s, e.backColor->hex}}});
        else
            position.forget(u"mode"_s);
    }
    if (outlined && conditioned.linePen.width) {
        InheritedPart pen(e.kept, u"graphicElement/pen"_s);
        pen.leave("lineWidth", e.penWidth, given.lineWidth, decimalNumber(given.lineWidth));
    }
}

void inheritParentStyle(ReportStyle &s, const ReportStyle *parent)
{
    const std::optional<InheritedStyle> held =
        parent ? std::optional(heldBy(*parent)) : std::nullopt;
    const Given given = givenBy(held ? &*held : nullptr);
    inheritColors(s.kept, QString(), &s.foreColor, s.backColor, given);
    inheritFont(s, s.kept, QString(), "fontSize", given);
    InheritedPart own(s.kept, QString());
    // Left is written only where it overrides what the style inherits: once its own, it is
    // spelled out. Unwritten (a style the designer added), it is inherited.
    if (!own.part().attribute(u"hTextAlign"))
        own.leftOut("hAlign", rawValue(s.textAlignment),
                    s.textAlignment == TextAlignment::left &&
                        given.textAlignment != TextAlignment::left);
    if (own.inherit("hAlign", s.textAlignment, given.textAlignment, rawValue(s.textAlignment),
                    rawValue(given.textAlignment)) &&
        s.textAlignment == TextAlignment::left)
        own.part().attributes.append({u"hAlign"_s, rawValue(TextAlignment::left)});
}

} // namespace JrxmlCodec
