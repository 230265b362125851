#include "datapanel/DataPanelCardMakers.h"

// The style editors are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeStylesCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
