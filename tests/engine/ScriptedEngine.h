#pragma once

#include "engine/SidecarClient.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testsupport {

// The scripted fake engine (tools/fakesidecar) in a temporary folder of its own. The fake logs
// every request line it reads; each start of the fake reads the script afresh. A reply's @ID@ is
// the id of the request it answers: ids count on from the requests logged so far. Needs
// QUILLMARK_FAKE_SIDECAR.
struct ScriptedEngine {
    ScriptedEngine()
    {
        qputenv("FAKESIDECAR_REQUEST_LOG", dir.filePath(QStringLiteral("requests")).toLocal8Bit());
    }

    static QByteArray ok(const QByteArray &result = "{}")
    {
        return "send {\"id\":@ID@,\"ok\":true,\"result\":" + result + "}\\n";
    }
    static QByteArray failure(const QByteArray &message)
    {
        return "send {\"id\":@ID@,\"ok\":false,\"error\":{\"message\":\"" + message +
               "\",\"causes\":[\"why\"]}}\\n";
    }

    // One action for each request from now on, in turn.
    void script(const QList<QByteArray> &actions)
    {
        QFile file(location.jarPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        qsizetype id = requests().size();
        for (const QByteArray &action : actions)
            file.write(QByteArray(action).replace("@ID@", QByteArray::number(++id)) + '\n');
    }
    // Each request as the fake read it: {"id", "cmd", "params"}.
    QList<QJsonObject> requests() const
    {
        QFile file(dir.filePath(QStringLiteral("requests")));
        QList<QJsonObject> sent;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    sent.append(QJsonDocument::fromJson(line).object());
        return sent;
    }

    QTemporaryDir dir;
    SidecarClient::Location location{QStringLiteral(QUILLMARK_FAKE_SIDECAR),
                                     dir.filePath(QStringLiteral("script"))};
};

} // namespace testsupport
