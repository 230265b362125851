#include "widgets/LinePieces.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace linepieces {

namespace {

// The mark of a paragraph that continues the line of the one before it.
constexpr int continuesProperty = QTextFormat::UserProperty + 1;
// The mark of a paragraph whose line goes on in the next one.
constexpr int goesOnProperty = QTextFormat::UserProperty + 2;

bool hasMark(const QTextBlock &block, int property)
{
    return block.isValid() && block.blockFormat().boolProperty(property);
}

// Sets a mark of the paragraph to `set`, opening the joined edit on the first change.
void setMark(QTextCursor &cursor, bool &editing, const QTextBlock &block, int property, bool set)
{
    if (hasMark(block, property) == set)
        return;
    if (!editing) {
        cursor.joinPreviousEditBlock();
        editing = true;
    }
    cursor.setPosition(block.position());
    QTextBlockFormat format = block.blockFormat();
    if (set)
        format.setProperty(property, true);
    else
        format.clearProperty(property);
    cursor.setBlockFormat(format);
}

} // namespace

bool endsParagraph(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1;
}

QString heldText(const QString &text)
{
    // Nearly every character lies between the line feed and the paragraph separator.
    const auto otherEnd = [](QChar c) {
        const char16_t u = c.unicode();
        return (u <= u'\r' || u >= QChar::ParagraphSeparator) && u != u'\n' && endsParagraph(c);
    };
    if (std::none_of(text.cbegin(), text.cend(), otherEnd))
        return text;
    QString held;
    held.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!endsParagraph(c)) {
            held.append(c);
            continue;
        }
        held.append(u'\n');
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
    }
    return held;
}

bool continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

bool goesOn(const QTextBlock &block)
{
    return hasMark(block, goesOnProperty);
}

QTextBlockFormat continuing()
{
    QTextBlockFormat format;
    format.setProperty(continuesProperty, true);
    format.setProperty(goesOnProperty, true);
    return format;
}

bool heal(QTextDocument &document, int from, int to)
{
    const QTextBlock first = document.findBlock(from);
    const QTextBlock last = document.findBlock(std::min(to, document.characterCount() - 1));
    if (!first.isValid() || !last.isValid())
        return false;
    QTextCursor cursor(&document);
    bool editing = false;
    // The paragraph before the change is untouched: where the change began at the first one's
    // start, its mark says whether the first continues its line.
    if (from == first.position())
        setMark(cursor, editing, first, continuesProperty, goesOn(first.previous()));
    // Inside the change, the paragraphs' own marks say whether they continue a line; the one
    // after the change is untouched and says whether the line of the last goes on. Each
    // paragraph's format is read once.
    QTextBlock block = first;
    QTextBlockFormat format = block.blockFormat();
    for (;;) {
        const QTextBlock next = block.next();
        const QTextBlockFormat nextFormat =
            next.isValid() ? next.blockFormat() : QTextBlockFormat();
        const bool goesOnNow = nextFormat.boolProperty(continuesProperty);
        if (format.boolProperty(goesOnProperty) != goesOnNow)
            setMark(cursor, editing, block, goesOnProperty, goesOnNow);
        if (block == last || !next.isValid())
            break;
        block = next;
        format = nextFormat;
    }
    if (editing)
        cursor.endEditBlock();
    return editing;
}

qsizetype pieceEnd(QStringView line, qsizetype from)
{
    qsizetype end = std::min(line.size(), from + piece);
    if (end < line.size() && end > from + 1 && line.at(end - 1).isHighSurrogate())
        --end;
    return end;
}

qsizetype offsetAt(const QTextDocument &document, int position)
{
    // Every paragraph separator that starts a piece at or before the position is no character.
    qsizetype separators = 0;
    for (QTextBlock block = document.begin(); block.isValid() && block.position() <= position;
         block = block.next()) {
        if (continuesLine(block))
            ++separators;
    }
    return position - separators;
}

int positionAt(const QTextDocument &document, qsizetype offset, bool atPieceEnd)
{
    qsizetype separators = 0;
    QTextBlock block = document.begin();
    for (; block.isValid(); block = block.next()) {
        if (continuesLine(block))
            ++separators;
        const qsizetype start = block.position() - separators;
        const qsizetype end = start + block.length() - 1;
        if (offset < end || (offset == end && (atPieceEnd || !continuesLine(block.next()))))
            return int(block.position() + offset - start);
    }
    return document.characterCount() - 1;
}

} // namespace linepieces
