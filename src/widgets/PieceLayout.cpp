#include "widgets/PieceLayout.h"

#include "widgets/LinePieces.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>

using linepieces::continuesLine;

namespace {

// Characters of a piece and of the line after it read at first to find where a row ends.
constexpr qsizetype firstLookAhead = 384;
// Room given a row beyond its last character, less than any character that could follow it.
constexpr qreal slack = 1;
// A width no row reaches.
constexpr qreal unbounded = 1e9;

bool isPiece(const QTextBlock &block)
{
    return continuesLine(block) || continuesLine(block.next());
}

bool wraps(const QTextOption &option)
{
    return option.wrapMode() != QTextOption::NoWrap && option.wrapMode() != QTextOption::ManualWrap;
}

// Where a line's characters end, but for the spaces it ends with (which the last line of a
// paragraph counts in its width, and no other).
qreal textRight(const QTextLine &line, const QString &text)
{
    int end = line.textStart() + line.textLength();
    if (end < text.size())
        return line.x() + line.naturalTextWidth();
    const int last = end;
    while (end > line.textStart() && text.at(end - 1).isSpace())
        --end;
    return end < last ? line.cursorToX(end) : line.x() + line.naturalTextWidth();
}

// Where the row a paragraph ends on begins: in it (the offset) or in a paragraph before it (-1).
int lastRowStart(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    const QTextLine last = layout->lineAt(layout->lineCount() - 1);
    return last.lineNumber() == 0 && PieceLayout::flows(block) ? -1 : last.textStart();
}

} // namespace

PieceLayout::PieceLayout(QTextDocument *document) : QPlainTextDocumentLayout(document) {}

bool PieceLayout::flows(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    return layout && layout->lineCount() > 0 && layout->lineAt(0).y() < 0;
}

QRectF PieceLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return {};
    if (block.layout()->lineCount() == 0 && isPiece(block))
        layOutLazily(block);
    QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
    // A piece of one row drawn up over the row before it takes no room of its own.
    if (rect.height() < 0)
        rect.setHeight(0);
    return rect;
}

QSizeF PieceLayout::documentSize() const
{
    // Wrapped, the document is as wide as the page: the base class, which lays out a piece
    // again when it changes, would count the spaces that end it as the end of a paragraph.
    const QSizeF size = QPlainTextDocumentLayout::documentSize();
    const qreal width = wraps(document()->defaultTextOption()) ? page() : size.width();
    return {std::max(width, right_), size.height()};
}

qreal PieceLayout::page() const
{
    // The width the editor gives the base class to lay rows out in: its view's (the paint
    // device), as wide as the base class reads it when the view's width changes.
    const auto *view = dynamic_cast<const QWidget *>(paintDevice());
    return view ? view->width() : 0;
}

qreal PieceLayout::available() const
{
    // As the base class reckons it.
    const QTextOption option = document()->defaultTextOption();
    qreal width = page();
    if (width <= 0)
        width = INT_MAX;
    width -= 2 * document()->documentMargin();
    if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetrics(document()->defaultFont()).horizontalAdvance(QChar(0x21B5));
    return width;
}

void PieceLayout::layOutLazily(const QTextBlock &block) const
{
    const int rows = document()->lineCount();
    const qreal right = right_;
    layOut(block);
    forgetFollowing(block);
    if (document()->lineCount() != rows || right_ > right)
        sizeChangedLater();
}

