#include "setup/PictureReader.h"

#include "setup/HeifPicture.h"
#include "setup/SvgPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr qint64 megabyte = 1024 * 1024;
// Enough of a file's beginning to tell a HEIF file or an SVG.
constexpr qint64 headSize = 64;
constexpr qint64 largestHeld = PictureReader::largestHeldMB * megabyte;

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

using PictureReader::GiveUp;
using PictureReader::Picture;
using PictureReader::Wanted;

QImage scaledTo(QImage image, const QSize &target)
{
    if (image.isNull() || target.isEmpty() || image.size() == target)
        return image;
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A device that reads through another until it is told to give up; from then on each read fails,
// and the decoder reading from it ends with an error. Unbuffered, so that it looks at each read
// the decoder makes (a PNG decoder reads a few kilobytes at a time).
class GivingUpDevice : public QIODevice {
public:
    GivingUpDevice(QIODevice *inner, const GiveUp &giveUp) : inner_(inner), giveUp_(giveUp)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return inner_->isSequential(); }
    qint64 size() const override { return inner_->size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && inner_->seek(pos); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (giveUp_ && giveUp_())
            return -1;
        return inner_->read(data, maxSize);
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *inner_;
    GiveUp giveUp_;
};

// Qt's reader over a picture that is no HEIF file: an SVG made safe and held whole, any other
// format read from the device as the decoder asks for it. `reader()` is null when the picture
// cannot be read, with the words why where there are some.
class QtSource {
public:
    QtSource(QIODevice *device, const QString &folder, const GiveUp &giveUp)
        : guarded_(device, giveUp)
    {
        if (!SvgPicture::mayBeSvg(device->peek(headSize))) {
            reader_.emplace(&guarded_);
            return;
        }
        SvgPicture::Document document = SvgPicture::prepare(device, folder, largestHeld, giveUp);
        failure_ = document.failure;
        if (document.bytes.isEmpty())
            return;
        svg_ = std::move(document.bytes);
        buffer_.setBuffer(&svg_);
        buffer_.open(QIODevice::ReadOnly);
        reader_.emplace(&buffer_, QByteArrayLiteral("svg"));
    }
    QtSource(const QtSource &) = delete;
    QtSource &operator=(const QtSource &) = delete;

    QImageReader *reader() { return reader_ ? &*reader_ : nullptr; }
    const QString &failure() const { return failure_; }

private:
    GivingUpDevice guarded_;
    QByteArray svg_;
    QBuffer buffer_;
    QString failure_;
    std::optional<QImageReader> reader_;
};

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

Picture readWithQt(QImageReader &reader, const Wanted &wanted)
{
    const ReaderSizes sizes = sizesOf(reader);
    std::optional<QSize> target;
    if (sizes.shown.isValid()) {
        target = wanted(sizes.shown);
        if (!target)
            return {};
        // A shrinking picture is decoded at its new size, where the format allows (JPEG does).
        if (!target->isEmpty() && *target != sizes.shown &&
            target->width() <= sizes.shown.width() && target->height() <= sizes.shown.height())
            reader.setScaledSize(sizes.turned ? target->transposed() : *target);
    }
    QImage image;
    {
        const RaisedAllocationLimit raised(sizes.stored);
        image = reader.read();
    }
    if (image.isNull())
        return {};
    // A format that does not tell its size before decoding is as large as it decodes.
    if (!sizes.shown.isValid()) {
        target = wanted(image.size());
        if (!target)
            return {};
    }
    const QSize shown = sizes.shown.isValid() ? sizes.shown : image.size();
    return {scaledTo(image, *target), shown, {}};
}

Picture readHeif(const QByteArray &data, const Wanted &wanted)
{
    const QSize shown = HeifPicture::size(data);
    if (shown.isEmpty())
        return {};
    const std::optional<QSize> target = wanted(shown);
    if (!target)
        return {};
    // Scaled as it leaves libheif: the full picture is never copied.
    const QImage image =
        HeifPicture::decode(data, PictureReader::largestDecodeMB * megabyte, *target);
    if (image.isNull())
        return {};
    return {image, shown, {}};
}

// Whether what is left of the device is more than a picture's bytes may take.
bool tooLargeToHold(QIODevice *device)
{
    return !device->isSequential() && device->size() - device->pos() > largestHeld;
}

Picture readDevice(QIODevice *device, const QString &folder, const Wanted &wanted,
                   const GiveUp &giveUp)
{
    if (HeifPicture::isHeif(device->peek(headSize))) {
        if (tooLargeToHold(device))
            return {{}, {}, PictureReader::tooLarge()};
        return readHeif(device->readAll(), wanted);
    }
    QtSource source(device, folder, giveUp);
    if (!source.reader())
        return {{}, {}, source.failure()};
    return readWithQt(*source.reader(), wanted);
}

Picture readFile(const QString &path, const Wanted &wanted, const GiveUp &giveUp)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readDevice(&file, QFileInfo(path).absolutePath(), wanted, giveUp);
}

} // namespace

namespace PictureReader {

QSize size(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (HeifPicture::isHeif(file.peek(headSize)))
        return tooLargeToHold(&file) ? QSize() : HeifPicture::size(file.readAll());
    QtSource source(&file, QFileInfo(path).absolutePath(), {});
    if (!source.reader())
        return {};
    const QSize shown = sizesOf(*source.reader()).shown;
    return shown.isValid() ? shown : QSize();
}

Picture read(const QString &path, const Wanted &wanted, const GiveUp &giveUp)
{
    return readFile(path, wanted, giveUp);
}

Picture readWithin(const QString &path, int longestSide, const GiveUp &giveUp)
{
    return readFile(
        path, [&](const QSize &shown) { return fittedWithin(shown, longestSide); }, giveUp);
}

Picture readWithin(const QByteArray &data, int longestSide, const GiveUp &giveUp)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    // Downloaded: the pictures an SVG names relative to itself are nowhere to be found.
    return readDevice(
        &buffer, QString(), [&](const QSize &shown) { return fittedWithin(shown, longestSide); },
        giveUp);
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

QString tooLarge()
{
    return SvgPicture::tooLarge(largestHeld);
}

} // namespace PictureReader
