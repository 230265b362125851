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
    stored_ = color;
    const QColor shown = color ? ColorHex::fromHex(color->hex).value_or(absent_) : absent_;
    if (shown != shown_) {
        shown_ = shown;
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
    painter.setPen(QPen(QColor(128, 128, 128, 160), 1));
    painter.setBrush(shown_);
    painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), QSizeF(swatchSize) - QSizeF(1, 1)), 3, 3);
    painter.end();
    setIcon(QIcon(pixmap));
}
