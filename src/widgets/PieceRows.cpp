#include "widgets/PieceRows.h"

#include "widgets/LinePieces.h"
#include "widgets/PieceLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace piecerows {

namespace {

QTextLayout *laidOut(const QTextBlock &block)
{
    block.document()->documentLayout()->blockBoundingRect(block);
    return block.layout();
}

int lastLine(const QTextBlock &block)
{
    return std::max(laidOut(block)->lineCount() - 1, 0);
}

bool flows(const QTextBlock &block)
{
    laidOut(block);
    return PieceLayout::flows(block);
}

} // namespace

Segment segmentAt(const QTextDocument &document, int position)
{
    const QTextBlock block = document.findBlock(position);
    const QTextLayout *layout = laidOut(block);
    const int inBlock = position - block.position();
    const QTextBlock next = block.next();
    if (inBlock == block.length() - 1 && next.isValid() && linepieces::continuesLine(next) &&
        !flows(next))
        return {next, 0};
    const QTextLine line = layout->lineForTextPosition(inBlock);
    return {block, line.isValid() ? line.lineNumber() : 0};
}

Segment rowStart(const Segment &segment)
{
    Segment at = segment;
    while (at.line == 0 && at.block.previous().isValid() && flows(at.block))
        at = {at.block.previous(), lastLine(at.block.previous())};
    return at;
}

QList<Segment> row(const Segment &start)
{
    QList<Segment> segments{start};
    Segment at = start;
    while (at.line == lastLine(at.block) && at.block.next().isValid() && flows(at.block.next())) {
        at = {at.block.next(), 0};
        segments.append(at);
    }
    return segments;
}

std::optional<Segment> rowBefore(const Segment &start)
{
    if (start.line > 0)
        return rowStart({start.block, start.line - 1});
    const QTextBlock previous = start.block.previous();
    if (!previous.isValid())
        return std::nullopt;
    return rowStart({previous, lastLine(previous)});
}

std::optional<Segment> rowAfter(const Segment &start)
{
    const Segment end = row(start).constLast();
    if (end.line < lastLine(end.block))
        return Segment{end.block, end.line + 1};
    const QTextBlock next = end.block.next();
    if (!next.isValid())
        return std::nullopt;
    laidOut(next);
    return Segment{next, 0};
}

int positionAt(const QList<Segment> &row, qreal x)
{
    qsizetype index = 0;
    while (index + 1 < row.size() && x >= row.at(index + 1).textLine().x())
        ++index;
    const Segment &segment = row.at(index);
    const QTextLine line = segment.textLine();
    const int start = segment.block.position();
    const int end = line.textStart() + line.textLength();
    // Where the segment's characters end but for the spaces it ends with (which the last line of
    // a paragraph counts in its width, and no other).
    const QString text = segment.block.text();
    int spaces = end;
    while (spaces > line.textStart() && text.at(spaces - 1).isSpace())
        --spaces;
    const bool lastOfParagraph = line.lineNumber() == lastLine(segment.block);
    const qreal textEnd = lastOfParagraph && spaces < end ? line.cursorToX(spaces)
                                                          : line.x() + line.naturalTextWidth();
    if (x < textEnd || line.textLength() == 0)
        return start + line.xToCursor(x);
    if (index + 1 < row.size()) {
        // Over the spaces a piece ends with, which the row goes on after: the nearest place
        // among them.
        int nearest = end;
        for (int at = end; at >= spaces; --at) {
            if (std::abs(x - line.cursorToX(at)) <= std::abs(x - line.cursorToX(nearest)))
                nearest = at;
        }
        return start + nearest;
    }
    // Right of the row's last character: its end, but that a row the line wraps after ends
    // before the character it wraps at, as it does in one paragraph (whose rows, but the last,
    // count no spaces they end with in their width).
    const bool wrapped = !lastOfParagraph || linepieces::continuesLine(segment.block.next());
    if (!wrapped)
        return start + line.xToCursor(x);
    if (x < line.x() + line.naturalTextWidth())
        return start + end - 1;
    return start + std::min(line.xToCursor(x), end - 1);
}

qreal xOf(const QTextDocument &document, int position)
{
    const Segment segment = segmentAt(document, position);
    const int inBlock =
        std::clamp(position - segment.block.position(), 0, segment.block.length() - 1);
    return segment.textLine().cursorToX(inBlock);
}

} // namespace piecerows
