#pragma once

#include <QTextCursor>
#include <optional>

class QKeyEvent;

// What the keys and the mouse do with rows and lines in a multi-line editor that holds long
// lines in pieces (see LinePieces.h and PieceLayout.h): what a plain editor does with a line held
// in one paragraph.
namespace rowcommands {

// The cursor moved by a key that moves it from row to row or to the ends of its row (Up, Down,
// Home, End; with Shift, selecting), as a plain editor moves it: Up and Down keep to the x the
// cursor was at before a run of them (`x`: that of the Up or Down before, or negative, and the
// one kept for the next), End stops before the space that ends a row wrapped after it. None for
// any other key.
std::optional<QTextCursor> moved(const QTextCursor &cursor, const QKeyEvent &event, qreal &x);
// True for Up and Down, with or without Shift.
bool movesVertically(const QKeyEvent &event);
// The end of the line (its last piece) the position is in.
int lineEnd(const QTextDocument &document, int position);
// True when the cursor selects one paragraph and the line break after it, as a triple click
// selects a paragraph.
bool selectsParagraph(const QTextCursor &cursor);
// The cursor's selection grown to whole lines, the line break after the last included, the
// anchor at the end it was at.
QTextCursor wholeLines(const QTextCursor &cursor);

} // namespace rowcommands
