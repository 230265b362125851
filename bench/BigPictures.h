#pragma once

#include "HeicFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

// The large pictures of the picture benchmarks, written once into a temporary folder: a smooth
// gradient under fine noise, which JPEG and PNG compress about as they do a photograph.
namespace bigpictures {

inline QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

inline QImage gradient(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    quint32 noise = 12345;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28);
            line[x] = qRgb((x * 255 / size.width() + grain) & 255,
                           (y * 255 / size.height() + grain) & 255, (x + y + grain) & 255);
        }
    }
    return image;
}

inline QString pathFor(const QSize &size, const char *format)
{
    return folder().filePath(QStringLiteral("large-%1x%2.%3")
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(QLatin1StringView(format)));
}

// The picture of `size` pixels in `format` (as Qt names it), written on first use.
inline QString picture(const QSize &size, const char *format)
{
    const QString path = pathFor(size, format);
    if (QFile::exists(path))
        return path;
    QImageWriter writer(path, format);
    writer.setQuality(85);
    if (!writer.write(gradient(size)))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The picture of `size` pixels as HEIC, written on first use through libheif's HEVC encoder; an
// empty path when libheif has none here.
inline QString heicPicture(const QSize &size)
{
    const QString path = pathFor(size, "heic");
    if (QFile::exists(path) || testsupport::writeHeic(gradient(size), path))
        return path;
    return {};
}

// Starts a new peak of the process's resident memory (Linux; elsewhere nothing happens).
inline void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The peak resident memory since the last reset, in megabytes; 0 where unknown.
inline double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

} // namespace bigpictures
