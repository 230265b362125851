#pragma once

#include "datapanel/PanelInnerSheet.h"
#include "model/ReportBand.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QWidget>
#include <functional>
#include <optional>

class AppSettings;
class DataPanelView;
class DocumentStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class SheetDialog;

// What the Generate Columns sheet has chosen while it exists: the ticked fields and the detail
// band that receives the text fields (none: the first detail band).
struct GenerateColumnsSelection {
    QSet<QUuid> selectedIDs;
    std::optional<BandTarget> detailTarget;
};

// The content of the "Generate Columns from Fields" sheet: a checkbox per declared field, the
// target detail band when the report has several, and Generate, which lays the ticked fields
// out in document order through the store as one undo step.
class GenerateColumnsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int sheetWidth = 420;
    static constexpr int listMaximumHeight = 220;

    GenerateColumnsView(DocumentStore *store, AppSettings &settings,
                        std::function<void()> onDismiss, QWidget *parent = nullptr);

    // Called each time the sheet is shown: with nothing ticked, every declared field is ticked.
    void showing();
    // Shows the store's fields and detail bands, keeping the ticks and the band choice.
    void refresh();
    // Lays out the ticked fields, then dismisses; where the page cannot hold the layout, adds
    // nothing and stays, saying why (refusal()).
    void generate();

    GenerateColumnsSelection &selection() { return selection_; }
    const QList<QCheckBox *> &fieldBoxes() const { return boxes_; }
    QWidget *bandRow() const { return bandRow_; }
    QComboBox *bandPicker() const { return bandPicker_; }
    QLabel *emptyText() const { return emptyText_; }
    // Shown for a report of parts, which takes no columns; Generate is then disabled.
    QLabel *partsText() const { return partsText_; }
    QPushButton *selectAllButton() const { return selectAll_; }
    QPushButton *selectNoneButton() const { return selectNone_; }
    QPushButton *cancelButton() const { return cancel_; }
    QPushButton *generateButton() const { return generate_; }
    QLabel *refusal() const { return refusal_; }

private:
    void showSelection();

    QPointer<DocumentStore> store_;
    AppSettings &settings_;
    std::function<void()> onDismiss_;
    GenerateColumnsSelection selection_;
    QWidget *fieldsPart_;
    QPushButton *selectAll_;
    QPushButton *selectNone_;
    QScrollArea *scroll_;
    QVBoxLayout *fieldColumn_;
    QList<QCheckBox *> boxes_;
    QList<QUuid> boxIDs_;
    QWidget *bandRow_;
    QComboBox *bandPicker_;
    QLabel *emptyText_;
    QLabel *refusal_;
    QLabel *partsText_;
    QPushButton *cancel_;
    QPushButton *generate_;
};

// Shows the Generate Columns sheet over the data panel while the panel's
// GenerateColumnsSheetVisibility flag is on. The sheet keeps its selection while the panel
// lives; Cancel, Generate and any dismissal turn the flag off.
class GenerateColumnsSheet : public PanelInnerSheet {
    Q_OBJECT

public:
    // Follows the flag of that panel; owned by the panel.
    static GenerateColumnsSheet *follow(DataPanelView *panel);

    // Null until the sheet is first shown.
    GenerateColumnsView *view() const;

protected:
    QWidget *makeContent(SheetDialog *dialog) override;
    void dismissed() override;
    void showing() override;

private:
    explicit GenerateColumnsSheet(DataPanelView *panel);

    QPointer<GenerateColumnsView> view_;
};
