#include "canvas/TextLabelCache.h"

#include "widgets/BoundedText.h"

#include <QCache>
#include <QFont>
#include <QHashFunctions>
#include <QPainter>
#include <QStaticText>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {

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

// A text laid out, and the height the painter gives its lines when it aligns them in a box: on
// whole pixels, each as high as its ascent and descent.
struct Layout {
    QStaticText text;
    double height = 0;
};

QCache<LayoutKey, Layout> &layouts()
{
    static QCache<LayoutKey, Layout> cache(cachedLayouts);
    return cache;
}

double alignedHeight(const QString &text, const QFont &font, const QTextOption &option,
                     double width)
{
    QTextLayout lines(text, font);
    lines.setTextOption(option);
    const double leading = QFontMetricsF(font).leading();
    double height = -leading;
    lines.beginLayout();
    for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
        line.setLineWidth(width);
        height = std::ceil(height + leading);
        height += line.ascent() + line.descent();
    }
    lines.endLayout();
    return height;
}

// The layout of `text` in the painter's font, `width` wide, its lines aligned as `flags` say.
const Layout &layoutOf(QPainter *painter, double width, int flags, const QString &text)
{
    const QFont &font = painter->font();
    LayoutKey key{text, font, width, flags};
    if (const Layout *known = layouts().object(key))
        return *known;
    // As drawText() takes them: a line feed breaks the line, a carriage return is a blank.
    QString shown = text;
    shown.replace(u'\n', QChar::LineSeparator).replace(u'\r', u' ');
    auto *layout = new Layout{QStaticText(shown), 0};
    layout->text.setTextFormat(Qt::PlainText);
    QTextOption option(Qt::Alignment(flags) & Qt::AlignHorizontal_Mask);
    option.setWrapMode((flags & Qt::TextWordWrap) ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout->text.setTextOption(option);
    layout->text.setTextWidth(width);
    layout->text.prepare(painter->worldTransform(), font);
    layout->height = alignedHeight(shown, font, option, width);
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
    if (const ShownPart part = shownPart(font, box.size()); text.size() > part.length) {
        draw(painter, box, flags, shownText(text, part));
        return;
    }
    if (font.underline() || font.strikeOut() || font.overline()) {
        // A laid-out text draws no lines through or along it.
        painter->drawText(box, flags, text);
        return;
    }
    const Layout &layout = layoutOf(painter, box.width(), flags, text);
    const QSizeF size = layout.text.size();
    double y = box.top();
    if (flags & Qt::AlignVCenter)
        y += (box.height() - layout.height) / 2;
    else if (flags & Qt::AlignBottom)
        y += box.height() - layout.height;
    // Cut off at the box, as drawText cuts off a text that does not fit.
    const bool overflows = size.width() > box.width() || layout.height > box.height();
    if (overflows) {
        painter->save();
        painter->setClipRect(box, Qt::IntersectClip);
    }
    painter->drawStaticText(QPointF(box.left(), y), layout.text);
    if (overflows)
        painter->restore();
}

} // namespace TextLabelCache
