#include "widgets/HeldTyping.h"

#include "widgets/SheetModality.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <utility>

namespace {

const char *const keepsTyping = "keepsTyping";

} // namespace

HeldTyping::HeldTyping(QLineEdit *edit, QWidget *field, std::function<QString()> shown)
    : QObject(field), edit_(edit), field_(field), shown_(std::move(shown))
{
    field->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, &HeldTyping::changed);
    // A commit ends the typing, also one that changes nothing in the report.
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        connect(spin, &QAbstractSpinBox::editingFinished, this, &HeldTyping::changed);
    else
        connect(edit, &QLineEdit::editingFinished, this, &HeldTyping::changed);
}

HeldTyping *HeldTyping::install(QLineEdit *edit, std::function<QString()> shown)
{
    QWidget *field = edit->focusProxy() ? edit->focusProxy() : edit;
    return new HeldTyping(edit, field, std::move(shown));
}

HeldTyping *HeldTyping::of(const QWidget *focus)
{
    return focus ? focus->findChild<HeldTyping *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void HeldTyping::keepTypingUnder(QMenu *menu)
{
    menu->setProperty(keepsTyping, true);
}

bool HeldTyping::holds() const
{
    return edit_->isModified() && edit_->text() != shown_();
}

void HeldTyping::takeBack()
{
    // Not quietly: a spin box follows its line edit's text. Nothing is written, as the user
    // typed nothing.
    const QString shown = shown_();
    if (edit_->text() != shown)
        edit_->setText(shown);
    edit_->setModified(false);
    emit changed();
}

void HeldTyping::bringBack(const QString &text)
{
    edit_->setText(text);
    edit_->setModified(true);
    emit changed();
}

bool HeldTyping::isLent(const QFocusEvent *event) const
{
    const Qt::FocusReason reason = event->reason();
    // The sheet's activation lent to the window under it, or a menu of that window opened.
    if ((reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) &&
        SheetModality::isShown(field_->window()))
        return true;
    const QWidget *popup = QApplication::activePopupWidget();
    return reason == Qt::PopupFocusReason && qobject_cast<const QMenu *>(popup) &&
           popup->property(keepsTyping).toBool();
}

bool HeldTyping::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field_)
        return QObject::eventFilter(watched, event);
    // The field never learns of a moment away: it commits nothing, and a spin box would show its
    // value again in place of the typing when the focus came back.
    if (event->type() == QEvent::FocusOut && holds() && isLent(static_cast<QFocusEvent *>(event))) {
        lent_ = true;
        return true;
    }
    if (event->type() == QEvent::FocusIn && std::exchange(lent_, false))
        return true;
    return QObject::eventFilter(watched, event);
}
