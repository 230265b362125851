#pragma once

#include "widgets/LinePieces.h"
#include "widgets/RowTextEdit.h"

// The program's multi-line text editor: every one of them is this class or made from it, so that
// pastes (the keys, the context menu, a middle click on the primary selection), drops, input
// method texts and line breaks typed all pass through one place. Only text is taken, and only
// text that can be read: under X11 a clipboard or selection whose owner has quit still hands
// over a source, which lists no formats and has no data; such a paste inserts nothing. Text
// that enters is cleaned as EnteredText says (the line breaks of other programs become line
// feeds, characters XML cannot carry stay out), and Return and Shift+Return both start a line:
// what the editor shows is what it hands back.
//
// A line of the text longer than `longLine` characters (a picture as base64, generated text) is
// held in pieces (see LinePieces.h). The pieces are the editor's business only: the text read
// with text() and set with setText() and the text copied are those of the lines themselves.
// Read and set the text through those, never toPlainText() and setPlainText(), which see the
// pieces. Undo and Redo take back and bring back the same steps as in a plain editor that holds
// each line in one paragraph, but that a run of Backspace or Delete parts where it crosses from
// one piece into the next.
//
// The pieces are laid out, drawn and acted on as the rows of their line (see RowTextEdit.h), so a
// long line shows, and keys and clicks act on it, as in a plain editor, wrapped or not.
class PlainTextEdit : public RowTextEdit {
    Q_OBJECT
public:
    static constexpr qsizetype longLine = linepieces::longLine;
    static constexpr qsizetype piece = linepieces::piece;

    explicit PlainTextEdit(QWidget *parent = nullptr);

    // The text, its lines whole.
    QString text() const { return text(0, document()->characterCount() - 1); }
    // The text between two positions of the document, its lines whole.
    QString text(int from, int to) const;
    // Replaces the whole text, as setPlainText() does, holding long lines in pieces. The text is
    // kept as it is, save for the ends of paragraphs other than the line feed (see heldText()),
    // which a text document cannot hold: they show, and read back, as line feeds.
    void setText(const QString &text);
    // Replaces the whole text as setText() does, the caret put where the text changed: after
    // what the new text holds in place of the old, where an undo or a redo leaves it in a plain
    // editor.
    void setTextAtChange(const QString &text);
    // True when the editor holds `text`, its lines whole; nothing of it is copied.
    bool holds(QStringView text) const;
    // Inserts `text` in place of the cursor's selection, in one undo step, as a paste does: a
    // line break (any end of a paragraph, see heldText()) starts a line, a long line goes in
    // pieces. The text is not cleaned.
    void insertText(QTextCursor &cursor, const QString &text);
    // Selects the next match of `needle` after the cursor, or the previous one before it, in the
    // text with its lines whole, ignoring letter case; false when there is none that way.
    bool findInText(const QString &needle, bool backward);
    // True when the paragraph goes on the line of the one before it.
    static bool continuesLine(const QTextBlock &block) { return linepieces::continuesLine(block); }

    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    // Copies and drags hand over the lines whole.
    QMimeData *createMimeDataFromSelection() const override;

signals:
    // After every change of the text (none comes for a change of how its long lines are held).
    // Read the text here rather than on textChanged(), which comes before the editor has set
    // its pieces right.
    void linesChanged();

protected:
    // Inserts the text a paste or drop brought, read already, its long lines in pieces; an
    // editor that inserts text its own way does it here.
    virtual void insertPastedText(const QString &text);
    // A key that lengthens a long paragraph cuts it first, in the same undo step; Return and
    // Shift+Return start a line; Backspace and Delete at the boundary of two pieces act on the
    // characters of the line, and the arrow keys step over it as over any character; Backspace
    // and Delete that remove a line break do it in an undo step of their own.
    void keyPressEvent(QKeyEvent *event) override;
    // A committed text goes in cleaned, its line breaks as Return puts them.
    void inputMethodEvent(QInputMethodEvent *event) override;
    // A drop's text goes in as a paste's does (insertPastedText()); the cursor is shown once the
    // drop is done.
    void dropEvent(QDropEvent *event) override;

private:
    // insertText() of a text whose line breaks are all line feeds.
    void insertHeld(QTextCursor &cursor, QStringView held);
    // Inserts a text with no line break at the cursor, in the undo step open around it, after
    // the pieces the step changed from `from` are mended.
    void insertLast(QTextCursor &cursor, int from, const QString &text);
    // Cuts a paragraph into pieces with the cursor.
    void cutParagraph(QTextCursor &cursor, const QTextBlock &block);
    void noteChange(int position, int removed, int added);
    void finishChange();
    // Mends the pieces of the paragraphs a change from `from` to `to` touched, within its undo
    // step: their marks, and those it left longer than `longLine` (a paste, say) cut in pieces.
    void mendPieces(int from, int to);
    // Acts on Backspace or Delete at the boundary of two paragraphs, pieces of a line or lines;
    // false when the key is not one of those or the cursor is not there.
    bool keyAtParagraphBoundary(const QKeyEvent &event);
    // Moves the cursor one character over the boundary of two pieces for Left or Right (with
    // Shift, selecting); false when the key is not one of those or the cursor is not there.
    bool stepOverPieceBoundary(const QKeyEvent &event);

    // Set while a drop inserts its text.
    bool dropping_ = false;
    // The range of the change the document is finishing, and whether its pieces are being mended.
    int changedFrom_ = -1;
    int changedTo_ = -1;
    bool mending_ = false;
};
