#pragma once

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <optional>

// The plain text editor the multi-line editors are made from, for the rows of their long lines:
// its document lays the pieces of a long line (see LinePieces.h) out as the rows of that line
// (see PieceLayout.h), and it draws them, and acts on them with the keys and the mouse, as a
// plain editor does the rows of a line held in one paragraph. Up, Down, Home and End move along
// the rows drawn, a triple click selects the whole line, Ctrl+K deletes to its end, and a click,
// a double click, a drop or a middle click on a row drawn by two pieces lands where the pointer
// is. Which lines go in pieces is the business of the editor made from it (PlainTextEdit).
class RowTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RowTextEdit(QWidget *parent = nullptr);

    // True once some line has been held in pieces since the text was last set.
    bool hasPieces() const { return hasPieces_; }
    // The cursor at a point of the viewport, as the base class places it, but that on a row drawn
    // by several pieces it is in the piece under the point. (The base class's is not virtual:
    // call this one.)
    QTextCursor cursorForPosition(const QPoint &point) const;

protected:
    // The keys that move along rows, and Ctrl+K, in lines held in pieces; the row of the cursor
    // is shown after any key.
    void keyPressEvent(QKeyEvent *event) override;
    // Rows of pieces drawn over the row before their paragraph are drawn where the base class
    // stops short of them.
    void paintEvent(QPaintEvent *event) override;
    // A click, a drag and a double click on a row drawn by several pieces act where the pointer
    // is; a triple click selects the whole line; a middle click pastes where the pointer is.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // A drop on a row drawn by several pieces goes in where the pointer is.
    void dropEvent(QDropEvent *event) override;
    // A cursor set from outside leaves no run of Up and Down to keep the x of; it is shown, on
    // a row drawn by a piece over the row before its paragraph too.
    void doSetTextCursor(const QTextCursor &cursor) override;

    // Set by the editor made from this one when it holds a line in pieces.
    bool hasPieces_ = false;
    // Where a drop or a middle click inserts the text the editor takes from it, when not where
    // the base class would; the editor inserting there moves it past the text.
    std::optional<QTextCursor> insertAt_;

private:
    // Scrolls the row of the cursor into view where ensureCursorVisible() did not: a row drawn by
    // a piece over the row before its paragraph.
    void revealCursor();
    // Acts on the keys that move along rows and on Ctrl+K; false for other keys.
    bool keyAlongRows(const QKeyEvent &event);
    // After the base class placed the cursor at `placed` for a mouse event, places it at `meant`
    // (where the pointer is) instead, keeping the anchor of a selection.
    void placeAsMeant(int placed, int meant);
    // Draws the pieces going on the row the base class's painting stopped at.
    void drawPiecesBelow(const QRect &area);
    void drawPiece(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                   const QAbstractTextDocumentLayout::PaintContext &context);

    // Set while a triple click's selection of lines is dragged.
    bool selectingLines_ = false;
    // Where the last Up or Down left the cursor, and the x it kept to, for the next to keep to.
    struct VerticalMove {
        int position = 0;
        int anchor = 0;
        int revision = 0;
        qreal x = 0;
    };
    std::optional<VerticalMove> movedVertically_;
};
