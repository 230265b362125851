// The writer of the data-definition sections.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

QStringView trueOrFalse(bool value)
{
    return value ? u"true" : u"false";
}

void appendGroup(QString &out, const ReportGroup &g, const QList<ReportStyle> &styles)
{
    out += indent(4) + "<group"_L1;
    appendAttr(out, "name"_L1, g.name);
    appendRawAttr(out, "isStartNewPage"_L1, trueOrFalse(g.isStartNewPage));
    appendRawAttr(out, "isResetPageNumber"_L1, trueOrFalse(g.isResetPageNumber));
    if (g.isReprintHeaderOnEachPage)
        appendRawAttr(out, "isReprintHeaderOnEachPage"_L1, u"true");
    if (g.isKeepTogether)
        appendRawAttr(out, "keepTogether"_L1, u"true");
    if (g.isStartNewColumn)
        appendRawAttr(out, "isStartNewColumn"_L1, u"true");
    if (g.footerPosition != GroupFooterPosition::normal)
        appendRawAttr(out, "footerPosition"_L1, rawValue(g.footerPosition));
    out += ">\n"_L1 + indent(8) + "<groupExpression>"_L1;
    appendCData(out, g.expression);
    out += "</groupExpression>\n"_L1;
    appendGroupBands(out, g, styles);
    out += indent(4) + "</group>\n\n"_L1;
}

} // namespace

void appendDataDefinitions(QString &out, const ReportDocument &d)
{
    for (const ReportGroup &group : d.groups)
        appendGroup(out, group, d.styles);
}

} // namespace JrxmlCodec
