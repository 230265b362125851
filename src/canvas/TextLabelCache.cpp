#include "canvas/TextLabelCache.h"

#include <QCache>
#include <QFont>
#include <QGlyphRun>
#include <QHashFunctions>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

using PrintedTextLayout::Format;

namespace {

// Enough for every text a screen shows at once, also a page of a hundred thousand small texts,
// each laid out anew at every repaint when they do not fit: a kept text costs its glyphs and
// their places, a few hundred bytes for a label, counted by this many bytes.
constexpr qsizetype cachedBytes = 64 * 1024 * 1024;

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

// The pieces of a text laid out by the painter, one line each: the glyphs of each line, placed
// from the line's top-left corner, and where each line's baseline starts. A text the painter
// broke into more lines than the pieces (`isWhole` false) is drawn afresh.
struct Lines {
    QList<QList<QGlyphRun>> glyphs;
    QList<qreal> ascents;
    QList<QPointF> origins;
    bool isWhole = true;
    // What the lines take, roughly, in bytes.
    qsizetype bytes() const
    {
        qsizetype total = qsizetype(sizeof(Lines)) + origins.size() * 48;
        for (const QList<QGlyphRun> &line : glyphs) {
            for (const QGlyphRun &run : line)
                total +=
                    96 + run.glyphIndexes().size() * qsizetype(sizeof(quint32) + sizeof(QPointF));
        }
        return total;
    }
};

QCache<LayoutKey, Lines> &layouts()
{
    static QCache<LayoutKey, Lines> cache(cachedBytes);
    return cache;
}

// The lines of `text` in the painter's font in a box of `size`: the printed layout's pieces,
// joined by line separators so that each is a line of its own.
const Lines &linesOf(QPainter *painter, const QSizeF &size, const Format &format,
                     const QString &text)
{
    const QFont &font = painter->font();
    // A text far longer than the box shows is kept by the part the layout reads, which is never
    // less than the shortest the layout reads.
    const qsizetype read = text.size() > PrintedTextLayout::shortestReadLength
                               ? PrintedTextLayout::readLength(font, size, format)
                               : text.size();
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
    QTextLayout layout(joined, font);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        // Wide enough for any piece: each ends at its separator.
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    lines->isWhole = layout.lineCount() == lines->origins.size();
    for (int i = 0; lines->isWhole && i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines->glyphs.append(line.glyphRuns());
        lines->ascents.append(line.ascent());
    }
    const qsizetype cost = lines->bytes() + key.text.size() * 2;
    layouts().insert(std::move(key), lines, cost);
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
    if (!lines.isWhole) {
        // A piece the painter broke itself.
        PrintedTextLayout::draw(painter, box, text, format);
        return;
    }
    for (qsizetype i = 0; i < lines.glyphs.size(); ++i) {
        const QPointF top = box.topLeft() + lines.origins[i] - QPointF(0, lines.ascents[i]);
        for (const QGlyphRun &run : lines.glyphs[i])
            painter->drawGlyphRun(top, run);
    }
}

} // namespace TextLabelCache
