#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <Qt>
#include <optional>

class QPainter;
class QRectF;

// A text laid out in a box as the engine prints it:
// - a line feed, a carriage return or both start a new line;
// - the engine measures how much of the text fits: lines broken where the runtime's line breaking
//   allows (LineBreaks), after the last piece that fits without its trailing spaces, a word too
//   long for the line at the character that no longer fits; only the lines that fit the box
//   whole print, and the block of them is aligned in the box's height;
// - a text with tabs prints as measured: a tab moves on to the next tab stop, counted from the
//   element's left edge, and a line whose text reaches past the last stop goes on at the first
//   stop of the next line;
// - any other text the PDF writer breaks anew in its column: after the last space or hyphen that
//   fits, a word too long for the line at the character that no longer fits, and as far as the
//   lines' baselines stay in the box;
// - lines are aligned by their width without trailing spaces, and are as far apart as the font's
//   line height (ascent, descent and line gap, as the runtime reads them).
// Control characters take no room and show nothing. A paragraph reads from left to right, or from
// right to left where its first letter is of a right-to-left script (Arabic, Hebrew …); either
// way its lines are aligned in the box as the element says.
namespace PrintedTextLayout {

struct Format {
    // One horizontal and one vertical alignment.
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    // How far the box lies inside the element at the left and at the right, as inside its
    // paddings: the element's left edge is where tab stops are counted from.
    double padding = 0;
    // The distance between default tab stops.
    double tabStopWidth = 40;
    // The font the engine measures the text in where it prints it in another (a family it does
    // not have): how much of the text fits, where its tabs take it and how far apart its lines
    // are come from it. None: the font it prints in.
    std::optional<QFont> measuringFont;
    bool operator==(const Format &) const = default;
};

// One piece of a line: `length` characters from `start`, drawn with the left end of their
// baseline at `origin` (from the box's top-left corner), in the reading direction of their
// paragraph.
struct Run {
    qsizetype start = 0;
    qsizetype length = 0;
    QPointF origin;
    bool isRightToLeft = false;
    bool operator==(const Run &) const = default;
};

struct Layout {
    // The text as the engine prints it: each carriage return is a line feed, and one before a
    // line feed goes.
    QString text;
    // The pieces that show, in the text's order. Trailing spaces, tabs and control characters
    // lie between them.
    QList<Run> runs;
    // The text holds letters or digits of right-to-left scripts.
    bool isBidirectional = false;
};

// Makes `font` shape and measure text as the engine does: no kerning, no ligatures where a script
// needs none, the letters of scripts that join (Arabic, Persian) joined, and vertical hinting
// only, so that no advance is rounded to a pixel.
void shapeAsPrinted(QFont &font);

// How much of a text the layout in a box of `size` reads: each line the box holds takes at most
// a row's worth of characters, and a few times that of spaces and line ends. A text longer than
// that is laid out from that much of its start, so that a text of millions of characters costs
// what the box shows.
qsizetype readLength(const QFont &font, const QSizeF &size, const Format &format);
// The least readLength() answers, whatever the font, box and format: a text no longer is read
// whole.
constexpr qsizetype shortestReadLength = 4096;

// The layout of `text` in `font` (in the units of the box) in a box of `size`.
Layout layout(const QFont &font, const QString &text, const QSizeF &size, const Format &format);

// The text of the run as drawn from left to right, as a unit: in a text with right-to-left
// letters, set apart by the marks that isolate it (as reading from right to left in a paragraph
// that does), so that the directions of its characters do not depend on what stands near it when
// it is drawn.
QString runText(const Layout &layout, const Run &run);

// Draws `text` in `box` as the engine prints it, in the painter's font and pen, each piece's
// runText as QPainter::drawText draws it from left to right at its place.
void draw(QPainter *painter, const QRectF &box, const QString &text, const Format &format);

} // namespace PrintedTextLayout
