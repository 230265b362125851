#include "datapanel/DataPanelCardMakers.h"

// The sub-dataset rows are not built yet: the card shows its title and subtitle only.
DataPanelPart *makeSubDatasetsCard(const DataPanelContext &, QWidget *)
{
    return nullptr;
}
