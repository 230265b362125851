#pragma once

#include "model/ReportElement.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QColorDialog;
class QPushButton;
class QToolButton;

// A colour of an element: the caption, a swatch that opens the colour dialog, and "Clear" while
// a colour is set. The row holds no colour of its own: it shows what it is given and hands
// every change to `onCommit`, where the card writes it. Picked colours are handed on as "#" and
// six upper-case digits, without opacity.
//
// The dialog is not modal and stays open while the report changes: the row keeps it across
// refreshes, and each colour the user passes through on the way is handed on (the store
// coalesces them into one undo step of the element).
class ColorRow : public QWidget {
    Q_OBJECT

public:
    using Commit = std::function<void(const std::optional<ElementColor> &)>;

    static constexpr int labelWidth = 60;

    // `name` is the row's object name; its swatch, Clear button and dialog are named after it
    // ("inspector.font.text.swatch"). An empty label shows the swatch alone.
    ColorRow(const QString &label, const QString &name, Commit onCommit, QWidget *parent = nullptr);

    // Without "Clear", a colour once set can only be replaced by another.
    void setClearable(bool clearable);

    // Shows the stored colour in place; a text that is not a colour shows black. Never commits.
    void showColor(const std::optional<ElementColor> &color);

    // The colour the swatch shows.
    QColor shownColor() const { return shown_; }
    QToolButton *swatch() const { return swatch_; }
    QPushButton *clearButton() const { return clear_; }
    // The dialog once the swatch has opened it.
    QColorDialog *dialog() const;

    // Opens the dialog (or raises the open one) on the shown colour.
    void openDialog();

private:
    void pick(const QColor &color);
    void paintSwatch();

    Commit onCommit_;
    std::optional<ElementColor> stored_;
    QColor shown_;
    QToolButton *swatch_;
    QPushButton *clear_;
    QPointer<QColorDialog> dialog_;
    bool isClearable_ = true;
};
