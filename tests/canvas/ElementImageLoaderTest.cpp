#include "canvas/ElementImageLoader.h"

#include "HeicFile.h"
#include "HostilePictures.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutex>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using Phase = ElementImageLoader::Phase;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray gzip(const QByteArray &bytes)
{
    return hostilepictures::deflatedRepeat(bytes, {}, 0, {}, true);
}

QByteArray png(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A web server on the loopback: "/picture.png" is a picture, any other path a 404; and the
// hostile ones: "/endless.png" sends for ever, "/declared.png" declares more than a picture may
// take, "/stalled.png" stops after a few bytes and "/trickle.png" sends a byte every 20 ms.
class PictureServer : public QTcpServer {
public:
    PictureServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
        listen(QHostAddress::LocalHost);
    }
    QUrl url(const QString &path) const
    {
        return QUrl(u"http://127.0.0.1:%1/%2"_s.arg(serverPort()).arg(path));
    }
    // The paths whose connections the client has closed.
    QStringList closed;

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        const QString path = QString::fromLatin1(request.mid(5, request.indexOf(' ', 5) - 5));
        connect(socket, &QTcpSocket::disconnected, this, [this, path] { closed.append(path); });
        const QByteArray ok = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
        if (path == u"endless.png"_s) {
            const auto more = [socket] {
                while (socket->state() == QAbstractSocket::ConnectedState &&
                       socket->bytesToWrite() < 1024 * 1024)
                    socket->write(QByteArray(64 * 1024, 'x'));
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, more);
            socket->write(ok + "\r\n");
            more();
        } else if (path == u"declared.png"_s) {
            socket->write(ok + "Content-Length: 2000000000\r\n\r\nxxxx");
        } else if (path == u"stalled.png"_s) {
            socket->write(ok + "Content-Length: 1000\r\n\r\nxxxx");
        } else if (path == u"trickle.png"_s) {
            socket->write(ok + "Content-Length: 1000000\r\n\r\n");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
            timer->start(20);
        } else {
            const QByteArray body = path == u"picture.png"_s ? png(QSize(8, 4)) : QByteArray();
            const QByteArray status =
                body.isEmpty() ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n";
            socket->write(status + "Content-Length: " + QByteArray::number(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        }
    }
};

TEST(ElementImageLoaderTest, WebPicturesLoadInTheBackground)
{
    PictureServer server;
    ASSERT_TRUE(server.isListening());
    ElementImageLoader loader;
    QSignalSpy changed(&loader, &ElementImageLoader::imageChanged);

    const QUrl good = server.url(u"picture.png"_s), bad = server.url(u"nothing.png"_s);
    EXPECT_EQ(loader.image(good).phase, Phase::loading);
    EXPECT_EQ(loader.image(bad).phase, Phase::loading);
    while (changed.size() < 2)
        ASSERT_TRUE(changed.wait(5000));
    const ElementImageLoader::Result loaded = loader.image(good);
    EXPECT_EQ(loaded.phase, Phase::loaded);
    EXPECT_EQ(loaded.image.size(), QSize(8, 4));
    EXPECT_EQ(loader.image(bad).phase, Phase::failed);
    EXPECT_EQ(changed.size(), 2) << "a finished load is not fetched again";
}

// A read gives up when it is told to: at once, or in the middle of a picture that takes long to
// decode (a PNG of 64 MB once decoded), where it stops at its next look.
TEST(ElementImageLoaderTest, AReadGivesUpWhenToldTo)
{
    QTemporaryDir dir;
    const QByteArray shapes =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="400" height="100">)" +
        QByteArray(R"(<rect x="1" y="2" width="30" height="40"/>)").repeated(100000) + "</svg>";
    const struct {
        QString name;
        QByteArray bytes;
    } pictures[] = {
        {u"bomb.png"_s, hostilepictures::pngBomb(QSize(4096, 4096))},
        {u"shapes.svg"_s, shapes},
        {u"shapes.svgz"_s, gzip(shapes)},
    };
    for (const auto &picture : pictures) {
        SCOPED_TRACE(picture.name.toStdString());
        const QString path = dir.filePath(picture.name);
        ASSERT_TRUE(writeFile(path, picture.bytes));
        EXPECT_TRUE(PictureReader::readWithin(path, 256, [] { return true; }).image.isNull());
        const PictureReader::Picture read =
            PictureReader::readWithin(path, 256, [] { return false; });
        EXPECT_FALSE(read.image.isNull());
    }
    int looks = 0;
    EXPECT_FALSE(PictureReader::readWithin(dir.filePath(u"bomb.png"_s), 256, [&] {
                     ++looks;
                     return false;
                 }).image.isNull());
    const int whole = looks;
    looks = 0;
    EXPECT_TRUE(PictureReader::readWithin(dir.filePath(u"bomb.png"_s), 256, [&] {
                    return ++looks > whole / 2;
                }).image.isNull());
    EXPECT_EQ(looks, whole / 2 + 1) << "nothing is read once it has given up, of " << whole;
}

