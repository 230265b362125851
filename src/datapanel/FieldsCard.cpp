#include "datapanel/DataPanelCardMakers.h"

// The field rows are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeFieldsCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
