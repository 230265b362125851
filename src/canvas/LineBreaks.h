#pragma once

#include <QStringView>

// Where the engine may end a line of text when it measures how much of a text fits its box, and
// when it prints a text with tabs: the line breaks of the Java runtime that prints
// (`java.text.BreakIterator.getLineInstance()`). A word keeps the spaces after it, the
// punctuation that closes it and the dash that ends it; a slash, a digit or a letter does not
// break it ("reports/monthly/2024/final." is one piece), an opening bracket or quote sticks to
// what follows, a tab or a line feed ends a piece.
namespace LineBreaks {

// The end of the piece of `text` that starts at `from` (0 <= from < text.size()): the next place
// after `from` where a line may break, or text.size(). Pieces are found from the start of the
// text on, each where the one before ended.
qsizetype next(QStringView text, qsizetype from);

} // namespace LineBreaks
