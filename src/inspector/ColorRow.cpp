#include "inspector/ColorRow.h"

#include "widgets/CardText.h"
#include "widgets/ColorHex.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QSize swatchSize(34, 16);

QColor displayColor(const std::optional<ElementColor> &color)
{
    return ColorHex::fromHex(color ? color->hex : u"#000000"_s).value_or(QColor(Qt::black));
}

} // namespace

ColorRow::ColorRow(const QString &label, const QString &name, Commit onCommit, QWidget *parent)
    : QWidget(parent), onCommit_(std::move(onCommit)), shown_(Qt::black),
      swatch_(new QToolButton(this)), clear_(new QPushButton(u"Clear"_s, this))
{
    setObjectName(name);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    if (!label.isEmpty()) {
        auto *caption = new QLabel(label, this);
        caption->setTextFormat(Qt::PlainText);
        caption->setFixedWidth(labelWidth);
        caption->setFont(CardText::sized(caption->font(), 10));
        row->addWidget(caption, 0, Qt::AlignVCenter);
    }

    swatch_->setObjectName(name + u".swatch"_s);
    swatch_->setAccessibleName(label);
    swatch_->setIconSize(swatchSize);
    connect(swatch_, &QToolButton::clicked, this, &ColorRow::openDialog);
    row->addWidget(swatch_, 0, Qt::AlignVCenter);

    clear_->setObjectName(name + u".clear"_s);
    clear_->setFlat(true);
    clear_->setCursor(Qt::PointingHandCursor);
    clear_->setFont(CardText::sized(clear_->font(), 10));
    clear_->setStyleSheet(u"QPushButton { color: palette(link); border: none; padding: 0 2px; }"_s);
    connect(clear_, &QPushButton::clicked, this, [this] {
        if (stored_)
            onCommit_(std::nullopt);
    });
    row->addWidget(clear_, 0, Qt::AlignVCenter);
    row->addStretch(1);

    showColor(std::nullopt);
}

void ColorRow::showColor(const std::optional<ElementColor> &color)
{
    stored_ = color;
    const QColor shown = displayColor(color);
    if (shown != shown_ || swatch_->icon().isNull()) {
        shown_ = shown;
        paintSwatch();
    }
    clear_->setVisible(isClearable_ && color.has_value());
    // An open dialog follows a change made elsewhere (an undo), but not the colour it is
    // handing on itself: that would fight the user's drag.
    if (dialog_ && dialog_->isVisible() &&
        ColorHex::toHex(dialog_->currentColor()) != ColorHex::toHex(shown_)) {
        const QSignalBlocker blocker(dialog_.data());
        dialog_->setCurrentColor(shown_);
    }
}

void ColorRow::setClearable(bool clearable)
{
    isClearable_ = clearable;
    clear_->setVisible(isClearable_ && stored_.has_value());
}

QColorDialog *ColorRow::dialog() const
{
    return dialog_;
}

void ColorRow::openDialog()
{
    if (!dialog_) {
        dialog_ = new QColorDialog(this);
        dialog_->setObjectName(objectName() + u".dialog"_s);
        dialog_->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
        dialog_->setModal(false);
        connect(dialog_, &QColorDialog::currentColorChanged, this, &ColorRow::pick);
        connect(dialog_, &QColorDialog::colorSelected, this, &ColorRow::pick);
    }
    if (!dialog_->isVisible()) {
        const QSignalBlocker blocker(dialog_.data());
        dialog_->setCurrentColor(shown_);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void ColorRow::pick(const QColor &color)
{
    if (!color.isValid())
        return;
    const ElementColor picked{ColorHex::toHex(color)};
    if (stored_ == picked)
        return;
    onCommit_(picked);
}

void ColorRow::paintSwatch()
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
    swatch_->setIcon(QIcon(pixmap));
}
