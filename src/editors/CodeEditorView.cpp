#include "CodeEditorView.h"

#include "CodeHighlighter.h"
#include "CodeTextView.h"
#include "FindBar.h"
#include "PendingInsertion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStringListModel>
#include <QVBoxLayout>

CodeEditorView::CodeEditorView(const CodeSyntaxHighlighting &scheme, bool isEditable,
                               codeediting::TokenCompletions tokenCompletions,
                               PendingInsertion *pendingInsertion, QWidget *parent)
    : QWidget(parent), scheme_(scheme), tokenCompletions_(std::move(tokenCompletions)),
      pendingInsertion_(pendingInsertion), textView_(new CodeTextView(this)),
      findBar_(new FindBar(textView_, this)),
      highlighter_(new CodeHighlighter(scheme, textView_->document()))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(findBar_);
    column->addWidget(textView_, 1);
    findBar_->hide();

    textView_->setReadOnly(!isEditable);
    textView_->setFont(scheme.font());
    textView_->setUndoRedoEnabled(true);
    connect(textView_, &PlainTextEdit::linesChanged, this, &CodeEditorView::userChangedText);

    if (tokenCompletions_) {
        completionModel_ = new QStringListModel(this);
        completer_ = new QCompleter(completionModel_, this);
        completer_->setWidget(textView_);
        completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        textView_->setCompletionPopup(completer_->popup());
        connect(completer_, qOverload<const QString &>(&QCompleter::activated), this,
                &CodeEditorView::completionPicked);
    }
    if (pendingInsertion_)
        connect(pendingInsertion_, &PendingInsertion::tokenChanged, this,
                &CodeEditorView::takePendingInsertion);
    addFindActions();
}

namespace {

// The editor's own Find..., Find Next and Find Previous keys.
struct FindKey {
    CodeEditorView::FindAction action;
    QKeyCombination keys;
};
constexpr FindKey findKeys[] = {
    {CodeEditorView::FindAction::showFindBar, Qt::CTRL | Qt::Key_F},
    {CodeEditorView::FindAction::next, Qt::CTRL | Qt::Key_G},
    {CodeEditorView::FindAction::previous, Qt::CTRL | Qt::SHIFT | Qt::Key_G},
};

} // namespace

void CodeEditorView::addFindActions()
{
    // The keys reach the editor from its text, its find field and the completion list (a window
    // of its own, whose keys Qt hands to the text directly), and from any other part of it (the
    // find bar's buttons) as they pass up to their parents.
    textView_->installEventFilter(this);
    findBar_->field()->installEventFilter(this);
    if (completer_)
        completer_->popup()->installEventFilter(this);
}

std::optional<CodeEditorView::FindAction> CodeEditorView::findActionFor(const QKeyEvent &key)
{
    for (const FindKey &find : findKeys) {
        if (find.keys == key.keyCombination())
            return find.action;
    }
    return std::nullopt;
}

bool CodeEditorView::claimFindKey(QEvent *event)
{
    const bool claims = event->type() == QEvent::ShortcutOverride;
    if (!claims && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const std::optional<FindAction> find = findActionFor(*key);
    if (!find)
        return false;
    key->accept();
    if (!claims)
        performFindAction(*find);
    return true;
}

bool CodeEditorView::eventFilter(QObject *watched, QEvent *event)
{
    return claimFindKey(event) || QWidget::eventFilter(watched, event);
}

bool CodeEditorView::event(QEvent *event)
{
    return claimFindKey(event) || QWidget::event(event);
}

QString CodeEditorView::text() const
{
    return textView_->text();
}

void CodeEditorView::setText(const QString &text)
{
    if (text != textView_->text()) {
        applyingText_ = true;
        textView_->setText(text);
        applyingText_ = false;
    }
    takePendingInsertion();
}

void CodeEditorView::userChangedText()
{
    if (applyingText_)
        return;
    emit textEdited(text());
    if (tokenCompletions_)
        updateCompletions(!insertingToken_);
}

void CodeEditorView::updateCompletions(bool open)
{
    // Positions are the document's: a long line's pieces stand apart.
    const QString all = textView_->document()->toPlainText();
    const QTextCursor cursor = textView_->textCursor();
    const qsizetype position = cursor.selectionStart();
    const qsizetype wordStart = codeediting::partialWordStart(all, position);
    const auto letter = codeediting::triggerLetter(all, wordStart);
    // The list opens right after a trigger and follows the partial word while it shows.
    const bool justTriggered = letter && wordStart == position;
    if (!letter || (!justTriggered && !completer_->popup()->isVisible()) || !open) {
        completer_->popup()->hide();
        return;
    }
    const QStringList names = codeediting::filterCompletions(
        tokenCompletions_(*letter), all.mid(wordStart, position - wordStart));
    if (names.isEmpty()) {
        completer_->popup()->hide();
        return;
    }
    completionModel_->setStringList(names);
    QRect at = textView_->cursorRect(cursor);
    at.setWidth(completer_->popup()->sizeHintForColumn(0) +
                completer_->popup()->verticalScrollBar()->sizeHint().width() + 8);
    completer_->complete(at);
    completer_->popup()->setCurrentIndex(completionModel_->index(0));
}

void CodeEditorView::completionPicked(const QString &name)
{
    QTextCursor cursor = textView_->textCursor();
    const qsizetype position = cursor.selectionStart();
    const qsizetype wordStart =
        codeediting::partialWordStart(textView_->document()->toPlainText(), position);
    cursor.setPosition(int(wordStart));
    cursor.setPosition(int(position), QTextCursor::KeepAnchor);
    textView_->insertText(cursor, name);
    textView_->setTextCursor(cursor);
    completer_->popup()->hide();
}

void CodeEditorView::insertAtCursor(const QString &token)
{
    QTextCursor cursor = textView_->textCursor();
    const int start = cursor.selectionStart();
    // At the start of a piece of a long line, the character before is the previous piece's last.
    const int beforeAt =
        start -
        (CodeTextView::continuesLine(cursor.block()) && cursor.positionInBlock() == 0 ? 2 : 1);
    const std::optional<QChar> before =
        beforeAt >= 0 ? std::optional<QChar>(textView_->document()->characterAt(beforeAt))
                      : std::nullopt;
    // Typed by the program, not the user: no completion list opens.
    insertingToken_ = true;
    textView_->insertText(cursor, codeediting::joinedInsertion(token, before));
    insertingToken_ = false;
    textView_->setTextCursor(cursor);
    if (window())
        textView_->setFocus();
}

void CodeEditorView::takePendingInsertion()
{
    if (!pendingInsertion_ || !pendingInsertion_->token())
        return;
    const QString token = *pendingInsertion_->token();
    insertAtCursor(token);
    pendingInsertion_->setToken(std::nullopt);
}

void CodeEditorView::performFindAction(FindAction action)
{
    switch (action) {
    case FindAction::showFindBar:
        findBar_->activate();
        break;
    case FindAction::next:
    case FindAction::previous:
        if (findBar_->field()->text().isEmpty()) {
            findBar_->activate();
            break;
        }
        if (action == FindAction::next)
            findBar_->findNext();
        else
            findBar_->findPrevious();
        break;
    }
}

CodeEditorView *CodeEditorView::enclosing(QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (auto *editor = qobject_cast<CodeEditorView *>(widget))
            return editor;
    }
    return nullptr;
}

void CodeEditorView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        highlighter_->setPalette(palette());
    QWidget::changeEvent(event);
}
