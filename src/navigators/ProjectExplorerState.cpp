#include "navigators/ProjectExplorerState.h"

void ProjectExplorerState::expand(const QString &path)
{
    if (expandedFolders_.contains(path))
        return;
    expandedFolders_.insert(path);
    emit changed();
}

void ProjectExplorerState::collapse(const QString &path)
{
    if (expandedFolders_.remove(path))
        emit changed();
}

void ProjectExplorerState::collapseAll()
{
    if (expandedFolders_.isEmpty())
        return;
    expandedFolders_.clear();
    emit changed();
}
