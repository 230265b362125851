#pragma once

#include <QObject>
#include <functional>

class QFocusEvent;
class QLineEdit;
class QMenu;
class QWidget;

// Typing that a field holds until the user commits it, with Return or by leaving the field: a
// length, a column width, a line width. The report does not have it yet, so it is the last step
// done in the window: the window's Undo takes it back before any step of the report, and its
// Redo brings it back, still held (WindowHistory). A field that holds its typing gives its line
// edit a holder, which knows the text the field shows for what the report holds.
//
// Leaving the field only for a moment commits nothing: a click on the window under the sheet the
// field stands in (that window turns active for a moment), or the Edit menu opening over the
// field (its Undo and Redo reach the typing, its Cut, Copy and Paste work in the field). The
// holder keeps such a moment from the field, which goes on as if it had kept the focus.
//
// Anything else the user does in the field's window first commits the typing, to what the field
// was typing for, as Return does: a click on anything but the field (a button that takes no focus
// included: the palette's, a toolbar's, a panel's), a shortcut, a menu item chosen. Only the
// controls that act on the typing itself (Undo, Redo, Cut, Copy, Paste, Select All) leave it held.
class HeldTyping : public QObject {
    Q_OBJECT

public:
    // Gives the line edit a holder; `shown` is the text the field shows for the stored value. The
    // line edit of a spin box is held through its spin box, which takes the focus for it.
    static HeldTyping *install(QLineEdit *edit, std::function<QString()> shown);
    // The holder of the field that the focus widget is, if it has one.
    static HeldTyping *of(const QWidget *focus);
    // Marks a menu that opens over a field without ending its typing.
    static void keepTypingUnder(QMenu *menu);
    // Marks a control (a button, a menu item, a shortcut) that acts on the typing itself: using
    // it commits nothing.
    static void keepTypingFor(QObject *control);

    QLineEdit *lineEdit() const { return edit_; }
    // The widget that takes the focus: the line edit, or its spin box.
    QWidget *field() const { return field_; }
    // Whether the field holds typing: text typed since it last showed the stored value, and
    // other than it.
    bool holds() const;
    // Shows the stored value again in place of the typing, which is not handed on.
    void takeBack();
    // Puts `text` back as typing not committed yet, the caret at its end.
    void bringBack(const QString &text);
    // Commits the typing as Return does, when the field holds any; the focus stays.
    void commit();

signals:
    // holds() may have changed.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HeldTyping(QLineEdit *edit, QWidget *field, std::function<QString()> shown);
    // Whether the focus leaves the field only for a moment.
    bool isLent(const QFocusEvent *event) const;

    QLineEdit *edit_;
    QWidget *field_;
    std::function<QString()> shown_;
    // The focus left for a moment and has not come back yet.
    bool lent_ = false;
};
