#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// HEIF pictures (HEIC and the other brands libheif reads), which Qt's image plugins do not
// decode: recognised by their first bytes, measured and decoded through libheif, with the
// rotation, mirroring and cropping the file asks for applied. libheif is loaded when the first
// HEIF file is read; without it, no file is taken for one.
namespace HeifPicture {

// Whether `head` (a file's first bytes, at least 12) begins a HEIF file that libheif reads.
bool isHeif(const QByteArray &head);
// The size of the file's primary picture as shown, or an empty size.
QSize size(const QByteArray &file);
// The primary picture scaled to `size` (empty: its own size); null when it cannot be decoded, or
// when its own size would take more than `byteLimit` bytes. The picture is scaled straight from
// libheif's buffer, which is freed before this returns. Any thread.
QImage decode(const QByteArray &file, qint64 byteLimit, const QSize &size = {});

} // namespace HeifPicture
