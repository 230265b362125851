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
// for fills). The dialog is not modal and stays open while the report changes: the well keeps
// it across refreshes and hands on each colour the user passes through on the way.
class ColorWell : public QToolButton {
    Q_OBJECT

public:
    using Pick = std::function<void(const ElementColor &)>;

    explicit ColorWell(QColor absentColor, Pick onPick, QWidget *parent = nullptr);

    // Shows the stored colour in place. Never hands anything on.
    void showColor(const std::optional<ElementColor> &color);

    // The colour the swatch shows.
    QColor shownColor() const { return shown_; }
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
    void paintSwatch();

    QColor absent_;
    Pick onPick_;
    std::optional<ElementColor> stored_;
    QColor shown_;
    QString dialogName_;
    QPointer<QColorDialog> dialog_;
};
