#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/BoxDiagram.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

class ColorWell;
class QComboBox;
class QLabel;
class StepperField;

// The "Padding" card: the padding diagram and a panel that edits every side chosen in it at
// once. The chosen sides are the inspector view's, so they stay chosen for the next element.
class PaddingCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    // Without a selection of the view's, the card keeps one of its own.
    PaddingCard(const ElementWriter &writer, const QString &title,
                PaddingSideSelectionState *selection, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    void showPanel();

    ElementWriter writer_;
    PaddingSideSelectionState *selection_;
    PaddingBoxDiagram *diagram_;
    QLabel *hint_;
    StepperField *stepper_;
    QLabel *caption_;
};

// The "Borders" card: the borders diagram, where a click on a side adds or removes its pen, and
// a panel that edits width, line style and colour of the pens of every side chosen. The card is
// made for one element and starts with that element's bordered sides chosen.
class BordersCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    BordersCard(const ElementWriter &writer, const QString &title, const ReportElement &element,
                QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

    BorderSideSelectionState *selection() const { return selection_; }

private:
    void showPanel();
    void write(const std::function<void(ReportElement &, const BoxSideSet &)> &change);

    ElementWriter writer_;
    BorderSideSelectionState *selection_;
    BorderBoxDiagram *diagram_;
    QLabel *hint_;
    QWidget *controls_;
    StepperField *width_;
    QComboBox *style_;
    ColorWell *colour_;
    QLabel *caption_;
};
