#include "inspector/SubreportListTableParts.h"

#include "inspector/ListCards.h"
#include "inspector/ParameterRowsCard.h"
#include "inspector/SubreportCards.h"
#include "inspector/TableCards.h"

using namespace Qt::StringLiterals;

ElementPart *makeComponentPart(const PlannedSection &planned, const ElementWriter &writer,
                               const InspectorContext &context, QWidget *parent)
{
    switch (planned.section) {
    case ElementSection::subreportFile:
        return new SubreportFileCard(writer, planned.title, context.sidecar, parent);
    case ElementSection::dataSource:
        return new DataSourceCard(writer, planned.title, parent);
    case ElementSection::subreportParameters:
        return new ParameterRowsCard(
            writer, {planned.title, u"inspector.subreportParameters"_s, u"Add Parameter"_s, true},
            parent);
    case ElementSection::list:
        return new DatasetRunCard(writer, planned.title, true, context.dialogs, parent);
    case ElementSection::datasetParameters:
        return new ParameterRowsCard(
            writer,
            {planned.title, u"inspector.datasetParameters"_s, u"Add Dataset Parameter"_s, false},
            parent);
    case ElementSection::listNote:
        return new ListNote(parent);
    case ElementSection::table:
        return new DatasetRunCard(writer, planned.title, false, context.dialogs, parent);
    case ElementSection::columns:
        return new ColumnsCard(writer, planned.title, context, parent);
    case ElementSection::noData:
        return new NoDataCard(writer, planned.title, parent);
    default:
        return nullptr;
    }
}
