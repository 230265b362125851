#pragma once

#include <QStringView>
#include <QTextBlock>
#include <QTextBlockFormat>

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

} // namespace linepieces