// A web picture that never ends, declares too much, stalls or trickles is stopped at the
// download's limits (the designer's are 256 MB, 20 s without a byte and 60 s in all; smaller
// here) and fails with words: nothing is held beyond the limit, and the connection is closed.
TEST(ElementImageLoaderTest, EndlessStalledAndSlowDownloadsAreStopped)
{
    PictureServer server;
    ASSERT_TRUE(server.isListening());
    using Limits = ElementImageLoader::DownloadLimits;
    Limits small;
    small.bytes = 1024 * 1024;
    Limits quiet;
    quiet.stall = std::chrono::milliseconds(300);
    Limits brief;
    brief.total = std::chrono::seconds(2);
    const struct {
        QString path;
        Limits limits;
        QString failure;
    } cases[] = {
        {u"endless.png"_s, small, u"The picture is larger than 1 MB."_s},
        {u"declared.png"_s, small, u"The picture is larger than 1 MB."_s},
        {u"stalled.png"_s, quiet, u"The server sent nothing for 0.3 seconds."_s},
        {u"trickle.png"_s, brief, u"The download took longer than 2 seconds."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ElementImageLoader loader;
        loader.setDownloadLimits(c.limits);
        QSignalSpy changed(&loader, &ElementImageLoader::imageChanged);
        const QUrl url = server.url(c.path);
        EXPECT_EQ(loader.image(url).phase, Phase::loading);
        ASSERT_TRUE(
            testsupport::waitFor([&] { return !changed.isEmpty(); }, std::chrono::seconds(60)));
        const ElementImageLoader::Result failed = loader.image(url);
        EXPECT_EQ(failed.phase, Phase::failed);
        EXPECT_EQ(failed.failure, c.failure);
        EXPECT_TRUE(testsupport::waitFor([&] { return server.closed.contains(c.path); }));
    }
}

// A local file is read again each time it changes: whatever it holds, a picture or not, and
// whatever size a picture declares. Hostile pictures end in a picture or a failure, never in a
// crash, a hang or the memory they ask for: an SVG that names itself, or another that names it
// back, a pipe that never ends or a bomb (under any name: the reader goes by what a file holds).
TEST(ElementImageLoaderTest, LocalFilesAreReadAgainWhenTheyChange)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"p.png"_s);
    const QUrl url = QUrl::fromLocalFile(path);
    ElementImageLoader loader;
    EXPECT_EQ(loader.image(url).phase, Phase::failed) << "missing";

    const auto svg = [](const char *side) -> QByteArray {
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" + QByteArray(side) +
               R"(" height=")" + QByteArray(side) + R"("><rect width="10" height="10"/></svg>)";
    };
    using hostilepictures::naming;
    // An SVG that names this one back, a pipe nobody writes to, and a red picture an SVG
    // embeds from beside it.
    ASSERT_TRUE(writeFile(dir.filePath(u"back.svg"_s), naming(u"p.png"_s)));
    const QString pipe = dir.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(writeFile(dir.filePath(u"red.png"_s), png(QSize(8, 8))));
    const QByteArray svgInData = "data:image/png;base64," + naming(path).toBase64();
    const QByteArray styledByPipe = "<?xml version=\"1.0\"?><?xml-stylesheet type=\"text/css\" "
                                    "href=\"" +
                                    QFile::encodeName(pipe) + "\"?>" + svg("30");
    // Named through an entity, in a document in Latin-1 with a character beyond ASCII.
    const QByteArray throughEntity =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!DOCTYPE svg [<!ENTITY me \"p.png\">]>" +
        naming(u"&me;"_s).replace("<image ", "<image id=\"\xE9t\xE9\" ");
    struct Case {
        QByteArray contents;
        Phase phase;
        QSize size; // as shown
        QString failure = {};
        // Whether it is red in its middle.
        bool red = false;
    };
    const Case cases[] = {
        {png(QSize(3, 3)), Phase::loaded, QSize(3, 3)},
        {png(QSize(5, 2)), Phase::loaded, QSize(5, 2)},
        {"not a picture", Phase::failed, {}},
        {svg("40"), Phase::loaded, QSize(40, 40)},
        // As large as a size can be: drawn scaled down, the room its decode would take is
        // reckoned without overflowing.
        {svg("2147483647"), Phase::loaded, QSize(2147483647, 2147483647)},
        // Drawn without what they name.
        {naming(u"p.png"_s), Phase::loaded, QSize(100, 100)},
        {gzip(naming(u"p.png"_s)), Phase::loaded, QSize(100, 100)},
        {naming(u"back.svg"_s), Phase::loaded, QSize(100, 100)},
        {throughEntity, Phase::loaded, QSize(100, 100)},
        {naming(QString::fromLatin1(svgInData)), Phase::loaded, QSize(100, 100)},
        {naming(pipe), Phase::loaded, QSize(100, 100)},
        {styledByPipe, Phase::loaded, QSize(30, 30)},
        // A picture that is no SVG is drawn in.
        {naming(u"red.png"_s), Phase::loaded, QSize(100, 100), {}, true},
        // Inflated no further than a read may hold.
        {hostilepictures::svgzBomb(PictureReader::largestHeldMB),
         Phase::failed,
         {},
         PictureReader::tooLarge()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.contents.left(60).toStdString());
        ASSERT_TRUE(writeFile(path, c.contents));
        const ElementImageLoader::Result read = loader.image(url);
        EXPECT_EQ(read.phase, c.phase);
        EXPECT_EQ(read.failure, c.failure);
        if (c.phase == Phase::loaded) {
            EXPECT_EQ(read.size, c.size);
        }
        if (c.red) {
            EXPECT_EQ(read.image.pixelColor(50, 50), QColor(Qt::red));
        }
    }
}

