#include "CrashDetection.h"

#include "SessionRecords.h"
#include "widgets/Dialogs.h"
#include "widgets/UrlOpener.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace CrashDetection {

namespace {

// A marker that reads as true: a stored Boolean, or the text "true".
bool marker(const QSettings &settings, const QString &key)
{
    return settings.value(key).toString() == "true"_L1;
}

// The folder as the user reads it: the home folder shortened to "~".
QString displayFolder(const QString &folder)
{
    const QString home = QDir::homePath();
    if (folder == home || folder.startsWith(home + u'/'))
        return u'~' + folder.mid(home.size());
    return folder;
}

} // namespace

bool checkPreviousSessionAndArmForThisOne()
{
    // The settings are read once the records' lock is held: another designer's quit or launch
    // may have written them while this one waited for it.
    SessionRecords records(SessionRecords::folderBeside(QSettings().fileName()));
    QSettings settings;
    const bool launchedBefore = marker(settings, hasLaunchedBeforeKey);
    const bool cleanShutdown = marker(settings, hadCleanShutdownKey);
    const SessionRecords::Others others = records.armThisSession();
    settings.setValue(hasLaunchedBeforeKey, true);
    settings.setValue(hadCleanShutdownKey, false);
    settings.sync();
    if (others.ended)
        return true;
    // The markers belong to the sessions still running; with none, they tell as they always
    // have (also of a session that kept no record).
    return !others.running && launchedBefore && !cleanShutdown;
}

void markCleanShutdown()
{
    SessionRecords records(SessionRecords::folderBeside(QSettings().fileName()));
    // While another session runs, or one ended without quitting, the markers stay armed.
    if (!records.clearThisSession())
        return;
    QSettings settings;
    settings.setValue(hadCleanShutdownKey, true);
    settings.sync();
}

QString crashLogFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(u"CrashReports"_s);
}

std::optional<QString> mostRecentCrashLogPath(const QString &folder, const QDateTime &now)
{
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return std::nullopt;
    std::optional<QFileInfo> newest;
    QDateTime newestDate;
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (!entry.fileName().startsWith(crashLogPrefix))
            continue;
        const QDateTime modified = entry.lastModified(); // invalid: the most distant past
        if (!newest || (modified.isValid() && (!newestDate.isValid() || modified > newestDate))) {
            newest = entry;
            newestDate = modified;
        }
    }
    if (!newest || !newestDate.isValid() || newestDate.secsTo(now) >= crashLogMaxAgeSeconds)
        return std::nullopt;
    return newest->filePath();
}

std::optional<QString> mostRecentCrashLogPath()
{
    return mostRecentCrashLogPath(crashLogFolder(), QDateTime::currentDateTime());
}

QString reportBody(const VersionInfo &version, const std::optional<QString> &crashLogPath,
                   const QString &folder)
{
    const QString logPart =
        crashLogPath ? u"\nA crash log was found at:\n"_s + *crashLogPath +
                           u"\nPlease attach it to this email (mailto links can't attach files "
                           u"automatically).\n"_s
                     : u"\n(No matching crash log was found in "_s + displayFolder(folder) +
                           u"/ - it may not have been a crash.)\n"_s;
    const QString programVersion = version.shortVersion.isEmpty() ? u"dev"_s : version.shortVersion;
    return u"Describe what you were doing right before it happened:\n\n"_s + logPart +
           u"\n---\nQuillmark "_s + programVersion + u'\n' + version.systemVersion;
}

QUrl supportMailURL(const QString &subject, const QString &body)
{
    const QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(supportAddress, "@") +
                               "?subject=" + QUrl::toPercentEncoding(subject) +
                               "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QUrl reportURL(const QString &body)
{
    return supportMailURL(u"Quillmark Crash Report"_s, body);
}

void promptIfNeeded(bool previousSessionEndedUncleanly, Dialogs &dialogs, UrlOpener &opener,
                    const VersionInfo &version, const QObject *context)
{
    if (!previousSessionEndedUncleanly)
        return;
    AlertRequest alert;
    alert.message = u"Quillmark Didn't Close Normally Last Time"_s;
    alert.informativeText =
        u"If it crashed, sending a quick bug report helps get it fixed. No data is collected "
        u"automatically - this only opens a pre-filled email you can review before sending."_s;
    alert.buttons = {{u"Report a Bug"_s}, {u"Not Now"_s, AlertRequest::Role::cancel}};
    if (dialogs.runAlert(alert) != 0)
        return;
    const QString folder = crashLogFolder();
    const QUrl url = reportURL(
        reportBody(version, mostRecentCrashLogPath(folder, QDateTime::currentDateTime()), folder));
    if (url.isValid())
        sendSupportMail(url, dialogs, opener, context);
}

void sendSupportMail(const QUrl &url, Dialogs &dialogs, UrlOpener &opener, const QObject *context)
{
    opener.open(url, context, [&dialogs] {
        dialogs.offerToCopy(u"Can't Open a Mail Program"_s,
                            u"No mail program is set up on this computer to write the report in. "
                            u"Send it to "_s +
                                supportAddress + u" from the mail you use."_s,
                            u"Copy Address"_s, supportAddress);
    });
}

} // namespace CrashDetection
