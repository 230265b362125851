#include "canvas/ElementImageLoader.h"

#include "setup/PicturePool.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace {

using namespace Qt::StringLiterals;

// Pictures are kept no larger than this either way: enough for a page-wide element at the
// largest zoom, while a photograph of many megapixels takes a few megabytes.
constexpr int largestSide = 2400;
// The smallest step a picture is decoded at; each next step doubles it.
constexpr int smallestSide = 256;
// The most of a download Qt holds before it is read.
constexpr qint64 downloadPiece = 1024 * 1024;

QString seconds(std::chrono::milliseconds time)
{
    return QString::number(double(time.count()) / 1000);
}

// A decode for a loader gives up once the loader has gone, or as the designer ends.
PictureReader::GiveUp givingUp(const std::shared_ptr<std::atomic_bool> &alive)
{
    return [alive] { return !alive->load() || PicturePool::isStopping(); };
}

} // namespace

ElementImageLoader::ElementImageLoader(Decoding decoding, QObject *parent)
    : QObject(parent), decoding_(decoding), alive_(std::make_shared<std::atomic_bool>(true))
{
    decoder_ = [giveUp = givingUp(alive_)](const QString &path, int longestSide) {
        return PictureReader::readWithin(path, longestSide, giveUp);
    };
}

ElementImageLoader::~ElementImageLoader()
{
    // Decodes not yet begun are skipped; those running give up, and what they leave is dropped.
    alive_->store(false);
}

void ElementImageLoader::setDecoder(Decoder decoder)
{
    decoder_ = std::move(decoder);
}

int ElementImageLoader::decodedSide(int longestSide)
{
    int side = smallestSide;
    while (side < longestSide && side < largestSide)
        side *= 2;
    return longestSide <= 0 ? largestSide : std::min(side, largestSide);
}

ElementImageLoader::Result ElementImageLoader::image(const QUrl &url, int longestSide)
{
    if (url.isLocalFile())
        return localImage(url.toLocalFile(), longestSide);
    const auto known = webImages_.constFind(url);
    if (known != webImages_.constEnd())
        return *known;
    webImages_.insert(url, Result{});
    download(url);
    return Result{};
}

ElementImageLoader::Result ElementImageLoader::localImage(const QString &path, int longestSide)
{
    // The file is read again whenever its size or its (nanosecond) modification time changes,
    // so an edited picture shows at once, without decoding it at every paint.
    std::error_code error;
    const std::filesystem::path native(QFile::encodeName(path).toStdString());
    const auto modified = std::filesystem::last_write_time(native, error);
    const auto size = error ? 0 : std::filesystem::file_size(native, error);
    if (error || !std::filesystem::is_regular_file(native, error)) {
        localFiles_.remove(path);
        watch(path, false);
        return Result{Phase::failed, {}, {}};
    }
    watch(path, true);
    LocalFile &file = localFiles_[path];
    if (file.size != qint64(size) || file.modified != modified) {
        file = LocalFile{modified, qint64(size), ++versions_, {}, 0, false, false, 0};
    }
    const int side = decodedSide(longestSide);
    const bool enough = file.complete || file.side >= side;
    if (!file.failed && !enough) {
        if (decoding_ == Decoding::atOnce)
            take(file, side, decoder_(path, side));
        else if (file.pendingSide < side)
            decodeInBackground(path, file, side);
    }
    if (file.failed)
        return Result{Phase::failed, {}, {}, file.failure};
    if (file.picture.image.isNull())
        return Result{};
    return Result{Phase::loaded, file.picture.image, file.picture.size};
}

void ElementImageLoader::watch(const QString &path, bool exists)
{
    // Pictures drawn once need no watching.
    if (decoding_ != Decoding::inBackground)
        return;
    if (!watcher_) {
        watcher_ = new QFileSystemWatcher(this);
        connect(watcher_, &QFileSystemWatcher::fileChanged, this, &ElementImageLoader::fileChanged);
        connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
                &ElementImageLoader::folderChanged);
    }
    if (exists) {
        if (!watchedFiles_.contains(path) && watcher_->addPath(path))
            watchedFiles_.insert(path);
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    QSet<QString> &missing = missingByFolder_[folder];
    if (missing.contains(path))
        return;
    if (missing.isEmpty() && !watcher_->addPath(folder)) {
        missingByFolder_.remove(folder);
        return;
    }
    missing.insert(path);
}

void ElementImageLoader::fileChanged(const QString &path)
{
    // A file that was replaced or removed is no longer watched; the next draw watches it again,
    // or its folder while it is missing.
    if (!watcher_->files().contains(path))
        watchedFiles_.remove(path);
    emit imageChanged(QUrl::fromLocalFile(path));
}

