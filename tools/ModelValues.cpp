#include "ModelValues.h"

#include "model/JrxmlCodec.h"

#include <QLocale>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace modelvalues {

namespace {

QString number(double value)
{
    return value == 0 ? u"0"_s : QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString flag(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

// A colour as the engine prints it: "#RRGGBB" in capitals; a text that is not one as written.
QString color(const ElementColor &value)
{
    static const QRegularExpression hex(u"^#[0-9A-Fa-f]{6}$"_s);
    return hex.match(value.hex).hasMatch() ? value.hex.toUpper() : value.hex;
}

QString color(const std::optional<ElementColor> &value, const QString &unset)
{
    return value ? color(*value) : unset;
}

class Lines {
public:
    void put(const QString &place, QStringView name, const QString &value)
    {
        out_ += place + u'\t' + name + u'\t' + value + u'\n';
    }
    void put(const QString &place, QStringView name, double value)
    {
        put(place, name, number(value));
    }
    void putFlag(const QString &place, QStringView name, bool value)
    {
        put(place, name, flag(value));
    }
    QString text() const { return out_; }

private:
    QString out_;
};

QString kindName(const ElementKind &kind)
{
    using K = ElementKind;
    if (kind.is<K::StaticText>())
        return u"staticText"_s;
    if (kind.is<K::TextField>())
        return u"textField"_s;
    if (kind.is<K::Image>())
        return u"image"_s;
    if (kind.is<K::Subreport>())
        return u"subreport"_s;
    if (kind.is<K::Frame>())
        return u"frame"_s;
    if (kind.is<K::List>())
        return u"list"_s;
    if (kind.is<K::Table>())
        return u"table"_s;
    if (kind.is<K::ReportBreak>())
        return u"break"_s;
    if (kind.is<K::Chart>())
        return u"chart"_s;
    if (kind.is<K::Crosstab>())
        return u"crosstab"_s;
    if (kind.is<K::ComponentPlaceholder>())
        return u"component"_s;
    if (kind.is<K::GenericElement>())
        return u"genericElement"_s;
    if (kind.is<K::Ellipse>())
        return u"ellipse"_s;
    if (kind.is<K::Line>())
        return u"line"_s;
    return u"rectangle"_s;
}

class Writer {
public:
    void document(const ReportDocument &d);
    QString text() const { return lines_.text(); }

private:
    void dataset(const QString &place, const QList<ReportParameter> &parameters,
                 const QString &queryString, const QString &queryLanguage,
                 const QList<ReportField> &fields, const QList<ReportVariable> &variables);
    void style(const ReportStyle &s);
    void band(const QString &place, double height, const KeptParts &kept, const QString &keptKey,
              const ElementList &elements);
    void elements(const QString &place, const ElementList &elements);
    void element(const QString &place, const ReportElement &e);
    void column(const QString &place, const ReportTableColumn &c);
    void cell(const QString &place, double height, const SharedOptional<ReportElement> &element);
    void pen(const QString &place, const QString &name, double width, const QString &style,
             const QString &color);
    void box(const QString &place, const ReportElement &e);

    Lines lines_;
};

void Writer::document(const ReportDocument &d)
{
    const QString report = u"report"_s;
    lines_.put(report, u"pageWidth", d.pageWidth);
    lines_.put(report, u"pageHeight", d.pageHeight);
    lines_.put(report, u"columnWidth", d.columnWidth);
    lines_.put(report, u"leftMargin", d.leftMargin);
    lines_.put(report, u"rightMargin", d.rightMargin);
    lines_.put(report, u"topMargin", d.topMargin);
    lines_.put(report, u"bottomMargin", d.bottomMargin);
    lines_.put(report, u"columnCount", QString::number(d.columnCount));
    lines_.put(report, u"columnSpacing", d.columnSpacing);
    lines_.put(report, u"printOrder", rawValue(d.printOrder));
    lines_.put(report, u"whenNoDataType", rawValue(d.whenNoDataType));
    lines_.putFlag(report, u"isFloatColumnFooter", d.isFloatColumnFooter);
    lines_.putFlag(report, u"isSummaryNewPage", d.isSummaryNewPage);
    lines_.putFlag(report, u"isSummaryWithPageHeaderAndFooter", d.isSummaryWithPageHeaderAndFooter);
    lines_.put(report, u"language", d.language);
    dataset(report, d.parameters, d.queryString, d.queryLanguage, d.fields, d.variables);
    for (const ReportSortField &s : d.sortFields) {
        const QString place = "report/sortField:"_L1 + s.name;
        lines_.put(place, u"order", rawValue(s.order));
        lines_.put(place, u"type", rawValue(s.type));
    }
    for (const ReportScriptlet &s : d.scriptlets)
        lines_.put("scriptlet:"_L1 + s.name, u"class", s.className);
    // The report fonts of older reports are styles to the engine, declared before the others.
    for (const ReportStyle &s :
         JrxmlCodec::styleSources(d.styles, JrxmlCodec::reportFonts(d)).fonts)
        style(s);
    for (const ReportStyle &s : d.styles)
        style(s);
    for (const ReportSubDataset &s : d.subDatasets)
        dataset("dataset:"_L1 + s.name, s.parameters, s.queryString, s.queryLanguage, s.fields,
                s.variables);
    for (const ReportBand &b : d.bands) {
        if (b.type == BandType::columnFooter) {
            // The detail section stands between the column header and footer.
            if (!d.isDetailAbsent) {
                for (qsizetype i = 0; i < d.detailBands.size(); ++i)
                    band("detail#"_L1 + QString::number(i), d.detailBands[i].height,
                         d.detailBands[i].kept, {}, d.detailBands[i].elements);
            }
        }
        if (b.isPresent)
            band(rawValue(b.type), b.height, b.kept, {}, b.elements);
    }
    for (const ReportGroup &g : d.groups) {
        const QString place = "group:"_L1 + g.name;
        lines_.putFlag(place, u"isStartNewPage", g.isStartNewPage);
        lines_.putFlag(place, u"isStartNewColumn", g.isStartNewColumn);
        lines_.putFlag(place, u"isResetPageNumber", g.isResetPageNumber);
        lines_.putFlag(place, u"isReprintHeaderOnEachPage", g.isReprintHeaderOnEachPage);
        lines_.putFlag(place, u"keepTogether", g.isKeepTogether);
        lines_.put(place, u"footerPosition", rawValue(g.footerPosition));
        if (!g.isHeaderAbsent)
            band(place + "/header#0"_L1, g.headerHeight, g.kept, u"groupHeader/band"_s,
                 g.headerElements);
        if (!g.isFooterAbsent)
            band(place + "/footer#0"_L1, g.footerHeight, g.kept, u"groupFooter/band"_s,
                 g.footerElements);
    }
}

void Writer::dataset(const QString &place, const QList<ReportParameter> &parameters,
                     const QString &queryString, const QString &queryLanguage,
                     const QList<ReportField> &fields, const QList<ReportVariable> &variables)
{
    // The language of a query that runs.
    if (!queryString.trimmed().isEmpty())
        lines_.put(place, u"queryLanguage", queryLanguage);
    for (const ReportParameter &p : parameters) {
        const QString at = place + "/parameter:"_L1 + p.name;
        lines_.put(at, u"class", p.className);
        lines_.putFlag(at, u"isForPrompting", p.isForPrompting);
    }
    for (const ReportField &f : fields)
        lines_.put(place + "/field:"_L1 + f.name, u"class", f.className);
    for (const ReportVariable &v : variables) {
        const QString at = place + "/variable:"_L1 + v.name;
        lines_.put(at, u"class", v.className);
        lines_.put(at, u"calculation", v.calculation);
        lines_.put(at, u"resetType", v.resetType);
        lines_.put(at, u"incrementType", v.incrementType.value_or(u"None"_s));
    }
}

void Writer::style(const ReportStyle &s)
{
    const QString place = "style:"_L1 + s.name;
    lines_.putFlag(place, u"isDefault", s.isDefault);
    lines_.put(place, u"fontName", s.fontName);
    lines_.put(place, u"fontSize", s.fontSize);
    lines_.putFlag(place, u"isBold", s.isBold);
    lines_.putFlag(place, u"isItalic", s.isItalic);
    lines_.putFlag(place, u"isUnderline", s.isUnderline);
    lines_.put(place, u"textAlignment", rawValue(s.textAlignment));
    lines_.put(place, u"forecolor", color(s.foreColor, u"none"_s));
    lines_.put(place, u"backcolor", color(s.backColor, u"none"_s));
    lines_.put(place, u"boxPen.lineWidth", s.penWidth);
}

void Writer::band(const QString &place, double height, const KeptParts &kept,
                  const QString &keptKey, const ElementList &elements)
{
    lines_.put(place, u"height", height);
    const QString *split = kept.part(keptKey).attribute(u"splitType");
    lines_.put(place, u"splitType", split ? *split : u"none"_s);
    this->elements(place, elements);
}

void Writer::elements(const QString &place, const ElementList &list)
{
    qsizetype index = 0;
    for (const ReportElement &e : list)
        element(place + u'/' + QString::number(index++), e);
}

void Writer::element(const QString &place, const ReportElement &e)
{
    const ElementKind &kind = e.kind;
    lines_.put(place, u"kind", kindName(kind));
    lines_.put(place, u"x", e.x);
    lines_.put(place, u"y", e.y);
    lines_.put(place, u"width", e.printedWidth());
    lines_.put(place, u"height", e.printedHeight());
    const QString foreColor = color(e.foreColor, u"#000000"_s);
    lines_.put(place, u"forecolor", foreColor);
    // The canvas fills an element with its back colour when it has one; a line and a break fill
    // nothing.
    if (!kind.is<ElementKind::Line>() && !kind.is<ElementKind::ReportBreak>()) {
        lines_.put(place, u"mode", e.backColor ? u"Opaque"_s : u"Transparent"_s);
        if (e.backColor)
            lines_.put(place, u"backcolor", color(*e.backColor));
    }
    lines_.put(place, u"positionType", rawValue(e.positionType));
    lines_.put(place, u"stretchType", rawValue(e.stretchType));
    if (kind.isTextKind()) {
        lines_.put(place, u"fontName", e.fontName);
        lines_.put(place, u"fontSize", e.fontSize);
        lines_.putFlag(place, u"isBold", e.isBold);
        lines_.putFlag(place, u"isItalic", e.isItalic);
        lines_.putFlag(place, u"isUnderline", e.isUnderline);
        lines_.put(place, u"textAlignment", rawValue(e.textAlignment));
        lines_.put(place, u"verticalAlignment", rawValue(e.verticalAlignment));
        lines_.put(place, u"pdfFontName", e.pdfFontName.value_or(u"none"_s));
        lines_.put(place, u"pdfEncoding", e.pdfEncoding.value_or(u"none"_s));
        lines_.putFlag(place, u"isPdfEmbedded", e.isPdfEmbedded);
        lines_.put(place, u"markup", e.markup.value_or(u"none"_s));
    }
    if (kind.is<ElementKind::TextField>()) {
        lines_.putFlag(place, u"isBlankWhenNull", e.isBlankWhenNull);
        lines_.put(place, u"pattern", e.pattern.value_or(u"none"_s));
        lines_.put(place, u"evaluationTime", e.evaluationTime);
        // No setting shows as cutting the text, as the engine does.
        lines_.put(place, u"textAdjust", rawValue(e.textAdjust.value_or(TextAdjust::cutText)));
    }
    if (kind.is<ElementKind::Subreport>()) {
        lines_.putFlag(place, u"isUsingCache", e.isUsingCache);
        lines_.putFlag(place, u"runToBottom", e.runToBottom);
        lines_.put(place, u"overflowType", e.overflowType.value_or(u"none"_s));
    }
    using K = ElementKind;
    if (kind.is<K::Line>() || kind.is<K::Rectangle>() || kind.is<K::Ellipse>())
        pen(place, u"pen"_s, e.penWidth, u"Solid"_s, foreColor);
    if (kind.isTextKind() || kind.is<K::Image>() || kind.is<K::Frame>())
        box(place, e);
    if (const auto *list = kind.as<K::List>()) {
        lines_.put(place, u"printOrder", rawValue(list->printOrder));
        elements(place, list->children);
    } else if (const auto *frame = kind.as<K::Frame>()) {
        elements(place, frame->children);
    } else if (const auto *table = kind.as<K::Table>()) {
        lines_.put(place, u"whenNoDataType",
                   e.tableWhenNoDataType ? rawValue(*e.tableWhenNoDataType) : u"none"_s);
        for (qsizetype i = 0; i < table->columns.size(); ++i)
            column(place + "/column"_L1 + QString::number(i), table->columns[i]);
    }
}

void Writer::column(const QString &place, const ReportTableColumn &c)
{
    lines_.put(place, u"width", c.width);
    if (c.columnHeaderElement || c.columnHeaderFormatting != TableCellFormatting{})
        cell(place + ".header"_L1, c.columnHeaderHeight, c.columnHeaderElement);
    cell(place + ".detail"_L1, c.detailCellHeight, c.detailCellElement);
    if (c.columnFooterElement || c.columnFooterFormatting != TableCellFormatting{})
        cell(place + ".footer"_L1, c.columnFooterHeight, c.columnFooterElement);
}

void Writer::cell(const QString &place, double height, const SharedOptional<ReportElement> &element)
{
    lines_.put(place, u"height", height);
    if (element)
        this->element(place + "/0"_L1, *element);
}

void Writer::pen(const QString &place, const QString &name, double width, const QString &style,
                 const QString &color)
{
    lines_.put(place, QString(name + ".lineWidth"_L1), width);
    lines_.put(place, QString(name + ".lineStyle"_L1), style);
    lines_.put(place, QString(name + ".lineColor"_L1), color);
}

void Writer::box(const QString &place, const ReportElement &e)
{
    const QString foreColor = color(e.foreColor, u"#000000"_s);
    const struct {
        QString name;
        const std::optional<BoxSidePen> &pen;
    } sides[] = {{u"topPen"_s, e.topPen},
                 {u"leftPen"_s, e.leftPen},
                 {u"bottomPen"_s, e.bottomPen},
                 {u"rightPen"_s, e.rightPen}};
    for (const auto &[name, side] : sides) {
        if (side)
            pen(place, name, side->width, rawValue(side->style), color(side->color, foreColor));
        else
            pen(place, name, 0, u"Solid"_s, foreColor);
    }
    lines_.put(place, u"leftPadding", e.paddingLeft);
    lines_.put(place, u"rightPadding", e.paddingRight);
    lines_.put(place, u"topPadding", e.paddingTop);
    lines_.put(place, u"bottomPadding", e.paddingBottom);
}

} // namespace

QString describe(const ReportDocument &document)
{
    Writer writer;
    writer.document(document);
    return writer.text();
}

} // namespace modelvalues
