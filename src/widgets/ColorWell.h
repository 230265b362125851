#pragma once

#include "model/ReportElement.h"

#include <QPointer>
#include <QToolButton>
#include <functional>
#include <optional>

class QColorDialog;

// A swatch of a stored colour that opens the colour dialog. It holds no colour of its own: it
// shows what it is given and hands every colour the user picks to `onPick` as "#" and six
// upper-case digits, without opacity. A colour the user already has is not handed on again.
//
// No stored colour, or a text that is not a colour, shows `absentColor` (black for text, white
// for fills). A fill is shown as it prints (showFill): no colour as "none", and a colour the
// engine does not print (the element is transparent) as itself, hatched. The dialog is not modal
// and stays open while the report changes: the well keeps it across refreshes and hands on each
// colour the user passes through on the way.
class ColorWell : public QToolButton {
    Q_OBJECT

public:
    using Pick = std::function<void(const ElementColor &)>;

    explicit ColorWell(QColor absentColor, Pick onPick, QWidget *parent = nullptr);

    // How the swatch shows its colour.
    enum class Look { colour, none, notPrinted };

    // Shows the stored colour in place. Never hands anything on.
    void showColor(const std::optional<ElementColor> &color);
    // Shows a stored fill as it prints: the colour that prints, else the colour kept that does
    // not print, else "none". Never hands anything on.
    void showFill(const std::optional<ElementColor> &stored,
                  const std::optional<ElementColor> &printed,
                  const std::optional<ElementColor> &unprinted);

    // The colour the swatch shows.
    QColor shownColor() const { return shown_; }
    Look look() const { return look_; }
    // The dialog once the well has opened it; it is named `dialogName` (or the well's name and
    // ".dialog").
    QColorDialog *dialog() const;
    void setDialogName(const QString &name) { dialogName_ = name; }

    // Opens the dialog (or raises the open one) on the shown colour.
    void openDialog();

signals:
    // The dialog was shown, and ended with OK or with Cancel (also Escape or closing it).
    void dialogOpened();
    void dialogAccepted();
    void dialogCancelled();

private:
    void pick(const QColor &color);
    void show(const std::optional<ElementColor> &stored, const QColor &shown, Look look);
    void paintSwatch();

    QColor absent_;
    Pick onPick_;
    std::optional<ElementColor> stored_;
    QColor shown_;
    Look look_ = Look::colour;
    QString dialogName_;
    QPointer<QColorDialog> dialog_;
};
