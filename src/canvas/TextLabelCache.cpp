#include "canvas/TextLabelCache.h"

#include <QCache>
#include <QFont>
#include <QHashFunctions>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

using PrintedTextLayout::Format;

namespace {

// Enough for every text a screen shows at once, also a page of thousands of small texts (laid
// out anew at each repaint when they do not fit); a layout takes some hundreds of bytes.
constexpr int cachedLayouts = 8192;

// Of a long text, a key's hash reads the start and the length; equal hashes still compare the
// whole text.
constexpr qsizetype hashedLength = 4096;

// What a layout depends on.
struct LayoutKey {
    QString text;
    QFont font;
    QSizeF size;
    Format format;
    bool operator==(const LayoutKey &) const = default;
};

size_t qHash(const LayoutKey &key, size_t seed = 0)
{
    const QStringView hashed = QStringView(key.text).first(std::min(key.text.size(), hashedLength));
    return qHashMulti(seed, hashed, key.text.size(), key.font, key.size.width(), key.size.height(),
                      key.format.alignment.toInt(), key.format.padding, key.format.tabStopWidth,
                      key.format.measuringFont ? qHash(*key.format.measuringFont) : 0);
}

// The pieces of a text laid out by the painter, one line each, and where each line's baseline
// starts.
struct Lines {
    QTextLayout layout;
    QList<QPointF> origins;
};

QCache<LayoutKey, Lines> &layouts()
{
    static QCache<LayoutKey, Lines> cache(cachedLayouts);
    return cache;
}

// The lines of `text` in the painter's font in a box of `size`: the printed layout's pieces,
// joined by line separators so that each is a line of its own.
const Lines &linesOf(QPainter *painter, const QSizeF &size, const Format &format,
                     const QString &text)
{
    const QFont &font = painter->font();
    // A text far longer than the box shows is kept by the part the layout reads.
    const qsizetype read = PrintedTextLayout::readLength(font, size, format);
    LayoutKey key{text.size() > read ? text.first(read) : text, font, size, format};
    if (const Lines *known = layouts().object(key))
        return *known;
    const PrintedTextLayout::Layout printed =
        PrintedTextLayout::layout(font, key.text, size, format);
    auto *lines = new Lines;
    QString joined;
    for (const PrintedTextLayout::Run &run : printed.runs) {
        if (!lines->origins.isEmpty())
            joined += QChar::LineSeparator;
        joined += PrintedTextLayout::runText(printed, run);
        lines->origins.append(run.origin);
    }
    lines->layout.setText(joined);
    lines->layout.setFont(font);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    lines->layout.setTextOption(option);
    lines->layout.setCacheEnabled(true);
    lines->layout.beginLayout();
    for (QTextLine line = lines->layout.createLine(); line.isValid();
         line = lines->layout.createLine()) {
        // Wide enough for any piece: each ends at its separator.
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
    }
    lines->layout.endLayout();
    layouts().insert(std::move(key), lines);
    return *lines;
}

} // namespace

namespace TextLabelCache {

void draw(QPainter *painter, const QRectF &box, const QString &text, const Format &format)
{
    if (text.isEmpty())
        return;
    const QFont &font = painter->font();
    if (font.underline() || font.strikeOut() || font.overline()) {
        // A laid-out line draws no lines through or along it.
        PrintedTextLayout::draw(painter, box, text, format);
        return;
    }
    const Lines &lines = linesOf(painter, box.size(), format, text);
    if (lines.layout.lineCount() != lines.origins.size()) {
        // A piece the painter broke itself.
        PrintedTextLayout::draw(painter, box, text, format);
        return;
    }
    // The lines are laid out from left to right, whatever the painter's direction.
    const Qt::LayoutDirection direction = painter->layoutDirection();
    painter->setLayoutDirection(Qt::LeftToRight);
    for (int i = 0; i < lines.layout.lineCount(); ++i) {
        const QTextLine line = lines.layout.lineAt(i);
        line.draw(painter, box.topLeft() + lines.origins[i] - QPointF(0, line.ascent()));
    }
    painter->setLayoutDirection(direction);
}

} // namespace TextLabelCache
