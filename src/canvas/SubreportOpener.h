#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class AppSettings;
class Dialogs;
class DocumentStore;
class WorkspaceModel;

// Opens the report file that a subreport element's expression names, beside the master report,
// or creates it in a new tab when there is none. Every failure is shown in an alert titled
// "Can't Open Subreport"; failures with an error are printed on standard output as well.
class SubreportOpener {
public:
    enum class Outcome {
        // An alert said why nothing was opened (or the created tab could not be saved).
        failed,
        // A report in the master's folder whose name matches, ignoring case.
        openedExisting,
        // The file of the expression's name in the master's folder.
        openedCandidate,
        // A new report saved under the expression's name.
        created,
    };

    SubreportOpener(DocumentStore &store, WorkspaceModel &workspace, AppSettings &settings,
                    Dialogs &dialogs);

    Outcome openSubreport(const QString &expression);

    // The names in a folder in listing order, or no value when it cannot be listed; tests
    // replace it to see a listing fail.
    using FolderLister = std::function<std::optional<QStringList>(const QString &folder)>;
    void setFolderLister(FolderLister lister) { listFolder_ = std::move(lister); }
    static std::optional<QStringList> listFolder(const QString &folder);

private:
    void alert(const QString &informativeText, bool print);

    DocumentStore &store_;
    WorkspaceModel &workspace_;
    AppSettings &settings_;
    Dialogs &dialogs_;
    FolderLister listFolder_ = &SubreportOpener::listFolder;
};
