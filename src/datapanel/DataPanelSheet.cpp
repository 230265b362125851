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
    setEditsActiveReport(true);
    setMinimumSize(DataPanelView::minimumPanelWidth, DataPanelView::minimumPanelHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    connect(&workspace_, &WorkspaceModel::isDataPanelVisibleChanged, this, &DataPanelSheet::follow);
}

DataPanelView *DataPanelSheet::view() const
{
    return qobject_cast<DataPanelView *>(content());
}

void DataPanelSheet::follow()
{
    if (!workspace_.isDataPanelVisible()) {
        closeAndDiscard();
        return;
    }
    if (isVisible())
        return;
    DocumentStore *store = workspace_.activeStore();
    if (!store) {
        workspace_.setIsDataPanelVisible(false);
        return;
    }
    openWith(new DataPanelView(
                 store, settings_, sidecar_, connections_,
                 [this] { workspace_.setIsDataPanelVisible(false); }, this,
                 dialogs_ ? &asking_ : nullptr),
             {DataPanelView::idealWidth, DataPanelView::idealHeight});
}

int DataPanelSheet::Asking::runAlert(const AlertRequest &request)
{
    const int answer = sheet_.dialogs_->runAlert(request);
    sheet_.setFocus(Qt::OtherFocusReason);
    return answer;
}

QList<QUrl> DataPanelSheet::Asking::runOpenPanel(const FilePanelRequest &request)
{
    return sheet_.dialogs_->runOpenPanel(request);
}

std::optional<QUrl> DataPanelSheet::Asking::runSavePanel(const FilePanelRequest &request)
{
    return sheet_.dialogs_->runSavePanel(request);
}

int DataPanelSheet::Asking::runTextAlert(const AlertRequest &request, QString &text)
{
    return sheet_.dialogs_->runTextAlert(request, text);
}
