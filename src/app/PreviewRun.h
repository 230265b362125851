#pragma once

#include "engine/PDFSizeLimit.h"
#include "engine/SidecarModelTypes.h"

#include <QList>
#include <QString>

class ConnectionPresetStore;
class Dialogs;
class DocumentStore;
class ReportBookChapters;
class SidecarModel;
class WorkspaceModel;

// The one way a report is compiled, filled and shown as a PDF in the window: the page-size
// question, the save of a report that has a file, the other open tabs, the parameter prompt, the
// live connection, the engine run and a new preview session, in that order.
class PreviewRun {
public:
    // `books`, when given, tells where the chapters of the report books lie.
    PreviewRun(WorkspaceModel &workspace, SidecarModel &engine, ConnectionPresetStore &connections,
               Dialogs &dialogs, const ReportBookChapters *books = nullptr);

    // Starts a run of the active report. Everything after the prompt concerns the report the run
    // started with, whichever tab is active when the prompt is confirmed; when that report's tab
    // has been closed by then, nothing runs.
    void start();

    // The page-size question of a preview or an export, put through `dialogs`. "Cancel" has the
    // cancel role, so Escape and the alert's close button choose it too.
    static PDFSizeLimit::Ask pageSizeQuestion(Dialogs &dialogs);

    // Where a report takes its data from: the chosen preset by name, else the test data.
    static QString connectionLabel(const DocumentStore *store,
                                   const ConnectionPresetStore &connections);

    // What the engine is told of the open tabs: each one's report and file, in tab order, leaving
    // out `except`.
    static QList<OpenTab> openTabs(const WorkspaceModel &workspace,
                                   const DocumentStore *except = nullptr);

    // The report the engine is given for `store`'s: a report book's chapters named where they
    // lie and, with a live connection, those with a query run on it (see ReportBookChapters).
    static ReportDocument engineDocument(const DocumentStore &store,
                                         const ReportBookChapters *books,
                                         const QList<OpenTab> &otherTabs, bool hasConnection);

private:
    WorkspaceModel &workspace_;
    SidecarModel &engine_;
    ConnectionPresetStore &connections_;
    Dialogs &dialogs_;
    const ReportBookChapters *books_;
};
