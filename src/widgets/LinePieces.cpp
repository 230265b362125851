#include "widgets/LinePieces.h"

#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <optional>

namespace linepieces {

namespace {

// The mark of a paragraph that continues the line of the one before it.
constexpr int continuesProperty = QTextFormat::UserProperty + 1;
// The mark of a paragraph whose line goes on in the next one.
constexpr int goesOnProperty = QTextFormat::UserProperty + 2;

bool hasMark(const QTextBlock &block, int property)
{
    return block.isValid() && block.blockFormat().boolProperty(property);
}

// Sets a mark of the paragraph to `set`, opening the joined edit on the first change.
void setMark(QTextCursor &cursor, bool &editing, const QTextBlock &block, int property, bool set)
{
    if (hasMark(block, property) == set)
        return;
    if (!editing) {
        cursor.joinPreviousEditBlock();
        editing = true;
    }
    cursor.setPosition(block.position());
    QTextBlockFormat format = block.blockFormat();
    if (set)
        format.setProperty(property, true);
    else
        format.clearProperty(property);
    cursor.setBlockFormat(format);
}

// The characters either side of a place that decide whether a line may break there.
constexpr qsizetype breakContext = 8;
// How many characters the search for a place to break looks at with one finder.
constexpr qsizetype breakSearch = 64;

// The last place in (`earliest`, `latest`] where the line may break into rows, or -1.
qsizetype lastBreak(QStringView line, qsizetype earliest, qsizetype latest)
{
    for (qsizetype high = latest; high > earliest; high -= breakSearch) {
        const qsizetype low = std::max(earliest, high - breakSearch);
        const qsizetype start = std::max<qsizetype>(0, low - breakContext);
        const qsizetype stop = std::min(line.size(), high + breakContext);
        // The finder keeps what it works out in the buffer given (no allocation for each).
        unsigned char buffer[2 * (breakSearch + 2 * breakContext) + 8];
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, line.data() + start, stop - start,
                                   buffer, sizeof buffer);
        finder.setPosition(high - start);
        if (finder.isAtBoundary())
            return high;
        const qsizetype before = finder.toPreviousBoundary();
        if (before > low - start)
            return start + before;
    }
    return -1;
}

// The text `held` in place of `before`, but for its first `prefix` and last `suffix` characters
// (counted as heldText() counts them), which are `before`'s; empty when that would put a
// carriage return of `before` right before a line feed, which would read as one end.
std::optional<QString> splice(const QString &before, const QString &held, qsizetype prefix,
                              qsizetype suffix)
{
    qsizetype start = 0;
    for (qsizetype n = 0; n < prefix; ++n)
        start += QStringView(before).sliced(start).startsWith(u"\r\n") ? 2 : 1;
    qsizetype end = before.size();
    for (qsizetype n = 0; n < suffix; ++n)
        end -= end >= 2 && before.at(end - 1) == u'\n' && before.at(end - 2) == u'\r' ? 2 : 1;
    QString kept = before.left(start) +
                   QStringView(held).sliced(prefix, held.size() - suffix - prefix) +
                   QStringView(before).sliced(end);
    if (start > 0 && start < kept.size() && kept.at(start - 1) == u'\r' && kept.at(start) == u'\n')
        return std::nullopt;
    return kept;
}

} // namespace

bool endsParagraph(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1;
}

QString heldText(const QString &text)
{
    // Nearly every character lies between the line feed and the paragraph separator.
    const auto otherEnd = [](QChar c) {
        const char16_t u = c.unicode();
        return (u <= u'\r' || u >= QChar::ParagraphSeparator) && u != u'\n' && endsParagraph(c);
    };
    if (std::none_of(text.cbegin(), text.cend(), otherEnd))
        return text;
    QString held;
    held.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!endsParagraph(c)) {
            held.append(c);
            continue;
        }
        held.append(u'\n');
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
    }
    return held;
}

