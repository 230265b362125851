#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

#include <QStringList>

class QComboBox;
class QLabel;

// The evaluation time picker and, only while the element's time is "Group", the row of the
// report's groups. The picker offers what the engine takes for the element's kind: "Group" only
// while the report has groups, and for a subreport nothing but "Now" (besides a time its file
// spelled, so that the file's value shows). Choosing a time writes the time; choosing "Group"
// also stores the group the row shows when the element holds none of the report's groups, so
// that the file names the group the engine needs.
class EvaluationTimeControls : public QWidget {
    Q_OBJECT

public:
    // `prefix` names the controls: "<prefix>.evaluationTime", "<prefix>.group", the row
    // "<prefix>.groupRow" and the note "<prefix>.note".
    EvaluationTimeControls(const ElementWriter &writer, const QString &prefix,
                           QWidget *parent = nullptr);

    void refresh(const ReportElement &element, const ReportDocument &document);

private:
    void choose(const QString &time);

    ElementWriter writer_;
    QComboBox *time_;
    QLabel *note_;
    QWidget *groupRow_;
    QComboBox *group_;
    QStringList shownTimes_;
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
