#include "ReportParts.h"

using namespace Qt::StringLiterals;

namespace ReportParts {

bool isPartReport(const ReportDocument &document)
{
    const QString *type = document.kept.part({}).attribute(u"sectionType");
    return type && *type == u"Part"_s;
}

QString noElementsCaption(const QString &bandLabel)
{
    return bandLabel + u": parts only"_s;
}

QString noElementsMessage(const QString &bandLabel)
{
    return u"Nothing can be added to "_s + bandLabel +
           u": this report is made of parts, and a report of parts holds no band, so no section "
           u"of it takes elements. Its parts are kept as the file wrote them."_s;
}

QString noBandMessage(const QString &bandLabel)
{
    return bandLabel +
           u" has no band to give a height: this report is made of parts, and a report of parts "
           u"holds no band. Its parts are kept as the file wrote them."_s;
}

} // namespace ReportParts
