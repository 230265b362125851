#include "canvas/ElementImageLoader.h"

#include "HeicFile.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutex>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Phase = ElementImageLoader::Phase;

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

// A one-file web server on the loopback: "/picture.png" is a picture, any other path a 404.
class PictureServer : public QTcpServer {
public:
    PictureServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                const QByteArray request = socket->readAll();
                const QByteArray body =
                    request.startsWith("GET /picture.png ") ? png(QSize(8, 4)) : QByteArray();
                const QByteArray status =
                    body.isEmpty() ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n";
                socket->write(status + "Content-Length: " + QByteArray::number(body.size()) +
                              "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }
    QUrl url(const QString &path) const
    {
        return QUrl(u"http://127.0.0.1:%1/%2"_s.arg(serverPort()).arg(path));
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

// A local file is read again each time it changes: whatever it holds, a picture or not, and
// whatever size a picture declares.
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
    struct Case {
        QByteArray contents;
        Phase phase;
        QSize size; // as shown
    };
    const Case cases[] = {
        {png(QSize(3, 3)), Phase::loaded, QSize(3, 3)},
        {png(QSize(5, 2)), Phase::loaded, QSize(5, 2)},
        {"not a picture", Phase::failed, {}},
        {svg("40"), Phase::loaded, QSize(40, 40)},
        // As large as a size can be: drawn scaled down, the room its decode would take is
        // reckoned without overflowing.
        {svg("2147483647"), Phase::loaded, QSize(2147483647, 2147483647)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.contents.left(60).toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.contents);
        file.close();
        const ElementImageLoader::Result read = loader.image(url);
        EXPECT_EQ(read.phase, c.phase);
        if (c.phase == Phase::loaded) {
            EXPECT_EQ(read.size, c.size);
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
