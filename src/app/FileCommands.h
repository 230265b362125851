#pragma once

#include "engine/ExportFormat.h"
#include "engine/SidecarModelTypes.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class AppSettings;
class ConnectionPresetStore;
class Dialogs;
class DocumentStore;
class ReportBookChapters;
class RequestCancel;
class QWidget;
class SidecarModel;
class WindowHistory;
class WorkspaceModel;
struct FilePanelRequest;
struct ReportDocument;

// The file, edit and view commands of the main window. The actions row and the menu bar both
// call these, so each command exists once. Everything runs on the main thread; the engine's
// compile and the zip run elsewhere and report back here.
class FileCommands : public QObject {
    Q_OBJECT

public:
    // Compiles one report into its compiled file and calls back with an error text or none.
    using CompileStep = std::function<void(const OpenTab &tab, QObject *context,
                                           std::function<void(const std::optional<QString> &)>)>;
    // Zips a folder into a file; throws on failure, and gives up once `cancelled` turns true.
    // Runs off the main thread.
    using ZipStep = std::function<void(const QString &directory, const QString &destination,
                                       const std::atomic<bool> &cancelled)>;

    FileCommands(WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs,
                 SidecarModel *engine, ConnectionPresetStore *connectionStore,
                 QObject *parent = nullptr);

    // The name a save panel proposes for a report: its name as one file name component
    // (`fileNameComponent`, "report" without a usable name) with ".jrxml".
    static QString proposedReportFileName(const ReportDocument &document);
    // The name proposed for an export: the base name of the report's file, else the report's
    // name as one file name component (`fileNameComponent`, "report" without a usable name), with
    // the extension.
    static QString proposedExportFileName(const ReportDocument &document,
                                          const std::optional<QUrl> &file, ExportFormat format);
    static QString exportTitle(ExportFormat format);

    DocumentStore *store() const;
    SidecarModel *engine() const { return engine_; }
    bool isEngineBusy() const;
    bool isZipping() const { return isZipping_; }
    // Ends a zip under way at once: no archive is written, and nothing is shown. Returns when
    // the zip has stopped.
    void cancelZip();

    // Where the report books made here note their chapters, for the engine to find them.
    void setReportBooks(ReportBookChapters *books) { books_ = books; }
    void setCompileStep(CompileStep step) { compileStep_ = std::move(step); }
    void setZipStep(ZipStep step) { zipStep_ = std::move(step); }

    // --- Files -------------------------------------------------------------------------------
    void openDocument();
    // Opens a report by path; a missing one gets the "Can't Find" alert (see ExplorerFileActions).
    void openRecent(const QString &path);
    void clearRecentFiles();
    void saveActiveDocument();
    void saveActiveDocumentAs();
    void saveAllDocuments();
    void compileAllDocuments();
    // Calls off the compile of all open reports that runs: the report being compiled is let go
    // (its engine too, so the next request starts a fresh one), no other is compiled and nothing
    // is reported.
    void cancelCompileAll();
    void zipReportForUpload();
    void exportDocument(ExportFormat format);
    // Chains two or more chosen reports into a report book in a new tab, then has the engine
    // compile each chapter beside its file, one after another.
    void newReportBook();

    // --- Edit: the text rule sends Cut, Copy, Paste and Select All to a focused text field,
    // otherwise to the store. Duplicate and Delete always act on the canvas selection. Undo and
    // Redo follow one order with the typing held in a field of the window or of a sheet over it
    // (WindowHistory).
    void setWindow(QWidget *window);
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    void cut();
    void copy();
    void paste();
    void selectAll();
    void duplicate();
    void deleteSelection();
    // 1 shows the code editor's find bar, 2 finds the next match, 3 the previous one.
    void find(int tag);

    // --- View --------------------------------------------------------------------------------
    void zoomIn();
    void zoomOut();
    void actualSize();
    void cycleAppearance();

signals:
    void isZippingChanged();
    // canUndo() or canRedo() may have changed with the typing in a field or a dialog over the
    // window; the store announces its own changes.
    void undoStateChanged();

private:
    // Where Open, Save As and Export panels start: the report's folder, or the project folder
    // for a report never saved.
    QString panelFolder(const DocumentStore *store) const;
    FilePanelRequest reportSavePanel(const DocumentStore *store) const;
    // Saves the store to a chosen file; false when cancelled or failed (the error shown).
    bool saveWithPanel(DocumentStore *store);
    // Writes the report; over its own file only when that still holds what was loaded or last
    // saved, or the user chooses to overwrite another program's changes. False when not written.
    bool saveTo(DocumentStore *store, const QUrl &url);
    bool confirmOverwrite(const DocumentStore *store, const QUrl &url);
    // Asks before `saving` (none: a report without a file) replaces a file that exists and is
    // not its own; the question says when another tab shows that file, and what becomes of it.
    bool confirmReplace(const DocumentStore *saving, const QUrl &url);
    // Sends a standard edit action to a focused text field; false when none has focus.
    static bool sendToTextField(const char *slot);
    // Compiles the reports of the compile-all `run` one after another; after the last, one alert
    // names every failure.
    void compileNext(const std::shared_ptr<RequestCancel> &run, QList<OpenTab> remaining,
                     QStringList failures);
    // A failed report's line: its file's (or report's) name and the friendliest text of the error.
    static QString compileFailure(const OpenTab &tab, const QString &error);
    void setZipping(bool zipping);
    // Compiles the chapters of a new report book one after another; a chapter that cannot be
    // read or compiled is skipped.
    void compileChapters(QList<QUrl> remaining);

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    Dialogs &dialogs_;
    SidecarModel *engine_;
    ConnectionPresetStore *connectionStore_;
    WindowHistory *history_;
    ReportBookChapters *books_ = nullptr;
    CompileStep compileStep_;
    ZipStep zipStep_;
    // What calls off the compile-all that runs; none while none runs.
    std::shared_ptr<RequestCancel> compileAllCancel_;
    bool isZipping_ = false;
    std::shared_ptr<std::atomic<bool>> zipCancelled_;
    QPointer<QFutureWatcher<QString>> zipWatcher_;
};
