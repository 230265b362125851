#include "widgets/RowCommands.h"

#include "widgets/LinePieces.h"
#include "widgets/PieceRows.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QTextBlock>
#include <QTextDocument>

using linepieces::continuesLine;
using piecerows::Segment;

namespace rowcommands {

namespace {

enum class Move { up, down, home, end };

struct MoveKey {
    QKeySequence::StandardKey moving;
    QKeySequence::StandardKey selecting;
    Move move;
};

constexpr MoveKey moveKeys[] = {
    {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Move::up},
    {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Move::down},
    {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Move::home},
    {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Move::end},
};

int lineStart(const QTextDocument &document, int position)
{
    QTextBlock block = document.findBlock(position);
    while (continuesLine(block) && block.previous().isValid())
        block = block.previous();
    return block.position();
}

// Where End takes the cursor from a row: after its last character, but before a space that ends
// a row the line wraps after.
int rowEnd(const QTextDocument &document, const Segment &start)
{
    const QList<Segment> segments = piecerows::row(start);
    auto last = std::find_if(segments.crbegin(), segments.crend(), [](const Segment &segment) {
        return segment.textLine().textLength() > 0;
    });
    if (last == segments.crend())
        return lineEnd(document, start.start());
    int end = std::min(last->end(), document.characterCount() - 1);
    const std::optional<Segment> next = piecerows::rowAfter(start);
    const bool lineGoesOn = next && (next->block == last->block || continuesLine(next->block));
    if (lineGoesOn && document.characterAt(end - 1).isSpace())
        --end;
    return end;
}

} // namespace

std::optional<QTextCursor> moved(const QTextCursor &cursor, const QKeyEvent &event, qreal &x)
{
    for (const MoveKey &key : moveKeys) {
        const bool moving = event.matches(key.moving);
        if (!moving && !event.matches(key.selecting))
            continue;
        const QTextCursor::MoveMode mode =
            moving ? QTextCursor::MoveAnchor : QTextCursor::KeepAnchor;
        const QTextDocument &document = *cursor.document();
        const Segment start =
            piecerows::rowStart(piecerows::segmentAt(document, cursor.position()));
        QTextCursor result = cursor;
        switch (key.move) {
        case Move::up:
        case Move::down: {
            if (x < 0)
                x = piecerows::xOf(document, cursor.position());
            const std::optional<Segment> target =
                key.move == Move::up ? piecerows::rowBefore(start) : piecerows::rowAfter(start);
            if (target) {
                result.setPosition(piecerows::positionAt(piecerows::row(*target), x), mode);
                result.setVerticalMovementX(int(x));
            } else if (!moving) {
                // Selecting up from the first row or down from the last reaches the end of the text
                // there, and a run of Up and Down starts again from there.
                result.setPosition(key.move == Move::up ? 0 : document.characterCount() - 1, mode);
                x = -1;
            }
            break;
        }
        case Move::home:
            result.setPosition(start.start(), mode);
            break;
        case Move::end:
            result.setPosition(rowEnd(document, start), mode);
            break;
        }
        return result;
    }
    return std::nullopt;
}

bool movesVertically(const QKeyEvent &event)
{
    return event.matches(QKeySequence::MoveToPreviousLine) ||
           event.matches(QKeySequence::MoveToNextLine) ||
           event.matches(QKeySequence::SelectPreviousLine) ||
           event.matches(QKeySequence::SelectNextLine);
}

int lineEnd(const QTextDocument &document, int position)
{
    QTextBlock block = document.findBlock(position);
    while (continuesLine(block.next()))
        block = block.next();
    return block.position() + block.length() - 1;
}

bool selectsParagraph(const QTextCursor &cursor)
{
    if (!cursor.hasSelection())
        return false;
    const QTextBlock block = cursor.document()->findBlock(cursor.selectionStart());
    const int end = block.position() + block.length() - (block.next().isValid() ? 0 : 1);
    return cursor.selectionStart() == block.position() && cursor.selectionEnd() == end;
}

QTextCursor wholeLines(const QTextCursor &cursor)
{
    const QTextDocument &document = *cursor.document();
    const int from = lineStart(document, cursor.selectionStart());
    int to = cursor.selectionEnd();
    const QTextBlock endBlock = document.findBlock(to);
    if (to == cursor.selectionStart() || to != endBlock.position() || continuesLine(endBlock)) {
        to = lineEnd(document, to);
        if (to + 1 < document.characterCount())
            ++to;
    }
    QTextCursor result = cursor;
    const bool forward = cursor.anchor() <= cursor.position();
    result.setPosition(forward ? from : to);
    result.setPosition(forward ? to : from, QTextCursor::KeepAnchor);
    return result;
}

} // namespace rowcommands
