#include "setup/PictureReader.h"

#include "setup/HeifPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMutex>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr qint64 megabyte = 1024 * 1024;
// Enough of a file's beginning to tell a HEIF file.
constexpr qint64 headSize = 32;

// The size a picture shown at `shown` is wanted at.
using Wanted = std::function<QSize(const QSize &shown)>;

// Qt's allocation limit, raised while it lives to what a picture of `size` pixels may take (8
// bytes a pixel: a 16-bit PNG decodes to 64-bit pixels), never beyond the largest decode. The
// limit is the program's: reads on several threads share one raise, and the limit they found
// comes back when the last of them ends.
class RaisedAllocationLimit {
public:
    explicit RaisedAllocationLimit(const QSize &size)
    {
        const QMutexLocker lock(&mutex());
        if (holders()++ == 0)
            found() = QImageReader::allocationLimit();
        if (found() == 0 || size.isEmpty())
            return; // no limit, or nothing known to raise it for
        // Pixels by megabytes' worth of pixels first: two sides of 2^31 − 1 would overflow
        // 64 bits once multiplied by 8.
        const qint64 needed = qint64(size.width()) * qint64(size.height()) / (megabyte / 8) + 1;
        const int limit = int(std::min<qint64>(needed, PictureReader::largestDecodeMB));
        if (limit > QImageReader::allocationLimit())
            QImageReader::setAllocationLimit(limit);
    }
    ~RaisedAllocationLimit()
    {
        const QMutexLocker lock(&mutex());
        if (--holders() == 0)
            QImageReader::setAllocationLimit(found());
    }
    RaisedAllocationLimit(const RaisedAllocationLimit &) = delete;
    RaisedAllocationLimit &operator=(const RaisedAllocationLimit &) = delete;

private:
    static QMutex &mutex()
    {
        static QMutex shared;
        return shared;
    }
    static int &holders()
    {
        static int count = 0;
        return count;
    }
    static int &found()
    {
        static int limit = 0;
        return limit;
    }
};

using PictureReader::Picture;

QImage scaledTo(QImage image, const QSize &target)
{
    if (image.isNull() || target.isEmpty() || image.size() == target)
        return image;
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The reader's picture as shown and its stored size, which a turned picture has transposed.
struct ReaderSizes {
    QSize stored;
    QSize shown;
    bool turned = false;
};

ReaderSizes sizesOf(QImageReader &reader)
{
    reader.setAutoTransform(true);
    ReaderSizes sizes;
    sizes.stored = reader.size();
    sizes.turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    sizes.shown = sizes.turned ? sizes.stored.transposed() : sizes.stored;
    return sizes;
}

Picture readWithQt(QIODevice *device, const Wanted &wanted)
{
    QImageReader reader(device);
    const ReaderSizes sizes = sizesOf(reader);
    const QSize target = sizes.shown.isValid() ? wanted(sizes.shown) : QSize();
    // A shrinking picture is decoded at its new size, where the format allows (JPEG does).
    if (!target.isEmpty() && target != sizes.shown && target.width() <= sizes.shown.width() &&
        target.height() <= sizes.shown.height())
        reader.setScaledSize(sizes.turned ? target.transposed() : target);
    QImage image;
    {
        const RaisedAllocationLimit raised(sizes.stored);
        image = reader.read();
    }
    if (image.isNull())
        return {};
    // A format that does not tell its size before decoding is as large as it decodes.
    const QSize shown = sizes.shown.isValid() ? sizes.shown : image.size();
    return {scaledTo(image, target), shown};
}

Picture readHeif(const QByteArray &data, const Wanted &wanted)
{
    const QSize shown = HeifPicture::size(data);
    if (shown.isEmpty())
        return {};
    // Scaled as it leaves libheif: the full picture is never copied.
    const QImage image =
        HeifPicture::decode(data, PictureReader::largestDecodeMB * megabyte, wanted(shown));
    if (image.isNull())
        return {};
    return {image, shown};
}

Picture readData(const QByteArray &data, const Wanted &wanted)
{
    if (HeifPicture::isHeif(data.left(headSize)))
        return readHeif(data, wanted);
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    return readWithQt(&buffer, wanted);
}

Picture readFile(const QString &path, const Wanted &wanted)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (HeifPicture::isHeif(file.peek(headSize)))
        return readHeif(file.readAll(), wanted);
    return readWithQt(&file, wanted);
}

} // namespace

namespace PictureReader {

QSize size(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (HeifPicture::isHeif(file.peek(headSize)))
        return HeifPicture::size(file.readAll());
    QImageReader reader(&file);
    const QSize shown = sizesOf(reader).shown;
    return shown.isValid() ? shown : QSize();
}

QImage read(const QString &path, const QSize &size)
{
    return readFile(path, [&](const QSize &shown) { return size.isEmpty() ? shown : size; }).image;
}

Picture readWithin(const QString &path, int longestSide)
{
    return readFile(path, [&](const QSize &shown) { return fittedWithin(shown, longestSide); });
}

Picture readWithin(const QByteArray &data, int longestSide)
{
    return readData(data, [&](const QSize &shown) { return fittedWithin(shown, longestSide); });
}

QSize fittedWithin(const QSize &size, int longestSide)
{
    const int longest = std::max(size.width(), size.height());
    if (longest <= longestSide || longestSide <= 0)
        return size;
    const double scale = double(longestSide) / longest;
    return QSize(std::max(1, int(std::lround(size.width() * scale))),
                 std::max(1, int(std::lround(size.height() * scale))));
}

} // namespace PictureReader