void PieceLayout::layOut(const QTextBlock &block) const
{
    QTextDocument *doc = document();
    const QTextOption option = doc->defaultTextOption();
    const bool wrapping = wraps(option);
    const qreal margin = doc->documentMargin();
    const qreal width = available();
    // Rows laid out on a page of another width count no more.
    if (std::exchange(rightOn_, page()) != rightOn_)
        right_ = 0;
    const QString text = block.text();
    const bool goesOn = continuesLine(block.next());
    std::optional<RowEnd> before;
    if (continuesLine(block) && block.previous().isValid())
        before = rowEnd(block.previous());
    // Whether the piece goes on the row before (not where that row breaks where the piece
    // starts), and where its first row ends then.
    bool flows = before.has_value();
    int firstEnd = -1;
    if (flows && wrapping && !text.isEmpty()) {
        firstEnd = rowEndAfter(block, before->text, 0, option);
        flows = firstEnd > 0;
    }

    // The rows are laid out as the rows of one paragraph are, each in the width left from where
    // it starts; the row a piece goes on and the row it ends on break where the line breaks
    // them, as the text before and after the piece decides.
    QTextLayout *layout = block.layout();
    layout->setTextOption(option);
    layout->beginLayout();
    qreal y = 0;
    for (int index = 0;; ++index) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        const bool goingOn = index == 0 && flows;
        const qreal x = goingOn ? before->x : margin;
        line.setLineWidth(std::max<qreal>(0, width - (x - margin)));
        int end = -1;
        if (goingOn)
            end = firstEnd;
        else if (wrapping && goesOn && line.textStart() + line.textLength() == text.size())
            end = rowEndAfter(block, QString(), line.textStart(), option);
        if (end >= 0 && end != line.textStart() + line.textLength())
            breakAt(*layout, line, end, text);
        if (goingOn) {
            line.setPosition(QPointF(x, before->y));
            // A row taller than the one it goes on pushes the next rows down, as it does the
            // rows of a line in one paragraph.
            y = std::max(y, before->y + line.height());
        } else {
            line.setPosition(QPointF(x, y));
            y += line.height();
            if (line.leading() < 0)
                y += std::ceil(line.leading());
        }
        right_ = std::max(right_, textRight(line, text) + margin);
    }
    layout->endLayout();
    QTextBlock counted = block;
    counted.setLineCount(block.isVisible() ? layout->lineCount() : 0);
}

int PieceLayout::rowEndAfter(const QTextBlock &block, const QString &carried, int from,
                             const QTextOption &option) const
{
    const QString text = block.text();
    const QStringView own = QStringView(text).sliced(from);
    const bool goesOn = continuesLine(block.next());
    // The row laid out as the first of a paragraph that holds its text, with as much of the
    // piece and of the line after it as it takes to know where the row ends.
    for (qsizetype wanted = firstLookAhead;; wanted *= 4) {
        const bool cut = own.size() > wanted;
        bool whole = !cut && !goesOn;
        QString row = carried + own.first(std::min(own.size(), wanted));
        if (!cut && goesOn)
            row += textAfter(block, wanted, whole);
        QTextLayout layout(row, document()->defaultFont(), paintDevice());
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(available());
        layout.endLayout();
        const qsizetype end = line.textStart() + line.textLength();
        if (end < row.size() || whole)
            return int(from + std::clamp<qsizetype>(end - carried.size(), 0, own.size()));
    }
}

void PieceLayout::breakAt(QTextLayout &layout, QTextLine &line, int end, const QString &text)
{
    // Measured in the paragraph's own text (a tab takes the room to its stop from the start of
    // its part of the row), the row is given the width of its characters and broken anywhere
    // after them: with the spaces it ends with (which take no room it needs), or with a little
    // room after its last character.
    const QTextOption option = layout.textOption();
    QTextOption anywhere = option;
    anywhere.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(anywhere);
    line.setLineWidth(unbounded);
    const qreal width = line.cursorToX(end) - line.cursorToX(line.textStart());
    const bool spaces = end > line.textStart() && text.at(end - 1).isSpace();
    line.setLineWidth(width + (spaces ? 0 : slack));
    layout.setTextOption(option);
}

std::optional<PieceLayout::RowEnd> PieceLayout::rowEnd(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0) {
        if (depth_ >= deepest)
            return std::nullopt;
        ++depth_;
        blockBoundingRect(block);
        --depth_;
        if (layout->lineCount() == 0)
            return std::nullopt;
    }
    const QTextLine last = layout->lineAt(layout->lineCount() - 1);
    RowEnd end;
    end.x = last.cursorToX(block.length() - 1);
    end.y = last.y() - layout->boundingRect().bottom();
    if (wraps(document()->defaultTextOption())) {
        const int start = lastRowStart(block);
        if (start >= 0) {
            end.text = block.text().mid(start);
        } else {
            const std::optional<RowEnd> earlier =
                block.previous().isValid() ? rowEnd(block.previous()) : std::nullopt;
            end.text = (earlier ? earlier->text : QString()) + block.text();
        }
    }
    return end;
}

QString PieceLayout::textAfter(const QTextBlock &block, qsizetype wanted, bool &whole)
{
    QString text;
    for (QTextBlock next = block.next(); next.isValid() && continuesLine(next);
         next = next.next()) {
        if (text.size() >= wanted) {
            whole = false;
            return text;
        }
        text += next.text();
    }
    whole = true;
    return text;
}

