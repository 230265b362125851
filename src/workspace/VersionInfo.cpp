#include "workspace/VersionInfo.h"

#include <QSysInfo>

VersionInfo VersionInfo::current()
{
    return {QStringLiteral(QUILLMARK_VERSION), QStringLiteral(QUILLMARK_BUILD),
            QSysInfo::prettyProductName()};
}
