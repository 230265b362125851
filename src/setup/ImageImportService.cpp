#include "setup/ImageImportService.h"

#include "model/SubreportNaming.h"
#include "setup/ImageExpression.h"
#include "setup/PictureReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMimeDatabase>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The longest side a redrawn picture may have: far beyond any sheet choice, and small enough
// that sizes stay exact integers and a picture of that side can still be drawn.
constexpr double maximumSide = 32767;

using ImageImportService::ProcessedImage;

// The text after the last dot of a file name, unless that dot starts the name.
QString pathExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.mid(dot + 1) : QString();
}

int jpegQualityPercent(double quality)
{
    if (!std::isfinite(quality))
        quality = ImageImportOptions().jpegQuality;
    return int(std::lround(std::clamp(quality, 0.0, 1.0) * 100));
}

// JPEG has no transparency: transparent areas are laid on white, as on the page, instead of
// turning black.
QImage flattenedOnWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

ProcessedImage processedData(const QString &path, const ImageImportOptions &options,
                             const PictureReader::GiveUp &giveUp)
{
    using Options = ImageImportOptions;
    const QString extension = pathExtension(QFileInfo(path).fileName()).toLower();
    if (!ImageImportService::decodes(options)) {
        // Copied byte for byte: nothing is decoded.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw ImageImportError::processingFailed();
        QByteArray data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw ImageImportError::processingFailed();
        return {data, extension.isEmpty() ? u"png"_s : extension};
    }

    // Read once: a picture that shrinks is decoded at its new size.
    PictureReader::Picture picture = PictureReader::read(
        path,
        [&](const QSize &source) -> std::optional<QSize> {
            if (source.isEmpty())
                return std::nullopt;
            return ImageImportService::targetSize(source, options);
        },
        giveUp);
    if (picture.image.isNull())
        throw ImageImportError::processingFailed(picture.failure);
    QImage redrawn = std::move(picture.image);

    const bool jpeg = options.formatMode == Options::FormatMode::jpeg ||
                      (options.formatMode == Options::FormatMode::keepOriginal &&
                       (extension == "jpg"_L1 || extension == "jpeg"_L1));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, jpeg ? "jpeg" : "png");
    if (jpeg) {
        redrawn = flattenedOnWhite(redrawn);
        writer.setQuality(jpegQualityPercent(options.jpegQuality));
    }
    if (!writer.write(redrawn) || data.isEmpty())
        throw ImageImportError::processingFailed();
    return {data, jpeg ? u"jpg"_s : u"png"_s};
}

// Whether the file at `path` holds exactly `data`; a file that cannot be read differs.
bool holdsBytes(const QString &path, const QByteArray &data)
{
    if (QFileInfo(path).size() != data.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == data &&
           file.error() == QFileDevice::NoError;
}

// Writes a temporary file beside `path` and renames it into place once it is complete, so an
// interrupted import leaves no half-written picture.
void writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    QString failure;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        failure = file.errorString();
    } else if (file.write(data) != data.size()) {
        failure = file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        failure = file.errorString();
    }
    if (!failure.isEmpty())
        throw ImageImportError::writeFailed(failure);
}

} // namespace

ImageImportError::ImageImportError(Kind kind, const QString &words)
    : kind_(kind), words_(words), utf8_(description().toUtf8())
{
}

ImageImportError ImageImportError::writeFailed(const QString &systemMessage)
{
    return ImageImportError(Kind::writeFailed, systemMessage);
}

QString ImageImportError::description() const
{
    switch (kind_) {
    case Kind::writeFailed:
        return u"Couldn't copy the image: "_s + words_;
    case Kind::reportNotSaved:
        return u"Save the report first - Quillmark copies images into a folder next to the saved "
               "report file."_s;
    case Kind::processingFailed:
        break;
    }
    const QString text = u"Couldn't read or process that image."_s;
    return words_.isEmpty() ? text : text + u' ' + words_;
}

