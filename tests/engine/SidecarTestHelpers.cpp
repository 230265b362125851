#include "SidecarTestHelpers.h"

#include <QFile>
#include <QJsonDocument>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace sidecartest {

FakeScript::FakeScript(const QList<QByteArray> &actions)
{
    QFile file(path());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    for (const QByteArray &action : actions)
        file.write(action + '\n');
}

SidecarClient::Location FakeScript::location() const
{
    return {QStringLiteral(QUILLMARK_FAKE_SIDECAR), path()};
}

QByteArray sendLine(const QByteArray &bytes)
{
    QByteArray escaped("send ");
    const QByteArray line = bytes + '\n';
    for (const char byte : line) {
        if (byte > ' ' && byte < 0x7f && byte != '\\')
            escaped.append(byte);
        else
            escaped.append(QByteArrayLiteral("\\x"))
                .append(QByteArray::number(uchar(byte), 16).rightJustified(2, '0'));
    }
    return escaped;
}

QString outcome(const std::function<QJsonObject()> &call)
{
    static const QStringList kinds = {QStringLiteral("jarNotFound"),
                                      QStringLiteral("rpcError"),
                                      QStringLiteral("malformedResponse"),
                                      QStringLiteral("notRunning"),
                                      QStringLiteral("processExitedUnexpectedly"),
                                      QStringLiteral("timedOut")};
    try {
        return QStringLiteral("ok ") +
               QString::fromUtf8(QJsonDocument(call()).toJson(QJsonDocument::Compact));
    } catch (const SidecarError &error) {
        return kinds[int(error.kind())] + QStringLiteral(": ") + error.message();
    } catch (const std::exception &error) {
        return QStringLiteral("other: ") + QString::fromUtf8(error.what());
    }
}

bool waitUntilEnded(const SidecarClient &client)
{
    for (int i = 0; i < 500 && client.isRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !client.isRunning();
}

bool isGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace sidecartest
