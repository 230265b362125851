#pragma once

#include "widgets/SheetDialog.h"

class AppSettings;
class NewReportWizardView;
class WorkspaceModel;

// The window-modal "New Report" sheet. It follows the workspace's wizard flag by itself: when
// the flag turns true it builds a fresh wizard (new choices, the recent reports read again) and
// opens; when it turns false it closes and the wizard is discarded. Every way of closing clears
// the flag.
class NewReportWizardSheet : public SheetDialog {
    Q_OBJECT

public:
    NewReportWizardSheet(WorkspaceModel &workspace, AppSettings &settings, QWidget *window);

    // The wizard while the sheet is open; null otherwise.
    NewReportWizardView *view() const;

private:
    void follow();

    WorkspaceModel &workspace_;
    AppSettings &settings_;
};
