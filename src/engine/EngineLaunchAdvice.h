#pragma once

#include "SidecarClient.h"

#include <QByteArray>
#include <QString>
#include <optional>

// What to tell the user when what was started as the report engine is no engine or cannot run
// it: a jar that is another program, damaged or without a program to run, a Java too old for the
// engine, or a path that is no Java program. Each text names the path, and the environment
// variable that named it where one did, and says what to do.
namespace EngineLaunchAdvice {

// Whether `line` reads as a reply of the engine: a JSON object carrying "ok" or "id".
bool isReply(const QByteArray &line);

// The engine's first line, `shown` (its beginning), is no reply.
QString notTheEngine(const SidecarClient::Location &location, const QString &shown);

// The engine ended before its first reply, Java having written `javaSaid`: the advice for a
// damaged jar, a jar without a program, a Java too old, and, where the environment named Java or
// the jar, for anything else; no value otherwise.
std::optional<QString> endedAtStart(const SidecarClient::Location &location,
                                    const QString &javaSaid);

// The Java program could not be started at all, for `reason` (a folder, a file that is no
// program, one we may not run).
QString javaCannotRun(const SidecarClient::Location &location, const QString &reason);

} // namespace EngineLaunchAdvice
