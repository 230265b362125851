#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

// Reads the user's pictures, for the canvas and for image import: PNG, JPEG, GIF, BMP, TIFF and
// SVG through Qt's image plugins, HEIC through libheif, turned as the file's orientation says.
// A picture is decoded at the size it is needed at; formats that can shrink while decoding (JPEG)
// never hold the whole picture. Qt refuses to decode anything over its allocation limit
// (128 MB); for these reads alone the limit is raised to what the picture needs, up to
// `largestDecodeMB`, and put back when the last read that raised it ends. What a picture's file
// holds is read no further than `largestHeldMB` where it is held whole (an SVG document, once
// inflated, with what Qt builds from it; a HEIF file), and an SVG reads no other file (see
// SvgPicture). A read gives up when asked, as soon as it next reads from the file. Any thread:
// the canvas and image import decode off the window's thread.
namespace PictureReader {

// The most a decode may take: a picture of about 16000 by 16000 pixels.
constexpr int largestDecodeMB = 1024;
// The most a picture's bytes, and what is built from them before it is drawn, may take where
// they are held whole: an SVG document, a HEIF file, a download. A quarter of the largest
// decode, which may be under way beside it.
constexpr int largestHeldMB = largestDecodeMB / 4;

// Asked as a read goes on: true once nobody waits for the picture; the read then gives up.
using GiveUp = std::function<bool()>;
// The size a picture shown at the size given is wanted at (empty: its own size); no value when
// it is not wanted at all.
using Wanted = std::function<std::optional<QSize>(const QSize &shown)>;

// A decoded picture and the size it has as shown, before any scaling.
struct Picture {
    QImage image;
    QSize size;
    // Why a picture could not be read, in the user's words, when that is more than "not a
    // picture" (too large to read).
    QString failure;
};

// The picture's size as shown (after its orientation), read from its header; an empty size when
// it is no picture this reader knows.
QSize size(const QString &path);
// The picture decoded and scaled to the size `wanted` gives for its own; a null image when it
// cannot be read or is not wanted. A picture that does not tell its size before it is decoded
// is asked about at its decoded size.
Picture read(const QString &path, const Wanted &wanted, const GiveUp &giveUp = {});
// The picture no larger than `longestSide` pixels either way, its aspect kept; a smaller
// picture keeps its own size. A null image when it cannot be read.
Picture readWithin(const QString &path, int longestSide, const GiveUp &giveUp = {});
Picture readWithin(const QByteArray &data, int longestSide, const GiveUp &giveUp = {});

// `size` scaled down, its aspect kept, until neither side exceeds `longestSide`.
QSize fittedWithin(const QSize &size, int longestSide);

// The words for a picture whose bytes would take more than `largestHeldMB`.
QString tooLarge();

} // namespace PictureReader
