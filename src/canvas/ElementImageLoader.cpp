#include "canvas/ElementImageLoader.h"

#include <QFileInfo>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

ElementImageLoader::ElementImageLoader(QObject *parent) : QObject(parent) {}

ElementImageLoader::Result ElementImageLoader::image(const QUrl &url)
{
    if (url.isLocalFile())
        return localImage(url.toLocalFile());
    const auto known = webImages_.constFind(url);
    if (known != webImages_.constEnd())
        return *known;
    webImages_.insert(url, Result{});
    if (!network_)
        network_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] { finished(reply, url); });
    return Result{};
}

ElementImageLoader::Result ElementImageLoader::localImage(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        localFiles_.remove(path);
        return Result{Phase::failed, {}};
    }
    // Reading is cheap to skip while the file is as it was; an edited picture shows at once.
    LocalFile &file = localFiles_[path];
    if (file.size != info.size() || file.modified != info.lastModified()) {
        file.size = info.size();
        file.modified = info.lastModified();
        QImageReader reader(path);
        reader.setAutoTransform(true);
        file.image = reader.read();
    }
    if (file.image.isNull())
        return Result{Phase::failed, {}};
    return Result{Phase::loaded, file.image};
}

void ElementImageLoader::finished(QNetworkReply *reply, const QUrl &url)
{
    reply->deleteLater();
    Result result{Phase::failed, {}};
    if (reply->error() == QNetworkReply::NoError) {
        QImage picture;
        if (picture.loadFromData(reply->readAll()))
            result = Result{Phase::loaded, picture};
    }
    webImages_.insert(url, result);
    emit imageChanged(url);
}
