#pragma once

#include "workspace/VersionInfo.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <optional>

class Dialogs;
class QObject;
class UrlOpener;

// Finds out at launch whether the previous session ended without an orderly quit, and offers to
// report it by e-mail: a pre-filled mailto: message the user reviews in the mail program. Nothing
// is sent by itself. The state is two launch markers in the settings and a record per running
// process (SessionRecords), so that designers running side by side neither take one another for
// a crash nor hide one another's crash; crash logs are the ones CrashSignalHandler writes.
namespace CrashDetection {

inline const QString hasLaunchedBeforeKey = QStringLiteral("hasLaunchedBefore");
inline const QString hadCleanShutdownKey = QStringLiteral("hadCleanShutdown");
// Crash logs are named with this prefix (exactly, case counts) ...
inline const QString crashLogPrefix = QStringLiteral("Quillmark");
// ... and count while younger than this.
inline constexpr qint64 crashLogMaxAgeSeconds = 86400;
// The line the program prints on standard output when it finds at launch that a session ended
// without a quit.
inline const QString uncleanEndNotice =
    QStringLiteral("A previous session did not end with a quit: offering to report it");
// Where crash reports are sent.
inline const QString supportAddress = QStringLiteral("support@quillmark.app");

// True when a previous session did not end cleanly (the very first launch never counts): a
// session whose record is left (told once), or, while no other session runs, the markers saying
// so. Arms the markers and this process's record for this session and writes them out at once,
// so that a crash right after launch still finds them.
bool checkPreviousSessionAndArmForThisOne();
// The orderly quit, once it is done: this process's record goes, and when no other session runs
// or is left on record the markers say so, so the next launch will not ask.
void markCleanShutdown();

// "CrashReports" in the application's data folder.
QString crashLogFolder();

// The newest entry of `folder` (hidden ones included) whose name begins with the prefix, when it
// was modified less than a day before `now`; no value otherwise or when the folder cannot be read.
std::optional<QString> mostRecentCrashLogPath(const QString &folder, const QDateTime &now);
std::optional<QString> mostRecentCrashLogPath();

// The report's text, naming the crash log or saying that none was found in `folder`.
QString reportBody(const VersionInfo &version, const std::optional<QString> &crashLogPath,
                   const QString &folder);
// mailto:<support address>?subject=Quillmark%20Crash%20Report&body=<body>, every value
// percent-encoded.
QUrl reportURL(const QString &body);
// mailto:<support address>?subject=<subject>&body=<body>, every value percent-encoded.
QUrl supportMailURL(const QString &subject, const QString &body);

// Opens a support mail in the user's mail program. Where no mail program takes it, an alert
// says so and offers to copy the support address, unless `context` is gone by then.
void sendSupportMail(const QUrl &url, Dialogs &dialogs, UrlOpener &opener, const QObject *context);

// The launch-time prompt, given what checkPreviousSessionAndArmForThisOne() found first thing at
// launch: after an unclean exit, asks whether to report it and, on "Report a Bug", opens the
// mail. Main thread.
void promptIfNeeded(bool previousSessionEndedUncleanly, Dialogs &dialogs, UrlOpener &opener,
                    const VersionInfo &version, const QObject *context);

} // namespace CrashDetection
