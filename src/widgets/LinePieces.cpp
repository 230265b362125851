#include "widgets/LinePieces.h"

#include <QTextDocument>

namespace linepieces {

namespace {

// The mark of a paragraph that continues the line of the one before it.
constexpr int continuesProperty = QTextFormat::UserProperty + 1;

} // namespace

bool continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

QTextBlockFormat continuing()
{
    QTextBlockFormat format;
    format.setProperty(continuesProperty, true);
    return format;
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
