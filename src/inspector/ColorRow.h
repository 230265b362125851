#pragma once

#include "edits/ColorDialogEdit.h"
#include "model/ReportDocument.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class ColorWell;
class QColorDialog;
class QPushButton;
class QToolButton;

// A colour of an element: the caption, a colour well, and "Clear" while a colour is set. The
// row holds no colour of its own: it shows what it is given and hands every change to
// `onCommit`, where the card writes it. Picked colours are handed on as "#" and six upper-case
// digits, without opacity; each colour the user passes through in the open dialog is handed on
// (the store coalesces them into one undo step of the element).
class ColorRow : public QWidget {
    Q_OBJECT

public:
    using Commit = std::function<void(const std::optional<ElementColor> &)>;

    static constexpr int labelWidth = 60;

    // `name` is the row's object name; its swatch, Clear button and dialog are named after it
    // ("inspector.font.text.swatch").
    ColorRow(const QString &label, const QString &name, Commit onCommit, QWidget *parent = nullptr);

    // Shows the stored colour in place; a text that is not a colour shows black. Never commits.
    void showColor(const std::optional<ElementColor> &color);
    // Shows the element's back colour as the engine prints it: "none" where it has none and
    // prints none, its colour marked as not printed where the element is transparent. Never
    // commits.
    void showFill(const ReportElement &element, const QList<ReportStyle> &styles);

    // The colour the swatch shows.
    QColor shownColor() const;
    QToolButton *swatch() const;
    ColorWell *colorWell() const { return swatch_; }
    QPushButton *clearButton() const { return clear_; }
    // The dialog once the swatch has opened it.
    QColorDialog *dialog() const;

    // Opens the dialog (or raises the open one) on the shown colour.
    void openDialog();

private:
    Commit onCommit_;
    std::optional<ElementColor> stored_;
    ColorWell *swatch_;
    QPushButton *clear_;
};

// Ties the well's dialog to the element the card writes: its picks make one undo step while it
// is open, and Cancel puts back what `restore` names as it was when the dialog opened, leaving
// no step and no dirty mark when nothing else changed (ColorDialogEdit).
void watchColorDialog(ColorWell *well, const ElementWriter &writer,
                      ColorDialogEdit::Restore restore);
