#include "app/PanelWidths.h"

#include <algorithm>

double PanelWidths::effectiveLeftWidth() const
{
    return std::clamp(leftWidth_ + leftDragDelta_, leftMinimum, leftMaximum);
}

double PanelWidths::effectiveRightWidth() const
{
    return std::clamp(rightWidth_ + rightDragDelta_, rightMinimum, rightMaximum);
}

void PanelWidths::dragLeft(double translation)
{
    leftDragDelta_ = translation;
    emit changed();
}

void PanelWidths::endLeftDrag(double translation)
{
    leftWidth_ = std::clamp(leftWidth_ + translation, leftMinimum, leftMaximum);
    leftDragDelta_ = 0;
    emit changed();
}

void PanelWidths::dragRight(double translation)
{
    rightDragDelta_ = -translation;
    emit changed();
}

void PanelWidths::endRightDrag(double translation)
{
    rightWidth_ = std::clamp(rightWidth_ - translation, rightMinimum, rightMaximum);
    rightDragDelta_ = 0;
    emit changed();
}
