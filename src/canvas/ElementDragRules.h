#pragma once

#include "canvas/CrossBandDragState.h"
#include "canvas/MultiDragState.h"

#include <QSizeF>
#include <QUuid>

// How an element is drawn while elements are dragged.
namespace dragrules {

// Its offset: its own, plus the shared translation when it is selected and another selected
// element is the one being dragged.
QSizeF followerOffset(const MultiDragState &drag, QSizeF baseOffset, bool isSelected,
                      const QUuid &elementID);

// Its opacity: 0 while a ghost stands in for it, else 1.
double ghostOpacity(const CrossBandDragState &drag, const QUuid &elementID);

} // namespace dragrules