// The canvas's loader is told when a picture it was asked for appears, changes or goes on disk,
// so an element showing "picture missing" shows the picture without waiting for a redraw.
TEST(ElementImageLoaderTest, TheCanvasLoaderIsToldWhenAPictureAppearsChangesOrGoes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"p.png"_s);
    const QUrl url = QUrl::fromLocalFile(path);
    ElementImageLoader loader(ElementImageLoader::Decoding::inBackground);
    QSignalSpy changed(&loader, &ElementImageLoader::imageChanged);
    const auto toldOf = [&](const char *what) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(testsupport::waitFor([&] { return changed.contains(QVariantList{url}); }))
            << "not told";
        changed.clear();
    };
    const auto write = [&](const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    EXPECT_EQ(loader.image(url).phase, Phase::failed) << "missing";

    write(png(QSize(3, 3)));
    toldOf("appeared");
    ASSERT_TRUE(testsupport::waitFor([&] { return loader.image(url).phase == Phase::loaded; }));
    EXPECT_EQ(loader.image(url).image.size(), QSize(3, 3));
    changed.clear();

    write(png(QSize(5, 2)));
    toldOf("changed");
    ASSERT_TRUE(
        testsupport::waitFor([&] { return loader.image(url).image.size() == QSize(5, 2); }));
    changed.clear();

    ASSERT_TRUE(QFile::remove(path));
    toldOf("gone");
    EXPECT_EQ(loader.image(url).phase, Phase::failed);

    write(png(QSize(4, 4)));
    toldOf("back");
    ASSERT_TRUE(
        testsupport::waitFor([&] { return loader.image(url).image.size() == QSize(4, 4); }));
}

