#include "ApplicationIdentity.h"

#include <QCoreApplication>

namespace quillmark {

void applyApplicationIdentity()
{
    QCoreApplication::setOrganizationName(applicationName);
    QCoreApplication::setApplicationName(applicationName);
}

} // namespace quillmark