QString keptEnds(const QString &before, const QString &held)
{
    const QString was = heldText(before);
    if (was.isSharedWith(before))
        return held;
    if (was == held)
        return before;
    // The characters the change left alone lead and trail both texts. Where a line break was
    // typed beside one of `before`'s, either may count as the one left alone: the first way that
    // keeps every character of `before` that stays is taken.
    const qsizetype shorter = std::min(was.size(), held.size());
    qsizetype prefix = 0;
    while (prefix < shorter && was.at(prefix) == held.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           was.at(was.size() - 1 - suffix) == held.at(held.size() - 1 - suffix))
        ++suffix;
    if (std::optional<QString> kept = splice(before, held, prefix, suffix))
        return *kept;
    qsizetype trailing = 0;
    while (trailing < shorter &&
           was.at(was.size() - 1 - trailing) == held.at(held.size() - 1 - trailing))
        ++trailing;
    const qsizetype leading = std::min(prefix, shorter - trailing);
    if (std::optional<QString> kept = splice(before, held, leading, trailing))
        return *kept;
    // No way keeps them all: the carriage return before the line break typed becomes a line
    // feed, so that the text still holds the ends of paragraphs the editor shows.
    QString kept = before;
    qsizetype start = 0;
    for (qsizetype n = 0; n < prefix; ++n)
        start += QStringView(before).sliced(start).startsWith(u"\r\n") ? 2 : 1;
    kept[start - 1] = u'\n';
    return *splice(kept, held, prefix, suffix);
}

bool continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

bool goesOn(const QTextBlock &block)
{
    return hasMark(block, goesOnProperty);
}

QTextBlockFormat continuing()
{
    QTextBlockFormat format;
    format.setProperty(continuesProperty, true);
    format.setProperty(goesOnProperty, true);
    return format;
}

bool heal(QTextDocument &document, int from, int to)
{
    const QTextBlock first = document.findBlock(from);
    const QTextBlock last = document.findBlock(std::min(to, document.characterCount() - 1));
    if (!first.isValid() || !last.isValid())
        return false;
    QTextCursor cursor(&document);
    bool editing = false;
    // The paragraph before the change is untouched: where the change began at the first one's
    // start, its mark says whether the first continues its line.
    if (from == first.position())
        setMark(cursor, editing, first, continuesProperty, goesOn(first.previous()));
    // Inside the change, the paragraphs' own marks say whether they continue a line; the one
    // after the change is untouched and says whether the line of the last goes on. Each
    // paragraph's format is read once.
    QTextBlock block = first;
    QTextBlockFormat format = block.blockFormat();
    for (;;) {
        const QTextBlock next = block.next();
        const QTextBlockFormat nextFormat =
            next.isValid() ? next.blockFormat() : QTextBlockFormat();
        const bool goesOnNow = nextFormat.boolProperty(continuesProperty);
        if (format.boolProperty(goesOnProperty) != goesOnNow)
            setMark(cursor, editing, block, goesOnProperty, goesOnNow);
        if (block == last || !next.isValid())
            break;
        block = next;
        format = nextFormat;
    }
    if (editing)
        cursor.endEditBlock();
    return editing;
}

qsizetype pieceEnd(QStringView line, qsizetype from)
{
    const qsizetype latest = from + piece;
    if (latest >= line.size())
        return line.size();
    const qsizetype earliest = from + piece / 2;
    // After a space, the usual place, each checked on its own; elsewhere (after a hyphen or a
    // slash, say) the finder runs over the whole second half.
    for (qsizetype at = latest; at > earliest; --at) {
        if (line.at(at - 1).isSpace() && !line.at(at).isSpace() &&
            lastBreak(line, at - 1, at) == at)
            return at;
    }
    if (const qsizetype at = lastBreak(line, earliest, latest); at > 0)
        return at;
    qsizetype end = latest;
    if (end > from + 1 && line.at(end - 1).isHighSurrogate())
        --end;
    return end;
}

qsizetype offsetAt(const QTextDocument &document, int position)
{
    // Every paragraph separator that starts a piece at or before the position is no character.
    qsizetype separators = 0;
    for (QTextBlock block = document.begin(); block.isValid() && block.position() <= position;
         block = block.next()) {
        if (continuesLine(block))
            ++separators;
    }
    return position - separators;
}

int positionAt(const QTextDocument &document, qsizetype offset, bool atPieceEnd)
{
    qsizetype separators = 0;
    QTextBlock block = document.begin();
    for (; block.isValid(); block = block.next()) {
        if (continuesLine(block))
            ++separators;
        const qsizetype start = block.position() - separators;
        const qsizetype end = start + block.length() - 1;
        if (offset < end || (offset == end && (atPieceEnd || !continuesLine(block.next()))))
            return int(block.position() + offset - start);
    }
    return document.characterCount() - 1;
}

} // namespace linepieces
