#pragma once

#include "TestSupport.h"

#include "engine/SidecarClient.h"

#include <QJsonObject>
#include <QList>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

namespace sidecartest {

// A script for the fake engine (tools/fakesidecar) and the location that starts it with it.
class FakeScript {
public:
    explicit FakeScript(const QList<QByteArray> &actions);
    SidecarClient::Location location() const;
    QString path() const { return dir_.filePath(QStringLiteral("script")); }

private:
    QTemporaryDir dir_;
};

// `send <bytes>` with the bytes escaped for the script, followed by a line feed.
QByteArray sendLine(const QByteArray &bytes);

// The outcome of a call as one text: "ok <result as compact JSON>", "<SidecarError case>: <text>"
// or "other: <text>" for any other error.
QString outcome(const std::function<QJsonObject()> &call);

// Waits (up to a few seconds) until the client no longer sees its process running.
bool waitUntilEnded(const SidecarClient &client);

// True when no process, not even an unreaped one, has this id.
bool isGone(qint64 pid);

} // namespace sidecartest
