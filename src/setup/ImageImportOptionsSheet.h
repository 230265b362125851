#pragma once

#include "widgets/SheetDialog.h"

#include <QUuid>

class ImageImportCoordinator;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class WorkspaceModel;

// The "Add Image" sheet: how the picture of the pending import is stored (kept or shrunk,
// kept or re-encoded), any failure of the last attempt, and Cancel and Import. It is shown
// while the coordinator holds a pending import, and Import runs it against the active tab's
// report. A new import replaces the one shown, with fresh options. While the picture is resized or
// converted, the sheet shows that it works and takes no other choice or Import; Cancel (or closing
// the sheet) ends the import and drops its picture.
class ImageImportOptionsSheet : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int sheetWidth = 380;

    ImageImportOptionsSheet(ImageImportCoordinator &coordinator, WorkspaceModel &workspace,
                            QWidget *window);

    // The sheet's Import and Cancel.
    void performImport();
    void cancel();

    QLabel *fileNameLabel() const { return fileName_; }
    QComboBox *sizePicker() const { return sizePicker_; }
    QWidget *maxDimensionRow() const { return maxDimensionRow_; }
    QSpinBox *maxDimensionStepper() const { return maxDimension_; }
    QCheckBox *aspectToggle() const { return aspect_; }
    QComboBox *formatPicker() const { return formatPicker_; }
    QWidget *jpegQualityRow() const { return jpegRow_; }
    QSlider *jpegQualitySlider() const { return jpegQuality_; }
    QLabel *jpegQualityLabel() const { return jpegQualityLabel_; }
    QWidget *errorRow() const { return errorRow_; }
    QLabel *errorLabel() const { return errorLabel_; }
    QWidget *progressRow() const { return progressRow_; }
    QPushButton *importButton() const { return import_; }
    QPushButton *cancelButton() const { return cancel_; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void followPending();
    void showOptions();
    void showError();
    void showBusy();
    void fitHeight();
    void paintErrorIcon();
    template <typename Change> void changeOptions(Change change);

    ImageImportCoordinator &coordinator_;
    WorkspaceModel &workspace_;
    QUuid shownID_;
    QLabel *fileName_ = nullptr;
    QComboBox *sizePicker_ = nullptr;
    QWidget *maxDimensionRow_ = nullptr;
    QSpinBox *maxDimension_ = nullptr;
    QCheckBox *aspect_ = nullptr;
    QComboBox *formatPicker_ = nullptr;
    QWidget *jpegRow_ = nullptr;
    QSlider *jpegQuality_ = nullptr;
    QLabel *jpegQualityLabel_ = nullptr;
    QWidget *errorRow_ = nullptr;
    QLabel *errorIcon_ = nullptr;
    QLabel *errorLabel_ = nullptr;
    QWidget *progressRow_ = nullptr;
    QPushButton *import_ = nullptr;
    QPushButton *cancel_ = nullptr;
};
