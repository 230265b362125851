#pragma once

#include "widgets/PlainTextEdit.h"

#include <QTextBlock>

class LineNumberRulerView;

// The text area of the code editor: plain text that wraps at the view's width, with a gutter of
// line numbers in its left margin. Long lines are held in pieces as in every multi-line editor;
// the line numbers are those of the lines themselves.
class CodeTextView : public PlainTextEdit {
    Q_OBJECT
public:
    explicit CodeTextView(QWidget *parent = nullptr);

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

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    LineNumberRulerView *ruler_;
    QWidget *popup_ = nullptr;
};
