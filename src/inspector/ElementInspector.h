#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/InspectorPage.h"

class ElementPart;
class QLabel;
class QPushButton;

// The column for one selected element: a heading naming its kind, the Style card (when the
// report has styles), the Frame and Visibility cards, the parts its kind plans, and the button
// that deletes it. Built for one element, kind case and whether styles exist; every other change
// is shown in place.
class ElementInspector : public InspectorPage {
    Q_OBJECT

public:
    ElementInspector(const InspectorContext &context, const ReportElement &element,
                     const ReportDocument &document, QWidget *parent = nullptr);

    void refresh(const DocumentStore &store, const InspectorChoice &choice) override;

private:
    void show(const ReportElement &element, const ReportDocument &document);

    ElementWriter writer_;
    QLabel *heading_;
    QList<ElementPart *> parts_;
};
