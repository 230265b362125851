#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

#include <optional>

class ColorRow;
class EvaluationTimeControls;
class ExpressionBuilderButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class PlainTextEdit;
class SidecarModel;
class TextRow;

// The cards of what a text element says and how its text is treated. Each is built once for
// its element and shows new values in place; every write changes the one value its control
// edits in the element as the store holds it at that moment.

// The "Text" card of a static text: its text in a multi-line editor.
class StaticTextCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    StaticTextCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    ElementWriter writer_;
    PlainTextEdit *editor_;
    // The text the editor last wrote, until the next refresh.
    QString written_;
};

// The "Expression" card of a text field: the expression, typed or built, and a hint.
class TextFieldExpressionCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    TextFieldExpressionCard(const ElementWriter &writer, const QString &title,
                            SidecarModel *sidecar, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    void write(const QString &expression);

    ElementWriter writer_;
    PlainTextEdit *editor_;
    // The text the editor last wrote, until the next refresh.
    QString written_;
    ExpressionBuilderButton *builder_;
    // The expression to show once the builder's sheet closes.
    std::optional<QString> heldExpression_;
};

// The "Format" card of a text field: pattern, blank when null, evaluation, what happens when
// the text overflows, hyperlink.
class FormatCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    FormatCard(const ElementWriter &writer, const QString &title, SidecarModel *sidecar,
               QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    void writeHyperlink(const QString &text);

    ElementWriter writer_;
    TextRow *pattern_;
    QCheckBox *blankWhenNull_;
    EvaluationTimeControls *evaluation_;
    QComboBox *overflow_;
    QLineEdit *hyperlink_;
    ExpressionBuilderButton *hyperlinkBuilder_;
};

// The markup and colours of a text element.
class FontCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    FontCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    ElementWriter writer_;
    QComboBox *markup_;
    ColorRow *text_;
    ColorRow *highlight_;
};

// A colour row of the element's text or stroke colour (`foreColor`) or its fill
// (`backColor`), written through the card's writer.
ColorRow *elementColorRow(const QString &label, const QString &name,
                          std::optional<ElementColor> ReportElement::*field,
                          const ElementWriter &writer, QWidget *parent);
