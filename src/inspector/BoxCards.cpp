#include "inspector/BoxCards.h"

#include "inspector/ColorRow.h"
#include "inspector/StepperField.h"
#include "widgets/CardText.h"
#include "widgets/ColorWell.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int rowSpacing = 18;
constexpr int panelSpacing = 6;
constexpr int paddingHintWidth = 150;
constexpr int bordersHintWidth = 160;
constexpr int paddingLabelWidth = 40;
constexpr int penWidthLabelWidth = 42;
constexpr int stylePickerWidth = 100;

// The diagram and the panel side by side at the top, both kept to the leading side.
QVBoxLayout *diagramRow(SectionCard *card, QWidget *diagram)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(rowSpacing);
    row->addWidget(diagram, 0, Qt::AlignTop);
    auto *panel = new QVBoxLayout;
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(panelSpacing);
    row->addLayout(panel);
    row->addStretch(1);
    row->setAlignment(panel, Qt::AlignTop);
    card->addLayout(row);
    return panel;
}

QLabel *panelText(const QString &text, int maximumWidth, const QString &name, QWidget *parent)
{
    QLabel *label = InspectorRows::secondaryText(text, parent);
    label->setObjectName(name);
    if (maximumWidth > 0)
        label->setMaximumWidth(maximumWidth);
    return label;
}

// The stepper's value text, as wide as the panel gives it and the arrows beside it.
StepperField *stepper(double maximum, double step, std::function<QString(double)> format,
                      int labelWidth, Qt::Alignment alignment, const QString &name, QWidget *parent)
{
    auto *field = new StepperField(0, maximum, step, std::move(format), parent);
    field->setObjectName(name);
    field->setFont(CardText::sized(field->font(), 10));
    field->setAlignment(alignment | Qt::AlignVCenter);
    field->setFrame(false);
    field->setFixedWidth(labelWidth + field->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6);
    return field;
}

} // namespace

PaddingCard::PaddingCard(const ElementWriter &writer, const QString &title,
                         PaddingSideSelectionState *selection, QWidget *parent)
    : SectionCard(title, parent), writer_(writer),
      selection_(selection ? selection : new PaddingSideSelectionState(this))
{
    setObjectName(u"inspector.padding"_s);
    diagram_ = new PaddingBoxDiagram(selection_, this);
    diagram_->setObjectName(u"inspector.padding.diagram"_s);
    QVBoxLayout *panel = diagramRow(this, diagram_);

    hint_ = panelText(BoxSides::paddingHint(), paddingHintWidth, u"inspector.padding.hint"_s, this);
    stepper_ = stepper(BoxSides::paddingMaximum, BoxSides::paddingStep, BoxSides::paddingLabel,
                       paddingLabelWidth, Qt::AlignLeading, u"inspector.padding.stepper"_s, this);
    stepper_->setAccessibleName(title);
    caption_ = panelText({}, 0, u"inspector.padding.caption"_s, this);
    panel->addWidget(hint_);
    panel->addWidget(stepper_);
    panel->addWidget(caption_);

    connect(stepper_, &StepperField::stepped, this, [this](double points) {
        const BoxSideSet sides = selection_->selected();
        writer_.update([&](ReportElement &e) { BoxSides::setPadding(e, sides, points); });
    });
    connect(selection_, &BoxSideSelectionState::selectedChanged, this, &PaddingCard::showPanel);
}

void PaddingCard::refresh(const ReportElement &element, const ReportDocument &)
{
    diagram_->setElement(element);
    showPanel();
}

void PaddingCard::showPanel()
{
    const QList<BoxSide> sides = BoxSides::listed(selection_->selected());
    hint_->setVisible(sides.isEmpty());
    stepper_->setVisible(!sides.isEmpty());
    caption_->setVisible(!sides.isEmpty());
    if (sides.isEmpty())
        return;
    stepper_->showValue(BoxSides::padding(diagram_->element(), sides.first()));
    caption_->setText(BoxSides::editingCaption(selection_->selected()));
}

