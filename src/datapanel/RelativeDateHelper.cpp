#include "datapanel/RelativeDateHelper.h"

using namespace Qt::StringLiterals;

namespace {

const QString opening = u"DateRangeBuilder(\""_s;
const QString closing = u"\").toDateRange()"_s;
const QString writtenPrefix = u"new net.sf.jasperreports.types.date.DateRangeBuilder(\""_s;
const QString fallback = u"TODAY"_s;

} // namespace

namespace RelativeDateHelper {

const QString dateRangeClass = u"net.sf.jasperreports.types.date.DateRange"_s;

bool appliesTo(const QString &className)
{
    return className == dateRangeClass;
}

const QStringList &keywords()
{
    static const QStringList list = {u"TODAY"_s,    u"YESTERDAY"_s, u"TOMORROW"_s, u"WEEK"_s,
                                     u"MONTH"_s,    u"YEAR"_s,      u"TODAY-7d"_s, u"TODAY-30d"_s,
                                     u"TODAY+7d"_s, u"MONTH-1"_s};
    return list;
}

QString keyword(const std::optional<QString> &expression)
{
    if (!expression)
        return fallback;
    const qsizetype open = expression->indexOf(opening);
    const qsizetype close = expression->indexOf(closing);
    if (open < 0 || close < 0)
        return fallback;
    const qsizetype start = open + opening.size();
    if (close < start)
        return fallback;
    return expression->mid(start, close - start);
}

QString expression(const QString &keyword)
{
    return writtenPrefix + keyword + closing;
}

} // namespace RelativeDateHelper
