#include "canvas/ElementImageLoader.h"

#include <QBuffer>
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

TEST(ElementImageLoaderTest, LocalFilesAreReadAgainWhenTheyChange)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"p.png"_s);
    const QUrl url = QUrl::fromLocalFile(path);
    ElementImageLoader loader;
    EXPECT_EQ(loader.image(url).phase, Phase::failed) << "missing";

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png(QSize(3, 3)));
    file.close();
    EXPECT_EQ(loader.image(url).image.size(), QSize(3, 3));

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(png(QSize(5, 2)));
    file.close();
    EXPECT_EQ(loader.image(url).image.size(), QSize(5, 2));

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a picture");
    file.close();
    EXPECT_EQ(loader.image(url).phase, Phase::failed);
}

} // namespace
