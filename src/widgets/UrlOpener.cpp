#include "widgets/UrlOpener.h"

#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

void DesktopUrlOpener::open(const QUrl &url, const QObject *context, std::function<void()> failed)
{
    const QString xdgOpen = QStandardPaths::findExecutable(u"xdg-open"_s);
    if (xdgOpen.isEmpty()) {
        if (!QDesktopServices::openUrl(url) && failed)
            failed();
        return;
    }
    // Without a parent: a handler that runs on in the foreground (a mail program the opener waits
    // for) is neither killed when the window closes nor waited for.
    auto *process = new QProcess;
    process->setProgram(xdgOpen);
    process->setArguments({QString::fromUtf8(url.toEncoded())});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    const QPointer<const QObject> owner(context);
    const auto fail = [owner, failed] {
        if (owner && failed)
            failed();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, fail](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             fail();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, fail](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         fail();
                     });
    process->start();
}
