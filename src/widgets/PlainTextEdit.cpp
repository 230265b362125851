#include "widgets/PlainTextEdit.h"

#include <QMimeData>

bool PlainTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void PlainTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source)
        return;
    // The text is read once, here; the editor is handed a source of its own that holds only
    // that text, never one whose data may be gone by the time it is read.
    const QString text = source->text();
    if (text.isEmpty())
        return;
    insertPastedText(text);
}

void PlainTextEdit::insertPastedText(const QString &text)
{
    QMimeData readable;
    readable.setText(text);
    QPlainTextEdit::insertFromMimeData(&readable);
}
