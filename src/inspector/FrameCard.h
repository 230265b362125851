#pragma once

#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

class AppSettings;
class LengthRow;
class QComboBox;

// The "Frame" card: the element's place and size in the user's unit, stored in points exactly
// as committed (no snapping; only what the page can hold, see LengthLimits), and how it moves
// and stretches with its band.
class FrameCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    FrameCard(const ElementWriter &writer, const ReportElement &element, AppSettings &settings,
              QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    LengthRow *lengthRow(const QString &label, const QString &name, double points,
                         double ReportElement::*field, LengthLimits::ElementLength which,
                         AppSettings &settings);
    // The place and size the element has.
    void showLengths(const ReportElement &element);

    ElementWriter writer_;
    LengthRow *x_;
    LengthRow *y_;
    LengthRow *width_;
    LengthRow *height_;
    QComboBox *position_;
    QComboBox *stretch_;
};
