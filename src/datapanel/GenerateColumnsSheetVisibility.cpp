#include "datapanel/GenerateColumnsSheetVisibility.h"

GenerateColumnsSheetVisibility *GenerateColumnsSheetVisibility::of(QObject *panel)
{
    if (!panel)
        return nullptr;
    auto *flag =
        panel->findChild<GenerateColumnsSheetVisibility *>(QString(), Qt::FindDirectChildrenOnly);
    return flag ? flag : new GenerateColumnsSheetVisibility(panel);
}

void GenerateColumnsSheetVisibility::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    emit visibleChanged(visible);
}
