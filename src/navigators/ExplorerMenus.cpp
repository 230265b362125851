#include "navigators/ExplorerMenus.h"

#include "navigators/ExplorerFileActions.h"

using namespace Qt::StringLiterals;

namespace ExplorerMenus {

QString revealTitle()
{
#if defined(Q_OS_MACOS)
    return u"Reveal in Finder"_s;
#elif defined(Q_OS_WIN)
    return u"Show in Explorer"_s;
#else
    return u"Show in Folder"_s;
#endif
}

QString revealProjectFolderTooltip()
{
#if defined(Q_OS_MACOS)
    return u"Reveal project folder in Finder"_s;
#elif defined(Q_OS_WIN)
    return u"Show project folder in Explorer"_s;
#else
    return u"Show project folder in the file manager"_s;
#endif
}

namespace {

QList<Entry> renameAndTrash(bool dividerAbove)
{
    return {{Action::rename, u"Rename..."_s, false, dividerAbove},
            {Action::moveToTrash, u"Move to Trash"_s, true, false}};
}

} // namespace

QList<Entry> fileMenu(const QUrl &file)
{
    QList<Entry> entries;
    const bool isReport = ExplorerFileActions::isReportFile(file);
    if (isReport)
        entries.append({Action::open, u"Open"_s});
    entries.append({Action::reveal, revealTitle(), false, isReport});
    entries.append(renameAndTrash(false));
    return entries;
}

QList<Entry> folderMenu(bool isRoot)
{
    QList<Entry> entries{{Action::newFolder, u"New Folder"_s}, {Action::reveal, revealTitle()}};
    if (!isRoot)
        entries.append(renameAndTrash(true));
    return entries;
}

} // namespace ExplorerMenus