// A picture over Qt's allocation limit (lowered to 1 MB here) shows, kept no larger than the
// canvas needs; a HEIC picture shows through libheif.
TEST(ElementImageLoaderTest, LargeAndHEICPicturesShowScaled)
{
    QTemporaryDir dir;
    const int defaultLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const auto restore = qScopeGuard([&] { QImageReader::setAllocationLimit(defaultLimit); });
    QImage wide(4800, 1200, QImage::Format_RGB32);
    wide.fill(Qt::green);
    const QString photo = dir.filePath(u"photo.jpg"_s);
    ASSERT_TRUE(wide.save(photo, "JPEG"));

    ElementImageLoader loader;
    const ElementImageLoader::Result loaded = loader.image(QUrl::fromLocalFile(photo));
    ASSERT_EQ(loaded.phase, Phase::loaded);
    EXPECT_EQ(loaded.image.size(), QSize(2400, 600));
    EXPECT_GT(loaded.image.pixelColor(1200, 300).green(), 200);
    EXPECT_EQ(QImageReader::allocationLimit(), 1);

    QImage halves(64, 32, QImage::Format_RGB32);
    halves.fill(Qt::blue);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            halves.setPixelColor(x, y, Qt::red);
    const QString heic = dir.filePath(u"phone.heic"_s);
    if (!testsupport::writeHeic(halves, heic))
        GTEST_SKIP() << "libheif has no HEVC encoder to write the test picture";
    const ElementImageLoader::Result phone = loader.image(QUrl::fromLocalFile(heic));
    ASSERT_EQ(phone.phase, Phase::loaded);
    EXPECT_EQ(phone.image.size(), QSize(64, 32));
    EXPECT_GT(phone.image.pixelColor(8, 16).red(), 200);
    EXPECT_GT(phone.image.pixelColor(56, 16).blue(), 200);
}

} // namespace

// In the background a picture is decoded at the step above the size asked for and shows once it
// has arrived; a smaller size is served from it, a larger one shows it until its own arrives.
TEST(ElementImageLoaderTest, BackgroundPicturesArriveAtTheSizeDrawnAndAreKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"wide.png"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png(QSize(3000, 1500)));
    file.close();
    const QUrl url = QUrl::fromLocalFile(path);

    ElementImageLoader loader(ElementImageLoader::Decoding::inBackground);
    auto sides = std::make_shared<QList<int>>();
    auto mutex = std::make_shared<QMutex>();
    loader.setDecoder([sides, mutex](const QString &file, int side) {
        {
            const QMutexLocker lock(mutex.get());
            sides->append(side);
        }
        return PictureReader::readWithin(file, side);
    });
    const auto decodedSides = [&] {
        const QMutexLocker lock(mutex.get());
        return *sides;
    };
    QSignalSpy changed(&loader, &ElementImageLoader::imageChanged);

    EXPECT_EQ(loader.image(url, 300).phase, Phase::loading) << "the frame shows meanwhile";
    ASSERT_TRUE(changed.wait(10000));
    ElementImageLoader::Result shown = loader.image(url, 300);
    ASSERT_EQ(shown.phase, Phase::loaded);
    EXPECT_EQ(shown.image.size(), QSize(512, 256));
    EXPECT_EQ(shown.size, QSize(3000, 1500));
    EXPECT_EQ(loader.image(url, 100).image.size(), QSize(512, 256));

    // Zoomed in: the smaller picture shows until the larger one arrives.
    EXPECT_EQ(loader.image(url, 900).image.size(), QSize(512, 256));
    EXPECT_EQ(loader.image(url, 1000).image.size(), QSize(512, 256));
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_EQ(loader.image(url, 1000).image.size(), QSize(1024, 512));
    EXPECT_EQ(loader.image(url, 300).image.size(), QSize(1024, 512)) << "zoomed out: kept";
    EXPECT_EQ(decodedSides(), (QList<int>{512, 1024})) << "nothing is decoded twice";
    EXPECT_EQ(changed.size(), 2);
}
