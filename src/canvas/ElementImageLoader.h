#pragma once

#include "setup/PictureReader.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QUrl>
#include <filesystem>

class QNetworkAccessManager;
class QNetworkReply;

// The pictures of image elements. A local file is read when asked for (again whenever it has
// changed on disk); a web picture is fetched in the background and `imageChanged` tells the
// canvas when its load has ended. Large pictures are kept scaled down, decoded at that size
// where their format allows. Main thread only.
class ElementImageLoader : public QObject {
    Q_OBJECT
public:
    enum class Phase { loading, loaded, failed };
    struct Result {
        Phase phase = Phase::loading;
        // Kept no larger than the canvas needs.
        QImage image;
        // The picture's own size as shown, in pixels: the points the engine prints it at.
        QSize size;
    };

    explicit ElementImageLoader(QObject *parent = nullptr);

    Result image(const QUrl &url);

signals:
    void imageChanged(const QUrl &url);

private:
    struct LocalFile {
        std::filesystem::file_time_type modified;
        qint64 size = -1;
        PictureReader::Picture picture;
    };

    Result localImage(const QString &path);
    void finished(QNetworkReply *reply, const QUrl &url);

    QNetworkAccessManager *network_ = nullptr;
    QHash<QString, LocalFile> localFiles_;
    QHash<QUrl, Result> webImages_;
};
