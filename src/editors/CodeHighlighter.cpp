#include "CodeHighlighter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

CodeHighlighter::CodeHighlighter(const CodeSyntaxHighlighting &scheme, QTextDocument *document)
    : QSyntaxHighlighter(static_cast<QObject *>(document)), scheme_(scheme), state_(scheme)
{
    setDocument(document);
    // The base class formats every changed paragraph character by character; this class sets the
    // runs of colour of each at once, so that a long line in pieces costs a run per colour.
    disconnect(document, SIGNAL(contentsChange(int, int, int)), this,
               SLOT(_q_reformatBlocks(int, int, int)));
    connect(document, &QTextDocument::contentsChange, this, &CodeHighlighter::takeChange);
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
    formatting_ = true;
    rehighlight();
    formatting_ = false;
}

void CodeHighlighter::takeChange(int position, int removed, int added)
{
    // The formats this class sets report a change too, of no text.
    if (formatting_)
        return;
    const auto [from, to] = state_.update(changedText(position, removed, added));
    // The paragraphs the edit touched, and all whose colours it changed, before or after them.
    qsizetype first = position;
    qsizetype last = position + added + (removed > 0 ? 1 : 0);
    if (from < to) {
        first = std::min(first, from);
        last = std::max(last, to);
    }
    const QTextBlock end = document()->findBlock(int(last)).next();
    formatting_ = true;
    for (QTextBlock block = document()->findBlock(int(first)); block.isValid() && block != end;
         block = block.next())
        formatBlock(block);
    formatting_ = false;
}

QString CodeHighlighter::changedText(int position, int removed, int added) const
{
    // The document counts the end of its last paragraph, which the text does not hold.
    const QString &before = state_.text();
    const qsizetype size = document()->characterCount() - 1;
    const qsizetype gone = std::min<qsizetype>(removed, before.size() - position);
    const qsizetype come = std::min<qsizetype>(added, size - position);
    // A change of much of the text is read whole: that is one copy, not two.
    if (position < 0 || gone < 0 || come < 0 || before.size() - gone + come != size ||
        come > size / 2)
        return document()->toPlainText();
    QTextCursor range(document());
    range.setPosition(position);
    range.setPosition(int(position + come), QTextCursor::KeepAnchor);
    // As toPlainText() gives it.
    QString part = range.selectedText();
    part.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::Nbsp, u' ');
    QString text = before;
    text.replace(position, gone, part);
    return text;
}

void CodeHighlighter::formatBlock(const QTextBlock &block)
{
    QTextLayout *layout = block.layout();
    // Text an input method is composing shows inside the paragraph with the method's own formats;
    // the runs of colour go around it, as the base class places them.
    const int composing = layout->preeditAreaPosition();
    const int composed = int(layout->preeditAreaText().size());
    QList<QTextLayout::FormatRange> ranges = layout->formats();
    ranges.removeIf([&](const QTextLayout::FormatRange &range) {
        return composed == 0 || range.start < composing ||
               range.start + range.length > composing + composed;
    });
    const qsizetype start = block.position();
    for (const HighlightSpan &span : state_.spans(start, start + block.length() - 1)) {
        QTextLayout::FormatRange range{int(span.start - start), int(span.length),
                                       formats_[syntaxstyle::overlay(0, span.color, span.bold)]};
        if (composed && range.start >= composing)
            range.start += composed;
        else if (composed && range.start + range.length >= composing)
            range.length += composed;
        ranges.append(range);
    }
    if (ranges == layout->formats())
        return;
    layout->setFormats(ranges);
    document()->markContentsDirty(block.position(), block.length());
}

void CodeHighlighter::highlightBlock(const QString &text)
{
    const qsizetype start = currentBlock().position();
    for (const HighlightSpan &span : state_.spans(start, start + text.size())) {
        setFormat(int(span.start - start), int(span.length),
                  formats_[syntaxstyle::overlay(0, span.color, span.bold)]);
    }
}
