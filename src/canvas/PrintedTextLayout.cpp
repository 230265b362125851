#include "canvas/PrintedTextLayout.h"

#include "canvas/LineBreaks.h"
#include "widgets/BoundedText.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace PrintedTextLayout {

namespace {

// Characters that take no room and show nothing: control characters (tabs and line feeds among
// them) and the line and paragraph separators.
bool isControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// The whitespace a line lets hang past its end when it reaches the end of the room: spaces
// other than the no-break ones, tabs, line and paragraph ends.
bool hangs(QChar c)
{
    switch (c.unicode()) {
    case 0x00A0:
    case 0x2007:
    case 0x202F:
        return false;
    case 0x0009:
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x001C:
    case 0x001D:
    case 0x001E:
    case 0x001F:
        return true;
    default:
        return c.isSpace() && c.category() != QChar::Other_Control;
    }
}

// The trailing characters a line is aligned without: space separators, the no-break ones too.
bool isTrailingSpace(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Separator_Space || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// The engine's vertical metrics of a font: ascent, descent and line gap from the font's
// horizontal header, unrounded, as the runtime reads them; the toolkit's where the font has
// none.
struct LineMetrics {
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    double height() const { return leading + ascent + descent; }
};

LineMetrics lineMetricsOf(const QFont &font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray header = raw.isValid() ? raw.fontTable("hhea") : QByteArray();
    if (header.size() >= 10 && raw.unitsPerEm() > 0) {
        const auto value = [&](int at) {
            return double(qint16(quint16(uchar(header[at]) << 8 | uchar(header[at + 1]))));
        };
        const double ascender = value(4), descender = value(6), gap = value(8);
        if (ascender != 0 || descender != 0) {
            const double scale = raw.pixelSize() / raw.unitsPerEm();
            return {ascender * scale, -descender * scale, gap * scale};
        }
    }
    const QFontMetricsF metrics(font);
    return {metrics.ascent(), metrics.descent(), metrics.leading()};
}

// Fonts are few and reading their tables is not free: the metrics of those seen last.
LineMetrics lineMetrics(const QFont &font)
{
    thread_local QHash<QFont, LineMetrics> known;
    if (const auto found = known.constFind(font); found != known.cend())
        return *found;
    if (known.size() >= 64)
        known.clear();
    return *known.insert(font, lineMetricsOf(font));
}

// Widths of parts of a paragraph, as the engine measures them: control characters take none.
class Measure {
public:
    Measure(const QFont &font, QStringView text, double room)
        : metrics_(font), text_(text),
          step_(std::max<qsizetype>(BoundedText::rowCapacity(font, room), 1))
    {
    }

    double advance(qsizetype from, qsizetype to) const
    {
        double width = 0;
        qsizetype piece = from;
        for (qsizetype i = from; i <= to; ++i) {
            if (i < to && !isControl(text_[i]))
                continue;
            if (i > piece)
                width += metrics_.horizontalAdvance(text_.sliced(piece, i - piece).toString());
            piece = i + 1;
        }
        return width;
    }

    // The first character from `from` on that no longer fits in `width`, or `limit` when all
    // up to it fit. Prefixes ever longer are measured until one overflows, then halved.
    qsizetype firstOverflow(qsizetype from, qsizetype limit, double width) const
    {
        qsizetype fits = from, over = -1;
        for (qsizetype step = step_; over < 0; step *= 2) {
            const qsizetype end = std::min(limit, fits + step);
            if (advance(from, end) > width)
                over = end;
            else if (end == limit)
                return limit;
            else
                fits = end;
        }
        while (over - fits > 1) {
            const qsizetype middle = fits + (over - fits) / 2;
            (advance(from, middle) > width ? over : fits) = middle;
        }
        return over - 1;
    }

private:
    QFontMetricsF metrics_;
    QStringView text_;
    // About as many characters as the room holds.
    qsizetype step_;
};

// The line breaks of a paragraph, found from its start on as far as the layout asks.
class Breaks {
public:
    explicit Breaks(QStringView paragraph) : text_(paragraph) {}

    // Of places within the paragraph: the last break at or before `at` (0: none).
    qsizetype atOrBefore(qsizetype at)
    {
        reachPast(at);
        const auto after = std::upper_bound(known_.cbegin(), known_.cend(), at);
        return *(after - 1);
    }
    // The first break after `at`.
    qsizetype after(qsizetype at)
    {
        reachPast(at);
        return *std::upper_bound(known_.cbegin(), known_.cend(), at);
    }

private:
    void reachPast(qsizetype at)
    {
        // The paragraph's end is its last break.
        while (known_.last() <= at && known_.last() < text_.size())
            known_.append(LineBreaks::next(text_, known_.last()));
    }

    QStringView text_;
    QList<qsizetype> known_{0};
};

// The engine's default tab stops of a line whose room ends at `endX`: one every `width` from the
// element's left edge, as far as the room reaches; past them, a stop is one width on.
struct TabStops {
    double width = 40;
    double endX = 0;

    // The first stop past `x`.
    double next(double x) const
    {
        const double stop = (std::floor(x / width) + 1) * width;
        return stop <= endX ? stop : std::trunc(x + width);
    }
    // The first stop of a line.
    double first() const { return width <= endX ? width : std::trunc(endX); }
    // The last stop short of the end of the room.
    double last() const
    {
        const double count = std::ceil(endX / width) - 1;
        return count >= 1 ? count * width : std::trunc(endX);
    }
};

// A piece of a line: the paragraph's characters from `start` to `shown` (the spaces after them
// hang past the line's end), placed from `left` to `right`.
struct Segment {
    qsizetype start = 0;
    qsizetype shown = 0;
    double left = 0;
    double right = 0;
};
using Line = QList<Segment>;

// Lays out one paragraph line by line, the pieces between tabs one after the other, as the
// engine's renderer does.
class Paragraph {
public:
    Paragraph(const QFont &font, QStringView text, const TabStops &stops, double startX)
        : text_(text), measure_(font, text, stops.endX - startX), breaks_(text), stops_(stops),
          startX_(startX)
    {
    }

    bool atEnd() const { return position_ >= text_.size(); }
    // Where the next line starts: the end of the text the lines so far hold.
    qsizetype position() const { return position_; }

    Line nextLine()
    {
        Line line;
        for (bool complete = false; !complete;) {
            const qsizetype limit = segmentLimit();
            const double rightX = line.isEmpty() ? startX_ : line.last().right;
            if (!line.isEmpty())
                tabStop_ = stops_.next(rightX);
            const double room = stops_.endX - (tabStop_ ? *tabStop_ : rightX);
            const qsizetype end = nextOffset(limit, room);
            const bool placed = end > position_;
            if (placed) {
                // Trailing spaces take no room, but before the tab that ends a piece they do.
                qsizetype shown = end;
                while (shown > position_ && isTrailingSpace(text_[shown - 1]))
                    --shown;
                const double advance = measure_.advance(position_, shown);
                const double left = std::max(tabStop_.value_or(0), rightX);
                line.append({position_, shown, left, left + advance});
            }
            position_ = end;
            requireWord_ = true;
            if (atEnd()) {
                complete = true;
                tabStop_.reset();
            } else if (position_ == limit) {
                // A piece ended at its tab; past the last stop the line ends, and the next one
                // goes on at the first stop.
                if (line.last().right >= stops_.last()) {
                    complete = true;
                    tabStop_ = stops_.first();
                }
            } else {
                complete = true;
                if (placed) {
                    tabStop_.reset();
                    requireWord_ = false;
                } else if (tabStop_ == stops_.first()) {
                    // Not even a word fits at the first stop: the line stays empty, and the
                    // text goes on at the start of the next.
                    tabStop_.reset();
                    requireWord_ = false;
                } else {
                    tabStop_ = stops_.first();
                }
            }
        }
        return line;
    }

private:
    // The end of the piece from the current position: after the next tab, or the paragraph's
    // end.
    qsizetype segmentLimit()
    {
        if (nextTab_ < position_)
            nextTab_ = text_.indexOf(u'\t', position_);
        if (nextTab_ < 0)
            nextTab_ = text_.size();
        return std::min(nextTab_ + 1, text_.size());
    }

    // Where the piece from the current position ends in `room`: after the last break that
    // fits, with the spaces after it; within a word too long for the room, at the character
    // that no longer fits (at least one), unless a whole word is required.
    qsizetype nextOffset(qsizetype limit, double room)
    {
        const qsizetype overflow = measure_.firstOverflow(position_, limit, room);
        if (overflow == limit)
            return limit;
        if (hangs(text_[overflow]))
            return std::min(breaks_.after(overflow), limit);
        if (const qsizetype fit = breaks_.atOrBefore(overflow); fit > position_)
            return fit;
        if (requireWord_)
            return position_;
        qsizetype end = std::max(position_ + 1, overflow);
        if (end < text_.size() && text_[end].isLowSurrogate())
            ++end;
        return end;
    }

    QStringView text_;
    Measure measure_;
    Breaks breaks_;
    TabStops stops_;
    double startX_;
    qsizetype position_ = 0;
    qsizetype nextTab_ = -1;
    std::optional<double> tabStop_;
    bool requireWord_ = false;
};

// The point on the toolkit's grid of 64ths of a unit, where it places glyphs: a piece drawn
// from a laid-out line then lands exactly where it is drawn afresh.
QPointF onGrid(QPointF point)
{
    return QPointF(std::round(point.x() * 64) / 64, std::round(point.y() * 64) / 64);
}

// JRXML text as the engine reads it: a carriage return ends a line as a line feed does.
QString printedText(const QString &text)
{
    if (!text.contains(u'\r'))
        return text;
    QString printed = text;
    printed.replace(u"\r\n"_s, u"\n"_s);
    printed.replace(u'\r', u'\n');
    return printed;
}

// The bidirectional class of the first character of `text` whose class is one of `classes`, else
// QChar::DirON.
QChar::Direction firstOf(QStringView text, std::initializer_list<QChar::Direction> classes)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const QChar::Direction direction = QChar::direction(c);
        if (std::find(classes.begin(), classes.end(), direction) != classes.end())
            return direction;
    }
    return QChar::DirON;
}

