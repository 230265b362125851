#include "app/SettingsView.h"
#include "app/SettingsAboutCard.h"
#include "widgets/CardSection.h"
#include "widgets/CardText.h"
#include "widgets/SegmentButton.h"
#include "widgets/Stepper.h"
#include "widgets/SymbolIcons.h"
#include "widgets/WheelGuard.h"
#include "workspace/AppSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int contentWidth = 460;
constexpr int contentHeight = 480;

// Whole points in the locale's digits, as the width and height fields show them.
QString formatPoints(double points)
{
    return QLocale().toString(points, 'f', 0);
}

} // namespace

const QList<SettingsView::PageSizePreset> &SettingsView::pageSizePresets()
{
    static const QList<PageSizePreset> presets{
        {u"A4"_s, 595, 842}, {u"Letter"_s, 612, 792}, {u"Legal"_s, 612, 1008}};
    return presets;
}

QString SettingsView::pageSizeSelection(double width, double height)
{
    for (const PageSizePreset &preset : pageSizePresets()) {
        if (preset.width == width && preset.height == height)
            return preset.name;
    }
    return customPageSize;
}

QString SettingsView::pageSizeLabel(const PageSizePreset &preset)
{
    return u"%1 (%2×%3)"_s.arg(preset.name, QString::number(qint64(preset.width)),
                               QString::number(qint64(preset.height)));
}

SettingsView::SettingsView(AppSettings &settings, UpdateChecker &checker,
                           const VersionInfo &version, QWidget *parent)
    : QScrollArea(parent), settings_(settings)
{
    setFixedSize(contentWidth, contentHeight);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);
    about_ = new SettingsAboutCard(checker, version);
    for (CardSection *card :
         {appearanceCard(), measurementCard(), canvasCard(), documentDefaultsCard(),
          textFieldsCard(), static_cast<CardSection *>(about_)})
        column->addWidget(card);
    column->addStretch();
    setWidget(content);
    // A wheel turned to scroll the window never changes a picker the pointer passes over.
    WheelGuard::guardPanel(this);

    for (auto changed :
         {&AppSettings::appearanceChanged, &AppSettings::measurementUnitChanged,
          &AppSettings::isSnapToGridEnabledChanged, &AppSettings::gridSizeChanged,
          &AppSettings::defaultPageWidthChanged, &AppSettings::defaultPageHeightChanged,
          &AppSettings::defaultFontNameChanged, &AppSettings::defaultFontSizeChanged,
          &AppSettings::defaultBlankWhenNullChanged})
        connect(&settings_, changed, this, &SettingsView::syncFromSettings);
    syncFromSettings();
}

CardSection *SettingsView::appearanceCard()
{
    auto *card = new CardSection(u"Appearance"_s);
    theme_ = new QButtonGroup(card);
    auto *segments = new QHBoxLayout;
    segments->setSpacing(0);
    segments->addWidget(new QLabel(u"Theme"_s));
    segments->addSpacing(8);
    const QString symbols[] = {u"circle.lefthalf.filled"_s, u"sun.max"_s, u"moon"_s};
    const QList<AppAppearance> cases = allCases<AppAppearance>();
    for (qsizetype i = 0; i < cases.size(); ++i) {
        auto *segment = new SegmentButton;
        segment->setText(rawValue(cases[i]));
        segment->setIcon(SymbolIcons::icon(symbols[i]));
        segment->setProperty(SymbolIcons::symbolProperty, symbols[i]);
        segment->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        segment->setCheckable(true);
        theme_->addButton(segment, int(i));
        segments->addWidget(segment);
    }
    segments->addStretch();
    card->addLayout(segments);
    connect(theme_, &QButtonGroup::idClicked, this,
            [this](int id) { settings_.setAppearance(allCases<AppAppearance>().value(id)); });
    return card;
}

CardSection *SettingsView::measurementCard()
{
    auto *card = new CardSection(u"Measurement Unit"_s);
    unit_ = new QComboBox;
    for (MeasurementUnit unit : allCases<MeasurementUnit>())
        unit_->addItem(rawValue(unit));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(u"Ruler & fields show"_s));
    row->addWidget(unit_);
    row->addStretch();
    card->addLayout(row);
    card->addWidget(CardText::note(
        u"Everything is still stored in points/pixels underneath - this only changes what the "
        "ruler and numeric fields display and accept."_s));
    connect(unit_, &QComboBox::activated, this, [this](int index) {
        settings_.setMeasurementUnit(allCases<MeasurementUnit>().value(index));
    });
    return card;
}

CardSection *SettingsView::canvasCard()
{
    auto *card = new CardSection(u"Canvas"_s);
    snap_ = new QCheckBox(u"Snap to Grid"_s);
    card->addWidget(snap_);
    grid_ = new Stepper(2, 50, u" pt"_s);
    grid_->setObjectName(u"gridSize"_s);
    card->addWidget(captionedRow(u"Grid Size"_s, 130, grid_));
    connect(snap_, &QCheckBox::toggled, this,
            [this](bool on) { settings_.setIsSnapToGridEnabled(on); });
    connect(grid_, &Stepper::valueChanged, this,
            [this](double size) { settings_.setGridSize(size); });
    return card;
}

