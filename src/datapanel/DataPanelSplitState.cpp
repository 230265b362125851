#include "datapanel/DataPanelSplitState.h"

#include <algorithm>

double DataPanelSplitState::clamped(double width)
{
    return std::min(std::max(width, minimumWidth), maximumWidth);
}

double DataPanelSplitState::effectiveWidth() const
{
    return clamped(leftWidth_ + dragDelta_);
}

void DataPanelSplitState::endDrag(double translation)
{
    leftWidth_ = clamped(leftWidth_ + translation);
    dragDelta_ = 0;
}
