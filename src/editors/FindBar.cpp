#include "FindBar.h"

#include "widgets/PlainTextEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindBar::FindBar(PlainTextEdit *textView, QWidget *parent)
    : QWidget(parent), textView_(textView), field_(new QLineEdit(this)), status_(new QLabel(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    field_->setPlaceholderText(tr("Find"));
    field_->setClearButtonEnabled(true);
    auto *previous = new QPushButton(tr("Previous"), this);
    auto *next = new QPushButton(tr("Next"), this);
    auto *done = new QPushButton(tr("Done"), this);
    // Return in the field finds the next match; in a dialog it must not also press a button.
    for (QPushButton *button : {previous, next, done})
        button->setAutoDefault(false);
    status_->setForegroundRole(QPalette::PlaceholderText);
    row->addWidget(field_, 1);
    row->addWidget(status_);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(done);
    connect(field_, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(field_, &QLineEdit::textChanged, status_, &QLabel::clear);
    connect(previous, &QPushButton::clicked, this, [this] { findPrevious(); });
    connect(next, &QPushButton::clicked, this, [this] { findNext(); });
    connect(done, &QPushButton::clicked, this, [this] {
        hide();
        textView_->setFocus();
    });
}

void FindBar::activate()
{
    show();
    field_->setFocus();
    field_->selectAll();
}

bool FindBar::findNext()
{
    return find(false);
}

bool FindBar::findPrevious()
{
    return find(true);
}

bool FindBar::find(bool backward)
{
    const QString needle = field_->text();
    if (needle.isEmpty())
        return false;
    bool found = textView_->findInText(needle, backward);
    if (!found) {
        // Wrap around: start again from the other end.
        const QTextCursor before = textView_->textCursor();
        QTextCursor cursor = before;
        cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        textView_->setTextCursor(cursor);
        found = textView_->findInText(needle, backward);
        if (!found)
            textView_->setTextCursor(before);
    }
    status_->setText(found ? QString() : tr("Not found"));
    return found;
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        textView_->setFocus();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        findPrevious();
        return;
    }
    QWidget::keyPressEvent(event);
}
