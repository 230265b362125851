#include "setup/ImageImportOptionsSheet.h"

#include "document/DocumentStore.h"
#include "setup/ImageImportCoordinator.h"
#include "widgets/CardText.h"
#include "widgets/SheetHeader.h"
#include "widgets/SymbolIcons.h"
#include "widgets/WheelGuard.h"
#include "workspace/WorkspaceModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;
using SizeMode = ImageImportOptions::SizeMode;
using FormatMode = ImageImportOptions::FormatMode;

namespace {

constexpr int labelWidth = 110;
constexpr QStringView errorSymbol = u"exclamationmark.triangle.fill";

// A row of the sheet: a label `labelWidth` wide, then the control.
QWidget *labelledRow(const QString &label, QWidget *control, QWidget *parent,
                     QWidget *trailing = nullptr)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(label, row);
    caption->setFixedWidth(labelWidth);
    layout->addWidget(caption);
    control->setParent(row);
    layout->addWidget(control, 1);
    if (trailing) {
        trailing->setParent(row);
        layout->addWidget(trailing);
    }
    return row;
}

template <typename E> QComboBox *picker(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    for (E value : allCases<E>())
        box->addItem(rawValue(value));
    return box;
}

QString percentText(double quality)
{
    return QString::number(std::lround(quality * 100)) + u'%';
}

} // namespace

