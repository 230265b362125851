#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Reads the user's pictures, for the canvas and for image import: PNG, JPEG, GIF, BMP and TIFF
// through Qt's image plugins, HEIC through libheif, turned as the file's orientation says.
// A picture is decoded at the size it is needed at; formats that can shrink while decoding (JPEG)
// never hold the whole picture. Qt refuses to decode anything over its allocation limit
// (128 MB); for these reads alone the limit is raised to what the picture needs, up to
// `largestDecodeMB`, and put back when the last read that raised it ends. Any thread: the canvas
// and image import decode off the window's thread.
namespace PictureReader {

// The most a decode may take: a picture of about 16000 by 16000 pixels.
constexpr int largestDecodeMB = 1024;

// A decoded picture and the size it has as shown, before any scaling.
struct Picture {
    QImage image;
    QSize size;
};

// The picture's size as shown (after its orientation), read from its header; an empty size when
// it is no picture this reader knows.
QSize size(const QString &path);
// The picture decoded and scaled to `size` (empty: its own size); null when it cannot be read.
QImage read(const QString &path, const QSize &size = {});
// The picture no larger than `longestSide` pixels either way, its aspect kept; a smaller
// picture keeps its own size. A null image when it cannot be read.
Picture readWithin(const QString &path, int longestSide);
Picture readWithin(const QByteArray &data, int longestSide);

// `size` scaled down, its aspect kept, until neither side exceeds `longestSide`.
QSize fittedWithin(const QSize &size, int longestSide);

} // namespace PictureReader
