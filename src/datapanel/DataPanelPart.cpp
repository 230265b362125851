#include "datapanel/DataPanelPart.h"

void DataPanelPart::refresh() {}
