#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

class ColorRow;
class ExpressionBuilderButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
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
    QPlainTextEdit *editor_;
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
    QPlainTextEdit *editor_;
    ExpressionBuilderButton *builder_;
};

// The evaluation time picker and, only while the element's time is "Group", the row of the
// report's groups. Choosing a time writes only the time; the group row shows the first group
// while none is stored, and stores a group only when the user picks one.
class EvaluationTimeControls : public QWidget {
    Q_OBJECT

public:
    // `prefix` names the controls: "<prefix>.evaluationTime", "<prefix>.group" and the row
    // "<prefix>.groupRow".
    EvaluationTimeControls(const ElementWriter &writer, const QString &prefix,
                           QWidget *parent = nullptr);

    void refresh(const ReportElement &element, const ReportDocument &document);

private:
    ElementWriter writer_;
    QComboBox *time_;
    QWidget *groupRow_;
    QComboBox *group_;
    QStringList shownGroups_;
};

// The "Evaluation" card of an image or subreport: the evaluation time controls alone.
class EvaluationCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    EvaluationCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    EvaluationTimeControls *controls_;
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