// Whether the text holds letters or digits that read from right to left.
bool isBidirectional(QStringView text)
{
    return firstOf(text, {QChar::DirR, QChar::DirAL, QChar::DirAN}) != QChar::DirON;
}

// Whether the paragraph reads from right to left: its first letter of a script with a direction
// is of a right-to-left one, as the engine decides the direction of each paragraph.
bool readsRightToLeft(QStringView paragraph)
{
    const QChar::Direction first = firstOf(paragraph, {QChar::DirL, QChar::DirR, QChar::DirAL});
    return first == QChar::DirR || first == QChar::DirAL;
}

// Whether the PDF writer's column may end a line after `c`: after a space or another control
// character, a hyphen, the typographic spaces and in CJK text.
bool endsColumnLine(QChar c)
{
    const char16_t u = c.unicode();
    return u <= u' ' || u == u'-' || u == 0x2010 || (u >= 0x2002 && u <= 0x200B) ||
           (u >= 0x2E80 && u < 0xD7A0) || (u >= 0xF900 && u < 0xFB00) ||
           (u >= 0xFE30 && u < 0xFE50) || (u >= 0xFF61 && u < 0xFFA0);
}

// Characters the column trims at the ends of its lines: spaces and control characters.
bool trims(QChar c)
{
    return c.unicode() <= u' ';
}

