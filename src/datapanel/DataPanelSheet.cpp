#include "datapanel/DataPanelSheet.h"

#include "datapanel/DataPanelView.h"
#include "engine/SidecarModel.h"
#include "workspace/WorkspaceModel.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DataPanelSheet::DataPanelSheet(WorkspaceModel &workspace, AppSettings &settings,
                               SidecarModel *sidecar, QWidget *window)
    : SheetDialog(window, [&workspace] { workspace.setIsDataPanelVisible(false); }),
      workspace_(workspace), settings_(settings), sidecar_(sidecar)
{
    setObjectName(u"DataPanelSheet"_s);
    setIsWorkspaceSheet(true);
    setMinimumSize(DataPanelView::minimumPanelWidth, DataPanelView::minimumPanelHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    connect(&workspace_, &WorkspaceModel::isDataPanelVisibleChanged, this, &DataPanelSheet::follow);
}

DataPanelView *DataPanelSheet::view() const
{
    return view_;
}

void DataPanelSheet::follow()
{
    if (!workspace_.isDataPanelVisible()) {
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
    DocumentStore *store = workspace_.activeStore();
    if (!store) {
        workspace_.setIsDataPanelVisible(false);
        return;
    }
    if (view_)
        delete view_;
    view_ = new DataPanelView(
        store, settings_, sidecar_, connections_,
        [this] { workspace_.setIsDataPanelVisible(false); }, this);
    layout()->addWidget(view_);
    resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
    setShown(true);
}
