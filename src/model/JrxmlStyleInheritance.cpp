// The values an element read from a file inherits from its style: the reader took them from the
// style where the file left the attribute out, and noted each as absent so that the writer
// leaves it out again. When the style the element inherits from changes (its style is deleted,
// or the report's default style is), those values are taken again from the new source, so
// that the element shows what the engine prints for it.

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

// One part of the element's kept content, changed and put back.
class InheritedPart {
public:
    InheritedPart(ReportElement &element, const QString &key)
        : element_(element), key_(key), part_(element.kept.part(key))
    {
    }
    ~InheritedPart() { element_.kept.setPart(key_, std::move(part_)); }

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
    ReportElement &element_;
    QString key_;
    KeptXml part_;
};

void inheritColors(ReportElement &e, const ReportStyle *style)
{
    InheritedPart position(e, u"reportElement"_s);
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
    inheritColor("forecolor", e.foreColor, style ? style->foreColor : std::nullopt);
    if (!inheritColor("backcolor", e.backColor, style ? style->backColor : std::nullopt))
        return;
    // Without a mode of its own the fill goes with the inherited back colour, as on reading.
    const QString mode = u"mode"_s;
    part.absent.removeIf([&](const KeptXml::AbsentAttribute &a) { return a.name == mode; });
    if (e.backColor && !part.attribute(mode))
        appendAbsent(part, {mode, u"Opaque"_s, {{u"backcolor"_s, e.backColor->hex}}});
}

} // namespace

void inheritStyle(ReportElement &e, const ReportStyle *style)
{
    inheritColors(e, style);
    if (e.kind.isTextKind()) {
        {
            InheritedPart text(e, u"textElement"_s);
            const TextAlignment alignment = style ? style->textAlignment : TextAlignment::left;
            text.inherit("textAlignment", e.textAlignment, alignment, rawValue(alignment));
        }
        InheritedPart font(e, u"textElement/font"_s);
        const QString name = style ? style->fontName : u"SansSerif"_s;
        font.inherit("fontName", e.fontName, name, name);
        const double size = style ? style->fontSize : 10.0;
        font.inherit("size", e.fontSize, size, sizeNumber(size));
        const bool bold = style && style->isBold;
        font.inherit("isBold", e.isBold, bold, flag(bold));
        const bool italic = style && style->isItalic;
        font.inherit("isItalic", e.isItalic, italic, flag(italic));
        const bool underline = style && style->isUnderline;
        font.inherit("isUnderline", e.isUnderline, underline, flag(underline));
        font.inheritOptional("pdfFontName", e.pdfFontName,
                             style ? style->pdfFontName : std::nullopt);
        font.inheritOptional("pdfEncoding", e.pdfEncoding,
                             style ? style->pdfEncoding : std::nullopt);
        // Only a file without the flag has it noted: it stays out while it is true.
        font.inherit("isPdfEmbedded", e.isPdfEmbedded, style && style->isPdfEmbedded, u"true"_s);
    }
    InheritedPart pen(e, u"graphicElement/pen"_s);
    const double width = style ? style->penWidth : 1.0;
    pen.inherit("lineWidth", e.penWidth, width, decimalNumber(width));
}

} // namespace JrxmlCodec
