#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The surroundings the engine process starts in: its environment and a private folder for what
// the Java runtime writes when it fails.
namespace EngineEnvironment {

// This process's environment, as "NAME=value" entries.
QList<QByteArray> current();

// `environment` with a character set for file names that is UTF-8. When its locale has another
// one (or none, as under `env -i`), the locale's UTF-8 variant, or else C.UTF-8, is added for
// the character type only (for everything, when LC_ALL is what decides).
QList<QByteArray> withUtf8FileNames(QList<QByteArray> environment);

// The private work folder below the temporary directory (see PrivateWorkFolder), created on first
// use and checked on every call; empty when none can be had.
QString privateFolder();

} // namespace EngineEnvironment
