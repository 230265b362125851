#include "navigators/FileRevealer.h"

#include "widgets/UrlOpener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QUrl DesktopFileRevealer::folderToOpen(const QUrl &url)
{
    const QFileInfo info(url.toLocalFile());
    return QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

void DesktopFileRevealer::reveal(const QUrl &url, const QObject *context,
                                 std::function<void()> failed)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
            u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
        call << QStringList{url.toString(QUrl::FullyEncoded)} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return;
    }
    fallback_.open(folderToOpen(url), context, std::move(failed));
}
