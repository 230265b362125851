#pragma once

#include "workspace/VersionInfo.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class AppClock;
class Dialogs;
class UrlOpener;

// One record of the update feed.
struct UpdateInfo {
    QString version;
    QString url;
    bool operator==(const UpdateInfo &) const = default;
};

// Looks once a day, at launch, whether a newer version has been published and offers to open its
// download page; the preferences window runs the same check by hand. Its only state between
// launches is the time of the last check that read the feed ("lastUpdateCheckDate").
class UpdateChecker : public QObject {
    Q_OBJECT

public:
    struct CheckResult {
        enum class Kind { updateAvailable, upToDate, failed };
        Kind kind = Kind::failed;
        UpdateInfo info; // updateAvailable only
    };
    using CheckCompletion = std::function<void(const CheckResult &)>;

    inline static const QString lastCheckKey = QStringLiteral("lastUpdateCheckDate");
    static constexpr qint64 checkIntervalSeconds = 86400;
    // The maker's update feed.
    inline static const QUrl defaultFeedURL =
        QUrl(QStringLiteral("https://updates.quillmark.app/quillmark/version.json"));

    // The objects given must outlive the checker.
    UpdateChecker(const AppClock &clock, Dialogs &dialogs, UrlOpener &opener,
                  const VersionInfo &version, QObject *parent = nullptr);

    // Tests point the checker at a feed of their own.
    void setFeedURLForTesting(const QUrl &url) { feedURL_ = url; }

    // The record in a feed's body: an object with the texts "version" and "url".
    static std::optional<UpdateInfo> decode(const QByteArray &body);
    // Whether `remote` is a later version than `running`, comparing the dot-separated whole
    // numbers one by one (missing ones count as 0; components that are not numbers are dropped).
    static bool isNewer(const QString &remote, const QString &running);

    // At launch: unless the last successful check is less than a day old, checks and, when a
    // newer version exists, asks whether to download it. Returns at once.
    void checkIfNeeded();
    // Fetches the feed; on success records the time and tells whether the feed's version is newer
    // than ours. `completion` runs on the main thread while `context` exists.
    void checkNow(QObject *context, CheckCompletion completion);
    // "Quillmark <version> Is Available": "Download" opens the record's address in the browser
    // when it is an http or https URL.
    void promptUpdate(const UpdateInfo &info);

private:
    const AppClock &clock_;
    Dialogs &dialogs_;
    UrlOpener &opener_;
    QString runningVersion_;
    QUrl feedURL_ = defaultFeedURL;
    QNetworkAccessManager network_;
};
