#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/StylesSection.h"

DataPanelPart *makeStylesCard(const DataPanelContext &context, QWidget *parent)
{
    return new StylesSection(context, parent);
}