BordersCard::BordersCard(const ElementWriter &writer, const QString &title,
                         const ReportElement &element, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), selection_(new BorderSideSelectionState(this)),
      controls_(new QWidget(this))
{
    setObjectName(u"inspector.borders"_s);
    // The card opens with exactly the element's bordered sides chosen.
    selection_->setSelected(BoxSides::bordered(element));
    diagram_ = new BorderBoxDiagram(
        selection_,
        [this](BoxSide side, bool nowSelected) {
            writer_.update([&](ReportElement &e) { BoxSides::toggleBorder(e, side, nowSelected); });
        },
        this);
    diagram_->setObjectName(u"inspector.borders.diagram"_s);
    QVBoxLayout *panel = diagramRow(this, diagram_);

    hint_ = panelText(BoxSides::bordersHint(), bordersHintWidth, u"inspector.borders.hint"_s, this);

    auto *controls = new QHBoxLayout(controls_);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(panelSpacing);
    width_ =
        stepper(BoxSides::penWidthMaximum, BoxSides::penWidthStep, BoxSides::penWidthLabel,
                penWidthLabelWidth, Qt::AlignTrailing, u"inspector.borders.width"_s, controls_);
    width_->setAccessibleName(u"Width"_s);
    style_ = new QComboBox(controls_);
    style_->setObjectName(u"inspector.borders.style"_s);
    WheelGuard::ignoreUnlessFocused(style_);
    style_->setAccessibleName(u"Style"_s);
    style_->setFont(CardText::sized(style_->font(), 10));
    // 100 wide, or as wide as the longest line style needs in this font.
    style_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (PenLineStyle style : allCases<PenLineStyle>())
        style_->addItem(penLineStyleLabel(style));
    style_->setFixedWidth(std::max(stylePickerWidth, style_->sizeHint().width()));
    // A pen without a colour shows black; no control takes a pen's colour away again.
    colour_ = new ColorWell(
        Qt::black,
        [this](const ElementColor &color) {
            write([&](ReportElement &e, const BoxSideSet &sides) {
                BoxSides::setPenColor(e, sides, color);
            });
        },
        controls_);
    watchColorDialog(colour_, writer_, [](ReportElement &now, const ReportElement &opened) {
        now.topPen = opened.topPen;
        now.leftPen = opened.leftPen;
        now.bottomPen = opened.bottomPen;
        now.rightPen = opened.rightPen;
    });
    colour_->setObjectName(u"inspector.borders.colour"_s);
    colour_->setAccessibleName(u"Colour"_s);
    controls->addWidget(width_, 0, Qt::AlignVCenter);
    controls->addWidget(style_, 0, Qt::AlignVCenter);
    controls->addWidget(colour_, 0, Qt::AlignVCenter);

    caption_ = panelText({}, 0, u"inspector.borders.caption"_s, this);
    panel->addWidget(hint_);
    panel->addWidget(controls_);
    panel->addWidget(caption_);

    connect(width_, &StepperField::stepped, this, [this](double width) {
        write([&](ReportElement &e, const BoxSideSet &sides) {
            BoxSides::setPenWidth(e, sides, width);
        });
    });
    connect(style_, &QComboBox::activated, this, [this](int index) {
        const QList<PenLineStyle> styles = allCases<PenLineStyle>();
        if (index < 0 || index >= styles.size())
            return;
        const PenLineStyle style = styles[index];
        write([&](ReportElement &e, const BoxSideSet &sides) {
            BoxSides::setPenStyle(e, sides, style);
        });
    });
    connect(selection_, &BoxSideSelectionState::selectedChanged, this, &BordersCard::showPanel);

    diagram_->setElement(element);
    showPanel();
}

void BordersCard::refresh(const ReportElement &element, const ReportDocument &)
{
    diagram_->setElement(element);
    showPanel();
}

void BordersCard::write(const std::function<void(ReportElement &, const BoxSideSet &)> &change)
{
    const BoxSideSet sides = selection_->selected();
    writer_.update([&](ReportElement &e) { change(e, sides); });
}

void BordersCard::showPanel()
{
    const QList<BoxSide> sides = BoxSides::listed(selection_->selected());
    hint_->setVisible(sides.isEmpty());
    caption_->setVisible(!sides.isEmpty());
    const std::optional<BoxSidePen> pen =
        sides.isEmpty() ? std::nullopt : BoxSides::pen(diagram_->element(), sides.first());
    controls_->setVisible(pen.has_value());
    if (sides.isEmpty())
        return;
    caption_->setText(BoxSides::editingCaption(selection_->selected()));
    if (!pen)
        return;
    width_->showValue(pen->width);
    InspectorRows::showIndex(style_,
                             static_cast<int>(allCases<PenLineStyle>().indexOf(pen->style)));
    colour_->showColor(pen->color);
}
