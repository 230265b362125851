#pragma once

#include <QList>
#include <QWidget>

class AppSettings;
class MeasurementField;
class NewReportChoiceCard;
class NewReportStylesCard;
class NewReportWizardState;
class QPushButton;
class WorkspaceModel;

// The "New Report" sheet's content: the paper (a preset or a custom size), a starter header and
// the first styles, then Cancel and Create. It starts from the preferred default page size and
// reads the styles of the recent reports once, when it is made; the shell makes a new one for
// every showing. Create opens the new report in a new active tab and closes the sheet.
class NewReportWizardView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 480;
    static constexpr int minimumHeight = 460;
    static constexpr int idealWidth = 560;
    static constexpr int idealHeight = 560;
    // The preset grid's columns: at least this wide, and the cards at most 120 points wide.
    static constexpr int presetColumnWidth = 96;
    static constexpr int presetCardMaximumWidth = 120;

    NewReportWizardView(WorkspaceModel &workspace, AppSettings &settings,
                        QWidget *parent = nullptr);

    NewReportWizardState &state() const { return *state_; }

    void create();
    void cancel();

    const QList<NewReportChoiceCard *> &presetCards() const { return presetCards_; }
    const QList<NewReportChoiceCard *> &headerSwatches() const { return swatches_; }
    QWidget *customSizeRow() const { return customRow_; }
    MeasurementField *widthField() const { return width_; }
    MeasurementField *heightField() const { return height_; }
    NewReportStylesCard *stylesCard() const { return styles_; }
    QPushButton *cancelButton() const { return cancel_; }
    QPushButton *createButton() const { return create_; }

private:
    QWidget *buildContent();
    void showChoices();

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    NewReportWizardState *state_;
    QList<NewReportChoiceCard *> presetCards_;
    QList<NewReportChoiceCard *> swatches_;
    QWidget *customRow_ = nullptr;
    MeasurementField *width_ = nullptr;
    MeasurementField *height_ = nullptr;
    NewReportStylesCard *styles_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QPushButton *create_ = nullptr;
};
