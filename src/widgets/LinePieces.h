#pragma once

#include <QStringView>
#include <QTextBlock>
#include <QTextBlockFormat>

class QTextDocument;

// How the multi-line editors hold a long line: in paragraphs of `piece` characters, every one
// after the first marked as continuing the line of the one before it. Laying out a paragraph
// costs time in its length at every change, so no paragraph grows long, however long the line.
namespace linepieces {

// A line longer than this goes in pieces.
inline constexpr qsizetype longLine = 2048;
inline constexpr qsizetype piece = 1024;

// True when the paragraph goes on the line of the one before it.
bool continuesLine(const QTextBlock &block);
// The format of a paragraph that continues the line of the one before it.
QTextBlockFormat continuing();
// Where the piece of `line` that starts at `from` ends: `piece` characters on, a surrogate pair
// kept whole.
qsizetype pieceEnd(QStringView line, qsizetype from);

// Where a position of the document falls in its text, lines whole: the end of a piece and the
// start of the next are the same place.
qsizetype offsetAt(const QTextDocument &document, int position);
// The position of the document at an offset into its text, lines whole; at the boundary of two
// pieces, the end of the first when `atPieceEnd` is true, the start of the second otherwise.
int positionAt(const QTextDocument &document, qsizetype offset, bool atPieceEnd);

} // namespace linepieces
