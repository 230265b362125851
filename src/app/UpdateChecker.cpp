#include "UpdateChecker.h"

#include "widgets/Dialogs.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppClock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

// The whole numbers of a version text; empty and non-numeric components are left out.
QList<qint64> versionNumbers(const QString &version)
{
    QList<qint64> numbers;
    // Decimal digits with an optional sign and nothing else: no spaces, no "0x".
    static const QRegularExpression wholeNumber(u"\\A[+-]?[0-9]+\\z"_s);
    for (const QString &component : version.split(u'.', Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 number = component.toLongLong(&ok, 10);
        if (ok && wholeNumber.match(component).hasMatch())
            numbers.append(number);
    }
    return numbers;
}

} // namespace

UpdateChecker::UpdateChecker(const AppClock &clock, Dialogs &dialogs, UrlOpener &opener,
                             const VersionInfo &version, QObject *parent)
    : QObject(parent), clock_(clock), dialogs_(dialogs), opener_(opener),
      runningVersion_(version.shortVersion.isEmpty() ? u"0"_s : version.shortVersion)
{
}

std::optional<UpdateInfo> UpdateChecker::decode(const QByteArray &body)
{
    const QJsonObject record = QJsonDocument::fromJson(body).object();
    const QJsonValue version = record[u"version"_s];
    const QJsonValue url = record[u"url"_s];
    if (!version.isString() || !url.isString())
        return std::nullopt;
    return UpdateInfo{version.toString(), url.toString()};
}

bool UpdateChecker::isNewer(const QString &remote, const QString &running)
{
    const QList<qint64> theirs = versionNumbers(remote);
    const QList<qint64> ours = versionNumbers(running);
    for (qsizetype i = 0; i < std::max(theirs.size(), ours.size()); ++i) {
        const qint64 a = theirs.value(i, 0);
        const qint64 b = ours.value(i, 0);
        if (a != b)
            return a > b;
    }
    return false;
}

void UpdateChecker::checkIfNeeded()
{
    const QVariant stored = QSettings().value(lastCheckKey);
    if (stored.typeId() == QMetaType::QDateTime) {
        const QDateTime last = stored.toDateTime();
        if (last.isValid() && last.secsTo(clock_.now()) < checkIntervalSeconds)
            return;
    }
    checkNow(this, [this](const CheckResult &result) {
        if (result.kind == CheckResult::Kind::updateAvailable)
            promptUpdate(result.info);
    });
}

void UpdateChecker::checkNow(QObject *context, CheckCompletion completion)
{
    QNetworkReply *reply = network_.get(QNetworkRequest(feedURL_));
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, guard = QPointer(context), completion] {
                reply->deleteLater();
                CheckResult result;
                // The status is not looked at: an error page does not read as a record.
                const std::optional<UpdateInfo> info = decode(reply->readAll());
                if (info) {
                    QSettings().setValue(lastCheckKey, clock_.now());
                    result.kind = isNewer(info->version, runningVersion_)
                                      ? CheckResult::Kind::updateAvailable
                                      : CheckResult::Kind::upToDate;
                    result.info = *info;
                }
                if (guard && completion)
                    completion(result);
            });
}

void UpdateChecker::promptUpdate(const UpdateInfo &info)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::informational;
    alert.message = u"Quillmark "_s + info.version + u" Is Available"_s;
    alert.informativeText =
        u"You're running an older version. Download the update from the browser?"_s;
    alert.buttons = {{u"Download"_s}, {u"Later"_s, AlertRequest::Role::cancel}};
    if (dialogs_.runAlert(alert) != 0)
        return;
    // Only a web page: a file or another program's scheme from the feed is never opened.
    const QUrl url(info.url, QUrl::StrictMode);
    if (url.isValid() && (url.scheme() == "https"_L1 || url.scheme() == "http"_L1) &&
        !url.host().isEmpty())
        opener_.open(url, this, [this, url] {
            const QString address = url.toString();
            dialogs_.offerToCopy(u"Can't Open a Browser"_s,
                                 u"No web browser is set up on this computer to open the "
                                 u"download in. The update is at:\n"_s +
                                     address,
                                 u"Copy Address"_s, address);
        });
}