void ElementImageLoader::folderChanged(const QString &folder)
{
    const auto missing = missingByFolder_.find(folder);
    if (missing == missingByFolder_.end())
        return;
    QList<QString> arrived;
    for (const QString &path : std::as_const(*missing)) {
        if (QFileInfo::exists(path))
            arrived.append(path);
    }
    for (const QString &path : std::as_const(arrived))
        missing->remove(path);
    if (missing->isEmpty()) {
        missingByFolder_.erase(missing);
        watcher_->removePath(folder);
    }
    for (const QString &path : std::as_const(arrived))
        emit imageChanged(QUrl::fromLocalFile(path));
}

void ElementImageLoader::decodeInBackground(const QString &path, LocalFile &file, int side)
{
    file.pendingSide = side;
    const quint64 version = file.version;
    auto *watcher = new QFutureWatcher<PictureReader::Picture>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path, version, side] {
        watcher->deleteLater();
        decoded(path, version, side, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(
        &PicturePool::instance(), [decoder = decoder_, alive = alive_, path, side] {
            return alive->load() ? decoder(path, side) : PictureReader::Picture{};
        }));
}

void ElementImageLoader::decoded(const QString &path, quint64 version, int side,
                                 const PictureReader::Picture &picture)
{
    const auto file = localFiles_.find(path);
    // The file changed or went while it was decoded: what arrives is of an older version.
    if (file == localFiles_.end() || file->version != version)
        return;
    if (file->pendingSide == side)
        file->pendingSide = 0;
    if (file->side >= side && !file->picture.image.isNull())
        return; // a larger one came first
    take(*file, side, picture);
    emit imageChanged(QUrl::fromLocalFile(path));
}

void ElementImageLoader::take(LocalFile &file, int side, const PictureReader::Picture &picture)
{
    if (picture.image.isNull()) {
        file.failed = true;
        file.failure = picture.failure;
        file.picture = {};
        return;
    }
    file.picture = picture;
    file.side = side;
    // A picture that fitted within the step is whole: no larger step decodes more of it.
    file.complete = picture.image.size() == picture.size;
}

void ElementImageLoader::download(const QUrl &url)
{
    if (!network_)
        network_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = network_->get(request);
    // Taken as it arrives, so that what is held is counted, and stopped past the limits.
    reply->setReadBufferSize(downloadPiece);
    struct Progress {
        QByteArray data;
        QString failure;
    };
    auto progress = std::make_shared<Progress>();
    const DownloadLimits limits = downloadLimits_;
    const auto stop = [reply, progress](const QString &failure) {
        if (progress->failure.isEmpty())
            progress->failure = failure;
        progress->data.clear();
        reply->abort();
    };
    const QString tooLarge =
        u"The picture is larger than %1 MB."_s.arg(double(limits.bytes) / (1024 * 1024));
    auto *stall = new QTimer(reply);
    stall->setSingleShot(true);
    connect(stall, &QTimer::timeout, reply, [stop, limits] {
        stop(u"The server sent nothing for %1 seconds."_s.arg(seconds(limits.stall)));
    });
    stall->start(limits.stall);
    QTimer::singleShot(limits.total, reply, [stop, limits] {
        stop(u"The download took longer than %1 seconds."_s.arg(seconds(limits.total)));
    });
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, stop, limits, tooLarge] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > limits.bytes)
            stop(tooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, reply,
            [reply, progress, stall, stop, limits, tooLarge] {
                stall->start();
                // Measured before it is taken: a buffer grown past the limit would take twice it.
                if (progress->data.size() + reply->bytesAvailable() > limits.bytes)
                    return stop(tooLarge);
                progress->data += reply->readAll();
            });
    connect(reply, &QNetworkReply::finished, this, [this, reply, progress, url] {
        reply->deleteLater();
        if (!progress->failure.isEmpty())
            return failWeb(url, progress->failure);
        if (reply->error() != QNetworkReply::NoError)
            return failWeb(url, {});
        downloaded(url, progress->data + reply->readAll());
    });
}

void ElementImageLoader::failWeb(const QUrl &url, const QString &failure)
{
    webImages_.insert(url, Result{Phase::failed, {}, {}, failure});
    emit imageChanged(url);
}

void ElementImageLoader::downloaded(const QUrl &url, const QByteArray &data)
{
    // Decoded on the pool as local files are: a large download holds no window.
    auto *watcher = new QFutureWatcher<PictureReader::Picture>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, url] {
        watcher->deleteLater();
        const PictureReader::Picture picture = watcher->result();
        if (picture.image.isNull())
            return failWeb(url, picture.failure);
        webImages_.insert(url, Result{Phase::loaded, picture.image, picture.size, {}});
        emit imageChanged(url);
    });
    watcher->setFuture(
        QtConcurrent::run(&PicturePool::instance(), [data, giveUp = givingUp(alive_)] {
            return PictureReader::readWithin(data, largestSide, giveUp);
        }));
}
