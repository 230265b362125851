#include "canvas/SnippetSheetState.h"

void SnippetSheetState::setIsVisible(bool visible)
{
    if (visible == isVisible_)
        return;
    isVisible_ = visible;
    emit isVisibleChanged();
}

void SnippetSheetState::setName(const QString &name)
{
    if (name == name_)
        return;
    name_ = name;
    emit nameChanged();
}
