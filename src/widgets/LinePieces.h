#pragma once

#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <QTextBlockFormat>

class QTextDocument;

// How the multi-line editors hold a long line: in paragraphs of `piece` characters, every one
// after the first marked as continuing the line of the one before it. Laying out a paragraph
// costs time in its length at every change, so no paragraph grows long, however long the line.
//
// Each paragraph is also marked when the line goes on in the next one: a removal that joins
// paragraphs leaves the joined one the format of the first of them, or of the last when the
// removal began at a paragraph's start, so one of the two marks of the boundaries at the ends of
// a change can be stale, and the paragraph beside it, untouched, tells which way is right
// (heal()).
namespace linepieces {

// A line longer than this goes in pieces.
inline constexpr qsizetype longLine = 2048;
inline constexpr qsizetype piece = 1024;

// True for the characters a text document takes as the end of a paragraph when they are
// inserted: line feed, carriage return (with a line feed after it, one end), the paragraph
// separator and the two marks of a frame's bounds (U+FDD0, U+FDD1).
bool endsParagraph(QChar c);
// The text with every such end written as a line feed: the text as an editor shows it and reads
// it back. The text itself, not copied, when it holds no other end.
QString heldText(const QString &text);
// The text an editor hands back (`held`, as heldText() gives it) written with the ends of
// paragraphs of `before`, the text it was set from, where the user left them: the characters
// before and after the part that changed are those of `before`. A carriage return kept just
// before a line break typed becomes a line feed, so that the two stay two ends. `held` itself
// when `before` holds no other end.
QString keptEnds(const QString &before, const QString &held);

// True when the paragraph goes on the line of the one before it.
bool continuesLine(const QTextBlock &block);
// True when the line of the paragraph goes on in the next one.
bool goesOn(const QTextBlock &block);
// The format of a paragraph that continues the line of the one before it and goes on in the
// next (the marks of a middle piece; heal() mends the last one's).
QTextBlockFormat continuing();
// Mends the marks of the paragraphs that a change from `from` to `to` (positions after it)
// touched, from those of the paragraphs beside them, within the change's undo step. The first
// paragraph's mark is taken from the one before it where the change began at its start; the
// paragraphs inside the change keep the marks it gave them. False when nothing needed mending.
bool heal(QTextDocument &document, int from, int to);
// Where the piece of `line` that starts at `from` ends: at the last place in its second half
// where the line may break into rows (after a space, say), so that no piece ends inside a word;
// `piece` characters on where the line has no such place there (a picture as base64), a
// surrogate pair kept whole.
qsizetype pieceEnd(QStringView line, qsizetype from);

// Where a position of the document falls in its text, lines whole: the end of a piece and the
// start of the next are the same place.
qsizetype offsetAt(const QTextDocument &document, int position);
// The position of the document at an offset into its text, lines whole; at the boundary of two
// pieces, the end of the first when `atPieceEnd` is true, the start of the second otherwise.
int positionAt(const QTextDocument &document, qsizetype offset, bool atPieceEnd);

} // namespace linepieces
