#include "widgets/Dialogs.h"

#include "workspace/ApplicationIdentity.h"

#include <QClipboard>
#include <QGuiApplication>

void Dialogs::presentError(const QString &description)
{
    runAlert({AlertRequest::Style::warning, quillmark::applicationName, description, {}});
}

bool Dialogs::offerToCopy(const QString &message, const QString &informativeText,
                          const QString &copyTitle, const QString &text)
{
    const AlertRequest request{AlertRequest::Style::warning,
                               message,
                               informativeText,
                               {{copyTitle}, {QStringLiteral("OK"), AlertRequest::Role::cancel}}};
    if (runAlert(request) != 0)
        return false;
    QGuiApplication::clipboard()->setText(text);
    return true;
}
