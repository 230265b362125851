#pragma once

#include "engine/SidecarClient.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sidecartest {

using namespace Qt::StringLiterals;

// The outcome of a call as one text: "ok <result as compact JSON>", "<SidecarError kind>: <text>"
// or "other: <text>" for anything else thrown.
inline QString outcome(const std::function<QJsonObject()> &call)
{
    static const char *const kinds[] = {"jarNotFound",
                                        "rpcError",
                                        "malformedResponse",
                                        "notRunning",
                                        "processExitedUnexpectedly",
                                        "timedOut",
                                        "javaNotFound",
                                        "cancelled",
                                        "endedAfterTimeOut",
                                        "engineUnusable"};
    try {
        return u"ok "_s + QString::fromUtf8(QJsonDocument(call()).toJson(QJsonDocument::Compact));
    } catch (const SidecarError &error) {
        return QString::fromUtf8(kinds[int(error.kind())]) + u": " + error.message();
    } catch (const std::exception &error) {
        return u"other: "_s + QString::fromUtf8(error.what());
    }
}

inline const QString exited = u"processExitedUnexpectedly: Sidecar process exited unexpectedly."_s;

// True while the process table holds `pid`, even as a process that has ended but is not reaped.
inline bool inProcessTable(qint64 pid)
{
    return QFileInfo::exists(u"/proc/"_s + QString::number(pid));
}

// The processes whose parent is this one, from the process table.
inline QList<qint64> children()
{
    QList<qint64> found;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile stat(u"/proc/"_s + entry + u"/stat");
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (command) state ppid …; the command may hold spaces and parentheses.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> after = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && after[1].toLongLong() == ::getpid())
            found.append(pid);
    }
    return found;
}

} // namespace sidecartest
