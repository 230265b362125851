#pragma once

#include "setup/ImageImportOptions.h"

#include <QByteArray>
#include <QList>
#include <QMimeType>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <exception>
#include <functional>
#include <optional>

// Why an image import failed; its description is the text the import sheet shows.
class ImageImportError : public std::exception {
public:
    enum class Kind { writeFailed, reportNotSaved, processingFailed };

    static ImageImportError writeFailed(const QString &systemMessage);
    static ImageImportError reportNotSaved() { return ImageImportError(Kind::reportNotSaved); }
    // `why`: the reader's words for a picture it would not read, said after the sheet's text.
    static ImageImportError processingFailed(const QString &why = {})
    {
        return ImageImportError(Kind::processingFailed, why);
    }

    Kind kind() const { return kind_; }
    QString description() const;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    explicit ImageImportError(Kind kind, const QString &words = {});

    Kind kind_;
    // The system's message of a failed write, or the reader's words.
    QString words_;
    QByteArray utf8_;
};

// Brings a picture into the folder of a saved report: recognises image files by name, scales
// and re-encodes them as the options say, picks a free file name (or reuses an identical file)
// and returns the image expression that names the copy. Main thread; reads and writes files
// synchronously. The work of a picture that is decoded (processImage) may run on any thread.
namespace ImageImportService {

// A picture made ready to store: its bytes and the extension (lower case, no dot) to give them.
struct ProcessedImage {
    QByteArray data;
    QString extension;
};

// The image types the designer takes, in this order: PNG, JPEG, GIF, BMP, TIFF, HEIC.
const QList<QMimeType> &acceptedContentTypes();
// Every file name extension of those types, for open panels.
QStringList acceptedFileExtensions();

// Whether the file's name (never its content) names one of the accepted image types.
bool isImageFile(const QUrl &url);

// The size a picture of `source` pixels is written at: its own size, fitted within
// maxDimension (never enlarged), or maxDimension square. No value when the options give no
// usable size (not a number, or a side beyond what can be drawn).
std::optional<QSize> targetSize(const QSize &source, const ImageImportOptions &options);

// The box an element of `box` points takes for a picture of `picture` pixels: one side shrunk to
// the picture's proportions, in whole points (at least 1); `box` itself for a picture of no size.
QSizeF fittedBox(const QSizeF &box, const QSize &picture);
// The same for the picture that the image expression `expression` names, as the canvas finds it
// (relative to the report at `reportFileURL`); `box` itself when there is none to measure.
QSizeF boxForPicture(const QSizeF &box, const QString &expression,
                     const std::optional<QUrl> &reportFileURL);

// Whether the options have the picture decoded (resized or re-encoded) rather than copied.
bool decodes(const ImageImportOptions &options);
// The picture's bytes as the options want them stored: the file's own, or the picture decoded,
// scaled and encoded. Throws ImageImportError::processingFailed, also when the decode gives up
// because `giveUp` says so. Any thread.
ProcessedImage processImage(const QUrl &source, const ImageImportOptions &options,
                            const std::function<bool()> &giveUp = {});
// Writes the processed picture into the report's folder under the source's name (a free one, or
// that of an identical file) and returns "$P{SUBREPORT_DIR} + "NAME"". Throws reportNotSaved
// without a report file and writeFailed when the file cannot be written.
QString storeImage(const ProcessedImage &processed, const QUrl &source,
                   const std::optional<QUrl> &reportFileURL);
// Copies or converts the picture into the report's folder and returns
// "$P{SUBREPORT_DIR} + "NAME"". Throws ImageImportError: reportNotSaved (before anything is
// read) without a report file, processingFailed for a picture that cannot be read, decoded or
// encoded, writeFailed when the copy cannot be written. A failed write leaves no file behind.
QString importImage(const QUrl &source, const std::optional<QUrl> &reportFileURL,
                    const ImageImportOptions &options);

} // namespace ImageImportService