namespace ImageImportService {

const QList<QMimeType> &acceptedContentTypes()
{
    static const QList<QMimeType> types = [] {
        QMimeDatabase database;
        QList<QMimeType> list;
        for (const QString &name : {u"image/png"_s, u"image/jpeg"_s, u"image/gif"_s, u"image/bmp"_s,
                                    u"image/tiff"_s, u"image/heic"_s}) {
            const QMimeType type = database.mimeTypeForName(name);
            if (type.isValid())
                list.append(type);
        }
        return list;
    }();
    return types;
}

QStringList acceptedFileExtensions()
{
    QStringList extensions;
    for (const QMimeType &type : acceptedContentTypes()) {
        for (const QString &suffix : type.suffixes()) {
            if (!extensions.contains(suffix))
                extensions.append(suffix);
        }
    }
    return extensions;
}

bool isImageFile(const QUrl &url)
{
    const QString name = url.fileName();
    if (pathExtension(name).isEmpty())
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return false;
    for (const QMimeType &accepted : acceptedContentTypes()) {
        if (type.inherits(accepted.name()))
            return true;
    }
    return false;
}

std::optional<QSize> targetSize(const QSize &source, const ImageImportOptions &options)
{
    const double w = source.width();
    const double h = source.height();
    double width = w;
    double height = h;
    if (options.sizeMode == ImageImportOptions::SizeMode::resize) {
        const double m = std::max(options.maxDimension, 1.0);
        if (std::isnan(options.maxDimension))
            return std::nullopt;
        if (options.preserveAspectRatio) {
            const double scale = std::min({m / std::max(w, 1.0), m / std::max(h, 1.0), 1.0});
            width = w * scale;
            height = h * scale;
        } else {
            width = m;
            height = m;
        }
    }
    if (!std::isfinite(width) || !std::isfinite(height) || width > maximumSide ||
        height > maximumSide)
        return std::nullopt;
    return QSize(std::max(1, int(std::lround(width))), std::max(1, int(std::lround(height))));
}

QSizeF fittedBox(const QSizeF &box, const QSize &picture)
{
    if (picture.isEmpty() || box.isEmpty())
        return box;
    const double ratio = double(picture.width()) / picture.height();
    const bool wider = box.width() / box.height() > ratio;
    const double width = wider ? box.height() * ratio : box.width();
    const double height = wider ? box.height() : box.width() / ratio;
    return QSizeF(std::max(1.0, std::round(width)), std::max(1.0, std::round(height)));
}

QSizeF boxForPicture(const QSizeF &box, const QString &expression,
                     const std::optional<QUrl> &reportFileURL)
{
    const std::optional<QUrl> location = ImageExpression::resolve(expression, reportFileURL);
    if (!location || !location->isLocalFile())
        return box;
    return fittedBox(box, PictureReader::size(location->toLocalFile()));
}

bool decodes(const ImageImportOptions &options)
{
    return options.sizeMode != ImageImportOptions::SizeMode::keepOriginal ||
           options.formatMode != ImageImportOptions::FormatMode::keepOriginal;
}

ProcessedImage processImage(const QUrl &source, const ImageImportOptions &options,
                            const std::function<bool()> &giveUp)
{
    return processedData(source.toLocalFile(), options, giveUp);
}

QString storeImage(const ProcessedImage &processed, const QUrl &source,
                   const std::optional<QUrl> &reportFileURL)
{
    if (!reportFileURL)
        throw ImageImportError::reportNotSaved();
    const QDir folder = QFileInfo(reportFileURL->toLocalFile()).absoluteDir();
    const QString base = withoutPathExtension(source.fileName());
    QString name = base + u'.' + processed.extension;
    for (int n = 2;; ++n) {
        const QString path = folder.filePath(name);
        const QFileInfo existing(path);
        // A dangling link counts as taken: writing through it would land elsewhere.
        if (!existing.exists() && !existing.isSymLink()) {
            writeFile(path, processed.data);
            break;
        }
        if (holdsBytes(path, processed.data))
            break;
        name = base + u'-' + QString::number(n) + u'.' + processed.extension;
    }
    return subreportDirExpression(name);
}

QString importImage(const QUrl &source, const std::optional<QUrl> &reportFileURL,
                    const ImageImportOptions &options)
{
    if (!reportFileURL)
        throw ImageImportError::reportNotSaved();
    return storeImage(processImage(source, options), source, reportFileURL);
}

} // namespace ImageImportService
