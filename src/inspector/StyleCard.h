#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

class QComboBox;

// The "Style" card: a picker of the report's styles, with an entry for no style. Choosing a
// style names it on the element and copies its formatting; choosing no style removes the name
// and keeps the formatting.
class StyleCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    StyleCard(const ElementWriter &writer, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

    QComboBox *picker() const { return picker_; }

private:
    void choose(int index);

    ElementWriter writer_;
    QComboBox *picker_;
    // The styles the entries were made for, by id and name.
    QList<std::pair<QUuid, QString>> shownStyles_;
};