// The end of [from, to) without the characters the column trims.
qsizetype trimmedEnd(QStringView text, qsizetype from, qsizetype to)
{
    while (to > from && trims(text[to - 1]))
        --to;
    return to;
}

// The lines, [start, end) without their trimmed ends, that the PDF writer's column breaks a
// paragraph into, `room` wide: after the last space or hyphen that fits (a space that does not
// fit too), else at the character that no longer fits, at least one; a line after the first
// starts at its first character that is not trimmed.
QList<std::pair<qsizetype, qsizetype>> columnLines(const Measure &measure, QStringView text,
                                                   double room)
{
    QList<std::pair<qsizetype, qsizetype>> lines;
    qsizetype position = 0;
    do {
        const qsizetype overflow = measure.firstOverflow(position, text.size(), room);
        qsizetype end = overflow, next = overflow;
        if (overflow == text.size()) {
            end = trimmedEnd(text, position, overflow);
        } else if (overflow == position) {
            end = next = position + (text[position].isHighSurrogate() ? 2 : 1);
        } else if (const qsizetype shown = trimmedEnd(text, position, overflow); shown > position) {
            qsizetype split = overflow - 1;
            while (split >= position && !endsColumnLine(text[split]))
                --split;
            if (endsColumnLine(text[overflow]) && hangs(text[overflow]))
                split = overflow;
            if (split < position || split >= shown - 1) {
                end = shown;
            } else {
                next = split + 1;
                const qsizetype trimmed = trimmedEnd(text, position, next);
                end = trimmed > position ? trimmed : next;
            }
        }
        lines.append({position, std::min(end, text.size())});
        position = std::min(next, text.size());
        while (position < text.size() && trims(text[position]))
            ++position;
    } while (position < text.size());
    return lines;
}

} // namespace