ImageImportOptionsSheet::ImageImportOptionsSheet(ImageImportCoordinator &coordinator,
                                                 WorkspaceModel &workspace, QWidget *window)
    : SheetDialog(window, [&coordinator] { coordinator.cancel(); }), coordinator_(coordinator),
      workspace_(workspace)
{
    setObjectName(u"ImageImportOptionsSheet"_s);
    // Scrolling the sheet changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    setWindowTitle(u"Add Image"_s);
    setFixedWidth(sheetWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(12);

    QLabel *title = sheetTitle(u"Add Image"_s, this);
    title->setObjectName(u"imageImport.title"_s);
    column->addWidget(title);

    fileName_ = CardText::note({}, this);
    fileName_->setObjectName(u"imageImport.fileName"_s);
    fileName_->setTextFormat(Qt::PlainText);
    column->addWidget(fileName_);

    sizePicker_ = picker<SizeMode>(u"imageImport.size"_s, this);
    column->addWidget(labelledRow(u"Size"_s, sizePicker_, this));

    maxDimension_ = new QSpinBox;
    maxDimension_->setObjectName(u"imageImport.maxDimension"_s);
    maxDimension_->setRange(50, 4000);
    maxDimension_->setSingleStep(50);
    maxDimension_->setSuffix(u" px"_s);
    maxDimension_->setKeyboardTracking(false);
    // The toggle belongs to the resize choices: it shows and hides with the stepper's row.
    maxDimensionRow_ = new QWidget(this);
    auto *resizeColumn = new QVBoxLayout(maxDimensionRow_);
    resizeColumn->setContentsMargins(0, 0, 0, 0);
    resizeColumn->setSpacing(8);
    resizeColumn->addWidget(labelledRow(u"Max Dimension"_s, maxDimension_, maxDimensionRow_));
    aspect_ = new QCheckBox(u"Preserve Aspect Ratio"_s, maxDimensionRow_);
    aspect_->setObjectName(u"imageImport.preserveAspectRatio"_s);
    resizeColumn->addWidget(aspect_);
    column->addWidget(maxDimensionRow_);

    formatPicker_ = picker<FormatMode>(u"imageImport.format"_s, this);
    column->addWidget(labelledRow(u"Format"_s, formatPicker_, this));

    jpegQuality_ = new QSlider(Qt::Horizontal);
    jpegQuality_->setObjectName(u"imageImport.jpegQuality"_s);
    jpegQuality_->setRange(30, 100);
    jpegQualityLabel_ = new QLabel;
    jpegQualityLabel_->setObjectName(u"imageImport.jpegQualityValue"_s);
    jpegQualityLabel_->setMinimumWidth(fontMetrics().horizontalAdvance(u"100%"_s));
    jpegQualityLabel_->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    jpegRow_ = labelledRow(u"JPEG Quality"_s, jpegQuality_, this, jpegQualityLabel_);
    column->addWidget(jpegRow_);

    errorRow_ = new QWidget(this);
    errorRow_->setObjectName(u"imageImport.error"_s);
    auto *errorLayout = new QHBoxLayout(errorRow_);
    errorLayout->setContentsMargins(0, 0, 0, 0);
    errorLayout->setSpacing(6);
    errorIcon_ = new QLabel(errorRow_);
    errorIcon_->setProperty(SymbolIcons::symbolProperty, errorSymbol.toString());
    errorIcon_->setAlignment(Qt::AlignTop);
    errorLabel_ = new QLabel(errorRow_);
    errorLabel_->setFont(CardText::sized(font(), CardText::captionPointSize));
    errorLabel_->setWordWrap(true);
    errorLabel_->setObjectName(u"imageImport.errorMessage"_s);
    errorLabel_->setTextFormat(Qt::PlainText);
    errorLayout->addWidget(errorIcon_);
    errorLayout->addWidget(errorLabel_, 1);
    column->addWidget(errorRow_);

    // While the picture is decoded: a bar that runs without an end, and what is being done.
    progressRow_ = new QWidget(this);
    progressRow_->setObjectName(u"imageImport.progress"_s);
    auto *progressLayout = new QHBoxLayout(progressRow_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    auto *progressBar = new QProgressBar(progressRow_);
    progressBar->setRange(0, 0);
    progressBar->setTextVisible(false);
    progressBar->setMaximumHeight(fontMetrics().height());
    auto *progressText = CardText::note(u"Preparing the picture\u2026"_s, progressRow_);
    progressText->setObjectName(u"imageImport.progressText"_s);
    progressLayout->addWidget(progressText);
    progressLayout->addWidget(progressBar, 1);
    column->addWidget(progressRow_);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = new QPushButton(u"Cancel"_s, this);
    cancel_->setObjectName(u"imageImport.cancel"_s);
    cancel_->setAutoDefault(false);
    import_ = new QPushButton(u"Import"_s, this);
    import_->setObjectName(u"imageImport.import"_s);
    import_->setDefault(true);
    buttons->addWidget(cancel_);
    buttons->addWidget(import_);
    column->addLayout(buttons);

    connect(sizePicker_, &QComboBox::activated, this, [this](int index) {
        const QList<SizeMode> cases = allCases<SizeMode>();
        if (index >= 0 && index < cases.size())
            changeOptions([&](ImageImportOptions &o) { o.sizeMode = cases.at(index); });
    });
    connect(maxDimension_, &QSpinBox::valueChanged, this, [this](int value) {
        changeOptions([&](ImageImportOptions &o) { o.maxDimension = value; });
    });
    connect(aspect_, &QCheckBox::toggled, this, [this](bool on) {
        changeOptions([&](ImageImportOptions &o) { o.preserveAspectRatio = on; });
    });
    connect(formatPicker_, &QComboBox::activated, this, [this](int index) {
        const QList<FormatMode> cases = allCases<FormatMode>();
        if (index >= 0 && index < cases.size())
            changeOptions([&](ImageImportOptions &o) { o.formatMode = cases.at(index); });
    });
    connect(jpegQuality_, &QSlider::valueChanged, this, [this](int value) {
        changeOptions([&](ImageImportOptions &o) { o.jpegQuality = value / 100.0; });
    });
    connect(cancel_, &QPushButton::clicked, this, &ImageImportOptionsSheet::cancel);
    connect(import_, &QPushButton::clicked, this, &ImageImportOptionsSheet::performImport);
    connect(&coordinator_, &ImageImportCoordinator::pendingChanged, this,
            &ImageImportOptionsSheet::followPending);
    connect(&coordinator_, &ImageImportCoordinator::optionsChanged, this,
            &ImageImportOptionsSheet::showOptions);
    connect(&coordinator_, &ImageImportCoordinator::errorMessageChanged, this,
            &ImageImportOptionsSheet::showError);
    connect(&coordinator_, &ImageImportCoordinator::busyChanged, this,
            &ImageImportOptionsSheet::showBusy);
    paintErrorIcon();
    showOptions();
    showError();
    showBusy();
    followPending();
}

void ImageImportOptionsSheet::performImport()
{
    if (DocumentStore *store = workspace_.activeStore())
        coordinator_.performImport(*store);
}

void ImageImportOptionsSheet::cancel()
{
    coordinator_.cancel();
}

template <typename Change> void ImageImportOptionsSheet::changeOptions(Change change)
{
    ImageImportOptions options = coordinator_.options();
    change(options);
    coordinator_.setOptions(options);
}

void ImageImportOptionsSheet::followPending()
{
    const auto &pending = coordinator_.pending();
    if (!pending) {
        shownID_ = {};
        setShown(false);
        return;
    }
    if (pending->id != shownID_) {
        shownID_ = pending->id;
        fileName_->setText(pending->sourceURL.fileName());
        showOptions();
        showError();
    }
    setShown(true);
}

void ImageImportOptionsSheet::showOptions()
{
    const ImageImportOptions &options = coordinator_.options();
    const QSignalBlocker blockSize(sizePicker_), blockMax(maxDimension_), blockAspect(aspect_),
        blockFormat(formatPicker_), blockQuality(jpegQuality_);
    sizePicker_->setCurrentIndex(int(allCases<SizeMode>().indexOf(options.sizeMode)));
    if (std::isfinite(options.maxDimension))
        maxDimension_->setValue(int(std::lround(options.maxDimension)));
    aspect_->setChecked(options.preserveAspectRatio);
    formatPicker_->setCurrentIndex(int(allCases<FormatMode>().indexOf(options.formatMode)));
    if (std::isfinite(options.jpegQuality))
        jpegQuality_->setValue(int(std::lround(options.jpegQuality * 100)));
    jpegQualityLabel_->setText(percentText(options.jpegQuality));
    maxDimensionRow_->setVisible(options.sizeMode == SizeMode::resize);
    jpegRow_->setVisible(options.formatMode == FormatMode::jpeg);
    fitHeight();
}

void ImageImportOptionsSheet::showError()
{
    const std::optional<QString> &message = coordinator_.errorMessage();
    errorLabel_->setText(message.value_or(QString()));
    errorRow_->setVisible(message.has_value());
    fitHeight();
}

void ImageImportOptionsSheet::showBusy()
{
    const bool busy = coordinator_.isBusy();
    progressRow_->setVisible(busy);
    import_->setEnabled(!busy);
    for (QWidget *choice : {static_cast<QWidget *>(sizePicker_), maxDimensionRow_,
                            static_cast<QWidget *>(formatPicker_), jpegRow_})
        choice->setEnabled(!busy);
    fitHeight();
}

void ImageImportOptionsSheet::fitHeight()
{
    // The sheet grows and shrinks with the rows it shows; its width stays.
    layout()->activate();
    setFixedHeight(layout()->hasHeightForWidth() ? layout()->heightForWidth(sheetWidth)
                                                 : layout()->sizeHint().height());
}

void ImageImportOptionsSheet::paintErrorIcon()
{
    const QColor color = CardText::warningColor(palette());
    const int side = errorLabel_->fontMetrics().height();
    errorIcon_->setPixmap(SymbolIcons::tintedPixmap(errorSymbol.toString(), QSize(side, side),
                                                    devicePixelRatioF(), color));
    QPalette labelPalette = errorLabel_->palette();
    labelPalette.setColor(QPalette::WindowText, color);
    errorLabel_->setPalette(labelPalette);
}

void ImageImportOptionsSheet::changeEvent(QEvent *event)
{
    SheetDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintErrorIcon();
}
