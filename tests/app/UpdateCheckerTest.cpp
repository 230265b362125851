#include "app/UpdateChecker.h"
#include "AppTestSupport.h"
#include "TestSupport.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppClock.h"

#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;
using testsupport::waitFor;

namespace {

// A loopback web server that answers every request with the same body and counts them.
struct FeedServer {
    explicit FeedServer(QByteArray body) : body(std::move(body))
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                ++requests;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(this->body.size()) +
                    "\r\nConnection: close\r\n\r\n" + this->body);
                socket->disconnectFromHost();
            });
        });
    }
    QUrl url() const
    {
        return QUrl(u"http://127.0.0.1:%1/quillmark/version.json"_s.arg(server.serverPort()));
    }

    QTcpServer server;
    QByteArray body;
    int requests = 0;
};

class UpdateCheckerTest : public apptest::SandboxTest {
protected:
    UpdateChecker::CheckResult checkNow(const QUrl &feed)
    {
        checker.setFeedURLForTesting(feed);
        std::optional<UpdateChecker::CheckResult> result;
        checker.checkNow(&checker, [&](const auto &r) { result = r; });
        EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
        return result.value_or(UpdateChecker::CheckResult{});
    }
    QVariant lastCheck() const { return QSettings().value(UpdateChecker::lastCheckKey); }

    FixedClock clock{QDateTime(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC)};
    ScriptedDialogs dialogs;
    RecordingUrlOpener opener;
    UpdateChecker checker{clock, dialogs, opener, VersionInfo{u"1.9"_s, {}, {}}};
};

TEST(UpdateChecker, ComparesVersionsNumberByNumber)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"1.10", "1.9", true},     {"1.2", "1.2.0", false},
        {"1.2.1", "1.2", true},    {"1.2", "1.2", false},
        {"2.0-beta", "1.9", true}, {"1..2", "1.1", true},
        {"1..2", "1.2", false},    {"", "1.0", false},
        {"1", "0", true},          {"+2", "1", true},
        {" 2", "1", false},        {"0x2", "1", false},
        {"1.-1", "1.0", false},    {"99999999999999999999", "1", false},
    };
    for (const auto &[remote, running, newer] : cases)
        EXPECT_EQ(UpdateChecker::isNewer(QString::fromLatin1(remote), QString::fromLatin1(running)),
                  newer)
            << remote << " vs " << running;
}

TEST_F(UpdateCheckerTest, AFetchThatReadsRecordsItsTimeAndOthersFail)
{
    using Kind = UpdateChecker::CheckResult::Kind;
    FeedServer missingKey(R"({"version":"2.0"})");
    FeedServer html("<html><body>Not here</body></html>");
    FeedServer closed("");
    const QUrl refused = closed.url();
    closed.server.close();
    for (const QUrl &feed : {missingKey.url(), html.url(), refused})
        EXPECT_EQ(checkNow(feed).kind, Kind::failed) << feed.toString().toStdString();
    EXPECT_FALSE(lastCheck().isValid()) << "nothing recorded after a failure";

    FeedServer older(R"({"version":"1.8.9","url":"https://example.org/d","extra":1})");
    EXPECT_EQ(checkNow(older.url()).kind, Kind::upToDate);
    EXPECT_EQ(lastCheck().toDateTime(), clock.now());
    FeedServer newer(R"({"version":"2.1","url":"https://example.org/d"})");
    const UpdateChecker::CheckResult result = checkNow(newer.url());
    EXPECT_EQ(result.kind, Kind::updateAvailable);
    EXPECT_EQ(result.info, (UpdateInfo{u"2.1"_s, u"https://example.org/d"_s}));
}

TEST_F(UpdateCheckerTest, TheLaunchCheckRunsOncePerDayAndOffersTheDownload)
{
    FeedServer feed(R"({"version":"2.1","url":"https://example.org/d"})");
    checker.setFeedURLForTesting(feed.url());
    checker.checkIfNeeded(); // never checked
    ASSERT_TRUE(waitFor([&] { return dialogs.alerts().size() == 1; }));
    EXPECT_EQ(dialogs.alerts()[0].message, u"Quillmark 2.1 Is Available"_s);
    EXPECT_TRUE(opener.opened.isEmpty()) << "dismissed";

    clock.advanceMs(23 * 3600 * 1000);
    checker.checkIfNeeded();
    waitFor([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(feed.requests, 1);

    clock.advanceMs(3600 * 1000);
    dialogs.answerAlert(0);
    checker.checkIfNeeded();
    ASSERT_TRUE(waitFor([&] { return !opener.opened.isEmpty(); }));
    EXPECT_EQ(feed.requests, 2);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(u"https://example.org/d"_s)});
}

TEST_F(UpdateCheckerTest, DownloadOpensOnlyWebAddresses)
{
    const std::pair<const char *, bool> cases[] = {
        {"https://example.org/get", true}, {"http://example.org/get", true},
        {"file:///etc/passwd", false},     {"myapp://install", false},
        {"not a url at all", false},       {"https://", false},
    };
    for (const auto &[address, opened] : cases) {
        opener.opened.clear();
        dialogs.answerAlert(0);
        checker.promptUpdate({u"3.0"_s, QString::fromLatin1(address)});
        EXPECT_EQ(opener.opened.size(), opened ? 1 : 0) << address;
    }
    checker.promptUpdate({u"3.0"_s, u"https://example.org/get"_s}); // "Later"
    EXPECT_TRUE(opener.opened.isEmpty());

    // Where no browser opens the address, the user is offered to copy it.
    opener.handles = false;
    dialogs.answerAlert(0);
    dialogs.answerAlert(1);
    checker.promptUpdate({u"3.0"_s, u"https://example.org/get"_s});
    ASSERT_EQ(dialogs.alerts().size(), qsizetype(std::size(cases) + 3));
    const AlertRequest &offer = dialogs.alerts().back();
    EXPECT_EQ(offer.message, u"Can't Open a Browser"_s);
    EXPECT_TRUE(offer.informativeText.contains(u"https://example.org/get"_s));
    ASSERT_EQ(offer.buttons.size(), 2);
    EXPECT_EQ(offer.buttons[0].title, u"Copy Address"_s);
}

} // namespace
