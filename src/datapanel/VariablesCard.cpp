#include "datapanel/DataPanelCardMakers.h"

// The variable rows are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeVariablesCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
