#include "setup/NewReportWizardView.h"

#include "editors/AdaptiveGridLayout.h"
#include "edits/LengthLimits.h"
#include "setup/NewReportChoiceCard.h"
#include "setup/NewReportCreation.h"
#include "setup/NewReportStylesCard.h"
#include "setup/NewReportWizardState.h"
#include "widgets/CardText.h"
#include "widgets/MeasurementField.h"
#include "widgets/SheetHeader.h"
#include "widgets/WheelGuard.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int sectionSpacing = 16;
constexpr int contentPadding = 20;
constexpr int gridSpacing = 12;
constexpr int rowSpacing = 10;
constexpr int fieldLabelWidth = 42;

QLabel *sectionTitle(const QString &text, QWidget *parent)
{
    auto *title = new QLabel(text, parent);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    return title;
}

} // namespace

NewReportWizardView::NewReportWizardView(WorkspaceModel &workspace, AppSettings &settings,
                                         QWidget *parent)
    : QWidget(parent), workspace_(workspace), settings_(settings),
      state_(new NewReportWizardState(this))
{
    setObjectName(u"NewReportWizardView"_s);
    // Scrolling the sheet changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    setMinimumSize(minimumWidth, minimumHeight);
    state_->reset(settings_.defaultPageWidth(), settings_.defaultPageHeight());

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 20, 0, 0);
    column->setSpacing(4);

    QLabel *title = sheetTitle(u"New Report"_s, this);
    title->setObjectName(u"newReport.title"_s);
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title);

    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(u"newReport.scroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(buildContent());
    scroll->viewport()->setAutoFillBackground(false);
    scroll->widget()->setAutoFillBackground(false);
    column->addWidget(scroll, 1);
    column->addWidget(horizontalDivider(this));

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 16, 16, 16);
    buttons->addStretch(1);
    cancel_ = new QPushButton(u"Cancel"_s, this);
    cancel_->setObjectName(u"newReport.cancel"_s);
    cancel_->setAutoDefault(false);
    create_ = new QPushButton(u"Create"_s, this);
    create_->setObjectName(u"newReport.create"_s);
    create_->setDefault(true);
    buttons->addWidget(cancel_);
    buttons->addWidget(create_);
    column->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, &NewReportWizardView::cancel);
    connect(create_, &QPushButton::clicked, this, &NewReportWizardView::create);

    for (auto changed :
         {&NewReportWizardState::presetChanged, &NewReportWizardState::customWidthChanged,
          &NewReportWizardState::customHeightChanged, &NewReportWizardState::headerStyleChanged})
        connect(state_, changed, this, &NewReportWizardView::showChoices);
    connect(&settings_, &AppSettings::measurementUnitChanged, this,
            &NewReportWizardView::showChoices);
    showChoices();
}

QWidget *NewReportWizardView::buildContent()
{
    auto *content = new QWidget;
    content->setObjectName(u"newReport.content"_s);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(contentPadding, contentPadding, contentPadding, contentPadding);
    column->setSpacing(sectionSpacing);

    // Page Format: the preset grid, and the custom size while Custom is chosen.
    auto *page = new QVBoxLayout;
    page->setSpacing(8);
    page->addWidget(sectionTitle(u"Page Format"_s, content));
    auto *grid = new AdaptiveGridLayout(presetColumnWidth, gridSpacing);
    grid->setContentsMargins(0, 0, 0, 0);
    for (PageFormatPreset preset : PageFormatPresets::all()) {
        auto *card = NewReportChoiceCard::presetCard(
            preset, [this, preset] { state_->setPreset(preset); }, content);
        card->setObjectName(u"newReport.preset"_s + QString::number(presetCards_.size()));
        card->setMaximumWidth(presetCardMaximumWidth);
        presetCards_.append(card);
        grid->addWidget(card);
    }
    page->addLayout(grid);

    customRow_ = new QWidget(content);
    customRow_->setObjectName(u"newReport.customSize"_s);
    customRow_->setFont(CardText::sized(font(), 12));
    auto *custom = new QHBoxLayout(customRow_);
    custom->setContentsMargins(0, 0, 0, 0);
    custom->setSpacing(rowSpacing);
    // The captions' column: 42 points, or wider where the font needs it for "Height".
    const int labelWidth =
        std::max(fieldLabelWidth, customRow_->fontMetrics().horizontalAdvance(u"Height"_s) + 4);
    width_ = new MeasurementField(
        u"Width"_s, state_->customWidth(), settings_.measurementUnit(), labelWidth,
        [this](double points) { state_->setCustomWidth(points); }, customRow_);
    width_->setObjectName(u"newReport.width"_s);
    height_ = new MeasurementField(
        u"Height"_s, state_->customHeight(), settings_.measurementUnit(), labelWidth,
        [this](double points) { state_->setCustomHeight(points); }, customRow_);
    height_->setObjectName(u"newReport.height"_s);
    for (const auto &[field, typed] : {std::pair{width_, &ReportDocument::pageWidth},
                                       std::pair{height_, &ReportDocument::pageHeight}}) {
        field->setCheck([this, typed](double points, MeasurementUnit unit) {
            const bool isWidth = typed == &ReportDocument::pageWidth;
            return LengthLimits::newReportPageSize(isWidth ? points : state_->customWidth(),
                                                   isWidth ? state_->customHeight() : points, typed,
                                                   unit);
        });
    }
    custom->addWidget(width_);
    custom->addWidget(height_);
    custom->addStretch(1);
    page->addWidget(customRow_);
    column->addLayout(page);

    // Starter Style: one swatch per header.
    auto *header = new QVBoxLayout;
    header->setSpacing(8);
    header->addWidget(sectionTitle(u"Starter Style"_s, content));
    auto *swatches = new QHBoxLayout;
    swatches->setSpacing(rowSpacing);
    for (StarterHeaderStyle style : StarterHeaderStyles::all()) {
        auto *swatch = NewReportChoiceCard::headerSwatch(
            style, [this, style] { state_->setHeaderStyle(style); }, content);
        swatch->setObjectName(u"newReport.header"_s + QString::number(swatches_.size()));
        swatches_.append(swatch);
        swatches->addWidget(swatch);
    }
    swatches->addStretch(1);
    header->addLayout(swatches);
    column->addLayout(header);

    styles_ = new NewReportStylesCard(
        *state_, NewReportCreation::readReportStyles(settings_.recentFilePaths()), content);
    column->addWidget(styles_);

    auto *note = CardText::note(
        u"A file location will be chosen the first time you save, just like today."_s, content);
    note->setObjectName(u"newReport.note"_s);
    column->addWidget(note);
    column->addStretch(1);
    return content;
}

void NewReportWizardView::showChoices()
{
    for (qsizetype i = 0; i < presetCards_.size(); ++i)
        presetCards_[i]->setChosen(PageFormatPresets::all().at(i) == state_->preset());
    for (qsizetype i = 0; i < swatches_.size(); ++i)
        swatches_[i]->setChosen(StarterHeaderStyles::all().at(i) == state_->headerStyle());
    customRow_->setVisible(state_->preset() == PageFormatPreset::custom);
    width_->setUnit(settings_.measurementUnit());
    height_->setUnit(settings_.measurementUnit());
    width_->setPoints(state_->customWidth());
    height_->setPoints(state_->customHeight());
}

void NewReportWizardView::create()
{
    NewReportCreation::createReport(workspace_, *state_);
    workspace_.setIsNewReportWizardVisible(false);
}

void NewReportWizardView::cancel()
{
    workspace_.setIsNewReportWizardVisible(false);
}
