#pragma once

#include "widgets/PlainTextEdit.h"

#include <QTextBlock>

class LineNumberRulerView;

// The text area of the code editor: plain text that wraps at the view's width, with a gutter of
// line numbers in its left margin.
//
// A line of the text longer than `longLine` characters (a picture as base64, generated text) is
// held in pieces of `piece` characters, one paragraph of the document each, every piece after
// the first marked as continuing the line: laying out a paragraph costs time in its length at
// every change, so no paragraph grows long, however long the line. The pieces are the view's
// business only: the text read from and set on the view, the text copied and the line numbers
// are those of the lines themselves.
class CodeTextView : public PlainTextEdit {
    Q_OBJECT
public:
    static constexpr qsizetype longLine = 2048;
    static constexpr qsizetype piece = 1024;

    explicit CodeTextView(QWidget *parent = nullptr);

    // The text, its lines whole.
    QString text() const { return text(0, document()->characterCount() - 1); }
    // The text between two positions of the document, its lines whole.
    QString text(int from, int to) const;
    // Replaces the whole text, as setPlainText() does, holding long lines in pieces.
    void setText(const QString &text);
    // True when the paragraph goes on the line of the one before it.
    static bool continuesLine(const QTextBlock &block);
    // True while a long paragraph is being cut into pieces: the text stays the same.
    bool isCuttingPieces() const { return cutting_; }
    // The number of the line the paragraph belongs to, counting from 1.
    int lineNumber(const QTextBlock &block) const;

    LineNumberRulerView *ruler() const { return ruler_; }
    // Keeps the gutter wide enough for the largest line number.
    void updateRulerWidth();

    // What the gutter needs to place its numbers.
    QTextBlock firstVisibleTextBlock() const { return firstVisibleBlock(); }
    QRectF blockRect(const QTextBlock &block) const;

    // Set while the completion list is open: the keys that pick from it or close it go there.
    void setCompletionPopup(QWidget *popup) { popup_ = popup; }

    // Copies and drags hand over the lines whole.
    QMimeData *createMimeDataFromSelection() const override;

protected:
    // A paste or drop of readable text (the base class reads it): long lines go in as pieces.
    void insertPastedText(const QString &text) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Inserts text at the cursor, its long lines in pieces.
    void insertText(QTextCursor &cursor, QStringView text);
    // Cuts a paragraph into pieces with the cursor.
    void cutParagraph(QTextCursor &cursor, const QTextBlock &block);
    // Cuts the paragraphs that the last change left longer than `longLine` (a completion, say)
    // into pieces, joined to that change's undo step where the text allows.
    void cutLongParagraphs();
    void noteChange(int position, int removed, int added);

    LineNumberRulerView *ruler_;
    bool hasPieces_ = false;
    int changedFrom_ = -1;
    int changedTo_ = -1;
    bool cutting_ = false;
    QWidget *popup_ = nullptr;
};
