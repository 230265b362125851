#include "widgets/ColorWell.h"

#include "widgets/ColorHex.h"

#include <QColorDialog>
#include <QPainter>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace {

const QSize swatchSize(34, 16);

} // namespace

ColorWell::ColorWell(QColor absentColor, Pick onPick, QWidget *parent)
    : QToolButton(parent), absent_(absentColor), onPick_(std::move(onPick)), shown_(absentColor)
{
    setIconSize(swatchSize);
    connect(this, &QToolButton::clicked, this, &ColorWell::openDialog);
    paintSwatch();
}

void ColorWell::showColor(const std::optional<ElementColor> &color)
{
    show(color, color ? ColorHex::fromHex(color->hex).value_or(absent_) : absent_, Look::colour);
}

void ColorWell::showFill(const std::optional<ElementColor> &stored,
                         const std::optional<ElementColor> &printed,
                         const std::optional<ElementColor> &unprinted)
{
    const auto colour = [](const std::optional<ElementColor> &c) {
        return ColorHex::fromHex(c->hex).value_or(Qt::white);
    };
    if (printed)
        show(stored, colour(printed), Look::colour);
    else if (unprinted)
        show(stored, colour(unprinted), Look::notPrinted);
    else
        show(stored, Qt::white, Look::none);
}

void ColorWell::show(const std::optional<ElementColor> &stored, const QColor &shown, Look look)
{
    stored_ = stored;
    if (shown != shown_ || look != look_) {
        shown_ = shown;
        look_ = look;
        paintSwatch();
    }
    // An open dialog follows a change made elsewhere (an undo), but not the colour it is
    // handing on itself: that would fight the user's drag.
    if (dialog_ && dialog_->isVisible() &&
        ColorHex::toHex(dialog_->currentColor()) != ColorHex::toHex(shown_)) {
        const QSignalBlocker blocker(dialog_.data());
        dialog_->setCurrentColor(shown_);
    }
}

QColorDialog *ColorWell::dialog() const
{
    return dialog_;
}

void ColorWell::openDialog()
{
    if (!dialog_) {
        dialog_ = new QColorDialog(this);
        dialog_->setObjectName(dialogName_.isEmpty() ? objectName() + u".dialog"_s : dialogName_);
        dialog_->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
        dialog_->setModal(false);
        connect(dialog_, &QColorDialog::currentColorChanged, this, &ColorWell::pick);
        connect(dialog_, &QColorDialog::colorSelected, this, &ColorWell::pick);
        connect(dialog_, &QDialog::accepted, this, &ColorWell::dialogAccepted);
        connect(dialog_, &QDialog::rejected, this, &ColorWell::dialogCancelled);
    }
    if (!dialog_->isVisible()) {
        const QSignalBlocker blocker(dialog_.data());
        dialog_->setCurrentColor(shown_);
        emit dialogOpened();
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void ColorWell::pick(const QColor &color)
{
    if (!color.isValid())
        return;
    const ElementColor picked{ColorHex::toHex(color)};
    if (stored_ == picked)
        return;
    onPick_(picked);
}

void ColorWell::paintSwatch()
{
    QPixmap pixmap(swatchSize * devicePixelRatioF());
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF swatch(QPointF(0.5, 0.5), QSizeF(swatchSize) - QSizeF(1, 1));
    const QPen border(QColor(128, 128, 128, 160), 1);
    const QString hex = ColorHex::toHex(shown_);
    QString tip = hex;
    switch (look_) {
    case Look::colour:
        painter.setPen(border);
        painter.setBrush(shown_);
        painter.drawRoundedRect(swatch, 3, 3);
        break;
    case Look::none:
        // An empty swatch struck through, as "no colour" is drawn.
        painter.setPen(border);
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(swatch, 3, 3);
        painter.setPen(QPen(QColor(220, 40, 40), 1.5));
        painter.drawLine(swatch.bottomLeft() + QPointF(2, -1), swatch.topRight() + QPointF(-2, 1));
        tip = u"None"_s;
        break;
    case Look::notPrinted: {
        // The colour under a hatch in its contrast, inside a dashed border: kept, not printed.
        painter.setPen(Qt::NoPen);
        painter.setBrush(shown_);
        painter.drawRoundedRect(swatch, 3, 3);
        const double luminance =
            0.299 * shown_.redF() + 0.587 * shown_.greenF() + 0.114 * shown_.blueF();
        const QColor contrast =
            luminance > 0.55 ? QColor(0, 0, 0, 170) : QColor(255, 255, 255, 190);
        painter.setBrush(QBrush(contrast, Qt::BDiagPattern));
        painter.drawRoundedRect(swatch, 3, 3);
        QPen dashed = border;
        dashed.setStyle(Qt::DashLine);
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(swatch, 3, 3);
        tip = hex + u", not printed: the element is transparent"_s;
        break;
    }
    }
    painter.end();
    setIcon(QIcon(pixmap));
    setToolTip(tip);
    setAccessibleDescription(tip);
}
