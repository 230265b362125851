#include "inspector/SubreportDataSource.h"

using namespace Qt::StringLiterals;

namespace {

bool isPresent(const std::optional<QString> &text)
{
    return text && !text->isEmpty();
}

const QString emptyDataSourceMark = u"JREmptyDataSource"_s;

} // namespace

namespace SubreportDataSource {

QString sameConnectionExpression()
{
    return u"$P{REPORT_CONNECTION}"_s;
}

QString emptyDataSourceExpression()
{
    return u"new net.sf.jasperreports.engine.JREmptyDataSource()"_s;
}

SubreportConnectionKind inferKind(const std::optional<QString> &connectionExpression,
                                  const std::optional<QString> &dataSourceExpression)
{
    using K = SubreportConnectionKind;
    if (isPresent(dataSourceExpression))
        return dataSourceExpression->contains(emptyDataSourceMark) ? K::emptyDataSource
                                                                   : K::customDataSource;
    if (isPresent(connectionExpression))
        return connectionExpression->contains(u"REPORT_CONNECTION"_s) ? K::sameConnection
                                                                      : K::customConnection;
    return K::sameConnection;
}

void choose(ElementKind::Subreport &subreport, SubreportConnectionKind kind)
{
    switch (kind) {
    case SubreportConnectionKind::sameConnection:
        subreport.connectionExpression = sameConnectionExpression();
        subreport.dataSourceExpression.reset();
        return;
    case SubreportConnectionKind::emptyDataSource:
        subreport.connectionExpression.reset();
        subreport.dataSourceExpression = emptyDataSourceExpression();
        return;
    case SubreportConnectionKind::customConnection:
        subreport.connectionExpression = subreport.connectionExpression.value_or(QString());
        subreport.dataSourceExpression.reset();
        return;
    case SubreportConnectionKind::customDataSource:
        subreport.dataSourceExpression = subreport.dataSourceExpression.value_or(QString());
        subreport.connectionExpression.reset();
        return;
    }
}

void setConnectionExpression(ElementKind::Subreport &subreport, const QString &text)
{
    subreport.connectionExpression = text;
    subreport.dataSourceExpression.reset();
}

void setDataSourceExpression(ElementKind::Subreport &subreport, const QString &text)
{
    subreport.dataSourceExpression = text;
    subreport.connectionExpression.reset();
}

bool showsConnectionField(const std::optional<QString> &connectionExpression)
{
    return connectionExpression && *connectionExpression != sameConnectionExpression();
}

bool showsDataSourceField(const std::optional<QString> &dataSourceExpression)
{
    return dataSourceExpression && !dataSourceExpression->contains(emptyDataSourceMark);
}

} // namespace SubreportDataSource
