#pragma once

#include "IncrementalHighlighter.h"

#include <QPalette>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

// Applies a scheme's colouring to a text document. The colouring is worked out over the whole
// text, so constructs that cross lines (comments, CDATA, strings) come out right; after an edit
// only the lines whose colours changed are formatted again.
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
    void takeChange();
    void formatEarlierLines(int position);

    const CodeSyntaxHighlighting &scheme_;
    IncrementalHighlighter state_;
    std::array<QTextCharFormat, 256> formats_;
    // Characters below `dirtyTo_` changed style and still need formatting; lines before the
    // edited one are formatted after the document's own pass.
    qsizetype dirtyFrom_ = 0;
    qsizetype dirtyTo_ = 0;
};
