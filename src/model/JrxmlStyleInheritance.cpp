// The values an element read from a file inherits from its style, and those a style inherits
// from its parent style: the reader took them from the style where the file left the attribute
// out, and noted each as absent so that the writer leaves it out again. When the style they
// inherit from changes (it is deleted, or the report's default style is), those values are
// taken again from the new source, so that the designer shows what the engine prints.

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
    ~InheritedPart() { kept_.setPart(key_, std::move(part_)); }

    KeptXml &part() { return part_; }

    // A value the element inherits takes `value`, written as `text`; one it sets itself stays.
    template <typename T> void inherit(const char *name, T &field, const T &value, QString text)
    {
        if (KeptXml::AbsentAttribute *absent = absentNamed(part_, literalText(name))) {
            field = value;
            absent->value = std::move(text);
        }
    }

    // An optional value the element has none of is inherited too: the file could not have set
    // it. A new value stays out of the file as the reader's would.
    void inheritOptional(const char *name, std::optional<QString> &field,
                         const std::optional<QString> &value)
    {
        const QString attr = literalText(name);
        if (field && !absentNamed(part_, attr))
            return;
        part_.absent.removeIf([&](const KeptXml::AbsentAttribute &a) { return a.name == attr; });
        field = value;
        if (field)
            appendAbsent(part_, {attr, *field, {}});
    }

private:
    KeptParts &kept_;
    QString key_;
    KeptXml part_;
};

// The colours, from `style`, in the kept part `key`; the fill's mode goes with the back colour.
void inheritColors(KeptParts &kept, const QString &key, std::optional<ElementColor> &foreColor,
                   std::optional<ElementColor> &backColor, const ReportStyle *style)
{
    InheritedPart position(kept, key);
    KeptXml &part = position.part();
    const auto inheritColor = [&](const char *name, std::optional<ElementColor> &field,
                                  const std::optional<ElementColor> &value) {
        const QString attr = literalText(name);
        if (field && !absentNamed(part, attr))
            return false;
        part.absent.removeIf([&](const KeptXml::AbsentAttribute &a) { return a.name == attr; });
        field = value;
        if (field)
            appendAbsent(part, {attr, field->hex, {}});
        return true;
    };
    inheritColor("forecolor", foreColor, style ? style->foreColor : std::nullopt);
    if (!inheritColor("backcolor", backColor, style ? style->backColor : std::nullopt))
        return;
    // Without a mode of its own the fill goes with the inherited back colour, as on reading.
    const QString mode = u"mode"_s;
    part.absent.removeIf([&](const KeptXml::AbsentAttribute &a) { return a.name == mode; });
    if (backColor && !part.attribute(mode))
        appendAbsent(part, {mode, u"Opaque"_s, {{u"backcolor"_s, backColor->hex}}});
}

// The font a text element or a style inherits, in the kept part `key` (`size` names the font
// size there).
template <typename Holder>
void inheritFont(Holder &h, KeptParts &kept, const QString &key, const char *size,
                 const ReportStyle *style)
{
    InheritedPart font(kept, key);
    const QString name = style ? style->fontName : u"SansSerif"_s;
    font.inherit("fontName", h.fontName, name, name);
    const double fontSize = style ? style->fontSize : 10.0;
    font.inherit(size, h.fontSize, fontSize, sizeNumber(fontSize));
    const bool bold = style && style->isBold;
    font.inherit("isBold", h.isBold, bold, flag(bold));
    const bool italic = style && style->isItalic;
    font.inherit("isItalic", h.isItalic, italic, flag(italic));
    const bool underline = style && style->isUnderline;
    font.inherit("isUnderline", h.isUnderline, underline, flag(underline));
    font.inheritOptional("pdfFontName", h.pdfFontName, style ? style->pdfFontName : std::nullopt);
    font.inheritOptional("pdfEncoding", h.pdfEncoding, style ? style->pdfEncoding : std::nullopt);
    // Only a file without the flag has it noted: it stays out while it is true.
    font.inherit("isPdfEmbedded", h.isPdfEmbedded, style && style->isPdfEmbedded, u"true"_s);
}

} // namespace

void inheritStyle(ReportElement &e, const ReportStyle *style)
{
    inheritColors(e.kept, u"reportElement"_s, e.foreColor, e.backColor, style);
    if (e.kind.isTextKind()) {
        {
            InheritedPart text(e.kept, u"textElement"_s);
            const TextAlignment alignment = style ? style->textAlignment : TextAlignment::left;
            text.inherit("textAlignment", e.textAlignment, alignment, rawValue(alignment));
        }
        inheritFont(e, e.kept, u"textElement/font"_s, "size", style);
    }
    InheritedPart pen(e.kept, u"graphicElement/pen"_s);
    const double width = style ? style->penWidth : 1.0;
    pen.inherit("lineWidth", e.penWidth, width, decimalNumber(width));
}

void inheritParentStyle(ReportStyle &s, const ReportStyle *parent)
{
    inheritColors(s.kept, QString(), s.foreColor, s.backColor, parent);
    inheritFont(s, s.kept, QString(), "fontSize", parent);
    InheritedPart own(s.kept, QString());
    const TextAlignment alignment = parent ? parent->textAlignment : TextAlignment::left;
    own.inherit("hAlign", s.textAlignment, alignment, rawValue(alignment));
}

} // namespace JrxmlCodec
