#pragma once

#include <QList>
#include <QTextBlock>
#include <QTextLayout>
#include <optional>

class QTextDocument;

// The rows of text a multi-line editor draws, where a row of a long line may be drawn by several
// of its pieces (see PieceLayout.h): the row the cursor is on, the rows above and below it, and
// the place of a row under a point, for the keys and the mouse to act on rows as a plain editor
// does. The paragraphs read are laid out first.
namespace piecerows {

// One line of a paragraph's layout: a row, or the part of one the paragraph draws.
struct Segment {
    QTextBlock block;
    int line = 0;

    QTextLine textLine() const { return block.layout()->lineAt(line); }
    // The positions of the document the segment holds, from its first character to the end of
    // its last.
    int start() const { return block.position() + textLine().textStart(); }
    int end() const { return start() + textLine().textLength(); }
    bool operator==(const Segment &other) const
    {
        return block == other.block && line == other.line;
    }
};

// The segment of the row a position of the document is on, as a plain editor places it: where
// a piece ends at the end of a row, its end is the start of the next row.
Segment segmentAt(const QTextDocument &document, int position);
// The first segment of the row a segment is part of.
Segment rowStart(const Segment &segment);
// The segments of the row that `start` begins, left to right.
QList<Segment> row(const Segment &start);
// The first segment of the row before or after the row `start` begins; none at either end.
std::optional<Segment> rowBefore(const Segment &start);
std::optional<Segment> rowAfter(const Segment &start);
// The position a plain editor places the cursor at for `x` (in the document's coordinates) on a
// row: in the segment that reaches over `x`.
int positionAt(const QList<Segment> &row, qreal x);
// The x of a position on its row (in the document's coordinates).
qreal xOf(const QTextDocument &document, int position);

} // namespace piecerows
