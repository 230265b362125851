#include "app/PreviewRun.h"

#include "document/DocumentStore.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/LiveConnection.h"
#include "engine/PDFSizeLimit.h"
#include "engine/SidecarModel.h"
#include "setup/ReportBookChapters.h"
#include "widgets/Dialogs.h"
#include "workspace/WorkspaceModel.h"

#include <QPointer>

using namespace Qt::StringLiterals;

PreviewRun::PreviewRun(WorkspaceModel &workspace, SidecarModel &engine,
                       ConnectionPresetStore &connections, Dialogs &dialogs,
                       const ReportBookChapters *books)
    : workspace_(workspace), engine_(engine), connections_(connections), dialogs_(dialogs),
      books_(books)
{
}

PDFSizeLimit::Ask PreviewRun::pageSizeQuestion(Dialogs &dialogs)
{
    return [&dialogs](const QString &message, const QString &informativeText,
                      const QStringList &buttons) {
        AlertRequest alert{AlertRequest::Style::warning, message, informativeText, {}};
        for (const QString &title : buttons)
            alert.buttons.append({title, title == u"Cancel"_s ? AlertRequest::Role::cancel
                                                              : AlertRequest::Role::normal});
        return dialogs.runAlert(alert);
    };
}

void PreviewRun::start()
{
    DocumentStore *active = workspace_.activeStore();
    if (!PDFSizeLimit::confirmIfExceeded(active->document(), pageSizeQuestion(dialogs_)))
        return;
    active->saveIfNeededBeforeCompile();

    const QList<OpenTab> others = openTabs(workspace_, active);

    // The prompt may stay open while the user switches tabs: the run keeps to its own report.
    QPointer<DocumentStore> store = active;
    QPointer<SidecarModel> engine = &engine_;
    QPointer<ConnectionPresetStore> connections = &connections_;
    workspace_.promptForParameterValues(active, [store, engine, connections, others,
                                                 books = books_](
                                                    const WorkspaceModel::ParameterValues &values) {
        if (!store || !engine || !connections)
            return;
        const std::optional<LiveConnection> live = resolveLiveConnection(*store, *connections);
        // The wait for the keyring may have been called off, and the tab closed meanwhile.
        if (calledOff(live) || !store || !engine)
            return;
        engine->compileAndPreview(engineDocument(*store, books, others, live.has_value()),
                                  store->fileURL(), others, values, live,
                                  books ? books->chapterFiles(store->document(), store->fileURL())
                                        : QList<ChapterFile>());
        engine->setPreviewSession(PreviewSession{QUuid::createUuid()});
    });
}

QString PreviewRun::connectionLabel(const DocumentStore *store,
                                    const ConnectionPresetStore &connections)
{
    if (store && store->activeConnectionID()) {
        for (const DatabaseConnection &preset : connections.connections()) {
            if (preset.id == *store->activeConnectionID())
                return u"Data: live ("_s + preset.name + u')';
        }
    }
    return u"Data: test data (no connection - choose one with the Data button, under Database "
           u"Connections)"_s;
}

QList<OpenTab> PreviewRun::openTabs(const WorkspaceModel &workspace, const DocumentStore *except)
{
    QList<OpenTab> tabs;
    for (const DocumentStore *tab : workspace.tabs()) {
        if (!except || tab->id() != except->id())
            tabs.append({tab->document(), tab->fileURL()});
    }
    return tabs;
}

ReportDocument PreviewRun::engineDocument(const DocumentStore &store,
                                          const ReportBookChapters *books,
                                          const QList<OpenTab> &otherTabs, bool hasConnection)
{
    if (!books)
        return store.document();
    return books->forEngine(store.document(), store.fileURL(), hasConnection, otherTabs);
}
