#include "setup/NewReportWizardSheet.h"

#include "setup/NewReportWizardView.h"
#include "workspace/WorkspaceModel.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

NewReportWizardSheet::NewReportWizardSheet(WorkspaceModel &workspace, AppSettings &settings,
                                           QWidget *window)
    : SheetDialog(window, [&workspace] { workspace.setIsNewReportWizardVisible(false); }),
      workspace_(workspace), settings_(settings)
{
    setObjectName(u"NewReportWizardSheet"_s);
    setWindowTitle(u"New Report"_s);
    setIsWorkspaceSheet(true);
    setMinimumSize(NewReportWizardView::minimumWidth, NewReportWizardView::minimumHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    connect(&workspace_, &WorkspaceModel::isNewReportWizardVisibleChanged, this,
            &NewReportWizardSheet::follow);
}

NewReportWizardView *NewReportWizardSheet::view() const
{
    return qobject_cast<NewReportWizardView *>(content());
}

void NewReportWizardSheet::follow()
{
    if (!workspace_.isNewReportWizardVisible()) {
        closeAndDiscard();
        return;
    }
    if (isVisible())
        return;
    openWith(new NewReportWizardView(workspace_, settings_, this),
             {NewReportWizardView::idealWidth, NewReportWizardView::idealHeight});
}
