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
    return view_;
}

void NewReportWizardSheet::follow()
{
    if (!workspace_.isNewReportWizardVisible()) {
        setShown(false);
        if (view_) {
            view_->hide();
            view_->deleteLater();
            view_ = nullptr;
        }
        return;
    }
    if (isVisible())
        return;
    delete view_;
    view_ = new NewReportWizardView(workspace_, settings_, this);
    layout()->addWidget(view_);
    resize(NewReportWizardView::idealWidth, NewReportWizardView::idealHeight);
    setShown(true);
}
