#include "datapanel/DataPanelCardMakers.h"

// The group rows are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeGroupsCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
