#include "widgets/HeldTyping.h"

#include "widgets/SheetModality.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <utility>

namespace {

const char *const keepsTyping = "keepsTyping";

bool keeps(const QObject *control)
{
    return control && control->property(keepsTyping).toBool();
}

// The holder of the field that has the keys in the window, while it holds typing.
HeldTyping *holding(const QWidget *window)
{
    HeldTyping *held = window ? HeldTyping::of(window->focusWidget()) : nullptr;
    return held && held->holds() ? held : nullptr;
}

bool isOfField(const HeldTyping *held, const QWidget *widget)
{
    return widget && (widget == held->field() || held->field()->isAncestorOf(widget));
}

// Commits the typing a field holds before anything else of its window acts: the click that
// reaches a control, the shortcut that reaches its action, the choice of a menu item. The
// report, its selection and what the user sees then change only after what the user typed went
// where it was typed for.
class CommitBeforeActing : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // A button acts when it is let go: taken at the press, the typing would change the
            // layout under the pointer (a message under the field comes or goes) before the
            // button is let go, and the click would miss it.
            if (watched->isWidgetType() && !isButton(watched))
                reached(static_cast<QWidget *>(watched));
            break;
        case QEvent::MouseButtonRelease:
            if (auto *menu = qobject_cast<QMenu *>(watched))
                chosen(menu,
                       menu->actionAt(static_cast<QMouseEvent *>(event)->position().toPoint()));
            else if (isButton(watched) && static_cast<QAbstractButton *>(watched)->isDown())
                reached(static_cast<QWidget *>(watched));
            break;
        case QEvent::KeyPress:
            if (auto *menu = qobject_cast<QMenu *>(watched)) {
                const int key = static_cast<QKeyEvent *>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
                    chosen(menu, menu->activeAction());
            }
            break;
        case QEvent::Shortcut:
            if (!keeps(watched)) {
                if (HeldTyping *held = holding(QApplication::activeWindow()))
                    held->commit();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A button that acts when it is let go, not while it is held down.
    static bool isButton(QObject *watched)
    {
        const auto *button = qobject_cast<QAbstractButton *>(watched);
        return button && !button->autoRepeat();
    }

    // The pointer reached a widget of the window to act on it.
    static void reached(QWidget *widget)
    {
        // A menu acts when an item is chosen; a menu that does not keep the typing ends it as
        // it opens.
        if (qobject_cast<QMenu *>(widget) || qobject_cast<QMenuBar *>(widget) || keeps(widget))
            return;
        HeldTyping *held = holding(widget->window());
        if (held && !isOfField(held, widget))
            held->commit();
    }

    static void chosen(const QMenu *menu, const QAction *item)
    {
        if (!item || item->isSeparator() || item->menu() || !item->isEnabled() || keeps(item))
            return;
        HeldTyping *held = holding(QApplication::activeWindow());
        // The field's own menu acts on its text.
        if (held && !isOfField(held, menu->parentWidget()))
            held->commit();
    }
};

// One for the whole application, from the first field that holds typing on.
void commitBeforeActing()
{
    static QPointer<CommitBeforeActing> filter;
    if (filter || !qApp)
        return;
    filter = new CommitBeforeActing(qApp);
    qApp->installEventFilter(filter);
}

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
    commitBeforeActing();
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

void HeldTyping::keepTypingFor(QObject *control)
{
    control->setProperty(keepsTyping, true);
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

void HeldTyping::commit()
{
    if (!holds())
        return;
    // What leaving the field does, the focus kept where it is.
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field_)) {
        spin->interpretText();
        emit spin->editingFinished();
    } else {
        emit edit_->editingFinished();
    }
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
