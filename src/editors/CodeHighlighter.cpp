#include "CodeHighlighter.h"

#include <QGuiApplication>
#include <QTextDocument>

CodeHighlighter::CodeHighlighter(const CodeSyntaxHighlighting &scheme, QTextDocument *document)
    : QSyntaxHighlighter(static_cast<QObject *>(document)), scheme_(scheme), state_(scheme)
{
    // Connected before the base class connects its own reformatting, so the colouring is up to
    // date when it asks for a line; the second connection runs after it.
    connect(document, &QTextDocument::contentsChange, this, &CodeHighlighter::takeChange);
    setDocument(document);
    connect(document, &QTextDocument::contentsChange, this, &CodeHighlighter::formatEarlierLines);
    setPalette(QGuiApplication::palette());
}

CodeHighlighter::~CodeHighlighter()
{
    // The base class clears the document's formats as it goes, which reports a change; this
    // object's state is gone by then.
    if (document())
        disconnect(document(), nullptr, this, nullptr);
}

void CodeHighlighter::setPalette(const QPalette &palette)
{
    for (int style = 0; style < int(formats_.size()); ++style) {
        QTextCharFormat format;
        const auto color = syntaxstyle::color(quint8(style));
        if (color != SyntaxColor::label)
            format.setForeground(syntaxColor(color, palette));
        if (style & syntaxstyle::boldBit)
            format.setFontWeight(QFont::DemiBold);
        formats_[size_t(style)] = format;
    }
    state_.update(document()->toPlainText());
    rehighlight();
}

void CodeHighlighter::takeChange()
{
    const auto [from, to] = state_.update(document()->toPlainText());
    dirtyFrom_ = from;
    dirtyTo_ = to;
}

void CodeHighlighter::highlightBlock(const QString &text)
{
    const qsizetype start = currentBlock().position();
    for (const HighlightSpan &span : state_.spans(start, start + text.size())) {
        setFormat(int(span.start - start), int(span.length),
                  formats_[syntaxstyle::overlay(0, span.color, span.bold)]);
    }
    // A changed state makes the document format the next line too: keep going while styles
    // changed further on.
    if (start + text.size() + 1 < dirtyTo_)
        setCurrentBlockState(currentBlockState() == 1 ? 2 : 1);
}

void CodeHighlighter::formatEarlierLines(int position)
{
    const qsizetype from = dirtyFrom_;
    dirtyFrom_ = dirtyTo_ = 0;
    const QTextBlock edited = document()->findBlock(position);
    for (QTextBlock block = document()->findBlock(int(from));
         block.isValid() && edited.isValid() && block.blockNumber() < edited.blockNumber();
         block = block.next())
        rehighlightBlock(block);
}
