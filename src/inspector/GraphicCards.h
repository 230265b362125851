#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/InspectorPage.h"
#include "inspector/SectionCard.h"

#include <QPointer>

class ColorRow;
class ExpressionBuilderButton;
class ImageImportCoordinator;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The cards of an element's images, breaks, shapes and fills. Each is built once for its
// element and shows new values in place; every write changes the one value its control edits
// in the element as the store holds it at that moment.

// The "Image Expression" card: the expression, a browse button that imports an image file
// through the window's image import, and the expression builder.
class ImageCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    ImageCard(const ElementWriter &writer, const QString &title, const InspectorContext &context,
              QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    // Asks for an image file and imports it through the window's image import.
    void browseForImage();
    void write(const QString &expression);

    ElementWriter writer_;
    QPointer<ImageImportCoordinator> imageImport_;
    QLineEdit *expression_;
    QToolButton *browse_;
    ExpressionBuilderButton *builder_;
};

// The "Break" card: page or column, and what the break does.
class BreakCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    BreakCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    ElementWriter writer_;
    QComboBox *picker_;
    QLabel *explanation_;
};

// The "Style" card of a rectangle, ellipse or line: line width, stroke and (not for a line)
// fill.
class ShapeCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    static constexpr double maximumLineWidth = 20;
    static constexpr double lineWidthStep = 0.5;

    ShapeCard(const ElementWriter &writer, const QString &title, bool withFill,
              QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    ElementWriter writer_;
    QDoubleSpinBox *lineWidth_;
    ColorRow *stroke_;
    ColorRow *fill_ = nullptr;
};

// The "Fill" card of a frame: its background colour.
class FillCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    FillCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    ColorRow *fill_;
};
