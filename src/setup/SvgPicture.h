#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// SVG pictures made safe for Qt's SVG reader before it sees them. Left to itself that reader
// inflates a compressed document whole, builds every element of a document of any size, loads
// the pictures an <image> names through the image reader (an SVG that names itself, or two that
// name each other, then recurse until the stack runs out) and reads the style sheet an
// "xml-stylesheet" instruction names, whatever file that is. Here a document is inflated no
// further than its room allows, measured before Qt builds it, and handed on without those
// references: a picture it names from the disk is embedded, when it is a picture and no SVG;
// anything else it names is left out. Any thread.
namespace SvgPicture {

// Whether a file that begins with `head` (its first 64 bytes) may be taken for an SVG by Qt's
// image reader: gzip-compressed data, or text that begins with a tag, a comment or a declaration.
bool mayBeSvg(const QByteArray &head);

struct Document {
    // The document to hand to Qt's SVG reader; empty when it cannot be read.
    QByteArray bytes;
    // Why not, in the user's words, when it is more than "not a picture".
    QString failure;
};

// The SVG document that `device` holds from its current position: inflated when it is
// compressed, refused (with words) when it, with what Qt's reader would build from it, would take
// more than `room` bytes, and without the references that would read other files. Pictures named
// relative to `folder` (none: such names are left out) are embedded. A document that is no
// well-formed XML cannot be read. Reads and measures until `giveUp` says to stop.
Document prepare(QIODevice *device, const QString &folder, qint64 room,
                 const std::function<bool()> &giveUp = {});

// The words for a picture that would take more than `room` bytes.
QString tooLarge(qint64 room);

} // namespace SvgPicture
