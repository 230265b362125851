#include "datapanel/DataPanelCardMakers.h"

// The parameter rows are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeParametersCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
