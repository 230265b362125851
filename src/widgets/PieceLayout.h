#pragma once

#include <QPlainTextDocumentLayout>
#include <QString>
#include <optional>

// The layout of the multi-line editors' documents: a plain text layout, but that the pieces of a
// long line (see LinePieces.h) are laid out as the rows of that one line. Each piece's rows break
// where the line's rows break in a plain editor: the piece goes on the row the piece before it
// ends on, from the place that row ends (its first row lies above the paragraph's own top, drawn
// over the last row of the paragraph before), and the row it ends on is broken as the text after
// it in the line breaks it. Unwrapped, a line is one row, however many pieces it has.
//
// A piece's rows depend on those of the pieces before it in its line. Pieces are laid out when
// they are drawn or measured, those before them first, but no further back than `deepest` pieces
// for one: beyond, a piece begins a row of its own until the ones before it are laid out, which
// lays it out again. A change lays out again the pieces whose rows it moves.
class PieceLayout : public QPlainTextDocumentLayout {
    Q_OBJECT
public:
    static constexpr int deepest = 4;

    explicit PieceLayout(QTextDocument *document);

    // The paragraph's rect, as the base class gives it, its rows laid out first.
    QRectF blockBoundingRect(const QTextBlock &block) const override;
    // The base class's, as wide as the widest row of pieces.
    QSizeF documentSize() const override;

    // True when the paragraph's first row goes on the row the paragraph before it ends on (that
    // row is above the paragraph's top). Read from its layout, laid out already.
    static bool flows(const QTextBlock &block);

protected:
    void documentChanged(int from, int removed, int added) override;

private:
    // The row a paragraph ends on, as the next piece of its line goes on it.
    struct RowEnd {
        // The row's text up to the end of the paragraph (read only when rows wrap).
        QString text;
        // Where the row ends and where its top is, from the next paragraph's top.
        qreal x = 0;
        qreal y = 0;
    };

    // Lays out a piece that has no layout, and the pieces it needs; those after it that were laid
    // out without it go again.
    void layOutLazily(const QTextBlock &block) const;
    // Lays out a piece's rows.
    void layOut(const QTextBlock &block) const;
    // Where a row of a piece that starts at `from` of it ends, after `carried`, the text the
    // row holds before the piece (a row it goes on), with the text of the line after the piece:
    // the offset in the piece, `from` where the row ends before the piece's first character.
    int rowEndAfter(const QTextBlock &block, const QString &carried, int from,
                    const QTextOption &option) const;
    // Lays the line out again to end at `end` of its paragraph, whose text is `text`.
    static void breakAt(QTextLayout &layout, QTextLine &line, int end, const QString &text);
    // The row the paragraph ends on; none when it has no layout and laying it out would reach too
    // far back.
    std::optional<RowEnd> rowEnd(const QTextBlock &block) const;
    // The text of the pieces after the paragraph in its line, at least `wanted` characters of it;
    // `whole` tells whether that is all of it.
    static QString textAfter(const QTextBlock &block, qsizetype wanted, bool &whole);
    // Takes the layouts from the pieces after the paragraph that were laid out while it had none.
    static void forgetFollowing(const QTextBlock &block);
    // Shows a change of the number of rows or of the width on the next turn of the event loop.
    void sizeChangedLater() const;
    // The width of the page the base class lays paragraphs out on, and that a row may take.
    qreal page() const;
    qreal available() const;

    // The right edge of the widest row of pieces, and the width of the page they were laid out on.
    mutable qreal right_ = 0;
    mutable qreal rightOn_ = -1;
    // How many pieces are being laid out for the one asked for.
    mutable int depth_ = 0;
    mutable bool sizeChangePending_ = false;
};
