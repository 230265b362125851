#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

class ExpressionBuilderButton;
class QLineEdit;
class SidecarModel;

// The "Visibility" card: the print-when expression, typed or built in the expression builder.
// Every keystroke writes; an emptied text leaves the element without an expression.
class VisibilityCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    VisibilityCard(const ElementWriter &writer, const ReportDocument &document,
                   SidecarModel *sidecar, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

    QLineEdit *expressionField() const { return expression_; }
    ExpressionBuilderButton *builderButton() const { return builder_; }

private:
    void write(const QString &text);

    ElementWriter writer_;
    QLineEdit *expression_;
    ExpressionBuilderButton *builder_;
};
