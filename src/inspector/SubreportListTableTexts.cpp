#include "inspector/SubreportListTableTexts.h"

#include "inspector/InspectorTexts.h"

using namespace Qt::StringLiterals;

namespace SubreportListTableTexts {

QString subreportFilePlaceholder()
{
    return u"path or expression, e.g. \"subreport.jasper\""_s;
}

QString subreportFileNote()
{
    return u"Must be a compiled .jasper - JasperReports can't resolve a relative path, so use a "
           u"classpath-relative name or a parameterized absolute path."_s;
}

QString passAllHelp()
{
    return u"Adds every master report parameter not already listed here, passed through under "
           u"the same name"_s;
}

QString datasetNote()
{
    return u"Define subDatasets (their own Fields/Parameters/Query) in the Report Data sheet (the Data button)."_s;
}

QString connectionPlaceholder()
{
    return u"e.g. $P{REPORT_CONNECTION}"_s;
}

QString runSourceNote(bool isList, bool hasDataSource, bool hasConnection)
{
    const QString what = isList ? u"list"_s : u"table"_s;
    if (hasConnection)
        return u"The "_s + what + u" runs its dataset's query on this connection."_s;
    if (hasDataSource)
        return u"The "_s + what +
               u" takes its rows from this data source expression; a connection typed above "
               u"replaces it."_s;
    return {};
}

QString replaceDataSourceQuestion(bool isList)
{
    return u"Replace the "_s + (isList ? u"list"_s : u"table"_s) +
           u"'s data source expression with a connection?"_s;
}

QString replaceDataSourceDetail(const QString &dataSourceExpression)
{
    return u"Its rows come from the data source expression "_s + dataSourceExpression +
           u". A dataset run takes one of the two: the connection runs the dataset's query "
           u"instead, and the data source expression is removed."_s;
}

QString listNote(qsizetype childCount)
{
    return InspectorTexts::counted(childCount, u"element"_s) +
           u" in the row template - add more from the palette while this list is selected."_s;
}

QString whenNoDataLabel(WhenNoDataType type)
{
    switch (type) {
    case WhenNoDataType::noPages:
        return u"No Pages"_s;
    case WhenNoDataType::blankPage:
        return u"Blank Page"_s;
    case WhenNoDataType::allSectionsNoDetail:
        return u"All Sections, No Detail"_s;
    case WhenNoDataType::noDataSection:
        return u"No Data Section"_s;
    }
    return {};
}

QString whenNoDataNote()
{
    return u"Distinct from the report-level setting in Page Setup - controls what THIS table "
           u"prints when its own subdataset query returns zero rows."_s;
}

} // namespace SubreportListTableTexts
