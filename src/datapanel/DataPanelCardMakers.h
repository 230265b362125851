#pragma once

#include "datapanel/DataPanelPart.h"

// The parts of the data panel, one maker each, each defined in the file of its card. The panel
// calls every maker once when it opens and places what it returns; a maker that returns null
// leaves its card with its title and subtitle only.

DataPanelPart *makeQueryPane(const DataPanelContext &context, QWidget *parent);
// The results part is never taller than with a full grid under its header.
DataPanelPart *makeQueryResults(const DataPanelContext &context, QWidget *parent);

// The object name of the query pane's block from its title down to its two commands.
inline QString queryCommandsBlockName()
{
    return QStringLiteral("datapanel.query.commandsBlock");
}

DataPanelPart *makeConnectionsCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeSubDatasetsCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeParametersCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeFieldsCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeSortFieldsCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeScriptletsCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeReportTemplatesCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeVariablesCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeGroupsCard(const DataPanelContext &context, QWidget *parent);
DataPanelPart *makeStylesCard(const DataPanelContext &context, QWidget *parent);
