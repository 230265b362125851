#pragma once

#include "CodeEditing.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class CodeHighlighter;
class CodeSyntaxHighlighting;
class CodeTextView;
class FindBar;
class PendingInsertion;
class QCompleter;
class QKeyEvent;
class QStringListModel;

// The one plain-text source editor: a wrapping text area with line numbers, coloured by the
// scheme its embedder chooses, with completion of report references and a find bar.
//
// The text is bound both ways: setText() brings the editor up to date with the bound text (it
// replaces and recolours only when the text differs, so the cursor stays put otherwise), and
// every change made in the editor is handed back at once through textEdited(). Whether the text
// may be edited, the completion function and the pending insertion are taken when the editor is
// made and never change.
class CodeEditorView : public QWidget {
    Q_OBJECT
public:
    CodeEditorView(const CodeSyntaxHighlighting &scheme, bool isEditable,
                   codeediting::TokenCompletions tokenCompletions = {},
                   PendingInsertion *pendingInsertion = nullptr, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

    // Types `token` at the cursor (replacing the selection) with the joining rule, hands the new
    // text back and takes the keyboard focus.
    void insertAtCursor(const QString &token);

    // The Edit menu's Find..., Find Next and Find Previous.
    enum class FindAction { showFindBar = 1, next = 2, previous = 3 };
    void performFindAction(FindAction action);
    // Their keys, Ctrl+F, Ctrl+G and Ctrl+Shift+G, belong to the editor while the focus is in
    // it (its completion list open or not): it claims them before any shortcut sees them, so they
    // work wherever it is shown, also in a sheet that keeps the main window's menus away, and the
    // menus' own keys for them never compete. Elsewhere the keys are the menus'.
    // The editor that holds `widget` (typically the focus widget), if any.
    static CodeEditorView *enclosing(QWidget *widget);

    CodeTextView *textView() const { return textView_; }
    FindBar *findBar() const { return findBar_; }
    // The completion list, present only with a completion function.
    QCompleter *completer() const { return completer_; }

signals:
    void textEdited(const QString &text);

protected:
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void userChangedText();
    void updateCompletions(bool open);
    void completionPicked(const QString &name);
    void takePendingInsertion();
    void addFindActions();
    // The find action whose key this is, if any.
    static std::optional<FindAction> findActionFor(const QKeyEvent &key);
    // Takes a find key on its way to a shortcut (claiming it) or to a widget (acting on it).
    bool claimFindKey(QEvent *event);

    const CodeSyntaxHighlighting &scheme_;
    codeediting::TokenCompletions tokenCompletions_;
    QPointer<PendingInsertion> pendingInsertion_;
    CodeTextView *textView_;
    FindBar *findBar_;
    CodeHighlighter *highlighter_;
    QCompleter *completer_ = nullptr;
    QStringListModel *completionModel_ = nullptr;
    bool applyingText_ = false;
    bool insertingToken_ = false;
};
