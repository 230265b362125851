#include "canvas/TextLabelCache.h"

#include "widgets/BoundedText.h"

#include <QCache>
#include <QFont>
#include <QHashFunctions>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {

// A text is cut to what its box shows only when it is longer than this: laying out a few pages'
// worth costs little, and below it the picture is exactly the painter's whatever the alignment
// (a centred or right-aligned word that runs out of the box shows its middle or end, which the
// cut, keeping each row's first characters, does not).
constexpr qsizetype uncutLength = 8192;

// Enough for every text a screen shows at once, also a page of thousands of small texts (laid
// out anew at each repaint when they do not fit); a layout takes some hundreds of bytes.
constexpr int cachedLayouts = 8192;

// What a layout depends on.
struct LayoutKey {
    QString text;
    QFont font;
    double width;
    int flags;
    bool operator==(const LayoutKey &) const = default;
};

size_t qHash(const LayoutKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.text, key.font, key.width, key.flags);
}

// A text laid out as the painter's drawText lays it out: left-aligned lines, each placed on a
// whole pixel below the one before; the painter aligns each line in the box as it draws it.
// `bottoms` holds the height of the text down to the end of each line.
struct Layout {
    QTextLayout lines;
    QList<double> bottoms;
    // How many lines the painter draws in a box `boxHeight` high (it lays out lines only until
    // they reach the box's height), and the height it aligns them by.
    std::pair<qsizetype, double> drawnIn(double boxHeight) const
    {
        for (qsizetype i = 0; i < bottoms.size(); ++i) {
            if (bottoms[i] >= boxHeight)
                return {i + 1, bottoms[i]};
        }
        return {bottoms.size(), bottoms.isEmpty() ? 0 : bottoms.last()};
    }
};

QCache<LayoutKey, Layout> &layouts()
{
    static QCache<LayoutKey, Layout> cache(cachedLayouts);
    return cache;
}

// The text as the painter lays it out: a line feed breaks the line; a carriage return, and a tab
// (which the painter expands only when asked to), is a space.
QString laidOutText(const QString &text)
{
    QString laid = text;
    for (QChar &c : laid) {
        if (c == u'\n')
            c = QChar::LineSeparator;
        else if (c == u'\r' || c == u'\t')
            c = u' ';
    }
    return laid;
}

// The layout of `text` in the painter's font for a box `width` wide, wrapped when `flags` say so.
const Layout &layoutOf(QPainter *painter, double width, int flags, const QString &text)
{
    const QFont &font = painter->font();
    LayoutKey key{text, font, width, flags};
    if (const Layout *known = layouts().object(key))
        return *known;
    auto *layout = new Layout;
    layout->lines.setText(laidOutText(text));
    layout->lines.setFont(font);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    layout->lines.setTextOption(option);
    layout->lines.setCacheEnabled(true);
    // Unwrapped, a line is as wide as it needs.
    const double lineWidth = (flags & Qt::TextWordWrap) ? std::max(width, 0.0) : 0x01000000;
    const double leading = QFontMetricsF(font).leading();
    double height = -leading;
    layout->lines.beginLayout();
    for (QTextLine line = layout->lines.createLine(); line.isValid();
         line = layout->lines.createLine()) {
        line.setLineWidth(lineWidth);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        layout->bottoms.append(height);
    }
    layout->lines.endLayout();
    layouts().insert(std::move(key), layout);
    return *layout;
}

} // namespace

namespace TextLabelCache {

ShownPart shownPart(const QFont &font, const QSizeF &box)
{
    // Each row takes at least one character; one row more than the box holds.
    const double rows =
        std::ceil(std::max(box.height(), 0.0) / std::max(QFontMetricsF(font).lineSpacing(), 1.0)) +
        2;
    const qsizetype perRow = BoundedText::rowCapacity(font, box.width());
    return {perRow, qsizetype(std::min(rows * double(perRow), 1e9))};
}

QString shownText(const QString &text, const ShownPart &part)
{
    if (text.size() <= part.length)
        return text;
    // Every row the box holds, and one more; of a word longer than a row (which runs out of the
    // box) only its first row's worth. Past the box's worth of characters nothing is read.
    QString shown;
    shown.reserve(part.length);
    qsizetype word = 0;
    const qsizetype end = std::min(text.size(), 2 * part.length);
    for (qsizetype i = 0; i < end && shown.size() < part.length; ++i) {
        const QChar c = text.at(i);
        word = c.isSpace() ? 0 : word + 1;
        if (word <= part.row)
            shown.append(c);
    }
    return shown;
}

void draw(QPainter *painter, const QRectF &box, int flags, const QString &text)
{
    if (text.isEmpty())
        return;
    const QFont &font = painter->font();
    // A text far longer than the box can show is laid out only as far as it fills the box.
    if (const ShownPart part = shownPart(font, box.size());
        text.size() > std::max(part.length, uncutLength)) {
        draw(painter, box, flags, shownText(text, part));
        return;
    }
    if (font.underline() || font.strikeOut() || font.overline() ||
        painter->layoutDirection() != Qt::LeftToRight) {
        // A laid-out line draws no lines through or along it; a painter of another direction
        // aligns lines by what only it knows of their spaces.
        painter->drawText(box, flags, text);
        return;
    }
    const Layout &layout = layoutOf(painter, box.width(), flags, text);
    const auto [count, height] = layout.drawnIn(box.height());
    double y = box.top();
    if (flags & Qt::AlignVCenter)
        y += (box.height() - height) / 2;
    else if (flags & Qt::AlignBottom)
        y += box.height() - height;
    double widest = 0;
    for (qsizetype i = 0; i < count; ++i)
        widest = std::max(widest, layout.lines.lineAt(int(i)).naturalTextWidth());
    // Cut off at the box, as drawText cuts off a text that does not fit.
    double left = box.left();
    if (flags & Qt::AlignRight)
        left += box.width() - widest;
    else if (flags & Qt::AlignHCenter)
        left += (box.width() - widest) / 2;
    const bool overflows = !box.contains(QRectF(left, y, widest, height));
    if (overflows) {
        painter->save();
        painter->setClipRect(box, Qt::IntersectClip);
    }
    for (qsizetype i = 0; i < count; ++i) {
        const QTextLine line = layout.lines.lineAt(int(i));
        double x = box.left();
        if (flags & Qt::AlignRight)
            x += box.width() - line.horizontalAdvance();
        else if (flags & Qt::AlignHCenter)
            x += (box.width() - line.horizontalAdvance()) / 2;
        line.draw(painter, QPointF(x, y));
    }
    if (overflows)
        painter->restore();
}

} // namespace TextLabelCache
