// The encoding a report file is in, as its XML declaration names it. The tree parser reads
// UTF-8, UTF-16, UTF-32 and ISO-8859-1; a file in another encoding the engine reads (windows-1252,
// Shift_JIS, an EBCDIC code page) is decoded from it here and handed on in UTF-8, which the writer
// then writes. A declaration of an encoding the designer does not read, over bytes that are UTF-8,
// is read as UTF-8 and said; over other bytes the file is refused for its encoding.

#include "JrxmlCodec.h"
#include "JrxmlCodecInternal.h"

#include <QStringDecoder>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace JrxmlCodec {

namespace {

// The invariant characters of the EBCDIC code pages an XML declaration is written in, as ASCII;
// 0 for the others.
constexpr std::array<char, 256> ebcdicInvariants = [] {
    std::array<char, 256> table{};
    const auto run = [&](int from, const char *letters) {
        for (int i = 0; letters[i]; ++i)
            table[size_t(from + i)] = letters[i];
    };
    run(0x81, "abcdefghi");
    run(0x91, "jklmnopqr");
    run(0xA2, "stuvwxyz");
    run(0xC1, "ABCDEFGHI");
    run(0xD1, "JKLMNOPQR");
    run(0xE2, "STUVWXYZ");
    run(0xF0, "0123456789");
    table[0x40] = ' ';
    table[0x4B] = '.';
    table[0x4C] = '<';
    table[0x60] = '-';
    table[0x6D] = '_';
    table[0x6E] = '>';
    table[0x6F] = '?';
    table[0x7D] = '\'';
    table[0x7E] = '=';
    table[0x7F] = '"';
    table[0x05] = '\t';
    table[0x15] = '\n';
    table[0x25] = '\n';
    table[0x0D] = '\r';
    return table;
}();

bool startsWith(const QByteArray &data, std::initializer_list<unsigned char> bytes)
{
    if (data.size() < qsizetype(bytes.size()))
        return false;
    qsizetype i = 0;
    for (const unsigned char b : bytes) {
        if (static_cast<unsigned char>(data.at(i++)) != b)
            return false;
    }
    return true;
}

// Whether the tree parser tells the encoding from the first bytes: a byte order mark, or the
// "<?" of UTF-16 or UTF-32.
bool encodingShownByBytes(const QByteArray &data)
{
    return startsWith(data, {0xEF, 0xBB, 0xBF}) || startsWith(data, {0xFE, 0xFF}) ||
           startsWith(data, {0xFF, 0xFE}) || startsWith(data, {0x00, 0x00, 0xFE, 0xFF}) ||
           startsWith(data, {0x3C, 0x00}) || startsWith(data, {0x00, 0x3C}) ||
           startsWith(data, {0x00, 0x00, 0x00, 0x3C});
}

// The value of the encoding pseudo-attribute of the XML declaration the text opens with, or no
// value; `text` is ASCII as far as the declaration goes.
std::optional<QString> declaredName(const QByteArray &text)
{
    if (!text.startsWith("<?xml") || text.size() < 6 ||
        !QByteArrayView(" \t\r\n").contains(text.at(5)))
        return std::nullopt;
    const qsizetype end = text.indexOf("?>");
    const QByteArray declaration = text.left(end < 0 ? 0 : end);
    qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return std::nullopt;
    at += 8;
    const auto skipBlanks = [&] {
        while (at < declaration.size() && QByteArrayView(" \t\r\n").contains(declaration.at(at)))
            ++at;
    };
    skipBlanks();
    if (at >= declaration.size() || declaration.at(at) != '=')
        return std::nullopt;
    ++at;
    skipBlanks();
    if (at >= declaration.size() || (declaration.at(at) != '"' && declaration.at(at) != '\''))
        return std::nullopt;
    const char quote = declaration.at(at);
    const qsizetype close = declaration.indexOf(quote, at + 1);
    if (close < 0)
        return std::nullopt;
    return QString::fromLatin1(declaration.mid(at + 1, close - at - 1));
}

// Whether the tree parser reads the encoding of that name itself: UTF-8 and its ASCII subset,
// ISO-8859-1, and UTF-16 and UTF-32, which it tells from the bytes.
bool parserReads(const QString &name)
{
    static const QStringList names = {
        u"UTF-8"_s,           u"UTF8"_s,           u"US-ASCII"_s, u"ASCII"_s,    u"ISO-8859-1"_s,
        u"ISO8859-1"_s,       u"ISO_8859-1"_s,     u"LATIN1"_s,   u"LATIN-1"_s,  u"UTF-16"_s,
        u"UTF-16LE"_s,        u"UTF-16BE"_s,       u"UTF-32"_s,   u"UTF-32LE"_s, u"UTF-32BE"_s,
        u"ISO-10646-UCS-2"_s, u"ISO-10646-UCS-4"_s};
    return names.contains(name, Qt::CaseInsensitive);
}

// UTF-7 is left undecoded on purpose: the engine does not read it, and its shifted sequences
// would let plain ASCII text carry markup.
bool isUtf7(const QString &name)
{
    static const QStringList names = {u"UTF-7"_s, u"UTF7"_s, u"UNICODE-1-1-UTF-7"_s,
                                      u"CSUNICODE11UTF7"_s};
    return names.contains(name, Qt::CaseInsensitive);
}

QString quotedName(const QString &name)
{
    return u"\u201C"_s + name + u"\u201D"_s;
}

} // namespace

QByteArray inReadableEncoding(const QByteArray &data, QStringList &notes)
{
    if (encodingShownByBytes(data))
        return data;
    std::optional<QString> name;
    const bool ebcdic = startsWith(data, {0x4C, 0x6F, 0xA7, 0x94}); // "<?xm"
    if (ebcdic) {
        QByteArray ascii;
        for (qsizetype i = 0; i < std::min<qsizetype>(data.size(), 200); ++i) {
            const char c = ebcdicInvariants[static_cast<unsigned char>(data.at(i))];
            if (!c)
                break;
            ascii += c;
        }
        name = declaredName(ascii);
        if (!name)
            throw JrxmlCodecError::unreadableEncoding(u"EBCDIC"_s);
    } else {
        name = declaredName(data);
    }
    if (!name || parserReads(*name))
        return data;
    QStringDecoder decoder(name->toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid() || isUtf7(*name)) {
        if (ebcdic || !QUtf8StringView(data).isValidUtf8())
            throw JrxmlCodecError::unreadableEncoding(*name);
        notes.append(u"The file declares the encoding "_s + quotedName(*name) +
                     u", which the designer does not read: it was read as UTF-8, and saving "
                     u"declares UTF-8."_s);
        return data;
    }
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        throw JrxmlCodecError::malformed(u"bytes that are not "_s + *name);
    notes.append(u"The file is in the encoding "_s + quotedName(*name) +
                 u": saving writes it in UTF-8, which the engine reads alike."_s);
    return text.toUtf8();
}

} // namespace JrxmlCodec