CardSection *SettingsView::documentDefaultsCard()
{
    auto *card = new CardSection(u"New Document Defaults"_s);
    pageSize_ = new QComboBox;
    for (const PageSizePreset &preset : pageSizePresets())
        pageSize_->addItem(pageSizeLabel(preset), preset.name);
    pageSize_->addItem(customPageSize, customPageSize);
    auto *pickerRow = new QHBoxLayout;
    pickerRow->addWidget(new QLabel(u"Page Size"_s));
    pickerRow->addWidget(pageSize_);
    pickerRow->addStretch();
    card->addLayout(pickerRow);
    connect(pageSize_, &QComboBox::activated, this, [this](int index) {
        if (index < pageSizePresets().size()) {
            const PageSizePreset preset = pageSizePresets().at(index);
            settings_.setDefaultPageWidth(preset.width);
            settings_.setDefaultPageHeight(preset.height);
        }
        syncFromSettings();
    });

    pageWidth_ = pageLengthField(u"pageWidth"_s, &AppSettings::defaultPageWidth,
                                 &AppSettings::setDefaultPageWidth);
    pageHeight_ = pageLengthField(u"pageHeight"_s, &AppSettings::defaultPageHeight,
                                  &AppSettings::setDefaultPageHeight);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->setContentsMargins(0, 0, 0, 0);
    for (auto [caption, width, field] :
         {std::tuple{u"Width"_s, 60, pageWidth_}, std::tuple{u"Height"_s, 50, pageHeight_}}) {
        auto *label = new QLabel(caption);
        label->setFixedWidth(width);
        sizeRow->addWidget(label);
        sizeRow->addWidget(field, 1);
    }
    card->addLayout(sizeRow);

    fontName_ = new QLineEdit;
    fontName_->setPlaceholderText(u"Default Font"_s);
    card->addWidget(fontName_);
    connect(fontName_, &QLineEdit::textEdited, this,
            [this](const QString &name) { settings_.setDefaultFontName(name); });

    fontSize_ = new Stepper(6, 96, QString());
    fontSize_->setObjectName(u"fontSize"_s);
    card->addWidget(captionedRow(u"Default Font Size"_s, 130, fontSize_));
    connect(fontSize_, &Stepper::valueChanged, this,
            [this](double size) { settings_.setDefaultFontSize(size); });
    return card;
}

CardSection *SettingsView::textFieldsCard()
{
    auto *card = new CardSection(u"New Text Fields"_s);
    blankWhenNull_ = new QCheckBox(u"Blank when value is null"_s);
    card->addWidget(blankWhenNull_);
    card->addWidget(CardText::note(
        u"With no live data connected (or a query that returns no matching rows), every "
        "$F{}/$P{} field evaluates to null at fill time - without this, a new text field shows "
        "the literal word \"null\" instead of nothing. Only affects newly-created fields; "
        "existing ones keep their own setting (Inspector > Format)."_s));
    connect(blankWhenNull_, &QCheckBox::toggled, this,
            [this](bool blank) { settings_.setDefaultBlankWhenNull(blank); });
    return card;
}

QWidget *SettingsView::captionedRow(const QString &caption, int captionWidth, QWidget *control)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(caption);
    label->setFixedWidth(captionWidth);
    layout->addWidget(label);
    layout->addWidget(control, 1);
    return row;
}

QLineEdit *SettingsView::pageLengthField(const QString &name, double (AppSettings::*read)() const,
                                         void (AppSettings::*write)(double))
{
    auto *field = new QLineEdit;
    field->setObjectName(name);
    connect(field, &QLineEdit::editingFinished, this, [this, field, read, write] {
        bool ok = false;
        const double points = QLocale().toDouble(field->text().trimmed(), &ok);
        // A page needs a size: nothing, zero or a negative length keeps the previous value.
        // Through a reference of its own: GCC's vptr check of UBSan takes a call through the
        // member of a captured `this` for a call on an object of the wrong type.
        AppSettings &settings = settings_;
        if (ok && std::isfinite(points) && points > 0)
            (settings.*write)(points);
        field->setText(formatPoints((settings.*read)()));
        syncFromSettings();
    });
    return field;
}

void SettingsView::syncFromSettings()
{
    const QSignalBlocker blockTheme(theme_);
    if (QAbstractButton *segment =
            theme_->button(int(allCases<AppAppearance>().indexOf(settings_.appearance()))))
        segment->setChecked(true);
    const QSignalBlocker blockUnit(unit_);
    unit_->setCurrentIndex(int(allCases<MeasurementUnit>().indexOf(settings_.measurementUnit())));
    const QSignalBlocker blockSnap(snap_);
    snap_->setChecked(settings_.isSnapToGridEnabled());
    grid_->setValue(settings_.gridSize());
    grid_->setEnabled(settings_.isSnapToGridEnabled());

    const QSignalBlocker blockPageSize(pageSize_);
    pageSize_->setCurrentIndex(pageSize_->findData(
        pageSizeSelection(settings_.defaultPageWidth(), settings_.defaultPageHeight())));
    for (auto [field, points] : {std::pair{pageWidth_, settings_.defaultPageWidth()},
                                 std::pair{pageHeight_, settings_.defaultPageHeight()}}) {
        if (!field->hasFocus() || !field->isModified())
            field->setText(formatPoints(points));
    }
    if (fontName_->text() != settings_.defaultFontName())
        fontName_->setText(settings_.defaultFontName());
    fontSize_->setValue(settings_.defaultFontSize());
    const QSignalBlocker blockBlank(blankWhenNull_);
    blankWhenNull_->setChecked(settings_.defaultBlankWhenNull());
}
