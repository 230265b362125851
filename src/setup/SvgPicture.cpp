#include "setup/SvgPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QScopeGuard>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <string_view>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

using GiveUp = std::function<bool()>;

// What Qt's SVG reader was measured to take, rounded up: besides the document itself twice its
// size while it reads it, about 400 bytes for each element it builds and about 40 bytes for each
// character of text it lays out.
constexpr qint64 documentTimes = 3;
constexpr qint64 perElement = 512;
constexpr qint64 perCharacter = 64;
// The piece read or inflated at a time.
constexpr qint64 piece = 256 * 1024;
// How many parts of a document are walked between two looks at whether to give up.
constexpr int partsBetweenLooks = 4096;
constexpr qint64 megabyte = 1024 * 1024;

bool isGzip(const QByteArray &head)
{
    return head.size() >= 2 && uchar(head[0]) == 0x1f && uchar(head[1]) == 0x8b;
}

struct Read {
    QByteArray bytes;
    bool tooLarge = false;
    bool failed = false;
};

// The gzip stream at the device's position, inflated no further than `limit` bytes.
Read inflated(QIODevice *device, qint64 limit, const GiveUp &giveUp)
{
    z_stream stream = {};
    if (inflateInit2(&stream, MAX_WBITS + 16) != Z_OK)
        return {{}, false, true};
    const auto end = qScopeGuard([&] { inflateEnd(&stream); });
    QByteArray in(piece, Qt::Uninitialized);
    QByteArray out(piece, Qt::Uninitialized);
    Read read;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        const qint64 got = device->read(in.data(), piece);
        if (got <= 0)
            return {{}, false, true}; // cut short
        stream.next_in = reinterpret_cast<Bytef *>(in.data());
        stream.avail_in = uInt(got);
        // A piece of a bomb inflates a thousand times over: looked at after each piece out.
        do {
            if (giveUp && giveUp())
                return {{}, false, true};
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(piece);
            result = inflate(&stream, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
                return {{}, false, true};
            read.bytes.append(out.constData(), piece - stream.avail_out);
            if (read.bytes.size() > limit)
                return {{}, true, false};
        } while (stream.avail_out == 0 && result != Z_STREAM_END);
    }
    return read;
}

// The device's bytes from its position, no more than `limit`.
Read plain(QIODevice *device, qint64 limit, const GiveUp &giveUp)
{
    Read read;
    const qint64 size = device->isSequential() ? 0 : device->size() - device->pos();
    if (size > limit)
        return {{}, true, false};
    read.bytes.reserve(std::max<qint64>(size, 0));
    for (;;) {
        if (giveUp && giveUp())
            return {{}, false, true};
        const QByteArray part = device->read(piece);
        if (part.isEmpty())
            return read;
        read.bytes.append(part);
        if (read.bytes.size() > limit)
            return {{}, true, false};
    }
}

// What becomes of the picture an <image> names.
struct Named {
    enum class Fate { kept, left, embedded } fate = Fate::kept;
    // An embedded picture's file and its size.
    QString path;
    qint64 size = 0;
};

// Qt's reader takes a name that begins with "data" for an embedded picture, whose bytes follow
// the last "base64,", and any other name for a file, relative to the document's folder.
Named fateOf(QStringView name, const QString &folder)
{
    if (name.startsWith(u"data")) {
        const qsizetype at = name.lastIndexOf(u"base64,");
        if (at < 0)
            return {}; // read as nothing
        // Decoded whole, as Qt decodes it: characters that are no base64 are skipped.
        const QByteArray bytes = QByteArray::fromBase64(name.mid(at + 7).toLatin1());
        return {SvgPicture::mayBeSvg(bytes.left(64)) ? Named::Fate::left : Named::Fate::kept};
    }
    if (folder.isEmpty() && QDir::isRelativePath(name.toString()))
        return {Named::Fate::left};
    const QString path = QDir(folder).absoluteFilePath(name.toString());
    // No device, pipe or folder: only a file that can be read to its end.
    const QFileInfo info(path);
    if (!info.isFile())
        return {Named::Fate::left};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || SvgPicture::mayBeSvg(file.peek(64)))
        return {Named::Fate::left};
    return {Named::Fate::embedded, path, info.size()};
}

