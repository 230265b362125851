#include "canvas/ElementDragRules.h"

namespace dragrules {

QSizeF followerOffset(const MultiDragState &drag, QSizeF baseOffset, bool isSelected,
                      const QUuid &elementID)
{
    if (isSelected && drag.originID() && *drag.originID() != elementID)
        return baseOffset + drag.translation();
    return baseOffset;
}

double ghostOpacity(const CrossBandDragState &drag, const QUuid &elementID)
{
    return drag.isHidden(elementID) ? 0 : 1;
}

} // namespace dragrules
