#include "datapanel/DataPanelCardMakers.h"

// The connection presets are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeConnectionsCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
