#include "ExpressionBuilderPresentationState.h"

void ExpressionBuilderPresentationState::setVisible(bool visible)
{
    if (visible == isVisible_)
        return;
    isVisible_ = visible;
    emit isVisibleChanged();
}
