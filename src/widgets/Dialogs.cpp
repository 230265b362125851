#include "widgets/Dialogs.h"

#include "workspace/ApplicationIdentity.h"

void Dialogs::presentError(const QString &description)
{
    runAlert({AlertRequest::Style::warning, quillmark::applicationName, description, {}});
}

SavePanel Dialogs::storeSavePanel()
{
    return [this](const SavePanelRequest &request) {
        FilePanelRequest panel;
        panel.message = request.message;
        panel.proposedFileName = request.proposedFileName;
        if (!request.fileExtension.isEmpty())
            panel.fileExtensions = {request.fileExtension};
        return runSavePanel(panel);
    };
}
