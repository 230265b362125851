#pragma once

#include "engine/SidecarClient.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace testsupport {

// The scripted stand-in for the engine (tools/fakesidecar), with its script and its request log
// in a folder of the test's. Each scripted action answers one request in turn; "@ID@" in an
// action stands for the number of the request it answers.
class FakeEngine {
public:
    // `program` is the fake's path (the test's QUILLMARK_FAKE_SIDECAR); the folder must outlive
    // the engine's requests.
    FakeEngine(const QString &program, const QString &folder)
        : location_{program, QDir(folder).filePath(QStringLiteral("script"))},
          log_(QDir(folder).filePath(QStringLiteral("requests")))
    {
        qputenv("FAKESIDECAR_REQUEST_LOG", log_.toLocal8Bit());
    }

    // Where the engine model finds the fake.
    const SidecarClient::Location &location() const { return location_; }

    // The action that answers a request with success and that result (a JSON object).
    static QByteArray ok(const QByteArray &result)
    {
        return "send {\"id\":@ID@,\"ok\":true,\"result\":" + result + "}\\n";
    }
    // The action that answers a request with the engine's error of that message.
    static QByteArray failure(const QByteArray &message)
    {
        return "send {\"id\":@ID@,\"ok\":false,\"error\":{\"message\":\"" + message + "\"}}\\n";
    }

    void script(const QList<QByteArray> &actions) const
    {
        QFile file(location_.jarPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        int id = 0;
        for (const QByteArray &action : actions)
            file.write(QByteArray(action).replace("@ID@", QByteArray::number(++id)) + '\n');
    }
    // The requests the fake has read so far, in order.
    QList<QJsonObject> requests() const
    {
        QFile file(log_);
        QList<QJsonObject> sent;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    sent.append(QJsonDocument::fromJson(line).object());
        return sent;
    }

private:
    SidecarClient::Location location_;
    QString log_;
};

} // namespace testsupport
