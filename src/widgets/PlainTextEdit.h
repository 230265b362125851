#pragma once

#include <QPlainTextEdit>

// The program's multi-line text editor: every one of them is this class or made from it, so that
// pastes (the keys, the context menu, a middle click on the primary selection) and drops all
// pass through one place. Only text is taken, and only text that can be read: under X11 a
// clipboard or selection whose owner has quit still hands over a source, which lists no formats
// and has no data; such a paste inserts nothing.
class PlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

protected:
    // Inserts the text a paste or drop brought, read already; an editor that inserts text its own
    // way does it here.
    virtual void insertPastedText(const QString &text);
};
