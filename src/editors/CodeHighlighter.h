#pragma once

#include "IncrementalHighlighter.h"

#include <QPalette>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

// Applies a scheme's colouring to a text document. The colouring is worked out over the whole
// text, so constructs that cross lines (comments, CDATA, strings) come out right; after an edit
// only the paragraphs the edit touched or whose colours changed are formatted again, each with
// its runs of colour at once, not character by character: a long line, held in many paragraphs,
// costs no more than its runs.
class CodeHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    CodeHighlighter(const CodeSyntaxHighlighting &scheme, QTextDocument *document);
    ~CodeHighlighter() override;

    // Picks the shades for this palette and formats the whole text again.
    void setPalette(const QPalette &palette);

    const IncrementalHighlighter &state() const { return state_; }

protected:
    void highlightBlock(const QString &text) override;

private:
    void takeChange(int position, int removed, int added);
    // The whole text after a change, made from the text before it and the changed part only.
    QString changedText(int position, int removed, int added) const;
    // Sets the runs of colour of a paragraph, as the base class does, but a run at a time.
    void formatBlock(const QTextBlock &block);

    const CodeSyntaxHighlighting &scheme_;
    IncrementalHighlighter state_;
    std::array<QTextCharFormat, 256> formats_;
    // Set while this class formats: the change reported then is of no text.
    bool formatting_ = false;
};