void shapeAsPrinted(QFont &font)
{
    font.setKerning(false);
    // A letter spacing of its own, however natural, makes the toolkit leave out the ligatures
    // that are only cosmetic (those of Latin text); joining and the ligatures a script needs stay.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    font.setHintingPreference(QFont::PreferVerticalHinting);
}

qsizetype readLength(const QFont &font, const QSizeF &size, const Format &format)
{
    const auto inFont = [&](const QFont &font) {
        const double rows =
            std::floor(std::max(size.height(), 0.0) / std::max(lineMetrics(font).height(), 0.01)) +
            1;
        const qsizetype row = BoundedText::rowCapacity(font, std::max(size.width(), 1.0));
        return qsizetype(std::min(rows * double(4 * row + 64), 1e9)) + shortestReadLength;
    };
    return format.measuringFont ? std::max(inFont(font), inFont(*format.measuringFont))
                                : inFont(font);
}

Layout layout(const QFont &font, const QString &text, const QSizeF &size, const Format &format)
{
    const qsizetype read = readLength(font, size, format);
    Layout result{printedText(text.size() > read ? text.first(read) : text), {}};
    const QString &printed = result.text;
    if (printed.isEmpty())
        return result;
    result.isBidirectional = isBidirectional(printed);
    // The engine measures the text, and the PDF writer draws it in the font it prints in.
    const QFont &measuring = format.measuringFont ? *format.measuringFont : font;
    const LineMetrics metrics = lineMetrics(measuring);
    // Places along a line are counted from the element's left edge, as the engine counts them.
    const double startX = format.padding;
    const TabStops stops{std::max(std::round(format.tabStopWidth), 1.0),
                         startX + std::max(size.width(), 0.0)};
    // The lines the engine measures, broken as the runtime breaks lines: those that fit whole,
    // each with the offset of its paragraph, and the end of the text they hold, which is all of
    // it that prints.
    QList<std::pair<qsizetype, Line>> lines;
    qsizetype printedEnd = 0;
    double textHeight = 0;
    for (qsizetype start = 0; start <= printed.size();) {
        qsizetype end = printed.indexOf(u'\n', start);
        if (end < 0)
            end = printed.size();
        const QStringView text = QStringView(printed).sliced(start, end - start);
        Paragraph paragraph(measuring, text, stops, startX);
        // An empty paragraph is a line of its own.
        do {
            if (textHeight + metrics.height() > size.height()) {
                end = printed.size();
                break;
            }
            textHeight += metrics.height();
            lines.append({start, text.isEmpty() ? Line() : paragraph.nextLine()});
            printedEnd = start + paragraph.position();
        } while (!paragraph.atEnd());
        start = end + 1;
    }

    double top = 0;
    if (format.alignment & Qt::AlignVCenter)
        top = (size.height() - textHeight) / 2;
    else if (format.alignment & Qt::AlignBottom)
        top = size.height() - textHeight;
    const auto baseline = [&](qsizetype line) {
        return top + double(line) * metrics.height() + metrics.leading + metrics.ascent;
    };
    const QFontMetricsF widths(font);
    // The runs of [from, to) from `x`, in a paragraph of that direction: control characters split
    // them.
    const auto place = [&](qsizetype from, qsizetype to, double x, double y, bool rightToLeft) {
        qsizetype run = from;
        for (qsizetype k = from; k <= to; ++k) {
            if (k < to && !isControl(printed[k]))
                continue;
            if (k > run) {
                result.runs.append({run, k - run, onGrid(QPointF(x, y)), rightToLeft});
                x += widths.horizontalAdvance(printed.sliced(run, k - run));
            }
            run = k + 1;
        }
    };
    const auto shift = [&](double width) {
        if (format.alignment & Qt::AlignRight)
            return stops.endX - startX - width;
        if (format.alignment & Qt::AlignHCenter)
            return (stops.endX - startX - width) / 2;
        return 0.0;
    };

    if (QStringView(printed).first(printedEnd).contains(u'\t')) {
        // Text with tabs prints as measured, piece by piece.
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const auto &[offset, line] = lines[i];
            if (line.isEmpty())
                continue;
            const double x = shift(line.last().right - startX) - startX;
            qsizetype end = printed.indexOf(u'\n', offset);
            const bool rightToLeft = readsRightToLeft(
                QStringView(printed).sliced(offset, (end < 0 ? printed.size() : end) - offset));
            for (const Segment &segment : line)
                place(offset + segment.start, offset + segment.shown, x + segment.left, baseline(i),
                      rightToLeft);
        }
        return result;
    }
    // Other text the PDF writer breaks anew in its column, paragraph by paragraph, as far as the
    // lines' baselines stay in the box.
    qsizetype index = 0;
    const QStringView shown = QStringView(printed).first(printedEnd);
    for (qsizetype start = 0; start <= printedEnd;) {
        qsizetype end = shown.indexOf(u'\n', start);
        if (end < 0)
            end = printedEnd;
        const QStringView text = QStringView(printed).sliced(start, end - start);
        const Measure measure(font, text, stops.endX - startX);
        const auto broken = text.isEmpty() ? QList<std::pair<qsizetype, qsizetype>>{{0, 0}}
                                           : columnLines(measure, text, stops.endX - startX);
        const bool rightToLeft = readsRightToLeft(text);
        for (const auto &[from, to] : broken) {
            if (baseline(index) > size.height())
                return result;
            place(start + from, start + to, shift(measure.advance(from, to)), baseline(index),
                  rightToLeft);
            ++index;
        }
        start = end + 1;
    }
    return result;
}