// The file's bytes as an embedded picture's name; empty when it cannot be read whole.
QString embedding(const Named &named)
{
    QFile file(named.path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(named.size + 1);
    if (bytes.size() != named.size || SvgPicture::mayBeSvg(bytes.left(64)))
        return {};
    return u"data:image;base64,"_s + QString::fromLatin1(bytes.toBase64());
}

// A walk through a document: what it takes, and the safe document written on the way.
class Walk {
public:
    enum class Outcome { fine, changes, tooLarge, unreadable };

    Walk(const QString &folder, qint64 room, const GiveUp &giveUp)
        : folder_(folder), room_(room), giveUp_(giveUp)
    {
    }

    // Walks `bytes` and writes what is safe of them to `writer`, when there is one.
    Outcome run(const QByteArray &bytes, QXmlStreamWriter *writer)
    {
        documentBytes_ = bytes.size();
        QXmlStreamReader reader(bytes);
        // As Qt's SVG reader reads: prefixes are part of the names, and need no declaration.
        reader.setNamespaceProcessing(false);
        int sinceLook = 0;
        while (!reader.atEnd()) {
            const QXmlStreamReader::TokenType token = reader.readNext();
            if (++sinceLook == partsBetweenLooks) {
                sinceLook = 0;
                if (giveUp_ && giveUp_())
                    return Outcome::unreadable;
                if (taken() > room_)
                    return Outcome::tooLarge;
            }
            if (token == QXmlStreamReader::StartElement) {
                ++elements_;
                if (!element(reader, writer))
                    reader.skipCurrentElement();
            } else if (token == QXmlStreamReader::Characters) {
                if (!reader.isWhitespace())
                    characters_ += reader.text().size();
                if (writer && reader.isCDATA())
                    writer->writeCDATA(reader.text().toString());
                else if (writer)
                    writer->writeCharacters(reader.text().toString());
            } else if (token == QXmlStreamReader::ProcessingInstruction &&
                       reader.processingInstructionTarget() == u"xml-stylesheet") {
                changes_ = true; // names a style sheet, which Qt would read from any file
            } else if (writer) {
                copy(reader, token, *writer);
            }
        }
        if (reader.hasError())
            return Outcome::unreadable;
        if (taken() > room_)
            return Outcome::tooLarge;
        return changes_ ? Outcome::changes : Outcome::fine;
    }

private:
    qint64 taken() const
    {
        return documentTimes * (documentBytes_ + embedded_ * 4 / 3) + perElement * elements_ +
               perCharacter * characters_;
    }

    // Writes the start of the element; false when it is left out, with all it holds.
    bool element(const QXmlStreamReader &reader, QXmlStreamWriter *writer)
    {
        QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == u"image") {
            for (QXmlStreamAttribute &attribute : attributes) {
                if (attribute.qualifiedName() != u"xlink:href" && attribute.name() != u"href")
                    continue;
                const Named named = fateOf(attribute.value(), folder_);
                if (named.fate == Named::Fate::kept)
                    continue;
                changes_ = true;
                if (named.fate == Named::Fate::left)
                    return false;
                // Held at the room: past it the document is refused anyway.
                embedded_ = std::min(embedded_ + named.size, room_);
                if (taken() > room_)
                    return false;
                if (!writer)
                    continue;
                const QString data = embedding(named);
                if (data.isEmpty())
                    return false;
                attribute = QXmlStreamAttribute(attribute.qualifiedName().toString(), data);
            }
        }
        if (writer) {
            writer->writeStartElement(reader.qualifiedName().toString());
            for (const QXmlStreamAttribute &attribute : std::as_const(attributes))
                writer->writeAttribute(attribute.qualifiedName().toString(),
                                       attribute.value().toString());
        }
        return true;
    }

    // Everything else as it stands. The document type is left out: the reader has already put
    // what its entities stand for in their places, and filled in the attributes it declares.
    static void copy(const QXmlStreamReader &reader, QXmlStreamReader::TokenType token,
                     QXmlStreamWriter &writer)
    {
        switch (token) {
        case QXmlStreamReader::StartDocument:
            writer.writeStartDocument(
                reader.documentVersion().isEmpty() ? u"1.0"_s : reader.documentVersion().toString(),
                reader.isStandaloneDocument());
            break;
        case QXmlStreamReader::EndDocument:
            writer.writeEndDocument();
            break;
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Comment:
            writer.writeComment(reader.text().toString());
            break;
        case QXmlStreamReader::EntityReference:
            writer.writeCharacters(reader.text().toString());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            writer.writeProcessingInstruction(reader.processingInstructionTarget().toString(),
                                              reader.processingInstructionData().toString());
            break;
        default:
            break;
        }
    }

    QString folder_;
    qint64 room_;
    GiveUp giveUp_;
    qint64 documentBytes_ = 0;
    qint64 elements_ = 0;
    qint64 characters_ = 0;
    qint64 embedded_ = 0;
    bool changes_ = false;
};

} // namespace

namespace SvgPicture {

bool mayBeSvg(const QByteArray &head)
{
    if (isGzip(head))
        return true;
    // Decoded as Qt's reader decodes it (a byte order mark names the encoding) ...
    QTextStream text(head);
    if (text.read(16).trimmed().startsWith(u'<'))
        return true;
    // ... and byte by byte, past blanks, zeros and the bytes of byte order marks.
    constexpr std::string_view passed(" \t\r\n\0\xEF\xBB\xBF\xFE\xFF", 10);
    const auto first = std::find_if(
        head.begin(), head.end(), [&](char c) { return passed.find(c) == std::string_view::npos; });
    return first != head.end() && *first == '<';
}

Document prepare(QIODevice *device, const QString &folder, qint64 room, const GiveUp &giveUp)
{
    const qint64 limit = room / documentTimes;
    const Read read =
        isGzip(device->peek(2)) ? inflated(device, limit, giveUp) : plain(device, limit, giveUp);
    if (read.tooLarge)
        return {{}, tooLarge(room)};
    if (read.failed)
        return {};
    Walk measure(folder, room, giveUp);
    switch (measure.run(read.bytes, nullptr)) {
    case Walk::Outcome::fine:
        return {read.bytes, {}};
    case Walk::Outcome::tooLarge:
        return {{}, tooLarge(room)};
    case Walk::Outcome::unreadable:
        return {};
    case Walk::Outcome::changes:
        break;
    }
    QByteArray safe;
    QXmlStreamWriter writer(&safe);
    Walk write(folder, room, giveUp);
    const Walk::Outcome written = write.run(read.bytes, &writer);
    if (written == Walk::Outcome::tooLarge)
        return {{}, tooLarge(room)};
    if (written == Walk::Outcome::unreadable)
        return {};
    return {safe, {}};
}

QString tooLarge(qint64 room)
{
    return u"The picture takes more than %1 MB to read."_s.arg(room / megabyte);
}

} // namespace SvgPicture
