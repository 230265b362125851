#include "canvas/ElementPlaceholders.h"

#include "canvas/ElementFaceGeometry.h"
#include "canvas/PrintFaces.h"
#include "widgets/SymbolIcons.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QTime>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double captionSize = 8;
constexpr double breakCaptionSize = 7;
constexpr double symbolSize = 14;
constexpr double stackSpacing = 2;
constexpr double boxPadding = 4;
constexpr double labelPadding = 2;
constexpr double breakBarHeight = 2;
constexpr double breakSpacing = 3;

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

const QColor &purple()
{
    static const QColor color(0x80, 0x00, 0x80);
    return color;
}

const QColor &orange()
{
    static const QColor color(0xFF, 0xA5, 0x00);
    return color;
}

QPen dashedPen(const QColor &color)
{
    QPen pen(color, 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({4, 3});
    pen.setDashOffset(0);
    return pen;
}

// The symbol in one colour, sharp at the painter's scale.
void paintSymbol(QPainter *painter, const QRectF &target, const QString &symbol,
                 const QColor &color)
{
    const QRectF device = painter->transform().mapRect(target);
    const qreal scale = target.width() > 0 ? std::max(device.width() / target.width(), 1.0) : 1;
    const QSize size(int(std::ceil(target.width())), int(std::ceil(target.height())));
    if (size.isEmpty())
        return;
    painter->drawPixmap(target, SymbolIcons::tintedPixmap(symbol, size, scale, color),
                        QRectF(QPointF(), QSizeF(size) * scale));
}

// The text broken into at most `maxLines` lines of `width`; the last one shown ends in an
// ellipsis when text is left over.
QStringList wrappedLines(const QString &text, const QFont &font, const QPainter *painter,
                         double width, int maxLines)
{
    QTextLayout layout(text, font, painter->device());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 0.0));
        if (lines.size() == maxLines - 1) {
            const QFontMetricsF metrics(font, painter->device());
            lines.append(
                metrics.elidedText(text.mid(line.textStart()).simplified(), Qt::ElideRight, width));
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

// A quarter-open ring that turns with the clock, as long as its canvas repaints it.
void paintActivityIndicator(QPainter *painter, const QRectF &target)
{
    painter->save();
    painter->setPen(QPen(withOpacity(Qt::black, 0.6), 1.5, Qt::SolidLine, Qt::RoundCap));
    painter->setBrush(Qt::NoBrush);
    const int angle = int(QTime::currentTime().msecsSinceStartOfDay() / 3 % 360);
    painter->drawArc(target.adjusted(1, 1, -1, -1), -angle * 16, 270 * 16);
    painter->restore();
}

// A text on a light patch at the top-left corner of the frame.
void paintCornerLabel(QPainter *painter, const QRectF &frame, const QString &text,
                      const QColor &color)
{
    painter->save();
    const QFont font = ElementPlaceholders::captionFont(painter, captionSize);
    const QFontMetricsF metrics(font, painter->device());
    const QRectF label(frame.topLeft(), QSizeF(metrics.horizontalAdvance(text) + 2 * labelPadding,
                                               metrics.height() + 2 * labelPadding));
    painter->fillRect(label, withOpacity(Qt::white, 0.85));
    painter->setFont(font);
    painter->setPen(color);
    painter->drawText(label.adjusted(labelPadding, labelPadding, -labelPadding, -labelPadding),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
}

} // namespace

namespace ElementPlaceholders {

QFont sceneFont(const QPainter *painter, const QString &family, double size)
{
    // The face the print uses for the family.
    QFont font(PrintFaces::drawnFamily(family));
    // Points are converted to pixels at the device's resolution; undo that so that the font is
    // `size` scene units high whatever the screen.
    const int dpi = painter && painter->device() ? painter->device()->logicalDpiY() : 72;
    font.setPointSizeF(std::max(size, 0.5) * 72.0 / (dpi > 0 ? dpi : 72));
    return font;
}

QFont captionFont(const QPainter *painter, double size)
{
    return sceneFont(painter, QGuiApplication::font().family(), size);
}

void paintBox(QPainter *painter, const QRectF &frame, const QString &symbol, const QString &caption,
              int maxLines, bool isBusy)
{
    painter->save();
    painter->fillRect(frame, withOpacity(purple(), 0.08));
    const QRectF box = frame.adjusted(boxPadding, boxPadding, -boxPadding, -boxPadding);
    const QFont font = captionFont(painter, captionSize);
    const QFontMetricsF metrics(font, painter->device());
    const int lines = isBusy ? 1 : maxLines;
    const QStringList captionLines = wrappedLines(caption, font, painter, box.width(), lines);
    const double textHeight = metrics.lineSpacing() * captionLines.size();
    const double top = box.center().y() - (symbolSize + stackSpacing + textHeight) / 2;
    const QRectF symbolRect(box.center().x() - symbolSize / 2, top, symbolSize, symbolSize);
    if (isBusy)
        paintActivityIndicator(painter, symbolRect);
    else
        paintSymbol(painter, symbolRect, symbol, Qt::black);
    painter->setFont(font);
    painter->setPen(isBusy ? withOpacity(Qt::black, 0.5) : QColor(Qt::black));
    double y = symbolRect.bottom() + stackSpacing;
    for (const QString &line : captionLines) {
        painter->drawText(QRectF(box.left(), y, box.width(), metrics.lineSpacing()),
                          Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                          line);
        y += metrics.lineSpacing();
    }
    painter->restore();

    painter->save();
    painter->setPen(dashedPen(withOpacity(purple(), 0.5)));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

void paintImagePlaceholder(QPainter *painter, const QRectF &frame, const QString &expression,
                           bool failed, const QString &failure)
{
    painter->save();
    painter->fillRect(frame, withOpacity(QColor(0x80, 0x80, 0x80), 0.12));
    const QFont font = captionFont(painter, captionSize);
    const QFontMetricsF metrics(font, painter->device());
    QStringList lines{metrics.elidedText(expression.simplified(), Qt::ElideRight, frame.width())};
    // The words why, on up to three lines.
    if (failed && !failure.isEmpty())
        lines += wrappedLines(failure, font, painter, frame.width(), 3);
    const double top =
        frame.center().y() - (symbolSize + stackSpacing + metrics.height() * lines.size()) / 2;
    const QRectF symbolRect(frame.center().x() - symbolSize / 2, top, symbolSize, symbolSize);
    paintSymbol(painter, symbolRect, failed ? u"exclamationmark.triangle"_s : u"photo"_s,
                Qt::black);
    painter->setFont(font);
    painter->setPen(Qt::black);
    double y = symbolRect.bottom() + stackSpacing;
    for (const QString &line : std::as_const(lines)) {
        painter->drawText(QRectF(frame.left(), y, frame.width(), metrics.height()),
                          Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
        y += metrics.height();
    }
    painter->restore();
}

void paintTable(QPainter *painter, const QRectF &frame, const ElementKind::Table &table)
{
    painter->save();
    painter->fillRect(frame, withOpacity(purple(), 0.08));
    painter->setPen(dashedPen(withOpacity(purple(), 0.5)));
    painter->setBrush(Qt::NoBrush);
    double left = frame.left();
    for (const double width :
         ElementFaceGeometry::tableColumnWidths(table.columns, frame.width())) {
        painter->drawRect(QRectF(left, frame.top(), width, frame.height()));
        left += width;
    }
    painter->restore();
    paintCornerLabel(painter, frame,
                     u"Table: "_s % table.datasetName % u" ("_s %
                         QString::number(table.columns.size()) % u" col)"_s,
                     purple());
}

void paintListOverlay(QPainter *painter, const QRectF &frame, const QString &datasetName)
{
    painter->save();
    painter->setPen(dashedPen(orange()));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame);
    painter->restore();
    paintCornerLabel(painter, frame, u"List: "_s % datasetName, orange());
}

void paintBreak(QPainter *painter, const QRectF &frame, BreakType type)
{
    painter->save();
    const QString caption = type == BreakType::column ? u"Column"_s : u"Page"_s;
    const QFont font = captionFont(painter, breakCaptionSize);
    const QFontMetricsF metrics(font, painter->device());
    const double captionWidth = metrics.horizontalAdvance(caption);
    const double barWidth = std::max((frame.width() - captionWidth - 2 * breakSpacing) / 2, 0.0);
    const double middle = frame.center().y();
    const QColor bar = withOpacity(orange(), 0.7);
    painter->fillRect(QRectF(frame.left(), middle - breakBarHeight / 2, barWidth, breakBarHeight),
                      bar);
    painter->fillRect(
        QRectF(frame.right() - barWidth, middle - breakBarHeight / 2, barWidth, breakBarHeight),
        bar);
    painter->setFont(font);
    painter->setPen(orange());
    painter->drawText(QRectF(frame.left() + barWidth + breakSpacing, middle - metrics.height() / 2,
                             captionWidth, metrics.height()),
                      Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, caption);
    painter->restore();
}

} // namespace ElementPlaceholders