QString runText(const Layout &layout, const Run &run)
{
    const QStringView text = QStringView(layout.text).sliced(run.start, run.length);
    if (!layout.isBidirectional)
        return text.toString();
    // Spaces at its end follow it, to its right: a line's trailing spaces stand at its end.
    qsizetype shown = text.size();
    while (shown > 0 && text[shown - 1].direction() == QChar::DirWS)
        --shown;
    constexpr char16_t leftToRightIsolate = 0x2066, rightToLeftIsolate = 0x2067,
                       popDirectionalIsolate = 0x2069;
    return QChar(run.isRightToLeft ? rightToLeftIsolate : leftToRightIsolate) + text.first(shown) +
           QChar(popDirectionalIsolate) + text.sliced(shown);
}

void draw(QPainter *painter, const QRectF &box, const QString &text, const Format &format)
{
    const Layout laid = layout(painter->font(), text, box.size(), format);
    // Pieces are laid from left to right, whatever the painter's direction.
    const Qt::LayoutDirection direction = painter->layoutDirection();
    painter->setLayoutDirection(Qt::LeftToRight);
    for (const Run &run : laid.runs)
        painter->drawText(box.topLeft() + run.origin, runText(laid, run));
    painter->setLayoutDirection(direction);
}

} // namespace PrintedTextLayout
