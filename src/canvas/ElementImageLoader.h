#pragma once

#include "setup/PictureReader.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

class QFileSystemWatcher;
class QNetworkAccessManager;

// The pictures of image elements. A local file is read again whenever it has changed on disk; a
// loader that decodes in the background watches the files it was asked for, and the folders of
// those that were missing, and emits `imageChanged` when one changes, appears or goes. A web
// picture is fetched and decoded in the background; a download that grows past the most a
// picture read may hold, that stalls or that takes too long is stopped and fails. Pictures are
// decoded at the size they are drawn at (in steps, up to a largest size kept), where their format
// allows while decoding. A loader that decodes in the background (the canvas's) hands out the
// picture's frame until the picture arrives and then emits `imageChanged`; one that decodes at
// once (pictures drawn once, without a canvas) reads local files when asked. Each picture is kept
// at the largest size asked for until its file changes, so a zoom back or a return to a report
// decodes nothing. Main thread only; the decoding runs on the picture pool, and gives up once the
// loader has gone or the pool stops.
class ElementImageLoader : public QObject {
    Q_OBJECT
public:
    enum class Phase { loading, loaded, failed };
    enum class Decoding { atOnce, inBackground };
    struct Result {
        Phase phase = Phase::loading;
        // Kept no larger than the canvas needs; while a larger one is decoded, the smaller one
        // decoded before.
        QImage image;
        // The picture's own size as shown, in pixels: the points the engine prints it at.
        QSize size;
        // Why it failed, in the user's words, when that is more than "not a picture".
        QString failure;
    };
    // What a download may take before it is stopped and fails.
    struct DownloadLimits {
        qint64 bytes = qint64(PictureReader::largestHeldMB) * 1024 * 1024;
        // From the request to the last byte, and between two pieces that arrive.
        std::chrono::milliseconds total = std::chrono::seconds(60);
        std::chrono::milliseconds stall = std::chrono::seconds(20);
    };
    // Reads the local file at `path` no larger than `longestSide` pixels either way. Called on
    // the loader's pool when decoding in the background.
    using Decoder = std::function<PictureReader::Picture(const QString &path, int longestSide)>;

    explicit ElementImageLoader(Decoding decoding = Decoding::atOnce, QObject *parent = nullptr);
    ~ElementImageLoader() override;

    // The picture at `url`, wanted `longestSide` pixels large on its longest side (0: as large
    // as kept).
    Result image(const QUrl &url, int longestSide = 0);
    // Reads local files through `decoder` instead of PictureReader.
    void setDecoder(Decoder decoder);
    // For the downloads begun from now on.
    void setDownloadLimits(const DownloadLimits &limits) { downloadLimits_ = limits; }

    // The size a picture of `longestSide` pixels is decoded at: the next of a few steps, never
    // beyond the largest kept.
    static int decodedSide(int longestSide);

signals:
    // A picture has arrived, failed, or a larger one has replaced the one shown; or a local
    // picture's file has changed, appeared or gone on disk, to be read again when next drawn.
    void imageChanged(const QUrl &url);

private:
    struct LocalFile {
        std::filesystem::file_time_type modified;
        qint64 size = -1;
        // Counts the versions of the file seen, so that a decode of an older one is dropped.
        quint64 version = 0;
        PictureReader::Picture picture;
        // The step `picture` was decoded for, and whether it holds the whole picture.
        int side = 0;
        bool complete = false;
        bool failed = false;
        // The step being decoded in the background, or 0.
        int pendingSide = 0;
        // Why it failed, where that is known.
        QString failure;
    };

    Result localImage(const QString &path, int longestSide);
    void watch(const QString &path, bool exists);
    void fileChanged(const QString &path);
    void folderChanged(const QString &folder);
    void decodeInBackground(const QString &path, LocalFile &file, int side);
    void decoded(const QString &path, quint64 version, int side,
                 const PictureReader::Picture &picture);
    static void take(LocalFile &file, int side, const PictureReader::Picture &picture);
    void download(const QUrl &url);
    void downloaded(const QUrl &url, const QByteArray &data);
    void failWeb(const QUrl &url, const QString &failure);

    Decoding decoding_;
    Decoder decoder_;
    // Tells the decodes still queued that nobody waits for them any more.
    std::shared_ptr<std::atomic_bool> alive_;
    quint64 versions_ = 0;
    QNetworkAccessManager *network_ = nullptr;
    DownloadLimits downloadLimits_;
    QHash<QString, LocalFile> localFiles_;
    QHash<QUrl, Result> webImages_;
    QFileSystemWatcher *watcher_ = nullptr;
    // The files watched, and by folder the files asked for that were not there.
    QSet<QString> watchedFiles_;
    QHash<QString, QSet<QString>> missingByFolder_;
};
