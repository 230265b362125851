#include "inspector/GraphicCards.h"

#include "editors/ExpressionBuilderButton.h"
#include "inspector/ColorRow.h"
#include "inspector/InspectorTexts.h"
#include "inspector/TextCards.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportService.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/HeldTyping.h"
#include "widgets/InspectorRows.h"
#include "widgets/SymbolIcons.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

using namespace Qt::StringLiterals;

ImageCard::ImageCard(const ElementWriter &writer, const QString &title,
                     const InspectorContext &context, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), imageImport_(context.imageImport),
      expression_(new QLineEdit(this)), browse_(new QToolButton(this))
{
    setObjectName(u"inspector.imageExpression"_s);
    expression_->setObjectName(u"inspector.imageExpression.expression"_s);
    EnteredTextValidator::install(expression_);
    expression_->setPlaceholderText(InspectorTexts::imageExpressionPlaceholder());
    connect(expression_, &QLineEdit::textEdited, this, &ImageCard::write);

    browse_->setObjectName(u"inspector.imageExpression.browse"_s);
    browse_->setIcon(SymbolIcons::icon(u"folder"_s));
    browse_->setProperty(SymbolIcons::symbolProperty, u"folder"_s);
    browse_->setToolTip(InspectorTexts::imageBrowseHelp());
    // The import runs through the window's image import; a window without one cannot import.
    browse_->setEnabled(context.imageImport != nullptr);
    connect(browse_, &QToolButton::clicked, this, &ImageCard::browseForImage);

    builder_ =
        new ExpressionBuilderButton(TextBinding{[this] { return expression_->text(); },
                                                [this](const QString &text) { write(text); }},
                                    ReportDocument{}, context.sidecar, this);
    builder_->setObjectName(u"inspector.imageExpression.builder"_s);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(expression_, 1);
    row->addWidget(browse_);
    row->addWidget(builder_);
    addLayout(row);
}

void ImageCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    if (const auto *image = element.kind.as<ElementKind::Image>())
        InspectorRows::showText(expression_, image->expression);
    builder_->setDocument(document);
}

void ImageCard::browseForImage()
{
    // Taken before the modal panel runs, during which this card may be rebuilt.
    const QPointer<ImageImportCoordinator> imageImport = imageImport_;
    // The expression of the stored copy goes into the image this card was built for, whose box
    // takes the picture's proportions.
    const QPointer<DocumentStore> store = writer_.store();
    auto completion = InspectorEdits::imageImportCompletion(
        writer_.store(), writer_.elementID(),
        [store](const QString &expression, const QSizeF &box) {
            return store ? ImageImportService::boxForPicture(box, expression, store->fileURL())
                         : box;
        });
    if (!imageImport)
        return;
    const std::optional<QUrl> file = imageImport->chooseImageFile();
    if (file && imageImport)
        imageImport->begin(*file, std::move(completion));
}

void ImageCard::write(const QString &expression)
{
    // An emptied field stores the empty expression: the element stays an image.
    writer_.updatePayload<ElementKind::Image>(
        [&](ElementKind::Image &image) { image.expression = expression; });
}

BreakCard::BreakCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), picker_(new QComboBox(this)),
      explanation_(InspectorRows::secondaryText({}, this))
{
    setObjectName(u"inspector.break"_s);
    picker_->setObjectName(u"inspector.break.picker"_s);
    WheelGuard::ignoreUnlessFocused(picker_);
    picker_->setAccessibleName(title);
    for (BreakType type : allCases<BreakType>())
        picker_->addItem(InspectorTexts::breakLabel(type));
    addWidget(picker_);
    explanation_->setObjectName(u"inspector.break.explanation"_s);
    addWidget(explanation_);
    connect(picker_, &QComboBox::activated, this, [this](int index) {
        const QList<BreakType> cases = allCases<BreakType>();
        const std::optional<ReportElement> element = writer_.current();
        const auto *shown = element ? element->kind.as<ElementKind::ReportBreak>() : nullptr;
        if (!shown || index < 0 || index >= cases.size() || shown->type == cases.at(index))
            return;
        writer_.updatePayload<ElementKind::ReportBreak>(
            [&](ElementKind::ReportBreak &payload) { payload.type = cases.at(index); });
    });
}

void BreakCard::refresh(const ReportElement &element, const ReportDocument &)
{
    const auto *payload = element.kind.as<ElementKind::ReportBreak>();
    if (!payload)
        return;
    InspectorRows::showIndex(picker_, allCases<BreakType>().indexOf(payload->type));
    explanation_->setText(InspectorTexts::breakExplanation(payload->type));
}

ShapeCard::ShapeCard(const ElementWriter &writer, const QString &title, bool withFill,
                     QWidget *parent)
    : SectionCard(title, parent), writer_(writer), lineWidth_(new QDoubleSpinBox(this))
{
    setObjectName(u"inspector.shape"_s);
    lineWidth_->setObjectName(u"inspector.shape.line"_s);
    WheelGuard::ignoreUnlessFocused(lineWidth_);
    lineWidth_->setRange(0, maximumLineWidth);
    lineWidth_->setSingleStep(lineWidthStep);
    lineWidth_->setDecimals(1);
    lineWidth_->setKeyboardTracking(false);
    lineWidth_->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    lineWidth_->setLocale(QLocale::c());
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(u"Line"_s, this);
    caption->setFixedWidth(LengthRow::labelWidth);
    row->addWidget(caption);
    row->addWidget(lineWidth_);
    row->addStretch(1);
    addLayout(row);
    connect(lineWidth_, &QDoubleSpinBox::valueChanged, this, [this](double width) {
        const std::optional<ReportElement> element = writer_.current();
        if (element && element->penWidth != width)
            writer_.update([&](ReportElement &e) { e.penWidth = width; });
    });
    // A width typed waits for Return or leaving the field.
    HeldTyping::install(lineWidth_->findChild<QLineEdit *>(),
                        [this] { return lineWidth_->textFromValue(lineWidth_->value()); });

    stroke_ = elementColorRow(u"Stroke"_s, u"inspector.shape.stroke"_s, &ReportElement::foreColor,
                              writer_, this);
    addWidget(stroke_);
    if (withFill) {
        fill_ = elementColorRow(u"Fill"_s, u"inspector.shape.fill"_s, &ReportElement::backColor,
                                writer_, this);
        addWidget(fill_);
    }
}

void ShapeCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    if (lineWidth_->value() != element.penWidth) {
        const QSignalBlocker blocker(lineWidth_);
        lineWidth_->setValue(element.penWidth);
    }
    stroke_->showColor(element.foreColor);
    if (fill_)
        fill_->showFill(element, document.styles);
}

FillCard::FillCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent), fill_(elementColorRow(u"Fill"_s, u"inspector.fill.fill"_s,
                                                        &ReportElement::backColor, writer, this))
{
    setObjectName(u"inspector.fill"_s);
    addWidget(fill_);
}

void FillCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    fill_->showFill(element, document.styles);
}
