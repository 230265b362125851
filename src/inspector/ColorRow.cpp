#include "inspector/ColorRow.h"

#include "model/ElementFill.h"
#include "widgets/CardText.h"
#include "widgets/ColorWell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

ColorRow::ColorRow(const QString &label, const QString &name, Commit onCommit, QWidget *parent)
    : QWidget(parent), onCommit_(std::move(onCommit)),
      swatch_(new ColorWell(Qt::black, onCommit_, this)), clear_(new QPushButton(u"Clear"_s, this))
{
    setObjectName(name);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(label, this);
    caption->setTextFormat(Qt::PlainText);
    caption->setFixedWidth(labelWidth);
    caption->setFont(CardText::sized(caption->font(), 10));
    row->addWidget(caption, 0, Qt::AlignVCenter);

    swatch_->setObjectName(name + u".swatch"_s);
    swatch_->setDialogName(name + u".dialog"_s);
    swatch_->setAccessibleName(label);
    row->addWidget(swatch_, 0, Qt::AlignVCenter);

    clear_->setObjectName(name + u".clear"_s);
    clear_->setFlat(true);
    clear_->setCursor(Qt::PointingHandCursor);
    clear_->setFont(CardText::sized(clear_->font(), 10));
    clear_->setStyleSheet(
        u"QPushButton { color: palette(highlight); border: none; padding: 0 2px; }"_s);
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
    swatch_->showColor(color);
    clear_->setVisible(color.has_value());
}

void ColorRow::showFill(const ReportElement &element, const QList<ReportStyle> &styles)
{
    stored_ = element.backColor;
    swatch_->showFill(element.backColor, ElementFill::printedFill(element, styles),
                      ElementFill::unprintedFill(element, styles));
    clear_->setVisible(element.backColor.has_value());
}

QColor ColorRow::shownColor() const
{
    return swatch_->shownColor();
}

QToolButton *ColorRow::swatch() const
{
    return swatch_;
}

QColorDialog *ColorRow::dialog() const
{
    return swatch_->dialog();
}

void ColorRow::openDialog()
{
    swatch_->openDialog();
}

void watchColorDialog(ColorWell *well, const ElementWriter &writer,
                      ColorDialogEdit::Restore restore)
{
    const auto edit = std::make_shared<ColorDialogEdit>(writer, std::move(restore));
    QObject::connect(well, &ColorWell::dialogOpened, well, [edit] { edit->opened(); });
    QObject::connect(well, &ColorWell::dialogAccepted, well, [edit] { edit->accepted(); });
    QObject::connect(well, &ColorWell::dialogCancelled, well, [edit] { edit->cancelled(); });
}