void PieceLayout::forgetFollowing(const QTextBlock &block)
{
    for (QTextBlock next = block.next();
         next.isValid() && continuesLine(next) && next.layout()->lineCount() > 0;
         next = next.next())
        next.clearLayout();
}

void PieceLayout::sizeChangedLater() const
{
    if (std::exchange(sizeChangePending_, true))
        return;
    auto *self = const_cast<PieceLayout *>(this);
    QMetaObject::invokeMethod(
        self,
        [self] {
            self->sizeChangePending_ = false;
            emit self->documentSizeChanged(self->documentSize());
        },
        Qt::QueuedConnection);
}

void PieceLayout::documentChanged(int from, int removed, int added)
{
    QTextDocument *doc = document();
    // Whether the paragraph changed had rows, and where its second row ended and its last row
    // began, read before the base class lays it out again.
    const QTextBlock changed = doc->findBlock(from);
    const bool hadRows = changed.isValid() && changed.layout()->lineCount() > 0;
    int secondRowEnd = INT_MAX;
    int lastRow = -1;
    if (hadRows && isPiece(changed)) {
        const QTextLayout *rows = changed.layout();
        if (rows->lineCount() > 1)
            secondRowEnd = rows->lineAt(1).textStart() + rows->lineAt(1).textLength();
        lastRow = lastRowStart(changed);
    }
    QPlainTextDocumentLayout::documentChanged(from, removed, added);

    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::clamp(from + added, 0, doc->characterCount() - 1));
    if (!first.isValid() || !last.isValid())
        return;
    bool pieces = false;
    for (QTextBlock block = first; block.isValid() && !pieces; block = block.next()) {
        pieces = isPiece(block);
        if (block == last)
            break;
    }
    if (from == 0 && from + added >= doc->characterCount() - 1)
        right_ = 0;
    if (!pieces)
        return;

    const int rows = doc->lineCount();
    const qreal right = right_;
    // The pieces before the change whose rows run into it: the one before it, and before that
    // each that is one row going on the row before it.
    QTextBlock start = first;
    while (continuesLine(start) && start.previous().isValid()) {
        start = start.previous();
        if (start.layout()->lineCount() != 1 || !flows(start))
            break;
    }
    // A change within a paragraph that had rows is laid out at once, and the pieces after it
    // again while the row each ends on moves: typing lays out a piece or two. Any other change
    // leaves the pieces it reaches to be laid out when they are drawn.
    if (first == last && hadRows && first.layout()->lineCount() > 0) {
        const int at = from - first.position();
        layOut(first);
        // The pieces before it break the row it goes on, after its first chunk of text: a change
        // in its first two rows may move that.
        if (start != first && at < secondRowEnd) {
            for (QTextBlock block = start; block != first; block = block.next())
                layOut(block);
            layOut(first);
        }
        // The pieces after it go on the row it ends on: unless that row holds the same text.
        const bool wrapping = wraps(doc->defaultTextOption());
        if (wrapping && lastRow >= 0 && at + removed <= lastRow &&
            lastRowStart(first) == lastRow + added - removed) {
            if (doc->lineCount() != rows || right_ > right)
                emit documentSizeChanged(documentSize());
            requestUpdate();
            return;
        }
        for (QTextBlock block = last.next();
             block.isValid() && continuesLine(block) && block.layout()->lineCount() > 0;
             block = block.next()) {
            if (!wrapping) {
                // Unwrapped, a piece's one row only moves along with the row before it.
                QTextLine row = block.layout()->lineAt(0);
                if (const std::optional<RowEnd> end = rowEnd(block.previous()))
                    row.setPosition(QPointF(end->x, row.y()));
                right_ = std::max(right_, textRight(row, block.text()) + doc->documentMargin());
                continue;
            }
            const int ending = lastRowStart(block);
            layOut(block);
            if (ending >= 0 && lastRowStart(block) == ending)
                break;
        }
    } else {
        for (QTextBlock block = start;; block = block.next()) {
            block.clearLayout();
            if (block == last)
                break;
        }
        forgetFollowing(last);
    }
    if (doc->lineCount() != rows || right_ > right)
        emit documentSizeChanged(documentSize());
    requestUpdate();
}
