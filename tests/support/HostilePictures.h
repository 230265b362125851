#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QtEndian>
#include <zlib.h>

// Pictures made to hurt the program that reads them: SVGs that name themselves, compressed
// documents and PNGs that inflate a thousand times over, SVGs whose text takes long to lay out.
// The bombs are written in an instant however large they inflate: a piece deflated after a full
// flush comes out the same each time, so it is deflated once and repeated.
namespace hostilepictures {

// A 100 by 100 SVG whose one <image> names `name` (the file itself, another SVG naming it
// back, or a data: address).
inline QByteArray naming(const QString &name)
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
           R"(width="100" height="100"><image width="100" height="100" xlink:href=")" +
           name.toUtf8() + R"("/></svg>)";
}

// `head`, then `count` times `piece`, then `tail`, deflated; wrapped as gzip or as zlib data.
inline QByteArray deflatedRepeat(const QByteArray &head, const QByteArray &piece, qint64 count,
                                 const QByteArray &tail, bool gzip)
{
    z_stream stream = {};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    const auto deflated = [&](const QByteArray &in, int flush) {
        QByteArray out(int(deflateBound(&stream, uLong(in.size()))) + 64, Qt::Uninitialized);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        stream.avail_in = uInt(in.size());
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        deflate(&stream, flush);
        out.resize(out.size() - qsizetype(stream.avail_out));
        return out;
    };
    const QByteArray start = deflated(head, Z_FULL_FLUSH);
    const QByteArray repeated = deflated(piece, Z_FULL_FLUSH);
    const QByteArray end = deflated(tail, Z_FINISH);
    deflateEnd(&stream);

    const auto bytes = [](const QByteArray &b) {
        return reinterpret_cast<const Bytef *>(b.data());
    };
    uLong check = gzip ? crc32(0, nullptr, 0) : adler32(0, nullptr, 0);
    const auto add = [&](const QByteArray &b) {
        check = gzip ? crc32_combine(check, crc32(0, bytes(b), uInt(b.size())), b.size())
                     : adler32_combine(check, adler32(1, bytes(b), uInt(b.size())), b.size());
    };
    QByteArray out = gzip ? QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03", 10)
                          : QByteArray("\x78\xda", 2);
    out += start;
    add(head);
    for (qint64 i = 0; i < count; ++i) {
        out += repeated;
        add(piece);
    }
    out += end;
    add(tail);
    char trailer[8];
    if (gzip) {
        const qint64 size = head.size() + piece.size() * count + tail.size();
        qToLittleEndian(quint32(check), trailer);
        qToLittleEndian(quint32(size), trailer + 4);
        out.append(trailer, 8);
    } else {
        qToBigEndian(quint32(check), trailer);
        out.append(trailer, 4);
    }
    return out;
}

// A compressed SVG that inflates to about `megabytes` MB: one comment of blanks.
inline QByteArray svgzBomb(qint64 megabytes)
{
    return deflatedRepeat(R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">)"
                          "<!--",
                          QByteArray(1024 * 1024, ' '), megabytes, "--></svg>", true);
}

// A PNG of `size` pixels, all grey: a few hundred bytes a megapixel on disk, four bytes a pixel
// decoded. Its height is a multiple of 16.
inline QByteArray pngBomb(const QSize &size)
{
    const auto chunk = [](const QByteArray &type, const QByteArray &data) -> QByteArray {
        char length[4];
        char sum[4];
        qToBigEndian(quint32(data.size()), length);
        const QByteArray typed = type + data;
        qToBigEndian(
            quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.data()), uInt(typed.size()))),
            sum);
        return QByteArray(length, 4) + typed + QByteArray(sum, 4);
    };
    char header[13] = {};
    qToBigEndian(quint32(size.width()), header);
    qToBigEndian(quint32(size.height()), header + 4);
    header[8] = 8; // bits a sample
    header[9] = 2; // RGB
    const QByteArray row = '\0' + QByteArray(qsizetype(size.width()) * 3, '\x80');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", QByteArray(header, 13)) +
           chunk("IDAT", deflatedRepeat({}, row.repeated(16), size.height() / 16, {}, false)) +
           chunk("IEND", {});
}

// An SVG whose one text holds about `characters` characters on one line.
inline QByteArray longText(qint64 characters)
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" width="400" height="100">)"
           R"(<text x="0" y="50" font-size="12">)" +
           QByteArray("lorem ipsum dolor ").repeated(characters / 18) + "</text></svg>";
}

} // namespace hostilepictures
