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
    return u"Define subDatasets (their own Fields/Parameters/Query) in the Data Panel."_s;
}

QString connectionPlaceholder()
{
    return u"e.g. $P{REPORT_CONNECTION}"_s;
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
