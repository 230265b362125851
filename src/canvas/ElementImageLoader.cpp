#include "canvas/ElementImageLoader.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// Pictures are kept no larger than this either way: enough for a page-wide element at the
// largest zoom, while a photograph of many megapixels takes a few megabytes.
constexpr int largestSide = 2400;

} // namespace

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
    // The file is read again whenever its size or its (nanosecond) modification time changes,
    // so an edited picture shows at once, without decoding it at every paint.
    std::error_code error;
    const std::filesystem::path native(QFile::encodeName(path).toStdString());
    const auto modified = std::filesystem::last_write_time(native, error);
    const auto size = error ? 0 : std::filesystem::file_size(native, error);
    if (error || !std::filesystem::is_regular_file(native, error)) {
        localFiles_.remove(path);
        return Result{Phase::failed, {}, {}};
    }
    LocalFile &file = localFiles_[path];
    if (file.size != qint64(size) || file.modified != modified) {
        file.size = qint64(size);
        file.modified = modified;
        file.picture = PictureReader::readWithin(path, largestSide);
    }
    if (file.picture.image.isNull())
        return Result{Phase::failed, {}, {}};
    return Result{Phase::loaded, file.picture.image, file.picture.size};
}

void ElementImageLoader::finished(QNetworkReply *reply, const QUrl &url)
{
    reply->deleteLater();
    Result result{Phase::failed, {}, {}};
    if (reply->error() == QNetworkReply::NoError) {
        const PictureReader::Picture picture =
            PictureReader::readWithin(reply->readAll(), largestSide);
        if (!picture.image.isNull())
            result = Result{Phase::loaded, picture.image, picture.size};
    }
    webImages_.insert(url, result);
    emit imageChanged(url);
}
